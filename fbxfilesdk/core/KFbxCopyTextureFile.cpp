#include <fbxfilesdk/core/KFbxCopyTextureFile.h>

#include <platform/os/File.h>
#include <platform/os/FileSizeSignalBlock.h>
#include <platform/os/Folder.h>
#include <platform/os/GroupShare.h>

#include <cerrno>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

struct CloseStream {
    void operator()(std::FILE* stream) const { std::fclose(stream); }
};
using Stream = std::unique_ptr<std::FILE, CloseStream>;

constexpr std::size_t kCopyBlock = 1 << 16;

void TellNotCopied(KString& message, const char* source, const std::string& why) {
    message += "The texture file \"";
    message += source;
    message += "\" is not copied: ";
    message += why.c_str();
    message += ".\n";
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

// Whether what has the destination's name, of the kind seen, is the copy;
// from is the texture's stream, null when it cannot be read. Whatever it is,
// it is kept as it may be the user's own; but a file of other bytes than the
// texture's is no copy of it, and the written file would show it in the
// texture's place.
bool IsTheCopy(const qalimor::os::Folder& folder, const std::string& name, qalimor::os::NameKind kind,
               std::FILE* from, const char* source, const char* destination, KString& message) {
    const std::string taken = "\"" + std::string(destination) + "\" ";
    if (kind != qalimor::os::NameKind::eRegularFile) {
        TellNotCopied(message, source, taken + "is taken by " + NameOf(kind));
        return false;
    }
    if (from == nullptr || folder.HoldsSameAs(name.c_str(), fileno(from))) return true;
    TellNotCopied(message, source, taken + "holds other bytes and is kept");
    return false;
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

}  // namespace

bool KFbxCopyTextureFile(const char* source, const char* destination, KString& message) {
    if (source == nullptr || source[0] == '\0' || destination == nullptr || destination[0] == '\0') return false;
    // A texture past the size limit is not copied, and ends nothing.
    const qalimor::os::FileSizeSignalBlock sizeLimitFails;
    // The copy is made, and a cut copy removed, through the handle of the
    // folder it goes into, so that the folder swapped for a link meanwhile
    // can lead neither the copy nor its removal elsewhere.
    qalimor::os::Folder folder;
    std::string name;
    // A folder that cannot be opened takes no copy, as a file that cannot be
    // made, after the source was looked for.
    const bool folderOpen = folder.OpenHolderOf(destination, name);
    // Looked at without opening: a FIFO there must not be waited on, nor a
    // link followed out of the folder.
    const qalimor::os::NameKind kind = folderOpen ? folder.KindOf(name.c_str()) : qalimor::os::NameKind::eNone;
    if (kind != qalimor::os::NameKind::eNone) {
        const Stream from(kind == qalimor::os::NameKind::eRegularFile ? qalimor::os::OpenRegularFile(source) : nullptr);
        return IsTheCopy(folder, name, kind, from.get(), source, destination, message);
    }
    // Only a regular file: a device would fill the disk, a FIFO would hang
    // the export.
    const Stream from(qalimor::os::OpenRegularFile(source));
    if (from == nullptr) {
        const int error = errno;
        if (error == ENOENT || error == ENOTDIR) {
            message += "Unable to locate texture file \"";
            message += source;
            message += "\".\n";
        } else {
            TellNotCopied(message, source, qalimor::os::OpenFailureText(error));
        }
        return false;
    }
    // Written whole under a name of its own first: a copy cut short, even by
    // the end of the process, would pass for the texture in every later
    // export.
    std::string temporary;
    const qalimor::os::FileIdentity texture = IdentityOf(from.get());
    std::FILE* to = folderOpen ? folder.CreateTemporaryFile(name.c_str(), temporary,
                                                            qalimor::os::WithoutGroupBits(texture.permissions))
                               : nullptr;
    bool copied = to != nullptr;
    if (copied) {
        // Before a byte is copied: a copy of another group than the
        // texture's keeps no bits for it.
        qalimor::os::ShareWithGroup(fileno(to), texture.group, texture.permissions);
        std::vector<char> block(kCopyBlock);
        for (;;) {
            const std::size_t read = std::fread(block.data(), 1, block.size(), from.get());
            if (read == 0) break;
            if (std::fwrite(block.data(), 1, read, to) != read) {
                copied = false;
                break;
            }
        }
        copied = copied && std::ferror(from.get()) == 0;
        copied = folder.FinishNewFile(to, temporary.c_str(), copied, name.c_str(),
                                      qalimor::os::Takeover::eOnlyWhereFree);
        // Something took the name since it was looked at: judged as it would
        // have been then.
        const qalimor::os::NameKind now =
            !copied && errno == EEXIST ? folder.KindOf(name.c_str()) : qalimor::os::NameKind::eNone;
        if (now != qalimor::os::NameKind::eNone) {
            return IsTheCopy(folder, name, now, from.get(), source, destination, message);
        }
    }
    if (!copied) {
        message += "Error writing texture file \"";
        message += destination;
        message += "\".\n";
    }
    return copied;
}

}  // namespace fbxsdk_2006_11_1
