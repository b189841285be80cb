#include <fbxfilesdk/fbx/KFbxWriterFbxCommon.h>

#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KFbxDocumentFileNames.h>
#include <fbxfilesdk/core/KFbxPath.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KFbxSystemUtils.h>
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbxFileHeaderInfo.h>
#include <fbxfilesdk/fbx/KFbxIO.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>
#include <fbxfilesdk/scene/KFbxGlobalCameraSettings.h>
#include <fbxfilesdk/scene/KFbxGlobalLightSettings.h>
#include <fbxfilesdk/scene/KFbxImageBuffer.h>
#include <fbxfilesdk/scene/KFbxImageConverter.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSceneInfo.h>
#include <fbxfilesdk/scene/KFbxThumbnail.h>

#include <platform/os/File.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <numeric>
#include <string>
#include <string_view>
#include <system_error>
#include <unordered_map>
#include <vector>
#include <unordered_set>

#include <unistd.h>

namespace fbxsdk_2006_11_1 {

namespace {

// A file of its own for an image a converter made, never the user's media
// file; removed with this object.
class TemporaryImageFile {
public:
    TemporaryImageFile() {
        std::error_code error;
        std::string pattern = (std::filesystem::temp_directory_path(error) / "video-XXXXXX").string();
        if (error) return;
        const int descriptor = mkstemp(pattern.data());
        if (descriptor < 0) return;
        close(descriptor);
        mPath = pattern;
    }
    ~TemporaryImageFile() {
        if (!mPath.empty()) std::remove(mPath.c_str());
    }
    TemporaryImageFile(const TemporaryImageFile&) = delete;
    TemporaryImageFile& operator=(const TemporaryImageFile&) = delete;

    // Empty when no file could be made.
    const std::string& Path() const { return mPath; }

private:
    std::string mPath;
};

// The text followed by the number in decimal.
std::string WithNumber(std::string_view text, int number) {
    char digits[16];
    const char* end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    std::string numbered(text);
    numbered.append(digits, static_cast<std::size_t>(end - digits));
    return numbered;
}

}  // namespace

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
    if (!IsOutputWhole()) {
        mFbx->FileDiscardAtClose();
    }
    bool closed = mFbx->FileClose();
    if (!closed) {
        const int code = mFbx->GetLastErrorCode();
        if (code == KFbx::eFileNotOpened) {
            mError.SetError(eFILE_NOT_OPENED);
        } else if (code == KFbx::eOutOfDiskSpace || KFbx::NamesWriteFailure(code)) {
            // A footer that did not reach the disk is not a shortage of
            // memory for embedded media.
            SetFieldFileError();
        } else {
            mError.SetErrorWithText(eEMBEDDED_OUT_OF_SPACE, mFbx->GetLastErrorText());
        }
    }
    mFbx->Destroy();
    mFbx = nullptr;
    return closed;
}

bool KFbxWriterFbxCommon::IsFileOpen() { return mFbx != nullptr; }

bool KFbxWriterFbxCommon::CreateFieldFile(const char* fileName, int fileVersion) {
    if (mFbx == nullptr) {
        mFbx = IFbxObject::Create();
        if (mFbx == nullptr) {
            mError.SetError(eFILE_NOT_CREATED);
            return false;
        }
    }
    KFbxFileHeaderInfo header;
    header.mFileVersion = fileVersion;
    header.mCreationTimeStampPresent = false;
    header.mResolutionPresent = false;
    header.mCreator = "";

    mFileName = fileName != nullptr ? fileName : "";
    const KString path = KFbxJoinPath(KFbxGetCurrentDirectory(), KString(mFileName.c_str()));
    mJoinedFileName = mFileName.empty() ? "" : path.Buffer();
    const bool binary = mFileMode == eBINARY || mFileMode == eENCRYPTED;
    StartOutput();
    if (mFbx->FileCreate(path.Buffer(), binary, mFileMode == eENCRYPTED, &header)) {
        return true;
    }
    const std::string text = FieldFileErrorText();
    switch (mFbx->GetLastErrorCode()) {
        case KFbx::eFileCorrupted:
            mError.SetErrorWithText(eFILE_CORRUPTED, text.c_str());
            break;
        case KFbx::eFileNotCreated:
            mError.SetErrorWithText(eFILE_NOT_CREATED, text.c_str());
            break;
        default:
            mError.SetErrorWithText(eEMBEDDED_OUT_OF_SPACE, text.c_str());
            break;
    }
    return false;
}

void KFbxWriterFbxCommon::RememberNames(KFbxScene& scene) { mRenamed.Remember(scene); }

void KFbxWriterFbxCommon::MakeNamesUnique(KFbxScene& scene) {
    std::unordered_set<std::string> taken;
    KFbxNode* root = scene.GetRootNode();
    if (root != nullptr) {
        taken.insert(root->GetNameWithTypePrefix().Buffer());
        // The name the root's connections go by.
        taken.insert("Model::Scene");
    }
    // The switcher keeps the name files know it by, whatever object of that
    // name comes before it.
    const KFbxNode* switcher = scene.GetCameraSwitcherNode();
    if (switcher != nullptr) {
        taken.insert(switcher->GetNameWithTypePrefix().Buffer());
    }
    const KFbxGlobalCameraSettings& cameras = scene.GetGlobalCameraSettings();
    for (int which = 0; which < KFbxGlobalCameraSettings::ePRODUCER_CAMERA_COUNT; ++which) {
        if (const KFbxNode* node = cameras.GetProducerCameraNode(which)) {
            taken.insert(node->GetNameWithTypePrefix().Buffer());
        }
    }
    // A clashing name takes the first free of name1, name2 and so on. Names
    // once taken stay taken, so each name goes on from the number after the
    // last it gave instead of from 1: many objects of one name (the unnamed
    // attributes of a file read back) cost their count, not its square.
    std::unordered_map<std::string, int> nextNumbers;
    for (int i = 0; i < scene.GetSrcObjectCount(KFbxObject::ClassId); ++i) {
        KFbxObject* object = scene.GetSrcObject(KFbxObject::ClassId, i);
        if (object == nullptr || object == root || object == switcher) {
            continue;
        }
        const std::string prefixed = object->GetNameWithTypePrefix().Buffer();
        if (taken.insert(prefixed).second) {
            continue;
        }
        int& number = nextNumbers.try_emplace(prefixed, 1).first->second;
        while (!taken.insert(WithNumber(prefixed, number)).second) {
            ++number;
        }
        object->SetName(WithNumber(object->GetName(), number).c_str());
        ++number;
    }
}

void KFbxWriterFbxCommon::RestoreNames(KFbxScene& scene) {
    // The conversions may have destroyed some objects and made others; the
    // snapshot leaves those alone.
    mRenamed.Restore(scene);
}

KFbxStreamOptions* KFbxWriterFbxCommon::GetWriteOptions() { return GetWriteOptions(false); }

KFbxStreamOptions* KFbxWriterFbxCommon::GetWriteOptions(bool /*unused*/) {
    return KFbxStreamOptionsFbxWriter::Create(&mManager, "");
}

bool KFbxWriterFbxCommon::Write(KFbxScene* scene, KFbxStreamOptions* options) {
    mWrittenFolder.reset();
    if (scene != nullptr) {
        PreprocessScene(*scene);
    }
    bool written = Write(scene, options, nullptr);
    if (scene != nullptr) {
        PostprocessScene(*scene);
    }
    NoteWrite(written);
    return written;
}

KFbxStreamOptionsFbxWriter* KFbxWriterFbxCommon::SelectWriteOptions(KFbxStreamOptions* options,
                                                                      KFbxStreamOptionsFbxWriter* fresh) {
    if (auto* fbxOptions = dynamic_cast<KFbxStreamOptionsFbxWriter*>(options)) {
        return fbxOptions;
    }
    if (dynamic_cast<KFbxStreamOptionsMotionWriter*>(options) != nullptr && fresh != nullptr) {
        // Motion options carry no FBX sections: the caller's set stays as it was.
        fresh->Reset();
        return fresh;
    }
    return nullptr;
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

std::string KFbxWriterFbxCommon::FieldFileErrorText() const {
    // The file as the caller named it, not in the joined form whose
    // separators only the file layer reads.
    std::string text = mFbx->GetLastErrorText();
    const std::string& joined = mJoinedFileName;
    if (joined.empty()) return text;
    for (std::size_t at = text.find(joined); at != std::string::npos; at = text.find(joined, at + mFileName.size())) {
        text.replace(at, joined.size(), mFileName);
    }
    return text;
}

void KFbxWriterFbxCommon::SetFieldFileError() {
    const int code = mFbx != nullptr ? mFbx->GetLastErrorCode() : -1;
    if (KFbx::NamesWriteFailure(code)) {
        mError.SetErrorWithText(eUNIDENTIFIED_ERROR, FieldFileErrorText().c_str());
    } else if (code == KFbx::eOutOfDiskSpace) {
        mError.SetErrorWithText(eOUT_OF_DISK_SPACE, FieldFileErrorText().c_str());
    } else {
        mError.SetError(eOUT_OF_DISK_SPACE);
    }
}

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
    // FBX 5 files name the object only; FBX 6 object records add the type name.
    if (!mFbx->IsFbx5Compatible()) {
        mFbx->FieldWriteS("UserData");
    }
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

void KFbxWriterFbxCommon::WriteVersion5GlobalSections(KFbxScene& scene) {
    WriteAmbientRenderSettings(scene);
    WriteFogOptions(scene);
    WriteShadowPlanes(scene);
}

void KFbxWriterFbxCommon::WriteRendererSetting(KFbxScene& scene) {
    KFbxGlobalCameraSettings& camera = scene.GetGlobalCameraSettings();
    mFbx->FieldWriteBegin("RendererSetting");
    mFbx->FieldWriteBlockBegin();
    mFbx->WriteStringField("DefaultCamera", camera.GetDefaultCamera());
    WriteIntRecord(*mFbx, "DefaultViewingMode", static_cast<int>(camera.GetDefaultViewingMode()));
    CloseFieldBlock(*mFbx);
}

bool KFbxWriterFbxCommon::WriteModelMultiLayer(KFbxNode& node) {
    WriteIntRecord(*mFbx, "MultiLayer", node.GetMultiLayer() ? 1 : 0);
    WriteIntRecord(*mFbx, "MultiTake", node.GetMultiTake());
    return true;
}

bool KFbxWriterFbxCommon::WriteModelShading(KFbxNode& node) {
    if (!node.GetVisibility()) {
        mFbx->WriteStringField("Hidden", "True");
    }
    static const char kShadingLetters[] = {'W', 'F', 'Y', 'T', 'U'};
    const int shading = node.GetShading();
    if (shading >= 1 && shading <= 5) {
        mFbx->FieldWriteBegin("Shading");
        mFbx->FieldWriteC(kShadingLetters[shading - 1]);
        mFbx->FieldWriteEnd();
    }
    return true;
}

bool KFbxWriterFbxCommon::WriteModelCulling(KFbxNode& node) {
    const int culling = node.GetCulling();
    const char* word = culling == 1 ? "CullingOnCCW" : culling == 2 ? "CullingOnCW" : "CullingOff";
    mFbx->WriteStringField("Culling", word);
    return true;
}

void KFbxWriterFbxCommon::WritePoseNodeBlocks(const KFbxPose& pose) {
    std::vector<int> entries(static_cast<std::size_t>(std::max(pose.GetCount(), 0)));
    std::iota(entries.begin(), entries.end(), 0);
    WritePoseNodeBlocks(pose, entries);
}

void KFbxWriterFbxCommon::WritePoseNodeBlocks(const KFbxPose& pose, const std::vector<int>& entries) {
    KFbx& file = *mFbx;
    const KString modelPrefix("Model::");
    for (const int i : entries) {
        file.FieldWriteBegin("PoseNode");
        file.FieldWriteBlockBegin();
        const KFbxObjectNameRecord name = pose.GetNodeName(i);
        file.WriteStringField("Node", KFbxReplaceTypePrefix(modelPrefix, KString(name.GetCurrentName())).Buffer());
        const KgeMatrix& matrix = pose.GetMatrix(i);
        double values[16];
        for (int k = 0; k < 16; ++k) {
            values[k] = matrix[k / 4][k % 4];
        }
        WriteDoublesRecord(file, "Matrix", values, 16);
        if (!pose.IsBindPose()) {
            WriteIntRecord(file, "Local", pose.IsLocalMatrix(i) ? 1 : 0);
        }
        CloseFieldBlock(file);
    }
}

void KFbxWriterFbxCommon::WriteModelEnd() {
    mFbx->FieldWriteBlockEnd();
    mFbx->FieldWriteEnd();
}

namespace {

// The media file as seen from the written file's folder: its place in the
// media folder when the file carries its content; else the way there from
// the written file when the scene names it by an absolute path (fromWritten);
// else the relative name the scene gives it or, without one, the way there
// from the written file as the working folder leads to it (fromWorking; a
// share's name as it is).
template <class FromWorking>
KString RelativeMediaName(const KFbx& file, const char* sceneName, const KString& fileName, const KString& mediaPath,
                          const KString& fromWritten, bool embedded, const FromWorking& fromWorking) {
    const KString& written = file.GetFileName();
    if (embedded) {
        return written.IsEmpty() ? KFbxExtractFileName(mediaPath, true) : KFbxGetRelativePath(written, mediaPath);
    }
    if (!fromWritten.IsEmpty()) {
        return fromWritten;
    }
    if (sceneName != nullptr && sceneName[0] != '\0') {
        return KString(sceneName);
    }
    // A share's file is no file of this machine: no way leads there from
    // the written file's folder.
    if (written.IsEmpty() || fileName.IsEmpty() || KFbxIsSharePath(fileName)) {
        return fileName;
    }
    const KString measured = fromWorking();
    return measured.IsEmpty() ? KFbxGetRelativePath(written, KFbxMakeAbsolutePath(fileName)) : measured;
}

}  // namespace

const KFbxDocumentFolder* KFbxWriterFbxCommon::WrittenFolder() const {
    if (mFbx == nullptr) return nullptr;
    // The field file knows the name the file is written under at last, not
    // the temporary one it fills first, in the form the SDK's paths take.
    const KString& written = mFbx->GetFileName();
    if (written.IsEmpty()) return nullptr;
    if (!mWrittenFolder || mWrittenFolderOf != written) {
        mWrittenFolder.emplace(written);
        mWrittenFolderOf = written;
    }
    return &*mWrittenFolder;
}

KString KFbxWriterFbxCommon::NameFromWrittenFile(const char* fileName) const {
    const KFbxDocumentFolder* folder = fileName != nullptr ? WrittenFolder() : nullptr;
    return folder != nullptr ? folder->NameOf(KString(fileName)) : KString();
}

KString KFbxWriterFbxCommon::NameFromWorkingFolder(const KString& fileName) const {
    const KFbxDocumentFolder* folder = WrittenFolder();
    return folder != nullptr ? folder->NameOfRelative(fileName) : KString();
}

bool KFbxWriterFbxCommon::WriteMediaFileFields(const KString& fileName, const KString& mediaPath,
                                               const char* sceneRelativeName, bool embed) {
    KFbx& file = *mFbx;
    KFbxImageBuffer image;
    image.SetOwnsBuffer(true);
    image.SetFileName(fileName);
    bool unconverted = true;
    // A converted image is embedded from a TIFF file of the writer's own,
    // which it removes itself once the content is written: the user's media
    // file is neither overwritten nor removed, so the caller has nothing to
    // clean up.
    TemporaryImageFile converted;
    bool convertedWritten = false;
    if (embed) {
        const KFbxClassId classId = KFbxImageConverter::ClassId;
        const int converters = classId == KFbxClassId() ? 0 : mManager.GetObjectCount(classId);
        for (int i = 0; i < converters && !image.IsValid(); ++i) {
            auto* converter = static_cast<KFbxImageConverter*>(mManager.GetObject(classId, i));
            if (converter == nullptr || !converter->Convert(0, fileName, &image)) continue;
            if (image.GetData() != nullptr) {
                convertedWritten = !converted.Path().empty() &&
                                   KFbxImageConverter::WriteTiffImage(KString(converted.Path().c_str()), true, &image);
                unconverted = false;
            }
            break;
        }
    }
    const bool imageReady = unconverted || convertedWritten;
    // The media file is read once, before any field is written, so that the
    // record says it carries content only when it does.
    std::string content;
    bool withContent = false;
    if (embed) {
        const char* source = convertedWritten ? converted.Path().c_str() : fileName.Buffer();
        withContent = imageReady && KFbx::ReadMediaContent(source, mediaPath.Buffer(), content);
        const std::string why = withContent ? std::string()
                                : imageReady ? qalimor::os::OpenFailureText(errno)
                                             : std::string("its converted image was not written");
        if (!withContent) {
            mMessage += "The media file \"";
            mMessage += fileName;
            mMessage += "\" is not embedded: ";
            mMessage += why.c_str();
            mMessage += ".\n";
        }
    }
    if (withContent) {
        WriteIntRecord(file, "Version", 101);
        WriteIntRecord(file, "OriginalFormat", image.GetOriginalFormat() ? 1 : 0);
        file.WriteStringField("OriginalFilename", image.GetFileName().Buffer());
    }
    file.WriteStringField("Filename", fileName.Buffer());
    file.WriteStringField("RelativeFilename",
                          RelativeMediaName(file, sceneRelativeName, fileName, mediaPath,
                                            withContent ? KString() : NameFromWrittenFile(fileName.Buffer()),
                                            withContent, [&] { return NameFromWorkingFolder(fileName); })
                              .Buffer());
    if (!embed) return true;
    if (!imageReady) {
        mError.SetError(eUNIDENTIFIED_ERROR);
        return false;
    }
    if (!withContent) return false;
    file.FieldWriteBegin("Content");
    file.FieldWriteR(content.data(), static_cast<std::int64_t>(content.size()));
    file.FieldWriteEnd();
    return true;
}

}  // namespace fbxsdk_2006_11_1
