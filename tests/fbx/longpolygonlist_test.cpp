// Polygon vertex lists far longer than the reader takes in at a time: every
// polygon, its corners and its group come back as written, whatever block
// boundary it straddles.
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include "ReaderTestSupport.h"

#include <gtest/gtest.h>

#include <vector>

namespace fbxsdk_2006_11_1::readertest {
namespace {

constexpr int kPoints = 97;

struct PolygonShape {
    std::vector<int> corners;
    int group = -1;
};

// Polygons of three to eight corners, one of them longer than any block a
// reader would take in, and groups that change from polygon to polygon.
std::vector<PolygonShape> Shapes() {
    std::vector<PolygonShape> shapes;
    int next = 0;
    for (int p = 0; p < 9000; ++p) {
        PolygonShape shape;
        const int size = p == 4321 ? 40000 : 3 + p % 6;
        for (int c = 0; c < size; ++c) {
            shape.corners.push_back(next++ % kPoints);
        }
        shape.group = p % 5 == 0 ? 2 : p % 3;
        shapes.push_back(shape);
    }
    return shapes;
}

KFbxScene* SceneOf(KFbxSdkManager& manager, const std::vector<PolygonShape>& shapes) {
    KFbxScene* scene = KFbxScene::Create(&manager, "polygons");
    KFbxMesh* mesh = KFbxMesh::Create(&manager, "Shape");
    mesh->InitControlPoints(kPoints);
    for (int i = 0; i < kPoints; ++i) {
        mesh->GetControlPoints()[i] = KFbxVector4(i, i % 7, i % 11, 0.0);
    }
    for (const PolygonShape& shape : shapes) {
        mesh->BeginPolygon(-1, -1, shape.group, false);
        for (int corner : shape.corners) {
            mesh->AddPolygonVertex(corner);
        }
        mesh->EndPolygon();
    }
    KFbxNode* node = KFbxNode::Create(&manager, "Mesh");
    node->SetNodeAttribute(mesh);
    scene->GetRootNode()->AddChild(node);
    return scene;
}

// The mesh's polygons as corner lists and groups; groups only where the
// format stores them.
void ExpectSameShapes(const KFbxMesh& mesh, const std::vector<PolygonShape>& shapes, bool withGroups) {
    ASSERT_EQ(mesh.GetPolygonCount(), static_cast<int>(shapes.size()));
    for (int p = 0; p < mesh.GetPolygonCount(); ++p) {
        const PolygonShape& shape = shapes[static_cast<std::size_t>(p)];
        ASSERT_EQ(mesh.GetPolygonSize(p), static_cast<int>(shape.corners.size())) << "polygon " << p;
        for (int c = 0; c < mesh.GetPolygonSize(p); ++c) {
            ASSERT_EQ(mesh.GetPolygonVertex(p, c), shape.corners[static_cast<std::size_t>(c)])
                << "polygon " << p << " corner " << c;
        }
        if (withGroups) {
            ASSERT_EQ(mesh.GetPolygonGroup(p), shape.group) << "polygon " << p;
        }
    }
}

class LongPolygonList : public ReaderTest, public ::testing::WithParamInterface<int> {};

TEST_P(LongPolygonList, ComesBackPolygonByPolygon) {
    const std::vector<PolygonShape> shapes = Shapes();
    const std::string path = Path("polygons.fbx");
    ASSERT_TRUE(Export(SceneOf(*mManager, shapes), path, GetParam()));
    KFbxScene* read = KFbxScene::Create(mManager, "read");
    ASSERT_TRUE(Import(path, read)) << mLastError;
    ASSERT_EQ(read->GetRootNode()->GetChildCount(), 1);
    const auto* mesh = dynamic_cast<const KFbxMesh*>(read->GetRootNode()->GetChild(0)->GetNodeAttribute());
    ASSERT_NE(mesh, nullptr);
    const bool fbx5 = GetParam() == KFbxFileFormatRegistry::eFBX5_BINARY_WRITER ||
                      GetParam() == KFbxFileFormatRegistry::eFBX5_ASCII_WRITER;
    ExpectSameShapes(*mesh, shapes, fbx5);
}

INSTANTIATE_TEST_SUITE_P(Modes, LongPolygonList,
                         ::testing::Values(KFbxFileFormatRegistry::eFBX_BINARY_WRITER,
                                           KFbxFileFormatRegistry::eFBX_ASCII_WRITER,
                                           KFbxFileFormatRegistry::eFBX5_BINARY_WRITER,
                                           KFbxFileFormatRegistry::eFBX5_ASCII_WRITER),
                         [](const ::testing::TestParamInfo<int>& info) {
                             switch (info.param) {
                                 case KFbxFileFormatRegistry::eFBX_BINARY_WRITER: return "Binary";
                                 case KFbxFileFormatRegistry::eFBX_ASCII_WRITER: return "Ascii";
                                 case KFbxFileFormatRegistry::eFBX5_BINARY_WRITER: return "Fbx5Binary";
                                 default: return "Fbx5Ascii";
                             }
                         });

}  // namespace
}  // namespace fbxsdk_2006_11_1::readertest
