#include <platform/os/InPlaceFile.h>

#include <algorithm>
#include <cerrno>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <sys/mman.h>
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
        const ssize_t got = pread(from, block.data(), std::min<std::uint64_t>(block.size(), left()), in);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            if (got == 0) errno = EIO;
            return false;
        }
        for (ssize_t done = 0; done < got;) {
            const ssize_t written = pwrite(to, block.data() + done, static_cast<std::size_t>(got - done), out);
            if (written < 0 && errno == EINTR) continue;
            if (written <= 0) return false;
            done += written;
            out += written;
        }
        in += got;
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

bool InPlaceFile::WriteOver() {
    struct stat held;
    struct stat file;
    if (mStream == nullptr || fstat(fileno(mStream), &held) != 0 || fstat(mFile, &file) != 0) return false;
    const auto length = static_cast<std::uint64_t>(held.st_size);
    const auto earlier = static_cast<std::uint64_t>(file.st_size);
    if (!Reserve(mFile, length) || !KeepEarlier(earlier)) {
        const int failure = errno;
        // Nothing of it changed but the room taken past its end, which goes.
        ftruncate(mFile, static_cast<off_t>(earlier));
        DropEarlier();
        errno = failure;
        return false;
    }
    if (CopyBytes(fileno(mStream), mFile, length) && ftruncate(mFile, static_cast<off_t>(length)) == 0 &&
        fdatasync(mFile) == 0) {
        return true;
    }
    const int failure = errno;
    PutBack();
    errno = failure;
    return false;
}

bool InPlaceFile::KeepEarlier(std::uint64_t length) {
    mEarlierLength = length;
    // What the process may not read it cannot keep, nor put back.
    const int access = fcntl(mFile, F_GETFL);
    if (access < 0 || (access & O_ACCMODE) != O_RDWR) return true;
    std::string temporary;
    std::FILE* copy = mFolder.CreateTemporaryFile(mName.c_str(), temporary, 0600, true);
    if (copy == nullptr) {
        if (errno != EACCES && errno != EPERM && errno != EROFS) return false;
        // A folder that takes no new file: kept where an error finds them,
        // not a process ended midway.
        mEarlier = MemoryFile("earlier");
        return mEarlier != nullptr && CopyBytes(mFile, fileno(mEarlier), length);
    }
    // Named as the earlier file only once it is that file, whole on the disk.
    const int descriptor = fileno(copy);
    const std::string name = temporary + ".earlier";
    const bool kept = CopyBytes(mFile, descriptor, length) && fdatasync(descriptor) == 0 &&
                      mFolder.Rename(temporary.c_str(), name.c_str(), Takeover::eOnlyWhereFree);
    const int failure = errno;
    mFolder.RemoveIfStill(temporary.c_str(), descriptor);
    if (!kept) {
        std::fclose(copy);
        errno = failure;
        return false;
    }
    mEarlier = copy;
    mCopyName = name;
    return true;
}

bool InPlaceFile::PutBack() {
    if (mEarlier == nullptr) return false;
    const bool back = CopyBytes(fileno(mEarlier), mFile, mEarlierLength) &&
                      ftruncate(mFile, static_cast<off_t>(mEarlierLength)) == 0 && fdatasync(mFile) == 0;
    // Where they could not be put back, the copy is all that holds them.
    if (!back) mCopyName.clear();
    const int failure = errno;
    DropEarlier();
    errno = failure;
    return back;
}

void InPlaceFile::DropEarlier() {
    if (mEarlier == nullptr) return;
    if (!mCopyName.empty()) mFolder.RemoveIfStill(mCopyName.c_str(), fileno(mEarlier));
    std::fclose(mEarlier);
    mEarlier = nullptr;
    mCopyName.clear();
}

void InPlaceFile::Close() {
    DropEarlier();
    if (mStream != nullptr) std::fclose(mStream);
    mStream = nullptr;
    if (mFile >= 0) close(mFile);
    mFile = -1;
    mFolder.Close();
    mName.clear();
    mEarlierLength = 0;
}

}  // namespace qalimor::os
