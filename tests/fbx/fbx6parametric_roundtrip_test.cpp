// NURBS, patches, curves, trimmed surfaces, characters, control set plugs,
// parent constraints and poses written to FBX 6 files and read back, in
// every file mode; and records the reader must refuse.
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/geometry/KFbxBoundary.h>
#include <fbxfilesdk/geometry/KFbxNurb.h>
#include <fbxfilesdk/geometry/KFbxNurbsCurve.h>
#include <fbxfilesdk/geometry/KFbxNurbsSurface.h>
#include <fbxfilesdk/geometry/KFbxPatch.h>
#include <fbxfilesdk/geometry/KFbxTrimNurbsSurface.h>
#include <fbxfilesdk/scene/KFbxCharacter.h>
#include <fbxfilesdk/scene/KFbxCharacterLink.h>
#include <fbxfilesdk/scene/KFbxConstraintParent.h>
#include <fbxfilesdk/scene/KFbxControlSetPlug.h>

#include "ReaderTestSupport.h"
#include "RichScene.h"
#include "SceneComparison.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::readertest {
namespace {

using scenecompare::SceneComparison;

KFbxVector4 Point(double x, double y, double z, double w = 1.0) { return KFbxVector4(x, y, z, w); }

template <class Surface>
void FillGrid(Surface& surface) {
    ASSERT_TRUE(surface.InitControlPoints(2, Surface::ePERIODIC, 3, Surface::eCLOSED));
    ASSERT_TRUE(surface.SetOrder(2, 3));
    surface.SetStep(5, 6);
    surface.SetSurfaceMode(1);
    for (int i = 0; i < surface.GetControlPointsCount(); ++i) {
        surface.GetControlPoints()[i] = Point(i, 2.0 * i, 0.25 * i, i == 1 ? 0.5 : 1.0);
    }
    for (int k = 0; k < surface.GetUKnotCount(); ++k) surface.GetUKnotVector()[k] = 0.5 * k;
    for (int k = 0; k < surface.GetVKnotCount(); ++k) surface.GetVKnotVector()[k] = 3.0 + k;
}

KFbxNurbsCurve* MakeCurve(KFbxSdkManager* manager, const char* name) {
    KFbxNurbsCurve* curve = KFbxNurbsCurve::Create(manager, name);
    EXPECT_TRUE(curve->InitControlPoints(4, KFbxNurbsCurve::eCLOSED));
    EXPECT_TRUE(curve->SetOrder(3));
    curve->SetDimension(KFbxNurbsCurve::e2D);
    for (int i = 0; i < 4; ++i) curve->GetControlPoints()[i] = Point(i, -i, 0.0, i == 2 ? 3.0 : 1.0);
    for (int k = 0; k < curve->GetKnotCount(); ++k) curve->GetKnotVector()[k] = k * 0.125;
    return curve;
}

KgeMatrix Translation(double x, double y, double z) {
    KgeMatrix matrix;
    matrix[3][0] = x;
    matrix[3][1] = y;
    matrix[3][2] = z;
    return matrix;
}

// One of every kind these records carry, added to the scene.
KFbxScene* AddParametricObjects(KFbxSdkManager* manager, KFbxScene* scene) {
    using richscene::AddNode;
    KFbxNode* root = scene->GetRootNode();

    KFbxNurb* nurb = KFbxNurb::Create(manager, "Sail");
    FillGrid(*nurb);
    nurb->GetVMultiplicityVector()[2] = 3;
    AddNode(manager, root, "SailNode", nurb);

    KFbxPatch* patch = KFbxPatch::Create(manager, "Lid");
    patch->InitControlPoints(3, KFbxPatch::eBSPLINE, 2, KFbxPatch::eLINEAR);
    patch->SetStep(2, 9);
    patch->SetSurfaceMode(2);
    patch->SetClosed(false, true);
    patch->SetUCapped(true, false);
    patch->SetVCapped(false, true);
    for (int i = 0; i < 6; ++i) patch->GetControlPoints()[i] = Point(i, 1.0, -i);
    AddNode(manager, root, "LidNode", patch);

    KFbxNurbsCurve* rail = MakeCurve(manager, "Rail");
    AddNode(manager, root, "RailNode", rail);

    KFbxNurbsSurface* base = KFbxNurbsSurface::Create(manager, "Base");
    FillGrid(*base);
    base->SetFlag2(true);
    KFbxNurbsCurve* edge = MakeCurve(manager, "Edge");
    KFbxBoundary* loop = KFbxBoundary::Create(manager, "Loop");
    loop->AddCurve(edge);
    KFbxTrimNurbsSurface* trim = KFbxTrimNurbsSurface::Create(manager, "Cut");
    trim->SetNurbsSurface(base);
    trim->AddBoundary(loop);
    trim->SetFlipNormals(true);
    AddNode(manager, root, "CutNode", trim);
    for (KFbxObject* part : std::initializer_list<KFbxObject*>{base, edge, loop}) scene->ConnectObject(part);

    KFbxNode* hips = AddNode(manager, root, "HipsNode", nullptr);
    KFbxCharacter* character = scene->GetCharacter(scene->CreateCharacter("Hero"));
    KFbxCharacterLink link;
    link.mNode = hips;
    link.mTOffset = Point(1, 2, 3);
    link.mROffset = Point(0, 45, 0);
    link.mHasRotSpace = true;
    link.mPostRotation = Point(5, 0, 0);
    link.mAxisLen = 2.5;
    link.mRotOrder = 3;
    link.mRLimits.SetLimitMaxActive(false, true, false);
    link.mRLimits.SetLimitMax(Point(0, 80, 0));
    character->SetCharacterLink(0, link, true);
    KFbxCharacterLink named;
    named.mName = "LeftKnee";
    named.mSOffset = Point(2, 2, 2);
    character->SetCharacterLink(2, named);

    scene->CreateControlSetPlug("Rig");

    KFbxNode* parent = AddNode(manager, root, "ParentNode", nullptr);
    KFbxNode* child = AddNode(manager, root, "ChildNode", nullptr);
    KFbxConstraintParent* follow = KFbxConstraintParent::Create(manager, "Follow");
    scene->ConnectObject(follow);
    follow->AddConstraintSource(parent);
    follow->SetConstrainedObject(child);
    follow->SetRotationOffset(parent, Point(10, 20, 30));
    follow->SetTranslationOffset(parent, Point(-1, -2, -3));

    KFbxPose* bind = KFbxPose::Create(manager, "Bind");
    bind->SetIsBindPose(true);
    bind->Add(parent, Translation(1, 0, 0));
    bind->Add(child, Translation(0, 1, 0));
    KFbxPose* rest = KFbxPose::Create(manager, "Rest");
    rest->SetIsBindPose(false);
    rest->Add(child, Translation(0, 0, 1), true);
    rest->Add(hips, Translation(4, 4, 4), false);
    scene->ConnectObject(bind);
    scene->ConnectObject(rest);
    return scene;
}

KFbxScene* BuildScene(KFbxSdkManager* manager) {
    return AddParametricObjects(manager, KFbxScene::Create(manager, "parametric"));
}

template <class T>
T* AttributeOf(KFbxScene& scene, const char* nodeName) {
    KFbxNode* node = scene.FindNodeByName(KString(nodeName));
    return node != nullptr ? dynamic_cast<T*>(node->GetNodeAttribute()) : nullptr;
}

void ExpectSamePoints(const KFbxGeometry& a, const KFbxGeometry& b) {
    ASSERT_EQ(a.GetControlPointsCount(), b.GetControlPointsCount());
    for (int i = 0; i < a.GetControlPointsCount(); ++i) {
        for (int c = 0; c < 4; ++c) EXPECT_DOUBLE_EQ(a.GetControlPoints()[i][c], b.GetControlPoints()[i][c]);
    }
}

void ExpectSameKnots(const double* a, int aCount, const double* b, int bCount) {
    ASSERT_EQ(aCount, bCount);
    for (int k = 0; k < aCount; ++k) EXPECT_DOUBLE_EQ(a[k], b[k]);
}

void ExpectSameGrid(const KFbxNurbsGridGeometry& a, const KFbxNurbsGridGeometry& b) {
    EXPECT_EQ(a.GetUCount(), b.GetUCount());
    EXPECT_EQ(a.GetVCount(), b.GetVCount());
    EXPECT_EQ(a.GetNurbUType(), b.GetNurbUType());
    EXPECT_EQ(a.GetNurbVType(), b.GetNurbVType());
    EXPECT_EQ(a.GetUOrder(), b.GetUOrder());
    EXPECT_EQ(a.GetVOrder(), b.GetVOrder());
    EXPECT_EQ(a.GetUStep(), b.GetUStep());
    EXPECT_EQ(a.GetVStep(), b.GetVStep());
    EXPECT_EQ(a.GetSurfaceMode(), b.GetSurfaceMode());
    ExpectSamePoints(a, b);
    ExpectSameKnots(a.GetUKnotVector(), a.GetUKnotCount(), b.GetUKnotVector(), b.GetUKnotCount());
    ExpectSameKnots(a.GetVKnotVector(), a.GetVKnotCount(), b.GetVKnotVector(), b.GetVKnotCount());
}

void ExpectSameCurve(const KFbxNurbsCurve& a, const KFbxNurbsCurve& b) {
    EXPECT_EQ(a.GetOrder(), b.GetOrder());
    EXPECT_EQ(a.GetType(), b.GetType());
    EXPECT_EQ(a.GetDimension(), b.GetDimension());
    ExpectSamePoints(a, b);
    ExpectSameKnots(a.GetKnotVector(), a.GetKnotCount(), b.GetKnotVector(), b.GetKnotCount());
}

void ExpectSameVector(const KFbxVector4& a, const KFbxVector4& b) {
    for (int c = 0; c < 3; ++c) EXPECT_DOUBLE_EQ(a[c], b[c]);
}

class ParametricRoundTrip : public ReaderTest, public ::testing::WithParamInterface<int> {};

TEST_P(ParametricRoundTrip, EveryRecordComesBack) {
    KFbxScene* source = BuildScene(mManager);
    const std::string path = Path("parametric.fbx");
    ASSERT_TRUE(Export(source, path, GetParam()));
    KFbxScene* read = KFbxScene::Create(mManager, "read");
    ASSERT_TRUE(Import(path, read)) << mLastError;

    const std::vector<std::string> differences = SceneComparison::Compare(*source, *read);
    EXPECT_TRUE(differences.empty()) << SceneComparison::Join(differences);

    auto* nurb = AttributeOf<KFbxNurb>(*read, "SailNode");
    ASSERT_NE(nurb, nullptr);
    auto* sourceNurb = AttributeOf<KFbxNurb>(*source, "SailNode");
    ExpectSameGrid(*sourceNurb, *nurb);
    for (int v = 0; v < 3; ++v) EXPECT_EQ(nurb->GetVMultiplicityVector()[v], sourceNurb->GetVMultiplicityVector()[v]);

    auto* patch = AttributeOf<KFbxPatch>(*read, "LidNode");
    ASSERT_NE(patch, nullptr);
    auto* sourcePatch = AttributeOf<KFbxPatch>(*source, "LidNode");
    EXPECT_EQ(patch->GetPatchUType(), KFbxPatch::eBSPLINE);
    EXPECT_EQ(patch->GetPatchVType(), KFbxPatch::eLINEAR);
    EXPECT_EQ(patch->GetUStep(), 2);
    EXPECT_EQ(patch->GetVStep(), 9);
    EXPECT_EQ(patch->GetSurfaceMode(), 2);
    EXPECT_TRUE(patch->GetVClosed());
    EXPECT_FALSE(patch->GetUClosed());
    EXPECT_TRUE(patch->GetUCappedBottom());
    EXPECT_TRUE(patch->GetVCappedTop());
    EXPECT_FALSE(patch->GetUCappedTop());
    ExpectSamePoints(*sourcePatch, *patch);

    auto* rail = AttributeOf<KFbxNurbsCurve>(*read, "RailNode");
    ASSERT_NE(rail, nullptr);
    ExpectSameCurve(*AttributeOf<KFbxNurbsCurve>(*source, "RailNode"), *rail);

    auto* trim = AttributeOf<KFbxTrimNurbsSurface>(*read, "CutNode");
    ASSERT_NE(trim, nullptr);
    EXPECT_TRUE(trim->GetFlipNormals());
    ASSERT_NE(trim->GetNurbsSurface(), nullptr);
    ExpectSameGrid(*AttributeOf<KFbxTrimNurbsSurface>(*source, "CutNode")->GetNurbsSurface(),
                   *trim->GetNurbsSurface());
    EXPECT_TRUE(trim->GetNurbsSurface()->GetFlag2());
    ASSERT_EQ(trim->GetBoundaryCount(0), 1);
    ASSERT_EQ(trim->GetBoundary(0, 0)->GetCurveCount(), 1);
    ExpectSameCurve(*MakeCurve(mManager, "Expected"), *trim->GetBoundary(0, 0)->GetCurve(0));

    ASSERT_EQ(read->GetCharacterCount(), 1);
    KFbxCharacter* character = read->GetCharacter(0);
    EXPECT_STREQ(character->GetName(), "Hero");
    KFbxCharacterLink hips;
    ASSERT_TRUE(character->GetCharacterLink(0, &hips));
    ASSERT_NE(hips.mNode, nullptr);
    EXPECT_STREQ(hips.mNode->GetName(), "HipsNode");
    ExpectSameVector(hips.mTOffset, Point(1, 2, 3));
    ExpectSameVector(hips.mROffset, Point(0, 45, 0));
    EXPECT_TRUE(hips.mHasRotSpace);
    ExpectSameVector(hips.mPostRotation, Point(5, 0, 0));
    EXPECT_DOUBLE_EQ(hips.mAxisLen, 2.5);
    EXPECT_EQ(hips.mRotOrder, 3);
    bool x = true, y = false, z = true;
    hips.mRLimits.GetLimitMaxActive(x, y, z);
    EXPECT_FALSE(x);
    EXPECT_TRUE(y);
    EXPECT_FALSE(z);
    ExpectSameVector(hips.mRLimits.GetLimitMax(), Point(0, 80, 0));
    KFbxCharacterLink knee;
    ASSERT_TRUE(character->GetCharacterLink(2, &knee));
    EXPECT_EQ(knee.mNode, nullptr);
    EXPECT_STREQ(knee.mName.Buffer(), "LeftKnee");
    ExpectSameVector(knee.mSOffset, Point(2, 2, 2));
    EXPECT_FALSE(character->GetCharacterLink(1, nullptr));

    ASSERT_EQ(read->GetControlSetPlugCount(), 1);
    EXPECT_STREQ(read->GetControlSetPlug(0)->GetName(), "Rig");

    ASSERT_EQ(read->GetSrcObjectCount(KFbxConstraintParent::ClassId), 1);
    auto* follow = static_cast<KFbxConstraintParent*>(read->GetSrcObject(KFbxConstraintParent::ClassId, 0));
    ASSERT_EQ(follow->GetConstraintSourceCount(), 1);
    KFbxObject* parent = follow->GetConstraintSource(0);
    EXPECT_STREQ(parent->GetName(), "ParentNode");
    ASSERT_NE(follow->GetConstrainedObject(), nullptr);
    EXPECT_STREQ(follow->GetConstrainedObject()->GetName(), "ChildNode");
    ExpectSameVector(follow->GetRotationOffset(parent), Point(10, 20, 30));
    ExpectSameVector(follow->GetTranslationOffset(parent), Point(-1, -2, -3));

    ASSERT_EQ(read->GetPoseCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(FileModes, ParametricRoundTrip,
                         ::testing::Values(KFbxFileFormatRegistry::eFBX_BINARY_WRITER,
                                           KFbxFileFormatRegistry::eFBX_ASCII_WRITER,
                                           KFbxFileFormatRegistry::eFBX_ENCRYPTED_WRITER),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return std::string(info.param == 0 ? "Binary" : info.param == 1 ? "Ascii" : "Encrypted");
                         });

class ParametricExport : public ReaderTest {
protected:
    std::string AsciiText(KFbxScene* scene) {
        const std::string path = Path("scene.fbx");
        EXPECT_TRUE(Export(scene, path, KFbxFileFormatRegistry::eFBX_ASCII_WRITER));
        std::ifstream in(path);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    // The file written from the scene, with one text replaced, read into a
    // scene that holds a node beforehand.
    bool ImportEdited(const std::string& from, const std::string& to, KFbxScene*& read) {
        std::string text = AsciiText(BuildScene(mManager));
        const std::size_t at = text.find(from);
        EXPECT_NE(at, std::string::npos) << from;
        if (at == std::string::npos) return false;
        text.replace(at, from.size(), to);
        const std::string path = Path("edited.fbx");
        std::ofstream(path, std::ios::binary) << text;
        read = KFbxScene::Create(mManager, "read");
        read->GetRootNode()->AddChild(KFbxNode::Create(mManager, "Kept"));
        return Import(path, read);
    }
};

TEST_F(ParametricExport, AFullSceneStoresEveryObjectKind) {
    KFbxScene* scene = AddParametricObjects(mManager, richscene::Build(mManager, mFolder.Path().string()));
    const std::string text = AsciiText(scene);
    for (const char* head :
         {"Model: \"Model::SailNode\"", "NurbVersion: 200", "PatchVersion: 100", "Geometry: \"Geometry::Rail",
          "Type: \"NurbsCurve\"", "Type: \"TrimNurbsSurface\"", "Type: \"Boundary\"", "Type: \"NurbsSurface\"",
          "Pose: \"Pose::Bind\"", "Pose: \"Pose::Rest\"", "ControlSetPlug: \"ControlSetPlug::Rig\"",
          "Constraint: \"Constraint::Hero\",\"Character\"", "Constraint: \"Constraint::Follow\",\"Parent-Child\"",
          "Material: ", "Texture: ", "Video: ", "Deformer: ", "GenericNode: ", "Cache: ", "GeometryWeightedMap: ",
          "SceneInfo: ", "GlobalSettings: ", "ObjectType: \"Constraint\"", "ObjectType: \"ControlSetPlug\"",
          "ObjectType: \"Pose\"", "Character: 1", "Constraint: 2", "\"OP\",\"Model::ParentNode\",\"Constraint::Follow\""}) {
        EXPECT_NE(text.find(head), std::string::npos) << head;
    }
}

TEST_F(ParametricExport, OptionsLeaveCharactersOrConstraintsOut) {
    KFbxStreamOptionsFbxWriter* options = KFbxStreamOptionsFbxWriter::Create(mManager, "");
    options->SetOption("CHARACTER", false);
    const std::string path = Path("no_character.fbx");
    ASSERT_TRUE(Export(BuildScene(mManager), path, KFbxFileFormatRegistry::eFBX_ASCII_WRITER, options));
    std::ifstream in(path);
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(text.find("Constraint: \"Constraint::Hero\""), std::string::npos);
    EXPECT_EQ(text.find("ControlSetPlug: \""), std::string::npos);
    EXPECT_NE(text.find("Constraint: \"Constraint::Follow\""), std::string::npos);
    EXPECT_NE(text.find("ObjectType: \"Constraint\" {\n\t\tCount: 1\n"), std::string::npos) << text.substr(0, 2000);
}

TEST_F(ParametricExport, UnknownWordsReadAsTheDefaultKinds) {
    KFbxScene* read = nullptr;
    ASSERT_TRUE(ImportEdited("PatchType: \"BSpline\",\"Linear\"", "PatchType: \"Hermite\",\"Linear\"", read))
        << mLastError;
    auto* patch = AttributeOf<KFbxPatch>(*read, "LidNode");
    ASSERT_NE(patch, nullptr);
    EXPECT_EQ(patch->GetPatchUType(), KFbxPatch::eBEZIER);
    EXPECT_EQ(patch->GetPatchVType(), KFbxPatch::eLINEAR);
    EXPECT_EQ(patch->GetControlPointsCount(), 6);
}

// Records whose counts disagree with their arrays, or with unusable orders,
// are refused before the scene is touched.
struct BadRecord {
    const char* mName;
    const char* mFrom;
    const char* mTo;
};

class ParametricBadInput : public ParametricExport, public ::testing::WithParamInterface<BadRecord> {};

TEST_P(ParametricBadInput, IsRefusedWithAnErrorAndTheSceneKept) {
    KFbxScene* read = nullptr;
    EXPECT_FALSE(ImportEdited(GetParam().mFrom, GetParam().mTo, read));
    EXPECT_FALSE(mLastError.empty());
    ASSERT_NE(read, nullptr);
    EXPECT_NE(read->FindNodeByName(KString("Kept")), nullptr);
    EXPECT_EQ(read->FindNodeByName(KString("SailNode")), nullptr);
}

// Every value list of these records replaced by odd ones: each file is read
// or refused, never more.
TEST_F(ParametricExport, OddValuesInAnyFieldAreSurvived) {
    const std::string text = AsciiText(BuildScene(mManager));
    const char* const fields[] = {"Dimensions: ", "NurbOrder: ", "NurbsSurfaceOrder: ", "Order: ", "Points: ",
                                  "KnotVector", "Multiplicity", "Step: ", "SurfaceDisplay: ", "PatchType: ",
                                  "Closed: ", "Form: ", "Offset: ", "ORDER: ", "MIN: ", "NbPoseNodes: ", "Matrix: "};
    const char* const values[] = {"", "-1", "2147483647", "\"x\""};
    const std::string path = Path("odd.fbx");
    for (const char* field : fields) {
        for (std::size_t at = text.find(field); at != std::string::npos; at = text.find(field, at + 1)) {
            const std::size_t from = text.find(": ", at) + 2;
            const std::size_t to = text.find('\n', from);
            for (const char* value : values) {
                std::string edited = text;
                edited.replace(from, to - from, value);
                std::ofstream(path, std::ios::binary | std::ios::trunc) << edited;
                KFbxScene* read = KFbxScene::Create(mManager, "odd");
                Import(path, read);
                read->Destroy();
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Records, ParametricBadInput,
    ::testing::Values(BadRecord{"NurbDimensionsPastThePoints", "Dimensions: 2,3", "Dimensions: 2,4"},
                      BadRecord{"NurbNegativeOrder", "NurbOrder: 2,3", "NurbOrder: -2,3"},
                      BadRecord{"NurbHugeOrder", "NurbOrder: 2,3", "NurbOrder: 2,100000"},
                      BadRecord{"NurbNegativeDimension", "Dimensions: 2,3", "Dimensions: -2,3"},
                      BadRecord{"NurbHugeDimensions", "Dimensions: 2,3", "Dimensions: 2000000,2000000"},
                      BadRecord{"NurbShortMultiplicity", "MultiplicityV: 1,1,3", "MultiplicityV: 1,1"},
                      BadRecord{"NurbShortKnots", "KnotVectorU: 0,0.5,1,1.5,2", "KnotVectorU: 0,0.5"},
                      BadRecord{"PatchPointsShort", "Dimensions: 3,2", "Dimensions: 3,3"},
                      BadRecord{"PatchOneStep", "Step: 2,9", "Step: 2"},
                      BadRecord{"NurbFormChangesTheKnotCount", "Form: \"Periodic\",\"Closed\"",
                                "Form: \"Spiral\",\"Closed\""},
                      BadRecord{"CurveNegativeOrder", "Order: 3", "Order: -3"},
                      BadRecord{"CurveKnotsLong", "KnotVector: 0,0.125", "KnotVector: 0,0,0.125"},
                      BadRecord{"ParentOffsetShort", "Offset: 10,20,30,-1,-2,-3,0,0,0", "Offset: 10,20"}),
    [](const ::testing::TestParamInfo<BadRecord>& info) { return std::string(info.param.mName); });

}  // namespace
}  // namespace fbxsdk_2006_11_1::readertest
