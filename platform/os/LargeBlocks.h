// Advice to the system about large blocks of memory.
#ifndef PLATFORM_OS_LARGEBLOCKS_H
#define PLATFORM_OS_LARGEBLOCKS_H

#include <cstddef>

namespace qalimor::os {

// Asks that the whole large pages inside [begin, begin + size) of an
// anonymous block be backed by large pages when they are first touched, so
// that filling the block takes a few hundred page faults instead of one per
// small page. Only advice: nothing changes for the caller when the system
// ignores it.
void AdviseLargePages(void* begin, std::size_t size);

}  // namespace qalimor::os

#endif
