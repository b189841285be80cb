#include <fbxfilesdk/fbx/KFbxReaderFbx.h>

#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxReaderFbxPass.h>

#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr int kMajorVersion = 5;

}  // namespace

KFbxReaderFbx::KFbxReaderFbx(KFbxSdkManager& manager, KFbxIO* io) : KFbxReaderFbx6(manager, io) {}

bool KFbxReaderFbx::ReadsVersion(int version) const { return version / 1000 == kMajorVersion; }

bool KFbxReaderFbx::CheckFile(KFbx& file, KString& why) {
    return HoldsAnySection(file,
                           {"Model", "Takes", "Media", "Switcher", "GoboManager", "CHARACTER", "SceneGenericPersistence",
                            "Settings", "AmbientRenderSettings", "FogOptions", "RendererSetting"},
                           why) &&
           KFbxReaderFbxPass::CheckModelRecords(file, why);
}

bool KFbxReaderFbx::ReadFile(KFbx& file, KFbxScene& scene, KFbxStreamOptionsFbxReader& options) {
    KFbxReaderFbxPass pass(mManager, file, scene, options);
    pass.SetFileName(GetFileName());
    pass.SetMessages(&mMessage);
    pass.Run();
    return !pass.OutOfMemory();
}

KFbxReader* CreateFbx5Reader(KFbxSdkManager& manager, KFbxIO* io, int /*subFormat*/) {
    return new (std::nothrow) KFbxReaderFbx(manager, io);
}

}  // namespace fbxsdk_2006_11_1
