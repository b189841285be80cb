#include <fbxfilesdk/fbx/FieldAsciiParser.h>
#include <fbxfilesdk/fbx/KFbx.h>

#include "FieldFileModes.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {
namespace {

void PutLittleEndian(std::string& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>(value >> (8 * i)));
}

// One binary record at file offset `at`, with the given encoded values and
// already encoded children (whose offsets must follow from `at`).
std::string Record(std::uint64_t at, const std::string& name, const std::string& values, const std::string& children,
                   bool block, std::uint64_t endOverride = 0, std::uint32_t countOverride = 0) {
    std::string record;
    const std::uint64_t end = at + 22 + name.size() + values.size() + children.size();
    PutLittleEndian(record, endOverride != 0 ? endOverride : end, 8);
    PutLittleEndian(record, countOverride, 4);
    PutLittleEndian(record, values.size(), 8);
    record.push_back(block ? 1 : 0);
    record.push_back(static_cast<char>(name.size()));
    return record + name + values + children;
}

std::string IntValue(std::int32_t value) {
    std::string bytes("I");
    PutLittleEndian(bytes, static_cast<std::uint32_t>(value), 4);
    return bytes;
}

// Everything inside one top-level block, so that any cut is inside a record.
void WriteNested(KFbx& file) {
    file.FieldWriteBegin("Root");
    file.FieldWriteS("root");
    file.FieldWriteBlockBegin();
    for (int i = 0; i < 6; ++i) {
        file.FieldWriteBegin("Child");
        file.FieldWriteI(i);
        file.FieldWriteD(i * 0.5);
        file.FieldWriteS("text, \"quoted\"");
        file.FieldWriteBlockBegin();
        file.FieldWriteBegin("Leaf");
        file.FieldWriteL(i);
        file.FieldWriteEnd();
        file.FieldWriteBlockEnd();
        file.FieldWriteEnd();
    }
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
}

bool HoldsWholeTree(KFbx& file) {
    if (!file.FieldReadBegin("Root") || !file.FieldReadBlockBegin()) return false;
    int children = 0;
    while (file.FieldReadBegin("Child")) ++children;
    return children == 6;
}

TEST(FieldFileDamageTest, EveryFlippedByteFailsTheCrcCheck) {
    for (FieldFileMode mode : {FieldFileMode::eBinary, FieldFileMode::eEncrypted}) {
        FieldFileRoundTrip roundTrip(mode);
        ASSERT_TRUE(roundTrip.Write(WriteNested));
        const std::string bytes = roundTrip.Bytes();
        for (std::size_t i = 0; i < bytes.size(); ++i) {
            std::string damaged = bytes;
            damaged[i] = static_cast<char>(damaged[i] ^ 0x20);
            const std::string path = roundTrip.Folder().Write("damaged.fbx", damaged);
            KFbx file;
            EXPECT_FALSE(file.FileOpen(path.c_str())) << ModeName(mode) << " byte " << i;
            // A flip in the identification text makes the file look like ascii.
            EXPECT_EQ(file.GetLastErrorCode(), i < 16 ? KFbx::eFileCorrupted : KFbx::eCrcCheckFailed) << i;
            EXPECT_FALSE(file.IsOpen());
        }
    }
}

TEST(FieldFileDamageTest, TruncatedFilesFailAtEveryLength) {
    for (FieldFileMode mode : {FieldFileMode::eBinary, FieldFileMode::eAscii, FieldFileMode::eEncrypted,
                               FieldFileMode::eMemoryBinary, FieldFileMode::eMemoryAscii}) {
        FieldFileRoundTrip roundTrip(mode);
        ASSERT_TRUE(roundTrip.Write(WriteNested));
        const std::string bytes = roundTrip.Bytes();
        const std::size_t lastClose = bytes.rfind('}');
        for (std::size_t length = 0; length < bytes.size(); ++length) {
            KFbx file;
            bool opened = false;
            if (IsMemoryMode(mode)) {
                opened = file.FileOpen(bytes.data(), static_cast<int>(length), mode == FieldFileMode::eMemoryBinary);
            } else {
                opened = file.FileOpen(roundTrip.Folder().Write("cut.fbx", bytes.substr(0, length)).c_str());
            }
            if (!opened) {
                EXPECT_GE(file.GetLastErrorCode(), 0);
                continue;
            }
            // Ascii records end with their line, so a cut may leave whole
            // records; but never the whole tree, unless only the last line end
            // is missing. A binary cut opens only as an empty record list.
            EXPECT_TRUE(!IsBinaryMode(mode) || length == 0) << ModeName(mode) << " " << length;
            EXPECT_EQ(HoldsWholeTree(file), length > lastClose) << ModeName(mode) << " " << length;
        }
    }
}

TEST(FieldFileDamageTest, BinaryOffsetsAndCountsArePoliced) {
    const std::string leaf = Record(0, "Leaf", IntValue(1), "", false, 0, 1);
    struct Case {
        const char* what;
        std::string bytes;
    };
    std::string hugeArray("d");
    PutLittleEndian(hugeArray, 1u << 27, 4);
    hugeArray += std::string(16, '\0');
    std::string longString("S");
    PutLittleEndian(longString, 1000, 4);
    longString += "short";
    const std::vector<Case> cases = {
        {"end past the file", Record(0, "Leaf", IntValue(1), "", false, std::uint64_t(1) << 40, 1)},
        {"end before the record", Record(0, "Leaf", IntValue(1), "", false, 3, 1)},
        {"end inside the record header", Record(0, "Leaf", IntValue(1), "", false, 10, 1)},
        {"array count past the file", Record(0, "Big", hugeArray, "", false, 0, 1u << 27)},
        {"string past its record", Record(0, "Text", longString, "", false, 0, 1)},
        {"wrong value count", Record(0, "Leaf", IntValue(1), "", false, 0, 2)},
        {"unknown value type", Record(0, "Odd", "X1234", "", false, 0, 1)},
        {"child past its parent", Record(0, "Parent", "", Record(28, "Leaf", IntValue(1), "", false, 4096, 1), true)},
        {"header cut short", leaf.substr(0, 10)},
        {"empty name", Record(0, "", IntValue(1), "", false, 0, 1)},
    };
    for (const Case& c : cases) {
        KFbx file;
        EXPECT_FALSE(file.FileOpen(c.bytes.data(), static_cast<int>(c.bytes.size()), true)) << c.what;
        EXPECT_EQ(file.GetLastErrorCode(), KFbx::eFileCorrupted) << c.what;
        EXPECT_NE(std::string(file.GetLastErrorText()).find("offset"), std::string::npos) << file.GetLastErrorText();
    }
    KFbx file;
    ASSERT_TRUE(file.FileOpen(leaf.data(), static_cast<int>(leaf.size()), true)) << file.GetLastErrorText();
    EXPECT_EQ(file.FieldReadIDefault("Leaf", 0), 1);
}

// A damaged file names its first fault in the order of the file, however
// far the faults after it lie.
TEST(FieldFileDamageTest, TheFirstFaultOfTheFileIsTheOneNamed) {
    // A child with a wrong value count, then a sibling of its parent that
    // ends past the file and one whose header is cut short.
    const std::string child = Record(28, "Child", IntValue(1), "", false, 0, 2);
    const std::string parent = Record(0, "Parent", "", child, true);
    const std::string next = Record(parent.size(), "Next", IntValue(1), "", false, std::uint64_t(1) << 40, 1);
    for (const std::string& bytes : {parent + next, parent + next.substr(0, 10)}) {
        KFbx file;
        EXPECT_FALSE(file.FileOpen(bytes.data(), static_cast<int>(bytes.size()), true));
        EXPECT_STREQ(file.GetLastErrorText(), "File is corrupted (offset 55: malformed values)");
    }
    // Whole records after a faulty one do not change the fault named.
    const std::string bad = Record(0, "Bad", IntValue(1), "", false, 3, 1);
    const std::string good = Record(bad.size(), "Good", "", Record(bad.size() + 26, "Leaf", IntValue(1), "", false, 0, 1), true);
    KFbx file;
    const std::string bytes = bad + good;
    EXPECT_FALSE(file.FileOpen(bytes.data(), static_cast<int>(bytes.size()), true));
    EXPECT_STREQ(file.GetLastErrorText(), "File is corrupted (offset 0: record end lies outside its block)");
}

// A nest of depth records, each a block holding the next: one byte names.
std::string BinaryNest(int depth) {
    std::string binary;
    const std::uint64_t total = std::uint64_t(depth) * 23;
    for (int i = 0; i < depth; ++i) {
        PutLittleEndian(binary, total, 8);
        PutLittleEndian(binary, 0, 4);
        PutLittleEndian(binary, 0, 8);
        binary.push_back(1);
        binary.push_back(1);
        binary.push_back('a');
    }
    return binary;
}

TEST(FieldFileDamageTest, BinaryNestingStopsAtTheLimitExactly) {
    const std::string deepest = BinaryNest(255);
    KFbx file;
    ASSERT_TRUE(file.FileOpen(deepest.data(), static_cast<int>(deepest.size()), true)) << file.GetLastErrorText();
    int depth = 0;
    while (file.FieldReadBegin("a") && file.FieldReadBlockBegin()) ++depth;
    EXPECT_EQ(depth, 255);
    file.FileClose();
    const std::string tooDeep = BinaryNest(256);
    EXPECT_FALSE(file.FileOpen(tooDeep.data(), static_cast<int>(tooDeep.size()), true));
    EXPECT_STREQ(file.GetLastErrorText(), "File is corrupted (offset 5865: blocks are nested too deeply)");
}

TEST(FieldFileDamageTest, DeepNestingIsRefusedEverywhere) {
    constexpr int kDepth = 100000;
    std::string text;
    for (int i = 0; i < kDepth; ++i) text += "a: {\n";
    for (int i = 0; i < kDepth; ++i) text += "}\n";
    KFbx file;
    EXPECT_FALSE(file.FileOpen(text.data(), static_cast<int>(text.size()), false));
    EXPECT_EQ(file.GetLastErrorCode(), KFbx::eFileCorrupted);
    EXPECT_NE(std::string(file.GetLastErrorText()).find("nested too deeply"), std::string::npos);

    // The same in binary: each record's end is the end of the whole nest.
    const std::string binary = BinaryNest(kDepth);
    EXPECT_FALSE(file.FileOpen(binary.data(), static_cast<int>(binary.size()), true));
    EXPECT_NE(std::string(file.GetLastErrorText()).find("nested too deeply"), std::string::npos);

    // A writer is stopped before it makes a file no reader takes.
    EXPECT_TRUE(file.FileCreate(nullptr, 0, true));
    for (int i = 0; i < kDepth; ++i) {
        file.FieldWriteBegin("a");
        file.FieldWriteBlockBegin();
    }
    EXPECT_EQ(file.GetLastErrorCode(), KFbx::eInvalidFieldOperation);
    void* buffer = nullptr;
    int size = 0;
    EXPECT_FALSE(file.FileClose(&buffer, &size));
    SdkFree(buffer);
}

TEST(FieldFileDamageTest, AsciiFaultsNameTheirLine) {
    struct Case {
        std::string text;
        std::string message;
        // More text after it could mend the fault.
        bool mendable;
    };
    const std::vector<Case> cases = {
        {"A: 1\nB: \"no closing quote\nC: 2\n", "line 2: string has no closing quote", true},
        {"A: 1\n\nB: 2 {\nC: 3\n", "line 3: block is never closed: the file is cut short", true},
        {"A: 1\n}\n", "line 2: '}' closes no block", false},
        {"A: 1,\n\n", "line 3: a value must follow ','", true},
        {"A 1\n", "line 1: ':' must follow a field name", false},
        {"A: 1 2\n", "line 1: unexpected text after the values", false},
        {std::string("A: 1\nB: \0\n", 10), "line 2: unexpected character", false},
        {"A: \"x\\", "line 1: string has no closing quote", true},
        {"A:\n\t1,\"2\n3\"\n;c\n,3\nB: {\n}\n}\n", "line 8: '}' closes no block", false},
    };
    for (const auto& [text, message, mendable] : cases) {
        KFbx file;
        EXPECT_FALSE(file.FileOpen(text.data(), static_cast<int>(text.size()), false)) << message;
        EXPECT_NE(std::string(file.GetLastErrorText()).find(message), std::string::npos)
            << file.GetLastErrorText() << " / " << message;
        // A beginning of the text refuses it only as the whole text does.
        for (std::size_t size = 0; size <= text.size(); ++size) {
            std::string error;
            if (!AsciiRecordsMayFollow(text.data(), size, error)) {
                EXPECT_EQ(error, message) << size;
            }
        }
        std::string error;
        EXPECT_EQ(AsciiRecordsMayFollow(text.data(), text.size(), error), mendable) << message;
    }
    // A file needs its header block first.
    ScratchFolder folder;
    KFbx file;
    EXPECT_FALSE(file.FileOpen(folder.Write("nohead.fbx", "A: 1\nFBXHeaderExtension:  {\n}\n").c_str()));
    EXPECT_EQ(file.GetLastErrorCode(), KFbx::eFileCorrupted);
}

TEST(FieldFilePasswordTest, WrongPasswordIsToldFromDamage) {
    for (bool encrypted : {true, false}) {
        ScratchFolder folder;
        const std::string path = folder / "protected.fbx";
        KFbx file;
        ASSERT_TRUE(file.FileCreate(path.c_str(), true, encrypted, nullptr));
        file.WriteStringField("Secret", "contents");
        EXPECT_TRUE(file.WritePasswordRecord("right"));
        EXPECT_FALSE(file.WritePasswordRecord("again"));  // once per file
        ASSERT_TRUE(file.FileClose());
        EXPECT_EQ(folder.Read("protected.fbx").find("contents") == std::string::npos, encrypted);

        EXPECT_FALSE(file.FileOpen(path.c_str(), "wrong"));
        EXPECT_EQ(file.GetLastErrorCode(), KFbx::eWrongPassword);
        EXPECT_FALSE(file.FileOpen(path.c_str()));
        EXPECT_EQ(file.GetLastErrorCode(), KFbx::eWrongPassword);
        ASSERT_TRUE(file.FileOpen(path.c_str(), "right")) << file.GetLastErrorText();
        EXPECT_EQ(file.IsEncrypted(), encrypted);
        EXPECT_STREQ(file.FieldReadSDefault("Secret", "").Buffer(), "contents");
        EXPECT_TRUE(file.FileClose());

        // A file kept locked opens as it was read, whatever its name holds now.
        EXPECT_FALSE(file.FileOpen(path.c_str()));
        EXPECT_TRUE(file.IsLocked());
        EXPECT_FALSE(file.IsOpen());
        folder.Write("protected.fbx", "FBXHeaderExtension:  {\n}\nSecret: \"other\"\n");
        EXPECT_FALSE(file.Unlock("wrong"));
        EXPECT_EQ(file.GetLastErrorCode(), KFbx::eWrongPassword);
        ASSERT_TRUE(file.Unlock("right")) << file.GetLastErrorText();
        EXPECT_FALSE(file.IsLocked());
        EXPECT_STREQ(file.FieldReadSDefault("Secret", "").Buffer(), "contents");
        EXPECT_TRUE(file.FileClose());
        EXPECT_FALSE(file.Unlock("right"));
        EXPECT_EQ(file.GetLastErrorCode(), KFbx::eFileNotOpened);
    }
}

TEST(FieldFilePasswordTest, AsciiFilesAndMemoryHaveNoPasswordRecord) {
    ScratchFolder folder;
    KFbx file;
    ASSERT_TRUE(file.FileCreate((folder / "a.fbx").c_str(), false, false, nullptr));
    EXPECT_FALSE(file.WritePasswordRecord("pw"));
    EXPECT_TRUE(file.FileClose());
    EXPECT_TRUE(file.FileOpen((folder / "a.fbx").c_str()));
}

TEST(FieldFileStateTest, MissingFolderClosedFileAndMisuseGiveTheirErrors) {
    ScratchFolder folder;
    KFbx file;
    EXPECT_FALSE(file.FileCreate((folder / "no/such/folder/x.fbx").c_str(), true, false, nullptr));
    EXPECT_EQ(file.GetLastErrorCode(), KFbx::eFileNotCreated);
    EXPECT_STREQ(file.GetLastErrorText(),
                 ("File not created (" + (folder / "no/such/folder/x.fbx") + ": " + std::strerror(ENOENT) + ")").c_str());
    EXPECT_FALSE(file.FileCreate((folder / "no/such/folder/x.fbx").c_str(), false, false, nullptr));
    EXPECT_EQ(file.GetLastErrorCode(), KFbx::eFileNotCreated);

    EXPECT_FALSE(file.FileOpen((folder / "missing.fbx").c_str()));
    EXPECT_EQ(file.GetLastErrorCode(), KFbx::eFileNotOpened);

    EXPECT_FALSE(file.FileClose());
    EXPECT_EQ(file.GetLastErrorCode(), KFbx::eFileNotOpened);
    EXPECT_STREQ(file.GetLastErrorText(), "File not opened");
    file.FieldWriteBegin("A");
    EXPECT_EQ(file.GetLastErrorCode(), KFbx::eFileNotOpened);
    EXPECT_FALSE(file.FieldReadBegin("A"));
    EXPECT_FALSE(file.CloseFileIdentity());
    EXPECT_FALSE(file.ProjectSectionAppend(0));

    ASSERT_TRUE(file.FileCreate((folder / "x.fbx").c_str(), true, false, nullptr));
    EXPECT_EQ(file.GetLastErrorCode(), -1);
    file.FieldWriteI(1);  // no open field
    EXPECT_EQ(file.GetLastErrorCode(), KFbx::eInvalidFieldOperation);
    EXPECT_FALSE(file.FieldReadBegin("A"));  // not reading
    file.FieldWriteBlockEnd();
    file.FieldWriteBegin("bad name");
    EXPECT_FALSE(file.FileClose());  // the file is not what the caller meant
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
