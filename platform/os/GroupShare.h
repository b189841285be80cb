// Files and folders made from the content of another file let its group in
// as that file does, and no other group. What is made takes the group of its
// folder (one marked so) or of the process, which may be a group the file it
// comes from keeps out: so it is made with no bits for its group, and given
// them only once its group is that file's.
#ifndef PLATFORM_OS_GROUPSHARE_H
#define PLATFORM_OS_GROUPSHARE_H

#include <cstdint>

namespace qalimor::os {

// The permission bits of mode with none for the group: those to make a file
// or folder with before ShareWithGroup.
constexpr unsigned WithoutGroupBits(unsigned mode) { return mode & ~070u; }

// Gives the file or folder open as descriptor, which this process made with
// WithoutGroupBits(mode), the group given when it has another and the system
// lets us (we are in that group, or may change any group), then the mode's
// bits for its group, less the umask. False with errno set when it keeps no
// bits for its group: its group is another, or they cannot be given.
bool ShareWithGroup(int descriptor, std::uint32_t group, unsigned mode);

}  // namespace qalimor::os

#endif
