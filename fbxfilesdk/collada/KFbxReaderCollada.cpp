#include <fbxfilesdk/collada/KFbxReaderCollada.h>

#include <fbxfilesdk/collada/ColladaDocument.h>
#include <fbxfilesdk/collada/KFbxReaderColladaPass.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KFbxUserNotification.h>
#include <fbxfilesdk/fbx/KFbxReaderLeftovers.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsForeign.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxSceneRenamer.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

#include <platform/os/File.h>

#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

// The notification entry that collects what file readers and writers report.
constexpr int kNotificationEntry = 6;
constexpr const char* kTakeName = "Take 001";
constexpr const char* kParseFailure = "Unable to parse xml/dae file\n";

}  // namespace

KFbxReaderCollada::KFbxReaderCollada(KFbxSdkManager& manager) : KFbxReader(manager) {}

KFbxReaderCollada::~KFbxReaderCollada() = default;

bool KFbxReaderCollada::FileOpen(const char* fileName) {
    mFile.reset();
    mFileName = KString();
    mError.ClearError();
    if (fileName == nullptr || fileName[0] == '\0') {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    // Only a regular file: a FIFO would stall the open, a device never end.
    mFile.reset(qalimor::os::OpenRegularFile(fileName));
    if (mFile == nullptr) {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    if (mStreamBuffer == nullptr) {
        mStreamBuffer.reset(new (std::nothrow) char[kStreamBufferBytes]);
    }
    if (mStreamBuffer != nullptr) {
        std::setvbuf(mFile.get(), mStreamBuffer.get(), _IOFBF, kStreamBufferBytes);
    }
    mFileName = KString(fileName);
    return true;
}

bool KFbxReaderCollada::OpensRegularFilesOnly() const { return true; }

bool KFbxReaderCollada::FileClose() {
    if (mFile == nullptr) {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    const bool closed = std::fclose(mFile.release()) == 0;
    mFileName = KString();
    return closed;
}

bool KFbxReaderCollada::IsFileOpen() { return mFile != nullptr; }

void KFbxReaderCollada::ResetTimeInfo() { mTimeInfo = TimeInfo(); }

KFbxStreamOptions* KFbxReaderCollada::GetReadOptions() {
    if (!IsFileOpen()) {
        mError.SetError(eFILE_NOT_OPENED);
        return nullptr;
    }
    ResetTimeInfo();
    KFbxStreamOptionsColladaReader* options = KFbxStreamOptionsColladaReader::Create(&mManager, "");
    if (options == nullptr) {
        mError.SetError(eOUT_OF_MEMORY);
        return nullptr;
    }
    options->SetOption("START", mTimeInfo.mStart);
    options->SetOption("FRAME COUNT", mTimeInfo.mFrameCount);
    options->SetFrameRate(KTime::eDefaultMode, mTimeInfo.mFrameRate);
    return options;
}

bool KFbxReaderCollada::Read(KFbxScene* scene, KFbxStreamOptions* options) {
    mError.ClearError();
    ClearMessage();
    ResetTimeInfo();
    if (scene == nullptr || options == nullptr) {
        mError.SetError(eSTREAM_OPTIONS_NOT_SET);
        return false;
    }
    if (!IsFileOpen()) {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    std::rewind(mFile.get());
    KString parseError;
    // Arrays are parsed as the text arrives: a large mesh never stands as text.
    const ColladaDocument document =
        ColladaDocument::ParseStream(mFile.get(), mFileName.Buffer(), parseError, ColladaArrayText::kParse);
    if (document.IsEmpty()) {
        AddNotificationError(parseError);
        return ReadFailed();
    }
    KFbxNode* root = scene->GetRootNode();
    const int childrenBefore = root != nullptr ? root->GetChildCount() : 0;
    KFbxReaderLeftovers leftovers(mManager);
    bool read = false;
    {
        KFbxReaderColladaPass pass(*this, mManager);
        pass.SetNodeLimit(options->GetIntOption("NODE LIMIT", KFbxStreamOptionsColladaReader::kDefaultNodeLimit));
        read = pass.ReadDocument(document.GetRoot());
        if (read) {
            pass.MoveInto(*scene);
        }
    }
    // Templates, library objects, stand-ins and unbound copies go, once the
    // pass that points at them has ended.
    leftovers.DestroyUnused(read ? scene : nullptr);
    if (!read) {
        return ReadFailed();
    }
    FinishScene(*scene);
    if (root == nullptr || root->GetChildCount() == childrenBefore) {
        // A document of libraries alone is valid, yet its caller must learn
        // that the scene stayed empty.
        AddNotificationWarning(
            KString("The document holds no scene content: no <instance_visual_scene> brings in a node"));
    }
    return true;
}

void KFbxReaderCollada::FinishScene(KFbxScene& scene) {
    // The take exists in the scene even when nothing is animated, so that
    // its record can be kept.
    if (KFbxNode* root = scene.GetRootNode()) {
        root->CreateTakeNode(kTakeName);
    }
    KFbxTakeInfo take;
    take.mName = kTakeName;
    take.mLocalTimeSpan.Set(mTimeInfo.mStart, mTimeInfo.mStop);
    take.mReferenceTimeSpan.Set(mTimeInfo.mStart, mTimeInfo.mStop);
    scene.SetTakeInfo(take);
    scene.SetCurrentTake(kTakeName);
    KFbxSceneRenamer(&scene).RenameFor(KFbxSceneRenamer::eFROM_COLLADA);
}

bool KFbxReaderCollada::ReadFailed() {
    Notify("ERROR: ", KString(kParseFailure));
    mMessage += kParseFailure;
    mError.SetErrorWithText(eFILE_CORRUPTED, kParseFailure);
    return false;
}

void KFbxReaderCollada::Notify(const char* prefix, const KString& message) {
    if (KFbxUserNotification* notification = mManager.GetUserNotification()) {
        notification->AddDetail(kNotificationEntry, KString(prefix) + message);
    }
}

void KFbxReaderCollada::Report(const char* prefix, const KString& message) {
    if (!KeepWarning()) {
        return;
    }
    Notify(prefix, message);
    // Without a notification that keeps entry 6 the caller still learns what
    // went wrong from the message text, one report a line.
    mMessage += prefix;
    mMessage += message;
    if (message.GetLen() == 0 || message[message.GetLen() - 1] != '\n') {
        mMessage += '\n';
    }
}

void KFbxReaderCollada::AddNotificationError(const KString& message) { Report("ERROR: ", message); }

void KFbxReaderCollada::AddNotificationWarning(const KString& message) { Report("Warning: ", message); }

void KFbxReaderCollada::AddNotificationWarningOnce(const char* key, const KString& message) {
    if (mWarnedNames.insert(key != nullptr ? key : "").second) {
        AddNotificationWarning(message);
    }
}

KFbxReader* CreateColladaReader(KFbxSdkManager& manager, KFbxIO* /*io*/, int /*subFormat*/) {
    return new (std::nothrow) KFbxReaderCollada(manager);
}

}  // namespace fbxsdk_2006_11_1
