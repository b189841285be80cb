#include <fbxfilesdk/fbx/KFbxExporter.h>

#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/fbx/KFbxStreamOptions.h>
#include <fbxfilesdk/fbx/KFbxWriter.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>
#include <platform/os/FileSizeSignalBlock.h>

#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

int ExporterCodeOf(int writerCode) {
    switch (writerCode) {
        case KFbxWriter::eFILE_CORRUPTED: return KFbxIO::eFILE_CORRUPTED;
        case KFbxWriter::eFILE_NOT_OPENED: return KFbxIO::eFILE_NOT_OPENED;
        case KFbxWriter::eFILE_NOT_CREATED: return KFbxIO::eFILE_NOT_CREATED;
        case KFbxWriter::eOUT_OF_DISK_SPACE: return KFbxIO::eOUT_OF_DISK_SPACE;
        case KFbxWriter::eSTREAM_OPTIONS_NOT_SET: return KFbxIO::eSTREAM_OPTIONS_NOT_SET;
        case KFbxWriter::eEMBEDDED_OUT_OF_SPACE: return KFbxIO::eEMBEDDED_OUT_OF_SPACE;
        default: return KFbxIO::eUNIDENTIFIED_ERROR;
    }
}

}  // namespace


KFbxExporter::KFbxExporter(KFbxSdkManager* manager, const char* name) : KFbxIO(manager, name) {
    KFbxRegisterFbxWriters();
}

KFbxExporter::~KFbxExporter() { ReleaseWriter(); }

KFbxExporter* KFbxExporter::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxExporter>(manager, ClassId, name);
}

KFbxPlug* KFbxExporter::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxExporter>(manager, name);
}

KFbxClassId KFbxExporter::GetClassId() const { return ClassId; }

bool KFbxExporter::Initialize(const char* fileName) {
    Reset();
    return KFbxIO::Initialize(fileName);
}

void KFbxExporter::Reset() {
    ReleaseWriter();
    mMessage = "";
}

void KFbxExporter::ReleaseWriter() {
    delete mWriter;
    mWriter = nullptr;
}

void KFbxExporter::TakeWriterError() {
    const int code = ExporterCodeOf(mWriter->GetLastErrorID());
    // The writer's own text may say more than the fixed one (the layer
    // below's reason): the message keeps it, and an error that has no fixed
    // name of its own (a write error) is reported by that text, as is a file
    // refused at its opening or a full disk, by the fixed text with the path
    // and the reason after it.
    const char* detail = mWriter->GetLastErrorString();
    const char* fixed = GetErrorText(code);
    const bool named = (code == eFILE_NOT_OPENED || code == eFILE_NOT_CREATED || code == eOUT_OF_DISK_SPACE) &&
                       std::strncmp(detail, fixed, std::strlen(fixed)) == 0;
    if ((code == eUNIDENTIFIED_ERROR || named) && detail[0] != '\0') {
        mError.SetErrorWithText(code, detail);
    } else {
        mError.SetError(code);
    }
    if (detail[0] != '\0' && std::strcmp(detail, mError.GetLastErrorString()) != 0) {
        if (!mMessage.IsEmpty()) {
            mMessage += "\n";
        }
        mMessage += detail;
    }
}

bool KFbxExporter::Export(KFbxScene* scene, KFbxStreamOptions* options) {
    Reset();
    if (mFileName.IsEmpty()) {
        mError.SetError(eUNINITIALIZED_FILENAME);
        return false;
    }
    KFbxSdkManager* manager = GetSdkManager();
    KFbxFileFormatRegistry& registry = KFbxFileFormatRegistry::Get();
    const int format = mFileFormat >= 0 ? mFileFormat : registry.FindWriterByExtension(mFileName.Buffer());
    if (manager == nullptr) {
        mError.SetError(eINVALID_PARAMETER);
        return false;
    }
    if (format < 0 || !registry.IsWriter(format)) {
        mError.SetErrorWithText(eINVALID_PARAMETER, NoWriterText(format).Buffer());
        return false;
    }
    mWriter = registry.CreateWriter(format, *manager, this);
    if (mWriter == nullptr) {
        // Known by name, but nothing was linked in to write it.
        mError.SetErrorWithText(eUNIDENTIFIED_ERROR, NoWriterText(format).Buffer());
        return false;
    }
    // A file past the size limit fails the export with its cause instead of
    // ending the caller's process.
    const qalimor::os::FileSizeSignalBlock sizeLimitFails;
    if (!mWriter->FileCreate(mFileName.Buffer())) {
        TakeWriterError();
        ReleaseWriter();
        return false;
    }

    KFbxStreamOptions* ownOptions = options == nullptr ? mWriter->GetWriteOptions() : nullptr;
    const bool written = mWriter->Write(scene, options != nullptr ? options : ownOptions);
    mWriter->GetMessageText(mMessage);
    if (!written) {
        TakeWriterError();
    }
    const bool closed = mWriter->FileClose();
    if (written && !closed) {
        TakeWriterError();
    }
    if (ownOptions != nullptr) {
        ownOptions->Destroy();
    }
    ReleaseWriter();
    return written && closed;
}

KString KFbxExporter::NoWriterText(int format) const {
    KString text("No writer handles ");
    if (mFileFormat >= 0) {
        text += "file format ";
        text += format;
        const KString description = KFbxFileFormatRegistry::Get().GetWriterDescription(format);
        if (!description.IsEmpty()) {
            text += " (";
            text += description;
            text += ")";
        }
    } else {
        text += "the format of ";
        text += mFileName;
    }
    return text;
}

bool KFbxExporter::WriteWithFbxWriter(KFbxScene* scene, KFbxStreamOptions* options, IFbxObject* fieldFile) {
    KFbxSdkManager* manager = GetSdkManager();
    if (options == nullptr) {
        mError.SetError(eSTREAM_OPTIONS_NOT_SET);
        return false;
    }
    if (fieldFile == nullptr) {
        mError.SetError(eFILE_NOT_CREATED);
        return false;
    }
    if (manager == nullptr) {
        mError.SetError(eINVALID_PARAMETER);
        return false;
    }
    KFbxWriterFbx writer(*manager, this);
    const qalimor::os::FileSizeSignalBlock sizeLimitFails;
    const bool written = writer.Write(scene, options, fieldFile);
    mMessage = "";
    writer.GetMessageText(mMessage);
    if (!written) {
        // A write error named by the field file is not a full disk; a full
        // one keeps the path and reason the field file gives.
        const int code = fieldFile->GetLastErrorCode();
        if (KFbx::NamesWriteFailure(code)) {
            mError.SetErrorWithText(eUNIDENTIFIED_ERROR, fieldFile->GetLastErrorText());
        } else if (code == KFbx::eOutOfDiskSpace) {
            mError.SetErrorWithText(eOUT_OF_DISK_SPACE, fieldFile->GetLastErrorText());
        } else {
            mError.SetError(eOUT_OF_DISK_SPACE);
        }
    }
    return written;
}

}  // namespace fbxsdk_2006_11_1
