#include "base/DateTime.h"

#include <chrono>
#include <cmath>
#include <ctime>

namespace vx {

double NowAsDateTime() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const int64_t unixMs = duration_cast<milliseconds>(now.time_since_epoch()).count();
    const std::time_t seconds = static_cast<std::time_t>(unixMs / 1000);
    std::tm local{};
    localtime_r(&seconds, &local);
    const int64_t localMs = unixMs + static_cast<int64_t>(local.tm_gmtoff) * 1000;
    return MillisecondsToDateTime(localMs + kOriginToUnixEpochDays * kMillisecondsPerDay);
}

int64_t DateTimeToMilliseconds(double dateTime) {
    return static_cast<int64_t>(std::llround(dateTime * static_cast<double>(kMillisecondsPerDay)));
}

double MillisecondsToDateTime(int64_t milliseconds) {
    return static_cast<double>(milliseconds) / static_cast<double>(kMillisecondsPerDay);
}

}  // namespace vx
