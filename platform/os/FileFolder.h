// The folder a file was read from, held by its handle from before the file
// was opened in it by its name there, for the files a program puts beside
// that file: moved meanwhile, or swapped for a link to another folder, even
// between the two opens, it stays the folder the file was read from.
#ifndef PLATFORM_OS_FILEFOLDER_H
#define PLATFORM_OS_FILEFOLDER_H

#include <platform/os/File.h>
#include <platform/os/Folder.h>

#include <cerrno>
#include <cstdint>

namespace qalimor::os {

class FileFolder {
public:
    // Holds the folder that the file known by identity was opened in.
    void Take(Folder&& folder, const FileIdentity& file);
    // Takes the folder other holds, by a handle of its own.
    void Take(const FileFolder& other);
    void Release();

    bool IsHeld() const { return mFolder.IsOpen(); }
    const Folder& Held() const { return mFolder; }
    // Why the folder is not held: EBADF when nothing was taken, the errno
    // of a failed copy of another's handle.
    int Failure() const { return mFailure; }
    // The file's permission bits and group when it was opened.
    unsigned FilePermissions() const { return mFile.permissions; }
    std::uint32_t FileGroup() const { return mFile.group; }

private:
    Folder mFolder;
    FileIdentity mFile;
    int mFailure = EBADF;
};

}  // namespace qalimor::os

#endif
