// The time settings of one scene: the frame-rate mode times are shown in,
// the display format, snapping to frames, the timeline's default span and a
// list of named time markers with one current marker.
#ifndef FBXFILESDK_SCENE_KFBXGLOBALTIMESETTINGS_H
#define FBXFILESDK_SCENE_KFBXGLOBALTIMESETTINGS_H

#include <fbxfilesdk/core/ErrorHolder.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/KTime.h>
#include <fbxfilesdk/scene/KTimeSpan.h>

#include <memory>
#include <vector>

namespace fbxsdk_2006_11_1 {

// One named time on the timeline, possibly the start of a loop.
class KFbxTimeMarker {
public:
    KFbxTimeMarker() = default;
    KFbxTimeMarker(const KFbxTimeMarker& other) = default;
    KFbxTimeMarker& operator=(const KFbxTimeMarker& other) = default;
    ~KFbxTimeMarker() = default;

    KString mName;
    KTime mTime;
    bool mLoop = false;
};

class KFbxGlobalTimeSettings {
public:
    enum EError { eINDEX_OUT_OF_RANGE = 0 };

    // Defaults restored; the timeline spans 0 to one second.
    KFbxGlobalTimeSettings();
    ~KFbxGlobalTimeSettings();
    KFbxGlobalTimeSettings(const KFbxGlobalTimeSettings&) = delete;
    KFbxGlobalTimeSettings& operator=(const KFbxGlobalTimeSettings&) = delete;

    // Mode 6, format 1, no snapping, no markers; the timeline span stays.
    void RestoreDefaultSettings();

    void SetTimeMode(int mode) { mTimeMode = mode; }
    // Mode 0 stands for the process-wide mode, itself 0 standing for 6.
    int GetTimeMode() const;
    void SetTimeFormat(int format) { mTimeFormat = format; }
    // Format 2 stands for the process-wide string form, itself 2 standing for 1.
    int GetTimeFormat() const;
    void SetSnapOnFrames(int snap) { mSnapOnFrames = snap; }
    int GetSnapOnFrames() const { return mSnapOnFrames; }

    void SetTimelineDefaultTimeSpan(const KTimeSpan& span) { mTimelineDefaultSpan = span; }
    void GetTimelineDefaultTimeSpan(KTimeSpan& span) const { span = mTimelineDefaultSpan; }

    int GetTimeMarkerCount() const { return static_cast<int>(mMarkers.size()); }
    // Stores a copy; the current marker stays.
    void AddTimeMarker(KFbxTimeMarker marker);
    // Null, with error eINDEX_OUT_OF_RANGE, outside the list.
    KFbxTimeMarker* GetTimeMarker(int index);
    // False, with error eINDEX_OUT_OF_RANGE, outside the list; the current one stays.
    bool SetCurrentTimeMarker(int index);
    // -1 for none.
    int GetCurrentTimeMarker() const { return mCurrentTimeMarker; }
    void RemoveAllTimeMarkers();

    ErrorHolder& GetError() { return mError; }

private:
    int mTimeMode = 6;
    int mTimeFormat = 1;
    int mSnapOnFrames = 0;
    // Held by pointer, so a marker handed out stays put while others are added.
    std::vector<std::unique_ptr<KFbxTimeMarker>> mMarkers;
    int mCurrentTimeMarker = -1;
    KTimeSpan mTimelineDefaultSpan;
    ErrorHolder mError;
};

}  // namespace fbxsdk_2006_11_1

#endif
