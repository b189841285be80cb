// Reads and writes of the values of a 3DS file on the toolkit's current file
// (File3ds.h). Everything is little-endian and built byte by byte. A read that
// gets less than it asked for records ERR_READING_FILE and gives 0; a write
// that fails records ERR_WRITING_FILE. Compound values stop at their first
// failing element and keep their defaults for the rest.
#ifndef FBXFILESDK_3DSFTK_PRIMITIVES3DS_H
#define FBXFILESDK_3DSFTK_PRIMITIVES3DS_H

#include <fbxfilesdk/3dsftk/ChunkRecords3ds.h>

#include <cstdint>

namespace fbxsdk_2006_11_1 {

struct Chunk3ds;

std::uint8_t ReadByte3ds();
std::uint16_t ReadWord3ds();
std::uint32_t ReadDword3ds();
float ReadFloat3ds();
void WriteByte3ds(std::uint8_t value);
void WriteWord3ds(std::uint16_t value);
void WriteDword3ds(std::uint32_t value);
void WriteFloat3ds(float value);

void ReadVoid3ds(std::uint32_t count, void* buffer);
void WriteVoid3ds(std::uint32_t count, const void* buffer);

// Reads bytes into the buffer up to and including the first zero, at most
// limit bytes; limit bytes without a zero record ERR_READING_FILE (the buffer
// then holds them without a terminator). The buffer holds at least limit bytes.
void ReadString3ds(char* buffer, std::uint32_t limit);
// A zero-terminated string of at most n characters, returned in *text as a new
// text of its exact length; *text is left alone when the read fails.
void ReadStringAlloc3ds(char** text, std::uint32_t n);
// A field of exactly width bytes holding a zero-terminated string; the buffer
// holds at least width bytes.
void ReadFixedString3ds(char* buffer, std::uint32_t width);
// A field of n + 1 bytes, returned as a new text of the string's exact length.
void ReadFixedStringAlloc3ds(char** text, std::uint32_t n);
// The characters, then one zero byte.
void WriteString3ds(const char* text);
// The characters, then zero bytes up to width bytes in all (no padding for a
// text of width characters or more).
void WriteFixedString3ds(const char* text, std::uint32_t width);

// A 16-bit tag into the chunk's tag, and the 32-bit length into *size.
void ReadHeader3ds(Chunk3ds* chunk, std::uint32_t* size);
void WriteHeader3ds(std::uint32_t tag, std::uint32_t size);
// Writes end - start as the length of the chunk whose header starts at start,
// and leaves the file at end.
void FinishHeader3ds(std::int64_t start, std::int64_t end);

void ReadPoint3ds(point3ds* point);
void WritePoint3ds(const point3ds* point);
void ReadTexVert3ds(texvertex3ds* texvert);
void WriteTexVert3ds(const texvertex3ds* texvert);
// Defaults before the read: (0, 1, 2), flags 0.
void ReadFace3ds(face3ds* face);
void WriteFace3ds(const face3ds* face);
// Defaults before the read: flags and reserved 0, key count 1.
void ReadTrackHeader3ds(TrackHeader3ds* header);
void WriteTrackHeader3ds(const TrackHeader3ds* header);
// 6 to 26 bytes: the frame, the flags, then one float per flag bit 0 to 4 set.
void ReadKeyHeader3ds(keyheader3ds* key);
void WriteKeyHeader3ds(const keyheader3ds* key);

}  // namespace fbxsdk_2006_11_1

#endif
