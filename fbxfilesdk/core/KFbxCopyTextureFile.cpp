#include <fbxfilesdk/core/KFbxCopyTextureFile.h>

#include <platform/os/File.h>
#include <platform/os/FileSizeSignalBlock.h>
#include <platform/os/Folder.h>
#include <platform/os/GroupShare.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <memory>
#include <string_view>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

struct CloseStream {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
};
using Stream = std::unique_ptr<std::FILE, CloseStream>;

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

// The texture, whose permission bits and group its copy gets (less the
// umask, and without the group's bits where it cannot have its group); never
// its set-id or sticky bits.
qalimor::os::FileIdentity IdentityOf(std::FILE* from) {
    qalimor::os::FileIdentity texture;
    texture.permissions = 0600;
    qalimor::os::IdentityOf(fileno(from), texture);
    texture.permissions &= 0777;
    return texture;
}

// The texture's bytes, written whole under a temporary name of the folder
// once, then given the first name found free: a copy cut short, even by the
// end of the process, would pass for the texture in every later export.
// The temporary name goes with it, whatever became of the copy.
class TemporaryCopy {
public:
    TemporaryCopy(const qalimor::os::Folder& folder, std::FILE* from) : mFolder(folder), mFrom(from) {}
    TemporaryCopy(const TemporaryCopy&) = delete;
    TemporaryCopy& operator=(const TemporaryCopy&) = delete;
    ~TemporaryCopy() { Close(); }

    bool IsWritten() const { return mTo != nullptr; }

    // False when the copy could not be written whole beside like.
    bool Write(const char* like) {
        const qalimor::os::FileIdentity texture = IdentityOf(mFrom);
        mTo = mFolder.IsOpen() ? mFolder.CreateTemporaryFile(like, mTemporary,
                                                             qalimor::os::WithoutGroupBits(texture.permissions))
                               : nullptr;
        if (mTo == nullptr) return false;
        // Before a byte is copied: a copy of another group than the
        // texture's keeps no bits for it.
        qalimor::os::ShareWithGroup(fileno(mTo), texture.group, texture.permissions);
        std::vector<char> block(kCopyBlock);
        bool copied = true;
        for (;;) {
            const std::size_t read = std::fread(block.data(), 1, block.size(), mFrom);
            if (read == 0) break;
            if (std::fwrite(block.data(), 1, read, mTo) != read) {
                copied = false;
                break;
            }
        }
        if (copied && std::ferror(mFrom) == 0 && std::fflush(mTo) == 0) return true;
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
    std::FILE* mFrom;
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

bool KFbxCopyTextureFile(const char* source, const char* destination, std::size_t limit, std::string& copy,
                         KString& message) {
    const std::string given = destination != nullptr ? destination : "";
    const std::size_t separator = given.find_last_of("/\\");
    copy = separator == std::string::npos ? given : given.substr(separator + 1);
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
    folder.OpenHolderOf(destination, name);
    // Only a regular file: a device would fill the disk, a FIFO would hang
    // the export.
    const Stream from(qalimor::os::OpenRegularFile(source));
    if (from == nullptr) return NameUnread(folder, name, errno, source, destination, message);
    TemporaryCopy temporary(folder, from.get());
    unsigned number = 0;
    for (; number <= kNumberedNames; ++number) {
        const std::string candidate = KFbxNumberedCopyName(name, number, limit);
        if (candidate.empty() && number > 0) break;
        copy = candidate;
        const std::string path = number == 0 ? given : PathOf(given, candidate);
        for (int look = 0; look < kLooksPerName; ++look) {
            // Looked at without opening: a FIFO there must not be waited on,
            // nor a link followed out of the folder. Whatever has the name
            // is kept, as it may be the user's own; a file of other bytes is
            // no copy of the texture, and the written file would show it in
            // the texture's place.
            const qalimor::os::NameKind kind = folder.KindOf(candidate.c_str());
            if (kind == qalimor::os::NameKind::eRegularFile) {
                if (folder.HoldsSameAs(candidate.c_str(), fileno(from.get()))) return true;
                break;
            }
            if (kind != qalimor::os::NameKind::eNone) break;
            if (!temporary.IsWritten() && !temporary.Write(candidate.c_str())) {
                TellNotWritten(message, path);
                return false;
            }
            if (temporary.Place(candidate.c_str())) return true;
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
