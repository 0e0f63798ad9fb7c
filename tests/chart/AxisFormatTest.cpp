#include "chart/AxisFormat.h"

#include <gtest/gtest.h>

#include <ostream>

namespace vx {
namespace {

struct GroupedCase {
    double value;
    char decimal;
    const char* text;
};

void PrintTo(const GroupedCase& c, std::ostream* os) {
    *os << c.value << " '" << c.decimal << "'";
}

class GroupedValueTest : public ::testing::TestWithParam<GroupedCase> {};

TEST_P(GroupedValueTest, GroupsThousandsAndKeepsUpToThreeDecimals) {
    const GroupedCase& c = GetParam();
    EXPECT_EQ(FormatGroupedValue(c.value, c.decimal, GroupSeparatorFor(c.decimal)), c.text);
}

INSTANTIATE_TEST_SUITE_P(Values, GroupedValueTest,
                         ::testing::Values(GroupedCase{0.0, ',', "0"}, GroupedCase{0.5, ',', "0,5"},
                                           GroupedCase{1234.5678, ',', "1.234,568"},
                                           GroupedCase{1234.5678, '.', "1,234.568"},
                                           GroupedCase{-1234567.0, ',', "-1.234.567"},
                                           GroupedCase{999.9996, '.', "1,000"},
                                           GroupedCase{100.0, '.', "100"},
                                           GroupedCase{-0.0004, ',', "0"},
                                           GroupedCase{-0.25, ',', "-0,25"},
                                           GroupedCase{12.3, ',', "12,3"}));

TEST(FixedValueTest, WritesExactlyTheDecimalsWithTheSeparator) {
    EXPECT_EQ(FormatFixedValue(12.0, 0, ','), "12");
    EXPECT_EQ(FormatFixedValue(0.0015, 3, ','), "0,002");
    EXPECT_EQ(FormatFixedValue(2.5, 3, '.'), "2.500");
    EXPECT_EQ(FormatFixedValue(-1e-17, 3, ','), "0,000");
    EXPECT_EQ(FormatFixedValue(-3.25, 3, ','), "-3,250");
}

}  // namespace
}  // namespace vx
