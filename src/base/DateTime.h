#pragma once

#include <cstdint>

namespace vx {

// Date-times are days since 30 December 1899, 00:00, with the time of day as fraction.
inline constexpr int64_t kMillisecondsPerDay = 86'400'000;
// Days from that origin to the Unix epoch, 1 January 1970.
inline constexpr int64_t kOriginToUnixEpochDays = 25569;

// The computer's local date and time as such a value.
double NowAsDateTime();

// Whole milliseconds since the origin, rounded to the nearest millisecond, so that
// a value built from a millisecond count gives that count back.
int64_t DateTimeToMilliseconds(double dateTime);

double MillisecondsToDateTime(int64_t milliseconds);

}  // namespace vx
