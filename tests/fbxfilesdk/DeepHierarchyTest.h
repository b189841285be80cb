// A scene whose nodes form one long chain, each the child of the one before,
// is written and read back by every format without running out of stack,
// and keeps what the format can hold of it. Each program that includes this
// runs the test for some of the formats: a run takes gigabytes, so each
// program's runs go one after the other, and two programs side by side.
#ifndef TESTS_FBXFILESDK_DEEPHIERARCHYTEST_H
#define TESTS_FBXFILESDK_DEEPHIERARCHYTEST_H

#include <fbxfilesdk/fbxfilesdk.h>

#include "formats/FormatsTestSupport.h"
#include "support/DeepChain.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace deephierarchytest {

using namespace fbxsdk_2006_11_1;

using deepchain::kDepth;
// A step whose sums stay exact in a double.
inline const KFbxVector4 kStep(1.0, 0.5, -0.25, 1.0);
// Every so many nodes carries a mesh, the leaf among them.
inline constexpr int kMeshEvery = kDepth / 3;

inline std::string NodeName(int index) { return "n" + std::to_string(index); }

struct Row {
    const char* mName;
    int mWriter;
    const char* mFile;
    // Formats that flatten the tree keep only where the meshes are.
    bool mKeepsHierarchy;
    friend void PrintTo(const Row& row, std::ostream* out) { *out << row.mName; }
};

class DeepHierarchy : public ::testing::TestWithParam<Row> {
protected:
    static void SetUpTestSuite() {
        sManager = CreateSdkManager();
        sScene = KFbxScene::Create(sManager, "chain");
        KFbxNode* parent = sScene->GetRootNode();
        for (int i = 0; i < kDepth; ++i) {
            KFbxNode* node = KFbxNode::Create(sManager, NodeName(i).c_str());
            node->SetLclTranslation(kStep);
            if ((i + 1) % kMeshEvery == 0) node->SetNodeAttribute(formatstest::MakePlainTriangle(*sManager));
            parent->AddChild(node);
            parent = node;
        }
    }
    static void TearDownTestSuite() {
        delete sManager;
        sManager = nullptr;
    }

    void WriteAndReadBack(const Row& row);

    static KFbxSdkManager* sManager;
    static KFbxScene* sScene;
    ScratchFolder mFolder;
};

inline KFbxSdkManager* DeepHierarchy::sManager = nullptr;
inline KFbxScene* DeepHierarchy::sScene = nullptr;

// Where the leaf's mesh's first point lands in the world.
inline KFbxVector4 LeafMeshPoint(KFbxNode& node) {
    const KFbxMesh* mesh = dynamic_cast<const KFbxMesh*>(node.GetNodeAttribute());
    if (mesh == nullptr || mesh->GetControlPointsCount() == 0) return KFbxVector4(-1, -1, -1, -1);
    return node.EvaluateDefaultGlobalTransform().MultT(mesh->GetControlPoints()[0]);
}

TEST_P(DeepHierarchy, IsWrittenAndReadBack) {
    deepchain::OnChainStack([this] { WriteAndReadBack(GetParam()); });
}

inline void DeepHierarchy::WriteAndReadBack(const Row& row) {
    const std::string path = mFolder / row.mFile;
    KFbxExporter* exporter = KFbxExporter::Create(sManager, "");
    exporter->SetFileFormat(row.mWriter);
    ASSERT_TRUE(exporter->Initialize(path.c_str())) << exporter->GetLastErrorString();
    ASSERT_TRUE(exporter->Export(sScene)) << exporter->GetLastErrorString();
    exporter->Destroy();

    KFbxScene* read = KFbxScene::Create(sManager, "read");
    KFbxImporter* importer = KFbxImporter::Create(sManager, "");
    ASSERT_TRUE(importer->Initialize(path.c_str())) << importer->GetLastErrorString();
    ASSERT_TRUE(importer->Import(read)) << importer->GetLastErrorString();
    importer->Destroy();

    const KFbxVector4 leaf(kStep[0] * kDepth, kStep[1] * kDepth, kStep[2] * kDepth, 1.0);
    KFbxNode* leafNode = read->GetRootNode()->FindChild(NodeName(kDepth - 1).c_str());
    ASSERT_NE(leafNode, nullptr);
    const KFbxVector4 point = LeafMeshPoint(*leafNode);
    EXPECT_EQ(point[0], leaf[0]);
    EXPECT_EQ(point[1], leaf[1]);
    EXPECT_EQ(point[2], leaf[2]);
    if (row.mKeepsHierarchy) {
        KFbxNode* parent = read->GetRootNode();
        for (int i = 0; i < kDepth; ++i) {
            KFbxNode* node = parent->FindChild(NodeName(i).c_str(), false);
            ASSERT_NE(node, nullptr) << i;
            ASSERT_EQ(node->GetParent(), parent) << i;
            parent = node;
        }
        EXPECT_EQ(parent->GetChildCount(), 0);
        EXPECT_EQ(read->GetRootNode()->GetChildCount(true), kDepth);
    }
    read->Destroy(true, true);
}

}  // namespace deephierarchytest

#endif
