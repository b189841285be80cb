#include <fbxfilesdk/core/KFbxCopyTextureFile.h>

#include <fbxfilesdk/core/KFbxContentDigest.h>
#include <fbxfilesdk/core/KFbxPath.h>

#include <platform/os/File.h>
#include <platform/os/FileSizeSignalBlock.h>
#include <platform/os/Folder.h>
#include <platform/os/GroupShare.h>
#include <platform/os/ReadOnlyFile.h>

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr std::size_t kCopyBlock = 1 << 16;
// A folder full of files of the texture's name costs a bounded search.
constexpr unsigned kNumberedNames = 999;
// A name taken and given up again each time it is looked at is left for
// the next one after these looks.
constexpr int kLooksPerName = 3;

void TellNotCopied(KString& message, const char* source, const std::string& why) {
    message += "The texture file \"";
    message += source;
    message += "\" is not copied: ";
    message += why.c_str();
    message += ".\n";
}

void TellNotWritten(KString& message, const std::string& destination) {
    message += "Error writing texture file \"";
    message += destination.c_str();
    message += "\".\n";
}

// What has a name and is no regular file, as a message names it.
const char* NameOf(qalimor::os::NameKind kind) {
    switch (kind) {
        case qalimor::os::NameKind::eLink: return "a link";
        case qalimor::os::NameKind::eFifo: return "a FIFO";
        case qalimor::os::NameKind::eFolder: return "a folder";
        case qalimor::os::NameKind::eDevice: return "a device";
        case qalimor::os::NameKind::eSocket: return "a socket";
        default: return "what is not a regular file";
    }
}

// The destination with its last name replaced by name.
std::string PathOf(const std::string& destination, const std::string& name) {
    const std::size_t separator = destination.find_last_of("/\\");
    return separator == std::string::npos ? name : destination.substr(0, separator + 1) + name;
}

// Others' leave to write, which no copy has nor is taken with: they could
// change it after the written file names it.
constexpr unsigned kOthersWrite = 0002;

// Whether a regular file of that identity may stand for a texture's copy:
// the user's own, that no other may write. Another user, or anyone where
// everyone may write it, could change it once the written file names it.
bool MayBeCopy(const qalimor::os::FileIdentity& file, std::uint32_t user) {
    return file.owner == user && (file.permissions & kOthersWrite) == 0;
}

// Opens the regular file of the name where it may be a copy (MayBeCopy)
// and holds size bytes.
bool OpenCopy(qalimor::os::ReadOnlyFile& file, const qalimor::os::Folder& folder, const std::string& name,
              std::uint64_t size, std::uint32_t user) {
    return file.OpenWithoutFollowing(folder, name.c_str()) && MayBeCopy(file.Identity(), user) &&
           file.Size() == size;
}

// Blocks for passes over files' bytes, made only once bytes are read: a
// texture whose copy is found by its size alone, or not at all, costs none.
class Blocks {
public:
    explicit Blocks(std::uint64_t size)
        : mSize(static_cast<std::size_t>(std::min<std::uint64_t>(size + 1, kCopyBlock))) {}
    std::size_t Size() const { return mSize; }
    // The first block, or the second for a comparison.
    unsigned char* Block(int which) {
        // Left unset: every byte is read into before it is looked at.
        if (mBytes == nullptr) mBytes.reset(new unsigned char[2 * mSize]);
        return mBytes.get() + (which == 0 ? 0 : mSize);
    }

private:
    std::size_t mSize;
    std::unique_ptr<unsigned char[]> mBytes;
};

// The texture file, read from its start at each pass over its bytes, and
// the digest of its bytes once a pass took it.
class TextureFile {
public:
    TextureFile(const qalimor::os::ReadOnlyFile& file, std::uint32_t user)
        : mFile(file), mIdentity(file.Identity()), mUser(user), mBlocks(mIdentity.size) {
        mIdentity.permissions &= 0777;
    }

    // Its size, permission bits and group, which its copy gets (less the
    // umask, and without the group's bits where it cannot have its group);
    // never its set-id or sticky bits.
    const qalimor::os::FileIdentity& Identity() const { return mIdentity; }
    const std::optional<std::uint64_t>& Digest() const { return mDigest; }
    void SetDigest(std::uint64_t digest) { mDigest = digest; }
    Blocks& Scratch() { return mBlocks; }

    // Hands its bytes, block by block from the first up to its end (which
    // may have moved since it was opened) or the first limit of them, to
    // each until each returns false; whether all were read and taken.
    bool ReadEach(const std::function<bool(const unsigned char*, std::size_t)>& each,
                  std::uint64_t limit = UINT64_MAX) {
        unsigned char* block = mBlocks.Block(0);
        for (std::uint64_t offset = 0; offset < limit;) {
            const std::int64_t read =
                mFile.ReadAt(offset, block, std::min<std::uint64_t>(mBlocks.Size(), limit - offset));
            if (read <= 0) return read == 0;
            if (!each(block, static_cast<std::size_t>(read))) return false;
            offset += static_cast<std::uint64_t>(read);
        }
        return true;
    }

    // The digest of the bytes it held when opened, taken by a pass of its
    // own where no other pass took it; false when the file cannot be read.
    // What it holds since is for the comparison to tell.
    bool TakeDigest() {
        if (mDigest) return true;
        KFbxContentDigest digest;
        if (!ReadEach(
                [&digest](const unsigned char* bytes, std::size_t size) {
                    digest.Add(bytes, size);
                    return true;
                },
                mIdentity.size)) {
            return false;
        }
        mDigest = digest.Value();
        return true;
    }

    // Whether the name is a regular file that may be a copy and holds the
    // bytes this file held when opened, read only as far as they match.
    bool IsHeldBy(const qalimor::os::Folder& folder, const std::string& name) {
        qalimor::os::ReadOnlyFile file;
        if (!OpenCopy(file, folder, name, mIdentity.size, mUser)) return false;
        unsigned char* there = mBlocks.Block(1);
        std::uint64_t offset = 0;
        const bool same = ReadEach(
            [&](const unsigned char* block, std::size_t size) {
                const bool alike = file.ReadAt(offset, there, size) == static_cast<std::int64_t>(size) &&
                                   std::memcmp(block, there, size) == 0;
                offset += size;
                return alike;
            },
            mIdentity.size);
        // One byte past them, so that a file grown meanwhile shows.
        return same && offset == file.Size() && file.ReadAt(offset, there, 1) == 0;
    }

private:
    const qalimor::os::ReadOnlyFile& mFile;
    qalimor::os::FileIdentity mIdentity;
    std::uint32_t mUser;
    std::optional<std::uint64_t> mDigest;
    Blocks mBlocks;
};

// The digest of the regular file of the name, that may be a copy and holds
// size bytes; false where it is no longer such a file.
bool DigestOf(const qalimor::os::Folder& folder, const std::string& name, std::uint64_t size, std::uint32_t user,
              Blocks& blocks, std::uint64_t& digest) {
    qalimor::os::ReadOnlyFile file;
    if (!OpenCopy(file, folder, name, size, user)) return false;
    unsigned char* block = blocks.Block(1);
    KFbxContentDigest bytes;
    for (std::uint64_t offset = 0; offset < size;) {
        const std::int64_t read = file.ReadAt(offset, block, std::min<std::uint64_t>(blocks.Size(), size - offset));
        if (read <= 0) return false;
        bytes.Add(block, static_cast<std::size_t>(read));
        offset += static_cast<std::uint64_t>(read);
    }
    digest = bytes.Value();
    return true;
}

// The texture's bytes, written whole under a temporary name of the folder
// once, then given the first name found free: a copy cut short, even by the
// end of the process, would pass for the texture in every later export.
// The temporary name goes with it, whatever became of the copy.
class TemporaryCopy {
public:
    TemporaryCopy(const qalimor::os::Folder& folder, TextureFile& from) : mFolder(folder), mFrom(from) {}
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;
    ~TemporaryCopy() { Close(); }

    bool IsWritten() const { return mTo != nullptr; }

    // False when the copy could not be written whole beside like. Where
    // digest asks, the texture's digest is taken on the way.
    bool Write(const char* like, bool digest) {
        const qalimor::os::FileIdentity& texture = mFrom.Identity();
        mTo = mFolder.IsOpen() ? mFolder.CreateTemporaryFile(
                                     like, mTemporary, qalimor::os::WithoutGroupBits(texture.permissions) & ~kOthersWrite)
                               : nullptr;
        if (mTo == nullptr) return false;
        // Before a byte is copied: a copy of another group than the
        // texture's keeps no bits for it.
        qalimor::os::ShareWithGroup(fileno(mTo), texture.group, texture.permissions);
        KFbxContentDigest bytes;
        const bool copied = mFrom.ReadEach([&](const unsigned char* block, std::size_t size) {
            if (digest) bytes.Add(block, size);
            return std::fwrite(block, 1, size, mTo) == size;
        });
        if (copied && std::fflush(mTo) == 0) {
            if (digest) mFrom.SetDigest(bytes.Value());
            return true;
        }
        Close();
        return false;
    }

    // Gives the copy the name where nothing has it; false with errno set,
    // EEXIST where something took it since it was looked at.
    bool Place(const char* name) {
        if (!mFolder.Rename(mTemporary.c_str(), name, qalimor::os::Takeover::eOnlyWhereFree)) return false;
        return Close();
    }

private:
    // Where the copy took its name as a second one, the first goes too.
    bool Close() {
        if (mTo == nullptr) return false;
        mFolder.RemoveIfStill(mTemporary.c_str(), fileno(mTo));
        const bool closed = std::fclose(mTo) == 0;
        mTo = nullptr;
        return closed;
    }

    const qalimor::os::Folder& mFolder;
    TextureFile& mFrom;
    std::FILE* mTo = nullptr;
    std::string mTemporary;
};

// A source that cannot be read: the file of its name beside the written
// file, if a regular one, is taken for its copy, as nothing tells otherwise.
bool NameUnread(const qalimor::os::Folder& folder, const std::string& name, int error, const char* source,
                const char* destination, KString& message) {
    const qalimor::os::NameKind kind = folder.KindOf(name.c_str());
    if (kind == qalimor::os::NameKind::eRegularFile) return true;
    if (kind != qalimor::os::NameKind::eNone) {
        TellNotCopied(message, source, "\"" + std::string(destination) + "\" is taken by " + NameOf(kind));
    } else if (error == ENOENT || error == ENOTDIR) {
        message += "Unable to locate texture file \"";
        message += source;
        message += "\".\n";
    } else {
        TellNotCopied(message, source, qalimor::os::OpenFailureText(error));
    }
    return false;
}

}  // namespace

std::string KFbxNumberedCopyName(const std::string& name, unsigned number, std::size_t limit) {
    if (number == 0) return name;
    // A leading dot starts a hidden name, not its extension.
    const std::size_t dot = name.rfind('.');
    const std::size_t stemLength = dot != std::string::npos && dot > 0 ? dot : name.size();
    char digits[16];
    const std::string_view numberText(digits, std::to_chars(digits, digits + sizeof digits, number).ptr - digits);
    const std::size_t extension = name.size() - stemLength;
    std::size_t stem = stemLength;
    if (limit != 0 && name.size() <= limit) {
        if (extension + numberText.size() > limit) return std::string();
        const std::size_t room = limit - extension - numberText.size();
        if (stem > room) {
            stem = room;
            // Not within a character of several bytes.
            while (stem > 0 && (static_cast<unsigned char>(name[stem]) & 0xC0) == 0x80) --stem;
        }
    }
    std::string numbered = name.substr(0, stem);
    numbered += numberText;
    numbered += name.substr(stemLength);
    return numbered;
}

KFbxTextureCopyNames::KFbxTextureCopyNames(std::string destination, std::size_t limit, std::uint32_t user)
    : mDestination(std::move(destination)), mLimit(limit), mUser(user) {
    const std::size_t separator = mDestination.find_last_of("/\\");
    mName = separator == std::string::npos ? mDestination : mDestination.substr(separator + 1);
}

std::vector<unsigned> KFbxTextureCopyNames::LookedOfSize(std::uint64_t size) const {
    std::vector<unsigned> looked;
    const auto undigested = mUndigested.find(size);
    if (undigested != mUndigested.end()) looked = undigested->second;
    for (auto digested = mDigested.lower_bound({size, 0});
         digested != mDigested.end() && digested->first.first == size; ++digested) {
        looked.insert(looked.end(), digested->second.begin(), digested->second.end());
    }
    std::sort(looked.begin(), looked.end());
    return looked;
}

bool KFbxTextureCopyNames::FindLooked(std::uint64_t size, std::uint64_t digest,
                                      const std::function<bool(const std::string&, std::uint64_t&)>& digestOf,
                                      const std::function<bool(const std::string&)>& holdsSource,
                                      unsigned& number) {
    // A file's digest is taken once, when a source of its size first needs
    // it: files that no source matches in size are never read.
    const auto undigested = mUndigested.find(size);
    if (undigested != mUndigested.end()) {
        for (const unsigned looked : undigested->second) {
            std::uint64_t its = 0;
            if (digestOf(KFbxNumberedCopyName(mName, looked, mLimit), its)) mDigested[{size, its}].insert(looked);
        }
        mUndigested.erase(undigested);
    }
    const auto alike = mDigested.find({size, digest});
    if (alike == mDigested.end()) return false;
    // Digests only point the way: the bytes decide.
    for (const unsigned looked : alike->second) {
        if (holdsSource(KFbxNumberedCopyName(mName, looked, mLimit))) {
            number = looked;
            return true;
        }
    }
    return false;
}

void KFbxTextureCopyNames::Remember(unsigned number, std::uint64_t size, std::optional<std::uint64_t> digest) {
    if (digest) {
        mDigested[{size, *digest}].insert(number);
    } else {
        mUndigested[size].push_back(number);
    }
}

bool KFbxTextureCopyNames::Copy(const char* source, std::string& copy, KString& message) {
    const std::string& given = mDestination;
    copy = mName;
    if (source == nullptr || source[0] == '\0' || given.empty()) return false;
    // A texture past the size limit is not copied, and ends nothing.
    const qalimor::os::FileSizeSignalBlock sizeLimitFails;
    // The copy is made, and a cut copy removed, through the handle of the
    // folder it goes into, so that the folder swapped for a link meanwhile
    // can lead neither the copy nor its removal elsewhere. A folder that
    // cannot be opened takes no copy, as a file that cannot be made, after
    // the source was looked for.
    qalimor::os::Folder folder;
    std::string name;
    folder.OpenHolderOf(given.c_str(), name);
    // Only a regular file: a device would fill the disk, a FIFO would hang
    // the export. A share's file is no file of this machine, whatever file
    // here has its path.
    const bool shared = KFbxIsSharePath(source);
    qalimor::os::ReadOnlyFile from;
    if (shared || !from.Open(source)) {
        return NameUnread(folder, name, shared ? ENOENT : errno, source, given.c_str(), message);
    }
    TextureFile texture(from, mUser);
    const std::uint64_t size = texture.Identity().size;
    // A copy already there, looked at or made by the calls before, is found
    // before anything is written: a texture kept in several folders costs a
    // comparison, not a copy written and removed again.
    const std::vector<unsigned> looked = LookedOfSize(size);
    const auto holdsTexture = [&](const std::string& file) { return texture.IsHeldBy(folder, file); };
    const auto digestOf = [&](const std::string& file, std::uint64_t& digest) {
        return DigestOf(folder, file, size, mUser, texture.Scratch(), digest);
    };
    unsigned found = 0;
    // One file of its size is compared with at once: the digests of both
    // would cost a pass over each, more than the comparison.
    if (looked.size() == 1 ? holdsTexture(KFbxNumberedCopyName(name, found = looked.front(), mLimit))
                           : !looked.empty() && texture.TakeDigest() &&
                                 FindLooked(size, *texture.Digest(), digestOf, holdsTexture, found)) {
        copy = KFbxNumberedCopyName(name, found, mLimit);
        return true;
    }
    TemporaryCopy temporary(folder, texture);
    unsigned number = mNext;
    for (; number <= kNumberedNames; mNext = ++number) {
        const std::string candidate = KFbxNumberedCopyName(name, number, mLimit);
        if (candidate.empty() && number > 0) break;
        copy = candidate;
        const std::string path = number == 0 ? given : PathOf(given, candidate);
        for (int look = 0; look < kLooksPerName; ++look) {
            // Looked at without opening: a FIFO there must not be waited on,
            // nor a link followed out of the folder. Whatever has the name
            // is kept, as it may be the user's own; a file of other bytes is
            // no copy of the texture, and the written file would show it in
            // the texture's place, as it would a file others may change.
            qalimor::os::FileIdentity there;
            const qalimor::os::NameKind kind = folder.KindOf(candidate.c_str(), there);
            if (kind == qalimor::os::NameKind::eRegularFile) {
                if (!MayBeCopy(there, mUser)) break;
                const bool same = there.size == size && texture.IsHeldBy(folder, candidate);
                Remember(number, there.size, same ? texture.Digest() : std::nullopt);
                if (!same) break;
                mNext = number + 1;
                return true;
            }
            if (kind != qalimor::os::NameKind::eNone) break;
            // Where files of its size are there, the copy takes its digest
            // on the way for the textures after it.
            if (!temporary.IsWritten() &&
                !temporary.Write(candidate.c_str(), !texture.Digest() && !LookedOfSize(size).empty())) {
                TellNotWritten(message, path);
                return false;
            }
            if (temporary.Place(candidate.c_str())) {
                Remember(number, size, texture.Digest());
                mNext = number + 1;
                return true;
            }
            if (errno != EEXIST) {
                TellNotWritten(message, path);
                return false;
            }
            // Something took the name since it was looked at: judged again.
        }
    }
    copy = name;
    char tried[16];
    const std::string count(tried, std::to_chars(tried, tried + sizeof tried, number - 1).ptr);
    TellNotCopied(message, source, "\"" + given + "\" and the " + count + " names numbered after it are taken");
    return false;
}

}  // namespace fbxsdk_2006_11_1
