#include <platform/os/LocalTime.h>

#include <ctime>

namespace qalimor::os {

bool LocalTimeAt(std::int64_t seconds, std::int64_t nanoseconds, LocalDateTime& out) {
    if (nanoseconds < 0 || nanoseconds >= 1000000000) return false;
    const std::time_t when = static_cast<std::time_t>(seconds);
    std::tm parts{};
    if (!localtime_r(&when, &parts)) return false;
    out.year = parts.tm_year + 1900;
    out.month = parts.tm_mon + 1;
    out.day = parts.tm_mday;
    out.hour = parts.tm_hour;
    out.minute = parts.tm_min;
    out.second = parts.tm_sec;
    out.millisecond = static_cast<int>(nanoseconds / 1000000);
    return true;
}

LocalDateTime LocalTimeNow() {
    LocalDateTime now;
    timespec clock{};
    if (clock_gettime(CLOCK_REALTIME, &clock) == 0) {
        LocalTimeAt(clock.tv_sec, clock.tv_nsec, now);
    }
    return now;
}

}  // namespace qalimor::os
