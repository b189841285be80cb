// A folder swapped for a link at the very moment a file is made in it, made
// at will instead of left to chance. A test linked with support/FolderSwap.cpp
// and -Wl,--wrap=openat,--wrap=open gets an openat and an open of its own:
// once armed, the first call that makes a file, right after the real call
// made it and before anything is written to it, moves the folder away and
// puts a link to another folder in its place.
#ifndef TESTS_SUPPORT_FOLDERSWAP_H
#define TESTS_SUPPORT_FOLDERSWAP_H

#include <string>

namespace folderswap {

// The folder goes to movedTo and a link to linkTarget takes its name.
void SwapAtNextCreate(const std::string& folder, const std::string& movedTo, const std::string& linkTarget);
// Forgets a swap armed in this process (one that happened in a child).
void Disarm();

}  // namespace folderswap

#endif
