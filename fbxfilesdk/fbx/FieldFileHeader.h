// The plain header at the start of a binary field file (little-endian):
//   0   16 bytes  identification text
//   16  u32       format version of this layout (1)
//   20  i32       file version
//   24  u32       flags (FieldFileHeader::EFlag)
//   28  7 x i32   creation time stamp: year, month, day, hour, minute, second, millisecond
//   56  2 x f64   camera resolution: width, height
//   72  16 bytes  password salt
//   88  u32       password derivation rounds
//   92  32 bytes  password check (zero without a password)
//   124 u32       creator length, then the creator's bytes
// The sections follow, enciphered when the file is.
#ifndef FBXFILESDK_FBX_FIELDFILEHEADER_H
#define FBXFILESDK_FBX_FIELDFILEHEADER_H

#include <fbxfilesdk/fbx/FieldPassword.h>
#include <fbxfilesdk/fbx/KFbxFileHeaderInfo.h>

#include <cstddef>
#include <cstdint>
#include <string>

namespace fbxsdk_2006_11_1 {

class FieldOutput;

struct FieldFileHeader {
    enum EFlag : std::uint32_t { eEncrypted = 1, eTimeStamp = 2, eResolution = 4, ePassword = 8 };

    static constexpr std::size_t kMagicSize = 16;
    static constexpr std::uint32_t kFormatVersion = 1;
    static constexpr std::size_t kFlagsOffset = 24;
    static constexpr std::size_t kSaltOffset = 72;
    static constexpr std::size_t kCheckOffset = 92;
    static constexpr std::size_t kFixedSize = 128;
    static constexpr std::uint32_t kMaxCreatorLength = 4096;

    // Whether bytes start with the identification text.
    static bool HasMagic(const unsigned char* bytes, std::size_t size);

    void Write(FieldOutput& output) const;
    // Reads from the first size bytes of a file; false with error when they
    // hold no whole, sound header.
    bool Read(const unsigned char* bytes, std::size_t size, std::string& error);
    // The header's length in the file.
    std::size_t Size() const { return kFixedSize + static_cast<std::size_t>(info.mCreator.GetLen()); }

    KFbxFileHeaderInfo info;
    std::uint32_t flags = 0;
    unsigned char salt[kPasswordSaltSize] = {};
    std::uint32_t iterations = kPasswordIterations;
    unsigned char check[kPasswordCheckSize] = {};
};

}  // namespace fbxsdk_2006_11_1

#endif
