// A regular file that must stay the very file it is (it has other names, or
// an owner or group the process could not give a new one) and so is written
// over where it lies, yet keeps its earlier bytes until the new ones are
// whole and on the disk. The new content is held in memory until the file
// is written over, in a memory file that the process's file-size limit
// governs as it does the file: content past it fails while it is written.
// The file is then held for this writer alone (an exclusive lock, which
// other exports of it wait for), so that two of them never mix; room for
// the new content is reserved in it before its first byte changes, and the
// content checked against the file-size limit, so that a full disk or a
// size limit fails with the file as it was;
// and its earlier bytes are kept aside meanwhile, to be put back when a
// write fails midway. They are kept in a copy beside it, made with no name,
// the process's own (0600), and named ".<name>.<ten letters>.earlier" (as
// Folder::LinkUnnamed names it) once whole on the disk; the copy goes as soon as the new bytes are, so that a copy of that
// name stands beside a file being written over, whose only whole earlier
// content it is. Where the copy cannot be made whole (a full disk, the
// size limit) it is kept in memory instead, and where it cannot be named or
// its name could not go again (a folder that keeps every name) it is kept
// unnamed: either serves an error, neither a process ended midway.
#ifndef PLATFORM_OS_INPLACEFILE_H
#define PLATFORM_OS_INPLACEFILE_H

#include <platform/os/AnonymousPages.h>
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

    // Holds both files, waiting for other exports of them, in one order
    // whichever export asks (by device and inode), so that two exports of
    // two files each never wait for each other; a file both are is held
    // once.
    static void HoldTogether(InPlaceFile& one, InPlaceFile& other);
    // Holds the file (where HoldTogether did not), reserves room for the
    // content held and keeps the earlier bytes aside, the file's content
    // unchanged. False with errno set, the file as it was.
    bool Ready();
    // Writes the content held over the file (made ready first where it is
    // not): written, cut to its length and on the disk. The earlier bytes
    // then go, unless kept for PutBack until DropEarlier. False with errno
    // set, the earlier bytes put back.
    bool WriteOver(bool keepEarlier);
    // Puts the earlier bytes back after WriteOver, and the file on the
    // disk; false with errno set, when a named copy stays.
    bool PutBack();
    // Gives up the earlier bytes; their copy goes.
    void DropEarlier();
    // Removes the copies of the file's earlier bytes that exports ended
    // midway left beside it (Folder::RemoveLeftOvers).
    void RemoveLeftOvers() const { mFolder.RemoveLeftOvers(mName.c_str()); }
    // Closes, giving up the content held and the earlier bytes (but a named
    // copy that could not be put back) and the room reserved for content
    // never written.
    void Close();

private:
    // Waits until the file is this writer's alone.
    void Hold();
    // Keeps the file's first length bytes aside; false with errno set.
    bool KeepEarlier(std::uint64_t length);
    bool KeepOnDisk(std::uint64_t length);

    int mFile = -1;
    Folder mFolder;
    std::string mName;
    std::FILE* mStream = nullptr;
    // Held, and its room and earlier bytes taken, by Ready; written over.
    bool mHeld = false;
    bool mReady = false;
    bool mWritten = false;
    // The lengths of the new content and of the earlier one.
    std::uint64_t mLength = 0;
    std::uint64_t mEarlierLength = 0;
    // The earlier bytes: in the copy (named mCopyName where it has a name),
    // or in memory when it is -1; mKept says whether they were kept at all.
    bool mKept = false;
    int mEarlier = -1;
    AnonymousPages mEarlierBytes;
    std::string mCopyName;
};

}  // namespace qalimor::os

#endif
