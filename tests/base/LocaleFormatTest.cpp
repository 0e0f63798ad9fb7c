#include "base/LocaleFormat.h"

#include <gtest/gtest.h>

#include <cstdlib>

#include "base/DateTime.h"

namespace vx {
namespace {

// 8 December 2026, 14:03:27.250: 46364 days after 30 December 1899.
const double kRecorded = MillisecondsToDateTime(46364LL * 86'400'000 + 50'607'250);
const double kRecordedSecond = MillisecondsToDateTime(46364LL * 86'400'000 + 50'607'000);

LocaleFormat ByHand(const char* date, const char* time) {
    LocaleFormat format;
    format.shortDateFormat = date;
    format.longTimeFormat = time;
    return format;
}

TEST(LocaleFormatTest, TextsFollowTheFormatsAndReadBackToTheSecond) {
    struct Case {
        LocaleFormat format;
        const char* date;
        const char* time;
    };
    const Case cases[] = {
        {ByHand("%d.%m.%Y", "%H:%M:%S"), "08.12.2026", "14:03:27"},
        {ByHand("%m/%d/%y", "%I:%M:%S %p"), "12/08/26", "02:03:27 PM"},
        {ByHand("%Y-%m-%d", "%T"), "2026-12-08", "14:03:27"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatDateText(c.format, kRecorded), c.date);
        EXPECT_EQ(FormatTimeText(c.format, kRecorded), c.time);
        const auto back = ParseDateTimeText(c.format, std::string(c.date) + " " + c.time);
        ASSERT_TRUE(back.has_value()) << c.date << " " << c.time;
        EXPECT_EQ(DateTimeToMilliseconds(*back), DateTimeToMilliseconds(kRecordedSecond));
    }
}

TEST(LocaleFormatTest, CalendarOfDateTimesAcrossTheOrigin) {
    const LocaleFormat format = ByHand("%Y-%m-%d %a %j", "%H:%M:%S");
    struct Case {
        double dateTime;
        const char* date;
        const char* time;
    };
    const Case cases[] = {
        {0.0, "1899-12-30 Sat 364", "00:00:00"},
        {2.75, "1900-01-01 Mon 001", "18:00:00"},
        {-1.25, "1899-12-28 Thu 362", "18:00:00"},
        {45351.0, "2024-02-29 Thu 060", "00:00:00"},
        {MillisecondsToDateTime(45351LL * 86'400'000 - 1), "2024-02-28 Wed 059", "23:59:59"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FormatDateText(format, c.dateTime), c.date) << c.dateTime;
        EXPECT_EQ(FormatTimeText(format, c.dateTime), c.time) << c.dateTime;
    }
}

TEST(LocaleFormatTest, TextsThatDoNotMatchDoNotConvert) {
    const LocaleFormat format = ByHand("%d.%m.%Y", "%H:%M:%S");
    for (const char* text : {"31.02.2026 10:00:00", "08.12.2026", "08.12.2026 14:03:27 x",
                             "2026-12-08 14:03:27", "08.12.2026 24:00:00", ""}) {
        EXPECT_FALSE(ParseDateTimeText(format, text).has_value()) << text;
    }
}

// Points LC_ALL at one locale while the object lives.
class EnvironmentLocale {
  public:
    explicit EnvironmentLocale(const char* name) {
        if (const char* old = std::getenv("LC_ALL")) {
            old_ = old;
        }
        setenv("LC_ALL", name, 1);
    }
    ~EnvironmentLocale() { old_.empty() ? unsetenv("LC_ALL") : setenv("LC_ALL", old_.c_str(), 1); }

  private:
    std::string old_;
};

bool Installed(const char* name) {
    locale_t locale = newlocale(LC_ALL_MASK, name, static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) {
        return false;
    }
    freelocale(locale);
    return true;
}

TEST(LocaleFormatTest, RealLocalesOfTheEnvironment) {
    struct Case {
        const char* locale;
        const char* date;
        const char* time;
        const char* separator;
    };
    const Case cases[] = {
        {"de_DE.UTF-8", "08.12.2026", "14:03:27", ","},
        {"en_US.UTF-8", "12/08/2026", "02:03:27 PM", "."},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(Installed(c.locale))
            << c.locale << " is not generated: run scripts/install-deps";
        EnvironmentLocale environment(c.locale);
        const LocaleFormat format = LocaleFormatFromEnvironment();
        EXPECT_EQ(format.decimalSeparator, c.separator) << c.locale;
        EXPECT_EQ(FormatDateText(format, kRecorded), c.date) << c.locale;
        EXPECT_EQ(FormatTimeText(format, kRecorded), c.time) << c.locale;
        const auto back = ParseDateTimeText(format, std::string(c.date) + " " + c.time);
        ASSERT_TRUE(back.has_value()) << c.locale;
        EXPECT_EQ(DateTimeToMilliseconds(*back), DateTimeToMilliseconds(kRecordedSecond));
    }
}

TEST(LocaleFormatTest, LocaleThatIsNotInstalledGivesTheCFormats) {
    EnvironmentLocale environment("xx_XX.UTF-8");
    const LocaleFormat format = LocaleFormatFromEnvironment();
    EXPECT_EQ(FormatDateText(format, kRecorded), "12/08/26");
    EXPECT_EQ(FormatTimeText(format, kRecorded), "14:03:27");
    EXPECT_EQ(format.decimalSeparator, ".");
}

}  // namespace
}  // namespace vx
