// A whole FBX 6 write of a small skinned, textured, animated scene: the
// records of meshes, deformers, materials, textures, videos and takes sit
// where the file's sections put them, in binary and ascii files alike.
#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxVideo.h>

#include "Fbx6WriterSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace fbxsdk_2006_11_1::fbx6test {
namespace {

class Fbx6SceneWriteTest : public Fbx6WriterTest, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override {
        Fbx6WriterTest::SetUp();
        KFbxNode* box = KFbxNode::Create(mManager, "Box");
        KFbxNode* bone = KFbxNode::Create(mManager, "Bone");
        mScene->GetRootNode()->AddChild(box);
        mScene->GetRootNode()->AddChild(bone);
        KFbxMesh* mesh = KFbxMesh::Create(mManager, "BoxShape");
        mesh->InitControlPoints(3);
        mesh->GetControlPoints()[1] = KFbxVector4(1, 0, 0, 0);
        mesh->GetControlPoints()[2] = KFbxVector4(0, 1, 0, 0);
        mesh->BeginPolygon();
        for (int v : {0, 1, 2}) mesh->AddPolygonVertex(v);
        box->SetNodeAttribute(mesh);
        KFbxCluster* cluster = KFbxCluster::Create(mManager, "");
        cluster->SetLink(bone);
        cluster->AddControlPointIndex(2, 1.0);
        mesh->AddCluster(cluster);
        KFbxSurfacePhong* phong = KFbxSurfacePhong::Create(mManager, "Shiny");
        mesh->AddMaterial(phong);
        KFbxTexture* texture = KFbxTexture::Create(mManager, "Wood");
        texture->SetFileName(mFolder.Write("wood.png", "png bytes").c_str());
        mesh->AddTexture(texture);
        KFbxVideo* video = KFbxVideo::Create(mManager, "wood");
        video->SetFileName(texture->GetFileName());
        mScene->ConnectObject(video);
        box->CreateTakeNode("Walk");
        mScene->GetRootNode()->CreateTakeNode("Walk");
    }

    std::string WriteScene(bool binary) {
        KFbxStreamOptionsFbxWriter* options = KFbxStreamOptionsFbxWriter::Create(mManager, "");
        options->SetOption("EMBEDDED", true);
        const std::string text =
            Write([&](KFbxWriterFbx6& writer) { EXPECT_TRUE(writer.Write(mScene, options)); }, binary);
        options->Destroy();
        return text;
    }

    // Enters the first top-level field of the name and then the first field
    // of its block that has the given first string value.
    static bool EnterObject(KFbx& file, const char* section, const char* kind, const char* name) {
        if (!file.FieldReadBegin(section) || !file.FieldReadBlockBegin()) return false;
        while (file.FieldReadBegin(kind)) {
            if (file.FieldReadS() == name) return file.FieldReadBlockBegin();
            file.FieldReadEnd();
        }
        return false;
    }
};

TEST_P(Fbx6SceneWriteTest, RecordsSitInTheirSections) {
    const bool binary = GetParam();
    WriteScene(binary);
    {
        KFbx file;
        ASSERT_TRUE(Open(file)) << file.GetLastErrorText();
        ASSERT_TRUE(EnterObject(file, "Objects", "Model", "Model::Box"));
        EXPECT_TRUE(file.FieldReadBegin("Vertices"));
        file.FieldReadEnd();
        EXPECT_TRUE(file.FieldReadBegin("LayerElementMaterial"));
        file.FieldReadEnd();
        EXPECT_TRUE(file.FieldReadBegin("Layer"));
    }
    {
        KFbx file;
        ASSERT_TRUE(Open(file));
        ASSERT_TRUE(EnterObject(file, "Objects", "Deformer", "SubDeformer::Cluster Bone"));
        EXPECT_EQ(file.FieldReadIDefault("Version", 0), 100);
        ASSERT_TRUE(file.FieldReadBegin("Indexes"));
        EXPECT_EQ(file.FieldReadI(), 2);
    }
    {
        KFbx file;
        ASSERT_TRUE(Open(file));
        ASSERT_TRUE(EnterObject(file, "Objects", "Material", "Material::Shiny"));
        EXPECT_STREQ(file.FieldReadSDefault("ShadingModel", "").Buffer(), "phong");
    }
    ASSERT_GT(mScene->GetVideoCount(), 0);
    {
        KFbx file;
        ASSERT_TRUE(Open(file));
        const std::string name = mScene->GetVideo(0)->GetNameWithTypePrefix().Buffer();
        ASSERT_TRUE(EnterObject(file, "Objects", "Video", name.c_str()));
        // Content only in binary files.
        EXPECT_EQ(file.FieldReadBegin("Content"), binary);
    }
    {
        KFbx file;
        ASSERT_TRUE(Open(file));
        ASSERT_TRUE(EnterObject(file, "Takes", "Take", "Walk"));
        EXPECT_STREQ(file.FieldReadSDefault("FileName", "").Buffer(), "Walk.tak");
        ASSERT_TRUE(file.FieldReadBegin("Model"));
    }
}

INSTANTIATE_TEST_SUITE_P(Syntax, Fbx6SceneWriteTest, ::testing::Values(false, true),
                         [](const ::testing::TestParamInfo<bool>& info) { return info.param ? "Binary" : "Ascii"; });

}  // namespace
}  // namespace fbxsdk_2006_11_1::fbx6test
