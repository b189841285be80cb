// Files and folders as the program names them: UTF-8 bytes, with '\' or '/'
// between folders. The system here knows only '/', so every name goes through
// NativePath before it reaches the system.
#ifndef PLATFORM_OS_FILE_H
#define PLATFORM_OS_FILE_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace qalimor::os {

// Which file an open file is, whatever names it has (its device and inode),
// and who may do what with it: the permission bits, group and owner it had
// when it was looked at, and the bytes it held then.
struct FileIdentity {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    unsigned permissions = 0;
    std::uint32_t group = 0;
    std::uint32_t owner = 0;
    std::uint64_t size = 0;
};

// The identity of the file open as descriptor; false with errno set, the
// identity untouched.
bool IdentityOf(int descriptor, FileIdentity& identity);
// The identity of what has the name in the folder open as descriptor folder,
// a link counting as itself, and in type, where given, the bits of its mode
// that tell what it is (a regular file, a link...), from the same look;
// false with errno set, the identity untouched.
bool IdentityOfName(int folder, const char* name, FileIdentity& identity, unsigned* type = nullptr);
// The process's effective user, that owns what it makes.
std::uint32_t ProcessUser();
// Whether the file is the process's own: its owner the process's effective
// user.
bool IsProcessOwn(const FileIdentity& identity);

// The name with every '\' turned into '/'.
std::string NativePath(std::string_view path);

// Opens a stdio stream. The mode is one of r, w, a, optionally followed by '+',
// 'b' and 't' in any order ('t' and 'b' mean the same here: no line-end
// translation). Other processes may read and write the file meanwhile. A
// folder is not a file: opening one fails. Null on failure (errno set).
std::FILE* OpenFile(const char* path, const char* mode);

// Opens a regular file for reading ("rb") without ever blocking on what is not
// one: a FIFO, a device or a socket is refused before anything is read from
// it. Null on failure, with errno set: EISDIR for a folder, EINVAL for any other
// file that is not a regular file, the system's own code otherwise.
std::FILE* OpenRegularFile(const char* path);

// The same as a descriptor for reads at any offset, with the size the file
// has now; -1 on failure, errno set alike.
int OpenRegularDescriptor(const char* path, std::uint64_t& size);
// The same with the whole identity of the file opened, from the look that
// found it regular.
int OpenRegularDescriptor(const char* path, FileIdentity& identity);
// The same for a path taken from the folder open as the descriptor folder;
// a link as its last name is refused (ELOOP) where followLink is false.
int OpenRegularDescriptorAt(int folder, const char* path, std::uint64_t& size, bool followLink = true);
int OpenRegularDescriptorAt(int folder, const char* path, FileIdentity& identity, bool followLink = true);

// The whole content of a regular file, opened as OpenRegularFile opens it;
// false with errno set as it sets it, or EFBIG when the file holds more than
// limit bytes (nothing is read then).
bool ReadRegularFile(const char* path, std::uint64_t limit, std::string& bytes);

// Whether OpenRegularFile would open the file, found without opening it: a
// look at the file and a permission check. False with errno set as
// OpenRegularFile sets it.
bool CanReadRegularFile(const char* path);

// Whether OpenRegularFile opens the file, decided by that very open and a
// look at what it opened, then closed: the rights are the process's own
// (its effective user's), and the file judged is the one a reader gets. False
// with errno set as OpenRegularFile sets it.
bool OpensAsRegularFile(const char* path);

// What a failed OpenRegularFile or OpenFile says about errno, for messages:
// "not a regular file" for EINVAL, the system's text otherwise.
std::string OpenFailureText(int error);

// Deletes a file (not a folder); false with errno set on failure.
bool RemoveFile(const char* path);

// Moves from over to, replacing an existing to in one step.
bool RenameFile(const char* from, const char* to);

// Flushes the stream, then truncates or extends (with zero bytes) its file.
bool ResizeFile(std::FILE* stream, std::int64_t size);

bool IsRegularFile(const char* path);
bool IsDirectory(const char* path);
// Whether the system finds anything by the path, following links.
bool Exists(const char* path);

// Creates one folder (its parent must exist).
bool MakeDirectory(const char* path);

// Removes a folder only when it holds nothing: the system refuses the others.
bool RemoveEmptyDirectory(const char* path);

}  // namespace qalimor::os

#endif
