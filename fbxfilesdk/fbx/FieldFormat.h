// Constants shared by the writers and readers of field files: the value type
// codes, the binary record layout and the limits a reader enforces before it
// allocates anything.
//
// Binary record (all integers little-endian):
//   u64 end          file offset of the first byte after the record
//   u32 valueCount   values, each element of an array counting as one
//   u64 valuesSize   bytes of the encoded values
//   u8  flags        bit 0: a block of child records follows the values
//   u8  nameLength   1 to 255, then the name's bytes
//   values, then the child records, which fill the record up to its end.
// A value is a type code and its payload: 'C' one byte, 'I' i32, 'L' i64,
// 'F' f32, 'D' f64, 'S' and 'R' u32 length and bytes; the arrays 'i', 'l',
// 'f', 'd' hold a u32 element count (at least 1) and the elements.
#ifndef FBXFILESDK_FBX_FIELDFORMAT_H
#define FBXFILESDK_FBX_FIELDFORMAT_H

#include <cstddef>
#include <cstdint>

namespace fbxsdk_2006_11_1 {

namespace FieldType {
constexpr char kChar = 'C';
constexpr char kInt = 'I';
constexpr char kLong = 'L';
constexpr char kFloat = 'F';
constexpr char kDouble = 'D';
constexpr char kString = 'S';
constexpr char kRaw = 'R';
constexpr char kIntArray = 'i';
constexpr char kLongArray = 'l';
constexpr char kFloatArray = 'f';
constexpr char kDoubleArray = 'd';
}  // namespace FieldType

constexpr std::size_t kRecordHeaderSize = 8 + 4 + 8 + 1 + 1;
constexpr std::uint8_t kRecordHasBlock = 1;
// A binary section: u64 end, u32 version, then its records. A section end
// of 0 follows the last section.
constexpr std::size_t kSectionHeaderSize = 8 + 4;

// The section version from which times are stored as ticks rather than seconds.
constexpr int kFirstTickTimeVersion = 2001;

// What a reader accepts; anything beyond is reported as a corrupted file.
constexpr int kMaxNestingDepth = 256;
constexpr int kMaxNameLength = 255;
constexpr std::uint32_t kMaxValueCount = 1u << 28;
constexpr std::uint32_t kMaxStringLength = 1u << 30;
constexpr int kMaxSections = 64;

}  // namespace fbxsdk_2006_11_1

#endif
