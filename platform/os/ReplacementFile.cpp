#include <platform/os/ReplacementFile.h>

#include <platform/os/File.h>
#include <platform/os/FileAccess.h>

#include <cerrno>
#include <cstdlib>
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

// Whether the regular file can take a new file's place as it is: the name
// its only one, and one the sticky bit of the folder lets the process take.
bool IsReplaceable(const FileIdentity& folder, const struct stat& file) {
    // Its other names keep sharing it only when it is written in place.
    if (file.st_nlink > 1) return false;
    const auto process = static_cast<std::uint32_t>(geteuid());
    return (folder.permissions & S_ISVTX) == 0 || file.st_uid == process || folder.owner == process ||
           MayActAsAnyOwner();
}

bool WriteAll(int descriptor, const char* bytes, std::size_t size) {
    while (size > 0) {
        const ssize_t written = write(descriptor, bytes, size);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        bytes += written;
        size -= static_cast<std::size_t>(written);
    }
    return true;
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
    // whether the process may write it; not emptied until known to be
    // written in place.
    const int descriptor = openat(folder, mName.c_str(), (readBack ? O_RDWR : O_WRONLY) | O_NOFOLLOW | O_CLOEXEC);
    if (descriptor < 0) return errno == ELOOP ? Outcome::eLookAgain : Outcome::eFailed;
    struct stat opened;
    if (fstat(descriptor, &opened) != 0 || opened.st_dev != target.st_dev || opened.st_ino != target.st_ino) {
        close(descriptor);
        return Outcome::eLookAgain;
    }
    const bool regular = S_ISREG(opened.st_mode);
    if (regular && IsReplaceable(holder, opened)) {
        const Outcome replacing = StartReplacing(descriptor, readBack);
        if (replacing != Outcome::eInPlace) {
            const int failure = errno;
            close(descriptor);
            errno = failure;
            return replacing;
        }
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
        mFolder.FinishNewFile(stream, mTemporary.c_str(), false);
        mTemporary.clear();
        return Outcome::eInPlace;
    }
    mStream = stream;
    mMode = Mode::eReplacing;
    mReplacesFile = true;
    return Outcome::eOpened;
}

bool ReplacementFile::StartInPlace(int descriptor, bool regular, bool readBack, InPlace inPlace) {
    mFolder.Close();
    mName.clear();
    if (inPlace == InPlace::eAtClose && !readBack) {
        mStream = open_memstream(&mHeldBytes, &mHeldSize);
        mHeld = mStream != nullptr ? descriptor : -1;
        mMode = Mode::eHeldInPlace;
    } else if (!regular || ftruncate(descriptor, 0) == 0) {
        // Emptied as "wb" empties it: a device or a FIFO has nothing to empty.
        mStream = fdopen(descriptor, readBack ? "w+b" : "wb");
        mMode = Mode::eInPlace;
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
                         (mMode != Mode::eReplacing || fsync(fileno(mStream)) == 0);
    if (!settled && errno == 0) errno = EIO;
    return settled;
}

bool ReplacementFile::Close(bool whole) {
    if (mStream == nullptr) return true;
    bool done = true;
    if (mMode == Mode::eInPlace) {
        // Written in place: what was written is there, whole or not.
        const bool flushed = Settle();
        const int failure = errno;
        done = (std::fclose(mStream) == 0 && flushed) || !whole;
        if (!flushed) errno = failure;
        mStream = nullptr;
    } else if (mMode == Mode::eHeldInPlace) {
        done = WriteHeld(whole) || !whole;
    } else {
        // On the disk before it takes the name: a crash after the rename
        // must not leave the name to a file whose bytes were lost.
        const bool synced = whole && Settle();
        done = mFolder.FinishNewFile(mStream, mTemporary.c_str(), synced, mName.c_str()) || !whole;
        mStream = nullptr;
    }
    const int failure = errno;
    Forget();
    errno = failure;
    return done;
}

bool ReplacementFile::WriteHeld(bool whole) {
    const bool held = Settle();
    int failure = errno;
    // The bytes stay, the stream goes.
    std::fclose(mStream);
    mStream = nullptr;
    bool written = false;
    if (whole && held) {
        struct stat info;
        written = fstat(mHeld, &info) == 0 && (!S_ISREG(info.st_mode) || ftruncate(mHeld, 0) == 0) &&
                  WriteAll(mHeld, mHeldBytes, mHeldSize);
        failure = errno;
    }
    errno = failure;
    return written;
}

bool ReplacementFile::CloseWith(ReplacementFile& companion, bool whole, bool& companionFailed) {
    companionFailed = false;
    if (!companion.IsOpen()) return Close(whole);
    if (!whole || !IsOpen() || !companion.Settle()) {
        const int failure = errno;
        const bool given = !whole || !IsOpen();
        companionFailed = !given;
        companion.Close(false);
        Close(false);
        errno = failure;
        return given;
    }
    const int folder = companion.mFolder.Descriptor();
    const char* temporary = companion.mTemporary.c_str();
    const char* name = companion.mName.c_str();
    // The companion takes its name first, keeping what had it under its
    // hidden name, to be put back if this file cannot take its own.
    bool earlier = companion.mReplacesFile;
    bool swapped = false;
    bool swappable = companion.mMode == Mode::eReplacing;
    for (int look = 0; swappable && !swapped && look < 2; ++look) {
        swapped = renameat2(folder, temporary, folder, name, earlier ? RENAME_EXCHANGE : RENAME_NOREPLACE) == 0;
        // What had the name went, or a file came to have it, meanwhile.
        if (!swapped && errno != (earlier ? ENOENT : EEXIST)) break;
        earlier = swapped ? earlier : !earlier;
    }
    swappable = swappable && errno != EINVAL && errno != ENOSYS;
    if (!swapped && swappable) {
        const int failure = errno;
        companionFailed = true;
        companion.Close(false);
        Close(false);
        errno = failure;
        return false;
    }
    if (!swapped) {
        // Written in place, or on a file system that cannot swap two names:
        // the companion after this file, only when this one took its name.
        const bool closed = Close(true);
        const int failure = errno;
        const bool kept = companion.Close(closed);
        if (!closed) errno = failure;
        companionFailed = closed && !kept;
        return closed && kept;
    }
    const bool closed = Close(true);
    const int failure = errno;
    if (closed) {
        // What the companion replaced goes.
        if (earlier) unlinkat(folder, temporary, 0);
        companion.mFolder.FinishNewFile(companion.mStream, name, true);
    } else if (earlier) {
        // Put back over the companion, which goes with its last name.
        renameat(folder, temporary, folder, name);
        std::fclose(companion.mStream);
    } else {
        companion.mFolder.FinishNewFile(companion.mStream, name, false);
    }
    companion.mStream = nullptr;
    companion.Forget();
    errno = failure;
    return closed;
}

void ReplacementFile::Forget() {
    if (mStream != nullptr) {
        if (mMode == Mode::eReplacing) {
            mFolder.FinishNewFile(mStream, mTemporary.c_str(), false);
        } else {
            std::fclose(mStream);
        }
    }
    mStream = nullptr;
    if (mHeld >= 0) close(mHeld);
    mHeld = -1;
    std::free(mHeldBytes);
    mHeldBytes = nullptr;
    mHeldSize = 0;
    mFolder.Close();
    mName.clear();
    mTemporary.clear();
    mReplacesFile = false;
    mMode = Mode::eClosed;
}

}  // namespace qalimor::os
