#pragma once

#include <ctime>
#include <optional>

namespace vx {

// The calendar date and time of day of a date-time value, to the whole second
// (milliseconds are dropped), with weekday and day of the year filled in for
// strftime. No time zone is applied: date-times are local already.
std::tm DateTimeToCalendar(double dateTime);

// The date-time of the year, month, day, hour, minute and second fields; nullopt
// when they name no valid date or time of day.
std::optional<double> CalendarToDateTime(const std::tm& calendar);

}  // namespace vx
