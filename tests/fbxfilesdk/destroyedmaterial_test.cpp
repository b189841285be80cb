// A material and a texture a mesh's layers hold, destroyed before the scene
// is written (by themselves or with the scene they belong to): every writer
// writes what the layers then hold, the other material and texture, and the
// file reads back with no trace of the destroyed ones.
#include <fbxfilesdk/fbxfilesdk.h>

#include "formats/FormatsTestSupport.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <utility>

using namespace fbxsdk_2006_11_1;

namespace {

// Every file the export left in the folder, one after the other.
std::string FolderText(const std::filesystem::path& folder) {
    std::string text;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::ifstream in(entry.path(), std::ios::binary);
        text.append(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    return text;
}

bool HasMaterialNamed(const KFbxScene& scene, const std::string& part) {
    for (int i = 0; i < scene.GetMaterialCount(); ++i) {
        if (std::string(scene.GetMaterial(i)->GetName()).find(part) != std::string::npos) return true;
    }
    return false;
}

}  // namespace

TEST(DestroyedMaterial, EveryWriterWritesWhatTheLayersStillHold) {
    struct Writer {
        int mId;
        const char* mFile;
        bool mNamesMaterials;
    };
    const Writer writers[] = {{KFbxFileFormatRegistry::eFBX_BINARY_WRITER, "6b.fbx", true},
                              {KFbxFileFormatRegistry::eFBX_ASCII_WRITER, "6.fbx", true},
                              {KFbxFileFormatRegistry::eFBX5_BINARY_WRITER, "5b.fbx", true},
                              {KFbxFileFormatRegistry::eFBX5_ASCII_WRITER, "5.fbx", true},
                              {KFbxFileFormatRegistry::eCOLLADA_WRITER, "m.dae", true},
                              // A textured face's material takes a name made of its mesh and texture.
                              {KFbxFileFormatRegistry::e3DS_WRITER, "m.3ds", false},
                              {KFbxFileFormatRegistry::eOBJ_WRITER, "m.obj", true},
                              {KFbxFileFormatRegistry::eDXF_WRITER, "m.dxf", false}};
    using Route = std::function<void(KFbxSdkManager&, KFbxObject& material, KFbxObject& texture)>;
    const std::pair<const char*, Route> routes[] = {
        {"destroyed", [](KFbxSdkManager&, KFbxObject& m, KFbxObject& t) { m.Destroy(), t.Destroy(); }},
        {"their scene destroyed", [](KFbxSdkManager& manager, KFbxObject& m, KFbxObject& t) {
             KFbxScene* holder = KFbxScene::Create(&manager, "holder");
             holder->ConnectObject(&m), holder->ConnectObject(&t);
             holder->Destroy();
         }}};
    for (const auto& [route, destroy] : routes) {
        for (const Writer& writer : writers) {
            SCOPED_TRACE(std::string(writer.mFile) + ", " + route);
            std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
            KFbxScene* scene = KFbxScene::Create(manager.get(), "painted");
            KFbxMesh* mesh = KFbxMesh::Create(manager.get(), "");
            mesh->InitControlPoints(5);
            for (int i = 1; i < 5; ++i) mesh->GetControlPoints()[i] = KFbxVector4(i, i % 2, 0, 1);
            KFbxSurfaceMaterial* materials[3];
            for (const char* name : {"Keep0", "Gone1", "Keep2"}) {
                materials[mesh->GetMaterialCount()] = KFbxSurfacePhong::Create(manager.get(), name);
                mesh->AddMaterial(materials[mesh->GetMaterialCount()]);
            }
            KFbxTexture* textures[2];
            for (const char* name : {"keep.png", "gone.png"}) {
                textures[mesh->GetTextureCount()] = KFbxTexture::Create(manager.get(), name);
                textures[mesh->GetTextureCount()]->SetFileName(name);
                mesh->AddTexture(textures[mesh->GetTextureCount()]);
            }
            for (int p = 0; p < 3; ++p) {
                mesh->BeginPolygon(p, p % 2);
                for (int k = 0; k < 3; ++k) mesh->AddPolygonVertex(p + k);
                mesh->EndPolygon();
            }
            KFbxNode* node = KFbxNode::Create(manager.get(), "Painted");
            node->SetNodeAttribute(mesh);
            scene->GetRootNode()->AddChild(node);

            destroy(*manager, *materials[1], *textures[1]);
            ScratchFolder folder;
            const std::string path = folder / writer.mFile;
            KFbxExporter* exporter = KFbxExporter::Create(manager.get(), "");
            exporter->SetFileFormat(writer.mId);
            ASSERT_TRUE(exporter->Initialize(path.c_str()) && exporter->Export(scene));
            const std::string text = FolderText(folder.Path());
            EXPECT_EQ(text.find("Gone1"), std::string::npos);
            EXPECT_EQ(text.find("gone.png"), std::string::npos);
            EXPECT_TRUE(!writer.mNamesMaterials || text.find("Keep2") != std::string::npos);

            KFbxScene* read = KFbxScene::Create(manager.get(), "read");
            KFbxImporter* importer = KFbxImporter::Create(manager.get(), "");
            ASSERT_TRUE(importer->Initialize(path.c_str()) && importer->Import(read));
            EXPECT_FALSE(HasMaterialNamed(*read, "Gone"));
            EXPECT_TRUE(!writer.mNamesMaterials || (HasMaterialNamed(*read, "Keep0") && HasMaterialNamed(*read, "Keep2")));
            const KFbxMesh* readMesh = formatstest::MeshOf(read->GetRootNode()->FindChild("Painted"));
            EXPECT_TRUE(readMesh != nullptr || writer.mId == KFbxFileFormatRegistry::eDXF_WRITER);
            if (writer.mId == KFbxFileFormatRegistry::eFBX_BINARY_WRITER ||
                writer.mId == KFbxFileFormatRegistry::eFBX_ASCII_WRITER) {
                // The polygon of the destroyed material reads as having none.
                const KFbxLayerElementMaterial* element = readMesh->GetLayer(0)->GetMaterials();
                ASSERT_NE(element, nullptr);
                EXPECT_EQ(element->GetIndexArray().GetAt(1), -1);
                const KFbxSurfaceMaterial* third = element->GetDirectArray().GetAt(element->GetIndexArray().GetAt(2));
                EXPECT_STREQ(third != nullptr ? third->GetName() : "", "Keep2");
            }
        }
    }
}
