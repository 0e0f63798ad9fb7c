#pragma once

#include <locale.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <type_traits>

namespace vx {

// The locale's formats for date and time texts (strftime/strptime conversions) and
// its decimal separator. Filled from the environment's locale once at start-up;
// tests fill it by hand.
struct LocaleFormat {
    std::string shortDateFormat = "%m/%d/%y";
    std::string longTimeFormat = "%H:%M:%S";
    std::string decimalSeparator = ".";
    // Month and day names and AM/PM designators; without it those of the "C" locale.
    std::shared_ptr<std::remove_pointer_t<locale_t>> timeNames;
};

// The formats of the locale that the environment names (LANG, LC_TIME, LC_NUMERIC,
// LC_ALL), whatever setlocale() has made of the process's own locale. A locale that
// is not installed gives the "C" locale's formats.
LocaleFormat LocaleFormatFromEnvironment();

// The decimal separator that the process's number conversions use now (LC_NUMERIC
// of the calling thread's locale), so it follows setlocale() at any time.
std::string_view ProcessDecimalSeparator();

// The date of a date-time value in the short date format.
std::string FormatDateText(const LocaleFormat& format, double dateTime);
// Its time of day, to the second, in the long time format.
std::string FormatTimeText(const LocaleFormat& format, double dateTime);
// Reads back date text + " " + time text as those two functions made them; nullopt
// when the text does not match the formats, in full, or names no valid date.
std::optional<double> ParseDateTimeText(const LocaleFormat& format, const std::string& text);

}  // namespace vx
