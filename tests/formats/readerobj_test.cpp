// The OBJ reader on hand-written files: face forms, indices, groups, welding,
// normals by smoothing group, surfaces and the reference node.
#include "formats/ObjTestSupport.h"

#include <fbxfilesdk/geometry/KFbxNurb.h>

namespace fbxsdk_2006_11_1::objtest {
namespace {

const char* const kQuadPoints =
    "v 0 0 0\n"
    "v 1 0 0\n"
    "v 1 1 0\n"
    "v 0 1 0\n";

using ObjReaderTest = ObjTest;

TEST_F(ObjReaderTest, EveryCornerFormReadsItsVertexUvAndNormal) {
    ASSERT_TRUE(ImportText(std::string(kQuadPoints) +
                           "vt 0.25 0.5\nvt 0.75 0.5\nvt 0.5 1\n"
                           "vn 0 0 1\nvn 0 1 0\n"
                           "g plain\nf 1 2 3\n"
                           "g uv\nf 1/1 2/2 3/3\n"
                           "g normal\nf 1//1 2//1 3//2\n"
                           "g both\nf 1/1/1 2/2/1 3/3/1 4/1/1\n"));
    EXPECT_EQ(ChildNames(mScene->GetRootNode()), (std::vector<std::string>{"both", "normal", "plain", "uv"}));

    KFbxMesh* both = Mesh("both");
    ASSERT_NE(both, nullptr);
    ASSERT_EQ(both->GetPolygonCount(), 1);
    ASSERT_EQ(both->GetPolygonSize(0), 4);
    const std::vector<KFbxVector4> points = PolygonPoints(*both, 0);
    EXPECT_TRUE(Near(points[2], 1, 1, 0));
    EXPECT_TRUE(Near(points[3], 0, 1, 0));
    const std::vector<KFbxVector2> uvs = PolygonUVs(*both, 0);
    ASSERT_EQ(uvs.size(), 4u);
    EXPECT_DOUBLE_EQ(uvs[1][0], 0.75);
    EXPECT_DOUBLE_EQ(uvs[3][0], 0.25);
    EXPECT_DOUBLE_EQ(uvs[3][1], 0.5);
    EXPECT_TRUE(Near(both->GetNormals()[both->GetPolygonVertex(0, 0)], 0, 0, 1));
    EXPECT_EQ(both->GetNormalsMappingMode(), KFbxLayerElement::eBY_CONTROL_POINT);
    EXPECT_EQ(both->GetTextureUVMappingMode(), KFbxLayerElement::eBY_POLYGON_VERTEX);

    KFbxMesh* normal = Mesh("normal");
    ASSERT_NE(normal, nullptr);
    EXPECT_EQ(normal->GetTextureUVArray(), nullptr);
    EXPECT_TRUE(Near(normal->GetNormals()[normal->GetPolygonVertex(0, 2)], 0, 1, 0));

    KFbxMesh* uv = Mesh("uv");
    ASSERT_NE(uv, nullptr);
    EXPECT_EQ(PolygonUVs(*uv, 0).size(), 3u);
    // No normal in the file: the face's own, flat.
    EXPECT_TRUE(Near(uv->GetNormals()[0], 0, 0, 1));

    KFbxMesh* plain = Mesh("plain");
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(plain->GetControlPointsCount(), 3);
    EXPECT_EQ(plain->GetTextureUVArray(), nullptr);
}

TEST_F(ObjReaderTest, NegativeIndicesCountBackFromTheListsAsTheyStandAtTheFace) {
    ASSERT_TRUE(ImportText("v 0 0 0\nv 1 0 0\nv 0 1 0\nvt 0 0\nvt 1 0\nvt 0 1\n"
                           "f -3/-3 -2/-2 -1/-1\n"
                           "v 5 5 5\nv 6 5 5\nv 5 6 5\n"
                           "f -3 -2 -1\n"
                           "f -6 -5 -1\n"));
    KFbxMesh* mesh = Mesh("default");
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetPolygonCount(), 3);
    EXPECT_TRUE(Near(PolygonPoints(*mesh, 0)[2], 0, 1, 0));
    EXPECT_DOUBLE_EQ(PolygonUVs(*mesh, 0)[1][0], 1.0);
    EXPECT_TRUE(Near(PolygonPoints(*mesh, 1)[0], 5, 5, 5));
    EXPECT_TRUE(Near(PolygonPoints(*mesh, 2)[0], 0, 0, 0));
    EXPECT_TRUE(Near(PolygonPoints(*mesh, 2)[2], 5, 6, 5));
}

TEST_F(ObjReaderTest, GroupNamesAreKeptWholeMergedWithoutCaseAndSorted) {
    ASSERT_TRUE(ImportText(std::string(kQuadPoints) +
                           "g my big box\nf 1 2 3\n"
                           "g Box\nf 1 2 3\n"
                           "g alpha\nf 2 3 4\n"
                           "g box\nf 1 3 4\n"
                           "g unused\n"
                           "o ignored\n"
                           "g\nf 1 2 4\n"));
    EXPECT_EQ(ChildNames(mScene->GetRootNode()),
              (std::vector<std::string>{"alpha", "Box", "default", "my_big box"}));
    ASSERT_NE(Mesh("Box"), nullptr);
    EXPECT_EQ(Mesh("Box")->GetPolygonCount(), 2);
}

TEST_F(ObjReaderTest, CornersShareControlPointsOnlyWhenVertexUvAndNormalAllMatch) {
    ASSERT_TRUE(ImportText(std::string(kQuadPoints) +
                           "vn 0 0 1\nvn 0 0 -1\n"
                           "f 1//1 2//1 3//1\n"
                           "f 1//1 3//1 4//1\n"
                           "f 1//2 3//2 2//2\n"));
    KFbxMesh* mesh = Mesh("default");
    ASSERT_NE(mesh, nullptr);
    // Four points facing up, and three more for the face turned down.
    EXPECT_EQ(mesh->GetControlPointsCount(), 7);
    EXPECT_EQ(mesh->GetPolygonVertex(0, 0), mesh->GetPolygonVertex(1, 0));
    EXPECT_NE(mesh->GetPolygonVertex(0, 0), mesh->GetPolygonVertex(2, 0));
    EXPECT_TRUE(Near(mesh->GetNormals()[mesh->GetPolygonVertex(2, 0)], 0, 0, -1));
}

TEST_F(ObjReaderTest, FacesWithoutNormalsAreFlatUnlessSmoothed) {
    // Two triangles folded along the edge 1-3 of a unit square.
    const std::string points = "v 0 0 0\nv 1 0 0\nv 1 1 0\nv 0 1 1\n";
    ASSERT_TRUE(ImportText(points + "g flat\ns off\nf 1 2 3\nf 1 3 4\ng smooth\ns 1\nf 1 2 3\nf 1 3 4\n"));
    KFbxMesh* flat = Mesh("flat");
    KFbxMesh* smooth = Mesh("smooth");
    ASSERT_NE(flat, nullptr);
    ASSERT_NE(smooth, nullptr);
    EXPECT_EQ(flat->GetControlPointsCount(), 6);
    EXPECT_EQ(smooth->GetControlPointsCount(), 4);
    EXPECT_TRUE(Near(flat->GetNormals()[flat->GetPolygonVertex(0, 0)], 0, 0, 1));
    const double s = 1.0 / std::sqrt(3.0);
    EXPECT_TRUE(Near(flat->GetNormals()[flat->GetPolygonVertex(1, 0)], s, -s, s, 1e-12));
    // The shared corners average the two faces' normals; the others keep their face's.
    const KFbxVector4 shared = smooth->GetNormals()[smooth->GetPolygonVertex(0, 0)];
    const double length = std::sqrt(s * s + s * s + (1 + s) * (1 + s));
    EXPECT_TRUE(Near(shared, s / length, -s / length, (1 + s) / length, 1e-12));
    EXPECT_TRUE(Near(smooth->GetNormals()[smooth->GetPolygonVertex(0, 1)], 0, 0, 1));
}

TEST_F(ObjReaderTest, ReferenceNodeHoldsTheGroupsButNotTheSurfaces) {
    KFbxStreamOptionsObjReader* options = KFbxStreamOptionsObjReader::Create(mManager, "");
    ASSERT_TRUE(options->SetOption("REFERENCENODE", true));
    ASSERT_TRUE(Import(Write("scene.obj", std::string(kQuadPoints) + "g quad\nf 1 2 3 4\n"), options));
    EXPECT_EQ(ChildNames(mScene->GetRootNode()), (std::vector<std::string>{"scene_root"}));
    EXPECT_EQ(ChildNames(Node("scene_root")), (std::vector<std::string>{"quad"}));
}

// A bicubic-by-quadratic rational patch: 4 control vertices along u, 3 along v.
std::string SurfaceFile(const char* cstype) {
    std::string text;
    for (int j = 0; j < 3; ++j) {
        for (int i = 0; i < 4; ++i) {
            text += "v " + std::to_string(i) + " " + std::to_string(j) + " " + std::to_string(i * j) + " 1\n";
        }
    }
    text += std::string("cstype ") + cstype + "\ndeg 3 2\ng patch\n";
    text += "surf 0 1 0 1 1 2 3 4 5 6 7 8 9 10 11 12\n";
    text += "parm u 0 0 0 0 1 1 1 1\nparm v 0 0 0 1 1 1\nend\n";
    return text;
}

TEST_F(ObjReaderTest, RationalBsplineSurfaceBecomesATransposedNurb) {
    ASSERT_TRUE(ImportText(SurfaceFile("rat bspline") + "v 0 0 0\nv 1 0 0\nv 0 1 0\nf -3 -2 -1\n"));
    // The surface's node came first, so the group of the same name is patch1.
    EXPECT_EQ(ChildNames(mScene->GetRootNode()), (std::vector<std::string>{"patch", "patch1"}));
    auto* nurb = dynamic_cast<KFbxNurb*>(Node("patch")->GetNodeAttribute());
    ASSERT_NE(nurb, nullptr);
    EXPECT_EQ(nurb->GetUOrder(), 3);
    EXPECT_EQ(nurb->GetVOrder(), 4);
    EXPECT_EQ(nurb->GetUCount(), 3);
    EXPECT_EQ(nurb->GetVCount(), 4);
    ASSERT_EQ(nurb->GetUKnotCount(), 6);
    EXPECT_DOUBLE_EQ(nurb->GetUKnotVector()[3], 1.0);
    ASSERT_EQ(nurb->GetVKnotCount(), 8);
    // File vertex (i, j) at u index i, v index j lands at i * 3 + j.
    EXPECT_TRUE(Near(nurb->GetControlPoints()[2 * 3 + 1], 2, 1, 2));
    EXPECT_TRUE(Near(nurb->GetControlPoints()[3 * 3 + 2], 3, 2, 6));
    EXPECT_NE(MeshOf(Node("patch1")), nullptr);
}

TEST_F(ObjReaderTest, SurfacesThatAreNotRationalBsplinesOrDoNotAddUpGiveNoNode) {
    ASSERT_TRUE(ImportText(SurfaceFile("bspline")));
    EXPECT_EQ(mScene->GetRootNode()->GetChildCount(), 0);
    EXPECT_EQ(Message(), "");

    std::string wrong = SurfaceFile("rat bspline");
    wrong.replace(wrong.find("parm v 0 0 0 1"), 14, "parm v 0 0 1");
    ASSERT_TRUE(ImportText(wrong));
    EXPECT_EQ(mScene->GetRootNode()->GetChildCount(), 0);
    EXPECT_NE(Message().find("surface(s)"), std::string::npos);
}

TEST_F(ObjReaderTest, UnsupportedStatementsAreToldOnceAndCommentsIgnored) {
    ASSERT_TRUE(ImportText(std::string(kQuadPoints) +
                           "# a comment\n#another\nl 1 2\nl 2 3\np 1\ncurv 0 1 1 2\nparm u 0 1\nend\nf 1 2 3\n"));
    EXPECT_EQ(Message(), "Object not supported : l\nObject not supported : p\n");
    EXPECT_NE(Mesh("default"), nullptr);
}

TEST_F(ObjReaderTest, ContinuationLinesAndLineEndsOfEveryKindJoinOrSplitStatements) {
    ASSERT_TRUE(ImportText("v 0 0 0\r\nv 1 0 0\rv 1 1 0\nv 0 1 \\\n 0\nf 1 2 \\\r\n3 \\\n4"));
    KFbxMesh* mesh = Mesh("default");
    ASSERT_NE(mesh, nullptr);
    ASSERT_EQ(mesh->GetPolygonCount(), 1);
    // The last line has no line end and still counts.
    ASSERT_EQ(mesh->GetPolygonSize(0), 4);
    EXPECT_TRUE(Near(PolygonPoints(*mesh, 0)[3], 0, 1, 0));
}

TEST_F(ObjReaderTest, AGroupNameLongerThanAnyBufferIsKeptWhole) {
    const std::string name(200000, 'n');
    ASSERT_TRUE(ImportText(std::string(kQuadPoints) + "g " + name + "\nf 1 2 3\n"));
    ASSERT_EQ(mScene->GetRootNode()->GetChildCount(), 1);
    EXPECT_EQ(std::string(mScene->GetRootNode()->GetChild(0)->GetName()), name);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::objtest
