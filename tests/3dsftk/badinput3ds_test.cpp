#include "Ftk3dsTestSupport.h"

#include <fbxfilesdk/core/SdkAlloc.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <string>

namespace fbxsdk_2006_11_1::ftktest {
namespace {

std::string Sample() {
    const std::string points = Chunk(POINT_ARRAY, Le16(2) + std::string(24, '\x01'));
    const std::string faces = Chunk(FACE_ARRAY, Le16(1) + Le16(0) + Le16(1) + Le16(1) + Le16(0) +
                                                    Chunk(MSH_MAT_GROUP, Text("M") + Le16(1) + Le16(0)));
    const std::string object = Chunk(NAMED_OBJECT, Text("Obj") + Chunk(N_TRI_OBJECT, points + faces));
    const std::string track = Chunk(ROT_TRACK_TAG, Le16(0) + Le32(0) + Le32(0) + Le32(2) + Le32(0) + Le16(1) +
                                                       LeFloat(0.5f) + std::string(16, '\0') + Le32(5) + Le16(0) +
                                                       std::string(16, '\0'));
    const std::string node = Chunk(OBJECT_NODE_TAG, Chunk(NODE_ID, Le16(0)) +
                                                        Chunk(NODE_HDR, Text("Obj") + Le16(0) + Le16(0) + Le16(7)) +
                                                        track);
    return Chunk(M3DMAGIC, Chunk(MDATA, object + Chunk(MAT_ENTRY, Chunk(MAT_NAME, Text("M")))) +
                               Chunk(KFDATA, Chunk(KFHDR, Le16(5) + Text("k") + Le32(30)) + node));
}

class BadInputTest : public Ftk3dsTest {
protected:
    void SetUp() override {
        Ftk3dsTest::SetUp();
        ASSERT_TRUE(SdkSetAllocators(&LargestBlock::Malloc, &LargestBlock::Calloc, &LargestBlock::Realloc,
                                     &std::free));
        LargestBlock::largest = 0;
    }
    void TearDown() override {
        ReleaseDatabase3ds(&database_);
        ASSERT_TRUE(SdkSetAllocators(&std::malloc, &std::calloc, &std::realloc, &std::free));
        Ftk3dsTest::TearDown();
    }

    // Reads the image, then every record of the tree, then writes it: an
    // error may stop it anywhere, but nothing may go wrong in memory.
    void ReadEverything(const std::string& bytes) {
        ReleaseDatabase3ds(&database_);
        CloseAllFiles3ds();
        ClearErrorList3ds();
        database_ = ReadImage(bytes, "bad" + std::to_string(files_++) + ".3ds");
        if (FtkErrorPending) return;
        std::function<void(Chunk3ds*)> load = [&](Chunk3ds* chunk) {
            for (; chunk != nullptr && !FtkErrorPending; chunk = chunk->sibling) {
                ReadChunkData3ds(chunk);
                load(chunk->children);
            }
        };
        load(database_->topchunk);
        if (FtkErrorPending) return;
        file3ds* out = OpenFile3ds(Path("bad-out.3ds").c_str(), "wb");
        WriteDatabase3ds(out, database_);
        CloseFile3ds(out);
    }

    database3ds* database_ = nullptr;
    int files_ = 0;
};

TEST_F(BadInputTest, AFileCutAtAnyOffsetIsAnError) {
    const std::string sample = Sample();
    for (std::size_t length = 0; length < sample.size(); ++length) {
        ReadEverything(sample.substr(0, length));
        EXPECT_TRUE(FtkErrorPending) << length;
        EXPECT_TRUE(Recorded(ERR_CREATING_DATABASE)) << length;
    }
    ReadEverything(sample);
    EXPECT_FALSE(FtkErrorPending);
}

TEST_F(BadInputTest, AFileCutAtAnyOffsetWithItsTopLengthMendedNeverReadsOutside) {
    const std::string sample = Sample();
    for (std::size_t length = 6; length < sample.size(); ++length) {
        std::string cut = sample.substr(0, length);
        cut.replace(2, 4, Le32(static_cast<std::uint32_t>(length)));
        ReadEverything(cut);
    }
    EXPECT_LT(LargestBlock::largest, 16384u);
}

TEST_F(BadInputTest, EveryByteChangedInTurnNeverReadsOutside) {
    const std::string sample = Sample();
    for (std::size_t at = 0; at < sample.size(); ++at) {
        for (unsigned char value : {0x00, 0x05, 0x7F, 0xFF}) {
            std::string changed = sample;
            changed[at] = static_cast<char>(value);
            ReadEverything(changed);
        }
    }
    EXPECT_LT(LargestBlock::largest, 16384u);
}

TEST_F(BadInputTest, ChunkLengthsBelowAHeaderOrPastTheParentAreInvalid) {
    for (std::uint32_t length : {0u, 5u, 200u}) {
        ReadEverything(Chunk(M3DMAGIC, Chunk(MDATA, Le16(MASTER_SCALE) + Le32(length) + LeFloat(1))));
        EXPECT_TRUE(Recorded(ERR_INVALID_CHUNK)) << length;
        EXPECT_TRUE(Recorded(ERR_READING_DATABASE)) << length;
        EXPECT_TRUE(Recorded(ERR_CREATING_DATABASE)) << length;
    }
    ReadEverything(Le16(M3DMAGIC) + Le32(1000) + Chunk(MDATA));
    EXPECT_TRUE(Recorded(ERR_INVALID_CHUNK));
}

TEST_F(BadInputTest, NestingTenThousandDeepIsAnErrorNotAStackOverflow) {
    std::string nested;
    for (std::uint32_t depth = 10000; depth > 0; --depth) nested += Le16(MDATA) + Le32(6 * depth);
    ReadEverything(Chunk(M3DMAGIC, nested));
    EXPECT_TRUE(Recorded(ERR_INVALID_CHUNK));
    EXPECT_TRUE(Recorded(ERR_CREATING_DATABASE));
}

TEST_F(BadInputTest, CountsThatTheChunkCannotHoldAllocateNothing) {
    const std::string hugeTrack = Chunk(POS_TRACK_TAG, Le16(0) + Le32(0) + Le32(0) + Le32(0xFFFFFFFF) + Le32(0) +
                                                           Le16(0) + std::string(12, '\0'));
    ReadEverything(Chunk(M3DMAGIC, Chunk(KFDATA, Chunk(OBJECT_NODE_TAG, hugeTrack))));
    EXPECT_TRUE(Recorded(ERR_INVALID_CHUNK));

    ReadEverything(Chunk(M3DMAGIC, Chunk(POINT_ARRAY, Le16(0xFFFF) + std::string(12, '\0'))));
    EXPECT_TRUE(Recorded(ERR_INVALID_CHUNK));

    ReadEverything(Chunk(M3DMAGIC, Chunk(MSH_MAT_GROUP, Text("m") + Le16(60000) + Le16(1))));
    EXPECT_TRUE(Recorded(ERR_INVALID_CHUNK));

    // A key whose flags ask for more parameters than the chunk holds.
    ReadEverything(Chunk(M3DMAGIC, Chunk(FOV_TRACK_TAG, Le16(0) + Le32(0) + Le32(0) + Le32(1) + Le32(0) +
                                                            Le16(0x1F) + LeFloat(1))));
    EXPECT_TRUE(Recorded(ERR_INVALID_CHUNK));
    EXPECT_LT(LargestBlock::largest, 16384u);
}

TEST_F(BadInputTest, AForeignTopChunkClaimingFourGigabytesLoadsNothing) {
    ReadEverything(Le16(0xFFFF) + Le32(0xFFFFFFFF) + Chunk(M3DMAGIC));
    EXPECT_FALSE(FtkErrorPending);
    EXPECT_EQ(ReadChunkData3ds(database_->topchunk), nullptr);
    EXPECT_LT(LargestBlock::largest, 16384u);
}

TEST_F(BadInputTest, StringsWithoutTerminatorAreErrors) {
    ReadEverything(Chunk(M3DMAGIC, Chunk(MDATA, Chunk(NAMED_OBJECT, "Unterminated"))));
    EXPECT_TRUE(Recorded(ERR_READING_FILE));
    ReadEverything(Chunk(M3DMAGIC, Chunk(MDATA, Chunk(NAMED_OBJECT, "abc"))));
    EXPECT_TRUE(Recorded(ERR_READING_FILE));
    ReadEverything(Chunk(M3DMAGIC, Chunk(XDATA_STRING, "no zero here")));
    EXPECT_TRUE(Recorded(ERR_READING_FILE));
    ReadEverything(Chunk(M3DMAGIC, Chunk(KFDATA, Chunk(KFHDR, Le16(5) + std::string(600, 'k') + Le32(0)))));
    EXPECT_TRUE(FtkErrorPending);
    ReadEverything(Chunk(M3DMAGIC, Chunk(MORPH_TRACK_TAG, Le16(0) + Le32(0) + Le32(0) + Le32(1) + Le32(0) +
                                                              Le16(0) + "0123456789012345")));
    EXPECT_TRUE(Recorded(ERR_READING_FILE));
}

TEST_F(BadInputTest, DataOfAChunkWhoseFileIsClosedIsAReadErrorNotAStrayRead) {
    database_ = ReadImage(Sample());
    ASSERT_FALSE(FtkErrorPending);
    CloseAllFiles3ds();
    Chunk3ds* name = nullptr;
    FindChunk3ds(database_->topchunk, MAT_NAME, &name);
    EXPECT_EQ(ReadChunkData3ds(name), nullptr);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_READING_FILE});
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::ftktest
