#include <fbxfilesdk/3dsftk/Primitives3ds.h>

#include <fbxfilesdk/3dsftk/Chunk3ds.h>
#include <fbxfilesdk/3dsftk/File3ds.h>
#include <fbxfilesdk/3dsftk/Internal3ds.h>

#include <bit>
#include <cstring>
#include <initializer_list>

namespace fbxsdk_2006_11_1 {

namespace {

// Reads exactly count bytes or records ERR_READING_FILE.
bool ReadBytes(void* buffer, std::size_t count) {
    if (count == 0) return true;
    if (!ReadCurrentFile3ds(buffer, count)) {
        PushError3ds(ERR_READING_FILE);
        return false;
    }
    return true;
}

bool WriteBytes(const void* buffer, std::size_t count) {
    std::FILE* stream = GetCurrentFileHandle3ds();
    if (count == 0) return true;
    if (stream == nullptr || std::fwrite(buffer, 1, count, stream) != count) {
        PushError3ds(ERR_WRITING_FILE);
        return false;
    }
    return true;
}

using ftk3ds::FromLittleEndian;

// Most values stand in the window already: they are taken from there without
// a copy, and only the others are read.
template <std::size_t N>
bool ReadLittleEndian(std::uint32_t& value) {
    unsigned char copy[N];
    const unsigned char* bytes = TakeCurrentFile3ds(N);
    if (bytes == nullptr) {
        if (!ReadBytes(copy, N)) return false;
        bytes = copy;
    }
    value = FromLittleEndian<N>(bytes);
    return true;
}

template <std::size_t N>
std::uint32_t ReadLittleEndian() {
    std::uint32_t value = 0;
    return ReadLittleEndian<N>(value) ? value : 0;
}

// Reads into target only when the read succeeds, so that a short read leaves
// the default the target holds.
bool ReadInto(std::uint16_t& target) {
    std::uint32_t value = 0;
    if (!ReadLittleEndian<2>(value)) return false;
    target = static_cast<std::uint16_t>(value);
    return true;
}
bool ReadInto(std::uint32_t& target) { return ReadLittleEndian<4>(target); }
bool ReadInto(float& target) {
    std::uint32_t value = 0;
    if (!ReadLittleEndian<4>(value)) return false;
    target = std::bit_cast<float>(value);
    return true;
}

// Stops after a failed read unless errors are ignored.
template <class T>
bool ReadOn(T& target) {
    return ReadInto(target) || !FtkErrorStops();
}

template <std::size_t N>
void WriteLittleEndian(std::uint32_t value) {
    unsigned char bytes[N];
    for (std::size_t i = 0; i < N; ++i) bytes[i] = static_cast<unsigned char>(value >> (8 * i));
    WriteBytes(bytes, N);
}

}  // namespace

std::uint8_t ReadByte3ds() { return static_cast<std::uint8_t>(ReadLittleEndian<1>()); }
std::uint16_t ReadWord3ds() { return static_cast<std::uint16_t>(ReadLittleEndian<2>()); }
std::uint32_t ReadDword3ds() { return ReadLittleEndian<4>(); }
float ReadFloat3ds() { return std::bit_cast<float>(ReadLittleEndian<4>()); }
void WriteByte3ds(std::uint8_t value) { WriteLittleEndian<1>(value); }
void WriteWord3ds(std::uint16_t value) { WriteLittleEndian<2>(value); }
void WriteDword3ds(std::uint32_t value) { WriteLittleEndian<4>(value); }
void WriteFloat3ds(float value) { WriteLittleEndian<4>(std::bit_cast<std::uint32_t>(value)); }

void ReadVoid3ds(std::uint32_t count, void* buffer) {
    if (buffer == nullptr && count != 0) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    ReadBytes(buffer, count);
}

void WriteVoid3ds(std::uint32_t count, const void* buffer) {
    if (buffer == nullptr && count != 0) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    WriteBytes(buffer, count);
}

void ReadString3ds(char* buffer, std::uint32_t limit) {
    if (buffer == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    if (limit == 0) return;
    buffer[0] = '\0';
    for (std::uint32_t i = 0; i < limit; ++i) {
        if (!ReadBytes(buffer + i, 1)) return;
        if (buffer[i] == '\0') return;
    }
    PushError3ds(ERR_READING_FILE);
}

void ReadStringAlloc3ds(char** text, std::uint32_t n) {
    if (text == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    auto* buffer = ftk3ds::NewZeroed<char>(static_cast<std::size_t>(n) + 1);
    if (buffer == nullptr) return;
    ReadString3ds(buffer, n + 1);
    if (!FtkErrorStops()) {
        buffer[n] = '\0';
        char* exact = StrDup3ds(buffer);
        if (exact != nullptr) *text = exact;
    }
    FtkFree(buffer);
}

void ReadFixedString3ds(char* buffer, std::uint32_t width) {
    if (buffer == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    ReadString3ds(buffer, width);
    if (FtkErrorStops() || width == 0) return;
    const std::size_t used = std::strlen(buffer) + 1;
    if (used < width) ReadBytes(buffer + used, width - used);
}

void ReadFixedStringAlloc3ds(char** text, std::uint32_t n) {
    if (text == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    auto* buffer = ftk3ds::NewZeroed<char>(static_cast<std::size_t>(n) + 1);
    if (buffer == nullptr) return;
    ReadFixedString3ds(buffer, n + 1);
    if (!FtkErrorStops()) {
        char* exact = StrDup3ds(buffer);
        if (exact != nullptr) *text = exact;
    }
    FtkFree(buffer);
}

void WriteString3ds(const char* text) {
    if (text == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    WriteBytes(text, std::strlen(text) + 1);
}

void WriteFixedString3ds(const char* text, std::uint32_t width) {
    if (text == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    const std::size_t length = std::strlen(text);
    if (!WriteBytes(text, length) && FtkErrorStops()) return;
    for (std::size_t i = length; i < width; ++i) {
        const char zero = '\0';
        if (!WriteBytes(&zero, 1) && FtkErrorStops()) return;
    }
}

void ReadHeader3ds(Chunk3ds* chunk, std::uint32_t* size) {
    if (chunk == nullptr || size == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    // A whole header in the window is taken at once.
    if (const unsigned char* header = TakeCurrentFile3ds(6)) {
        chunk->tag = FromLittleEndian<2>(header);
        *size = FromLittleEndian<4>(header + 2);
        return;
    }
    chunk->tag = ReadWord3ds();
    if (FtkErrorStops()) return;
    *size = ReadDword3ds();
}

void WriteHeader3ds(std::uint32_t tag, std::uint32_t size) {
    WriteWord3ds(static_cast<std::uint16_t>(tag));
    if (FtkErrorStops()) return;
    WriteDword3ds(size);
}

void FinishHeader3ds(std::int64_t start, std::int64_t end) {
    SetFilePosition3ds(start + 2);
    if (FtkErrorStops()) return;
    WriteDword3ds(static_cast<std::uint32_t>(end - start));
    if (FtkErrorStops()) return;
    SetFilePosition3ds(end);
}

namespace {

// Reads the floats one by one, stopping at the first failure.
void ReadFloats(float* const* targets, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        if (!ReadOn(*targets[i])) return;
    }
}

void WriteFloats(const float* const* sources, std::size_t count) {
    for (std::size_t i = 0; i < count; ++i) {
        WriteFloat3ds(*sources[i]);
        if (FtkErrorStops()) return;
    }
}

// The key parameters in the order of their flag bits.
constexpr int kKeyParameterCount = 5;

}  // namespace

void ReadPoint3ds(point3ds* point) {
    if (point == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    *point = {};
    float* const targets[] = {&point->x, &point->y, &point->z};
    ReadFloats(targets, 3);
}

void WritePoint3ds(const point3ds* point) {
    if (point == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    const float* const sources[] = {&point->x, &point->y, &point->z};
    WriteFloats(sources, 3);
}

void ReadTexVert3ds(texvertex3ds* texvert) {
    if (texvert == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    *texvert = {};
    float* const targets[] = {&texvert->u, &texvert->v};
    ReadFloats(targets, 2);
}

void WriteTexVert3ds(const texvertex3ds* texvert) {
    if (texvert == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    const float* const sources[] = {&texvert->u, &texvert->v};
    WriteFloats(sources, 2);
}

void ReadFace3ds(face3ds* face) {
    if (face == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    *face = {0, 1, 2, 0};
    std::uint16_t* const targets[] = {&face->a, &face->b, &face->c, &face->flags};
    for (std::uint16_t* target : targets) {
        if (!ReadOn(*target)) return;
    }
}

void WriteFace3ds(const face3ds* face) {
    if (face == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    for (std::uint16_t value : {face->a, face->b, face->c, face->flags}) {
        WriteWord3ds(value);
        if (FtkErrorStops()) return;
    }
}

void ReadTrackHeader3ds(TrackHeader3ds* header) {
    if (header == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    *header = {0, 0, 0, 1};
    if (!ReadOn(header->flags) || !ReadOn(header->reserved1) || !ReadOn(header->reserved2)) return;
    ReadOn(header->keycount);
}

void WriteTrackHeader3ds(const TrackHeader3ds* header) {
    if (header == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    WriteWord3ds(header->flags);
    for (std::uint32_t value : {header->reserved1, header->reserved2, header->keycount}) {
        if (FtkErrorStops()) return;
        WriteDword3ds(value);
    }
}

void ReadKeyHeader3ds(keyheader3ds* key) {
    if (key == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    *key = {};
    if (!ReadOn(key->frame) || !ReadOn(key->splineflags)) return;
    float* const parameters[kKeyParameterCount] = {&key->tension, &key->continuity, &key->bias, &key->easeto,
                                                   &key->easefrom};
    for (int bit = 0; bit < kKeyParameterCount; ++bit) {
        if ((key->splineflags & (1u << bit)) != 0 && !ReadOn(*parameters[bit])) return;
    }
}

void WriteKeyHeader3ds(const keyheader3ds* key) {
    if (key == nullptr) {
        PushError3ds(ERR_INVALID_ARG);
        return;
    }
    WriteDword3ds(key->frame);
    if (FtkErrorStops()) return;
    WriteWord3ds(key->splineflags);
    if (FtkErrorStops()) return;
    const float* const parameters[kKeyParameterCount] = {&key->tension, &key->continuity, &key->bias, &key->easeto,
                                                         &key->easefrom};
    for (int bit = 0; bit < kKeyParameterCount; ++bit) {
        if ((key->splineflags & (1u << bit)) == 0) continue;
        WriteFloat3ds(*parameters[bit]);
        if (FtkErrorStops()) return;
    }
}

}  // namespace fbxsdk_2006_11_1
