#include <fbxfilesdk/fbx/KFbxImporter.h>

#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/fbx/KFbxReader.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6.h>
#include <fbxfilesdk/fbx/KFbxStreamOptions.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

#include <platform/os/File.h>

#include <cerrno>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr int kNewestMajorVersion = 6;
constexpr int kFbx5MajorVersion = 5;

int ImporterCodeOf(int readerCode) {
    switch (readerCode) {
        case KFbxReader::eFILE_CORRUPTED: return KFbxIO::eFILE_CORRUPTED;
        case KFbxReader::eFILE_VERSION_NOT_SUPPORTED: return KFbxIO::eFILE_VERSION_NOT_SUPPORTED_YET;
        case KFbxReader::eWRONG_PASSWORD: return KFbxIO::eWRONG_PASSWORD;
        case KFbxReader::eFILE_NOT_OPENED: return KFbxIO::eFILE_NOT_OPENED;
        case KFbxReader::eSTREAM_OPTIONS_NOT_SET: return KFbxIO::eSTREAM_OPTIONS_NOT_SET;
        default: return KFbxIO::eUNIDENTIFIED_ERROR;
    }
}

}  // namespace


KFbxImporter::KFbxImporter(KFbxSdkManager* manager, const char* name) : KFbxIO(manager, name) {}

KFbxImporter::~KFbxImporter() { ReleaseReader(); }

KFbxImporter* KFbxImporter::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxImporter>(manager, ClassId, name);
}

KFbxPlug* KFbxImporter::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxImporter>(manager, name);
}

KFbxClassId KFbxImporter::GetClassId() const { return ClassId; }

void KFbxImporter::ReleaseReader() {
    if (mReader != nullptr && mReader->IsFileOpen()) {
        mReader->FileClose();
    }
    mReader.reset();
    mFormat = -1;
}

void KFbxImporter::TakeReaderError() {
    const int code = mReader->GetError().GetLastErrorID();
    const char* text = mReader->GetError().GetLastErrorString();
    mError.SetErrorWithText(ImporterCodeOf(code), text[0] != '\0' ? text : GetErrorText(ImporterCodeOf(code)));
}

bool KFbxImporter::Initialize(const char* fileName) {
    ReleaseReader();
    mMessage = KString();
    if (!KFbxIO::Initialize(fileName)) {
        return false;
    }
    KFbxSdkManager* manager = GetSdkManager();
    if (manager == nullptr) {
        mError.SetError(eINVALID_PARAMETER);
        return false;
    }
    int format = KFbxFileFormatRegistry::Get().FindReaderByExtension(fileName);
    const bool knownExtension = format >= 0;
    if (!knownExtension) {
        // An FBX file may carry any name; whatever else it is, no reader knows it.
        format = KFbxFileFormatRegistry::eFBX_READER;
    }
    if (!OpenWith(format, fileName)) {
        if (!knownExtension && mError.GetLastErrorID() == eFILE_CORRUPTED) {
            KString text("No reader knows the format of ");
            text += fileName;
            text += " (as an FBX file: ";
            text += mError.GetLastErrorString();
            text += ")";
            mError.SetErrorWithText(eFILE_CORRUPTED, text.Buffer());
        }
        return false;
    }
    if (format == KFbxFileFormatRegistry::eFBX_READER) {
        int major = 0;
        int minor = 0;
        int revision = 0;
        mReader->GetVersion(major, minor, revision);
        if (major != kNewestMajorVersion && major != kFbx5MajorVersion) {
            KString text("FBX File version ");
            text += major * 1000 + minor * 100 + revision;
            text += " is not supported in this product";
            ReleaseReader();
            mError.SetErrorWithText(eFILE_VERSION_NOT_SUPPORTED_YET, text.Buffer());
            return false;
        }
        if (major == kFbx5MajorVersion) {
            return HandOverTo(KFbxFileFormatRegistry::eFBX5_READER, fileName);
        }
    }
    return true;
}

bool KFbxImporter::CanOpen(const char* fileName) {
    // Looked at, not opened: the reader opens it next.
    if (!qalimor::os::CanReadRegularFile(fileName)) {
        const int error = errno;
        KString text(GetErrorText(eFILE_NOT_OPENED));
        text += " (";
        text += fileName;
        text += ": ";
        text += qalimor::os::OpenFailureText(error).c_str();
        text += ")";
        mError.SetErrorWithText(eFILE_NOT_OPENED, text.Buffer());
        return false;
    }
    return true;
}

bool KFbxImporter::HandOverTo(int format, const char* fileName) {
    KFbxSdkManager* manager = GetSdkManager();
    std::unique_ptr<KFbxReader> reader(
        manager != nullptr ? KFbxFileFormatRegistry::Get().CreateReader(format, *manager, this) : nullptr);
    auto* open = dynamic_cast<KFbxReaderFbx6*>(mReader.get());
    auto* next = dynamic_cast<KFbxReaderFbx6*>(reader.get());
    if (open == nullptr || next == nullptr) {
        // A reader of another kind opens the file itself.
        return OpenWith(format, fileName);
    }
    next->TakeOpenFile(*open);
    ReleaseReader();
    mReader = std::move(reader);
    mFormat = format;
    return true;
}

bool KFbxImporter::OpenWith(int format, const char* fileName) {
    ReleaseReader();
    KFbxSdkManager* manager = GetSdkManager();
    mReader.reset(manager != nullptr ? KFbxFileFormatRegistry::Get().CreateReader(format, *manager, this) : nullptr);
    if (mReader == nullptr) {
        // A file that cannot be opened says so before the want of a reader.
        if (CanOpen(fileName)) {
            mError.SetErrorWithText(eUNIDENTIFIED_ERROR, "No reader for this file format");
        }
        return false;
    }
    // No reader opens a file that is not there, waits on a FIFO or reads a
    // device without end: a reader that would open anything is given only a
    // regular file looked at first; one that refuses the rest itself is only
    // asked, and its failure looked into, which spares every file it opens
    // two system calls.
    const bool lookFirst = !mReader->OpensRegularFilesOnly();
    if (lookFirst && !CanOpen(fileName)) {
        ReleaseReader();
        return false;
    }
    if (!mReader->FileOpen(fileName)) {
        const bool explained =
            !lookFirst && mReader->GetError().GetLastErrorID() == KFbxReader::eFILE_NOT_OPENED && !CanOpen(fileName);
        if (!explained) {
            TakeReaderError();
        }
        ReleaseReader();
        return false;
    }
    mFormat = format;
    return true;
}

bool KFbxImporter::Import(KFbxScene* scene, KFbxStreamOptions* options) {
    if (mReader == nullptr) {
        mError.SetError(eFILE_NOT_OPENED);
        return false;
    }
    if (scene == nullptr) {
        mError.SetError(eINVALID_PARAMETER);
        return false;
    }
    KFbxStreamOptions* ownOptions = nullptr;
    if (options == nullptr) {
        ownOptions = mReader->GetReadOptions();
        if (ownOptions == nullptr) {
            TakeReaderError();
            return false;
        }
        options = ownOptions;
    }
    mError.ClearError();
    const bool read = mReader->Read(scene, options);
    mReader->GetMessageText(mMessage);
    if (ownOptions != nullptr) {
        ownOptions->Destroy();
    }
    if (!read) {
        TakeReaderError();
    }
    return read;
}

KFbxStreamOptions* KFbxImporter::GetImportOptions() {
    if (mReader == nullptr) {
        mError.SetError(eFILE_NOT_OPENED);
        return nullptr;
    }
    KFbxStreamOptions* options = mReader->GetReadOptions();
    if (options == nullptr) {
        TakeReaderError();
    }
    return options;
}

void KFbxImporter::GetFileVersion(int& major, int& minor, int& revision) {
    major = 0;
    minor = 0;
    revision = 0;
    if (mReader != nullptr) {
        mReader->GetVersion(major, minor, revision);
    }
}

}  // namespace fbxsdk_2006_11_1
