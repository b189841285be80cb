// Video clips: defaults, file names and their "Path" property, the names a
// video hands to the textures and lights it feeds, clones that share nothing
// with their source, and the scene's list of videos.
#include <fbxfilesdk/core/KFbxObject_internal.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxVideo.h>

#include "scene/SceneObjectsTestSupport.h"

#include <string>

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::scenetest;

namespace {

class KFbxVideoTest : public SceneObjectTest {
protected:
    KFbxVideo* MakeVideo(const char* name = "clip") {
        KFbxVideo* video = KFbxVideo::Create(mManager, name);
        EXPECT_NE(video, nullptr);
        return video;
    }
};

TEST_F(KFbxVideoTest, NewVideoPlaysAtSpeedOneWithoutAFile) {
    KFbxVideo* video = MakeVideo();
    EXPECT_EQ(video->GetObjectTypeCode(), 5);
    EXPECT_STREQ(video->GetTypeName(), "Clip");
    // Made by class id, it has its own kind of twin.
    ASSERT_NE(video->GetInternalObject(), nullptr);
    EXPECT_EQ(video->GetInternalObject()->GetClassInfo(), &gKFbxVideo_internalClassInfo);
    KStringList flags;
    video->GetTypeFlags(flags);
    ASSERT_EQ(flags.GetCount(), 1);
    EXPECT_STREQ(flags.GetStringAt(0), "Clip");
    EXPECT_DOUBLE_EQ(video->GetPlaySpeed(), 1.0);
    EXPECT_DOUBLE_EQ(video->GetFrameRate(), 0.0);
    EXPECT_EQ(video->GetLastFrame(), 0);
    EXPECT_EQ(video->GetWidth(), 0);
    EXPECT_EQ(video->GetOffset().Get(), 0);
    EXPECT_EQ(video->GetInterlaceMode(), KFbxVideo::eDISK);
    EXPECT_EQ(video->GetAccessMode(), KFbxVideo::eNONE);
    EXPECT_FALSE(video->GetLoop());
    EXPECT_EQ(video->GetFileName(), nullptr);
    EXPECT_TRUE(video->Path.Get().IsEmpty());
    EXPECT_STREQ(video->GetRelativeFileName(), "");
    EXPECT_STREQ(video->GetOriginalFilename(), "");
    EXPECT_FALSE(video->GetUseMipMap());
    EXPECT_TRUE(video->GetOriginalFormat());
    EXPECT_EQ(video->GetTakeNodeCount(), 1);
    EXPECT_STREQ(video->GetTakeNodeName(0), "Default");
}

TEST_F(KFbxVideoTest, EnumerationTextsAreNotSwapped) {
    EXPECT_STREQ(KFbxVideo::GetAccessModeName(7), "Full Frame Odd/Even");
    EXPECT_EQ(KFbxVideo::GetAccessModeName(8), nullptr);
    EXPECT_STREQ(KFbxVideo::GetInterlaceModeName(2), "Disk Async");
    EXPECT_EQ(KFbxVideo::GetInterlaceModeName(3), nullptr);
    KFbxVideo* video = MakeVideo();
    EXPECT_STREQ(video->AccessMode.GetEnumValue(6), "Full Frame Even/Odd");
    EXPECT_EQ(video->InterlaceMode.GetEnumCount(), 3);
}

TEST_F(KFbxVideoTest, FileNamesRefuseEmptyAndFollowThePath) {
    KFbxVideo* video = MakeVideo();
    EXPECT_FALSE(video->SetFileName(nullptr));
    EXPECT_FALSE(video->SetFileName(""));
    EXPECT_EQ(video->GetFileName(), nullptr);
    EXPECT_TRUE(video->SetFileName("C:/media/sand.tga"));
    EXPECT_STREQ(video->GetFileName(), "C:/media/sand.tga");
    EXPECT_STREQ(video->Path.Get().Buffer(), "C:/media/sand.tga");
    EXPECT_TRUE(video->Path.Set(KString("other.tga")));
    EXPECT_STREQ(video->GetFileName(), "other.tga");

    EXPECT_FALSE(video->SetRelativeFileName(""));
    EXPECT_TRUE(video->SetRelativeFileName("media/sand.tga"));
    EXPECT_STREQ(video->GetRelativeFileName(), "media/sand.tga");

    // A long name replaces a short one whole.
    const KString longName(std::string(500, 'x').c_str());
    EXPECT_TRUE(video->SetFileName(longName.Buffer()));
    EXPECT_EQ(KString(video->GetFileName()), longName);
}

TEST_F(KFbxVideoTest, ConnectingToATextureHandsOverTheNames) {
    KFbxVideo* video = MakeVideo("SandClip");
    video->SetFileName("C:/media/sand.tga");
    video->SetRelativeFileName("media/sand.tga");
    KFbxTexture* texture = KFbxTexture::Create(mManager, "sand");
    ASSERT_NE(texture, nullptr);
    ASSERT_TRUE(texture->ConnectSrc(video));
    EXPECT_STREQ(texture->GetFileName(), "C:/media/sand.tga");
    EXPECT_STREQ(texture->GetRelativeFileName(), "media/sand.tga");
    EXPECT_STREQ(texture->GetMediaName(), "SandClip");

    // A new name follows; the same name again leaves the texture alone.
    EXPECT_TRUE(video->SetFileName("C:/media/rock.tga"));
    EXPECT_STREQ(texture->GetFileName(), "C:/media/rock.tga");
    texture->SetFileName("edited.tga");
    EXPECT_TRUE(video->SetFileName("C:/media/rock.tga"));
    EXPECT_STREQ(texture->GetFileName(), "edited.tga");
    EXPECT_TRUE(video->SetRelativeFileName("media/rock.tga"));
    EXPECT_STREQ(texture->GetRelativeFileName(), "media/rock.tga");

    // The property alone does not feed the texture.
    video->Path.Set(KString("path-only.tga"));
    EXPECT_STREQ(video->GetFileName(), "path-only.tga");
    EXPECT_STREQ(texture->GetFileName(), "edited.tga");
}

TEST_F(KFbxVideoTest, ANameFeedsOnlyTheFirstTexture) {
    KFbxVideo* video = MakeVideo();
    KFbxTexture* first = KFbxTexture::Create(mManager, "first");
    KFbxTexture* second = KFbxTexture::Create(mManager, "second");
    first->ConnectSrc(video);
    second->ConnectSrc(video);
    video->SetFileName("a.tga");
    EXPECT_STREQ(first->GetFileName(), "a.tga");
    EXPECT_STREQ(second->GetFileName(), "");
}

TEST_F(KFbxVideoTest, ConnectingToALightGivesItTheFileNameOnly) {
    KFbxVideo* video = MakeVideo("gobo");
    video->SetFileName("gobo.tga");
    KFbxLight* light = KFbxLight::Create(mManager, "light");
    ASSERT_NE(light, nullptr);
    ASSERT_TRUE(light->ConnectSrc(video));
    EXPECT_STREQ(light->GetFileName(), "gobo.tga");
    EXPECT_STREQ(light->GetName(), "light");
}

TEST_F(KFbxVideoTest, CloneSharesNothingWithItsSource) {
    KFbxVideo* video = MakeVideo("clip");
    video->SetFileName("clip.avi");
    video->SetRelativeFileName("clip.avi");
    video->SetOriginalFilename("orig.avi");
    video->SetFrameRate(25.0);
    video->SetStopFrame(99);
    video->SetAccessMode(KFbxVideo::eFIELDS);
    video->SetUseMipMap(true);
    video->CreateTakeNode("Take 001");
    EXPECT_EQ(video->Clone(1), nullptr);
    KFbxVideo* copy = video->Clone(2);
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy->GetInternalObject(), video->GetInternalObject());
    EXPECT_STREQ(copy->GetName(), "clip");
    EXPECT_EQ(copy->GetTakeNodeCount(), 2);

    copy->SetFileName("changed.avi");
    EXPECT_STREQ(video->GetFileName(), "clip.avi");
    video->Destroy();
    // Everything the copy holds is its own.
    EXPECT_STREQ(copy->GetFileName(), "changed.avi");
    EXPECT_STREQ(copy->GetRelativeFileName(), "clip.avi");
    EXPECT_STREQ(copy->GetOriginalFilename(), "orig.avi");
    EXPECT_DOUBLE_EQ(copy->GetFrameRate(), 25.0);
    EXPECT_EQ(copy->GetStopFrame(), 99);
    EXPECT_EQ(copy->GetAccessMode(), KFbxVideo::eFIELDS);
    EXPECT_TRUE(copy->GetUseMipMap());
}

TEST_F(KFbxVideoTest, ResetKeepsNamesAndSettings) {
    KFbxVideo* video = MakeVideo();
    video->SetFileName("clip.avi");
    video->SetOriginalFilename("orig.avi");
    video->SetOriginalFormat(false);
    video->SetLoop(true);
    video->Reset();
    EXPECT_STREQ(video->GetFileName(), "clip.avi");
    EXPECT_STREQ(video->GetOriginalFilename(), "");
    EXPECT_TRUE(video->GetOriginalFormat());
    EXPECT_TRUE(video->GetLoop());
}

TEST_F(KFbxVideoTest, SceneListsItsVideos) {
    KFbxScene* scene = KFbxScene::Create(mManager, "scene");
    ASSERT_NE(scene, nullptr);
    EXPECT_EQ(scene->GetVideoCount(), 0);
    KFbxVideo* video = MakeVideo();
    scene->ConnectObject(video);
    EXPECT_EQ(scene->GetVideoCount(), 1);
    EXPECT_EQ(scene->GetVideo(0), video);
    EXPECT_EQ(scene->GetVideo(1), nullptr);
}

}  // namespace
