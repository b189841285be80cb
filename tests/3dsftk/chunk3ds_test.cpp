#include "Ftk3dsTestSupport.h"

#include <fbxfilesdk/3dsftk/Internal3ds.h>

#include <algorithm>
#include <array>
#include <string>

namespace fbxsdk_2006_11_1::ftktest {
namespace {

class ChunkTreeTest : public Ftk3dsTest {
protected:
    void TearDown() override {
        ReleaseChunk3ds(&top_);
        Ftk3dsTest::TearDown();
    }
    Chunk3ds* Top(std::uint32_t tag) {
        InitChunkAs3ds(&top_, tag);
        return top_;
    }
    Chunk3ds* top_ = nullptr;
};

TEST_F(ChunkTreeTest, ANewChunkIsEmptyAndBelongsToNoFile) {
    Chunk3ds* chunk = Top(MDATA);
    ASSERT_NE(chunk, nullptr);
    EXPECT_EQ(chunk->tag, MDATA);
    EXPECT_EQ(chunk->size, 0u);
    EXPECT_EQ(chunk->position, 0u);
    EXPECT_EQ(chunk->data, nullptr);
    EXPECT_EQ(chunk->sibling, nullptr);
    EXPECT_EQ(chunk->children, nullptr);
    EXPECT_EQ(chunk->readindex, 255);
    EXPECT_EQ(chunk->writeindex, 255);
    InitChunk3ds(nullptr);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_INVALID_ARG});
}

TEST_F(ChunkTreeTest, VersionEditorAndKeyframerDataStandInRankOrderWhateverTheInsertionOrder) {
    std::array<std::uint32_t, 3> tags = {M3D_VERSION, MDATA, KFDATA};
    std::sort(tags.begin(), tags.end());
    do {
        Chunk3ds* top = nullptr;
        InitChunkAs3ds(&top, M3DMAGIC);
        for (std::uint32_t tag : tags) AddChildChunk3ds(tag, top);
        EXPECT_EQ(ChildTags(top), (std::vector<std::uint32_t>{M3D_VERSION, MDATA, KFDATA}));
        ReleaseChunk3ds(&top);
    } while (std::next_permutation(tags.begin(), tags.end()));
}

TEST_F(ChunkTreeTest, ChunksOfEqualRankKeepTheirOrderAndRankZeroGoesLast) {
    Chunk3ds* kfdata = Top(KFDATA);
    for (std::uint32_t tag : {LIGHT_NODE_TAG, OBJECT_NODE_TAG, AMBIENT_NODE_TAG, KFHDR, CAMERA_NODE_TAG, KFSEG,
                              OBJECT_NODE_TAG}) {
        AddChildChunk3ds(tag, kfdata);
    }
    // Keyframer nodes of every kind keep the order they were added in.
    EXPECT_EQ(ChildTags(kfdata), (std::vector<std::uint32_t>{KFHDR, KFSEG, LIGHT_NODE_TAG, OBJECT_NODE_TAG,
                                                             CAMERA_NODE_TAG, OBJECT_NODE_TAG, AMBIENT_NODE_TAG}));
    EXPECT_EQ(GetChunkOrder3ds(LIGHT_NODE_TAG), 4);
    EXPECT_EQ(GetChunkOrder3ds(HI_SHADOW_BIAS), 0);
    EXPECT_EQ(GetChunkOrder3ds(NULL_CHUNK), 35);
    EXPECT_EQ(GetChunkOrder3ds(USE_V_GRADIENT), 12);
}

TEST_F(ChunkTreeTest, FindSearchesTheSubtreeInPreOrderAndFindNextOnlyTheSiblings) {
    Chunk3ds* top = Top(M3DMAGIC);
    Chunk3ds* mdata = AddChildChunk3ds(MDATA, top);
    Chunk3ds* object = AddChildChunk3ds(NAMED_OBJECT, mdata);
    Chunk3ds* mesh = AddChildChunk3ds(N_TRI_OBJECT, object);
    Chunk3ds* inner = AddChildChunk3ds(NAMED_OBJECT, mesh);
    Chunk3ds* second = AddChildChunk3ds(NAMED_OBJECT, mdata);

    Chunk3ds* found = nullptr;
    FindChunk3ds(top, NAMED_OBJECT, &found);
    EXPECT_EQ(found, object);
    FindChunk3ds(object, NAMED_OBJECT, &found);
    EXPECT_EQ(found, object);
    FindChunk3ds(mesh, NAMED_OBJECT, &found);
    EXPECT_EQ(found, inner);
    FindChunk3ds(nullptr, NAMED_OBJECT, &found);
    EXPECT_EQ(found, nullptr);
    FindNextChunk3ds(object->sibling, NAMED_OBJECT, &found);
    EXPECT_EQ(found, second);
    FindNextChunk3ds(mesh, NAMED_OBJECT, &found);
    EXPECT_EQ(found, nullptr);
    // Several tags found in one walk are what a search for each one finds.
    const std::array<std::uint32_t, 4> tags = {NAMED_OBJECT, N_TRI_OBJECT, MDATA, KFDATA};
    for (Chunk3ds* start : {top, object, mesh, static_cast<Chunk3ds*>(nullptr)}) {
        std::array<Chunk3ds*, tags.size()> each{};
        ftk3ds::FindEachInSubtree(start, tags.data(), each.data(), tags.size());
        for (std::size_t i = 0; i < tags.size(); ++i) {
            FindChunk3ds(start, tags[i], &found);
            EXPECT_EQ(each[i], found);
        }
    }
    EXPECT_FALSE(FtkErrorPending);
    FindChunk3ds(top, MDATA, nullptr);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_INVALID_ARG});
}

TEST_F(ChunkTreeTest, ClearedChunkKeepsItsPlaceAsANullChunkAndReplaceReusesIt) {
    Chunk3ds* kfdata = Top(KFDATA);
    Chunk3ds* segment = AddChildChunk3ds(KFSEG, kfdata);
    AddChildChunk3ds(KFCURTIME, kfdata);
    ASSERT_NE(InitChunkData3ds(segment), nullptr);
    AddChildChunk3ds(NODE_ID, segment);
    segment->size = 14;
    ClearChunk3ds(segment);
    EXPECT_EQ(kfdata->children, segment);
    EXPECT_EQ(segment->tag, NULL_CHUNK);
    EXPECT_EQ(segment->size, 0u);
    EXPECT_EQ(segment->data, nullptr);
    EXPECT_EQ(segment->children, nullptr);
    EXPECT_EQ(ChildTags(kfdata), (std::vector<std::uint32_t>{NULL_CHUNK, KFCURTIME}));

    Chunk3ds* replaced = nullptr;
    ReplaceChild3ds(kfdata, KFCURTIME, &replaced);
    EXPECT_EQ(replaced, segment->sibling);
    // A cleared chunk has the highest rank of all: new chunks go after it.
    ReplaceChild3ds(kfdata, KFHDR, &replaced);
    EXPECT_EQ(segment->sibling, replaced);
    EXPECT_EQ(ChildTags(kfdata), (std::vector<std::uint32_t>{NULL_CHUNK, KFHDR, KFCURTIME}));
}

TEST_F(ChunkTreeTest, CopyDuplicatesAMemoryChunkDeeplyAndNotItsSiblings) {
    Chunk3ds* node = Top(OBJECT_NODE_TAG);
    Chunk3ds* header = AddChildChunk3ds(NODE_HDR, node);
    auto* data = static_cast<NodeHeaderData3ds*>(InitChunkData3ds(header));
    data->name = StrDup3ds("Box");
    data->parentindex = 3;
    Chunk3ds* sibling = nullptr;
    InitChunkAs3ds(&sibling, CAMERA_NODE_TAG);
    node->sibling = sibling;

    Chunk3ds* copy = nullptr;
    CopyChunk3ds(node, &copy);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->sibling, nullptr);
    ASSERT_EQ(ChildTags(copy), std::vector<std::uint32_t>{NODE_HDR});
    const auto* copied = static_cast<NodeHeaderData3ds*>(copy->children->data);
    ASSERT_NE(copied, nullptr);
    EXPECT_NE(copied, data);
    EXPECT_NE(copied->name, data->name);
    EXPECT_STREQ(copied->name, "Box");
    EXPECT_EQ(copied->parentindex, 3);
    EXPECT_EQ(header->data, data);
    ReleaseChunk3ds(&copy);
}

TEST_F(ChunkTreeTest, TagNamesComeFromTheTable) {
    EXPECT_STREQ(ChunkTagToString(M3DMAGIC), "M3DMAGIC");
    EXPECT_STREQ(ChunkTagToString(0x0C3C), "C_SXP_SELFI_MASKDATA");
    EXPECT_STREQ(ChunkTagToString(0xCB3C), "UNKNOWN_CHUNK");
    EXPECT_STREQ(ChunkTagToString(0xFFFF), "DUMMY");
    EXPECT_STREQ(ChunkTagToString(0x0000), "NULL_CHUNK");
    EXPECT_STREQ(ChunkTagToString(C_AUTO_SMOOTH), "C_AUTO_SMOOTH ");
    EXPECT_STREQ(ChunkTagToString(C_SMOOTH_ANG), "C_SMOOTH_ANG ");
    EXPECT_STREQ(ChunkTagToString(NODE_ID), "NODE_ID");
    EXPECT_STREQ(ChunkTagToString(0x12345), "UNKNOWN_CHUNK");
}

TEST_F(ChunkTreeTest, ALongSiblingChainIsReleasedWithoutDeepRecursion) {
    Chunk3ds* parent = Top(MDATA);
    Chunk3ds** tail = &parent->children;
    for (int i = 0; i < 200000; ++i) {
        InitChunkAs3ds(tail, NAMED_OBJECT);
        tail = &(*tail)->sibling;
    }
    ReleaseChunk3ds(&top_);
    EXPECT_EQ(top_, nullptr);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::ftktest
