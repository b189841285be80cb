// A regular file that must stay the very file it is (it has other names, or
// an owner or group the process could not give a new one) and so is written
// over where it lies, yet keeps its earlier bytes until the new ones are
// whole and on the disk. The new content is held in memory until the file
// is written over; room for it is reserved in the file before its first
// byte changes, so that a full disk or a size limit fails with the file as
// it was; and its earlier bytes are kept aside meanwhile, to be put back
// when a write fails midway: in a hidden copy beside it where its folder
// lets the process make one, else in memory. The copy is the process's own
// (0600) and named ".<name>.<ten letters>.earlier" (the name cut to 64
// bytes); it gets that name only once whole and on the disk, so that a copy
// of that name is always the whole earlier file. Only a process ended while
// the file is written over leaves it behind, the file then cut.
#ifndef PLATFORM_OS_INPLACEFILE_H
#define PLATFORM_OS_INPLACEFILE_H

#include <platform/os/Folder.h>

#include <cstdint>
#include <cstdio>
#include <string>

namespace qalimor::os {

class InPlaceFile {
public:
    InPlaceFile() = default;
    ~InPlaceFile() { Close(); }
    InPlaceFile(const InPlaceFile&) = delete;
    InPlaceFile& operator=(const InPlaceFile&) = delete;

    // Takes the descriptor of the regular file (open for writing, and for
    // reading where the process may, so that its earlier bytes can be kept)
    // and the folder that holds it under name, and opens the stream its new
    // content is written to, which may be read back ("w+b"). False with
    // errno set, the descriptor closed.
    bool Open(int descriptor, Folder folder, std::string name);
    bool IsOpen() const { return mStream != nullptr; }
    std::FILE* Stream() const { return mStream; }

    // Writes the content held over the file: reserved, the earlier bytes
    // kept, written, cut to its length and on the disk. False with errno
    // set, the earlier bytes put back.
    bool WriteOver();
    // Puts the earlier bytes back after WriteOver, and the file on the
    // disk; false with errno set, when the hidden copy stays.
    bool PutBack();
    // Closes, giving up the content held and the earlier bytes, but a
    // hidden copy that could not be put back.
    void Close();

private:
    // Keeps the file's first length bytes aside; false with errno set.
    bool KeepEarlier(std::uint64_t length);
    // Gives up the earlier bytes; the hidden copy goes.
    void DropEarlier();

    int mFile = -1;
    Folder mFolder;
    std::string mName;
    std::FILE* mStream = nullptr;
    // The earlier bytes and how many: in the hidden copy of that name, or
    // in memory when it has none.
    std::FILE* mEarlier = nullptr;
    std::uint64_t mEarlierLength = 0;
    std::string mCopyName;
};

}  // namespace qalimor::os

#endif
