#include <platform/os/DirectoryReader.h>

#include <platform/os/File.h>

#include <cerrno>
#include <cstring>
#include <dirent.h>

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
