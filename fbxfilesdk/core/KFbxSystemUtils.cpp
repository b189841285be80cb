#include <fbxfilesdk/core/KFbxSystemUtils.h>

#include <platform/os/File.h>
#include <platform/os/System.h>

#include <cstring>
#include <string>

namespace fbxsdk_2006_11_1 {

KString KFbxGetCurrentDirectory() {
    std::string path;
    if (!qalimor::os::CurrentDirectory(path)) return KString();
    return KString(path.c_str());
}

namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

bool KFbxCreateDirectoryPath(const char* path) {
    if (!path) return false;
    const std::string text(path);
    if (text.size() >= 2 && text[1] == ':' &&
        ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z'))) {
        return false;
    }
    std::size_t end = text.size();
    while (end > 0 && !IsSeparator(text[end - 1])) --end;
    const std::string folder = text.substr(0, end);
    if (folder.empty() || qalimor::os::IsDirectory(folder.c_str())) return true;

    for (std::size_t i = 0; i < folder.size(); ++i) {
        if (!IsSeparator(folder[i])) continue;
        const std::string prefix = folder.substr(0, i + 1);
        if (prefix.find_first_not_of("\\/") == std::string::npos) continue;  // the root
        if (qalimor::os::IsDirectory(prefix.c_str())) continue;
        if (!qalimor::os::MakeDirectory(prefix.c_str()) && !qalimor::os::IsDirectory(prefix.c_str())) {
            return false;
        }
    }
    return qalimor::os::IsDirectory(folder.c_str());
}

bool KFbxGetComputerName(char* buffer, int size) {
    if (!buffer || size < 1) return false;
    std::string name;
    if (qalimor::os::HostName(name) && name.size() < static_cast<std::size_t>(size)) {
        std::memcpy(buffer, name.c_str(), name.size() + 1);
        return true;
    }
    if (size >= 2) {
        buffer[0] = '?';
        buffer[1] = '\0';
    } else {
        buffer[0] = '\0';
    }
    return false;
}

bool KFbxFileExists(const KString& name) {
    if (!name.IsOK() || name.IsEmpty()) return false;
    // Looked at, not opened: opening a FIFO would wait for a writer.
    return qalimor::os::CanReadRegularFile(name.Buffer());
}

char* KFbxReadLine(char* buffer, int size, std::FILE* stream) {
    if (!buffer || size < 1) return nullptr;
    buffer[0] = '\0';
    if (size == 1) return buffer;
    if (!stream) return nullptr;

    const int limit = size - 1;
    int length = 0;
    bool atEnd = false;
    while (length < limit) {
        const int c = std::getc(stream);
        if (c == EOF) {
            atEnd = true;
            break;
        }
        buffer[length++] = static_cast<char>(c);
        if (c == '\n') break;
        if (c == '\r') {
            const int next = std::getc(stream);
            if (next == '\n' && length < limit) {
                buffer[length++] = '\n';
            } else if (next != EOF) {
                std::ungetc(next, stream);
            }
            break;
        }
    }
    buffer[length] = '\0';
    return atEnd && length == 0 ? nullptr : buffer;
}

}  // namespace fbxsdk_2006_11_1
