// A node that a program moves by linking it under its new parent first and
// unlinking it from the old one after is written under the new parent, by
// each writer that keeps the tree, and read back there.
#include <fbxfilesdk/fbxfilesdk.h>

#include "formats/FormatsTestSupport.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <utility>

using namespace fbxsdk_2006_11_1;

TEST(MovedNode, IsWrittenUnderItsNewParent) {
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    KFbxScene* scene = KFbxScene::Create(manager.get(), "moved");
    const auto make = [&](const char* name, KFbxNode* parent) {
        KFbxNode* node = KFbxNode::Create(manager.get(), name);
        node->SetNodeAttribute(formatstest::MakePlainTriangle(*manager));
        parent->AddChild(node);
        return node;
    };
    KFbxNode* oldParent = make("A", scene->GetRootNode());
    KFbxNode* newParent = make("B", scene->GetRootNode());
    KFbxNode* moved = make("C", oldParent);
    EXPECT_TRUE(moved->ConnectDst(newParent));
    EXPECT_FALSE(moved->DisconnectDst(oldParent));
    // One of another scene's tree comes over to this one.
    KFbxNode* foreign = make("D", KFbxScene::Create(manager.get(), "other")->GetRootNode());
    EXPECT_TRUE(foreign->ConnectDst(newParent));

    ScratchFolder folder;
    const std::pair<int, const char*> writers[] = {{KFbxFileFormatRegistry::eFBX5_ASCII_WRITER, "moved.fbx"},
                                                   {KFbxFileFormatRegistry::eFBX_ASCII_WRITER, "moved6.fbx"},
                                                   {KFbxFileFormatRegistry::e3DS_WRITER, "moved.3ds"},
                                                   {KFbxFileFormatRegistry::eCOLLADA_WRITER, "moved.dae"}};
    for (const auto& [writer, file] : writers) {
        const std::string path = folder / file;
        KFbxExporter* exporter = KFbxExporter::Create(manager.get(), "");
        exporter->SetFileFormat(writer);
        EXPECT_TRUE(exporter->Initialize(path.c_str()) && exporter->Export(scene)) << file;
        KFbxScene* read = KFbxScene::Create(manager.get(), "read");
        KFbxImporter* importer = KFbxImporter::Create(manager.get(), "");
        EXPECT_TRUE(importer->Initialize(path.c_str()) && importer->Import(read)) << file;
        for (const char* name : {"C", "D"}) {
            const KFbxNode* readMoved = read->GetRootNode()->FindChild(name);
            const KFbxNode* parent = readMoved != nullptr ? readMoved->GetParent() : nullptr;
            EXPECT_STREQ(parent != nullptr ? parent->GetName() : "", "B") << file << name;
        }
        EXPECT_EQ(read->GetRootNode()->GetChildCount(true), 4) << file;
    }
}

// A node of one scene linked under a node of another scene's tree, with a
// child: the second scene's file keeps both where they are, and no link of
// either file (an FBX 6 connection, a pose's node, a skin's bone) names a
// node that file does not hold.
TEST(MovedNode, LinkedFromAnotherSceneIsWrittenWithTheTree) {
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    KFbxScene* scenes[] = {KFbxScene::Create(manager.get(), "second"), KFbxScene::Create(manager.get(), "first")};
    const auto make = [&](const char* name, KFbxNode* parent) {
        KFbxNode* node = KFbxNode::Create(manager.get(), name);
        KFbxMesh* mesh = formatstest::MakePlainTriangle(*manager);
        mesh->AddMaterial(KFbxSurfacePhong::Create(manager.get(), (std::string(name) + "Paint").c_str()));
        node->SetNodeAttribute(mesh);
        parent->AddChild(node);
        return node;
    };
    KFbxNode* linked = make("Linked", scenes[1]->GetRootNode());
    make("Child", linked);
    KFbxNode* holder = make("Holder", scenes[0]->GetRootNode());
    ASSERT_TRUE(holder->AddChild(linked));
    // A pose of the second scene that also holds a node only the first has.
    KFbxPose* pose = KFbxPose::Create(manager.get(), "Rest");
    KFbxNode* apart = make("Apart", scenes[1]->GetRootNode());
    EXPECT_TRUE(pose->Add(holder, KgeMatrix()) == 0 && pose->Add(apart, KgeMatrix()) == 1);
    scenes[0]->ConnectObject(pose);
    // And a skin whose bone is that node.
    KFbxCluster* cluster = KFbxCluster::Create(manager.get(), "Weights");
    cluster->SetLink(apart);
    cluster->AddControlPointIndex(0, 1.0);
    KFbxSkin* skin = KFbxSkin::Create(manager.get(), "Skin");
    skin->AddCluster(cluster);
    static_cast<KFbxMesh*>(holder->GetNodeAttribute())->AddDeformer(skin);

    ScratchFolder folder;
    const std::pair<int, const char*> writers[] = {
        {KFbxFileFormatRegistry::eFBX_ASCII_WRITER, "6.fbx"}, {KFbxFileFormatRegistry::eFBX_BINARY_WRITER, "6b.fbx"},
        {KFbxFileFormatRegistry::eFBX5_ASCII_WRITER, "5.fbx"}, {KFbxFileFormatRegistry::e3DS_WRITER, ".3ds"},
        {KFbxFileFormatRegistry::eCOLLADA_WRITER, ".dae"}};
    for (const auto& [writer, suffix] : writers) {
        for (KFbxScene* scene : scenes) {
            const std::string path = folder / (scene->GetName() + std::string(suffix));
            KFbxExporter* exporter = KFbxExporter::Create(manager.get(), "");
            exporter->SetFileFormat(writer);
            EXPECT_TRUE(exporter->Initialize(path.c_str()) && exporter->Export(scene)) << path;
            std::ifstream in(path);
            const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
            // The objects after the link kind: "Kind::Name", with its record earlier in the file.
            for (std::size_t at = text.find("Connect: "); at != std::string::npos; at = text.find("Connect: ", at + 1)) {
                for (std::size_t open = text.find("\",\"", at); open < text.find('\n', at); open = text.find("\",\"", open + 1)) {
                    const std::string name = text.substr(open + 3, text.find('"', open + 3) - open - 3);
                    EXPECT_TRUE(name.find("::") == std::string::npos || name == "Model::Scene" ||
                                text.find(": \"" + name + "\"") < at) << path << ": " << name;
                }
            }
            EXPECT_TRUE(scene == scenes[1] || text.find("Apart") == std::string::npos) << path;
            // The moved subtree is the second scene's alone, with what it carries.
            EXPECT_TRUE(scene == scenes[0] || text.find("Linked") == std::string::npos) << path;
            EXPECT_TRUE(scene == scenes[1] || text.find("LinkedPaint") != std::string::npos) << path;
            if (writer == KFbxFileFormatRegistry::eFBX_ASCII_WRITER && scene == scenes[0]) {
                EXPECT_NE(text.find("NbPoseNodes: 1\n\t\tPoseNode:  {\n\t\t\tNode: \"Model::Holder\""), std::string::npos);
            }
        }
        KFbxScene* read = KFbxScene::Create(manager.get(), "read");
        KFbxImporter* importer = KFbxImporter::Create(manager.get(), "");
        const std::string path = folder / ("second" + std::string(suffix));
        EXPECT_TRUE(importer->Initialize(path.c_str()) && importer->Import(read)) << path;
        const KFbxNode* child = read->GetRootNode()->FindChild("Child");
        const KFbxNode* parent = child != nullptr ? child->GetParent() : nullptr;
        EXPECT_STREQ(parent != nullptr ? parent->GetName() : "", "Linked") << path;
        EXPECT_STREQ(parent != nullptr && parent->GetParent() ? parent->GetParent()->GetName() : "", "Holder") << path;
        const auto* mesh = parent != nullptr ? dynamic_cast<const KFbxMesh*>(parent->GetNodeAttribute()) : nullptr;
        EXPECT_TRUE(mesh != nullptr && mesh->GetPolygonCount() == 1) << path;
    }
}
