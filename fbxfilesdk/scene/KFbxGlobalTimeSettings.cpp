#include <fbxfilesdk/scene/KFbxGlobalTimeSettings.h>

#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kMessages[] = {"Index out of range."};

constexpr int kDefaultTimeMode = 6;
constexpr int kDefaultTimeFormat = 1;
// The stored values that defer to the process-wide setting.
constexpr int kGlobalTimeMode = 0;
constexpr int kGlobalTimeFormat = 2;
constexpr std::int64_t kTicksPerSecond = 46186158000LL;

}  // namespace

KFbxGlobalTimeSettings::KFbxGlobalTimeSettings()
    : mTimelineDefaultSpan(KTime(0), KTime(kTicksPerSecond)), mError(kMessages, 1) {
    RestoreDefaultSettings();
}

KFbxGlobalTimeSettings::~KFbxGlobalTimeSettings() = default;

void KFbxGlobalTimeSettings::RestoreDefaultSettings() {
    mTimeMode = kDefaultTimeMode;
    mTimeFormat = kDefaultTimeFormat;
    mSnapOnFrames = 0;
    RemoveAllTimeMarkers();
}

int KFbxGlobalTimeSettings::GetTimeMode() const {
    if (mTimeMode != kGlobalTimeMode) {
        return mTimeMode;
    }
    const int global = KTime::GetGlobalTimeMode();
    return global != kGlobalTimeMode ? global : kDefaultTimeMode;
}

int KFbxGlobalTimeSettings::GetTimeFormat() const {
    if (mTimeFormat != kGlobalTimeFormat) {
        return mTimeFormat;
    }
    const int global = KTime::GetGlobalStringForm();
    return global != kGlobalTimeFormat ? global : kDefaultTimeFormat;
}

void KFbxGlobalTimeSettings::AddTimeMarker(KFbxTimeMarker marker) {
    auto* copy = new (std::nothrow) KFbxTimeMarker(marker);
    if (copy != nullptr) {
        mMarkers.emplace_back(copy);
    }
}

KFbxTimeMarker* KFbxGlobalTimeSettings::GetTimeMarker(int index) {
    if (index < 0 || index >= GetTimeMarkerCount()) {
        mError.SetError(eINDEX_OUT_OF_RANGE);
        return nullptr;
    }
    return mMarkers[static_cast<std::size_t>(index)].get();
}

bool KFbxGlobalTimeSettings::SetCurrentTimeMarker(int index) {
    if (index < 0 || index >= GetTimeMarkerCount()) {
        mError.SetError(eINDEX_OUT_OF_RANGE);
        return false;
    }
    mCurrentTimeMarker = index;
    return true;
}

void KFbxGlobalTimeSettings::RemoveAllTimeMarkers() {
    mMarkers.clear();
    mCurrentTimeMarker = -1;
}

}  // namespace fbxsdk_2006_11_1
