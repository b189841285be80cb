#include <platform/os/System.h>

#include <platform/os/File.h>

#include <cerrno>
#include <cstdlib>
#include <unistd.h>
#include <vector>

namespace qalimor::os {

bool HostName(std::string& name) {
    char buffer[256];
    if (gethostname(buffer, sizeof buffer) != 0) return false;
    buffer[sizeof buffer - 1] = '\0';
    name = buffer;
    return !name.empty();
}

bool CurrentDirectory(std::string& path) {
    std::vector<char> buffer(256);
    for (;;) {
        if (getcwd(buffer.data(), buffer.size())) {
            path = buffer.data();
            return true;
        }
        if (errno != ERANGE || buffer.size() >= (std::size_t{1} << 20)) return false;
        buffer.resize(buffer.size() * 2);
    }
}

std::string TemporaryDirectory() {
    std::string folder;
    const char* fromEnvironment = std::getenv("TMPDIR");
    if (fromEnvironment && *fromEnvironment && IsDirectory(fromEnvironment)) {
        folder = fromEnvironment;
    } else {
        folder = "/tmp";
    }
    if (folder.back() != '/') folder += '/';
    return folder;
}

}  // namespace qalimor::os
