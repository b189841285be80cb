// A folder held open by its handle, so that every name made, read, replaced
// or removed in it is a name of that very folder: moved meanwhile, or
// swapped for a link to another folder, it stays the one opened. Names are
// single plain components; a name that is a link is followed only to read
// the file it leads to, and one that is not a regular file is never opened
// for its content.
#ifndef PLATFORM_OS_FOLDER_H
#define PLATFORM_OS_FOLDER_H

#include <platform/os/File.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <functional>
#include <string>

namespace qalimor::os {

// What has a name: nothing, a regular file, or anything else (a link
// counting as itself, not as what it leads to).
enum class NameKind { eNone, eRegularFile, eLink, eFifo, eFolder, eDevice, eSocket, eOther };

// How a new file finished takes the name it is given: from whatever had it,
// or only where nothing has it.
enum class Takeover { eReplace, eOnlyWhereFree };

// Whether the process may follow a link, or open a file, of the owner in the
// folder as the system's protection of shared folders allows: anywhere but
// in a sticky folder open to all, where only the owner's own, or the
// folder's owner's, are safe from the others who may write there. The rule
// holds for every process, privileged or not, whatever the system's own
// setting.
bool StickyFolderAllows(const FileIdentity& folder, std::uint32_t owner);

class Folder {
public:
    Folder() = default;
    ~Folder() { Close(); }
    Folder(const Folder&) = delete;
    Folder& operator=(const Folder&) = delete;
    Folder(Folder&& other) noexcept;
    Folder& operator=(Folder&& other) noexcept;

    // Whether the name is one name of a folder: not "", "." or "..", and
    // holding no '/' or '\\'.
    static bool IsPlainName(const char* name);

    // Opens the folder the caller names, following a link to it. False with
    // errno set.
    bool Open(const char* path);
    // Opens the folder that holds what the path names, following a link to
    // that folder, and gives the path's last name. False with errno set.
    bool OpenHolderOf(const char* path, std::string& name);
    // Opens the folder that holds the file the path leads to and gives that
    // file's name, following every link on the way (folders' and the last
    // name's, each relative one read from its own folder) only where
    // StickyFolderAllows it in the folder that holds it: one it refuses fails
    // the call with EACCES, as does the system that protects such folders.
    // The name given is no link, and may be free. False with errno set:
    // ELOOP past 40 links, EISDIR for a path that names a folder.
    bool OpenHolderOfTarget(const char* path, std::string& name);
    // Opens the folder of the name in parent, made when missing with the
    // mode (less the umask), its bits for its group only once its group is
    // the group given (see ShareWithGroup). A link there is refused (ELOOP or
    // ENOTDIR), as is anything else that is not a folder. False with errno
    // set.
    bool OpenOrMakeIn(const Folder& parent, const char* name, unsigned mode, std::uint32_t group);
    // Opens the folder other has open, by a handle of its own.
    bool OpenSame(const Folder& other);
    void Close();
    bool IsOpen() const { return mDescriptor >= 0; }
    // The folder's handle, for the calls on its names that take one; -1
    // when closed. It stays the folder's.
    int Descriptor() const { return mDescriptor; }

    // What has the name in the folder; nothing is opened. eNone for a name
    // that is not plain.
    NameKind KindOf(const char* name) const;
    // The same, with the identity of what has the name, from the same look.
    NameKind KindOf(const char* name, FileIdentity& identity) const;
    // Opens the file of the name for reading as OpenRegularDescriptor opens
    // a path, following a link at the name: a file read through a link is
    // read from the link's folder. "" names the folder itself.
    int OpenRegularDescriptor(const char* name, std::uint64_t& size) const;
    // Whether the name is a regular file holding exactly these bytes, read
    // only as far as it matches them.
    bool HoldsExactly(const char* name, const void* bytes, std::size_t size) const;
    // The same for the bytes of the regular file open as descriptor (read
    // at their offsets: its position stays).
    bool HoldsSameAs(const char* name, int descriptor) const;

    // Creates a file of the folder for writing ("wb", or "w+b" when what is
    // written is to be read back) where nothing has the name, with the
    // permission bits of mode less the umask: whatever has it (a file, a
    // FIFO, a link, even one that leads nowhere) is neither opened nor
    // followed, and the call fails with EEXIST; a name that is not plain
    // fails with EINVAL.
    std::FILE* CreateNewFile(const char* name, unsigned mode = 0666, bool readBack = false) const;
    // CreateNewFile under a name no other file has, made from like and
    // given in name: ".<like>.<ten letters>" (like cut to 64 bytes), the
    // letters one of a few that like's whole name gives, tried in turn, and
    // random ones where all are taken. The file is held (an exclusive lock)
    // while the stream is open, so that RemoveLeftOvers tells one whose
    // maker ended from one still written; a name another holds is not taken.
    std::FILE* CreateTemporaryFile(const char* like, std::string& name, unsigned mode = 0666,
                                   bool readBack = false) const;
    // The identity, permission bits, owner and group of what has the name,
    // not followed if a link; false with errno set when nothing has it.
    bool IdentityOf(const char* name, FileIdentity& identity) const;
    // Ends the writing of a stream CreateNewFile or CreateTemporaryFile made
    // for the name, and closes the stream. When everything reached the file
    // (written says the caller's writes did) the file is kept, under the name
    // target when one is given, taken as takeover says: whatever had that
    // name gives it up in one step, without being opened or followed, or,
    // only where free, the name taken meanwhile fails the call with EEXIST.
    // Otherwise the result is false with errno set, and the file is removed,
    // through the folder's handle and only while the name still is that very
    // file: what took the name meanwhile is left as it is.
    bool FinishNewFile(std::FILE* stream, const char* name, bool written, const char* target = nullptr,
                       Takeover takeover = Takeover::eReplace) const;
    // Gives the file of the name the name target as takeover says; false
    // with errno set. Taken only where free, the file may keep its first
    // name as well, which RemoveIfStill then removes.
    bool Rename(const char* name, const char* target, Takeover takeover) const;
    // Whether the name is the file open as descriptor.
    bool IsStill(const char* name, int descriptor) const;
    // Removes the name when it is the file open as descriptor.
    void RemoveIfStill(const char* name, int descriptor) const;

    // A regular file of the folder that has no name, open for reading and
    // writing, with the permission bits of mode: it goes when closed unless
    // LinkUnnamed names it. -1 with errno set (EOPNOTSUPP or EISDIR where
    // the file system makes none).
    int CreateUnnamedFile(unsigned mode) const;
    // Names the file CreateUnnamedFile made, open as descriptor, with a name
    // made from like as CreateTemporaryFile makes one and ending in suffix,
    // that no file had before (given in name), in one step, so that the file
    // has no other name first; held as CreateTemporaryFile holds its files
    // while the descriptor is open.
    // False with errno set.
    bool LinkUnnamed(int descriptor, const char* like, const char* suffix, std::string& name) const;
    // Names that file with the name given, where no file has it: a file
    // that came to have it meanwhile fails the call with EEXIST and keeps
    // it. False with errno set.
    bool LinkUnnamedAs(int descriptor, const char* name) const;
    // Gives the file of the name such a name as well, or instead of its own
    // where the file system keeps one name a file, held as CreateTemporaryFile
    // holds its files from before it has that name: a descriptor of it, which
    // holds it while open. -1 with errno set (ENOENT where nothing has the
    // name).
    int SetAside(const char* name, const char* suffix, std::string& aside) const;
    // Removes the hidden files that names made from like (as
    // CreateTemporaryFile, LinkUnnamed and SetAside make them) left behind
    // when their maker ended midway: the process's own regular files of one
    // name that no one holds, under a name whose letters like's whole name
    // gives (a name of another file cut to the same 64 bytes, or one a user
    // gave in the same shape, is left). The names like gives first are
    // looked at one by one; the folder is read only where each of them is
    // taken, or one is what no export of the process made (a name taken
    // first by another user), so that random ones may have been made.
    void RemoveLeftOvers(const char* like) const;
    // Whether the system lets no name of the folder go (it keeps it
    // append-only), though new ones may come.
    bool KeepsEveryName() const;

private:
    // Whether the name is a regular file of size bytes that match, block by
    // block, those expected(offset, length) gives (null when it has none).
    bool Holds(const char* name, std::uint64_t size,
               const std::function<const char*(std::uint64_t, std::size_t)>& expected) const;

    int mDescriptor = -1;
};

}  // namespace qalimor::os

#endif
