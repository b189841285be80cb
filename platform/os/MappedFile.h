// Whole files mapped into memory, for readers that walk a file's bytes in
// place instead of copying them.
#ifndef PLATFORM_OS_MAPPEDFILE_H
#define PLATFORM_OS_MAPPEDFILE_H

#include <cstdint>

namespace qalimor::os {

// Maps size bytes of the file, readable and writable; writes change only
// this process's copy of the pages. Null when the file cannot be mapped
// (a pipe, a special file), errno set.
unsigned char* MapFileCopyOnWrite(const char* path, std::uint64_t size);

void UnmapFile(unsigned char* data, std::uint64_t size);

// Gives back the whole pages inside [begin, begin + size) of a mapping made
// above; they read from the file again on the next touch, so only pages
// that were never written may be given back.
void ReleaseMappedPages(unsigned char* begin, std::uint64_t size);

}  // namespace qalimor::os

#endif
