// The copies of texture files of one name that a write puts beside the file
// it writes.
#ifndef FBXFILESDK_CORE_KFBXCOPYTEXTUREFILE_H
#define FBXFILESDK_CORE_KFBXCOPYTEXTUREFILE_H

#include <fbxfilesdk/core/KString.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

// The name numbered number of a copy of the file name: name itself for 0,
// else its stem, the number in decimal and its extension ("wood.tga",
// "wood1.tga", "wood2.tga"...). Where name fits limit bytes (0: no limit),
// the stem gives up as many bytes as the number needs, never part of a
// character, so that the numbered name fits too; "" where it cannot.
std::string KFbxNumberedCopyName(const std::string& name, unsigned number, std::size_t limit);

// The copies beside one write's file of the texture files that share a
// name: destination, the path of the copy under that name, and the names
// numbered after it (KFbxNumberedCopyName, within limit bytes), made by the
// user given (the process's effective one, taken once for the write).
class KFbxTextureCopyNames {
public:
    KFbxTextureCopyNames(std::string destination, std::size_t limit, std::uint32_t user);

    // Copies the texture file source under destination's name or, where that
    // name is taken by anything but a regular file of the user's own, that
    // others may not write, holding the source's bytes, under the first of
    // its numbered names (up to 999) that is such a file or is free; copy
    // gets the name, without folder, that names the copy. True when the copy
    // is there afterwards, made now or already present. Only a regular file
    // is copied, with its permission bits (less the umask, and never others'
    // leave to write), and only into a file the copy creates, written whole
    // under a name of its own before it takes a name where nothing has it:
    // whatever has a name, before or once the copy is written, is left alone,
    // a link or a FIFO is neither followed nor opened, and neither another
    // user's file nor one that everyone may write is ever taken for a copy.
    // A source that cannot be read is named by destination's name, the
    // regular file there counting as its copy. Why a texture is not copied
    // goes to message, one line naming it: "Unable to locate texture file"
    // for a missing source, "is not copied" with the reason for a source that
    // is not a regular file, a destination taken (by what: a link, a
    // FIFO...) while the source cannot be read, or names all taken, "Error
    // writing texture file" for a copy that could not be written, which is
    // then removed from the folder it was made in, if it still has its name
    // there; copy then names the file it was to be.
    //
    // Each call first looks among the regular files the calls before it
    // looked at, or made for earlier sources, for one that holds the
    // source's bytes, and takes it for the copy; only then does it go on
    // past the names they looked at, a name taken by what no copy may be
    // staying passed. Calls are for one write, so that what they learnt of
    // the folder still holds.
    bool Copy(const char* source, std::string& copy, KString& message);

private:
    // The numbers of the regular files looked at that hold size bytes.
    std::vector<unsigned> LookedOfSize(std::uint64_t size) const;
    // Among the regular files looked at that hold size bytes of that
    // digest, the first by number that holdsSource tells holds the source's
    // bytes; false when none does. digestOf gives the digest of a file
    // looked at, or false where it can no longer be a copy.
    bool FindLooked(std::uint64_t size, std::uint64_t digest,
                    const std::function<bool(const std::string&, std::uint64_t&)>& digestOf,
                    const std::function<bool(const std::string&)>& holdsSource, unsigned& number);
    // Notes the regular file numbered number, of size bytes, its digest
    // given where it is known.
    void Remember(unsigned number, std::uint64_t size, std::optional<std::uint64_t> digest);

    std::string mDestination;
    // Destination's last name.
    std::string mName;
    std::size_t mLimit;
    std::uint32_t mUser;
    // The first number not yet looked at.
    unsigned mNext = 0;
    // The regular files looked at (or made) by number, by their size and
    // the digest of their bytes, or only their size until a source of that
    // size needs their digest, which is taken once.
    std::map<std::pair<std::uint64_t, std::uint64_t>, std::set<unsigned>> mDigested;
    std::map<std::uint64_t, std::vector<unsigned>> mUndigested;
};

}  // namespace fbxsdk_2006_11_1

#endif
