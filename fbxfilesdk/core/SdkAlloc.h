// The SDK's heap: every SDK block is taken and given back through these, so a
// host can route them elsewhere by replacing the four process-wide pointers.
#ifndef FBXFILESDK_CORE_SDKALLOC_H
#define FBXFILESDK_CORE_SDKALLOC_H

#include <cstddef>
#include <cstdint>

namespace fbxsdk_2006_11_1 {

using SdkMallocFn = void* (*)(std::size_t size);
using SdkCallocFn = void* (*)(std::size_t count, std::size_t size);
using SdkReallocFn = void* (*)(void* block, std::size_t size);
using SdkFreeFn = void (*)(void* block);

void* SdkMalloc(std::size_t size);
void* SdkCalloc(std::size_t count, std::size_t size);
void* SdkRealloc(void* block, std::size_t size);
// Ignores null.
void SdkFree(void* block);

// Advice for a block just taken and not yet touched: a large one (the
// arrays of a big mesh) is backed by large pages when first written, which
// takes far fewer page faults. The functions above give it only to blocks of
// the system allocator, never to those of allocators a host put in place;
// callers that take blocks elsewhere (std::vector storage) decide for
// themselves.
void SdkAdviseLargeBlock(void* block, std::size_t size);

// The allocations that failed on this thread, counting every null block the
// functions above gave back for a non-zero size and every failure SDK code
// notes itself where it takes memory elsewhere and carries on without it. A
// long operation (an import) compares the count before and after to learn
// that something it built came out short.
std::uint64_t SdkAllocationFailureCount();
void SdkNoteAllocationFailure();

// Replaces the allocation functions; a null argument keeps the current one.
// Returns false, changing nothing, unless all four are given or all four are null.
bool SdkSetAllocators(SdkMallocFn mallocFn, SdkCallocFn callocFn, SdkReallocFn reallocFn, SdkFreeFn freeFn);

}  // namespace fbxsdk_2006_11_1

#endif
