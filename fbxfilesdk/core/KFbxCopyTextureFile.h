// The copy of a texture file that a writer puts beside the file it writes.
#ifndef FBXFILESDK_CORE_KFBXCOPYTEXTUREFILE_H
#define FBXFILESDK_CORE_KFBXCOPYTEXTUREFILE_H

#include <fbxfilesdk/core/KString.h>

namespace fbxsdk_2006_11_1 {

// Copies the texture file source to destination; true when the copy is
// there afterwards, made now or already present. Only a regular file is
// copied, with its permission bits (less the umask), and only into a file
// the copy creates, written whole under a name of its own before it takes
// the destination's name where nothing has it: whatever has that name,
// before or once the copy is written, is left alone, a regular file counting
// as the copy when it holds the source's bytes (or the source cannot be
// read), and a link or a FIFO is neither followed nor opened. Why a texture
// is not copied goes to message, one line naming it: "Unable to locate
// texture file" for a missing source, "is not copied" with the reason for a
// source that is not a regular file or a destination taken (by what: a
// link, a FIFO...) or holding other bytes, "Error writing texture file" for
// a copy that could not be written, which is then removed from the folder
// it was made in, if it still has its name there.
bool KFbxCopyTextureFile(const char* source, const char* destination, KString& message);

}  // namespace fbxsdk_2006_11_1

#endif
