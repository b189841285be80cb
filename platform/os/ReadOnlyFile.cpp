#include <platform/os/ReadOnlyFile.h>

#include <platform/os/Folder.h>

#include <cerrno>
#include <cstddef>

#include <unistd.h>

namespace qalimor::os {

namespace {

// The most one system call is asked for: the system caps a read near 2 GiB.
constexpr std::uint64_t kLargestRead = std::uint64_t(1) << 30;

}  // namespace

bool ReadOnlyFile::Open(const Folder& folder, const char* name) {
    std::uint64_t size = 0;
    const int descriptor = folder.OpenRegularDescriptor(name, size);
    FileIdentity identity;
    // Only here is the file looked at again: the folder's open gives its size.
    if (descriptor >= 0) IdentityOf(descriptor, identity);
    identity.size = size;
    return Take(descriptor, identity);
}

bool ReadOnlyFile::Open(const char* path) {
    FileIdentity identity;
    const int descriptor = OpenRegularDescriptor(path, identity);
    return Take(descriptor, identity);
}

bool ReadOnlyFile::OpenWithoutFollowing(const Folder& folder, const char* name) {
    if (!Folder::IsPlainName(name)) {
        Close();
        errno = EINVAL;
        return false;
    }
    FileIdentity identity;
    const int descriptor = OpenRegularDescriptorAt(folder.Descriptor(), name, identity, false);
    return Take(descriptor, identity);
}

bool ReadOnlyFile::Take(int descriptor, const FileIdentity& identity) {
    Close();
    mDescriptor = descriptor;
    if (mDescriptor < 0) return false;
    mSize = identity.size;
    mIdentity = identity;
    return true;
}

void ReadOnlyFile::Close() {
    if (mDescriptor >= 0) close(mDescriptor);
    mDescriptor = -1;
    mSize = 0;
    mIdentity = FileIdentity();
}

std::int64_t ReadOnlyFile::ReadAt(std::uint64_t offset, unsigned char* out, std::uint64_t size) const {
    if (mDescriptor < 0) {
        errno = EBADF;
        return -1;
    }
    std::uint64_t done = 0;
    while (done < size) {
        const std::uint64_t wanted = size - done < kLargestRead ? size - done : kLargestRead;
        const ssize_t read = pread(mDescriptor, out + done, static_cast<std::size_t>(wanted),
                                   static_cast<off_t>(offset + done));
        if (read < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (read == 0) break;
        done += static_cast<std::uint64_t>(read);
    }
    return static_cast<std::int64_t>(done);
}

}  // namespace qalimor::os
