#include <fbxfilesdk/core/KFbxDateTime.h>

#include <platform/os/LocalTime.h>

namespace fbxsdk_2006_11_1 {

void KFbxDateTime::Clear() { *this = KFbxDateTime(); }

void KFbxDateTime::SetToNow() {
    const qalimor::os::LocalDateTime now = qalimor::os::LocalTimeNow();
    mYear = now.year;
    mMonth = now.month;
    mDay = now.day;
    mHour = now.hour;
    mMinute = now.minute;
    mSecond = now.second;
    mMillisecond = now.millisecond;
}

}  // namespace fbxsdk_2006_11_1
