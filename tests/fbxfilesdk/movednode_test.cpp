// A node that a program moves by linking it under its new parent first and
// unlinking it from the old one after is written under the new parent, by
// each writer that keeps the tree, and read back there.
#include <fbxfilesdk/fbxfilesdk.h>

#include "formats/FormatsTestSupport.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

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
