#include <gtest/gtest.h>

#include "measurement/ValueText.h"

namespace vx {
namespace {

TEST(ValueTextTest, ReadsFormattedTextsWithTheGivenSeparator) {
    struct Case {
        const char* text;
        const char* separator;
        std::optional<double> expected;
    };
    const Case cases[] = {
        {" 12.50", ".", 12.5},        {"-250.0 ", ".", -250.0},
        {"  0,00", ",", 0.0},         {" 45,680", ",", 45.68},
        {" 1e+06", ".", 1e6},         {" 12.5", ",", std::nullopt},
        {"", ".", std::nullopt},      {"   ", ".", std::nullopt},
        {"12 N", ".", std::nullopt},  {"+5", ".", 5.0},
        {"1,2,3", ",", std::nullopt}, {"nan", ".", std::nullopt},
        {" 3\u066B5", "\u066B", 3.5}, {"+12,35", ",", 12.35},
        {"+-5", ".", std::nullopt},   {"+", ".", std::nullopt},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ParseValueText(c.text, c.separator), c.expected) << '"' << c.text << '"';
    }
}

}  // namespace
}  // namespace vx
