#include <fbxfilesdk/fbx/KFbxWriterFbxCommon.h>

#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KProgress.h>
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbxIO.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>
#include <fbxfilesdk/scene/KFbxGlobalLightSettings.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>
#include <fbxfilesdk/scene/KFbxThumbnail.h>

#include <cstdint>
#include <string>

namespace fbxsdk_2006_11_1 {

KFbxWriterFbxCommon::KFbxWriterFbxCommon(KFbxSdkManager& manager, KFbxIO* io) : KFbxWriter(manager), mIO(io) {}

KFbxWriterFbxCommon::~KFbxWriterFbxCommon() {
    if (mFbx != nullptr) {
        FileClose();
    }
}

bool KFbxWriterFbxCommon::FileClose() {
    if (mFbx == nullptr) {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    bool closed = mFbx->FileClose();
    if (!closed) {
        if (mFbx->GetLastErrorCode() == KFbx::eFileNotOpened) {
            mError.SetError(eFILE_NOT_OPENED);
        } else if (mFbx->GetLastErrorCode() == KFbx::eOutOfDiskSpace) {
            // A footer that did not reach the disk is a full disk, not a
            // shortage of memory for embedded media.
            mError.SetError(eOUT_OF_DISK_SPACE);
        } else {
            mError.SetErrorWithText(eEMBEDDED_OUT_OF_SPACE, mFbx->GetLastErrorText());
        }
    }
    mFbx->Destroy();
    mFbx = nullptr;
    return closed;
}

bool KFbxWriterFbxCommon::IsFileOpen() { return mFbx != nullptr; }

KFbxStreamOptions* KFbxWriterFbxCommon::GetWriteOptions() { return GetWriteOptions(false); }

KFbxStreamOptions* KFbxWriterFbxCommon::GetWriteOptions(bool /*unused*/) {
    return KFbxStreamOptionsFbxWriter::Create(&mManager, "");
}

bool KFbxWriterFbxCommon::Write(KFbxScene* scene, KFbxStreamOptions* options) {
    if (scene != nullptr) {
        PreprocessScene(*scene);
    }
    bool written = Write(scene, options, nullptr);
    if (scene != nullptr) {
        PostprocessScene(*scene);
    }
    return written;
}

bool KFbxWriterFbxCommon::IsOptionOn(const char* name) const {
    return mOptions != nullptr && mOptions->GetBoolOption(name, false);
}

KString KFbxWriterFbxCommon::GetStringOption(const char* name) const {
    return mOptions != nullptr ? mOptions->GetStringOption(name, "") : KString("");
}

bool KFbxWriterFbxCommon::IsPasswordProtected() const {
    return IsOptionOn("PASSWORD ENABLE") && !GetStringOption("PASSWORD").IsEmpty();
}

bool KFbxWriterFbxCommon::HasFieldFileError() const { return mFbx != nullptr && mFbx->GetLastErrorCode() > -1; }

void KFbxWriterFbxCommon::ReportProgress(const char* text, float percent) {
    if (mIO != nullptr) {
        mIO->AppendStatusText(0, text, nullptr, percent);
    }
}

void KFbxWriterFbxCommon::StartProgress(const char* text, int total) {
    ReportProgress(text, 0.0f);
    mProgress = 0;
    mProgressTotal = total;
}

void KFbxWriterFbxCommon::StepProgress(const char* text) {
    float percent = mProgressTotal > 0 ? static_cast<float>(mProgress * 100.0 / mProgressTotal) : 100.0f;
    ReportProgress(text, percent);
    ++mProgress;
}

void KFbxWriterFbxCommon::WritePassword() {
    if (mFbx != nullptr && IsPasswordProtected()) {
        mFbx->WritePasswordRecord(GetStringOption("PASSWORD").Buffer());
    }
}

void KFbxWriterFbxCommon::WriteThumbnail(const KFbxThumbnail* thumbnail) {
    if (thumbnail == nullptr || thumbnail->GetSize() == KFbxThumbnail::eNOT_SET) {
        return;
    }
    mFbx->FieldWriteBegin("Thumbnail");
    mFbx->FieldWriteBlockBegin();
    WriteIntRecord(*mFbx, "Version", 100);
    WriteIntRecord(*mFbx, "Format", thumbnail->GetDataFormat());
    WriteIntRecord(*mFbx, "Size", thumbnail->GetSize());
    WriteIntRecord(*mFbx, "ImageEncoding", 0);
    mFbx->FieldWriteBegin("ImageData");
    const std::uint8_t* image = thumbnail->GetThumbnailImage();
    const std::uint32_t size = image != nullptr ? thumbnail->GetSizeInBytes() : 0;
    for (std::uint32_t i = 0; i < size; ++i) {
        mFbx->FieldWriteI(image[i]);
    }
    mFbx->FieldWriteEnd();
    mFbx->FieldWriteBlockEnd();
    mFbx->FieldWriteEnd();
}

void KFbxWriterFbxCommon::WriteSceneInfo(const KFbxSceneInfo* sceneInfo) {
    if (sceneInfo == nullptr) {
        return;
    }
    mFbx->FieldWriteBegin("SceneInfo");
    mFbx->FieldWriteS("SceneInfo::GlobalInfo");
    mFbx->FieldWriteS("UserData");
    mFbx->FieldWriteBlockBegin();
    mFbx->WriteStringField("Type", "UserData");
    WriteIntRecord(*mFbx, "Version", 100);
    WriteThumbnail(sceneInfo->GetSceneThumbnail());
    mFbx->FieldWriteBegin("MetaData");
    mFbx->FieldWriteBlockBegin();
    WriteIntRecord(*mFbx, "Version", 100);
    mFbx->WriteStringField("Title", sceneInfo->mTitle.Buffer());
    mFbx->WriteStringField("Subject", sceneInfo->mSubject.Buffer());
    mFbx->WriteStringField("Author", sceneInfo->mAuthor.Buffer());
    mFbx->WriteStringField("Keywords", sceneInfo->mKeywords.Buffer());
    mFbx->WriteStringField("Revision", sceneInfo->mRevision.Buffer());
    mFbx->WriteStringField("Comment", sceneInfo->mComment.Buffer());
    mFbx->FieldWriteBlockEnd();
    mFbx->FieldWriteEnd();
    mFbx->FieldWriteBlockEnd();
    mFbx->FieldWriteEnd();
}

void KFbxWriterFbxCommon::WriteAmbientRenderSettings(KFbxScene& scene) {
    const KFbxColor ambient = scene.GetGlobalLightSettings().GetAmbientColor();
    const double color[4] = {ambient.mRed, ambient.mGreen, ambient.mBlue, ambient.mAlpha};
    mFbx->FieldWriteBegin("AmbientRenderSettings");
    mFbx->FieldWriteBlockBegin();
    WriteIntRecord(*mFbx, "Version", 101);
    mFbx->FieldWriteBegin("AmbientLightColor");
    mFbx->FieldWriteVector4(color);
    mFbx->FieldWriteEnd();
    mFbx->FieldWriteBlockEnd();
    mFbx->FieldWriteEnd();
}

void KFbxWriterFbxCommon::WriteFogOptions(KFbxScene& scene) {
    const KFbxGlobalLightSettings& light = scene.GetGlobalLightSettings();
    const KFbxColor fog = light.GetFogColor();
    const double color[4] = {fog.mRed, fog.mGreen, fog.mBlue, 1.0};
    mFbx->FieldWriteBegin("FogOptions");
    mFbx->FieldWriteBlockBegin();
    WriteIntRecord(*mFbx, "FlogEnable", light.GetFogEnable() ? 1 : 0);
    WriteIntRecord(*mFbx, "FogMode", static_cast<int>(light.GetFogMode()));
    mFbx->FieldWriteBegin("FogDensity");
    mFbx->FieldWriteD(light.GetFogDensity());
    mFbx->FieldWriteEnd();
    mFbx->FieldWriteBegin("FogStart");
    mFbx->FieldWriteD(light.GetFogStart());
    mFbx->FieldWriteEnd();
    mFbx->FieldWriteBegin("FogEnd");
    mFbx->FieldWriteD(light.GetFogEnd());
    mFbx->FieldWriteEnd();
    mFbx->FieldWriteBegin("FogColor");
    mFbx->FieldWriteVector4(color);
    mFbx->FieldWriteEnd();
    mFbx->FieldWriteBlockEnd();
    mFbx->FieldWriteEnd();
}

void KFbxWriterFbxCommon::WriteShadowPlanes(KFbxScene& scene) {
    KFbxGlobalLightSettings& light = scene.GetGlobalLightSettings();
    const int count = light.GetShadowPlaneCount();
    if (count == 0) {
        return;
    }
    mFbx->FieldWriteBegin("ShadowPlanes");
    mFbx->FieldWriteBlockBegin();
    mFbx->WriteComment("Shadow Planes Section ");
    mFbx->WriteComment(std::string(52, '-').c_str());
    WriteIntRecord(*mFbx, "Version", 108);
    WriteIntRecord(*mFbx, "Count", count);
    for (int i = 0; i < count; ++i) {
        const KFbxShadowPlane* plane = light.GetShadowPlane(i);
        mFbx->FieldWriteBegin("Plane");
        for (int axis = 0; axis < 3; ++axis) {
            mFbx->FieldWriteD(plane->mOrigin[axis]);
        }
        for (int axis = 0; axis < 3; ++axis) {
            mFbx->FieldWriteD(plane->mNormal[axis]);
        }
        mFbx->FieldWriteI(plane->mEnable ? 1 : 0);
        mFbx->FieldWriteEnd();
    }
    WriteIntRecord(*mFbx, "UseShadow", light.GetShadowEnable() ? 1 : 0);
    mFbx->FieldWriteBegin("ShadowIntensity");
    mFbx->FieldWriteD(light.GetShadowIntensity());
    mFbx->FieldWriteEnd();
    mFbx->FieldWriteBlockEnd();
    mFbx->FieldWriteEnd();
}

void KFbxWriterFbxCommon::WriteModelEnd() {
    mFbx->FieldWriteBlockEnd();
    mFbx->FieldWriteEnd();
}

}  // namespace fbxsdk_2006_11_1
