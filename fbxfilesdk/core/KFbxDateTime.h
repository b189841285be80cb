// A local date and time, as stamped into the files the SDK creates.
#ifndef FBXFILESDK_CORE_KFBXDATETIME_H
#define FBXFILESDK_CORE_KFBXDATETIME_H

#include <cstdint>

namespace fbxsdk_2006_11_1 {

class KFbxDateTime {
public:
    // All fields 0.
    void Clear();
    // The machine's local time now; all fields 0 when the clock cannot be read.
    void SetToNow();

    std::int32_t mYear = 0;
    std::int32_t mMonth = 0;  // 1 to 12
    std::int32_t mDay = 0;    // of the month
    std::int32_t mHour = 0;
    std::int32_t mMinute = 0;
    std::int32_t mSecond = 0;
    std::int32_t mMillisecond = 0;
};

}  // namespace fbxsdk_2006_11_1

#endif
