// The wall-clock date and time in the machine's time zone.
#ifndef PLATFORM_OS_LOCALTIME_H
#define PLATFORM_OS_LOCALTIME_H

#include <cstdint>

namespace qalimor::os {

struct LocalDateTime {
    int year = 0;
    int month = 0;  // 1 to 12
    int day = 0;    // of the month, 1 to 31
    int hour = 0;
    int minute = 0;
    int second = 0;
    int millisecond = 0;
};

// The local time of an instant given as seconds and nanoseconds since
// 1970-01-01 00:00 UTC; false (out untouched) when it cannot be converted.
bool LocalTimeAt(std::int64_t seconds, std::int64_t nanoseconds, LocalDateTime& out);

// Now; all fields 0 when the clock cannot be read.
LocalDateTime LocalTimeNow();

}  // namespace qalimor::os

#endif
