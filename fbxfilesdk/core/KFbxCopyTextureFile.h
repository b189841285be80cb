// The copy of a texture file that a writer puts beside the file it writes.
#ifndef FBXFILESDK_CORE_KFBXCOPYTEXTUREFILE_H
#define FBXFILESDK_CORE_KFBXCOPYTEXTUREFILE_H

#include <fbxfilesdk/core/KString.h>

#include <cstddef>
#include <string>

namespace fbxsdk_2006_11_1 {

// The name numbered number of a copy of the file name: name itself for 0,
// else its stem, the number in decimal and its extension ("wood.tga",
// "wood1.tga", "wood2.tga"...). Where name fits limit bytes (0: no limit),
// the stem gives up as many bytes as the number needs, never part of a
// character, so that the numbered name fits too; "" where it cannot.
std::string KFbxNumberedCopyName(const std::string& name, unsigned number, std::size_t limit);

// Copies the texture file source beside destination, under destination's
// name or, where that name is taken by anything but a regular file of the
// source's bytes, under the first of its numbered names (KFbxNumberedCopyName,
// up to 999) that is such a file or is free; copy gets the name, without
// folder, that names the copy. True when the copy is there afterwards, made
// now or already present. Only a regular file is copied, with its permission
// bits (less the umask), and only into a file the copy creates, written
// whole under a name of its own before it takes a name where nothing has
// it: whatever has a name, before or once the copy is written, is left
// alone, and a link or a FIFO is neither followed nor opened. A source that
// cannot be read is named by destination's name, the regular file there
// counting as its copy. Why a texture is not copied goes to message, one
// line naming it: "Unable to locate texture file" for a missing source, "is
// not copied" with the reason for a source that is not a regular file, a
// destination taken (by what: a link, a FIFO...) while the source cannot be
// read, or names all taken, "Error writing texture file" for a copy that
// could not be written, which is then removed from the folder it was made
// in, if it still has its name there; copy then names the file it was to be.
bool KFbxCopyTextureFile(const char* source, const char* destination, std::size_t limit, std::string& copy,
                         KString& message);

}  // namespace fbxsdk_2006_11_1

#endif
