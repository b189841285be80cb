#include <platform/os/ReplacementFile.h>

#include <platform/os/File.h>
#include <platform/os/FileAccess.h>

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <linux/capability.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace qalimor::os {

namespace {

// Looks at a name again when what had it changed between the look and the
// open, as often as this.
constexpr int kLooks = 8;

// Whether the process may act as the owner of any file (the sticky bit then
// lets it take any name).
bool MayActAsAnyOwner() {
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[_LINUX_CAPABILITY_U32S_3] = {};
    if (syscall(SYS_capget, &header, data) != 0) return geteuid() == 0;
    return (data[CAP_TO_INDEX(CAP_FOWNER)].effective & CAP_TO_MASK(CAP_FOWNER)) != 0;
}

// Whether the sticky bit of the folder, if it has one, lets the process
// take the name of the file.
bool MayTakeName(const FileIdentity& folder, const struct stat& file) {
    const auto process = static_cast<std::uint32_t>(geteuid());
    return (folder.permissions & S_ISVTX) == 0 || file.st_uid == process || folder.owner == process ||
           MayActAsAnyOwner();
}

// A sticky folder open to all, where anyone may put a name.
bool IsSharedFolder(const FileIdentity& folder) {
    return (folder.permissions & S_ISVTX) != 0 && (folder.permissions & S_IWOTH) != 0;
}

// The process's umask, read where reading it leaves it as it is (setting
// it to read it back would change it for every thread a moment). A file
// made with no name is given it by hand: not every system applies it there.
// Where it cannot be read, the strictest one, so that no file is more open
// than the umask would leave it.
mode_t CurrentUmask() {
    std::FILE* status = std::fopen("/proc/self/status", "re");
    char line[256];
    unsigned mask = 0;
    bool found = false;
    while (status != nullptr && !found && std::fgets(line, sizeof line, status) != nullptr) {
        if (std::strncmp(line, "Umask:", 6) != 0) continue;
        const char* at = line + 6 + std::strspn(line + 6, " \t");
        found = std::from_chars(at, line + std::strlen(line), mask, 8).ec == std::errc();
    }
    if (status != nullptr) std::fclose(status);
    return found ? static_cast<mode_t>(mask) : static_cast<mode_t>(077);
}

}  // namespace

bool ReplacementFile::Open(const char* path, bool readBack, InPlace inPlace) {
    Close(false);
    if (path == nullptr) {
        errno = EINVAL;
        return false;
    }
    for (int look = 0; look < kLooks; ++look) {
        if (!mFolder.OpenHolderOfTarget(path, mName)) return false;
        const Outcome outcome = OpenTarget(readBack, inPlace);
        if (outcome == Outcome::eOpened) return true;
        const int failure = errno;
        Forget();
        errno = failure;
        if (outcome == Outcome::eFailed) return false;
    }
    // Changed at every look.
    errno = EAGAIN;
    return false;
}

ReplacementFile::Outcome ReplacementFile::OpenTarget(bool readBack, InPlace inPlace) {
    const int folder = mFolder.Descriptor();
    struct stat target;
    if (fstatat(folder, mName.c_str(), &target, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno != ENOENT) return Outcome::eFailed;
        FileIdentity holder;
        if (!IdentityOf(folder, holder)) return Outcome::eFailed;
        mDevice = holder.device;
        mInode = holder.inode;
        mNewName = mName;
        // Where no name may go again, a new file has none until it is whole,
        // so that one given up leaves nothing; a file system that makes no
        // unnamed file is left the hidden one.
        const bool keepsEveryName = mFolder.KeepsEveryName();
        const int unnamed = keepsEveryName ? mFolder.CreateUnnamedFile(0666 & ~CurrentUmask()) : -1;
        if (unnamed >= 0 || (keepsEveryName && errno != EOPNOTSUPP && errno != EISDIR)) {
            mMode = Mode::eUnnamed;
            mStream = unnamed >= 0 ? fdopen(unnamed, readBack ? "w+b" : "wb") : nullptr;
            if (mStream != nullptr) return Outcome::eOpened;
            const int failure = errno;
            if (unnamed >= 0) close(unnamed);
            errno = failure;
            return Outcome::eFailed;
        }
        mStream = mFolder.CreateTemporaryFile(mName.c_str(), mTemporary, 0666, readBack);
        mMode = Mode::eReplacing;
        return mStream != nullptr ? Outcome::eOpened : Outcome::eFailed;
    }
    // A link put there since the path was followed is followed anew.
    if (S_ISLNK(target.st_mode)) return Outcome::eLookAgain;
    if (S_ISDIR(target.st_mode)) {
        errno = EISDIR;
        return Outcome::eFailed;
    }
    FileIdentity holder;
    if (!IdentityOf(folder, holder)) return Outcome::eFailed;
    if ((S_ISREG(target.st_mode) || S_ISFIFO(target.st_mode)) &&
        !StickyFolderAllows(holder, static_cast<std::uint32_t>(target.st_uid))) {
        errno = EACCES;
        return Outcome::eFailed;
    }
    // Opened for writing as a stream by its name would open it, which tells
    // whether the process may write it, and a regular file for reading too
    // where it may, so that its earlier bytes can be kept while it is
    // written in place; not changed until it is known to be written so. What
    // is written to a regular file is read back from its new file or from
    // memory, never from the file: one the process may not read is written
    // all the same.
    const int flags = O_NOFOLLOW | O_CLOEXEC;
    const bool regularTarget = S_ISREG(target.st_mode);
    int descriptor = regularTarget ? openat(folder, mName.c_str(), O_RDWR | flags) : -1;
    if (descriptor < 0 && (!regularTarget || errno == EACCES)) {
        descriptor = openat(folder, mName.c_str(), (readBack && !regularTarget ? O_RDWR : O_WRONLY) | flags);
    }
    if (descriptor < 0) return errno == ELOOP ? Outcome::eLookAgain : Outcome::eFailed;
    // Another regular file put there meanwhile (by another export of the
    // name, say) is taken as it is, where the rule for its owner lets it.
    struct stat opened;
    const bool looked = fstat(descriptor, &opened) == 0 &&
                        ((opened.st_dev == target.st_dev && opened.st_ino == target.st_ino) ||
                         (regularTarget && S_ISREG(opened.st_mode) &&
                          StickyFolderAllows(holder, static_cast<std::uint32_t>(opened.st_uid))));
    if (!looked) {
        close(descriptor);
        return Outcome::eLookAgain;
    }
    const bool regular = S_ISREG(opened.st_mode);
    if (regular) {
        mDevice = static_cast<std::uint64_t>(opened.st_dev);
        mInode = static_cast<std::uint64_t>(opened.st_ino);
    }
    // Another name may be another user's link to a file they may not write.
    const bool sharedLinks = regular && opened.st_nlink > 1 && IsSharedFolder(holder);
    // A folder that keeps every name would keep the hidden file too: the
    // file is written in place there.
    const bool replaceable = regular && (opened.st_nlink == 1 || sharedLinks) && MayTakeName(holder, opened) &&
                             !mFolder.KeepsEveryName();
    Outcome replacing = replaceable ? StartReplacing(descriptor, readBack) : Outcome::eInPlace;
    // Never written through there. Where the process may take the name but
    // not give the new file what the file lets everyone do, the system's
    // refusal of that tells why.
    if (sharedLinks && replacing == Outcome::eInPlace) {
        if (!replaceable || errno == 0) errno = EPERM;
        replacing = Outcome::eFailed;
    }
    if (replacing == Outcome::eOpened) {
        // Held open, the replaced file keeps its inode number from every
        // file made meanwhile: another export's new library could otherwise
        // take it and pass for this file under SameFileAs.
        mIdentityHeld = descriptor;
        return replacing;
    }
    if (replacing != Outcome::eInPlace) {
        const int failure = errno;
        close(descriptor);
        errno = failure;
        return replacing;
    }
    return StartInPlace(descriptor, regular, readBack, inPlace) ? Outcome::eOpened : Outcome::eFailed;
}

ReplacementFile::Outcome ReplacementFile::StartReplacing(int descriptor, bool readBack) {
    // Private to the process until it has the replaced file's owner.
    std::FILE* stream = mFolder.CreateTemporaryFile(mName.c_str(), mTemporary, 0600, readBack);
    if (stream == nullptr) {
        // Where the folder refuses new files, a file the process may write
        // is written as before.
        const bool refused = errno == EACCES || errno == EPERM;
        mTemporary.clear();
        return refused ? Outcome::eInPlace : Outcome::eFailed;
    }
    if (!TakeAccessOf(descriptor, fileno(stream))) {
        const int failure = errno;
        mFolder.FinishNewFile(stream, mTemporary.c_str(), false);
        mTemporary.clear();
        errno = failure;
        return Outcome::eInPlace;
    }
    mStream = stream;
    mMode = Mode::eReplacing;
    mReplacesFile = true;
    return Outcome::eOpened;
}

bool ReplacementFile::StartInPlace(int descriptor, bool regular, bool readBack, InPlace inPlace) {
    if (regular) {
        if (!mInPlace.Open(descriptor, std::move(mFolder), std::move(mName))) return false;
        mStream = mInPlace.Stream();
        mMode = Mode::eInPlace;
        return true;
    }
    if (inPlace == InPlace::eAtClose && !readBack) {
        mStream = open_memstream(&mHeldBytes, &mHeldSize);
        mHeld = mStream != nullptr ? descriptor : -1;
        mMode = Mode::eHeldStream;
    } else {
        mStream = fdopen(descriptor, readBack ? "w+b" : "wb");
        mMode = Mode::eStreamed;
    }
    if (mStream != nullptr) return true;
    const int failure = errno;
    close(descriptor);
    mMode = Mode::eClosed;
    errno = failure;
    return false;
}

bool ReplacementFile::Settle() {
    errno = 0;
    const bool settled = std::fflush(mStream) == 0 && std::ferror(mStream) == 0 &&
                         ((mMode != Mode::eReplacing && mMode != Mode::eUnnamed) || fsync(fileno(mStream)) == 0);
    if (!settled && errno == 0) errno = EIO;
    return settled;
}

bool ReplacementFile::Close(bool whole) {
    if (mStream == nullptr) return true;
    const bool done = !whole || (Settle() && Take(false) == Taken::eDone);
    if (whole && done) {
        Keep();
        RemoveLeftOvers();
    }
    const int failure = errno;
    Forget();
    errno = failure;
    return done;
}

ReplacementFile::Taken ReplacementFile::Take(bool undoable) {
    switch (mMode) {
        case Mode::eReplacing:
            return TakeName(undoable);
        case Mode::eInPlace:
            return mInPlace.WriteOver(undoable) ? Taken::eDone : Taken::eFailed;
        case Mode::eUnnamed:
            // Its name could not go again.
            if (undoable) return Taken::eLater;
            return mFolder.LinkUnnamedAs(fileno(mStream), mName.c_str()) ? Taken::eDone : Taken::eFailed;
        case Mode::eHeldStream:
            return WriteHeld() ? Taken::eDone : Taken::eFailed;
        case Mode::eStreamed: {
            const bool closed = std::fclose(mStream) == 0;
            mStream = nullptr;
            return closed ? Taken::eDone : Taken::eFailed;
        }
        case Mode::eClosed:
            break;
    }
    errno = EBADF;
    return Taken::eFailed;
}

ReplacementFile::Taken ReplacementFile::TakeName(bool undoable) {
    if (!undoable) {
        const bool taken = mFolder.FinishNewFile(mStream, mTemporary.c_str(), true, mName.c_str());
        mStream = nullptr;
        return taken ? Taken::eDone : Taken::eFailed;
    }
    const int folder = mFolder.Descriptor();
    // Other exports of the name may give it another file, or none for a
    // moment, between two looks: a look that fails so follows a step of
    // theirs, so that looking again ends however many there are.
    for (;;) {
        if (!mReplacesFile) {
            if (mFolder.Rename(mTemporary.c_str(), mName.c_str(), Takeover::eOnlyWhereFree)) {
                mFolder.RemoveIfStill(mTemporary.c_str(), fileno(mStream));
                mTaken = true;
                return Taken::eDone;
            }
            // A file came to have the name meanwhile.
            if (errno != EEXIST) break;
            mReplacesFile = true;
            continue;
        }
        // The earlier file keeps a hidden name that says what it holds
        // until this one is kept, or takes its own back.
        mEarlier = mFolder.SetAside(mName.c_str(), ".earlier", mAside);
        if (mEarlier >= 0) {
            mTaken = renameat(folder, mTemporary.c_str(), folder, mName.c_str()) == 0;
            if (mTaken) return Taken::eDone;
            const int failure = errno;
            Undo();
            errno = failure;
            return Taken::eFailed;
        }
        // What had the name went meanwhile.
        if (errno != ENOENT) break;
        mAside.clear();
        mReplacesFile = false;
    }
    return errno == EINVAL || errno == ENOSYS ? Taken::eLater : Taken::eFailed;
}

bool ReplacementFile::WriteHeld() {
    // The bytes stay, the stream goes.
    std::fclose(mStream);
    mStream = nullptr;
    for (const char* bytes = mHeldBytes; bytes < mHeldBytes + mHeldSize;) {
        const ssize_t written = write(mHeld, bytes, static_cast<std::size_t>(mHeldBytes + mHeldSize - bytes));
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
    }
    return true;
}

void ReplacementFile::Undo() {
    const int folder = mFolder.Descriptor();
    if (mMode == Mode::eInPlace) {
        mInPlace.PutBack();
    } else if (!mAside.empty()) {
        // The earlier file takes its name back (which it may still have as
        // well), and only then gives up the hidden one.
        renameat(folder, mAside.c_str(), folder, mName.c_str());
        if (mFolder.IsStill(mName.c_str(), mEarlier)) Keep();
    } else if (mTaken) {
        mFolder.RemoveIfStill(mName.c_str(), fileno(mStream));
    }
    mTaken = false;
}

void ReplacementFile::Keep() {
    if (mMode == Mode::eInPlace) mInPlace.DropEarlier();
    if (!mAside.empty()) mFolder.RemoveIfStill(mAside.c_str(), mEarlier);
    mAside.clear();
    if (mEarlier >= 0) close(mEarlier);
    mEarlier = -1;
    mTaken = false;
}

bool ReplacementFile::CloseWith(ReplacementFile& companion, bool whole, bool& companionFailed) {
    companionFailed = false;
    if (!companion.IsOpen()) return Close(whole);
    if (!whole || !IsOpen()) {
        companion.Close(false);
        Close(false);
        return true;
    }
    // Both on the disk, or held whole, before either takes its name: the
    // companion first, to be given back if this file cannot take its own.
    // This file is ready before the companion changes, so that its hidden
    // file (its new content, or its earlier one when written in place)
    // shows until both are kept.
    const bool settled = companion.Settle();
    companionFailed = !settled;
    Taken companionTaken = Taken::eFailed;
    if (settled && Settle()) {
        if (mMode == Mode::eInPlace && companion.mMode == Mode::eInPlace) {
            InPlaceFile::HoldTogether(mInPlace, companion.mInPlace);
        }
        if (mMode != Mode::eInPlace || mInPlace.Ready()) {
            const bool ready = companion.mMode != Mode::eInPlace || companion.mInPlace.Ready();
            companionTaken = ready ? companion.Take(true) : Taken::eFailed;
            companionFailed = companionTaken == Taken::eFailed;
        }
    }
    // A new companion in a folder that keeps every name takes its name
    // after this file's content written in place, which can still be put
    // back.
    const bool undoable = companionTaken == Taken::eLater && companion.mMode == Mode::eUnnamed && mMode == Mode::eInPlace;
    bool done = companionTaken != Taken::eFailed && Take(undoable) == Taken::eDone;
    if (!done && companionTaken == Taken::eDone) {
        const int failure = errno;
        companion.Undo();
        errno = failure;
    }
    // On a file system that cannot swap two names, after this file.
    if (done && companionTaken == Taken::eLater) {
        done = companion.Take(false) == Taken::eDone;
        companionFailed = !done;
        if (!done && undoable) {
            const int failure = errno;
            Undo();
            errno = failure;
        }
    }
    if (done) {
        Keep();
        companion.Keep();
        RemoveLeftOvers();
        companion.RemoveLeftOvers();
    }
    const int failure = errno;
    companion.Forget();
    Forget();
    errno = failure;
    return done;
}

void ReplacementFile::RemoveLeftOvers() const {
    if (mMode == Mode::eInPlace) {
        mInPlace.RemoveLeftOvers();
    } else if (mMode == Mode::eReplacing) {
        mFolder.RemoveLeftOvers(mName.c_str());
    }
}

bool ReplacementFile::SameFileAs(const ReplacementFile& other) const {
    return IsOpen() && other.IsOpen() && (mDevice != 0 || mInode != 0) && mDevice == other.mDevice &&
           mInode == other.mInode && mNewName == other.mNewName;
}

void ReplacementFile::Forget() {
    if (mStream != nullptr && mMode == Mode::eReplacing) {
        mFolder.FinishNewFile(mStream, mTemporary.c_str(), false);
    } else if (mStream != nullptr && mMode != Mode::eInPlace) {
        std::fclose(mStream);
    }
    mStream = nullptr;
    mInPlace.Close();
    if (mHeld >= 0) close(mHeld);
    mHeld = -1;
    std::free(mHeldBytes);
    mHeldBytes = nullptr;
    mHeldSize = 0;
    mFolder.Close();
    mName.clear();
    mTemporary.clear();
    mReplacesFile = false;
    mTaken = false;
    mAside.clear();
    if (mEarlier >= 0) close(mEarlier);
    mEarlier = -1;
    if (mIdentityHeld >= 0) close(mIdentityHeld);
    mIdentityHeld = -1;
    mDevice = 0;
    mInode = 0;
    mNewName.clear();
    mMode = Mode::eClosed;
}

}  // namespace qalimor::os
