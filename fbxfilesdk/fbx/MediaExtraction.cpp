#include <fbxfilesdk/fbx/MediaExtraction.h>

#include <fbxfilesdk/core/KFbxCopyTextureFile.h>
#include <fbxfilesdk/core/KFbxPath.h>
#include <fbxfilesdk/core/KString.h>

#include <platform/os/File.h>
#include <platform/os/FileSizeSignalBlock.h>
#include <platform/os/GroupShare.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <functional>
#include <string_view>

namespace fbxsdk_2006_11_1 {

namespace {

// A medium lets a class read or write it where the file read lets that
// class do so; nobody runs it.
unsigned MediumMode(unsigned filePermissions) { return 0666 & (0600 | (filePermissions & 0066)); }

// The media folder lets a class list and enter it where the file read lets
// that class read it.
unsigned FolderMode(unsigned filePermissions) {
    return 0700 | ((filePermissions & 0040) != 0 ? 0050 : 0) | ((filePermissions & 0004) != 0 ? 0005 : 0);
}

// As many numbered media folders as a file read has texture copies of one
// name, so that others who fill a shared folder with them bound the search.
constexpr unsigned kMediaFolderTries = 1000;
// The longest name a folder holds.
constexpr std::size_t kNameBytes = 255;

}  // namespace

void MediaExtraction::Begin(const std::string& filePath, const qalimor::os::FileFolder& fileFolder) {
    End();
    if (!filePath.empty()) {
        mFileFolder.Take(fileFolder);
        mFolderPath = KFbxChangeExtension(KString(filePath.c_str()), KString(".fbm")).Buffer();
        mRelativeFolder = KFbxExtractFileName(KString(mFolderPath.c_str()), true).Buffer();
    }
}

void MediaExtraction::End() {
    mFolder.Close();
    mFileFolder.Release();
    mOpenTried = false;
    mFolderRefusal.clear();
    mTaken.clear();
    mNextNumber.clear();
    mPlaced.clear();
    mFolderPath.clear();
    mRelativeFolder.clear();
}

std::string MediaExtraction::OpenFolder() {
    if (!mFileFolder.IsHeld()) return qalimor::os::OpenFailureText(mFileFolder.Failure());
    const qalimor::os::Folder& beside = mFileFolder.Held();
    // Where others may write beside the file read, what one of them made
    // under the media folder's name stays theirs to change, a medium for a
    // link say, after the media are in it: only a folder of our own is
    // taken there, the first free or own numbered name past one that is
    // not. A folder only a group may write keeps its members' folders, so
    // that one reads the media another extracted.
    qalimor::os::FileIdentity held;
    const bool shared = !qalimor::os::IdentityOf(beside.Descriptor(), held) || (held.permissions & 0002) != 0;
    const unsigned mode = FolderMode(mFileFolder.FilePermissions());
    for (unsigned number = 0; number < kMediaFolderTries; ++number) {
        const std::string name = KFbxNumberedCopyName(mRelativeFolder, number, kNameBytes);
        if (name.empty()) break;
        if (!mFolder.OpenOrMakeIn(beside, name.c_str(), mode, mFileFolder.FileGroup())) {
            const bool taken = errno == ELOOP || errno == ENOTDIR;
            if (shared && taken) continue;
            return taken ? "the media folder is a link or not a folder" : qalimor::os::OpenFailureText(errno);
        }
        // Judged by the handle, so that a folder swapped in after the name
        // was looked at is the one judged.
        qalimor::os::FileIdentity folder;
        if (!shared || (qalimor::os::IdentityOf(mFolder.Descriptor(), folder) && qalimor::os::IsProcessOwn(folder))) {
            mFolderPath.replace(mFolderPath.size() - std::min(mFolderPath.size(), mRelativeFolder.size()),
                                std::string::npos, name);
            mRelativeFolder = name;
            return std::string();
        }
        mFolder.Close();
    }
    return "the media folder and its numbered names tried are other users' or no folders";
}

MediaExtraction::Outcome MediaExtraction::Extract(const std::string& name, const void* bytes, std::size_t size,
                                                  std::string& path, std::string& relativePath, std::string& reason) {
    if (!IsActive() || !qalimor::os::Folder::IsPlainName(name.c_str())) {
        reason = "its name names no file";
        return Outcome::eRefused;
    }
    // Once for the import, so that the folder moved or swapped for a link
    // meanwhile takes nothing more from it.
    if (!mOpenTried) {
        mOpenTried = true;
        mFolderRefusal = OpenFolder();
    }
    if (!mFolder.IsOpen()) {
        reason = mFolderRefusal;
        return Outcome::eRefused;
    }
    const auto key =
        std::make_tuple(name, size, std::hash<std::string_view>{}(std::string_view(static_cast<const char*>(bytes), size)));
    const auto placed = mPlaced.find(key);
    std::string chosen;
    Outcome outcome = Outcome::eFound;
    if (placed != mPlaced.end() && mFolder.HoldsExactly(placed->second.c_str(), bytes, size)) {
        chosen = placed->second;
    } else {
        // The name itself, then numbered names past those this import gave.
        for (unsigned& number = mNextNumber[name];; ++number) {
            const std::string candidate = KFbxNumberedCopyName(name, number, 0);
            if (mTaken.count(candidate) != 0) continue;
            const Placed result = Place(candidate, bytes, size, reason);
            // A link or FIFO at the name refuses the medium; at a numbered
            // name, which is the reader's own choice, the next number is tried.
            if (result == Placed::eTaken && number != 0) continue;
            if (result == Placed::eTaken) reason = "something that is not a regular file has its name there";
            if (result == Placed::eTaken || result == Placed::eFailed) return Outcome::eRefused;
            outcome = result == Placed::eWritten ? Outcome::eWritten : Outcome::eFound;
            chosen = candidate;
            break;
        }
        mTaken.insert(chosen);
        mPlaced[key] = chosen;
    }
    path = mFolderPath + "/" + chosen;
    relativePath = mRelativeFolder + "/" + chosen;
    return outcome;
}

MediaExtraction::Placed MediaExtraction::Place(const std::string& name, const void* bytes, std::size_t size,
                                               std::string& reason) {
    // Looked at once more when something took the name while the medium was
    // written, and judged as it would have been.
    for (int look = 0; look < 2; ++look) {
        const qalimor::os::NameKind kind = mFolder.KindOf(name.c_str());
        if (kind != qalimor::os::NameKind::eNone && kind != qalimor::os::NameKind::eRegularFile) return Placed::eTaken;
        const bool present = kind == qalimor::os::NameKind::eRegularFile;
        if (present && mFolder.HoldsExactly(name.c_str(), bytes, size)) return Placed::eFound;
        // A file from before the import with other bytes: stale, or another
        // model's. Replaced whole, never written over, so that no reader of it
        // sees a mixture.
        if (Write(name, bytes, size, present, reason)) return Placed::eWritten;
        if (present || errno != EEXIST) break;
    }
    return Placed::eFailed;
}

bool MediaExtraction::Write(const std::string& name, const void* bytes, std::size_t size, bool replacing,
                            std::string& reason) {
    // A medium past the size limit is not written, and ends nothing.
    const qalimor::os::FileSizeSignalBlock sizeLimitFails;
    std::string temporary;
    const unsigned mode = MediumMode(mFileFolder.FilePermissions());
    std::FILE* stream = mFolder.CreateTemporaryFile(name.c_str(), temporary, qalimor::os::WithoutGroupBits(mode));
    int failure = stream == nullptr ? errno : 0;
    if (stream == nullptr) {
        reason = qalimor::os::OpenFailureText(failure);
    } else {
        // Before a byte is written: a medium of another group than the
        // model's keeps no bits for it.
        qalimor::os::ShareWithGroup(fileno(stream), mFileFolder.FileGroup(), mode);
        const bool written = std::fwrite(bytes, 1, size, stream) == size;
        if (!mFolder.FinishNewFile(stream, temporary.c_str(), written, name.c_str(),
                                   replacing ? qalimor::os::Takeover::eReplace
                                             : qalimor::os::Takeover::eOnlyWhereFree)) {
            failure = errno;
            reason = "it could not be written";
        }
    }
    // Kept for the caller, which tells a name taken meanwhile by it.
    errno = failure;
    return failure == 0;
}

}  // namespace fbxsdk_2006_11_1
