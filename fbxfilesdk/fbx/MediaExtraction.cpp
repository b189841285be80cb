#include <fbxfilesdk/fbx/MediaExtraction.h>

#include <fbxfilesdk/core/KFbxPath.h>
#include <fbxfilesdk/core/KString.h>

#include <platform/os/File.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <functional>
#include <string_view>

namespace fbxsdk_2006_11_1 {

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
    if (!mFileFolder.IsHeld()) {
        return mFileFolder.Failure() == ESTALE ? "the folder its path names does not hold the file read"
                                               : qalimor::os::OpenFailureText(mFileFolder.Failure());
    }
    if (mFolder.OpenOrMakeIn(mFileFolder.Held(), mRelativeFolder.c_str(), 0777)) return std::string();
    return errno == ELOOP || errno == ENOTDIR ? "the media folder is a link or not a folder"
                                              : qalimor::os::OpenFailureText(errno);
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
            const std::string candidate = number == 0 ? name : Numbered(name, number);
            if (mTaken.count(candidate) != 0) continue;
            // A link or FIFO at the name refuses the medium; at a numbered
            // name, which is the reader's own choice, the next number is tried.
            const qalimor::os::NameKind kind = mFolder.KindOf(candidate.c_str());
            if (kind != qalimor::os::NameKind::eNone && kind != qalimor::os::NameKind::eRegularFile) {
                if (number == 0) {
                    reason = "something that is not a regular file has its name there";
                    return Outcome::eRefused;
                }
                continue;
            }
            outcome = Place(candidate, kind == qalimor::os::NameKind::eRegularFile, bytes, size, reason);
            if (outcome == Outcome::eRefused) return outcome;
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

MediaExtraction::Outcome MediaExtraction::Place(const std::string& name, bool present, const void* bytes,
                                                std::size_t size, std::string& reason) {
    if (present && mFolder.HoldsExactly(name.c_str(), bytes, size)) return Outcome::eFound;
    // A file from before the import with other bytes: stale, or another
    // model's. Replaced whole, never written over, so that no reader of it
    // sees a mixture.
    return Write(name, bytes, size, present, reason) ? Outcome::eWritten : Outcome::eRefused;
}

bool MediaExtraction::Write(const std::string& name, const void* bytes, std::size_t size, bool replaced,
                            std::string& reason) {
    std::string temporary;
    std::FILE* stream = replaced ? mFolder.CreateTemporaryFile(name.c_str(), temporary)
                                 : mFolder.CreateNewFile(name.c_str());
    // Something took the name since it was looked at: it is replaced as a
    // stale file would be, neither opened nor followed.
    if (stream == nullptr && !replaced && errno == EEXIST) {
        replaced = true;
        stream = mFolder.CreateTemporaryFile(name.c_str(), temporary);
    }
    if (stream == nullptr) {
        reason = qalimor::os::OpenFailureText(errno);
        return false;
    }
    const bool written = std::fwrite(bytes, 1, size, stream) == size;
    if (!mFolder.FinishNewFile(stream, replaced ? temporary.c_str() : name.c_str(), written,
                               replaced ? name.c_str() : nullptr)) {
        reason = "it could not be written";
        return false;
    }
    return true;
}

std::string MediaExtraction::Numbered(const std::string& name, unsigned number) {
    char digits[16];
    const std::string_view text(digits, static_cast<std::size_t>(std::to_chars(digits, digits + sizeof digits, number).ptr - digits));
    // A leading dot starts a name, not an extension.
    const std::size_t dot = name.find_last_of('.');
    if (dot == std::string::npos || dot == 0) return name + std::string(text);
    return name.substr(0, dot) + std::string(text) + name.substr(dot);
}

}  // namespace fbxsdk_2006_11_1
