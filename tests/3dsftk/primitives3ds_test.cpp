#include "Ftk3dsTestSupport.h"

#include <cstring>
#include <string>

namespace fbxsdk_2006_11_1::ftktest {
namespace {

class PrimitivesTest : public Ftk3dsTest {
protected:
    // Runs the writes on a new file and gives back its bytes.
    template <class F>
    std::string Written(F write) {
        file3ds* file = OpenFile3ds(Path("w.bin").c_str(), "wb");
        EXPECT_NE(file, nullptr);
        SetCurrentFile3ds(file);
        write();
        CloseFile3ds(file);
        return ReadBytes(Path("w.bin"));
    }
    // Makes a file of the bytes the current one, for reading.
    void ReadFrom(const std::string& bytes) {
        const std::string path = Path("r" + std::to_string(files_++) + ".bin");
        WriteBytes(path, bytes);
        file3ds* file = OpenFile3ds(path.c_str(), "rb");
        ASSERT_NE(file, nullptr);
        SetCurrentFile3ds(file);
    }
    int files_ = 0;
};

TEST_F(PrimitivesTest, IntegersAndFloatsAreLittleEndian) {
    EXPECT_EQ(Written([] { WriteWord3ds(0x4D4D); }), std::string("\x4D\x4D", 2));
    EXPECT_EQ(Written([] { WriteDword3ds(300); }), std::string("\x2C\x01\x00\x00", 4));
    EXPECT_EQ(Written([] { WriteFloat3ds(1.0f); }), std::string("\x00\x00\x80\x3F", 4));
    EXPECT_EQ(Written([] { WriteByte3ds(0xFE); }), std::string("\xFE", 1));

    ReadFrom(Le16(0xB00A) + Le32(0x12345678) + LeFloat(-2.5f) + "\x07");
    EXPECT_EQ(ReadWord3ds(), 0xB00A);
    EXPECT_EQ(ReadDword3ds(), 0x12345678u);
    EXPECT_EQ(ReadFloat3ds(), -2.5f);
    EXPECT_EQ(ReadByte3ds(), 7);
    EXPECT_FALSE(FtkErrorPending);
    EXPECT_EQ(ReadDword3ds(), 0u);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_READING_FILE});
}

TEST_F(PrimitivesTest, KeyHeaderCarriesOnlyTheParametersOfItsFlagBits) {
    keyheader3ds key{};
    key.frame = 12;
    key.splineflags = 0x0005;
    key.tension = 0.5f;
    key.continuity = 9.0f;  // bit clear: not written
    key.bias = -0.25f;
    const std::string bytes = Written([&] { WriteKeyHeader3ds(&key); });
    EXPECT_EQ(bytes, Le32(12) + Le16(5) + LeFloat(0.5f) + LeFloat(-0.25f));
    EXPECT_EQ(bytes.size(), 14u);

    ReadFrom(bytes + Le32(3) + Le16(0x0030) + LeFloat(1.0f));
    keyheader3ds read{};
    ReadKeyHeader3ds(&read);
    EXPECT_EQ(read.frame, 12u);
    EXPECT_EQ(read.tension, 0.5f);
    EXPECT_EQ(read.continuity, 0.0f);
    EXPECT_EQ(read.bias, -0.25f);
    EXPECT_EQ(read.easeto, 0.0f);
    EXPECT_EQ(read.easefrom, 0.0f);
    // Bits above 4 carry nothing.
    ReadKeyHeader3ds(&read);
    EXPECT_EQ(read.splineflags, 0x0030);
    EXPECT_EQ(read.easefrom, 1.0f);
    EXPECT_FALSE(FtkErrorPending);
}

TEST_F(PrimitivesTest, FixedStringsFillTheirFieldAndAreReadWhole) {
    EXPECT_EQ(Written([] { WriteFixedString3ds("Cam1", 11); }), std::string("Cam1\0\0\0\0\0\0\0", 11));
    EXPECT_EQ(Written([] { WriteString3ds("Box"); }), std::string("Box\0", 4));

    ReadFrom(std::string("abc\0zzzzzzz", 11) + "Q");
    char* text = nullptr;
    ReadFixedStringAlloc3ds(&text, 10);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "abc");
    FtkFree(text);
    EXPECT_EQ(ReadByte3ds(), 'Q');
}

TEST_F(PrimitivesTest, AllocatedStringsTakeAtMostTheirLimit) {
    ReadFrom(Text("0123456789") + "0123456789A");
    char* text = nullptr;
    ReadStringAlloc3ds(&text, 10);
    ASSERT_NE(text, nullptr);
    EXPECT_STREQ(text, "0123456789");
    FtkFree(text);
    text = nullptr;
    EXPECT_FALSE(FtkErrorPending);
    ReadStringAlloc3ds(&text, 10);
    EXPECT_EQ(text, nullptr);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_READING_FILE});
}

TEST_F(PrimitivesTest, AStringCutShortByTheEndOfTheFileIsAReadError) {
    ReadFrom("abc");
    char buffer[8];
    ReadString3ds(buffer, 8);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_READING_FILE});
}

TEST_F(PrimitivesTest, FinishHeaderPatchesTheLengthAndReturnsToTheEnd) {
    const std::string bytes = Written([] {
        for (int i = 0; i < 160; ++i) WriteByte3ds(0xAA);
        FinishHeader3ds(100, 160);
        EXPECT_EQ(GetFilePosition3ds(), 160);
        WriteByte3ds(0x11);
    });
    ASSERT_EQ(bytes.size(), 161u);
    EXPECT_EQ(bytes.substr(100, 6), std::string("\xAA\xAA\x3C\x00\x00\x00", 6));
    EXPECT_EQ(bytes[160], '\x11');
}

TEST_F(PrimitivesTest, CompoundReadsKeepTheirDefaultsPastAShortRead) {
    ReadFrom(Le16(7) + Le16(8));
    face3ds face{9, 9, 9, 9};
    ReadFace3ds(&face);
    EXPECT_EQ(face.a, 7);
    EXPECT_EQ(face.b, 8);
    EXPECT_EQ(face.c, 2);
    EXPECT_EQ(face.flags, 0);
    ClearErrorList3ds();

    ReadFrom(Le16(3));
    TrackHeader3ds header{5, 5, 5, 5};
    ReadTrackHeader3ds(&header);
    EXPECT_EQ(header.flags, 3);
    EXPECT_EQ(header.keycount, 1u);
    EXPECT_TRUE(Recorded(ERR_READING_FILE));
}

TEST_F(PrimitivesTest, HeadersAndCompoundValuesRoundTrip) {
    const point3ds point{1.5f, -2.0f, 1e-7f};
    const texvertex3ds texvert{0.25f, 0.75f};
    const face3ds face{1, 2, 3, 7};
    const TrackHeader3ds track{0x40, 1, 2, 3};
    const std::string bytes = Written([&] {
        WriteHeader3ds(M3DMAGIC, 42);
        WritePoint3ds(&point);
        WriteTexVert3ds(&texvert);
        WriteFace3ds(&face);
        WriteTrackHeader3ds(&track);
    });
    EXPECT_EQ(bytes.size(), 6u + 12 + 8 + 8 + 14);
    ReadFrom(bytes);
    Chunk3ds chunk{};
    std::uint32_t size = 0;
    ReadHeader3ds(&chunk, &size);
    EXPECT_EQ(chunk.tag, M3DMAGIC);
    EXPECT_EQ(size, 42u);
    point3ds p{};
    texvertex3ds t{};
    face3ds f{};
    TrackHeader3ds h{};
    ReadPoint3ds(&p);
    ReadTexVert3ds(&t);
    ReadFace3ds(&f);
    ReadTrackHeader3ds(&h);
    EXPECT_EQ(std::memcmp(&p, &point, sizeof p), 0);
    EXPECT_EQ(std::memcmp(&t, &texvert, sizeof t), 0);
    EXPECT_EQ(std::memcmp(&f, &face, sizeof f), 0);
    EXPECT_EQ(h.flags, 0x40);
    EXPECT_EQ(h.reserved1, 1u);
    EXPECT_EQ(h.reserved2, 2u);
    EXPECT_EQ(h.keycount, 3u);
    EXPECT_FALSE(FtkErrorPending);
}

// Reads jump about a file several times larger than any buffer a file being
// read is given, across its edges and back, and each gets the file's own bytes.
TEST_F(PrimitivesTest, ReadsAnywhereInALargeFileGetItsBytes) {
    std::string bytes(300000, '\0');
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = static_cast<char>((i * 7919u) >> 3);
    ReadFrom(bytes);
    struct Case {
        std::int64_t position;
        std::size_t length;
    };
    const Case cases[] = {
        {0, 6},          {65530, 12},     {10, 4},      {131070, 70000}, {299990, 10}, {65536, 1},
        {65535, 2},      {200000, 99999},     {5, 299995},     {123456, 0},  {70000, 65536},
    };
    for (const Case& c : cases) {
        SetFilePosition3ds(c.position);
        std::string read(c.length, '\0');
        ReadVoid3ds(static_cast<std::uint32_t>(c.length), read.data());
        ASSERT_FALSE(FtkErrorPending) << c.position << " " << c.length;
        EXPECT_EQ(read, bytes.substr(static_cast<std::size_t>(c.position), c.length)) << c.position;
        EXPECT_EQ(GetFilePosition3ds(), c.position + static_cast<std::int64_t>(c.length));
    }
    // Values run on from where the last read stopped, whatever was read before.
    SetFilePosition3ds(65534);
    EXPECT_EQ(ReadWord3ds(), static_cast<std::uint8_t>(bytes[65534]) | static_cast<std::uint8_t>(bytes[65535]) << 8);
    EXPECT_EQ(ReadByte3ds(), static_cast<std::uint8_t>(bytes[65536]));
    // The end of the file ends a read that reaches past it, near or far.
    for (const std::int64_t position : {299999, 310000, 1 << 30}) {
        SetFilePosition3ds(position);
        EXPECT_FALSE(FtkErrorPending);
        EXPECT_EQ(ReadWord3ds(), 0);
        EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_READING_FILE}) << position;
        ClearErrorList3ds();
    }
    SetFilePosition3ds(-1);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_READING_FILE});
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::ftktest
