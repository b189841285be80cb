#include "Ftk3dsTestSupport.h"

#include <string>

namespace fbxsdk_2006_11_1::ftktest {
namespace {

class KeyframerTest : public Ftk3dsTest {
protected:
    void SetUp() override {
        Ftk3dsTest::SetUp();
        InitDatabase3ds(&database_);
        InitChunkAs3ds(&database_->topchunk, M3DMAGIC);
    }
    void TearDown() override {
        ReleaseDatabase3ds(&database_);
        Ftk3dsTest::TearDown();
    }
    Chunk3ds* Find(Chunk3ds* from, std::uint32_t tag) {
        Chunk3ds* found = nullptr;
        FindChunk3ds(from, tag, &found);
        return found;
    }
    database3ds* database_ = nullptr;
};

TEST_F(KeyframerTest, ReleaseTwoOnAnEmptyMeshFileStampsEveryVersion) {
    SetDatabaseRelease3ds(database_, 2);
    ASSERT_FALSE(FtkErrorPending);
    Chunk3ds* top = database_->topchunk;
    EXPECT_EQ(ChildTags(top), (std::vector<std::uint32_t>{M3D_VERSION, MDATA, KFDATA}));
    EXPECT_EQ(static_cast<DwordData3ds*>(top->children->data)->value, 3u);
    EXPECT_EQ(ChildTags(Find(top, MDATA)), std::vector<std::uint32_t>{MESH_VERSION});
    EXPECT_EQ(static_cast<DwordData3ds*>(Find(top, MESH_VERSION)->data)->value, 3u);
    const auto* header = static_cast<KfHeaderData3ds*>(Find(top, KFHDR)->data);
    EXPECT_EQ(header->revision, 5);
    EXPECT_STREQ(header->name, "");
    EXPECT_EQ(header->animlength, 30u);

    SetDatabaseRelease3ds(database_, 3);
    EXPECT_EQ(ChildTags(top), (std::vector<std::uint32_t>{M3D_VERSION, MDATA, KFDATA}));
    EXPECT_EQ(static_cast<DwordData3ds*>(top->children->data)->value, 4u);
    EXPECT_EQ(static_cast<KfHeaderData3ds*>(Find(top, KFHDR)->data)->revision, 6);
    SetDatabaseRelease3ds(database_, 4);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_INVALID_ARG});
}

TEST_F(KeyframerTest, AProjectFileGetsNoFileVersionAndALibraryNothing) {
    database_->topchunk->tag = CMAGIC;
    SetDatabaseRelease3ds(database_, 0);
    EXPECT_EQ(ChildTags(database_->topchunk), (std::vector<std::uint32_t>{MDATA, KFDATA}));
    EXPECT_EQ(static_cast<KfHeaderData3ds*>(Find(database_->topchunk, KFHDR)->data)->revision, 1);
    ReleaseChunk3ds(&database_->topchunk);
    InitChunkAs3ds(&database_->topchunk, MLIBMAGIC);
    SetDatabaseRelease3ds(database_, 2);
    EXPECT_EQ(database_->topchunk->children, nullptr);
    EXPECT_FALSE(FtkErrorPending);
}

TEST_F(KeyframerTest, ASegmentSwitchedOffIsNotWrittenAndSwitchedOnTwiceIsWrittenOnce) {
    KfSets3ds* settings = nullptr;
    InitKfSets3ds(&settings);
    ASSERT_NE(settings, nullptr);
    EXPECT_EQ(settings->animlength, 30u);
    EXPECT_EQ(settings->segend, 30u);
    settings->animlength = 100;
    settings->curframe = 7;
    settings->segmentused = 1;
    settings->segbegin = 10;
    settings->segend = 20;
    PutKfSets3ds(database_, settings);
    settings->segmentused = 0;
    PutKfSets3ds(database_, settings);
    std::string bytes = WriteImage(database_, "off.3ds");
    EXPECT_EQ(bytes.find(Chunk(KFSEG, Le32(10) + Le32(20))), std::string::npos);
    EXPECT_NE(bytes.find(Chunk(KFHDR, Le16(5) + Text("") + Le32(100))), std::string::npos);
    EXPECT_NE(bytes.find(Chunk(KFCURTIME, Le32(7))), std::string::npos);

    settings->segmentused = 1;
    PutKfSets3ds(database_, settings);
    settings->segbegin = 15;
    settings->segend = 25;
    PutKfSets3ds(database_, settings);
    bytes = WriteImage(database_, "on.3ds");
    const std::string segment = Chunk(KFSEG, Le32(15) + Le32(25));
    EXPECT_NE(bytes.find(segment), std::string::npos);
    EXPECT_EQ(bytes.find(Le16(KFSEG) + Le32(14)), bytes.rfind(Le16(KFSEG) + Le32(14)));
    ReleaseKfSets3ds(&settings);
    EXPECT_EQ(settings, nullptr);

    database_->topchunk->tag = MLIBMAGIC;
    InitKfSets3ds(&settings);
    PutKfSets3ds(database_, settings);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_WRONG_DATABASE});
    ReleaseKfSets3ds(&settings);
}

TEST_F(KeyframerTest, ATargetNodeHoldsItsIdHeaderParentAndTrackInThatOrder) {
    Chunk3ds* kfdata = nullptr;
    FindOrCreateKfData3ds(database_->topchunk, &kfdata);
    keyheader3ds keys[2] = {{0, 0, 0, 0, 0, 0, 0}, {10, 0, 0, 0, 0, 0, 0}};
    point3ds points[2] = {{1, 2, 3}, {4, 5, 6}};
    Chunk3ds* node = PutTargetNode3ds("Parent", 2, 0x40, keys, points, "Cam01", 0x4000, 0, true, kfdata);
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->tag, TARGET_NODE_TAG);
    EXPECT_EQ(ChildTags(node), (std::vector<std::uint32_t>{NODE_ID, NODE_HDR, POS_TRACK_TAG}));
    EXPECT_EQ(static_cast<WordData3ds*>(node->children->data)->value, 0xFFFF);
    EXPECT_EQ(ChildTags(node->children->sibling), std::vector<std::uint32_t>{PARENT_NAME});
    const auto* track = static_cast<PointTrackData3ds*>(node->children->sibling->sibling->data);
    EXPECT_EQ(track->header.keycount, 2u);
    EXPECT_EQ(track->header.flags, 0x40);
    EXPECT_EQ(track->values[1].z, 6.0f);
    EXPECT_NE(track->keys, keys);
    char parent[8];
    GetParentName3ds(node, parent, sizeof parent);
    EXPECT_STREQ(parent, "Parent");

    Chunk3ds* spotTarget = PutTargetNode3ds(nullptr, 0, 0, keys, points, "Spot01", 0, 0, false, kfdata);
    ASSERT_NE(spotTarget, nullptr);
    EXPECT_EQ(spotTarget->tag, L_TARGET_NODE_TAG);
    EXPECT_EQ(ChildTags(spotTarget), (std::vector<std::uint32_t>{NODE_ID, NODE_HDR}));
    GetParentName3ds(spotTarget, parent, sizeof parent);
    EXPECT_STREQ(parent, "");
    PutRollTrack3ds(3, 0, nullptr, nullptr, spotTarget);
    PutColTrack3ds(0, 0, keys, points, spotTarget);
    EXPECT_EQ(ChildTags(spotTarget), (std::vector<std::uint32_t>{NODE_ID, NODE_HDR}));
    EXPECT_FALSE(FtkErrorPending);
}

TEST_F(KeyframerTest, NodesAreFoundByNameCountedListedAndClearedForReuse) {
    Chunk3ds* kfdata = nullptr;
    FindOrCreateKfData3ds(database_->topchunk, &kfdata);
    for (const char* name : {"Cam1", "Cam2"}) {
        Chunk3ds* camera = AddChildChunk3ds(CAMERA_NODE_TAG, kfdata);
        PutNodeId3ds(camera);
        PutNodeHeader3ds(name, 0, 0, "", camera);
    }
    Chunk3ds* light = AddChildChunk3ds(LIGHT_NODE_TAG, kfdata);
    PutNodeHeader3ds("Cam2", 0, 0, nullptr, light);
    AddChildChunk3ds(XDATA_SECTION, light);
    ASSERT_FALSE(FtkErrorPending);

    Chunk3ds* found = nullptr;
    FindNodeByNameAndTag3ds(database_, "Cam2", CAMERA_NODE_TAG, &found);
    EXPECT_EQ(found, Children(kfdata)[1]);
    FindNodeByNameAndTag3ds(database_, "Cam2", LIGHT_NODE_TAG, &found);
    EXPECT_EQ(found, light);
    FindNodeByNameAndTag3ds(database_, "Cam3", CAMERA_NODE_TAG, &found);
    EXPECT_EQ(found, nullptr);

    EXPECT_EQ(GetNodeCountOfTag3ds(database_, CAMERA_NODE_TAG), 2u);
    stringlist3ds* names = nullptr;
    GetNodeNameListOfTag3ds(database_, CAMERA_NODE_TAG, &names);
    ASSERT_NE(names, nullptr);
    ASSERT_EQ(names->count, 2u);
    EXPECT_STREQ(names->list[0], "Cam1");
    EXPECT_STREQ(names->list[1], "Cam2");
    ReleaseStringList3ds(&names);

    Chunk3ds* xdata = nullptr;
    ClearNodeForReuse3ds(database_, "Cam2", LIGHT_NODE_TAG, &xdata);
    ASSERT_NE(xdata, nullptr);
    EXPECT_EQ(xdata->tag, XDATA_SECTION);
    EXPECT_EQ(light->tag, NULL_CHUNK);
    EXPECT_EQ(GetNodeCountOfTag3ds(database_, LIGHT_NODE_TAG), 0u);
    ReleaseChunk3ds(&xdata);
    ClearNodeForReuse3ds(database_, "Cam2", LIGHT_NODE_TAG, &xdata);
    EXPECT_EQ(xdata, nullptr);
    EXPECT_FALSE(FtkErrorPending);
}

TEST_F(KeyframerTest, ParentNamesAreCutToTheBufferAndEmptyWithoutOne) {
    Chunk3ds* node = nullptr;
    InitChunkAs3ds(&node, OBJECT_NODE_TAG);
    PutNodeHeader3ds("Child", 0, 0, "AVeryLongParentName", node);
    char small[6];
    GetParentName3ds(node, small, sizeof small);
    EXPECT_STREQ(small, "AVery");
    Chunk3ds* orphan = nullptr;
    InitChunkAs3ds(&orphan, OBJECT_NODE_TAG);
    PutNodeHeader3ds("Orphan", 0, 0, "", orphan);
    GetParentName3ds(orphan, small, sizeof small);
    EXPECT_STREQ(small, "");
    EXPECT_EQ(ChildTags(orphan->children), std::vector<std::uint32_t>{});
    ReleaseChunk3ds(&node);
    ReleaseChunk3ds(&orphan);
    EXPECT_FALSE(FtkErrorPending);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::ftktest
