// The FBX 5 reader reads back what the FBX 5 writer writes, binary and
// ascii, through the importer, and refuses what it must refuse with its
// own message.
#include <fbxfilesdk/fbx/KFbxReaderFbx.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxCharacterPose.h>
#include <fbxfilesdk/scene/KFbxLight.h>

#include "RichScene.h"
#include "ReaderTestSupport.h"
#include "SceneComparison.h"

namespace fbxsdk_2006_11_1::readertest {
namespace {

using scenecompare::SceneComparison;

inline constexpr int kFbx5WriterFormats[] = {KFbxFileFormatRegistry::eFBX5_BINARY_WRITER,
                                             KFbxFileFormatRegistry::eFBX5_ASCII_WRITER};

std::string Fbx5FormatName(const ::testing::TestParamInfo<int>& info) {
    return info.param == KFbxFileFormatRegistry::eFBX5_BINARY_WRITER ? "Binary" : "Ascii";
}

class Fbx5RoundTrip : public ReaderTest, public ::testing::WithParamInterface<int> {
protected:
    // The rich scene with what the FBX 5 writer adds to it in its own tests:
    // a second camera, a character, a character pose and a light with a gobo.
    KFbxScene* BuildFullScene() {
        KFbxScene* scene = richscene::Build(mManager, mFolder.Path().string());
        KFbxNode* viewer = KFbxNode::Create(mManager, "Viewer");
        viewer->SetNodeAttribute(KFbxCamera::Create(mManager, ""));
        scene->GetRootNode()->AddChild(viewer);
        scene->CreateCharacter("Hero");
        const int poseIndex = scene->CreateCharacterPose("Stance");
        scene->GetCharacterPose(poseIndex)->GetPoseScene()->GetRootNode()->AddChild(KFbxNode::Create(mManager, "Pose"));
        KFbxLight* light = KFbxLight::Create(mManager, "");
        light->SetFileName("gobo.tga");
        KFbxNode* spot = KFbxNode::Create(mManager, "Spot");
        spot->SetNodeAttribute(light);
        scene->GetRootNode()->AddChild(spot);
        return scene;
    }
};

TEST_P(Fbx5RoundTrip, ReadsBackTheSceneItWrote) {
    KFbxScene* source = BuildFullScene();
    const std::string path = Path("full.fbx");
    ASSERT_TRUE(Export(source, path, GetParam()));
    KFbxScene* read = KFbxScene::Create(mManager, "read");
    ASSERT_TRUE(Import(path, read)) << mLastError;
    const std::vector<std::string> differences = SceneComparison::Compare(*source, *read);
    EXPECT_TRUE(differences.empty()) << SceneComparison::Join(differences);
}

INSTANTIATE_TEST_SUITE_P(Modes, Fbx5RoundTrip, ::testing::ValuesIn(kFbx5WriterFormats), Fbx5FormatName);

}  // namespace
}  // namespace fbxsdk_2006_11_1::readertest
