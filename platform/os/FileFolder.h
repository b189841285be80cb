// The folder a file was opened from, held by its handle from that moment on,
// for the files a program puts beside that file: moved meanwhile, or swapped
// for a link to another folder, it stays the folder the file was read from.
// It is held only when, as it is taken, the path's last name in it is the
// very file opened (that name, or the link it is to that file), so that a
// folder swapped in between the file's open and its own is never taken for
// the file's.
#ifndef PLATFORM_OS_FILEFOLDER_H
#define PLATFORM_OS_FILEFOLDER_H

#include <platform/os/File.h>
#include <platform/os/Folder.h>

#include <cerrno>

namespace qalimor::os {

class FileFolder {
public:
    // Takes the folder of the file that the path names and that was opened
    // as identity tells.
    void Take(const char* path, const FileIdentity& file);
    // Takes the folder other holds, by a handle of its own.
    void Take(const FileFolder& other);
    void Release();

    bool IsHeld() const { return mFolder.IsOpen(); }
    const Folder& Held() const { return mFolder; }
    // Why the folder is not held: the errno of its failed open, ESTALE when
    // the path's name in it is not the file, EBADF when nothing was taken.
    int Failure() const { return mFailure; }
    // The file's permission bits when it was opened.
    unsigned FilePermissions() const { return mFile.permissions; }

private:
    Folder mFolder;
    FileIdentity mFile;
    int mFailure = EBADF;
};

}  // namespace qalimor::os

#endif
