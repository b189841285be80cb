// Little-endian loads and stores of fixed-width values. Every multi-byte
// value of the binary field format goes through these, one field at a time,
// so the byte order never depends on the machine.
#ifndef FBXFILESDK_FBX_FIELDBYTES_H
#define FBXFILESDK_FBX_FIELDBYTES_H

#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

namespace fbxsdk_2006_11_1 {

inline std::uint64_t LoadLittleEndian(const unsigned char* p, int byteCount) {
    std::uint64_t value = 0;
    for (int i = byteCount - 1; i >= 0; --i) value = (value << 8) | p[i];
    return value;
}

inline void StoreLittleEndian(unsigned char* p, std::uint64_t value, int byteCount) {
    for (int i = 0; i < byteCount; ++i) p[i] = static_cast<unsigned char>(value >> (8 * i));
}

// One load where the machine's order is the file's: the byte loop above is
// not always merged into one, and every record header and value goes
// through these.
template <typename Unsigned>
Unsigned LoadUnsigned(const unsigned char* p) {
    if constexpr (std::endian::native == std::endian::little) {
        Unsigned value;
        std::memcpy(&value, p, sizeof value);
        return value;
    } else {
        return static_cast<Unsigned>(LoadLittleEndian(p, sizeof(Unsigned)));
    }
}

inline std::uint32_t LoadU32(const unsigned char* p) { return LoadUnsigned<std::uint32_t>(p); }
inline std::uint64_t LoadU64(const unsigned char* p) { return LoadUnsigned<std::uint64_t>(p); }
inline double LoadF64(const unsigned char* p) { return std::bit_cast<double>(LoadU64(p)); }
inline float LoadF32(const unsigned char* p) { return std::bit_cast<float>(LoadU32(p)); }

// Copies count little-endian elements of Element's width into out. On a
// little-endian machine the file bytes already are the elements.
template <typename Element>
void LoadLittleEndianArray(Element* out, const unsigned char* p, std::size_t count) {
    static_assert(sizeof(Element) == 4 || sizeof(Element) == 8);
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(out, p, count * sizeof(Element));
    } else {
        using Bits = std::conditional_t<sizeof(Element) == 4, std::uint32_t, std::uint64_t>;
        for (std::size_t i = 0; i < count; ++i, p += sizeof(Element)) {
            out[i] = std::bit_cast<Element>(static_cast<Bits>(LoadLittleEndian(p, sizeof(Element))));
        }
    }
}

template <typename Element>
void StoreLittleEndianArray(unsigned char* p, const Element* values, std::size_t count) {
    static_assert(sizeof(Element) == 4 || sizeof(Element) == 8);
    if constexpr (std::endian::native == std::endian::little) {
        std::memcpy(p, values, count * sizeof(Element));
    } else {
        using Bits = std::conditional_t<sizeof(Element) == 4, std::uint32_t, std::uint64_t>;
        for (std::size_t i = 0; i < count; ++i, p += sizeof(Element)) {
            StoreLittleEndian(p, std::bit_cast<Bits>(values[i]), sizeof(Element));
        }
    }
}

}  // namespace fbxsdk_2006_11_1

#endif
