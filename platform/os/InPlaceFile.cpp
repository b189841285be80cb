#include <platform/os/InPlaceFile.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

namespace qalimor::os {

namespace {

// A stream over memory that reads, writes and seeks as a file does; null
// with errno set.
std::FILE* MemoryFile(const char* name) {
    const int descriptor = memfd_create(name, MFD_CLOEXEC);
    std::FILE* stream = descriptor >= 0 ? fdopen(descriptor, "w+b") : nullptr;
    if (stream == nullptr && descriptor >= 0) {
        const int failure = errno;
        close(descriptor);
        errno = failure;
    }
    return stream;
}

// The most bytes the process may give a file; writing past them fails, or
// ends the process (SIGXFSZ).
std::uint64_t FileSizeLimit() {
    rlimit limit{};
    if (getrlimit(RLIMIT_FSIZE, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY) return UINT64_MAX;
    return static_cast<std::uint64_t>(limit.rlim_cur);
}

// Reads or writes length bytes of the file at offset, whatever the system
// does in one call; false with errno set (EIO for a file that ends first).
template <typename Byte, typename Transfer>
bool Move(int file, Byte* bytes, std::uint64_t length, std::uint64_t offset, Transfer transfer) {
    for (std::uint64_t done = 0; done < length;) {
        const std::size_t wanted = static_cast<std::size_t>(std::min<std::uint64_t>(length - done, 1u << 30));
        const ssize_t moved = transfer(file, bytes + done, wanted, static_cast<off_t>(offset + done));
        if (moved < 0 && errno == EINTR) continue;
        if (moved <= 0) {
            if (moved == 0) errno = EIO;
            return false;
        }
        done += static_cast<std::uint64_t>(moved);
    }
    return true;
}

bool ReadAt(int file, char* bytes, std::uint64_t length, std::uint64_t offset) {
    return Move(file, bytes, length, offset, pread);
}

bool WriteAt(int file, const char* bytes, std::uint64_t length, std::uint64_t offset) {
    return Move(file, bytes, length, offset, pwrite);
}

// Copies the first length bytes of from over those of to, at their offsets
// (neither position moves): within the system where it can, else through a
// buffer. False with errno set.
bool CopyBytes(int from, int to, std::uint64_t length) {
    loff_t in = 0;
    loff_t out = 0;
    const auto left = [&] { return length - static_cast<std::uint64_t>(in); };
    while (left() > 0) {
        const ssize_t copied = copy_file_range(from, &in, to, &out, left(), 0);
        if (copied > 0) continue;
        if (copied < 0 && errno == EINTR) continue;
        // Across file systems, or where the system cannot: by hand.
        if (copied < 0 && (errno == EXDEV || errno == EINVAL || errno == ENOSYS || errno == EOPNOTSUPP)) break;
        // Shorter than it was said to be: changed meanwhile.
        if (copied == 0) errno = EIO;
        return false;
    }
    std::vector<char> block(left() > 0 ? std::size_t{1} << 16 : 0);
    while (left() > 0) {
        const auto length = static_cast<std::size_t>(std::min<std::uint64_t>(block.size(), left()));
        if (!ReadAt(from, block.data(), length, static_cast<std::uint64_t>(in)) ||
            !WriteAt(to, block.data(), length, static_cast<std::uint64_t>(out))) {
            return false;
        }
        in += static_cast<loff_t>(length);
        out += static_cast<loff_t>(length);
    }
    return true;
}

// Room in the file for its first length bytes, taken without changing it
// where its file system can, else as posix_fallocate takes it (which may
// lengthen it with zeros). False with errno set: ENOSPC or EDQUOT for a
// full disk or quota.
bool Reserve(int file, std::uint64_t length) {
    if (length == 0) return true;
    int reserved;
    do {
        reserved = fallocate(file, FALLOC_FL_KEEP_SIZE, 0, static_cast<off_t>(length));
    } while (reserved != 0 && errno == EINTR);
    if (reserved == 0 || errno != EOPNOTSUPP) return reserved == 0;
    const int failure = posix_fallocate(file, 0, static_cast<off_t>(length));
    errno = failure;
    return failure == 0;
}

}  // namespace

bool InPlaceFile::Open(int descriptor, Folder folder, std::string name) {
    Close();
    mStream = MemoryFile("held");
    if (mStream == nullptr) {
        const int failure = errno;
        close(descriptor);
        errno = failure;
        return false;
    }
    mFile = descriptor;
    mFolder = std::move(folder);
    mName = std::move(name);
    return true;
}

void InPlaceFile::Hold() {
    // Another export of the file waits here until this one closes it, so
    // that one whole content stands; a file system that holds no file
    // lets it go unheld.
    while (!mHeld && flock(mFile, LOCK_EX) != 0 && errno == EINTR) {
    }
    mHeld = true;
}

void InPlaceFile::HoldTogether(InPlaceFile& one, InPlaceFile& other) {
    struct stat first;
    struct stat second;
    if (fstat(one.mFile, &first) != 0 || fstat(other.mFile, &second) != 0) return;
    const auto key = [](const struct stat& file) { return std::pair(file.st_dev, file.st_ino); };
    InPlaceFile& lower = key(first) <= key(second) ? one : other;
    lower.Hold();
    // A second lock of the very file, on another handle, would wait for
    // the first.
    if (key(first) == key(second)) {
        one.mHeld = other.mHeld = true;
    } else {
        (&lower == &one ? other : one).Hold();
    }
}

bool InPlaceFile::Ready() {
    if (mReady) return true;
    if (mStream == nullptr) {
        errno = EBADF;
        return false;
    }
    Hold();
    struct stat held;
    struct stat file;
    if (fstat(fileno(mStream), &held) != 0 || fstat(mFile, &file) != 0) return false;
    mLength = static_cast<std::uint64_t>(held.st_size);
    mEarlierLength = static_cast<std::uint64_t>(file.st_size);
    if (mLength > FileSizeLimit()) {
        errno = EFBIG;
        return false;
    }
    if (!Reserve(mFile, mLength) || !KeepEarlier(mEarlierLength)) {
        const int failure = errno;
        // Nothing of it changed but the room taken past its end, which goes.
        ftruncate(mFile, static_cast<off_t>(mEarlierLength));
        DropEarlier();
        errno = failure;
        return false;
    }
    mReady = true;
    return true;
}

bool InPlaceFile::WriteOver(bool keepEarlier) {
    if (!Ready()) return false;
    mWritten = true;
    if (CopyBytes(fileno(mStream), mFile, mLength) && ftruncate(mFile, static_cast<off_t>(mLength)) == 0 &&
        fdatasync(mFile) == 0) {
        // Whole now: a copy left beside it would pass for its only whole
        // content.
        if (!keepEarlier) DropEarlier();
        return true;
    }
    const int failure = errno;
    PutBack();
    errno = failure;
    return false;
}

bool InPlaceFile::KeepEarlier(std::uint64_t length) {
    // What the process may not read it cannot keep, nor put back.
    const int access = fcntl(mFile, F_GETFL);
    if (access < 0 || (access & O_ACCMODE) != O_RDWR) return true;
    mKept = true;
    // A copy past the size limit could not be written.
    if (length <= FileSizeLimit() && KeepOnDisk(length)) return true;
    return mEarlierBytes.Allocate(length) &&
           ReadAt(mFile, reinterpret_cast<char*>(mEarlierBytes.Data()), length, 0);
}

bool InPlaceFile::KeepOnDisk(std::uint64_t length) {
    // Named only where the name can go again, and only once it names the
    // whole earlier file on the disk.
    const bool named = !mFolder.KeepsEveryName();
    const int copy = mFolder.CreateUnnamedFile(0600);
    if (copy < 0) return false;
    if (!CopyBytes(mFile, copy, length) || (named && fdatasync(copy) != 0)) {
        close(copy);
        return false;
    }
    mEarlier = copy;
    if (!named || !mFolder.LinkUnnamed(copy, mName.c_str(), ".earlier", mCopyName)) mCopyName.clear();
    return true;
}

bool InPlaceFile::PutBack() {
    if (!mKept) return false;
    // Past the new content the earlier bytes are still there unless the
    // file was cut.
    struct stat file;
    const bool cut = fstat(mFile, &file) != 0 || static_cast<std::uint64_t>(file.st_size) < mEarlierLength;
    const std::uint64_t length = cut ? mEarlierLength : std::min(mEarlierLength, mLength);
    bool back = length <= FileSizeLimit();
    if (!back) errno = EFBIG;
    back = back &&
           (mEarlier >= 0 ? CopyBytes(mEarlier, mFile, length)
                          : WriteAt(mFile, reinterpret_cast<const char*>(mEarlierBytes.Data()), length, 0)) &&
           ftruncate(mFile, static_cast<off_t>(mEarlierLength)) == 0 && fdatasync(mFile) == 0;
    // Where they could not be put back, the copy is all that holds them.
    if (!back) mCopyName.clear();
    const int failure = errno;
    DropEarlier();
    errno = failure;
    return back;
}

void InPlaceFile::DropEarlier() {
    if (!mCopyName.empty()) mFolder.RemoveIfStill(mCopyName.c_str(), mEarlier);
    if (mEarlier >= 0) close(mEarlier);
    mEarlier = -1;
    mCopyName.clear();
    mEarlierBytes.Free();
    mKept = false;
}

void InPlaceFile::Close() {
    // Room reserved past the end of a file never written goes.
    if (mReady && !mWritten) ftruncate(mFile, static_cast<off_t>(mEarlierLength));
    DropEarlier();
    if (mStream != nullptr) std::fclose(mStream);
    mStream = nullptr;
    // Lets another export of the file go on.
    if (mFile >= 0) close(mFile);
    mFile = -1;
    mFolder.Close();
    mName.clear();
    mHeld = false;
    mReady = false;
    mWritten = false;
    mLength = 0;
    mEarlierLength = 0;
}

}  // namespace qalimor::os
