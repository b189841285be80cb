#include "Ftk3dsTestSupport.h"

#include <cstring>
#include <string>

namespace fbxsdk_2006_11_1::ftktest {
namespace {

class CameraLightTest : public Ftk3dsTest {
protected:
    void TearDown() override {
        ReleaseCamera3ds(&camera_);
        ReleaseCamera3ds(&readCamera_);
        ReleaseLight3ds(&light_);
        ReleaseLight3ds(&readLight_);
        ReleaseBackground3ds(&background_);
        ReleaseBackground3ds(&readBackground_);
        ReleaseDatabase3ds(&database_);
        ReleaseDatabase3ds(&read_);
        Ftk3dsTest::TearDown();
    }
    camera3ds* camera_ = nullptr;
    camera3ds* readCamera_ = nullptr;
    light3ds* light_ = nullptr;
    light3ds* readLight_ = nullptr;
    background3ds* background_ = nullptr;
    background3ds* readBackground_ = nullptr;
    database3ds* database_ = nullptr;
    database3ds* read_ = nullptr;
};

TEST_F(CameraLightTest, ACameraComesBackWithItsLensTurnedBackIntoAFieldOfView) {
    InitCamera3ds(&camera_);
    EXPECT_EQ(camera_->fov, 45.0f);
    EXPECT_EQ(camera_->farrange, 1000.0f);
    std::strcpy(camera_->name, "Camera0001");
    camera_->position = {1, -2, 3};
    camera_->target = {0, 0.5f, 0};
    camera_->roll = 15;
    camera_->showcone = 1;
    camera_->nearrange = 2;
    camera_->farrange = 500;
    database_ = NewMeshDatabase();
    PutCamera3ds(database_, camera_);
    PutCamera3ds(database_, camera_);
    ASSERT_FALSE(FtkErrorPending);
    read_ = WriteAndRead(database_);
    ASSERT_EQ(GetCameraCount3ds(read_), 1u);
    GetCameraByIndex3ds(read_, 0, &readCamera_);
    ASSERT_FALSE(FtkErrorPending);
    EXPECT_STREQ(readCamera_->name, "Camera0001");
    EXPECT_TRUE(SamePoint(readCamera_->position, camera_->position));
    EXPECT_TRUE(SamePoint(readCamera_->target, camera_->target));
    EXPECT_TRUE(SameBits(readCamera_->roll, 15));
    EXPECT_FLOAT_EQ(readCamera_->fov, 45.0f);
    EXPECT_EQ(readCamera_->showcone, 1);
    EXPECT_TRUE(SameBits(readCamera_->nearrange, 2));
    EXPECT_TRUE(SameBits(readCamera_->farrange, 500));
    GetCameraByIndex3ds(read_, 1, &readCamera_);
    EXPECT_STREQ(readCamera_->name, "Camera0001");
}

TEST_F(CameraLightTest, CamerasGoIntoMeshFilesOnly) {
    InitCamera3ds(&camera_);
    std::strcpy(camera_->name, "C");
    database_ = NewMeshDatabase(DatabaseProjectFile3ds);
    PutCamera3ds(database_, camera_);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_WRONG_DATABASE});
}

void FillLight(light3ds& light, const char* name) {
    std::strcpy(light.name, name);
    light.position = {10, 20, 30};
    light.color = {0.25f, 0.5f, 1.0f};
    light.multiplier = 2;
    light.off = 1;
    light.attenuate = 1;
    light.innerrange = 5;
    light.outerrange = 50;
    AddToStringList3ds(&light.exclude, "Box01");
    AddToStringList3ds(&light.exclude, "0123456789");
}

void ExpectSameLight(const light3ds& a, const light3ds& b) {
    EXPECT_STREQ(a.name, b.name);
    EXPECT_TRUE(SamePoint(a.position, b.position));
    EXPECT_TRUE(SameColor(a.color, b.color));
    EXPECT_TRUE(SameBits(a.multiplier, b.multiplier));
    EXPECT_EQ(a.off, b.off);
    EXPECT_EQ(a.attenuate, b.attenuate);
    EXPECT_TRUE(SameBits(a.innerrange, b.innerrange));
    EXPECT_TRUE(SameBits(a.outerrange, b.outerrange));
    ASSERT_EQ(a.exclude->count, b.exclude->count);
    for (std::uint32_t i = 0; i < a.exclude->count; ++i) EXPECT_STREQ(a.exclude->list[i], b.exclude->list[i]);
    ASSERT_EQ(a.spot == nullptr, b.spot == nullptr);
}

TEST_F(CameraLightTest, OmniLightsAndSpotlightsComeBackAndAreCountedApart) {
    InitLight3ds(&light_);
    FillLight(*light_, "Omni01");
    database_ = NewMeshDatabase();
    PutLight3ds(database_, light_);
    light3ds* spot = nullptr;
    InitSpotlight3ds(&spot);
    FillLight(*spot, "Spot01");
    spotlight3ds& s = *spot->spot;
    s.target = {1, 2, 3};
    s.hotspot = 30;
    s.falloff = 40;
    s.roll = 5;
    s.aspect = 1.5f;
    s.castshadows = 1;
    s.rayshadows = 1;
    s.localshadow = 1;
    s.shadowbias = 0.5f;
    s.shadowfilter = 2;
    s.shadowmapsize = 1024;
    s.raybias = 0.25f;
    s.rectangular = s.showcone = s.overshoot = s.projector = 1;
    s.projectorname = StrDup3ds("slide.tga");
    PutLight3ds(database_, spot);
    ASSERT_FALSE(FtkErrorPending) << RecordedErrors()[0];
    read_ = WriteAndRead(database_);
    EXPECT_EQ(GetOmnilightCount3ds(read_), 1u);
    EXPECT_EQ(GetSpotlightCount3ds(read_), 1u);
    GetOmnilightByIndex3ds(read_, 0, &readLight_);
    ExpectSameLight(*light_, *readLight_);
    GetSpotlightByIndex3ds(read_, 0, &readLight_);
    ASSERT_FALSE(FtkErrorPending);
    ExpectSameLight(*spot, *readLight_);
    const spotlight3ds& r = *readLight_->spot;
    EXPECT_TRUE(SamePoint(r.target, s.target));
    for (float spotlight3ds::*field : {&spotlight3ds::hotspot, &spotlight3ds::falloff, &spotlight3ds::roll,
                                       &spotlight3ds::aspect, &spotlight3ds::shadowbias, &spotlight3ds::shadowfilter,
                                       &spotlight3ds::raybias}) {
        EXPECT_TRUE(SameBits(r.*field, s.*field));
    }
    for (std::uint8_t spotlight3ds::*flag : {&spotlight3ds::castshadows, &spotlight3ds::rayshadows,
                                             &spotlight3ds::localshadow, &spotlight3ds::rectangular,
                                             &spotlight3ds::showcone, &spotlight3ds::overshoot,
                                             &spotlight3ds::projector}) {
        EXPECT_EQ(r.*flag, s.*flag);
    }
    EXPECT_EQ(r.shadowmapsize, 1024);
    EXPECT_STREQ(r.projectorname, "slide.tga");
    // An omni light read into a record that held a spotlight is an omni light.
    GetOmnilightByIndex3ds(read_, 0, &readLight_);
    EXPECT_EQ(readLight_->spot, nullptr);
    GetOmnilightByIndex3ds(read_, 1, &readLight_);
    EXPECT_STREQ(readLight_->name, "Omni01");
    ReleaseLight3ds(&spot);
}

TEST_F(CameraLightTest, ASpotWithTheDefaultAspectWritesNoneAndReadsTheDefault) {
    InitSpotlight3ds(&light_);
    std::strcpy(light_->name, "S");
    database_ = NewMeshDatabase();
    PutLight3ds(database_, light_);
    const std::string bytes = WriteImage(database_);
    EXPECT_EQ(bytes.find(Le16(DL_SPOT_ASPECT) + Le32(10)), std::string::npos);
    read_ = ReadImage(bytes);
    GetSpotlightByIndex3ds(read_, 0, &readLight_);
    ASSERT_NE(readLight_->spot, nullptr);
    EXPECT_EQ(readLight_->spot->aspect, 1.0f);
    EXPECT_EQ(readLight_->spot->hotspot, 44.0f);
}

TEST_F(CameraLightTest, AByteColouredLightReadsFractionsOf255) {
    const std::string light =
        Chunk(N_DIRECT_LIGHT, LeFloat(0) + LeFloat(0) + LeFloat(0) + Chunk(COLOR_24, std::string("\xFF\0\0", 3)));
    read_ = ReadImage(Chunk(M3DMAGIC, Chunk(MDATA, Chunk(NAMED_OBJECT, Text("Red") + light))));
    GetOmnilightByIndex3ds(read_, 0, &readLight_);
    ASSERT_FALSE(FtkErrorPending);
    EXPECT_TRUE(SameColor(readLight_->color, {1, 0, 0}));
    EXPECT_EQ(readLight_->exclude->count, 0u);
}

TEST_F(CameraLightTest, ExcludedNamesLongerThanAnObjectNameAreRefused) {
    InitLight3ds(&light_);
    std::strcpy(light_->name, "L");
    AddToStringList3ds(&light_->exclude, "01234567890");
    database_ = NewMeshDatabase();
    PutLight3ds(database_, light_);
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_STRING_TOO_LONG});
    EXPECT_EQ(GetOmnilightCount3ds(database_), 0u);
}

TEST_F(CameraLightTest, AGradientBackgroundComesBackAndNoBackgroundRemovesTheUseChunk) {
    InitBackground3ds(&background_);
    EXPECT_EQ(background_->gradientmidpoint, 0.5f);
    background_->bitmap = StrDup3ds("sky.tga");
    background_->solid = {0.1f, 0.2f, 0.3f};
    background_->gradientmidpoint = 0.25f;
    background_->gradient1 = {1, 0, 0};
    background_->gradient2 = {0, 1, 0};
    background_->gradient3 = {0, 0, 1};
    background_->used = BackgroundGradient3ds;
    database_ = NewMeshDatabase();
    PutBackground3ds(database_, background_);
    PutBackground3ds(database_, background_);
    ASSERT_FALSE(FtkErrorPending);
    read_ = WriteAndRead(database_);
    GetBackground3ds(read_, &readBackground_);
    ASSERT_FALSE(FtkErrorPending);
    EXPECT_STREQ(readBackground_->bitmap, "sky.tga");
    EXPECT_TRUE(SameColor(readBackground_->solid, background_->solid));
    EXPECT_TRUE(SameBits(readBackground_->gradientmidpoint, 0.25f));
    EXPECT_TRUE(SameColor(readBackground_->gradient1, background_->gradient1));
    EXPECT_TRUE(SameColor(readBackground_->gradient2, background_->gradient2));
    EXPECT_TRUE(SameColor(readBackground_->gradient3, background_->gradient3));
    EXPECT_EQ(readBackground_->used, BackgroundGradient3ds);

    const std::string withBitmap = Chunk(M3DMAGIC, Chunk(MDATA, Chunk(BIT_MAP, Text("old.tga")) + Chunk(USE_BIT_MAP)));
    ReleaseDatabase3ds(&read_);
    read_ = ReadImage(withBitmap, "bitmap.3ds");
    GetBackground3ds(read_, &readBackground_);
    EXPECT_EQ(readBackground_->used, BackgroundBitmap3ds);
    readBackground_->used = BackgroundNone3ds;
    PutBackground3ds(read_, readBackground_);
    const std::string bytes = WriteImage(read_, "nobitmap.3ds");
    EXPECT_EQ(bytes.find(Le16(USE_BIT_MAP) + Le32(6)), std::string::npos);
    EXPECT_NE(bytes.find(Chunk(BIT_MAP, Text("old.tga"))), std::string::npos);
}

TEST_F(CameraLightTest, ALinearSolidColourReplacesThePlainOne) {
    const std::string solid = Chunk(SOLID_BGND, Chunk(COLOR_F, LeFloat(1) + LeFloat(1) + LeFloat(1)) +
                                                    Chunk(LIN_COLOR_F, LeFloat(0.5f) + LeFloat(0) + LeFloat(0)));
    read_ = ReadImage(Chunk(M3DMAGIC, Chunk(MDATA, solid + Chunk(USE_SOLID_BGND))));
    GetBackground3ds(read_, &readBackground_);
    ASSERT_FALSE(FtkErrorPending);
    EXPECT_TRUE(SameColor(readBackground_->solid, {0.5f, 0, 0}));
    EXPECT_EQ(readBackground_->used, BackgroundSolid3ds);
    EXPECT_STREQ(readBackground_->bitmap, nullptr);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::ftktest
