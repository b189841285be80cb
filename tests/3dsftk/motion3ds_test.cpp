#include "Ftk3dsTestSupport.h"

#include <cstring>
#include <string>

namespace fbxsdk_2006_11_1::ftktest {
namespace {

template <class Value>
void FillTrack(kftrack3ds<Value>& track, Value first, Value second) {
    track.flags = 0x40;
    for (std::uint32_t i = 0; i < track.keycount; ++i) {
        track.keys[i].frame = 10 * i;
        track.keys[i].splineflags = i == 0 ? 0x01 : 0x18;
        if (i == 0) track.keys[i].tension = 0.5f;
        if (i != 0) track.keys[i].easeto = 1.0f;
        if (i != 0) track.keys[i].easefrom = 0.25f;
        track.values[i] = i == 0 ? first : second;
    }
}

template <class Track>
::testing::AssertionResult SameTrack(const Track& a, const Track& b) {
    if (a.keycount != b.keycount) return ::testing::AssertionFailure() << a.keycount << " keys != " << b.keycount;
    if (a.flags != b.flags) return ::testing::AssertionFailure() << "flags " << a.flags << " != " << b.flags;
    if (auto keys = SameArray(a.keys, b.keys, a.keycount); !keys) return keys;
    if constexpr (requires { a.values; }) return SameArray(a.values, b.values, a.keycount);
    return ::testing::AssertionSuccess();
}

class MotionTest : public Ftk3dsTest {
protected:
    void TearDown() override {
        ReleaseObjectMotion3ds(&object_);
        ReleaseObjectMotion3ds(&readObject_);
        ReleaseDatabase3ds(&database_);
        ReleaseDatabase3ds(&read_);
        Ftk3dsTest::TearDown();
    }
    kfmesh3ds* object_ = nullptr;
    kfmesh3ds* readObject_ = nullptr;
    database3ds* database_ = nullptr;
    database3ds* read_ = nullptr;
};

TEST_F(MotionTest, ObjectMotionComesBackWithEveryTrackAndItsParent) {
    database_ = NewMeshDatabase();
    kfmesh3ds* parent = nullptr;
    InitObjectMotion3ds(&parent, 1, 0, 0, 0, 0);
    std::strcpy(parent->name, "$$$DUMMY");
    std::strcpy(parent->instance, "Root");
    parent->boundmin = {-1, -1, -1};
    parent->boundmax = {1, 1, 1};
    FillTrack(parent->position, point3ds{0, 0, 0}, point3ds{});
    PutObjectMotion3ds(database_, parent);
    ReleaseObjectMotion3ds(&parent);

    InitObjectMotion3ds(&object_, 2, 2, 2, 2, 2);
    EXPECT_EQ(object_->morphsmooth, 24.0f);
    EXPECT_EQ(object_->scale.values[1].y, 1.0f);
    kfmesh3ds& m = *object_;
    std::strcpy(m.name, "Box01");
    std::strcpy(m.parent, "$$$DUMMY.Root");
    m.flags1 = 0x4000;
    m.flags2 = 0x0001;
    m.pivot = {1, 2, 3};
    m.morphsmooth = 30;
    FillTrack(m.position, point3ds{1, 2, 3}, point3ds{4, 5, 6});
    FillTrack(m.rotation, rotkey3ds{0.5f, 0, 0, 1}, rotkey3ds{-0.25f, 1, 0, 0});
    FillTrack(m.scale, point3ds{1, 1, 1}, point3ds{2, 2, 2});
    morphname3ds a{}, b{};
    std::strcpy(a.name, "Box01");
    std::strcpy(b.name, "012345678901");
    FillTrack(m.morph, a, b);
    m.hide.keys[1].frame = 5;
    PutObjectMotion3ds(database_, object_);
    ASSERT_FALSE(FtkErrorPending) << RecordedErrors()[0];

    read_ = WriteAndRead(database_);
    ASSERT_EQ(GetObjectNodeCount3ds(read_), 2u);
    GetObjectMotionByIndex3ds(read_, 0, &readObject_);
    EXPECT_STREQ(readObject_->name, "$$$DUMMY");
    EXPECT_STREQ(readObject_->instance, "Root");
    EXPECT_TRUE(SamePoint(readObject_->boundmax, {1, 1, 1}));
    EXPECT_STREQ(readObject_->parent, "");
    GetObjectMotionByIndex3ds(read_, 1, &readObject_);
    ASSERT_FALSE(FtkErrorPending);
    const kfmesh3ds& r = *readObject_;
    EXPECT_STREQ(r.name, "Box01");
    EXPECT_STREQ(r.parent, "$$$DUMMY.Root");
    EXPECT_EQ(r.flags1, 0x4000);
    EXPECT_EQ(r.flags2, 0x0001);
    EXPECT_TRUE(SamePoint(r.pivot, m.pivot));
    EXPECT_TRUE(SameBits(r.morphsmooth, 30));
    // Only a dummy keeps a bounding box.
    EXPECT_TRUE(SamePoint(r.boundmax, {0, 0, 0}));
    EXPECT_TRUE(SameTrack(m.position, r.position));
    EXPECT_TRUE(SameTrack(m.rotation, r.rotation));
    EXPECT_TRUE(SameTrack(m.scale, r.scale));
    EXPECT_TRUE(SameTrack(m.morph, r.morph));
    EXPECT_TRUE(SameTrack(m.hide, r.hide));
    // Past the last node nothing changes.
    GetObjectMotionByIndex3ds(read_, 2, &readObject_);
    EXPECT_STREQ(readObject_->name, "Box01");
}

TEST_F(MotionTest, DummiesWithDifferentInstancesStayApartAndTheSameOneIsReplaced) {
    database_ = NewMeshDatabase();
    InitObjectMotion3ds(&object_, 0, 0, 0, 0, 0);
    std::strcpy(object_->name, "$$$DUMMY");
    for (const char* instance : {"A", "B", "A"}) {
        std::strcpy(object_->instance, instance);
        PutObjectMotion3ds(database_, object_);
    }
    ASSERT_FALSE(FtkErrorPending);
    EXPECT_EQ(GetObjectNodeCount3ds(database_), 2u);
}

TEST_F(MotionTest, ResizingOneTrackLeavesTheOthers) {
    InitObjectMotion3ds(&object_, 2, 1, 0, 0, 0);
    object_->position.values[1] = {7, 7, 7};
    object_->rotation.values[0] = {1, 1, 1, 1};
    InitObjectMotion3ds(&object_, 0, 3, 0, 0, 0);
    EXPECT_EQ(object_->position.keycount, 2u);
    EXPECT_EQ(object_->position.values[1].x, 7.0f);
    ASSERT_EQ(object_->rotation.keycount, 3u);
    EXPECT_EQ(object_->rotation.values[0].angle, 0.0f);
    EXPECT_EQ(object_->rotation.keys[2].frame, 0u);
}

TEST_F(MotionTest, ATrackWithKeysButNoArraysIsNotWritten) {
    database_ = NewMeshDatabase();
    InitObjectMotion3ds(&object_, 0, 0, 0, 0, 0);
    std::strcpy(object_->name, "NoKeys");
    object_->position.keycount = 5;
    PutObjectMotion3ds(database_, object_);
    ASSERT_FALSE(FtkErrorPending);
    Chunk3ds* track = nullptr;
    FindChunk3ds(database_->topchunk, POS_TRACK_TAG, &track);
    EXPECT_EQ(track, nullptr);
}

TEST_F(MotionTest, ACameraAndItsTargetComeBackAndTheTargetCarriesTheCamerasName) {
    database_ = NewMeshDatabase();
    kfcamera3ds* camera = nullptr;
    InitCameraMotion3ds(&camera, 2, 1, 1, 2);
    EXPECT_EQ(camera->fov.values[0], 60.0f);
    std::strcpy(camera->name, "Cam01");
    std::strcpy(camera->targetparent, "Cam01");
    camera->targetflags1 = 3;
    FillTrack(camera->position, point3ds{0, -10, 0}, point3ds{0, -20, 0});
    FillTrack(camera->fov, 45.0f, 0.0f);
    FillTrack(camera->roll, 5.0f, 0.0f);
    FillTrack(camera->targetposition, point3ds{0, 0, 0}, point3ds{1, 1, 1});
    PutCameraMotion3ds(database_, camera);
    ASSERT_FALSE(FtkErrorPending) << RecordedErrors()[0];
    Chunk3ds* target = FindNodeTagByName3ds(database_, "Cam01", TARGET_NODE_TAG);
    ASSERT_NE(target, nullptr);
    Chunk3ds* kfdata = nullptr;
    FindChunk3ds(database_->topchunk, KFDATA, &kfdata);
    // The camera first, then its target, as other programs write and read them.
    EXPECT_EQ(ChildTags(kfdata), (std::vector<std::uint32_t>{KFHDR, CAMERA_NODE_TAG, TARGET_NODE_TAG}));

    read_ = WriteAndRead(database_);
    EXPECT_EQ(GetCameraNodeCount3ds(read_), 1u);
    kfcamera3ds* read = nullptr;
    GetCameraMotionByIndex3ds(read_, 0, &read);
    ASSERT_FALSE(FtkErrorPending);
    ASSERT_NE(read, nullptr);
    EXPECT_STREQ(read->name, "Cam01");
    EXPECT_STREQ(read->targetparent, "Cam01");
    EXPECT_EQ(read->targetflags1, 3);
    EXPECT_TRUE(SameTrack(camera->position, read->position));
    EXPECT_TRUE(SameTrack(camera->fov, read->fov));
    EXPECT_TRUE(SameTrack(camera->roll, read->roll));
    EXPECT_TRUE(SameTrack(camera->targetposition, read->targetposition));
    ReleaseCameraMotion3ds(&read);
    ReleaseCameraMotion3ds(&camera);
    database3ds* project = NewMeshDatabase(DatabaseProjectFile3ds);
    InitCameraMotion3ds(&camera, 0, 0, 0, 0);
    PutCameraMotion3ds(project, camera);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_WRONG_DATABASE});
    ReleaseCameraMotion3ds(&camera);
    ReleaseDatabase3ds(&project);
}

TEST_F(MotionTest, SpotlightAndOmniLightMotionComeBack) {
    database_ = NewMeshDatabase();
    kfspot3ds* spot = nullptr;
    InitSpotlightMotion3ds(&spot, 1, 1, 1, 1, 1, 1);
    EXPECT_EQ(spot->hotspot.values[0], 90.0f);
    std::strcpy(spot->name, "Spot");
    std::strcpy(spot->parent, "Omni");
    FillTrack(spot->color, point3ds{1, 0, 0}, point3ds{});
    FillTrack(spot->falloff, 50.0f, 0.0f);
    PutSpotlightMotion3ds(database_, spot);
    kfomni3ds* omni = nullptr;
    InitOmnilightMotion3ds(&omni, 1, 1);
    EXPECT_EQ(omni->color.values[0].y, 1.0f);
    std::strcpy(omni->name, "Omni");
    FillTrack(omni->position, point3ds{3, 3, 3}, point3ds{});
    PutOmnilightMotion3ds(database_, omni);
    ASSERT_FALSE(FtkErrorPending) << RecordedErrors()[0];

    read_ = WriteAndRead(database_);
    EXPECT_EQ(GetSpotlightNodeCount3ds(read_), 1u);
    EXPECT_EQ(GetOmnilightNodeCount3ds(read_), 1u);
    kfspot3ds* readSpot = nullptr;
    GetSpotlightMotionByIndex3ds(read_, 0, &readSpot);
    kfomni3ds* readOmni = nullptr;
    GetOmnilightMotionByIndex3ds(read_, 0, &readOmni);
    ASSERT_FALSE(FtkErrorPending);
    EXPECT_STREQ(readSpot->parent, "Omni");
    EXPECT_TRUE(SameTrack(spot->color, readSpot->color));
    EXPECT_TRUE(SameTrack(spot->falloff, readSpot->falloff));
    EXPECT_TRUE(SameTrack(spot->hotspot, readSpot->hotspot));
    EXPECT_TRUE(SameTrack(spot->targetposition, readSpot->targetposition));
    EXPECT_TRUE(SameTrack(omni->position, readOmni->position));
    EXPECT_TRUE(SameTrack(omni->color, readOmni->color));
    stringlist3ds* names = nullptr;
    GetOmnilightNodeNameList3ds(read_, &names);
    ASSERT_EQ(names->count, 1u);
    EXPECT_STREQ(names->list[0], "Omni");
    ReleaseStringList3ds(&names);
    ReleaseSpotlightMotion3ds(&spot);
    ReleaseSpotlightMotion3ds(&readSpot);
    ReleaseOmnilightMotion3ds(&omni);
    ReleaseOmnilightMotion3ds(&readOmni);
}

TEST_F(MotionTest, ANodeWithoutHeaderReadsEmptyNamesAndNoTracks) {
    read_ = ReadImage(Chunk(M3DMAGIC, Chunk(KFDATA, Chunk(OBJECT_NODE_TAG, Chunk(NODE_ID, Le16(0))))));
    ASSERT_FALSE(FtkErrorPending);
    Chunk3ds* node = nullptr;
    FindChunk3ds(read_->topchunk, OBJECT_NODE_TAG, &node);
    GetObjectMotion3ds(node, &readObject_);
    ASSERT_FALSE(FtkErrorPending);
    EXPECT_STREQ(readObject_->name, "");
    EXPECT_EQ(readObject_->position.keycount, 0u);
    EXPECT_EQ(readObject_->position.keys, nullptr);
    EXPECT_EQ(readObject_->morphsmooth, 0.0f);
}

TEST_F(MotionTest, NamesLongerThanTheFormatTakesAreRefused) {
    database_ = NewMeshDatabase();
    InitObjectMotion3ds(&object_, 0, 0, 0, 0, 0);
    std::strcpy(object_->name, "Box");
    std::strcpy(object_->instance, "ElevenChars");
    PutObjectMotion3ds(database_, object_);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_STRING_TOO_LONG});
    EXPECT_EQ(GetObjectNodeCount3ds(database_), 0u);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::ftktest
