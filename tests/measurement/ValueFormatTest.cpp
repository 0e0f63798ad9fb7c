#include "measurement/ValueFormat.h"

#include <fmt/format.h>
#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <cstdio>
#include <limits>
#include <string>

namespace vx {
namespace {

std::string_view Comma() {
    return ",";
}
std::string_view Point() {
    return ".";
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

struct FormatCase {
    double nominalValue;
    bool hiRes;
    double x;
    double step;
    const char* text;  // with "," as decimal separator
};

const FormatCase kFormatCases[] = {
    {500, false, 123.456, 100, " 123,5"},
    {500, false, 45.678, 50, " 45,70"},
    {500, false, -250.04, 200, "-250,0"},
    {500, false, 0, 50, "  0,00"},
    {500, true, 45.678, 50, " 45,680"},
    {10, false, 3.14159, 2, " 3,142"},
    {2, false, 0.05, 0.2, " 0,0500"},
    {1000, false, 1234.5, 500, " 1234,5"},
    {200000, false, 150000, 100000, " 150000"},
    {200000, true, 150000, 100000, " 150000"},
    {600000, false, 12.3456, 1, " 12,346"},
    // Just below the large step already takes it; the middle step is exclusive.
    {500, false, 199.8, 100, " 199,8"},
    {500, false, 199.95, 200, " 200,0"},
    {500, false, 100, 50, " 100,00"},
    {500, false, 100.04, 100, " 100,0"},
    {500, true, -100.04, 100, "-100,04"},
    // R = nominal value x 0.99: 505050 is still in the last row, 505051 is above it.
    {505050, false, 12.3456, 50000, "     0"},
    {505050, false, 12345.6, 50000, " 12350"},
    {505051, false, 12.3456, 1, " 12,346"},
    {600000, true, 12.3456, 1, " 12,3456"},
    {kNaN, false, 12.3456, 1, " 12,346"},
    // Half a quantum rounds away from zero.
    {500, false, 0.025, 50, "  0,05"},
    {500, false, -0.025, 50, " -0,05"},
};

class ValueFormatTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(ValueFormatTest, TextForEitherProcessSeparator) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(ResolutionStep(c.nominalValue * 0.99, c.x), c.step);

    double nominalValue = c.nominalValue;
    ValueFormatter withComma(nominalValue, Comma);
    withComma.hiRes = c.hiRes;
    EXPECT_EQ(withComma.FormatValue(c.x), c.text);

    ValueFormatter withPoint(nominalValue, Point);
    withPoint.hiRes = c.hiRes;
    std::string expected = c.text;
    ToLocaleSeparator(expected, ".");
    EXPECT_EQ(withPoint.FormatValue(c.x), expected);
}

INSTANTIATE_TEST_SUITE_P(WorkedExamples, ValueFormatTest, ::testing::ValuesIn(kFormatCases));

TEST(ValueFormatterTest, NominalValueAndHiResAreReadAtEveryCall) {
    double nominalValue = 500;
    ValueFormatter formatter(nominalValue, Comma);
    EXPECT_EQ(formatter.FormatValue(3.14159), "  3,15");
    nominalValue = 10;
    EXPECT_EQ(formatter.FormatValue(3.14159), " 3,142");
    formatter.hiRes = true;
    EXPECT_EQ(formatter.FormatValue(3.14159), " 3,1416");
}

TEST(ValueFormatterTest, ValuesThatAreNoNumbersKeepTheWidth) {
    double nominalValue = 500;
    ValueFormatter formatter(nominalValue, Point);
    EXPECT_EQ(formatter.FormatValue(kNaN), "   nan");
    EXPECT_EQ(formatter.FormatValue(-std::numeric_limits<double>::infinity()), "  -inf");
}

TEST(RoundToMultipleTest, HalfAwayFromZeroInDoubleArithmetic) {
    struct Case {
        double x;
        double q;
        double expected;
    };
    const Case cases[] = {
        {1.25, 0.5, 1.5},      {-1.25, 0.5, -1.5},
        {1.2, 0.5, 1.0},       {0.25, 0.1, 0.2},  // 0.25 + 0.05 lies just below 0.3 in binary
        {7.3, 0, 7.3},         {7.3, -1, 7.3},
        {123.456, 0.1, 123.5}, {1e300, 0.001, 1e300},
    };
    for (const Case& c : cases) {
        EXPECT_DOUBLE_EQ(RoundToMultiple(c.x, c.q), c.expected) << c.x << ", " << c.q;
    }
    EXPECT_TRUE(std::isnan(RoundToMultiple(kNaN, 0.1)));
    EXPECT_EQ(RoundToMultiple(1, kNaN), 1) << "no quantum, no rounding";
}

TEST(BuildValueFormatTest, DecimalsFollowTheStepUpToTheGeneralFormat) {
    struct Case {
        double step;
        const char* plain;  // 1.0 printed with the format, hiRes off
        const char* hiRes;  // and on
    };
    const Case cases[] = {
        {0.1, " 1.0000", " 1.00000"},  {0.999, " 1.0000", " 1.00000"}, {1, " 1.000", " 1.0000"},
        {9.99, " 1.000", " 1.0000"},   {10, "  1.00", " 1.000"},       {100, "   1.0", "  1.00"},
        {1000, "     1", "   1.0"},    {99999, "     1", "   1.0"},    {100000, " 1", " 1"},
        {-0.5, " 1.0000", " 1.00000"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(fmt::format(fmt::runtime(BuildValueFormat(c.step, false)), 1.0), c.plain)
            << c.step;
        EXPECT_EQ(fmt::format(fmt::runtime(BuildValueFormat(c.step, true)), 1.0), c.hiRes)
            << c.step;
    }
}

// The {fmt} formats stand for printf's "% 6.Nlf" and "% .6lg": same characters.
TEST(BuildValueFormatTest, FormatsGiveThePrintfCharacters) {
    struct Case {
        double step;
        const char* printfFormat;
    };
    const Case formats[] = {{0.5, "% 6.4lf"}, {0.5, "% 6.5lf"},  {5, "% 6.3lf"},    {50, "% 6.2lf"},
                            {500, "% 6.1lf"}, {5000, "% 6.0lf"}, {200000, "% .6lg"}};
    const double values[] = {0,        -0.0,
                             1,        -1,
                             0.00004,  123.456,
                             -99999.5, 150000,
                             1234567,  -2.5e-7,
                             1e21,     999999.5,
                             kNaN,     -std::numeric_limits<double>::infinity()};
    for (const Case& f : formats) {
        const bool hiRes = std::string(f.printfFormat) == "% 6.5lf";
        for (const double value : values) {
            char expected[128];
            std::snprintf(expected, sizeof expected, f.printfFormat, value);
            EXPECT_EQ(fmt::format(fmt::runtime(BuildValueFormat(f.step, hiRes)), value), expected)
                << f.printfFormat << " " << value;
        }
    }
}

TEST(SeparatorTest, ExternalSeparatorChangesOnlyTheFirstSeparator) {
    struct Case {
        const char* text;
        const char* setting;
        const char* expected;
    };
    const Case cases[] = {
        {" 12,5", ".", " 12.5"},
        {" 12.5", ",", " 12,5"},
        {"1.234,5", ".", "1.234.5"},
        {"1,2,3", ";", "1;2,3"},
        {"125", ".", "125"},
        {"", ".", ""},
        {" 12,5", "", " 12,5"},
        {" 12.5", "\xD9\xAB",
         " 12\xD9\xAB"
         "5"},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        ToExternalSeparator(text, c.setting);
        EXPECT_EQ(text, c.expected) << "'" << c.text << "' with '" << c.setting << "'";
    }
}

TEST(SeparatorTest, LocaleSeparatorChangesOnlyTheFirstSeparator) {
    struct Case {
        const char* text;
        const char* separator;
        const char* expected;
    };
    const Case cases[] = {
        {"12,5", ".", "12.5"},       {"12.5", ",", "12,5"},     {"125", ",", "125"}, {"", ",", ""},
        {"1.234,5", ",", "1,234,5"}, {" 12.5 ", ",", " 12,5 "}, {"1,2", ",", "1,2"},
    };
    for (const Case& c : cases) {
        std::string text = c.text;
        ToLocaleSeparator(text, c.separator);
        EXPECT_EQ(text, c.expected) << "'" << c.text << "' with '" << c.separator << "'";
    }
}

// Qt switches the whole process to the user's locale at start-up.
class ProcessLocaleTest : public ::testing::Test {
  protected:
    ~ProcessLocaleTest() override { std::setlocale(LC_ALL, "C"); }
};

TEST_F(ProcessLocaleTest, FormattingFollowsTheLocaleSwitchedToAtRunTime) {
    double nominalValue = 500;
    const ValueFormatter formatter(nominalValue);
    EXPECT_EQ(formatter.FormatValue(123.456), " 123.5");

    ASSERT_NE(std::setlocale(LC_ALL, "de_DE.UTF-8"), nullptr)
        << "de_DE.UTF-8 is not generated: run scripts/install-deps";
    EXPECT_EQ(ProcessDecimalSeparator(), ",");
    EXPECT_EQ(formatter.FormatValue(123.456), " 123,5");
    EXPECT_EQ(ValueFormatter(nominalValue, Point).FormatValue(-1234.56), "-1234.6");
    std::string read = "12.5";
    ToLocaleSeparator(read);
    EXPECT_EQ(read, "12,5");

    ASSERT_NE(std::setlocale(LC_ALL, "en_US.UTF-8"), nullptr);
    EXPECT_EQ(formatter.FormatValue(123.456), " 123.5");
    EXPECT_EQ(ValueFormatter(nominalValue, Comma).FormatValue(-1234.56), "-1234,6");
}

}  // namespace
}  // namespace vx
