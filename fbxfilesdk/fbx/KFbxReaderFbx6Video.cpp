// The FBX 6 reader's video records: file names and embedded content, which
// the textures whose files are gone take.
#include <fbxfilesdk/fbx/KFbxReaderFbx6Pass.h>

#include <fbxfilesdk/core/KFbxDocumentFileNames.h>
#include <fbxfilesdk/core/KFbxPath.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6Fields.h>
#include <fbxfilesdk/fbx/MediaExtraction.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxImageBuffer.h>
#include <fbxfilesdk/scene/KFbxImageConverter.h>
#include <fbxfilesdk/scene/KFbxVideo.h>

#include <platform/os/File.h>
#include <platform/os/FileSizeSignalBlock.h>
#include <platform/os/Folder.h>
#include <platform/os/System.h>

#include <cstdio>
#include <limits>
#include <string>
#include <unordered_map>

namespace fbxsdk_2006_11_1 {

using namespace fbx6read;

namespace {

// The base name the record gives: whatever folders it names are ignored,
// so a file cannot make the reader write anywhere but its media folder.
// Both separators count: the name may come from another system.
std::string MediaBaseName(const KString& fileName) {
    const std::string name = fileName.Buffer();
    const std::size_t cut = name.find_last_of("/\\");
    return cut == std::string::npos ? name : name.substr(cut + 1);
}

// Content that a converter turned into a TIFF image when the file was
// written: TIFF bytes under a name that is not a TIFF file's.
bool IsConvertedContent(const KString& fileName, const void* bytes, int size) {
    if (bytes == nullptr || size < 4) {
        return false;
    }
    const auto* b = static_cast<const unsigned char*>(bytes);
    const bool tiff = (b[0] == 'I' && b[1] == 'I' && b[2] == 42 && b[3] == 0) ||
                      (b[0] == 'M' && b[1] == 'M' && b[2] == 0 && b[3] == 42);
    const KString extension = KFbxExtractExtension(fileName).Lower();
    return tiff && extension != "tif" && extension != "tiff";
}

// The medium's bytes in its own format: the TIFF image turned back by the
// first converter that knows the name's extension. Converters read and
// write files by name, so the image is turned back in a folder of our own,
// never in the media folder, whose path may lead elsewhere by now; only its
// bytes go there. False, and the TIFF kept as the medium, when no converter
// turns it back, so the content is never lost for want of one.
bool ConvertBack(KFbxSdkManager& manager, const std::string& name, const void* bytes, std::size_t size,
                 bool originalFormat, std::string& converted) {
    const KFbxClassId classId = KFbxImageConverter::ClassId;
    const int converters = classId == KFbxClassId() ? 0 : manager.GetObjectCount(classId);
    std::string folder;
    if (converters == 0 || !qalimor::os::Folder::IsPlainName(name.c_str()) ||
        !qalimor::os::MakeTemporaryFolder(folder)) {
        return false;
    }
    const KString fileName((folder + "/" + name).c_str());
    bool done = false;
    if (std::FILE* file = qalimor::os::OpenFile(fileName.Buffer(), "wb")) {
        // A medium past the size limit is kept as it is, and ends nothing.
        const bool written = [&] {
            const qalimor::os::FileSizeSignalBlock sizeLimitFails;
            return std::fwrite(bytes, 1, size, file) == size && std::fflush(file) == 0;
        }();
        KFbxImageBuffer image;
        image.SetOriginalFormat(originalFormat);
        image.SetFileName(fileName);
        if (std::fclose(file) == 0 && written && KFbxImageConverter::ReadTiffImage(fileName, &image, false)) {
            for (int i = 0; i < converters && !done; ++i) {
                auto* converter = static_cast<KFbxImageConverter*>(manager.GetObject(classId, i));
                done = converter != nullptr && converter->Convert(1, fileName, &image) &&
                       qalimor::os::ReadRegularFile(fileName.Buffer(), std::numeric_limits<int>::max(), converted);
            }
        }
    }
    qalimor::os::RemoveFile(fileName.Buffer());
    qalimor::os::RemoveEmptyDirectory(folder.c_str());
    return done;
}

}  // namespace

KString KFbxReaderFbx6Pass::FoundFileName(const KString& fileName, const KString& relativeName, bool& there) const {
    // A file lists its textures in the order of their videos, which name
    // the same files: a record that names what the next one looked for
    // named takes what was found.
    if (mFoundNext < mFound.size()) {
        const FoundFile& next = mFound[mFoundNext];
        if (next.mFileName == fileName && next.mRelativeName == relativeName) {
            ++mFoundNext;
            there = next.mThere;
            return next.mFound;
        }
    }
    KString found = fileName;
    // A file named that this process cannot read is no texture to it, while
    // a copy beside the file read may be; the open that tells is the only
    // look at the system for a file that is read. A share's file is none of
    // this machine's, whatever file here has its path.
    there = !KFbxIsSharePath(fileName) && qalimor::os::OpensAsRegularFile(fileName.Buffer());
    const KString& document = mFile.GetFileName();
    if (!there && !document.IsEmpty()) {
        if (!mDocumentFolder) mDocumentFolder.emplace(document);
        const KString beside = mDocumentFolder->Find(relativeName);
        there = !beside.IsEmpty();
        if (there) found = beside;
    }
    mFound.push_back(FoundFile{fileName, relativeName, found, there});
    return found;
}

void KFbxReaderFbx6Pass::GiveLostTexturesTheirMedia() {
    // A video connected to a texture has handed it its names as the
    // connection was made, the extracted file's among them. Otherwise the
    // video the texture's record names as its medium tells, and where it
    // names none, a video that names the texture's file (as writers make one
    // for a texture that has none) is found by that name, the first of the
    // file's.
    std::unordered_map<std::string, const ExtractedMedium*> byVideo;
    std::unordered_map<std::string, const ExtractedMedium*> byFileName;
    for (const ExtractedMedium& medium : mExtracted) {
        byVideo.emplace(medium.mVideo.Buffer(), &medium);
        if (!medium.mFileName.IsEmpty()) byFileName.emplace(medium.mFileName.Buffer(), &medium);
    }
    for (KFbxTexture* texture : mLostTextures) {
        const auto named = byVideo.find(WithoutPrefix(KString(texture->GetMediaName())).Buffer());
        const auto alike = byFileName.find(texture->GetFileName());
        const ExtractedMedium* medium = named != byVideo.end()      ? named->second
                                        : alike != byFileName.end() ? alike->second
                                                                    : nullptr;
        if (medium != nullptr) {
            texture->SetFileName(medium->mPath.Buffer());
            texture->SetRelativeFileName(medium->mRelativePath.Buffer());
        }
    }
    mLostTextures.clear();
}

void KFbxReaderFbx6Pass::ReadVideoContents(KFbxObject& object) {
    auto* video = dynamic_cast<KFbxVideo*>(&object);
    const bool useMipMap = mFile.FieldReadIDefault("UseMipMap", 0) != 0;
    const KString originalFilename = mFile.FieldReadSDefault("OriginalFilename", "");
    const bool originalFormat = mFile.FieldReadIDefault("OriginalFormat", 1) != 0;
    KString fileName = mFile.FieldReadSDefault("Filename", "");
    KString relativeFileName = mFile.FieldReadSDefault("RelativeFilename", "");
    bool carried = false;
    if (mFile.FieldReadBegin("Content")) {
        int size = 0;
        const void* bytes = mFile.FieldGetRemainingValueCount() > 0 ? mFile.FieldReadR(&size) : nullptr;
        carried = bytes != nullptr && size >= 0;
        // The file named is used where this process can read it; the content
        // stands in for one that is gone or that it may not read.
        if (bytes != nullptr && size >= 0 && mExtraction != nullptr && mExtraction->IsActive() &&
            (KFbxIsSharePath(fileName) || !qalimor::os::OpensAsRegularFile(fileName.Buffer()))) {
            const std::string name = MediaBaseName(fileName);
            std::string converted;
            if (IsConvertedContent(fileName, bytes, size) &&
                ConvertBack(mManager, name, bytes, static_cast<std::size_t>(size), originalFormat, converted)) {
                bytes = converted.data();
                size = static_cast<int>(converted.size());
            }
            std::string path;
            std::string relativePath;
            std::string reason;
            const MediaExtraction::Outcome outcome =
                mExtraction->Extract(name, bytes, static_cast<std::size_t>(size), path, relativePath, reason);
            if (outcome == MediaExtraction::Outcome::eRefused) {
                if (mMessages != nullptr) {
                    *mMessages += KString("The embedded media \"") + fileName + "\" is not extracted into \"" +
                                  mExtraction->FolderPath().c_str() + "\": " + reason.c_str() + ".\n";
                }
            } else {
                mExtracted.push_back(ExtractedMedium{KString(object.GetName()), fileName, KString(path.c_str()),
                                                    KString(relativePath.c_str())});
                fileName = KString(path.c_str());
                relativeFileName = KString(relativePath.c_str());
                // A file was made: what was not found before may be now.
                mFound.clear();
                mFoundNext = 0;
            }
        }
        mFile.FieldReadEnd();
    }
    // The content a record carries is the medium its file name no longer
    // names: a file its relative name finds beside the file read may be
    // another one of that name (a copy of the file read sits beside the
    // original's media folder, whose files may have changed since, or a
    // link planted where the content was refused). Only a record that
    // carries none looks there.
    if (!carried) {
        bool there = false;
        fileName = FoundFileName(fileName, relativeFileName, there);
    }
    if (video == nullptr) {
        return;
    }
    video->SetUseMipMap(useMipMap);
    video->SetOriginalFormat(originalFormat);
    video->SetOriginalFilename(originalFilename.Buffer());
    video->SetFileName(fileName.Buffer());
    video->SetRelativeFileName(relativeFileName.Buffer());
}

}  // namespace fbxsdk_2006_11_1
