#include "base/LocaleFormat.h"

#include <langinfo.h>
#include <time.h>

#include <array>

#include "base/CalendarTime.h"

namespace vx {

namespace {

using LocaleHandle = std::shared_ptr<std::remove_pointer_t<locale_t>>;

LocaleHandle EnvironmentLocale(int categoryMask) {
    locale_t locale = newlocale(categoryMask, "", static_cast<locale_t>(nullptr));
    if (locale == static_cast<locale_t>(nullptr)) {
        return nullptr;
    }
    return LocaleHandle(locale, freelocale);
}

locale_t TimeNamesOf(const LocaleFormat& format) {
    static const LocaleHandle cLocale =
        LocaleHandle(newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr)), freelocale);
    return format.timeNames ? format.timeNames.get() : cLocale.get();
}

std::string FormatCalendar(const LocaleFormat& format, const std::string& pattern,
                           double dateTime) {
    const std::tm calendar = DateTimeToCalendar(dateTime);
    std::array<char, 256> text{};
    const size_t length =
        strftime_l(text.data(), text.size(), pattern.c_str(), &calendar, TimeNamesOf(format));
    return std::string(text.data(), length);
}

}  // namespace

LocaleFormat LocaleFormatFromEnvironment() {
    LocaleFormat format;
    if (LocaleHandle time = EnvironmentLocale(LC_TIME_MASK)) {
        format.shortDateFormat = nl_langinfo_l(D_FMT, time.get());
        format.longTimeFormat = nl_langinfo_l(T_FMT, time.get());
        format.timeNames = std::move(time);
    }
    if (LocaleHandle numeric = EnvironmentLocale(LC_NUMERIC_MASK)) {
        format.decimalSeparator = nl_langinfo_l(RADIXCHAR, numeric.get());
    }
    return format;
}

std::string_view ProcessDecimalSeparator() {
    return nl_langinfo(RADIXCHAR);
}

std::string FormatDateText(const LocaleFormat& format, double dateTime) {
    return FormatCalendar(format, format.shortDateFormat, dateTime);
}

std::string FormatTimeText(const LocaleFormat& format, double dateTime) {
    return FormatCalendar(format, format.longTimeFormat, dateTime);
}

std::optional<double> ParseDateTimeText(const LocaleFormat& format, const std::string& text) {
    const std::string pattern = format.shortDateFormat + ' ' + format.longTimeFormat;
    std::tm calendar{};
    const char* rest = strptime_l(text.c_str(), pattern.c_str(), &calendar, TimeNamesOf(format));
    if (rest == nullptr) {
        return std::nullopt;
    }
    while (*rest == ' ') {
        ++rest;
    }
    if (*rest != '\0') {
        return std::nullopt;
    }
    return CalendarToDateTime(calendar);
}

}  // namespace vx
