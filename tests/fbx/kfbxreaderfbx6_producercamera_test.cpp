// Damaged files whose records contradict what the scene already holds.
#include "ReaderTestSupport.h"

#include <fbxfilesdk/scene/KFbxGlobalCameraSettings.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <string>

namespace fbxsdk_2006_11_1::readertest {
namespace {

// A producer camera record with the switcher type must neither hand the
// camera node to the scene as its switcher nor take another model's place
// in the list of nodes made by the reader (which, when empty, would shrink
// below nothing).
TEST_F(ReaderTest, ProducerCameraRecordWithSwitcherTypeKeepsNodesApart) {
    const std::string text =
        "; FBX 6.1.0 project file\n"
        "FBXHeaderExtension:  {\n\tFBXHeaderVersion: 1003\n\tFBXVersion: 6100\n}\n"
        "Objects:  {\n"
        "\tModel: \"Model::A\", \"Null\" {\n\t}\n"
        "\tModel: \"Model::Producer Perspective\", \"CameraSwitcher\" {\n\t}\n"
        "}\n";
    const std::string path = mFolder.Write("producer_switcher.fbx", text);
    KFbxScene* scene = KFbxScene::Create(mManager, "s");
    ASSERT_NE(scene, nullptr);
    KFbxNode* switcher = scene->GetCameraSwitcherNode();
    ASSERT_TRUE(Import(path, scene)) << mLastError;
    KFbxNode* camera =
        scene->GetGlobalCameraSettings().GetProducerCameraNode(KFbxGlobalCameraSettings::ePRODUCER_PERSPECTIVE);
    EXPECT_NE(camera, nullptr);
    EXPECT_NE(scene->GetCameraSwitcherNode(), camera);
    EXPECT_EQ(scene->GetCameraSwitcherNode(), switcher);
    EXPECT_STREQ(switcher->GetName(), "Camera Switcher");
    EXPECT_NE(mLastMessage.find("The model \"Model::Producer Perspective\" is left out: a camera switcher does not bear a "
                            "producer camera's name\n"),
              std::string::npos);
    // The unconnected model is still placed under the root.
    KFbxNode* node = scene->FindNodeByName(KString("A"));
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->GetParent(), scene->GetRootNode());
}

// Only the first model is a producer camera with the switcher type: the
// list of nodes made so far is empty when the record is read.
TEST_F(ReaderTest, ProducerCameraRecordWithSwitcherTypeAsFirstModelIsRead) {
    const std::string text =
        "; FBX 6.1.0 project file\n"
        "FBXHeaderExtension:  {\n\tFBXHeaderVersion: 1003\n\tFBXVersion: 6100\n}\n"
        "Objects:  {\n"
        "\tModel: \"Model::Producer Top\", \"CameraSwitcher\" {\n\t}\n"
        "\tModel: \"Model::B\", \"Null\" {\n\t}\n"
        "}\n";
    const std::string path = mFolder.Write("producer_switcher_first.fbx", text);
    KFbxScene* scene = KFbxScene::Create(mManager, "s");
    ASSERT_NE(scene, nullptr);
    ASSERT_TRUE(Import(path, scene)) << mLastError;
    KFbxNode* node = scene->FindNodeByName(KString("B"));
    ASSERT_NE(node, nullptr);
    EXPECT_EQ(node->GetParent(), scene->GetRootNode());
    EXPECT_EQ(scene->GetRootNode()->GetChildCount(), 1);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::readertest
