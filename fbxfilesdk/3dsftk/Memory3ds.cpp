#include <fbxfilesdk/3dsftk/Memory3ds.h>

#include <fbxfilesdk/3dsftk/Error3ds.h>
#include <fbxfilesdk/3dsftk/Internal3ds.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <cstring>
#include <limits>

namespace fbxsdk_2006_11_1 {

void* Alloc3ds(const char* /*file*/, int /*line*/, std::size_t size) { return SdkMalloc(size == 0 ? 1 : size); }

namespace {

// The toolkit asks for hundreds of small zeroed blocks per file (chunks,
// records, names). The C library serves small plain allocations from a
// per-thread cache that its zeroing allocation passes by, so small blocks are
// taken plain and cleared here; large ones keep the zeroing allocation, which
// gets fresh pages already clear.
constexpr std::size_t kLargestClearedBlock = 1024;

}  // namespace

void* CAlloc3ds(const char* /*file*/, int /*line*/, std::size_t count, std::size_t size) {
    if (size != 0 && count > std::numeric_limits<std::size_t>::max() / size) return nullptr;
    const std::size_t bytes = count == 0 || size == 0 ? 1 : count * size;
    if (bytes > kLargestClearedBlock) return SdkCalloc(count, size);
    void* block = SdkMalloc(bytes);
    if (block != nullptr) std::memset(block, 0, bytes);
    return block;
}

void* ReAlloc3ds(const char* /*file*/, int /*line*/, void* block, std::size_t size) {
    return SdkRealloc(block, size == 0 ? 1 : size);
}

void FtkFree(void* block) { SdkFree(block); }

char* StrDup3ds(const char* text) {
    if (text == nullptr) return nullptr;
    const std::size_t length = std::strlen(text);
    auto* copy = static_cast<char*>(Alloc3ds(__FILE__, __LINE__, length + 1));
    if (copy == nullptr) {
        PushError3ds(ERR_NO_MEM);
        return nullptr;
    }
    std::memcpy(copy, text, length + 1);
    return copy;
}

std::size_t CheckStringLength3ds(const char* text, std::size_t maximum) {
    if (text == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return 0;
    }
    for (std::size_t i = 0; i <= maximum; ++i) {
        if (text[i] == '\0') return i;
    }
    PushError3ds(ERR_STRING_TOO_LONG);
    return 0;
}

}  // namespace fbxsdk_2006_11_1

namespace fbxsdk_2006_11_1::ftk3ds {

void* DuplicateBlock(const void* source, std::size_t bytes, SourcePlace where) {
    if (source == nullptr || bytes == 0) return nullptr;
    void* copy = Alloc3ds(where.file, where.line, bytes);
    if (copy == nullptr) {
        PushError3ds(ERR_NO_MEM);
        return nullptr;
    }
    std::memcpy(copy, source, bytes);
    return copy;
}

bool ReplaceText(char*& target, const char* text) {
    char* copy = StrDup3ds(text != nullptr ? text : "");
    if (copy == nullptr) return false;
    FtkFree(target);
    target = copy;
    return true;
}

}  // namespace fbxsdk_2006_11_1::ftk3ds
