// A file written to take the place of the file a path names, or to be a
// new one, only once it is whole. It is written under a hidden temporary
// name in the folder of the file it replaces and takes that file's name in
// one step when every byte reached the disk, so that a write that fails, is
// given up or is cut short by the end of the process leaves the file it was
// to replace as it was, and no file where there was none (only a process
// ended midway may leave the hidden file behind).
//
// A path that is a link names the file the link leads to, link after link,
// each relative link read from the folder of the link: that file is
// replaced in its own folder and the link stays a link. A replaced file's
// permission bits pass to the new one, with its owner and group where the
// process may give them; a new file gets 0666 less the umask. What cannot
// be replaced so is written in place, as a stream opened by its name would
// write it: a device or a FIFO, or a file that the process may write but
// not replace, in a folder it may not write.
#ifndef PLATFORM_OS_REPLACEMENTFILE_H
#define PLATFORM_OS_REPLACEMENTFILE_H

#include <platform/os/Folder.h>

#include <cstdio>
#include <string>

namespace qalimor::os {

class ReplacementFile {
public:
    ReplacementFile() = default;
    // Gives up a file still open.
    ~ReplacementFile() { Close(false); }
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Opens the stream that the path's new content is written to ("wb", or
    // "w+b" when what is written is to be read back); a file still open is
    // given up first. False with errno set as opening the path for writing
    // sets it: ENOENT or ENOTDIR for a folder that is not there, EACCES for
    // one the process may not write in, EISDIR for a folder.
    bool Open(const char* path, bool readBack = false);
    bool IsOpen() const { return mStream != nullptr; }
    std::FILE* Stream() const { return mStream; }

    // Ends the writing and closes the stream. A whole file takes its name
    // once everything written reached the disk, replacing what had it; a
    // file that is not whole, or whose bytes did not all reach the disk, is
    // removed, and what had the name is left as it was. True when a whole
    // file took its name or one that is not whole was given up; false with
    // errno set when a whole file could not be kept. True with nothing open.
    bool Close(bool whole);

private:
    bool OpenInPlace(const char* path, bool readBack);
    // Gives a file made to replace another that file's permissions, owner
    // and group, as far as the process may.
    void TakeOwnershipOf(const FileIdentity& replaced);

    Folder mFolder;
    // The name the file takes in the folder, and its name until then: none
    // for a file written in place.
    std::string mName;
    std::string mTemporary;
    std::FILE* mStream = nullptr;
};

}  // namespace qalimor::os

#endif
