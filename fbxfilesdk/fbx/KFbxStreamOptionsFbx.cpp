#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>

#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

#include <iterator>

namespace fbxsdk_2006_11_1 {

namespace {

// The sections both FBX option sets switch, all on by default.
const char* const kSectionOptions[] = {"MODEL", "MATERIAL", "TEXTURE", "MEDIA", "LINK",
                                       "SHAPE", "ANIMATION", "GLOBAL SETTINGS"};

}  // namespace

KFbxTakeInfo* KFbxStreamOptionsTakeList::GetTakeInfo(int index) {
    return index >= 0 && index < GetTakeInfoCount() ? &mTakes[static_cast<size_t>(index)] : nullptr;
}

const KFbxTakeInfo* KFbxStreamOptionsTakeList::GetTakeInfo(int index) const {
    return index >= 0 && index < GetTakeInfoCount() ? &mTakes[static_cast<size_t>(index)] : nullptr;
}

KFbxTakeInfo* KFbxStreamOptionsTakeList::FindTakeInfo(const char* name) {
    for (KFbxTakeInfo& take : mTakes) {
        if (name != nullptr && take.mName == name) {
            return &take;
        }
    }
    return nullptr;
}

int KFbxStreamOptionsTakeList::GetSelectedTakeCount() const {
    int count = 0;
    for (const KFbxTakeInfo& take : mTakes) {
        count += take.mSelect ? 1 : 0;
    }
    return count;
}

KFBX_STREAM_OPTIONS_DEFINE(KFbxStreamOptionsFbxReader)

KFbxStreamOptionsFbxReader::KFbxStreamOptionsFbxReader(KFbxSdkManager* manager, const char* name)
    : KFbxStreamOptions(manager, name) {
    AddBoolOptions(kSectionOptions, static_cast<int>(std::size(kSectionOptions)), true);
    AddStringOption("PASSWORD", "");
    AddStringOption("CURRENT TAKE NAME", "");
}

void KFbxStreamOptionsFbxReader::Reset() {
    KFbxStreamOptions::Reset();
    mTakeList.ClearTakeInfo();
}

KFBX_STREAM_OPTIONS_DEFINE(KFbxStreamOptionsFbxWriter)

KFbxStreamOptionsFbxWriter::KFbxStreamOptionsFbxWriter(KFbxSdkManager* manager, const char* name)
    : KFbxStreamOptions(manager, name) {
    AddBoolOptions(kSectionOptions, static_cast<int>(std::size(kSectionOptions)), true);
    AddBoolOption("CHARACTER", true);
    AddBoolOption("CONSTRAINT", true);
    AddBoolOption("GOBO", true);
    AddBoolOption("PIVOT", true);
    AddBoolOption("EMBEDDED", false);
    // The write pass sets it from what the summary decides.
    AddBoolOption("TEMPLATE", false);
    AddBoolOption("PASSWORD ENABLE", false);
    AddStringOption("PASSWORD", "");
}

void KFbxStreamOptionsFbxWriter::Reset() {
    KFbxStreamOptions::Reset();
    mTakeList.ClearTakeInfo();
}

KFBX_STREAM_OPTIONS_DEFINE(KFbxStreamOptionsMotionReader)

KFbxStreamOptionsMotionReader::KFbxStreamOptionsMotionReader(KFbxSdkManager* manager, const char* name)
    : KFbxStreamOptions(manager, name) {}

KFBX_STREAM_OPTIONS_DEFINE(KFbxStreamOptionsMotionWriter)

KFbxStreamOptionsMotionWriter::KFbxStreamOptionsMotionWriter(KFbxSdkManager* manager, const char* name)
    : KFbxStreamOptions(manager, name) {}

}  // namespace fbxsdk_2006_11_1
