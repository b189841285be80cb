#include <platform/os/FileFolder.h>

#include <cerrno>
#include <string>

namespace qalimor::os {

void FileFolder::Take(const char* path, const FileIdentity& file) {
    Release();
    mFile = file;
    mFailure = 0;
    std::string name;
    if (!mFolder.OpenHolderOf(path, name)) {
        mFailure = errno;
    } else if (!mFolder.Names(name.c_str(), file)) {
        mFolder.Close();
        mFailure = ESTALE;
    }
}

void FileFolder::Take(const FileFolder& other) {
    if (&other == this) return;
    Release();
    mFile = other.mFile;
    mFailure = other.IsHeld() && !mFolder.OpenSame(other.mFolder) ? errno : other.mFailure;
}

void FileFolder::Release() {
    mFolder.Close();
    mFile = FileIdentity();
    mFailure = EBADF;
}

}  // namespace qalimor::os
