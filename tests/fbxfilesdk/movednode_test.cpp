// A node that a program moves by linking it under its new parent first and
// unlinking it from the old one after is written under the new parent, by
// each writer that keeps the tree, and read back there.
#include <fbxfilesdk/fbxfilesdk.h>

#include "formats/FormatsTestSupport.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

using namespace fbxsdk_2006_11_1;

namespace {

struct Row {
    const char* mName;
    int mWriter;
    const char* mFile;
    friend void PrintTo(const Row& row, std::ostream* out) { *out << row.mName; }
};

class MovedNode : public ::testing::TestWithParam<Row> {};

TEST_P(MovedNode, IsWrittenUnderItsNewParent) {
    std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
    KFbxScene* scene = KFbxScene::Create(manager.get(), "moved");
    KFbxNode* nodes[3] = {};
    for (KFbxNode*& node : nodes) {
        const std::string name(1, static_cast<char>('A' + (&node - nodes)));
        node = KFbxNode::Create(manager.get(), name.c_str());
        node->SetNodeAttribute(formatstest::MakePlainTriangle(*manager));
    }
    KFbxNode* oldParent = nodes[0];
    KFbxNode* newParent = nodes[1];
    KFbxNode* moved = nodes[2];
    scene->GetRootNode()->AddChild(oldParent);
    scene->GetRootNode()->AddChild(newParent);
    oldParent->AddChild(moved);
    EXPECT_TRUE(moved->ConnectDst(newParent));
    EXPECT_FALSE(moved->DisconnectDst(oldParent));
    EXPECT_EQ(moved->GetParent(), newParent);

    ScratchFolder folder;
    const Row& row = GetParam();
    const std::string path = folder / row.mFile;
    KFbxExporter* exporter = KFbxExporter::Create(manager.get(), "");
    exporter->SetFileFormat(row.mWriter);
    ASSERT_TRUE(exporter->Initialize(path.c_str()) && exporter->Export(scene)) << exporter->GetLastErrorString();
    KFbxScene* read = KFbxScene::Create(manager.get(), "read");
    KFbxImporter* importer = KFbxImporter::Create(manager.get(), "");
    ASSERT_TRUE(importer->Initialize(path.c_str()) && importer->Import(read)) << importer->GetLastErrorString();
    const KFbxNode* readMoved = read->GetRootNode()->FindChild("C");
    ASSERT_NE(readMoved, nullptr);
    ASSERT_NE(readMoved->GetParent(), nullptr);
    EXPECT_STREQ(readMoved->GetParent()->GetName(), "B");
    EXPECT_EQ(read->GetRootNode()->GetChildCount(true), 3);
}

INSTANTIATE_TEST_SUITE_P(
    Writers, MovedNode,
    ::testing::Values(Row{"Fbx5", KFbxFileFormatRegistry::eFBX5_ASCII_WRITER, "moved.fbx"},
                      Row{"ThreeDs", KFbxFileFormatRegistry::e3DS_WRITER, "moved.3ds"},
                      Row{"Collada", KFbxFileFormatRegistry::eCOLLADA_WRITER, "moved.dae"}),
    [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.mName); });

}  // namespace
