#include <platform/os/DirectoryReader.h>

#include <platform/os/File.h>

#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

namespace qalimor::os {

DirectoryReader::~DirectoryReader() { Close(); }

bool DirectoryReader::Open(const char* path) {
    Close();
    mFailed = false;
    if (!path || !*path) {
        errno = ENOENT;
        return false;
    }
    mHandle = opendir(NativePath(path).c_str());
    return mHandle != nullptr;
}

bool DirectoryReader::OpenAt(int folder) {
    Close();
    mFailed = false;
    const int listed = openat(folder, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    mHandle = listed >= 0 ? fdopendir(listed) : nullptr;
    if (mHandle == nullptr && listed >= 0) {
        const int failure = errno;
        close(listed);
        errno = failure;
    }
    return mHandle != nullptr;
}

bool DirectoryReader::Next(std::string& name) {
    if (!mHandle) return false;
    for (;;) {
        errno = 0;
        const dirent* entry = readdir(static_cast<DIR*>(mHandle));
        if (!entry) {
            mFailed = errno != 0;
            return false;
        }
        if (std::strcmp(entry->d_name, ".") == 0 || std::strcmp(entry->d_name, "..") == 0) continue;
        name = entry->d_name;
        return true;
    }
}

void DirectoryReader::Close() {
    if (mHandle) {
        closedir(static_cast<DIR*>(mHandle));
        mHandle = nullptr;
    }
}

}  // namespace qalimor::os
