#include <platform/os/FileFolder.h>

#include <cerrno>
#include <utility>

namespace qalimor::os {

void FileFolder::Take(Folder&& folder, const FileIdentity& file) {
    Release();
    mFolder = std::move(folder);
    mFile = file;
    mFailure = mFolder.IsOpen() ? 0 : EBADF;
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
