// A scene whose nodes form one long chain, each the child of the one before,
// is written and read back by every format without running out of stack,
// and keeps what the format can hold of it. Each program that includes this
// runs the test for some of the formats: a run takes gigabytes, so each
// program's runs go one after the other, and two programs side by side.
// Each run has a stack as deep as the chain is long, the default stack for
// the full chain, so that the sanitizers' shorter chain (their work is many
// times slower) overflows a recursive reader's stack as the full one does.
#ifndef TESTS_FBXFILESDK_DEEPHIERARCHYTEST_H
#define TESTS_FBXFILESDK_DEEPHIERARCHYTEST_H

#include <fbxfilesdk/fbxfilesdk.h>

#include "formats/FormatsTestSupport.h"
#include "support/BoundedRun.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <functional>
#include <ostream>
#include <string>

#include <pthread.h>

namespace deephierarchytest {

using namespace fbxsdk_2006_11_1;

inline constexpr int kDepth = boundedrun::kSanitized ? 15000 : 60000;
inline constexpr std::size_t kStackBytes = (std::size_t{8} << 20) / 60000 * kDepth;
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

// Runs work on a thread of its own whose stack has the given size.
inline void OnStackOf(std::size_t bytes, const std::function<void()>& work) {
    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    pthread_attr_setstacksize(&attributes, bytes);
    pthread_t thread;
    const auto call = [](void* what) -> void* {
        (*static_cast<const std::function<void()>*>(what))();
        return nullptr;
    };
    const int started = pthread_create(&thread, &attributes, call, const_cast<std::function<void()>*>(&work));
    pthread_attr_destroy(&attributes);
    ASSERT_EQ(started, 0);
    pthread_join(thread, nullptr);
}

TEST_P(DeepHierarchy, IsWrittenAndReadBack) {
    OnStackOf(kStackBytes, [this] { WriteAndReadBack(GetParam()); });
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
