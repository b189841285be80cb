#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbx.h>

#include "FieldFileModes.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {
namespace {

using Limits64 = std::numeric_limits<std::int64_t>;

const std::vector<double> kDoubles = {0.0, -0.0, 0.1, -2.5, 1e308, std::numeric_limits<double>::max(),
                                      std::numeric_limits<double>::denorm_min(), -4.9406564584124654e-320,
                                      std::numeric_limits<double>::infinity(),
                                      -std::numeric_limits<double>::infinity(), 5.0, 1.0 / 3.0};
const std::vector<float> kFloats = {1.5f, -0.0f, 0.1f, std::numeric_limits<float>::denorm_min(),
                                    std::numeric_limits<float>::infinity(), 3.4028235e38f};
const std::string kAwkwardText("quote \" backslash \\ newline \n tab \t nul \0 end, {x}; \xC3\xA9", 48);

std::string RawBytes() {
    std::string bytes;
    for (int i = 0; i < 256; ++i) bytes.push_back(static_cast<char>(i));
    return bytes + "x";  // not a multiple of three, to exercise base64 padding
}

void WriteEveryType(KFbx& file) {
    file.FieldWriteBegin("Values");
    for (char c : {'a', 'Z', '7', '\0', ',', '"', ' ', '\n'}) file.FieldWriteC(c);
    for (int i : {0, -1, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) file.FieldWriteI(i);
    for (std::int64_t l : {Limits64::min(), Limits64::max(), std::int64_t(1) << 40}) file.FieldWriteL(l);
    for (float f : kFloats) file.FieldWriteF(f);
    for (double d : kDoubles) file.FieldWriteD(d);
    file.FieldWriteS("plain");
    file.FieldWriteS(KString(kAwkwardText.data(), static_cast<int>(kAwkwardText.size())));
    file.FieldWriteS("");
    file.FieldWriteT(KTime(123456789));
    const std::string raw = RawBytes();
    file.FieldWriteR(raw.data(), static_cast<int>(raw.size()));
    file.FieldWriteD(std::numeric_limits<double>::quiet_NaN());
    file.FieldWriteD(-std::numeric_limits<double>::quiet_NaN());
    file.FieldWriteEnd();
}

void ExpectSameBits(double expected, double actual) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(expected), std::bit_cast<std::uint64_t>(actual)) << expected << " " << actual;
}

void ExpectEveryType(KFbx& file) {
    ASSERT_TRUE(file.FieldReadBegin("Values"));
    EXPECT_EQ(file.FieldGetRemainingValueCount(), 8 + 4 + 3 + 6 + 12 + 3 + 1 + 1 + 2);
    for (char c : {'a', 'Z', '7', '\0', ',', '"', ' ', '\n'}) EXPECT_EQ(file.FieldReadC(), c);
    for (int i : {0, -1, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()}) {
        EXPECT_EQ(file.FieldReadI(), i);
    }
    for (std::int64_t l : {Limits64::min(), Limits64::max(), std::int64_t(1) << 40}) EXPECT_EQ(file.FieldReadL(), l);
    for (float f : kFloats) EXPECT_EQ(std::bit_cast<std::uint32_t>(file.FieldReadF()), std::bit_cast<std::uint32_t>(f));
    for (double d : kDoubles) ExpectSameBits(d, file.FieldReadD());
    EXPECT_STREQ(file.FieldReadS().Buffer(), "plain");
    const KString awkward = file.FieldReadS();
    EXPECT_EQ(std::string(awkward.Buffer(), static_cast<std::size_t>(awkward.GetLen())), kAwkwardText);
    EXPECT_EQ(file.FieldReadS().GetLen(), 0);
    EXPECT_EQ(file.FieldReadT(), KTime(123456789));
    int size = -1;
    const void* raw = file.FieldReadR(&size);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(std::string(static_cast<const char*>(raw), static_cast<std::size_t>(size)), RawBytes());
    ExpectSameBits(std::numeric_limits<double>::quiet_NaN(), file.FieldReadD());
    ExpectSameBits(-std::numeric_limits<double>::quiet_NaN(), file.FieldReadD());
    EXPECT_EQ(file.FieldGetRemainingValueCount(), 0);
    file.FieldReadEnd();
    EXPECT_EQ(file.GetLastErrorCode(), -1) << file.GetLastErrorText();
}

// Three "Item" records among others, each with a block, and a tree below.
void WriteTree(KFbx& file) {
    file.WriteComment("records in the order a writer emits them");
    for (int i = 1; i <= 3; ++i) {
        file.FieldWriteBegin("Item");
        file.FieldWriteI(i);
        file.FieldWriteBlockBegin();
        file.WriteStringField("Label", ("item " + std::to_string(i)).c_str());
        file.FieldWriteBegin("Empty");
        file.FieldWriteEnd();
        file.FieldWriteBlockEnd();
        file.FieldWriteEnd();
        file.FieldWriteBegin("Other");
        file.FieldWriteI(100 + i);
        file.FieldWriteEnd();
    }
    file.FieldWriteBegin("Outer");
    file.FieldWriteBlockBegin();
    file.FieldWriteBegin("Inner");
    file.FieldWriteS("inner");
    file.FieldWriteBlockBegin();
    file.FieldWriteBegin("Leaf");
    file.FieldWriteC('L');
    file.FieldWriteEnd();
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
    file.FieldWriteBegin("TimeWarpID");
    file.FieldWriteI(7);
    file.FieldWriteEnd();
}

class FieldFileRoundTripTest : public ::testing::TestWithParam<FieldFileMode> {};

TEST_P(FieldFileRoundTripTest, EveryValueTypeComesBackBitExact) {
    FieldFileRoundTrip roundTrip(GetParam());
    ASSERT_TRUE(roundTrip.Write(WriteEveryType));
    KFbx file;
    ASSERT_TRUE(roundTrip.Open(file));
    EXPECT_EQ(file.IsBinary(), IsBinaryMode(GetParam()));
    ExpectEveryType(file);
    EXPECT_TRUE(file.FileClose());
}

TEST_P(FieldFileRoundTripTest, FieldsAreFoundByNameInAnyOrderAndRepeatedNamesInTurn) {
    FieldFileRoundTrip roundTrip(GetParam());
    ASSERT_TRUE(roundTrip.Write(WriteTree));
    KFbx file;
    ASSERT_TRUE(roundTrip.Open(file));

    // Written last, read first.
    EXPECT_EQ(file.FieldReadIDefault("TimeWarpID", -1), 7);
    EXPECT_EQ(file.FieldReadIDefault("TimeWarpID", -1), -1);  // reached already
    EXPECT_EQ(file.FieldReadIDefault("Missing", 42), 42);
    EXPECT_EQ(file.FieldReadCDefault("Missing", '0'), '0');
    EXPECT_STREQ(file.FieldReadSDefault("Missing", "none").Buffer(), "none");

    for (int i = 1; i <= 3; ++i) {
        ASSERT_TRUE(file.FieldReadBegin("Item")) << i;
        EXPECT_EQ(file.FieldReadI(), i);
        ASSERT_TRUE(file.FieldReadBlockBegin());
        EXPECT_TRUE(file.FieldReadBegin("Empty"));
        EXPECT_EQ(file.FieldGetRemainingValueCount(), 0);
        EXPECT_FALSE(file.FieldReadBlockBegin());
        file.FieldReadEnd();
        EXPECT_STREQ(file.FieldReadSDefault("Label", "").Buffer(), ("item " + std::to_string(i)).c_str());
        file.FieldReadBlockEnd();
        file.FieldReadEnd();
    }
    EXPECT_FALSE(file.FieldReadBegin("Item"));
    // "Other" is reached on its own track, after all the "Item" records.
    EXPECT_EQ(file.FieldReadIDefault("Other", 0), 101);

    // A block that is not entered is simply passed over.
    ASSERT_TRUE(file.FieldReadBegin("Outer"));
    ASSERT_TRUE(file.FieldReadBlockBegin());
    ASSERT_TRUE(file.FieldReadBegin("Inner"));
    EXPECT_STREQ(file.FieldReadS().Buffer(), "inner");
    ASSERT_TRUE(file.FieldReadBlockBegin());
    EXPECT_EQ(file.FieldReadCDefault("Leaf", '?'), 'L');
    file.FieldReadBlockEnd();
    file.FieldReadEnd();
    file.FieldReadBlockEnd();
    file.FieldReadEnd();
    EXPECT_EQ(file.GetLastErrorCode(), -1) << file.GetLastErrorText();
}

TEST_P(FieldFileRoundTripTest, LargeArraysAndSingleValuesMixInOneField) {
    std::vector<double> doubles(100000);
    std::vector<int> ints(70001);
    for (std::size_t i = 0; i < doubles.size(); ++i) doubles[i] = std::sin(double(i)) * 1e3;
    for (std::size_t i = 0; i < ints.size(); ++i) ints[i] = static_cast<int>(i * 2654435761u);
    FieldFileRoundTrip roundTrip(GetParam());
    ASSERT_TRUE(roundTrip.Write([&](KFbx& file) {
        file.FieldWriteBegin("Vertices");
        file.FieldWriteD(doubles[0]);  // one by one, then as an array: one list
        file.FieldWriteD(doubles[1]);
        file.FieldWriteArrayD(doubles.data() + 2, static_cast<int>(doubles.size() - 2));
        file.FieldWriteEnd();
        file.FieldWriteBegin("Mixed");
        file.FieldWriteArrayI(ints.data(), static_cast<int>(ints.size()));
        file.FieldWriteS("between");
        for (int i = 0; i < 5; ++i) file.FieldWriteF(float(i) / 3.0f);
        file.FieldWriteEnd();
    }));
    KFbx file;
    ASSERT_TRUE(roundTrip.Open(file));
    ASSERT_TRUE(file.FieldReadBegin("Vertices"));
    ASSERT_EQ(file.FieldGetRemainingValueCount(), static_cast<int>(doubles.size()));
    std::vector<double> readDoubles(doubles.size() + 10);
    EXPECT_EQ(file.FieldReadArrayD(readDoubles.data(), 3), 3);
    EXPECT_EQ(file.FieldReadArrayD(readDoubles.data() + 3, static_cast<int>(readDoubles.size()) - 3),
              static_cast<int>(doubles.size()) - 3);
    readDoubles.resize(doubles.size());
    EXPECT_EQ(readDoubles, doubles);
    file.FieldReadEnd();

    ASSERT_TRUE(file.FieldReadBegin("Mixed"));
    std::vector<int> readInts(ints.size());
    EXPECT_EQ(file.FieldReadArrayI(readInts.data(), static_cast<int>(readInts.size())), static_cast<int>(ints.size()));
    EXPECT_EQ(readInts, ints);
    if (IsBinaryMode(GetParam())) {
        EXPECT_EQ(file.FieldGetValueType(), 'S');
    }
    EXPECT_STREQ(file.FieldReadS().Buffer(), "between");
    float floats[5] = {};
    EXPECT_EQ(file.FieldReadArrayF(floats, 5), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(floats[i], float(i) / 3.0f);
    EXPECT_EQ(file.GetLastErrorCode(), -1) << file.GetLastErrorText();
}

TEST_P(FieldFileRoundTripTest, ValueTypesAreReportedAndConverted) {
    FieldFileRoundTrip roundTrip(GetParam());
    ASSERT_TRUE(roundTrip.Write([](KFbx& file) {
        file.FieldWriteBegin("Key");
        file.FieldWriteL(Limits64::max());
        file.FieldWriteD(0.25);
        file.FieldWriteC('U');
        file.FieldWriteI(3);
        file.FieldWriteF(2.5f);
        file.FieldWriteS("text");
        file.FieldWriteEnd();
    }));
    KFbx file;
    ASSERT_TRUE(roundTrip.Open(file));
    ASSERT_TRUE(file.FieldReadBegin("Key"));
    // Ascii text has no types: it tells by the look of a value.
    const bool binary = IsBinaryMode(GetParam());
    EXPECT_EQ(file.FieldGetValueType(), 'L');
    EXPECT_TRUE(file.FieldSkipValue());
    EXPECT_EQ(file.FieldGetValueType(), 'D');
    EXPECT_EQ(file.FieldReadI(), 0);  // truncated
    EXPECT_EQ(file.FieldGetValueType(), 'C');
    EXPECT_EQ(file.FieldReadC(), 'U');
    EXPECT_EQ(file.FieldGetValueType(), 'I');
    EXPECT_EQ(file.FieldReadD(), 3.0);
    EXPECT_EQ(file.FieldGetValueType(), binary ? 'F' : 'D');
    EXPECT_EQ(file.FieldReadD(), 2.5);  // widened
    EXPECT_EQ(file.FieldGetValueType(), 'S');
    EXPECT_STREQ(file.FieldReadS().Buffer(), "text");
    EXPECT_EQ(file.FieldGetValueType(), 'S');  // none left
    EXPECT_EQ(file.GetLastErrorCode(), -1) << file.GetLastErrorText();
    EXPECT_EQ(file.FieldReadI(), 0);
    EXPECT_EQ(file.GetLastErrorCode(), KFbx::eFileCorrupted);  // read past the values
}

INSTANTIATE_TEST_SUITE_P(AllModes, FieldFileRoundTripTest,
                         ::testing::Values(FieldFileMode::eBinary, FieldFileMode::eAscii, FieldFileMode::eEncrypted,
                                           FieldFileMode::eEncryptedWithPassword, FieldFileMode::eMemoryBinary,
                                           FieldFileMode::eMemoryAscii),
                         [](const ::testing::TestParamInfo<FieldFileMode>& info) { return ModeName(info.param); });

class FieldFileSectionTest : public ::testing::TestWithParam<FieldFileMode> {};

void WriteSections(KFbx& file) {
    const KTime oneAndHalf(KTime::kTicksPerSecond * 3 / 2);
    file.FieldWriteBegin("Main");
    file.FieldWriteT(oneAndHalf);
    file.FieldWriteBlockBegin();
    file.FieldWriteBegin("Left");
    file.FieldWriteI(1);
    // Left open on purpose: closing the section closes it.
    EXPECT_TRUE(file.CloseFileIdentity());
    EXPECT_TRUE(file.ProjectSectionAppend(0));
    file.FieldWriteBegin("Summary");
    file.FieldWriteTimeSpan(KTime(0), oneAndHalf);
    file.FieldWriteEnd();
    EXPECT_TRUE(file.CloseFileIdentity());
    EXPECT_EQ(file.GetSectionCount(), 2);
}

TEST_P(FieldFileSectionTest, SectionsHeaderAndTimesByVersion) {
    for (int version : {6100, 2001, 2000}) {
        SCOPED_TRACE(version);
        FieldFileRoundTrip roundTrip(GetParam());
        KFbxFileHeaderInfo info;
        info.mFileVersion = version;
        info.mCreationTimeStampPresent = true;
        info.mCreationTimeStamp.mYear = 2006;
        info.mCreationTimeStamp.mMonth = 11;
        info.mCreationTimeStamp.mMillisecond = 999;
        info.mResolutionPresent = true;
        info.mResolutionWidth = 640;
        info.mResolutionHeight = 480.5;
        info.mCreator = "unit test";
        ASSERT_TRUE(roundTrip.Write(WriteSections, &info));

        KFbx file;
        ASSERT_TRUE(roundTrip.Open(file));
        const KFbxFileHeaderInfo& read = file.GetFileHeaderInfo();
        EXPECT_EQ(read.mFileVersion, version);
        EXPECT_TRUE(read.mCreationTimeStampPresent);
        EXPECT_EQ(read.mCreationTimeStamp.mYear, 2006);
        EXPECT_EQ(read.mCreationTimeStamp.mMonth, 11);
        EXPECT_EQ(read.mCreationTimeStamp.mMillisecond, 999);
        EXPECT_TRUE(read.mResolutionPresent);
        EXPECT_EQ(read.mResolutionHeight, 480.5);
        EXPECT_STREQ(read.mCreator.Buffer(), "unit test");

        ASSERT_EQ(file.GetSectionCount(), 2);
        EXPECT_EQ(file.GetSectionVersion(), version);
        EXPECT_EQ(file.GetSectionVersion(1), version);
        EXPECT_EQ(file.GetSectionVersion(2), -1);
        ASSERT_TRUE(file.FieldReadBegin("Main"));
        if (IsBinaryMode(GetParam())) {
            EXPECT_EQ(file.FieldGetValueType(), version < 2001 ? 'D' : 'L');
        }
        EXPECT_EQ(file.FieldReadT(), KTime(KTime::kTicksPerSecond * 3 / 2));
        ASSERT_TRUE(file.FieldReadBlockBegin());
        EXPECT_EQ(file.FieldReadIDefault("Left", 0), 1);
        file.FieldReadBlockEnd();
        file.FieldReadEnd();
        EXPECT_EQ(file.FieldReadBegin("FileId"), IsBinaryMode(GetParam()));
        EXPECT_FALSE(file.FieldReadBegin("Summary"));

        ASSERT_TRUE(file.SelectSection(1));
        ASSERT_TRUE(file.FieldReadBegin("Summary"));
        EXPECT_EQ(file.FieldReadT(), KTime(0));
        EXPECT_EQ(file.FieldReadT(), KTime(KTime::kTicksPerSecond * 3 / 2));
        EXPECT_FALSE(file.FieldReadBegin("Main"));
        EXPECT_EQ(file.GetLastErrorCode(), -1) << file.GetLastErrorText();
    }
}

INSTANTIATE_TEST_SUITE_P(FileModes, FieldFileSectionTest,
                         ::testing::Values(FieldFileMode::eBinary, FieldFileMode::eAscii, FieldFileMode::eEncrypted),
                         [](const ::testing::TestParamInfo<FieldFileMode>& info) { return ModeName(info.param); });

TEST(FieldFileAsciiTest, TextUsesTheCustomarySyntax) {
    FieldFileRoundTrip roundTrip(FieldFileMode::eAscii);
    ASSERT_TRUE(roundTrip.Write(WriteTree));
    const std::string text = roundTrip.Bytes();
    // The version line comes first: other readers tell the version from it.
    EXPECT_EQ(text.rfind("; FBX 6.1.0 project file\nFBXHeaderExtension:  {\n\tFBXHeaderVersion: 1003\n"
                         "\tFBXVersion: 6100\n",
                         0),
              0u)
        << text;
    EXPECT_NE(text.find("\n; records in the order a writer emits them\nItem: 1 {\n\tLabel: \"item 1\"\n\tEmpty:\n}"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("Outer:  {\n\tInner: \"inner\" {\n\t\tLeaf: L\n\t}\n}\nTimeWarpID: 7\n"), std::string::npos)
        << text;
}

TEST(FieldFileAsciiTest, ReadsTextFromOtherWriters) {
    const std::string text =
        "; a comment\n"
        "FBXHeaderExtension:  {\n FBXVersion: 6100\n}\r\n"
        "Key: +1.5e3,  -7,\n\t\t  \"C:\\new\\tex &quot;A&quot;\"  , inf ; trailing comment\n"
        "Flag: Y\n"
        "Node: \"a\",\"b\" {\r\n  Child: 1\n}\n";
    ScratchFolder folder;
    KFbx file;
    ASSERT_TRUE(file.FileOpen(folder.Write("other.fbx", text).c_str())) << file.GetLastErrorText();
    ASSERT_TRUE(file.FieldReadBegin("Key"));
    EXPECT_EQ(file.FieldGetRemainingValueCount(), 4);
    EXPECT_EQ(file.FieldReadD(), 1500.0);
    EXPECT_EQ(file.FieldReadI(), -7);
    EXPECT_STREQ(file.FieldReadS().Buffer(), "C:\\new\\tex \"A\"");  // backslashes are text
    EXPECT_TRUE(std::isinf(file.FieldReadD()));
    EXPECT_EQ(file.FieldReadCDefault("Flag", 'N'), 'Y');
    ASSERT_TRUE(file.FieldReadBegin("Node"));
    EXPECT_EQ(file.FieldGetRemainingValueCount(), 2);
    ASSERT_TRUE(file.FieldReadBlockBegin());
    EXPECT_EQ(file.FieldReadIDefault("Child", 0), 1);
    EXPECT_EQ(file.GetLastErrorCode(), -1) << file.GetLastErrorText();
}

TEST(FieldFileMemoryTest, BufferGrowsAndComesBack) {
    KFbx file;
    void* buffer = SdkMalloc(4);
    ASSERT_TRUE(file.FileCreate(buffer, 4, false));
    file.WriteStringField("Name", "a value longer than four bytes");
    file.FieldWriteBegin("Open");  // closed by the close
    file.FieldWriteI(1);
    int size = 0;
    ASSERT_TRUE(file.FileClose(&buffer, &size));
    EXPECT_EQ(std::string(static_cast<char*>(buffer), static_cast<std::size_t>(size)),
              "Name: \"a value longer than four bytes\"\nOpen: 1\n");
    SdkFree(buffer);
    EXPECT_EQ(file.GetSectionVersion(), -1);
}

TEST(FieldFileMediaTest, MediaContentIsEmbeddedInBinaryFilesOnly) {
    ScratchFolder folder;
    const std::string media = folder.Write("image.tif", std::string("II*\0pixels", 10));
    for (bool binary : {true, false}) {
        KFbx file;
        const std::string path = folder / (binary ? "scene.fbx" : "scene_ascii.fbx");
        ASSERT_TRUE(file.FileCreate(path.c_str(), binary, false, nullptr));
        EXPECT_EQ(file.IsEmbedded(), binary);
        EXPECT_STREQ(file.GetMediaFilePath("textures/image.tif").Buffer(),
                     (path.substr(0, path.size() - 4) + ".fbm/image.tif").c_str());
        file.FieldWriteBegin("Content");
        EXPECT_EQ(file.FieldWriteMediaContent("missing.tif", media.c_str()), binary);
        EXPECT_FALSE(file.FieldWriteMediaContent("missing.tif", "also-missing.tif"));
        file.FieldWriteEnd();
        ASSERT_TRUE(file.FileClose());
        if (!binary) continue;
        ASSERT_TRUE(file.FileOpen(path.c_str()));
        ASSERT_TRUE(file.FieldReadBegin("Content"));
        EXPECT_EQ(file.FieldGetValueType(), 'R');
        int size = 0;
        const void* bytes = file.FieldReadR(&size);
        EXPECT_EQ(std::string(static_cast<const char*>(bytes), static_cast<std::size_t>(size)),
                  std::string("II*\0pixels", 10));
    }
}

TEST(FieldFileObjectTest, ObjectFileKeepsItsFbx5Flag) {
    IFbxObject* file = IFbxObject::Create();
    ASSERT_NE(file, nullptr);
    EXPECT_FALSE(file->IsFbx5Compatible());
    file->SetFbx5Compatible(true);
    EXPECT_TRUE(file->IsFbx5Compatible());
    EXPECT_FALSE(file->IsOpen());
    file->Destroy();
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
