// Damaged FBX 5 files: every truncation and every single-byte change of a
// small file, binary and ascii, is either refused with a status and the
// scene left as it was, or read into a scene without any access out of
// bounds (run under the sanitizers); counts in the file never make the
// reader allocate more than the file can fill.
#include "Fbx5SmallScene.h"
#include "DamagedFileTest.h"
#include "ReaderTestSupport.h"

#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>

#include <string>

namespace fbxsdk_2006_11_1::readertest {
namespace {

class DamagedFbx5Files : public DamagedFileTest {
protected:
    // The small scene, written without the settings every file may carry,
    // so that it stays small.
    std::string SmallFile() override {
        KFbxScene* scene = fbx5small::SmallScene(*mManager);
        KFbxStreamOptionsFbxWriter* options = KFbxStreamOptionsFbxWriter::Create(mManager, "");
        options->SetOption("GLOBAL SETTINGS", false);
        const std::string path = Path("small.fbx");
        EXPECT_TRUE(Export(scene, path, GetParam(), options));
        options->Destroy();
        scene->Destroy(true);

        // The file is whole and reads as the scene it describes.
        KFbxScene* check = KFbxScene::Create(mManager, "check");
        EXPECT_TRUE(Import(path, check)) << mLastError;
        KFbxNode* read = check->FindNodeByName(KString("Tri"));
        EXPECT_NE(read, nullptr);
        if (read != nullptr) {
            auto* readMesh = dynamic_cast<KFbxMesh*>(read->GetNodeAttribute());
            EXPECT_TRUE(readMesh != nullptr && readMesh->GetPolygonCount() == 1);
            EXPECT_TRUE(readMesh != nullptr && readMesh->GetDeformerCount(KFbxDeformer::eSKIN) == 1);
            EXPECT_EQ(read->GetSrcObjectCount(KFbxSurfaceMaterial::ClassId), 1);
            EXPECT_EQ(read->GetSrcObjectCount(KFbxTexture::ClassId), 1);
        }
        EXPECT_NE(check->GetTakeInfo(KString("Move")), nullptr);
        EXPECT_EQ(check->GetCharacterPoseCount(), 1);
        check->Destroy(true);
        return mFolder.Read("small.fbx");
    }

};

TEST_P(DamagedFbx5Files, EveryTruncationIsHandled) {
    ImportEveryTruncation();
}

TEST_P(DamagedFbx5Files, EverySingleByteChangeIsHandled) {
    ImportEverySingleByteChange();
}

TEST_P(DamagedFbx5Files, ImportsLeaveNothingBehind) {
    ExpectImportsLeaveNothingBehind();
}

TEST_P(DamagedFbx5Files, AFileSavedAnewBetweenInitializeAndImportIsReadAsSeenOrRefused) {
    ImportSavedAnewAfterInitialize();
}

INSTANTIATE_TEST_SUITE_P(Modes, DamagedFbx5Files, ::testing::ValuesIn(kFbx5WriterFormats), Fbx5FormatName);

// Counts and indices that name far more than the file holds, or nothing:
// the read makes only what the file's values fill and keeps every index in
// bounds.
TEST_F(ReaderTest, Fbx5CountsAndIndicesBeyondTheFileAreHarmless) {
    const std::string text =
        "; FBX 5.8.0 project file\n"
        "FBXHeaderExtension:  {\n\tFBXHeaderVersion: 1003\n\tFBXVersion: 5800\n}\n"
        "Model: \"Model::A\" {\n"
        "\tVertices: 0,0,0,1,0,0,0,1\n"
        "\tPolygonVertexIndex: 0,1,-3,7,-2147483648\n"
        "\tPolygonGroup: 5\n"
        "\tNormals: 1,2\n"
        "\tMaterial: \"Material::M\" {\n\t\tDiffuse: 1\n\t}\n"
        "\tMaterialAssignation: \"ByPolygon\"\n"
        "\tMaterials: 2000000000,-5,0\n"
        "\tTexture: \"Texture::T\" {\n\t\tMedia: \"none\"\n\t\tCropping: 1\n\t\tWrapU: 7\n\t\tBlendMode: 99\n"
        "\t\tMaterialMode: -3\n\t}\n"
        "\tTextureCounts: 2000000000,-3\n"
        "\tTextureMode: \"ByPolygon\"\n"
        "\tTextureId: 99,-1\n"
        "\tGeometryUVInfo:  {\n\t\tMappingInformationType: \"ByPolygon\"\n\t\tTextureUV: 1\n"
        "\t\tTextureUVVerticeIndex: 40,-7\n\t}\n"
        "\tVertexColorInfo:  {\n\t\tMappingInformationType: \"ByVertice\"\n\t\tColors: 1,2,3\n\t\tColorIndex: 9\n\t}\n"
        "\tGeometryLayer:  {\n\t\tLayerIndex: 2000000000\n\t}\n"
        "\tGeometryLayer:  {\n\t\tLayerIndex: 1\n\t\tLayerTextureInfo:  {\n\t\t\tTextureMode: 6\n"
        "\t\t\tTextureBlendMode: 42\n\t\t\tTextureIdCount: 2000000000\n\t\t\tTextureId: 5,-9\n\t\t\tUVMode: 8\n\t\t\tUVCount: 2000000000\n"
        "\t\t\tUV: 1,2,3\n\t\t\tUVIdCount: 2000000000\n\t\t\tUVId: 4\n\t\t}\n\t}\n"
        "\tLink: \"Model::Nobody\" {\n\t\tIndexes: 1,2,3\n\t\tWeights: 1\n\t\tTransform: 1,2\n"
        "\t\tAssociateModel: \"Model::A\" {\n\t\t\tTransform: 1\n\t\t}\n\t}\n"
        "\tShape: \"S\" {\n\t\tIndexes: 7,-3\n\t\tVertices: 1\n\t}\n"
        "\tUserProperty:  {\n\t\tName: \"Bad\"\n\t\tType: \"NoSuchType\"\n\t}\n"
        "\tLimits:  {\n\t\tRAuto: 0\n\t\tREnable: 1\n\t\tRXMin: 1\n\t\tRType: 3\n\t\tAxisLen: 2\n\t}\n"
        "\tChildren: \"Model::A\",\"Model::B\",\"Model::Missing\"\n"
        "}\n"
        "Model: \"Model::B\" {\n\tType: \"Camera\"\n\tType: 7\n\tFormatName: \"Nothing\"\n\tCameraAperture: 1\n"
        "\tChildren: \"Model::A\"\n\tLookAtModel: \"Model::B\"\n\tAspectType: 99\n\tSafeAreaStyle: -2\n}\n"
        "GoboManager:  {\n\tLightGobo: \"Model::B\",\"gobo-9\"\n\tGobo:  {\n\t\tDrawComponent: 1\n\t}\n}\n"
        "CHARACTER:  {\n\tCONSTRAINT: \"Character::H\"\n\tREFERENCE:  {\n\t\tMODEL: \"Model::Missing\"\n\t}\n}\n"
        "SceneGenericPersistence:  {\n\tPose: \"Pose::Q\" {\n\t\tPoseScene:  {\n\t\t\tPose: \"Pose::R\" {\n"
        "\t\t\t\tPoseScene: 1\n\t\t\t}\n\t\t}\n\t}\n\tPose: \"Pose::P\" {\n\t\tNbPoseNodes: 2000000000\n"
        "\t\tPoseNode:  {\n\t\t\tNode: \"Model::Nobody\"\n\t\t\tMatrix: 1\n\t\t}\n\t}\n}\n"
        "Settings:  {\n\tCamera: \"Producer Top\" {\n\t\tPosition: 1\n\t}\n\tTimeMarker: \"M\" {\n\t}\n"
        "\tReferenceTimeIndex: 2000000000\n}\n"
        "Takes:  {\n\tTake: \"T\" {\n\t\tModel: \"Model::Nobody\" {\n\t\t}\n\t}\n}\n"
        "Section: 5800\nSummary:  {\n\tVersion: 101\n}\n";
    KFbxScene* scene = KFbxScene::Create(mManager, "scene");
    ASSERT_TRUE(Import(mFolder.Write("strange.fbx", text), scene)) << mLastError;
    KFbxNode* a = scene->FindNodeByName(KString("A"));
    ASSERT_NE(a, nullptr);
    auto* mesh = dynamic_cast<KFbxMesh*>(a->GetNodeAttribute());
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(mesh->GetControlPointsCount(), 2);
    // A node listed as its parent's child and as its own is placed once.
    KFbxNode* b = scene->FindNodeByName(KString("B"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetParent(), a);
    EXPECT_EQ(a->GetParent(), scene->GetRootNode());
    // Numbers no enumeration has leave the defaults.
    KFbxTexture* texture = scene->GetTexture(0);
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->GetWrapModeU(), KFbxTexture::eREPEAT);
    EXPECT_EQ(texture->GetBlendMode(), KFbxTexture::eTRANSLUCENT);
    // The file asks for the third layer, and gets no more.
    EXPECT_EQ(mesh->GetLayerCount(), 3);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::readertest
