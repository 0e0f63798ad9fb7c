#include "base/CalendarTime.h"

#include <chrono>
#include <cstdint>

#include "base/DateTime.h"

namespace vx {

namespace {
int64_t FloorDivide(int64_t value, int64_t divisor) {
    const int64_t quotient = value / divisor;
    return (value % divisor != 0 && value < 0) ? quotient - 1 : quotient;
}
}  // namespace

std::tm DateTimeToCalendar(double dateTime) {
    using namespace std::chrono;
    const int64_t milliseconds = DateTimeToMilliseconds(dateTime);
    const int64_t dayCount = FloorDivide(milliseconds, kMillisecondsPerDay);
    const int64_t secondOfDay = (milliseconds - dayCount * kMillisecondsPerDay) / 1000;

    const sys_days day{days{dayCount - kOriginToUnixEpochDays}};
    const year_month_day date{day};
    std::tm calendar{};
    calendar.tm_year = static_cast<int>(date.year()) - 1900;
    calendar.tm_mon = static_cast<int>(static_cast<unsigned>(date.month())) - 1;
    calendar.tm_mday = static_cast<int>(static_cast<unsigned>(date.day()));
    calendar.tm_hour = static_cast<int>(secondOfDay / 3600);
    calendar.tm_min = static_cast<int>(secondOfDay / 60 % 60);
    calendar.tm_sec = static_cast<int>(secondOfDay % 60);
    calendar.tm_wday = static_cast<int>(weekday{day}.c_encoding());
    calendar.tm_yday = static_cast<int>((day - sys_days{date.year() / January / 1}).count());
    return calendar;
}

std::optional<double> CalendarToDateTime(const std::tm& calendar) {
    using namespace std::chrono;
    const year_month_day date{year{calendar.tm_year + 1900},
                              month{static_cast<unsigned>(calendar.tm_mon + 1)},
                              day{static_cast<unsigned>(calendar.tm_mday)}};
    const bool validTime = calendar.tm_hour >= 0 && calendar.tm_hour < 24 && calendar.tm_min >= 0 &&
                           calendar.tm_min < 60 && calendar.tm_sec >= 0 && calendar.tm_sec < 60;
    if (calendar.tm_mon < 0 || calendar.tm_mday < 1 || !date.ok() || !validTime) {
        return std::nullopt;
    }
    const int64_t dayCount = sys_days{date}.time_since_epoch().count() + kOriginToUnixEpochDays;
    const int64_t secondOfDay = calendar.tm_hour * 3600 + calendar.tm_min * 60 + calendar.tm_sec;
    return MillisecondsToDateTime(dayCount * kMillisecondsPerDay + secondOfDay * 1000);
}

}  // namespace vx
