#include <fbxfilesdk/core/KFbxCopyTextureFile.h>

#include <platform/os/File.h>
#include <platform/os/Folder.h>

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

}  // namespace

bool KFbxCopyTextureFile(const char* source, const char* destination, KString& message) {
    if (source == nullptr || source[0] == '\0' || destination == nullptr || destination[0] == '\0') return false;
    // The copy is made, and a cut copy removed, through the handle of the
    // folder it goes into, so that the folder swapped for a link meanwhile
    // can lead neither the copy nor its removal elsewhere.
    const std::string path = qalimor::os::NativePath(destination);
    const std::size_t cut = path.find_last_of('/');
    const std::string name = cut == std::string::npos ? path : path.substr(cut + 1);
    qalimor::os::Folder folder;
    // A folder that cannot be opened takes no copy, as a file that cannot be
    // made, after the source was looked for.
    const bool folderOpen = folder.Open(cut == std::string::npos ? "." : cut == 0 ? "/" : path.substr(0, cut).c_str());
    // Looked at without opening: a FIFO there must not be waited on, nor a
    // link followed out of the folder.
    switch (folderOpen ? folder.KindOf(name.c_str()) : qalimor::os::NameKind::eNone) {
        case qalimor::os::NameKind::eRegularFile: {
            // Kept whatever it holds, as it may be the user's own; but a file
            // of other bytes than the texture's is no copy of it, and the
            // written file would show it in the texture's place.
            const Stream from(qalimor::os::OpenRegularFile(source));
            if (from == nullptr || folder.HoldsSameAs(name.c_str(), fileno(from.get()))) return true;
            TellNotCopied(message, source, "\"" + std::string(destination) + "\" holds other bytes and is kept");
            return false;
        }
        case qalimor::os::NameKind::eOther:
            TellNotCopied(message, source, "\"" + std::string(destination) + "\" is taken by what is not a regular file");
            return false;
        case qalimor::os::NameKind::eNone:
            break;
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
    std::FILE* to = folderOpen ? folder.CreateNewFile(name.c_str()) : nullptr;
    // Something took the name since it was looked at: it stays as it is.
    if (to == nullptr && folderOpen && errno == EEXIST) return true;
    bool copied = to != nullptr;
    if (copied) {
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
        // A cut copy would pass for the texture in every later export.
        copied = folder.FinishNewFile(to, name.c_str(), copied);
    }
    if (!copied) {
        message += "Error writing texture file \"";
        message += destination;
        message += "\".\n";
    }
    return copied;
}

}  // namespace fbxsdk_2006_11_1
