// The FBX 6 writer's records of scene-wide data that live outside the
// object records: the videos made for texture and gobo files, the shadow
// planes of the light settings and the thumbnails of the takes; each read
// back by the FBX 6 reader.
#include <fbxfilesdk/core/KFbxPath.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxGlobalLightSettings.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>
#include <fbxfilesdk/scene/KFbxThumbnail.h>
#include <fbxfilesdk/scene/KFbxVideo.h>

#include "Fbx6WriterSupport.h"
#include "ReaderTestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>

namespace fbxsdk_2006_11_1 {
namespace {

using fbx6test::Fbx6WriterTest;
using fbx6test::ReadText;
using readertest::kFbx6WriterFormats;
using readertest::ReaderTest;
using readertest::WriterFormatName;

// ---- videos for texture and gobo files ----

class SceneVideosTest : public Fbx6WriterTest {
protected:
    KFbxTexture* AddTexture(const char* name, const char* file, const char* media = nullptr) {
        KFbxTexture* texture = KFbxTexture::Create(mManager, name);
        if (file != nullptr) texture->SetFileName(file);
        if (media != nullptr) texture->SetMediaName(media);
        mScene->ConnectObject(texture);
        return texture;
    }
    KFbxVideo* VideoOfFile(const char* file) const {
        for (int i = 0; i < mScene->GetVideoCount(); ++i) {
            const char* shown = mScene->GetVideo(i)->GetFileName();
            if (shown != nullptr && std::string(shown) == file) return mScene->GetVideo(i);
        }
        return nullptr;
    }
};

TEST_F(SceneVideosTest, EveryDistinctTextureFileGetsOneVideo) {
    KFbxTexture* wood = AddTexture("Wood", "/maps/wood.tga", "WoodClip");
    wood->SetRelativeFileName("maps/wood.tga");
    AddTexture("Stone", "/maps/stone.tga");
    AddTexture("MoreWood", "/maps/wood.tga", "OtherClip");
    AddTexture("Blank", nullptr);
    mScene->CreateVideosForTextures();

    // A single video for the scene would leave the stone's media out.
    ASSERT_EQ(mScene->GetVideoCount(), 2);
    KFbxVideo* woodVideo = VideoOfFile("/maps/wood.tga");
    ASSERT_NE(woodVideo, nullptr);
    EXPECT_STREQ(woodVideo->GetName(), "WoodClip");
    EXPECT_STREQ(woodVideo->GetRelativeFileName(), "maps/wood.tga");
    KFbxVideo* stoneVideo = VideoOfFile("/maps/stone.tga");
    ASSERT_NE(stoneVideo, nullptr);
    // Without a media name the texture's own name names the video.
    EXPECT_STREQ(stoneVideo->GetName(), "Stone");
    EXPECT_STREQ(stoneVideo->GetRelativeFileName(), "");

    // A second run finds every file shown already.
    mScene->CreateVideosForTextures();
    EXPECT_EQ(mScene->GetVideoCount(), 2);
}

TEST_F(SceneVideosTest, GoboFilesGetVideosNamedAfterTheFileWithARelativeName) {
    const std::filesystem::path before = std::filesystem::current_path();
    std::filesystem::current_path(mFolder.Path());
    KFbxLight* light = KFbxLight::Create(mManager, "Spot");
    AddNode("Lamp")->SetNodeAttribute(light);
    const std::string gobo = (mFolder.Path() / "maps" / "leaves.tga").string();
    light->SetFileName(gobo.c_str());
    KFbxLight* unlit = KFbxLight::Create(mManager, "Plain");
    AddNode("Bulb")->SetNodeAttribute(unlit);
    mScene->CreateVideosForTextures();
    std::filesystem::current_path(before);

    ASSERT_EQ(mScene->GetVideoCount(), 1);
    KFbxVideo* video = mScene->GetVideo(0);
    EXPECT_STREQ(video->GetFileName(), gobo.c_str());
    EXPECT_STREQ(video->GetName(), "leaves.tga");
    EXPECT_STREQ(KFbxCleanPath(KString(video->GetRelativeFileName())).Buffer(),
                 KFbxCleanPath(KString("maps/leaves.tga")).Buffer());
}

TEST_F(SceneVideosTest, AVideoOfTheSceneAlreadyShowingTheFileIsKept) {
    KFbxVideo* own = KFbxVideo::Create(mManager, "Mine");
    own->SetFileName("/maps/wood.tga");
    mScene->ConnectObject(own);
    AddTexture("Wood", "/maps/wood.tga", "WoodClip");
    mScene->CreateVideoForTexture(nullptr, nullptr, "None", "None", mManager);
    mScene->CreateVideoForTexture("", nullptr, "None", "None", mManager);
    mScene->CreateVideosForTextures();
    ASSERT_EQ(mScene->GetVideoCount(), 1);
    EXPECT_EQ(mScene->GetVideo(0), own);
}

TEST_F(SceneVideosTest, TheWriteStoresTheVideosAndLeavesTheSceneWithItsOwn) {
    KFbxVideo* own = KFbxVideo::Create(mManager, "Mine");
    own->SetFileName("/maps/own.tga");
    mScene->ConnectObject(own);
    AddTexture("Wood", "/maps/wood.tga", "WoodClip");
    KFbxStreamOptionsFbxWriter* options = KFbxStreamOptionsFbxWriter::Create(mManager, "");
    const std::string text =
        Write([&](KFbxWriterFbx6& writer) { EXPECT_TRUE(writer.Write(mScene, options, nullptr)); });
    options->Destroy();

    EXPECT_NE(text.find("ObjectType: \"Video\" {\n\t\tCount: 2\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Video: \"Video::WoodClip\",\"Clip\" {"), std::string::npos) << text;
    EXPECT_NE(text.find("Video: \"Video::Mine\",\"Clip\" {"), std::string::npos) << text;
    ASSERT_EQ(mScene->GetVideoCount(), 1);
    EXPECT_EQ(mScene->GetVideo(0), own);
}

// ---- shadow planes ----

KFbxShadowPlane Plane(double height, bool enable) {
    KFbxShadowPlane plane;
    plane.mEnable = enable;
    plane.mOrigin = KFbxVector4(1.0, height, -2.5, 1.0);
    plane.mNormal = KFbxVector4(0.0, 1.0, 0.0, 0.0);
    return plane;
}

using ShadowPlanesTest = Fbx6WriterTest;

TEST_F(ShadowPlanesTest, WithoutPlanesNothingIsWritten) {
    mScene->GetGlobalLightSettings().SetShadowEnable(true);
    EXPECT_EQ(WriteRecords([&](KFbxWriterFbx6& writer) { writer.WriteShadowPlanes(*mScene); }), "");
}

TEST_F(ShadowPlanesTest, PlanesRecordHoldsEveryPlaneAndTheShadowSwitch) {
    KFbxGlobalLightSettings& light = mScene->GetGlobalLightSettings();
    light.AddShadowPlane(Plane(0.0, true));
    light.AddShadowPlane(Plane(-3.0, false));
    light.SetShadowEnable(true);
    light.SetShadowIntensity(75.0);
    EXPECT_EQ(WriteRecords([&](KFbxWriterFbx6& writer) { writer.WriteShadowPlanes(*mScene); }),
              "ShadowPlanes:  {\n"
              "\t; Shadow Planes Section \n"
              "\t; ----------------------------------------------------\n"
              "\tVersion: 108\n"
              "\tCount: 2\n"
              "\tPlane: 1,0,-2.5,0,1,0,1\n"
              "\tPlane: 1,-3,-2.5,0,1,0,0\n"
              "\tUseShadow: 1\n"
              "\tShadowIntensity: 75\n"
              "}\n");
}

// Writes the scene in the file mode of the parameter and reads it into a new
// scene; null when either fails.
class SceneRoundTrip : public ReaderTest, public ::testing::WithParamInterface<int> {
protected:
    KFbxScene* RoundTrip(KFbxScene* source) {
        const std::string path = Path("roundtrip.fbx");
        KFbxScene* read = KFbxScene::Create(mManager, "read");
        const bool done = Export(source, path, GetParam()) && Import(path, read);
        EXPECT_TRUE(done) << mLastError;
        return done ? read : nullptr;
    }
};

using ShadowPlanesRoundTrip = SceneRoundTrip;

TEST_P(ShadowPlanesRoundTrip, PlanesComeBackInOrder) {
    KFbxScene* source = KFbxScene::Create(mManager, "source");
    KFbxGlobalLightSettings& light = source->GetGlobalLightSettings();
    light.AddShadowPlane(Plane(0.5, true));
    light.AddShadowPlane(Plane(-3.0, false));
    light.SetShadowEnable(true);
    light.SetShadowIntensity(40.0);
    KFbxScene* read = RoundTrip(source);
    ASSERT_NE(read, nullptr);

    KFbxGlobalLightSettings& back = read->GetGlobalLightSettings();
    ASSERT_EQ(back.GetShadowPlaneCount(), 2);
    EXPECT_TRUE(back.GetShadowPlane(0)->mEnable);
    EXPECT_EQ(back.GetShadowPlane(0)->mOrigin[1], 0.5);
    EXPECT_EQ(back.GetShadowPlane(0)->mOrigin[2], -2.5);
    EXPECT_EQ(back.GetShadowPlane(0)->mNormal[1], 1.0);
    EXPECT_FALSE(back.GetShadowPlane(1)->mEnable);
    EXPECT_EQ(back.GetShadowPlane(1)->mOrigin[1], -3.0);
    EXPECT_TRUE(back.GetShadowEnable());
    EXPECT_EQ(back.GetShadowIntensity(), 40.0);
}

INSTANTIATE_TEST_SUITE_P(Modes, ShadowPlanesRoundTrip, ::testing::ValuesIn(kFbx6WriterFormats), WriterFormatName);

// ---- take thumbnails ----

KFbxThumbnail* MakeThumbnail(KFbxSdkManager* manager, int format) {
    KFbxThumbnail* thumbnail = KFbxThumbnail::Create(manager, "");
    thumbnail->SetDataFormat(format);
    thumbnail->SetSize(KFbxThumbnail::e64x64);
    std::uint8_t* image = thumbnail->GetThumbnailImage();
    for (std::uint32_t i = 0; i < thumbnail->GetSizeInBytes(); ++i) {
        image[i] = static_cast<std::uint8_t>(i * 7 + 3);
    }
    return thumbnail;
}

// A take "Walk" on a node of the scene, with the thumbnail in its record.
void AddTakeWithThumbnail(KFbxScene& scene, KFbxSdkManager* manager, KFbxThumbnail* thumbnail) {
    KFbxNode* node = KFbxNode::Create(manager, "Walker");
    scene.GetRootNode()->AddChild(node);
    scene.GetRootNode()->CreateTakeNode("Walk");
    node->CreateTakeNode("Walk");
    KFbxTakeInfo info;
    info.mName = "Walk";
    info.mTakeThumbnail = thumbnail;
    ASSERT_TRUE(scene.SetTakeInfo(info));
}

using TakeThumbnailTest = Fbx6WriterTest;

TEST_F(TakeThumbnailTest, TakeRecordsOfBothSectionsCarryTheThumbnail) {
    AddTakeWithThumbnail(*mScene, mManager, MakeThumbnail(mManager, KFbxThumbnail::eRGB_24));
    KFbxStreamOptionsFbxWriter* options = KFbxStreamOptionsFbxWriter::Create(mManager, "");
    const std::string text =
        Write([&](KFbxWriterFbx6& writer) { EXPECT_TRUE(writer.Write(mScene, options, nullptr)); });
    options->Destroy();
    // The record's first fields, its own line indented by depth tabs.
    auto head = [](int depth) {
        const std::string in(static_cast<std::size_t>(depth) + 1, '\t');
        return std::string(static_cast<std::size_t>(depth), '\t') + "Thumbnail:  {\n" + in + "Version: 100\n" + in +
               "Format: 0\n" + in + "Size: 64\n" + in + "ImageEncoding: 0\n" + in + "ImageData: 3,10,17,";
    };
    const std::size_t inTakes = text.find("\nTakes:  {");
    const std::size_t inSummary = text.find("Summary:  {");
    ASSERT_NE(inTakes, std::string::npos);
    ASSERT_NE(inSummary, std::string::npos);
    EXPECT_NE(text.find(head(2), inTakes), std::string::npos) << text.substr(inTakes, 600);
    EXPECT_NE(text.find(head(3), inSummary), std::string::npos) << text.substr(inSummary, 900);
}

TEST_F(TakeThumbnailTest, ThumbnailWithoutSizeWritesNothing) {
    AddTakeWithThumbnail(*mScene, mManager, KFbxThumbnail::Create(mManager, ""));
    const std::string text = WriteRecords([&](KFbxWriterFbx6& writer) { EXPECT_TRUE(writer.WriteTakes(*mScene)); });
    EXPECT_EQ(text.find("Thumbnail"), std::string::npos) << text;
}

using TakeThumbnailRoundTrip = SceneRoundTrip;

TEST_P(TakeThumbnailRoundTrip, PixelsComeBackWithTheTake) {
    KFbxScene* source = KFbxScene::Create(mManager, "source");
    KFbxThumbnail* thumbnail = MakeThumbnail(mManager, KFbxThumbnail::eRGBA_32);
    AddTakeWithThumbnail(*source, mManager, thumbnail);
    KFbxScene* read = RoundTrip(source);
    ASSERT_NE(read, nullptr);

    const KFbxTakeInfo* info = read->GetTakeInfo("Walk");
    ASSERT_NE(info, nullptr);
    const KFbxThumbnail* back = info->mTakeThumbnail;
    ASSERT_NE(back, nullptr);
    EXPECT_NE(back, thumbnail);
    EXPECT_EQ(back->GetDataFormat(), KFbxThumbnail::eRGBA_32);
    EXPECT_EQ(back->GetSize(), KFbxThumbnail::e64x64);
    ASSERT_EQ(back->GetSizeInBytes(), 16384u);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(back->GetThumbnailImage()), back->GetSizeInBytes()),
              std::string(reinterpret_cast<const char*>(thumbnail->GetThumbnailImage()), 16384u));
}

TEST_P(TakeThumbnailRoundTrip, TakeWithoutThumbnailReadsBackWithNone) {
    KFbxScene* source = KFbxScene::Create(mManager, "source");
    AddTakeWithThumbnail(*source, mManager, nullptr);
    KFbxScene* read = RoundTrip(source);
    ASSERT_NE(read, nullptr);
    const KFbxTakeInfo* info = read->GetTakeInfo("Walk");
    ASSERT_NE(info, nullptr);
    EXPECT_EQ(info->mTakeThumbnail, nullptr);
}

INSTANTIATE_TEST_SUITE_P(Modes, TakeThumbnailRoundTrip, ::testing::ValuesIn(kFbx6WriterFormats), WriterFormatName);

}  // namespace
}  // namespace fbxsdk_2006_11_1
