// Files the FBX readers do not read: a version neither reader reads, and a
// file of a version they read that holds no section they know. Both are
// refused, never read as an empty scene reported as success. Values the
// scene cannot hold are read as their defaults.
#include "ReaderTestSupport.h"

#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <string>

namespace fbxsdk_2006_11_1::readertest {
namespace {

class FbxFileKinds : public ReaderTest {
protected:
    // Imports the ascii text into a scene that holds one marker node; a
    // refused file leaves the scene as it was.
    bool ImportText(const std::string& text) {
        KFbxScene* scene = KFbxScene::Create(mManager, "");
        scene->GetRootNode()->AddChild(KFbxNode::Create(mManager, "Marker"));
        const bool imported = Import(mFolder.Write("file.fbx", text), scene);
        if (!imported) {
            EXPECT_EQ(scene->GetRootNode()->GetChildCount(), 1) << text;
        }
        scene->Destroy(true);
        return imported;
    }

    static std::string Header(int version) {
        return "; FBX project file\nFBXHeaderExtension:  {\n\tFBXHeaderVersion: 1003\n\tFBXVersion: " +
               std::to_string(version) + "\n}\n";
    }
};

TEST_F(FbxFileKinds, AVersionNoReaderReadsIsRefusedByItsNumber) {
    for (int version : {7100, 4000, 9999, 1}) {
        EXPECT_FALSE(ImportText(Header(version) + "Objects:  {\n}\nTakes:  {\n}\n")) << version;
        EXPECT_TRUE(mLastErrorId == KFbxIO::eFILE_VERSION_NOT_SUPPORTED_YET ||
                    mLastErrorId == KFbxIO::eFILE_VERSION_NOT_SUPPORTED_ANYMORE)
            << version << ": " << mLastError;
        EXPECT_NE(mLastError.find(std::to_string(version)), std::string::npos) << mLastError;
    }
}

TEST_F(FbxFileKinds, AFileWithNoSectionTheReaderKnowsIsRefused) {
    for (int version : {6100, 5800}) {
        for (const std::string& body : {std::string(), std::string("Unknown:  {\n\tA: 1\n}\nOther: 2\n")}) {
            EXPECT_FALSE(ImportText(Header(version) + body)) << version << body;
            EXPECT_EQ(mLastErrorId, KFbxIO::eFILE_CORRUPTED) << version << ": " << mLastError;
            EXPECT_NE(mLastError.find("no section"), std::string::npos) << mLastError;
        }
    }
}

TEST_F(FbxFileKinds, FilesOfEitherVersionWithASectionStillRead) {
    EXPECT_TRUE(ImportText(Header(6100) + "Objects:  {\n}\n")) << mLastError;
    EXPECT_TRUE(ImportText(Header(6100) + "Takes:  {\n\tCurrent: \"\"\n}\n")) << mLastError;
    // An ascii file of the older version ends with its summary: one without
    // is cut short.
    const std::string summary = "Section: 5800\nSummary:  {\n\tVersion: 101\n}\n";
    for (const std::string& body : {std::string("Takes:  {\n\tCurrent: \"\"\n}\n"),
                                     std::string("Model: \"Box\" {\n\tType: \"Null\"\n}\n")}) {
        EXPECT_TRUE(ImportText(Header(5800) + body + summary)) << mLastError;
        EXPECT_FALSE(ImportText(Header(5800) + body)) << body;
        EXPECT_EQ(mLastError, "File is corrupted (the file is cut short)");
    }
    // Every file our writers make for an empty scene.
    KFbxScene* empty = KFbxScene::Create(mManager, "empty");
    for (int format : {KFbxFileFormatRegistry::eFBX_BINARY_WRITER, KFbxFileFormatRegistry::eFBX_ASCII_WRITER,
                       KFbxFileFormatRegistry::eFBX5_BINARY_WRITER, KFbxFileFormatRegistry::eFBX5_ASCII_WRITER}) {
        const std::string path = Path("empty.fbx");
        ASSERT_TRUE(Export(empty, path, format));
        KFbxScene* read = KFbxScene::Create(mManager, "read");
        EXPECT_TRUE(Import(path, read)) << format << ": " << mLastError;
        read->Destroy(true);
    }
    empty->Destroy(true);
}

// A value outside an enum property's enumeration reads as the default, with
// a warning: code that switches or indexes on it (the node transform on a
// rotation order) only ever sees a value of the enumeration.
TEST_F(ReaderTest, EnumValuesOutsideTheirEnumerationReadAsTheDefault) {
    for (const char* order : {"7", "2147483647", "-1"}) {
        const std::string text = std::string("FBXHeaderExtension:  {\n\tFBXVersion: 6100\n}\n") +
                                 "Objects:  {\n\tModel: \"Model::Turned\", \"Null\" {\n\t\tProperties60:  {\n" +
                                 "\t\t\tProperty: \"RotationOrder\", \"enum\", \"\"," + order + "\n" +
                                 "\t\t\tProperty: \"Lcl Rotation\", \"Lcl Rotation\", \"A+\",30,40,50\n" +
                                 "\t\t}\n\t}\n}\n" +
                                 "Connections:  {\n\tConnect: \"OO\", \"Model::Turned\", \"Model::Scene\"\n}\n";
        KFbxScene* scene = KFbxScene::Create(mManager, "");
        KFbxImporter* importer = KFbxImporter::Create(mManager, "");
        ASSERT_TRUE(importer->Initialize(mFolder.Write("order.fbx", text).c_str()));
        EXPECT_TRUE(importer->Import(scene)) << importer->GetLastErrorString();
        KString message;
        importer->GetMessageText(message);
        importer->Destroy();
        EXPECT_NE(std::string(message.Buffer()).find("RotationOrder"), std::string::npos) << message.Buffer();
        KFbxNode* node = scene->FindNodeByName(KString("Turned"));
        ASSERT_NE(node, nullptr) << order;
        int stored = -1;
        node->FindProperty("RotationOrder").Get(&stored, eFbxValueEnum);
        EXPECT_EQ(stored, 0) << order;
        KFbxNode::ERotationOrder read = KFbxNode::eSPHERIC_XYZ;
        node->GetRotationOrder(KFbxNode::eSOURCE_SET, read);
        EXPECT_EQ(read, KFbxNode::eEULER_XYZ) << order;
        node->EvaluateDefaultGlobalTransform();
        scene->Destroy(true);
    }
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::readertest
