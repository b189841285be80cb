#include <fbxfilesdk/fbx/KFbxReaderFbx6.h>

#include <fbxfilesdk/core/KProgress.h>
#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6Fields.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6Pass.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>
#include <fbxfilesdk/scene/KFbxGlobalSettings.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <cstdint>
#include <cstring>
#include <iterator>
#include <new>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr int kNewestMajorVersion = 6;
constexpr int kMainSection = 0;
constexpr int kSummarySection = 1;

// The kinds of object whose records stand in "Objects" under the name their
// definitions count them by. "Geometry" is not one: writers count with it
// the meshes and surfaces that models hold inside their own records.
const char* const kCountedKinds[] = {"Model", "GeometryWeightedMap", "GenericNode", "Material", "Texture",
                                     "Video", "SceneInfo", "Deformer", "Cache", "Pose", "ControlSetPlug",
                                     "Constraint", "GlobalSettings"};

// What the top-level sections of a main section tell of its wholeness.
// Every FBX 6 writer announces its objects in "Definitions" before
// "Objects" and places them with "Connections" after; an ascii file cut
// between two sections still parses, and only what is missing shows it.
struct SectionCensus {
    bool mAnnouncesObjects = false;
    bool mConnections = false;
    // The records of "Objects" that mean nothing unless connections place
    // them: the scene's models, and the deformers that act on them. The
    // producer cameras and the camera switcher, which every scene has, and
    // settings, scene information, materials and textures read whole
    // without one.
    std::uint32_t mObjectsToConnect = 0;
    // Per counted kind, the objects the definitions announce and the
    // records "Objects" holds.
    std::int64_t mAnnounced[std::size(kCountedKinds)] = {};
    std::uint32_t mHeld[std::size(kCountedKinds)] = {};
};

// Whether the "Model" record being read is one of the scene's own nodes,
// neither a producer camera nor the camera switcher, by what the record is:
// a model of any other type keeps its place whatever its name.
bool IsSceneModel(KFbx& file) {
    const KString name = file.FieldGetRemainingValueCount() > 0 ? fbx6read::WithoutPrefix(file.FieldReadS()) : KString();
    const KString type = file.FieldGetRemainingValueCount() > 0 ? file.FieldReadS() : KString();
    return type != "CameraSwitcher" && fbx6read::ProducerCameraOf(name, type) < 0;
}

// The census of the main section (selected, at its top level), which is
// selected afresh afterwards.
SectionCensus TakeCensus(KFbx& file) {
    SectionCensus census;
    census.mConnections = file.FieldReadExists("Connections");
    if (file.FieldReadBegin("Definitions")) {
        if (file.FieldReadBlockBegin()) {
            while (file.FieldReadBegin("ObjectType")) {
                const KString kind = file.FieldGetRemainingValueCount() > 0 ? file.FieldReadS() : KString();
                int count = 0;
                if (file.FieldReadBlockBegin()) {
                    count = file.FieldReadIDefault("Count", 0);
                    file.FieldReadBlockEnd();
                }
                file.FieldReadEnd();
                if (count <= 0) {
                    continue;
                }
                census.mAnnouncesObjects = true;
                for (std::size_t k = 0; k < std::size(kCountedKinds); ++k) {
                    if (std::strcmp(kind.Buffer(), kCountedKinds[k]) == 0) {
                        census.mAnnounced[k] += count;
                    }
                }
            }
            file.FieldReadBlockEnd();
        }
        file.FieldReadEnd();
    }
    if (file.FieldReadBegin("Objects")) {
        if (file.FieldReadBlockBegin()) {
            for (std::size_t k = 0; k < std::size(kCountedKinds); ++k) {
                census.mHeld[k] = file.FieldReadCount(kCountedKinds[k]);
            }
            census.mObjectsToConnect = file.FieldReadCount("Deformer");
            while (file.FieldReadBegin("Model")) {
                census.mObjectsToConnect += IsSceneModel(file) ? 1 : 0;
                file.FieldReadEnd();
            }
            file.FieldReadBlockEnd();
        }
        file.FieldReadEnd();
    }
    file.SelectSection(kMainSection);
    return census;
}

int ReaderCodeOf(int fieldFileCode) {
    switch (fieldFileCode) {
        case KFbx::eFileNotOpened: return KFbxReader::eFILE_NOT_OPENED;
        case KFbx::eFileVersionNotSupported: return KFbxReader::eFILE_VERSION_NOT_SUPPORTED;
        case KFbx::eWrongPassword: return KFbxReader::eWRONG_PASSWORD;
        case KFbx::eOutOfMemory: return KFbxReader::eOUT_OF_MEMORY;
        default: return KFbxReader::eFILE_CORRUPTED;
    }
}

}  // namespace

KFbxReaderFbx6::KFbxReaderFbx6(KFbxSdkManager& manager, KFbxIO* /*io*/) : KFbxReader(manager) {}

KFbxReaderFbx6::~KFbxReaderFbx6() { FileClose(); }

void KFbxReaderFbx6::GetVersion(int& major, int& minor, int& revision) {
    if (!IsFileOpen()) {
        KFbxReader::GetVersion(major, minor, revision);
        return;
    }
    major = mFileVersion / 1000;
    minor = (mFileVersion % 1000) / 100;
    revision = mFileVersion % 100;
}

void KFbxReaderFbx6::SetFieldFileError(int fieldFileCode, const char* text) {
    const int code = ReaderCodeOf(fieldFileCode);
    KString message(GetErrorText(code));
    // The field file's own text says what was wrong, such as a failed
    // trailer check; it follows the status text, or stands for it when it
    // already begins with it.
    if (text != nullptr && text[0] != '\0') {
        if (std::strncmp(text, message.Buffer(), static_cast<std::size_t>(message.GetLen())) == 0) {
            message = text;
        } else {
            message += " (";
            message += text;
            message += ")";
        }
    }
    mError.SetErrorWithText(code, message.Buffer());
}

bool KFbxReaderFbx6::FileOpen(const char* fileName) {
    FileClose();
    mError.ClearError();
    if (fileName == nullptr || fileName[0] == '\0') {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    auto file = std::unique_ptr<KFbx>(new (std::nothrow) KFbx());
    if (file == nullptr) {
        mError.SetError(eOUT_OF_MEMORY);
        return false;
    }
    // A protected file is kept locked as it was read, and opened for good by
    // Read, which knows the password: never read again by its name, which
    // may lead to another file by then.
    if (file->FileOpen(fileName, nullptr) || file->IsLocked()) {
        mFileVersion = file->GetFileHeaderInfo().mFileVersion;
        mFile = std::move(file);
        mFileName = KString(fileName);
        return true;
    }
    SetFieldFileError(file->GetLastErrorCode(), file->GetLastErrorText());
    return false;
}

bool KFbxReaderFbx6::FileClose() {
    const bool wasOpen = IsFileOpen();
    mFile.reset();
    mFileVersion = 0;
    mFileName = KString();
    if (!wasOpen) {
        mError.SetError(eFILE_NOT_OPENED);
    }
    return wasOpen;
}

bool KFbxReaderFbx6::IsFileOpen() { return mFile != nullptr; }

bool KFbxReaderFbx6::NeedsPassword() const { return mFile != nullptr && mFile->IsLocked(); }

void KFbxReaderFbx6::TakeOpenFile(KFbxReaderFbx6& other) {
    if (&other == this) {
        return;
    }
    FileClose();
    mError.ClearError();
    mFile = std::move(other.mFile);
    mFileName = other.mFileName;
    mFileVersion = other.mFileVersion;
    other.FileClose();
}

bool KFbxReaderFbx6::Unlock(const char* password) {
    if (!mFile->Unlock(password)) {
        SetFieldFileError(mFile->GetLastErrorCode(), mFile->GetLastErrorText());
        // Only a wrong password leaves the file to try another.
        if (!mFile->IsLocked()) {
            mFile.reset();
        }
        return false;
    }
    return true;
}

KFbxStreamOptions* KFbxReaderFbx6::GetReadOptions() {
    if (!IsFileOpen()) {
        mError.SetError(eFILE_NOT_OPENED);
        return nullptr;
    }
    KFbxStreamOptionsFbxReader* options = KFbxStreamOptionsFbxReader::Create(&mManager, "");
    if (options == nullptr) {
        mError.SetError(eOUT_OF_MEMORY);
        return nullptr;
    }
    // A protected file tells nothing before its password is given.
    if (!NeedsPassword() && mFile->SelectSection(kSummarySection)) {
        std::vector<KFbxTakeInfo> takes;
        KString current;
        KFbxReaderFbx6Pass::ReadSummaryTakes(*mFile, takes, current);
        for (const KFbxTakeInfo& take : takes) {
            options->GetTakeList().AddTakeInfo(take);
        }
        options->SetOption("CURRENT TAKE NAME", current.Buffer());
        mFile->SelectSection(kMainSection);
    }
    return options;
}

bool KFbxReaderFbx6::Read(KFbxScene* scene, KFbxStreamOptions* options) {
    mError.ClearError();
    ClearMessage();
    if (!IsFileOpen()) {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    auto* fbxOptions = dynamic_cast<KFbxStreamOptionsFbxReader*>(options);
    if (scene == nullptr || fbxOptions == nullptr) {
        mError.SetError(eSTREAM_OPTIONS_NOT_SET);
        return false;
    }
    if (!ReadsVersion(mFileVersion)) {
        KString text("FBX File version ");
        text += mFileVersion;
        text += " is not supported in this product";
        mError.SetErrorWithText(eFILE_VERSION_NOT_SUPPORTED, text.Buffer());
        return false;
    }
    if (NeedsPassword()) {
        const KString password = fbxOptions->GetStringOption("PASSWORD", "");
        if (!Unlock(password.Buffer())) {
            return false;
        }
    }
    // Everything that can refuse the file has run: from here on the read
    // only fills the scene.
    if (!mFile->SelectSection(kMainSection)) {
        mError.SetError(eFILE_CORRUPTED);
        return false;
    }
    KString refusal;
    if (!CheckFile(*mFile, refusal)) {
        if (!ReportContentLoss()) {
            mError.SetErrorWithText(eFILE_CORRUPTED, refusal.Buffer());
        }
        return false;
    }
    mFile->SelectSection(kMainSection);
    if (IProgress* progress = KProgress::GetGlobal()) {
        progress->Update(0, 0);
    }
    mMedia.Begin(mFileName.Buffer(), mFile->GetFileFolder());
    // The media folder is let go whatever the read's end.
    struct EndMedia {
        MediaExtraction& media;
        ~EndMedia() { media.End(); }
    } endMedia{mMedia};
    // A read that runs out of memory fails and leaves the caller's scene as
    // it was. A scene that holds nothing yet is read into directly and
    // cleared again on failure; a scene with content is kept whole while a
    // first read into a scene of its own shows that the file fits, and only
    // then cleared and read into (it keeps its root and switcher nodes).
    if (!HoldsNothing(*scene)) {
        KFbxScene* trial = KFbxScene::Create(&mManager, "");
        const KString told = mMessage;
        const bool fits = trial != nullptr && Fill(*trial, *fbxOptions);
        if (fits) {
            // The read below tells again what the trial found.
            mMessage = told;
        }
        if (trial != nullptr) {
            trial->Destroy(true, true);
        }
        if (!fits) {
            return FillFailed();
        }
    }
    scene->Clear();
    if (!Fill(*scene, *fbxOptions)) {
        scene->Clear();
        return FillFailed();
    }
    return true;
}

bool KFbxReaderFbx6::FillFailed() {
    if (!ReportContentLoss()) {
        mError.SetError(eOUT_OF_MEMORY);
    }
    return false;
}

bool KFbxReaderFbx6::ReportContentLoss() {
    const char* loss = mFile->GetContentLoss();
    if (loss != nullptr) {
        SetFieldFileError(KFbx::eFileCorrupted, loss);
    }
    return loss != nullptr;
}

bool KFbxReaderFbx6::Fill(KFbxScene& scene, KFbxStreamOptionsFbxReader& options) {
    mFile->SelectSection(kMainSection);
    const std::uint64_t failuresBefore = SdkAllocationFailureCount();
    bool outOfMemory = false;
    try {
        outOfMemory = !ReadFile(*mFile, scene, options);
    } catch (const std::bad_alloc&) {
        outOfMemory = true;
    }
    mFile->SelectSection(kMainSection);
    return !outOfMemory && SdkAllocationFailureCount() == failuresBefore && mFile->GetContentLoss() == nullptr;
}

bool KFbxReaderFbx6::HoldsNothing(const KFbxScene& scene) {
    const KFbxNode* root = scene.GetRootNode();
    const KFbxNode* switcher = scene.GetCameraSwitcherNode();
    if (root == nullptr || root->GetChildCount() != 0 || scene.GetTakeInfoCount() != 0 ||
        scene.GetSceneInfo() != nullptr) {
        return false;
    }
    const KFbxObject* switcherAttribute = switcher != nullptr ? switcher->GetNodeAttribute() : nullptr;
    const KFbxObject* settings = scene.GetGlobalSettings();
    for (int index = 0; index < scene.GetSrcObjectCount(); ++index) {
        const KFbxObject* object = scene.GetSrcObject(KFbxClassId(), index);
        if (object != root && object != switcher && object != switcherAttribute && object != settings) {
            return false;
        }
    }
    return true;
}

bool KFbxReaderFbx6::ReadsVersion(int version) const { return version / 1000 == kNewestMajorVersion; }

bool KFbxReaderFbx6::HoldsAnySection(KFbx& file, std::initializer_list<const char*> sections, KString& why) {
    KString names;
    for (const char* section : sections) {
        if (file.FieldReadExists(section)) {
            return true;
        }
        names += names.GetLen() > 0 ? ", " : "";
        names += section;
    }
    why = KString("The file holds no section this reader knows (") + names + ")";
    return false;
}

bool KFbxReaderFbx6::CheckFile(KFbx& file, KString& why) {
    if (!HoldsAnySection(file, {"Objects", "Connections", "Takes", "Version5"}, why) ||
        !KFbxReaderFbx6Pass::CheckObjectRecords(file, why)) {
        return false;
    }
    file.SelectSection(kMainSection);
    const SectionCensus census = TakeCensus(file);
    if (census.mObjectsToConnect > 0 && !census.mConnections) {
        // A file that announces its objects is a writer's whole file, whose
        // connections cannot be missing; one that does not was put together
        // by hand, and reads for what it holds.
        if (census.mAnnouncesObjects) {
            why = KString(GetErrorText(eFILE_CORRUPTED)) +
                  " (the file announces and holds objects but has no \"Connections\" section: it is cut short or "
                  "damaged)";
            return false;
        }
        if (KeepWarning()) {
            mMessage += "The file holds objects and no \"Connections\" section: nothing connects them, and its models "
                        "are placed under the root\n";
        }
    }
    // Writers count differently (the settings in the total or not, the
    // geometry held by models), so counts short of what the definitions
    // announce are only named.
    for (std::size_t k = 0; k < std::size(kCountedKinds); ++k) {
        if (census.mAnnounced[k] > census.mHeld[k] && KeepWarning()) {
            const std::string line = "The file announces " + std::to_string(census.mAnnounced[k]) + " \"" +
                                     kCountedKinds[k] + "\" objects in its definitions and holds " +
                                     std::to_string(census.mHeld[k]) + "\n";
            mMessage += line.c_str();
        }
    }
    return true;
}

bool KFbxReaderFbx6::ReadFile(KFbx& file, KFbxScene& scene, KFbxStreamOptionsFbxReader& options) {
    KFbxReaderFbx6Pass pass(mManager, file, scene, options);
    pass.SetMedia(&mMedia);
    pass.SetMessages(&mMessage);
    pass.Run();
    return !pass.OutOfMemory();
}

KFbxReader* CreateFbxReader(KFbxSdkManager& manager, KFbxIO* io, int /*subFormat*/) {
    return new (std::nothrow) KFbxReaderFbx6(manager, io);
}

}  // namespace fbxsdk_2006_11_1
