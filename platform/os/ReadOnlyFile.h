// A regular file held open for reading at any offset, for readers that keep
// a copy of a file and may read parts of it again later. Other programs may
// change or cut the file meanwhile: a read then gives what the file holds at
// that moment, and comes short past its new end; nothing is ever mapped, so
// no change on disk can fault the reader.
#ifndef PLATFORM_OS_READONLYFILE_H
#define PLATFORM_OS_READONLYFILE_H

#include <platform/os/File.h>
#include <platform/os/Folder.h>

#include <cstdint>

namespace qalimor::os {

class ReadOnlyFile {
public:
    ReadOnlyFile() = default;
    ~ReadOnlyFile() { Close(); }
    ReadOnlyFile(const ReadOnlyFile&) = delete;
    ReadOnlyFile& operator=(const ReadOnlyFile&) = delete;

    // Opens the regular file of the name in the folder without ever
    // blocking on what is not one; false with errno set as OpenRegularFile
    // sets it.
    bool Open(const Folder& folder, const char* name);
    // The same for a plain name that is no link: one is refused (ELOOP),
    // never followed.
    bool OpenWithoutFollowing(const Folder& folder, const char* name);
    // The same for a path, relative ones from the working folder, following
    // links.
    bool Open(const char* path);
    void Close();
    bool IsOpen() const { return mDescriptor >= 0; }
    // The size the file had when it was opened.
    std::uint64_t Size() const { return mSize; }
    // Which file is open, as it was when opened.
    const FileIdentity& Identity() const { return mIdentity; }
    // Reads up to size bytes at offset: fewer only where the file ends. -1
    // on a failure of the system, errno set.
    std::int64_t ReadAt(std::uint64_t offset, unsigned char* out, std::uint64_t size) const;

private:
    bool Take(int descriptor, const FileIdentity& identity);

    int mDescriptor = -1;
    std::uint64_t mSize = 0;
    FileIdentity mIdentity;
};

}  // namespace qalimor::os

#endif
