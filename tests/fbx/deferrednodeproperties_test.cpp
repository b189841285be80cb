// Nodes make their properties when first needed: a model read with no
// properties of its own makes none, and is written as it would be had it
// made them. (Files written from nodes never looked at are compared with
// those of nodes made at once by the deferred default take's tests.)
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>
#include <fbxfilesdk/scene/KFbxNull.h>

#include "Fbx6WriterSupport.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>

namespace fbxsdk_2006_11_1 {
namespace {

class DeferredNodePropertiesWriteTest : public writertest::WriterTest {
protected:
    std::string Written(const char* name) {
        const std::string path = mFolder / name;
        EXPECT_TRUE(Export(path, KFbxFileFormatRegistry::eFBX_ASCII_WRITER)) << mLastError;
        return fbx6test::RecordsOf(fbx6test::ReadText(path));
    }

    bool Import(const std::string& path, KFbxScene* scene) {
        KFbxImporter* importer = KFbxImporter::Create(mManager, "");
        const bool imported = importer->Initialize(path.c_str()) && importer->Import(scene);
        importer->Destroy();
        return imported;
    }
};

// Two minimal models, 8 below 7, in each of the two file versions.
const char* const kMinimalModels[] = {
    "; FBX 6.1.0 project file\nFBXHeaderExtension:  {\n\tFBXHeaderVersion: 1003\n\tFBXVersion: 6100\n}\n"
    "Objects:  {\n\tModel: \"Model::7\",\"Null\" { }\n\tModel: \"Model::8\",\"Null\" { }\n}\n"
    "Connections:  {\n\tConnect: \"OO\", \"Model::7\", \"Model::Scene\"\n"
    "\tConnect: \"OO\", \"Model::8\", \"Model::7\"\n}\n",
    "; FBX 5.8.0 project file\nFBXHeaderExtension:  {\n\tFBXHeaderVersion: 1003\n\tFBXVersion: 5800\n}\n"
    "Model: \"Model::7\" {\n\tChildren: \"Model::8\"\n}\nModel: \"Model::8\" { }\n"
    "Section: 5800\nSummary:  {\n\tVersion: 101\n}\n",
};

class MinimalModels : public DeferredNodePropertiesWriteTest, public ::testing::WithParamInterface<const char*> {};

TEST_P(MinimalModels, AMinimalModelIsReadWithoutMakingThem) {
    const std::string path = mFolder / "minimal.fbx";
    {
        std::ofstream file(path, std::ios::binary);
        file << GetParam();
    }
    ASSERT_TRUE(Import(path, mScene));
    KFbxNode* seven = mScene->GetRootNode()->FindChild("7", false);
    ASSERT_NE(seven, nullptr);
    KFbxNode* eight = seven->FindChild("8", false);
    ASSERT_NE(eight, nullptr);
    EXPECT_FALSE(seven->ArePropertiesMade());
    EXPECT_FALSE(eight->ArePropertiesMade());
    EXPECT_EQ(seven->GetNodeAttribute(), nullptr);
    EXPECT_TRUE(seven->GetVisibility());
    EXPECT_EQ(seven->GetPropertyCount(), eNodePropertyCount);

    // Written as read, and as it is once a getter made the properties.
    const std::string asRead = Written("as-read.fbx");
    seven->GetNodeProperty(eShow);
    eight->GetNodeProperty(eShow);
    EXPECT_NE(asRead.find("Model: \"Model::8\""), std::string::npos);
    EXPECT_EQ(asRead, Written("made.fbx"));
}

INSTANTIATE_TEST_SUITE_P(FileVersions, MinimalModels, ::testing::ValuesIn(kMinimalModels));

// Which models keep the attribute their type names when their record gives
// it no property: only the kinds with a meaning of their own do, and a null
// stays when its block sets one of its values.
struct BareModelCase {
    const char* mType;
    const char* mBody;
    int mAttributeType;  // -1: no attribute
};

const BareModelCase kBareModels[] = {
    {"Null", "", -1},
    {"Null", "\t\tProperties60:  {\n\t\t}\n", -1},
    {"Null", "\t\tProperties60:  {\n\t\t\tProperty: \"Lcl Translation\", \"Lcl Translation\", \"A+\",1,2,3\n\t\t}\n", -1},
    {"Null", "\t\tProperties60:  {\n\t\t\tProperty: \"Size\", \"double\", \"\",250\n\t\t}\n",
     KFbxNodeAttribute::eNULL},
    {"SomethingNew", "", -1},
    {"Limb", "\t\tTypeFlags: \"Skeleton\"\n", KFbxNodeAttribute::eSKELETON},
    {"Null", "\t\tTypeFlags: \"Skeleton\"\n", KFbxNodeAttribute::eSKELETON},
    {"Marker", "", KFbxNodeAttribute::eMARKER},
    {"Camera", "", KFbxNodeAttribute::eCAMERA},
    {"Light", "", KFbxNodeAttribute::eLIGHT},
    {"Mesh", "", KFbxNodeAttribute::eMESH},
};

TEST_F(DeferredNodePropertiesWriteTest, ABareModelKeepsAnAttributeOnlyWhereItsKindMeansOne) {
    int index = 0;
    for (const BareModelCase& bare : kBareModels) {
        const std::string path = mFolder / ("bare" + std::to_string(index++) + ".fbx");
        {
            std::ofstream file(path, std::ios::binary);
            file << "; FBX 6.1.0 project file\nFBXHeaderExtension:  {\n\tFBXVersion: 6100\n}\n"
                 << "Objects:  {\n\tModel: \"Model::bare\",\"" << bare.mType << "\" {\n"
                 << bare.mBody << "\t}\n}\nConnections:  {\n\tConnect: \"OO\", \"Model::bare\", \"Model::Scene\"\n}\n";
        }
        KFbxScene* scene = KFbxScene::Create(mManager, "");
        ASSERT_TRUE(Import(path, scene)) << bare.mType << bare.mBody;
        KFbxNode* node = scene->FindNodeByName(KString("bare"));
        ASSERT_NE(node, nullptr) << bare.mType << bare.mBody;
        KFbxNodeAttribute* attribute = node->GetNodeAttribute();
        EXPECT_EQ(attribute != nullptr ? attribute->GetAttributeType() : -1, bare.mAttributeType)
            << bare.mType << bare.mBody;
        EXPECT_EQ(node->GetNodeAttributeCount(), bare.mAttributeType < 0 ? 0 : 1) << bare.mType << bare.mBody;
        if (auto* null = dynamic_cast<KFbxNull*>(attribute)) {
            EXPECT_EQ(null->GetSize(), 250.0);
        }
        scene->Destroy(true);
    }
}

TEST_F(DeferredNodePropertiesWriteTest, AModelOfTheOlderFilesWithChannelsKeepsTheirValues) {
    const std::string path = mFolder / "channels.fbx";
    {
        std::ofstream file(path, std::ios::binary);
        file << "; FBX 5.8.0 project file\nFBXHeaderExtension:  {\n\tFBXHeaderVersion: 1003\n\tFBXVersion: 5800\n}\n"
                "Model: \"Model::moved\" {\n\tChannel: \"Transform\" {\n\t\tChannel: \"T\" {\n"
                "\t\t\tChannel: \"X\" {\n\t\t\t\tDefault: 2.5\n\t\t\t}\n\t\t}\n\t}\n}\n"
                "Model: \"Model::still\" { }\n"
                "Section: 5800\nSummary:  {\n\tVersion: 101\n}\n";
    }
    ASSERT_TRUE(Import(path, mScene));
    KFbxNode* moved = mScene->FindNodeByName(KString("moved"));
    KFbxNode* still = mScene->FindNodeByName(KString("still"));
    ASSERT_NE(moved, nullptr);
    ASSERT_NE(still, nullptr);
    EXPECT_TRUE(moved->ArePropertiesMade());
    EXPECT_FALSE(still->ArePropertiesMade());
    KFbxVector4 translation;
    moved->GetLclTranslation(translation);
    EXPECT_EQ(translation[0], 2.5);
    still->GetLclTranslation(translation);
    EXPECT_EQ(translation[0], 0.0);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
