// A node's default take is made when first reached. Whatever reaches it late
// must find what an immediate take would hold by then: the written file of a
// scene whose nodes were never looked at equals, byte for byte, the one of a
// scene whose default takes were all reached at creation.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxNull.h>
#include <fbxfilesdk/scene/KFbxSkeleton.h>

#include "Fbx6WriterSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace fbxsdk_2006_11_1 {
namespace {

class DeferredDefaultTakeTest : public writertest::WriterTest {
protected:
    // Reached at once when early is set, else only by the export.
    KFbxNode* Make(const char* name, bool early) {
        KFbxNode* node = AddNode(name);
        if (early) {
            EXPECT_NE(node->GetDefaultTakeNode(), nullptr);
        }
        return node;
    }

    static KFbxProperty AddUserProperty(KFbxNode* node, const char* name, const KFbxDataType& type) {
        KFbxProperty property = KFbxProperty::Create(node, name, type, name);
        property.ModifyFlag(KFbxProperty::kUser | KFbxProperty::kAnimatable, true);
        node->PropertyAddToTakeNodes(property);
        return property;
    }

    // Nodes, attributes with channels of their own and user properties, with
    // values changed after creation; the records of the ascii files, FBX 6
    // then FBX 5 (which stores the default take's channels).
    std::string BuildAndWrite(bool early) {
        KFbxNode* plain = Make("plain", early);
        plain->SetLclTranslation(KFbxVector4(1.5, -2.0, 3.25, 1.0));
        plain->SetLclRotation(KFbxVector4(10.0, 20.0, 30.0, 1.0));
        plain->SetVisibility(false);

        KFbxNode* lit = Make("lit", early);
        KFbxLight* light = KFbxLight::Create(mManager, "light");
        lit->SetNodeAttribute(light);
        light->SetDefaultIntensity(42.0);

        KFbxNode* seeing = Make("seeing", early);
        KFbxCamera* camera = KFbxCamera::Create(mManager, "camera");
        seeing->SetNodeAttribute(camera);
        camera->SetDefaultFieldOfView(33.0);

        KFbxNode* custom = Make("custom", early);
        KFbxProperty speed = AddUserProperty(custom, "Speed", gKFbxDataTypeNumber);
        AddUserProperty(custom, "Tint", gKFbxDataTypeVector);
        AddUserProperty(custom, "Weights", gKFbxDataTypeVector4);
        // Its channel comes and goes before anyone looks.
        AddUserProperty(custom, "Gone", gKFbxDataTypeNumber).Destroy();
        const double value = 7.5;
        speed.Set(&value, eFbxValueDouble);
        custom->SetLclScaling(KFbxVector4(2.0, 2.0, 2.0, 1.0));
        // Made animatable after the node: an immediate take had no channel for it.
        KFbxProperty offset = custom->FindProperty("RotationOffset");
        offset.ModifyFlag(KFbxProperty::kAnimatable, true);
        const fbxDouble3 shifted(1.0, 2.0, 3.0);
        offset.Set(&shifted, eFbxValueDouble3);

        KFbxNode* null = Make("null", early);
        null->SetNodeAttribute(KFbxNull::Create(mManager, "null"));
        KFbxNode* bone = Make("bone", early);
        bone->SetNodeAttribute(KFbxSkeleton::Create(mManager, "bone"));
        bone->SetLclRotation(KFbxVector4(0.0, 90.0, 0.0, 1.0));
        KFbxNode* shaped = Make("shaped", early);
        shaped->SetNodeAttribute(KFbxMesh::Create(mManager, "mesh"));

        // A clone copies the takes of a node nobody reached.
        KFbxNode* clone = plain->Clone(2);
        EXPECT_NE(clone, nullptr);
        if (clone != nullptr) {
            clone->SetName("clone");
            mScene->GetRootNode()->AddChild(clone);
        }

        std::string records;
        for (const int format : {KFbxFileFormatRegistry::eFBX_ASCII_WRITER, KFbxFileFormatRegistry::eFBX5_ASCII_WRITER}) {
            const std::string path = mFolder / ((early ? "early" : "late") + std::to_string(format) + ".fbx");
            EXPECT_TRUE(Export(path, format)) << mLastError;
            records += fbx6test::RecordsOf(fbx6test::ReadText(path));
        }
        return records;
    }
};

TEST_F(DeferredDefaultTakeTest, LateTakesWriteAsImmediateOnes) {
    const std::string late = BuildAndWrite(false);
    mScene->Destroy(true);
    mScene = KFbxScene::Create(mManager, "scene");
    const std::string early = BuildAndWrite(true);
    for (const char* channel : {"Channel: \"Speed\"", "Channel: \"Weights\"", "Channel: \"Intensity\""}) {
        EXPECT_NE(late.find(channel), std::string::npos) << channel;
    }
    EXPECT_EQ(late, early);
}

TEST_F(DeferredDefaultTakeTest, UnreachedTakeAnswersByName) {
    KFbxNode* node = KFbxNode::Create(mManager, "node");
    EXPECT_EQ(node->GetTakeNodeCount(), 1);
    EXPECT_STREQ(node->GetTakeNodeName(0), "Default");
    EXPECT_EQ(node->GetCurrentTakeNodeIndex(), 0);
    EXPECT_TRUE(node->SetCurrentTakeNodeByName("Default"));
    EXPECT_FALSE(node->SetCurrentTakeNodeByName("Take 001"));
    EXPECT_EQ(node->GetCurrentTakeNodeIndex(), 0);
    EXPECT_EQ(node->GetTakeNodeName(1), nullptr);
    node->Destroy();
}

// A take made from the default one copies the late channels, with the values
// set before; the default take's curves are linked to the properties.
TEST_F(DeferredDefaultTakeTest, LateTakeIsCopiedAndLinked) {
    KFbxNode* node = KFbxNode::Create(mManager, "node");
    node->SetLclTranslation(KFbxVector4(4.0, 5.0, 6.0, 1.0));
    KFbxTakeNode* take = node->CreateTakeNode("Take 001");
    ASSERT_NE(take, nullptr);
    ASSERT_EQ(node->GetTakeNodeCount(), 2);
    ASSERT_NE(take->GetTranslationY(), nullptr);
    EXPECT_FLOAT_EQ(take->GetTranslationY()->GetValue(), 5.0f);
    EXPECT_GT(node->GetPropertyLinkCount(), 0);

    KFbxTakeNode* defaults = node->GetDefaultTakeNode();
    ASSERT_NE(defaults, nullptr);
    defaults->GetTranslationZ()->SetValue(9.0f);
    KFbxVector4 translation;
    node->GetLclTranslation(translation);
    EXPECT_DOUBLE_EQ(translation[2], 9.0);
    node->Destroy();
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
