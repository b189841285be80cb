#include <fbxfilesdk/fbx/FieldFileHeader.h>

#include <fbxfilesdk/fbx/FieldBytes.h>
#include <fbxfilesdk/fbx/FieldOutput.h>

#include <bit>
#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

// Carriage return, line feed and end-of-file bytes catch text-mode damage.
constexpr unsigned char kMagic[FieldFileHeader::kMagicSize] = {'F', 'i', 'e', 'l', 'd', 'T', 'r', 'e',
                                                               'e', '-', 'B', '\r', '\n', 0x1A, '\n', 0};

std::int32_t* TimeStampFields(KFbxDateTime& t, int index) {
    std::int32_t* fields[7] = {&t.mYear, &t.mMonth, &t.mDay, &t.mHour, &t.mMinute, &t.mSecond, &t.mMillisecond};
    return fields[index];
}

}  // namespace

bool FieldFileHeader::HasMagic(const unsigned char* bytes, std::size_t size) {
    return size >= kMagicSize && std::memcmp(bytes, kMagic, kMagicSize) == 0;
}

void FieldFileHeader::Write(FieldOutput& output) const {
    output.Append(kMagic, kMagicSize);
    output.AppendLittleEndian(kFormatVersion, 4);
    output.AppendLittleEndian(static_cast<std::uint32_t>(info.mFileVersion), 4);
    output.AppendLittleEndian(flags, 4);
    KFbxDateTime stamp = info.mCreationTimeStamp;
    for (int i = 0; i < 7; ++i) {
        const std::int32_t value = (flags & eTimeStamp) != 0 ? *TimeStampFields(stamp, i) : 0;
        output.AppendLittleEndian(static_cast<std::uint32_t>(value), 4);
    }
    const bool resolution = (flags & eResolution) != 0;
    output.AppendLittleEndian(std::bit_cast<std::uint64_t>(resolution ? info.mResolutionWidth : 0.0), 8);
    output.AppendLittleEndian(std::bit_cast<std::uint64_t>(resolution ? info.mResolutionHeight : 0.0), 8);
    output.Append(salt, sizeof salt);
    output.AppendLittleEndian(iterations, 4);
    output.Append(check, sizeof check);
    output.AppendLittleEndian(static_cast<std::uint32_t>(info.mCreator.GetLen()), 4);
    output.Append(info.mCreator.Buffer(), static_cast<std::size_t>(info.mCreator.GetLen()));
}

bool FieldFileHeader::Read(const unsigned char* bytes, std::size_t size, std::string& error) {
    if (size < kFixedSize || !HasMagic(bytes, size)) {
        error = "the file header is incomplete";
        return false;
    }
    if (LoadU32(bytes + 16) != kFormatVersion) {
        error = "unknown header layout " + std::to_string(LoadU32(bytes + 16));
        return false;
    }
    info.Reset();
    info.mFileVersion = static_cast<std::int32_t>(LoadU32(bytes + 20));
    flags = LoadU32(bytes + kFlagsOffset);
    info.mCreationTimeStampPresent = (flags & eTimeStamp) != 0;
    for (int i = 0; i < 7; ++i) {
        *TimeStampFields(info.mCreationTimeStamp, i) = static_cast<std::int32_t>(LoadU32(bytes + 28 + 4 * i));
    }
    info.mResolutionPresent = (flags & eResolution) != 0;
    info.mResolutionWidth = LoadF64(bytes + 56);
    info.mResolutionHeight = LoadF64(bytes + 64);
    std::memcpy(salt, bytes + 72, sizeof salt);
    iterations = LoadU32(bytes + 88);
    std::memcpy(check, bytes + kCheckOffset, sizeof check);
    const std::uint32_t creatorLength = LoadU32(bytes + 124);
    if ((flags & ~std::uint32_t(eEncrypted | eTimeStamp | eResolution | ePassword)) != 0 ||
        iterations == 0 || iterations > kMaxPasswordIterations || creatorLength > kMaxCreatorLength ||
        size - kFixedSize < creatorLength) {
        error = "the file header is damaged";
        return false;
    }
    info.mCreator = KString(reinterpret_cast<const char*>(bytes + kFixedSize), static_cast<int>(creatorLength));
    return true;
}

}  // namespace fbxsdk_2006_11_1
