#include <fbxfilesdk/fbx/KFbxReaderFbx.h>

#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxReaderFbxPass.h>

#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr int kMajorVersion = 5;
constexpr int kMainSection = 0;
constexpr int kSummarySection = 1;

// Every file closes with its summary section; an ascii file cut between
// two records has no damage to show, and only its missing summary tells.
// (A binary file cut anywhere fails its trailer check first.)
bool EndsWithSummary(KFbx& file) {
    const bool whole = file.GetSectionCount() > kSummarySection && file.SelectSection(kSummarySection) &&
                       file.FieldReadExists("Summary");
    file.SelectSection(kMainSection);
    return whole;
}

}  // namespace

KFbxReaderFbx::KFbxReaderFbx(KFbxSdkManager& manager, KFbxIO* io) : KFbxReaderFbx6(manager, io) {}

bool KFbxReaderFbx::ReadsVersion(int version) const { return version / 1000 == kMajorVersion; }

bool KFbxReaderFbx::CheckFile(KFbx& file, KString& why) {
    const auto holdsKnownSection = [&file](KString& none) {
        return HoldsAnySection(file,
                               {"Model", "Takes", "Media", "Switcher", "GoboManager", "CHARACTER",
                                "SceneGenericPersistence", "Settings", "AmbientRenderSettings", "FogOptions",
                                "RendererSetting"},
                               none);
    };
    if (!file.IsBinary() && !EndsWithSummary(file)) {
        why = KString(GetErrorText(eFILE_CORRUPTED)) + " (the file is cut short)";
        // A file cut before its first section says that as well.
        KString none;
        if (!holdsKnownSection(none)) {
            why += KString(": ") + none;
        }
        return false;
    }
    return holdsKnownSection(why) && KFbxReaderFbxPass::CheckModelRecords(file, why);
}

bool KFbxReaderFbx::ReadFile(KFbx& file, KFbxScene& scene, KFbxStreamOptionsFbxReader& options) {
    KFbxReaderFbxPass pass(mManager, file, scene, options);
    pass.SetMedia(&Media());
    pass.SetMessages(&mMessage);
    pass.Run();
    return !pass.OutOfMemory();
}

KFbxReader* CreateFbx5Reader(KFbxSdkManager& manager, KFbxIO* io, int /*subFormat*/) {
    return new (std::nothrow) KFbxReaderFbx(manager, io);
}

}  // namespace fbxsdk_2006_11_1
