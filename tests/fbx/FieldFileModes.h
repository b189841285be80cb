// The ways a field file can be written and read back, for tests that must
// hold in every one of them.
#ifndef TESTS_FBX_FIELDFILEMODES_H
#define TESTS_FBX_FIELDFILEMODES_H

#include <fbxfilesdk/fbx/KFbx.h>

#include <fbxfilesdk/core/SdkAlloc.h>

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace fbxsdk_2006_11_1 {

enum class FieldFileMode { eBinary, eAscii, eEncrypted, eEncryptedWithPassword, eMemoryBinary, eMemoryAscii };

inline const char* ModeName(FieldFileMode mode) {
    switch (mode) {
        case FieldFileMode::eBinary: return "Binary";
        case FieldFileMode::eAscii: return "Ascii";
        case FieldFileMode::eEncrypted: return "Encrypted";
        case FieldFileMode::eEncryptedWithPassword: return "EncryptedWithPassword";
        case FieldFileMode::eMemoryBinary: return "MemoryBinary";
        default: return "MemoryAscii";
    }
}

inline bool IsMemoryMode(FieldFileMode mode) {
    return mode == FieldFileMode::eMemoryBinary || mode == FieldFileMode::eMemoryAscii;
}

inline bool IsBinaryMode(FieldFileMode mode) {
    return mode != FieldFileMode::eAscii && mode != FieldFileMode::eMemoryAscii;
}

constexpr char kTestPassword[] = "open sesame";

// Writes a file in the mode with the given body, then opens it for reading.
class FieldFileRoundTrip {
public:
    explicit FieldFileRoundTrip(FieldFileMode mode) : mMode(mode), mPath(mFolder / "file.fbx") {}

    // False (with a test failure) when writing did not succeed.
    bool Write(const std::function<void(KFbx&)>& body, const KFbxFileHeaderInfo* info = nullptr) {
        KFbx file;
        if (IsMemoryMode(mMode)) {
            EXPECT_TRUE(file.FileCreate(nullptr, 0, mMode == FieldFileMode::eMemoryBinary));
            body(file);
            void* buffer = nullptr;
            int size = 0;
            const bool closed = file.FileClose(&buffer, &size);
            EXPECT_TRUE(closed) << file.GetLastErrorText();
            mMemory.assign(static_cast<const char*>(buffer), static_cast<std::size_t>(size));
            SdkFree(buffer);
            return closed;
        }
        const bool encrypted =
            mMode == FieldFileMode::eEncrypted || mMode == FieldFileMode::eEncryptedWithPassword;
        EXPECT_TRUE(file.FileCreate(mPath.c_str(), mMode != FieldFileMode::eAscii, encrypted, info))
            << file.GetLastErrorText();
        body(file);
        if (mMode == FieldFileMode::eEncryptedWithPassword) {
            EXPECT_TRUE(file.WritePasswordRecord(kTestPassword));
        }
        const bool closed = file.FileClose();
        EXPECT_TRUE(closed) << file.GetLastErrorText();
        EXPECT_EQ(file.GetLastErrorCode(), -1) << file.GetLastErrorText();
        return closed;
    }

    bool Open(KFbx& file) {
        const bool opened = IsMemoryMode(mMode)
                                ? file.FileOpen(mMemory.data(), static_cast<int>(mMemory.size()),
                                                mMode == FieldFileMode::eMemoryBinary)
                                : file.FileOpen(mPath.c_str(), kTestPassword);
        EXPECT_TRUE(opened) << file.GetLastErrorText();
        return opened;
    }

    // The bytes written: the file, or the memory buffer.
    std::string Bytes() const { return IsMemoryMode(mMode) ? mMemory : mFolder.Read("file.fbx"); }
    const std::string& Path() const { return mPath; }
    const ScratchFolder& Folder() const { return mFolder; }

private:
    FieldFileMode mMode;
    ScratchFolder mFolder;
    std::string mPath;
    std::string mMemory;
};

}  // namespace fbxsdk_2006_11_1

#endif
