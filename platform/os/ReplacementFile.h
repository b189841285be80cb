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
// replaced in its own folder and the link stays a link. Links and files
// that another user may have put in a sticky folder open to all (the
// system's folder for temporary files) are refused as the system refuses
// them where it protects such folders (Folder::OpenHolderOfTarget,
// StickyFolderAllows), whatever its setting: the open fails with EACCES and
// makes nothing.
//
// A file is replaced only where the new one can be to everyone what it was:
// a file of a single name, whose owner, group, permission bits and extended
// attributes (access lists among them) the process may give the new one
// before anything is written, in a folder whose sticky bit lets the process
// take the name. Any other regular file is written over in place, never
// through a link, once its new content is whole (InPlaceFile), but for a
// name with other links in a sticky folder open to all: another user may
// have linked there a file they cannot write, so the name is replaced where
// the process may take it and refused (EPERM) where it may not. What is no
// regular file, a device or a FIFO, is written as a stream opened by its
// name "wb" would write it. A new file gets 0666 less the umask.
//
// In a folder that keeps every name (append-only), where a hidden name
// could never go again, nothing named is left behind: a file there is
// written in place, its earlier bytes kept unnamed, and a new one is made
// with no name and takes its own only when whole and on the disk (failing
// with EEXIST where a file came to have it meanwhile).
#ifndef PLATFORM_OS_REPLACEMENTFILE_H
#define PLATFORM_OS_REPLACEMENTFILE_H

#include <platform/os/Folder.h>
#include <platform/os/InPlaceFile.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>

namespace qalimor::os {

class ReplacementFile {
public:
    // When a device or a FIFO gets its bytes: as they are written, or all
    // of them at a close that finds them whole, so that it can wait for
    // another file (CloseWith). Until then they are held in memory.
    enum class InPlace { eAsWritten, eAtClose };

    ReplacementFile() = default;
    // Gives up a file still open.
    ~ReplacementFile() { Close(false); }
    ReplacementFile(const ReplacementFile&) = delete;
    ReplacementFile& operator=(const ReplacementFile&) = delete;

    // Opens the stream that the path's new content is written to ("wb", or
    // "w+b" when what is written is to be read back, which a device or FIFO
    // written at its close cannot be); a file still open is given up first.
    // False with errno set as opening the path for writing sets it: ENOENT
    // or ENOTDIR for a folder that is not there, EACCES for one the process
    // may not write in, a file it may not write or one the sticky folders'
    // rule refuses, EPERM for a name of several links there that it may not
    // take or whose owner, group or bits it may not give a new file (a group
    // it is not in), EISDIR for a folder.
    bool Open(const char* path, bool readBack = false, InPlace inPlace = InPlace::eAsWritten);
    bool IsOpen() const { return mStream != nullptr; }
    std::FILE* Stream() const { return mStream; }
    // Whether both are open for one regular file under two names, or for
    // one name that a new file is to take: whichever kept its bytes last
    // would hold them, and the other's would be lost.
    bool SameFileAs(const ReplacementFile& other) const;

    // Ends the writing and closes the stream. A whole file takes its name,
    // or is written over the file in place, once everything written reached
    // the disk; a file that is not whole, or whose bytes did not all reach
    // the disk, is given up, and what had the name is left as it was. A
    // file kept takes with it the hidden files of its name that exports
    // ended midway left (RemoveLeftOvers). True when a whole file was kept
    // or one that is not whole was given up; false with errno set when a
    // whole file could not be kept. True with nothing open.
    bool Close(bool whole);
    // Close for this file and a companion that goes with it (an OBJ file's
    // material library, say): both are on the disk, or held whole, before
    // either takes its name; the companion then takes its own, or is written
    // over in place, and is put back as it was when this file cannot take
    // its name, so that both are kept or neither. False with errno set when
    // either could not be kept, both then left as they were; companionFailed
    // tells which, so that the message names the file whose bytes were
    // lost. Two files written in place are held in one order whichever
    // export asks (InPlaceFile::HoldTogether), and another export setting
    // aside what has the companion's name meanwhile is looked past however
    // often. In a folder that keeps every name a new file's name cannot go
    // again: a new companion takes its own last, after this file's content
    // written in place, which can still be put back.
    bool CloseWith(ReplacementFile& companion, bool whole, bool& companionFailed);

private:
    // eUnnamed: a new file with no name yet, in a folder that keeps every
    // name.
    enum class Mode { eClosed, eReplacing, eUnnamed, eInPlace, eStreamed, eHeldStream };
    enum class Outcome { eOpened, eFailed, eLookAgain, eInPlace };
    // How a file took its name or its content: done, failed, or left for
    // later where it could not have been given back (Take).
    enum class Taken { eDone, eFailed, eLater };

    // Opens the file of mName in mFolder as the file it is requires.
    Outcome OpenTarget(bool readBack, InPlace inPlace);
    // Makes the hidden file for a file that is opened as descriptor, with
    // what the file it replaces lets everyone do: eInPlace when the file is
    // to be written in place instead.
    Outcome StartReplacing(int descriptor, bool readBack);
    // Writes in place into the file opened as descriptor, which this takes.
    bool StartInPlace(int descriptor, bool regular, bool readBack, InPlace inPlace);
    // Everything written is on the disk, or held whole; false with errno
    // set.
    bool Settle();
    // The settled file takes its name, or its content in place; undoable
    // when Undo must be able to give back what it had, which a file system
    // that can neither give a file a second name nor rename it only where
    // the name is free, or a folder that keeps every name, leaves for later.
    Taken Take(bool undoable);
    Taken TakeName(bool undoable);
    // Writes the bytes held for a device or a FIFO.
    bool WriteHeld();
    // Gives back what had the name, or the earlier bytes, after Take.
    void Undo();
    // Gives up what Take kept for Undo: the earlier file or bytes go.
    void Keep();
    // Removes the hidden files of the name that exports ended midway left
    // (Folder::RemoveLeftOvers): kept whole, the file makes them stale.
    void RemoveLeftOvers() const;
    // Closes what is open without keeping anything and forgets the file.
    void Forget();

    Folder mFolder;
    // The name the file takes in the folder, and its name until then, when
    // it replaces one; whether a file had the name, and whether this one
    // took it in an undoable Take, the earlier file then kept under the
    // hidden name mAside (open, and held, as mEarlier) until Keep or Undo.
    std::string mName;
    std::string mTemporary;
    bool mReplacesFile = false;
    bool mTaken = false;
    std::string mAside;
    int mEarlier = -1;
    // The regular file the name had when it was opened, or for a new file
    // its folder and the name it takes (SameFileAs); none for a device or a
    // FIFO.
    std::uint64_t mDevice = 0;
    std::uint64_t mInode = 0;
    std::string mNewName;
    // The replaced file, open until the replacement is closed.
    int mIdentityHeld = -1;
    Mode mMode = Mode::eClosed;
    // The stream written; a regular file's written in place is mInPlace's.
    std::FILE* mStream = nullptr;
    InPlaceFile mInPlace;
    // A device or a FIFO written at its close, and the bytes held until then.
    int mHeld = -1;
    char* mHeldBytes = nullptr;
    std::size_t mHeldSize = 0;
};

}  // namespace qalimor::os

#endif
