// NURBS, patches, curves, trim boundaries and trimmed surfaces as the FBX 6
// writer stores them.
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/fbx/KFbxFbx6RecordWords.h>
#include <fbxfilesdk/geometry/KFbxBoundary.h>
#include <fbxfilesdk/geometry/KFbxNurb.h>
#include <fbxfilesdk/geometry/KFbxNurbsCurve.h>
#include <fbxfilesdk/geometry/KFbxNurbsSurface.h>
#include <fbxfilesdk/geometry/KFbxPatch.h>
#include <fbxfilesdk/geometry/KFbxTrimNurbsSurface.h>

#include "Fbx6RecordText.h"
#include "Fbx6WriterSupport.h"

#include <gtest/gtest.h>

#include <string>

namespace fbxsdk_2006_11_1::fbx6test {
namespace {

class Fbx6NurbsTest : public Fbx6WriterTest {
protected:
    // 2 x 3 points of order 2 x 3, point i at (i, 2i, 3i) with weight 0.5
    // for the second point.
    template <class Surface>
    Surface* MakeSurface(const char* name) {
        Surface* surface = Surface::Create(mManager, name);
        EXPECT_TRUE(surface->InitControlPoints(2, Surface::eOPEN, 3, Surface::eCLOSED));
        EXPECT_TRUE(surface->SetOrder(2, 3));
        surface->SetStep(5, 6);
        surface->SetSurfaceMode(1);
        for (int i = 0; i < surface->GetControlPointsCount(); ++i) {
            surface->GetControlPoints()[i] = KFbxVector4(i, 2.0 * i, 3.0 * i, i == 1 ? 0.5 : 1.0);
        }
        for (int k = 0; k < surface->GetUKnotCount(); ++k) surface->GetUKnotVector()[k] = k;
        for (int k = 0; k < surface->GetVKnotCount(); ++k) surface->GetVKnotVector()[k] = 10.0 + k;
        return surface;
    }

    KFbxNurbsCurve* MakeCurve(const char* name, int count, KFbxNurbsCurve::EType type) {
        KFbxNurbsCurve* curve = KFbxNurbsCurve::Create(mManager, name);
        EXPECT_TRUE(curve->InitControlPoints(count, type));
        EXPECT_TRUE(curve->SetOrder(2));
        for (int i = 0; i < count; ++i) curve->GetControlPoints()[i] = KFbxVector4(i, 1.0, 0.0, 1.0);
        return curve;
    }
};

TEST_F(Fbx6NurbsTest, FormAndBasisWordsFollowTheirOwnTables) {
    // The two form tables disagree on purpose: a NURB's 0 and a curve's 2 are periodic.
    EXPECT_STREQ(KFbxNurbFormWord(0), "Periodic");
    EXPECT_STREQ(KFbxNurbFormWord(1), "Closed");
    EXPECT_STREQ(KFbxNurbFormWord(2), "Open");
    EXPECT_STREQ(KFbxNurbFormWord(9), "Open");
    EXPECT_STREQ(KFbxCurveFormWord(2), "Periodic");
    EXPECT_STREQ(KFbxCurveFormWord(0), "Open");
    EXPECT_EQ(KFbxNurbTypeOfFormWord("Periodic"), 0);
    EXPECT_EQ(KFbxCurveTypeOfFormWord("Periodic"), 2);
    EXPECT_EQ(KFbxCurveTypeOfFormWord("Spiral"), -1);
    EXPECT_STREQ(KFbxPatchBasisWord(3), "BSpline");
    EXPECT_EQ(KFbxPatchBasisWord(7), nullptr);
    EXPECT_EQ(KFbxPatchBasisOfWord("Linear"), 4);
    EXPECT_EQ(KFbxPatchBasisOfWord(nullptr), -1);
}

TEST_F(Fbx6NurbsTest, NurbRecordKeepsItsWeightsAndMultiplicities) {
    KFbxNurb* nurb = MakeSurface<KFbxNurb>("Sail");
    nurb->GetUMultiplicityVector()[1] = 2;
    ExpectGolden(WriteRecords([&](KFbxWriterFbx6& writer) { EXPECT_TRUE(writer.WriteNurb(*nurb)); }), "fbx6_nurb");
}

TEST_F(Fbx6NurbsTest, NurbWithSwapFlagWritesTheSwappedCopyAndLeavesTheNurb) {
    KFbxNurb* nurb = MakeSurface<KFbxNurb>("Swapped");
    ASSERT_TRUE(nurb->SetOrder(3, 4));
    nurb->SetFlag0(true);
    const std::string text = WriteRecords([&](KFbxWriterFbx6& writer) { EXPECT_TRUE(writer.WriteNurb(*nurb)); });
    EXPECT_NE(text.find("NurbOrder: 4,3\n"), std::string::npos) << text;
    EXPECT_NE(text.find("Dimensions: 3,2\n"), std::string::npos) << text;
    // V of the source is closed: the copy's U is.
    EXPECT_NE(text.find("Form: \"Closed\",\"Open\""), std::string::npos) << text;
    EXPECT_EQ(nurb->GetUOrder(), 3);
    EXPECT_TRUE(nurb->GetFlag0());
    KFbx file;
    ASSERT_TRUE(Open(file));
    ASSERT_TRUE(file.FieldReadBegin("KnotVectorU"));
    EXPECT_EQ(file.FieldGetRemainingValueCount(), nurb->GetVKnotCount());
}

TEST_F(Fbx6NurbsTest, SurfacesWithoutPointsWriteNothing) {
    KFbxNurb* nurb = KFbxNurb::Create(mManager, "Empty");
    KFbxNurbsSurface* surface = KFbxNurbsSurface::Create(mManager, "EmptyToo");
    KFbxPatch* patch = KFbxPatch::Create(mManager, "EmptyPatch");
    KFbxNurbsCurve* curve = KFbxNurbsCurve::Create(mManager, "EmptyCurve");
    const std::string text = WriteRecords([&](KFbxWriterFbx6& writer) {
        EXPECT_TRUE(writer.WriteNurb(*nurb));
        EXPECT_TRUE(writer.WriteNurbsSurface(*surface));
        EXPECT_TRUE(writer.WritePatch(*patch));
        EXPECT_TRUE(writer.WriteNurbsCurve(*curve));
    });
    EXPECT_EQ(text.find("GeometryVersion"), std::string::npos) << text;
    EXPECT_EQ(text.find("Version"), std::string::npos) << text;
}

TEST_F(Fbx6NurbsTest, NurbsSurfaceRecordEndsWithFlipNormals) {
    KFbxNurbsSurface* surface = MakeSurface<KFbxNurbsSurface>("Hull");
    surface->SetFlag2(true);
    ExpectGolden(WriteRecords([&](KFbxWriterFbx6& writer) { EXPECT_TRUE(writer.WriteNurbsSurface(*surface)); }),
                 "fbx6_nurbs_surface");
}

TEST_F(Fbx6NurbsTest, PatchRecordWithPivotAndEveryFlag) {
    KFbxPatch* patch = KFbxPatch::Create(mManager, "Lid");
    ASSERT_TRUE(patch->InitControlPoints(2, KFbxPatch::eBSPLINE, 2, KFbxPatch::eCARDINAL));
    patch->SetStep(3, 7);
    patch->SetClosed(true, false);
    patch->SetUCapped(false, true);
    patch->SetVCapped(true, false);
    for (int i = 0; i < 4; ++i) patch->GetControlPoints()[i] = KFbxVector4(i, 0.0, 1.0, 1.0);
    // Points are stored through the pivot: here a move by (10, 20, 30).
    KgeMatrix pivot;
    pivot[3][0] = 10.0;
    pivot[3][1] = 20.0;
    pivot[3][2] = 30.0;
    patch->SetPivot(pivot);
    ExpectGolden(WriteRecords([&](KFbxWriterFbx6& writer) { EXPECT_TRUE(writer.WritePatch(*patch)); }), "fbx6_patch");
}

TEST_F(Fbx6NurbsTest, UnknownPatchBasisStillTakesItsPlace) {
    KFbxPatch* patch = KFbxPatch::Create(mManager, "Odd");
    ASSERT_TRUE(patch->InitControlPoints(1, static_cast<KFbxPatch::EPatchType>(7), 1, KFbxPatch::eLINEAR));
    const std::string text = WriteRecords([&](KFbxWriterFbx6& writer) { writer.WritePatch(*patch); });
    EXPECT_NE(text.find("PatchType: \"Bezier\",\"Linear\"\n"), std::string::npos) << text;
}

TEST_F(Fbx6NurbsTest, CurveRecordWritesItsGeometryFirst) {
    KFbxNurbsCurve* curve = MakeCurve("Rail", 3, KFbxNurbsCurve::ePERIODIC);
    curve->GetControlPoints()[2][3] = 2.0;
    curve->SetDimension(KFbxNurbsCurve::e2D);
    const std::string text =
        WriteRecords([&](KFbxWriterFbx6& writer) { EXPECT_TRUE(writer.WriteNurbsCurve(*curve)); });
    EXPECT_LT(text.find("GeometryVersion"), text.find("Type: \"NurbsCurve\""));
    ExpectGolden(text, "fbx6_nurbs_curve");
}

TEST_F(Fbx6NurbsTest, BoundaryAndTrimAreRefusedWhenTheyHoldNoCurve) {
    KFbxBoundary* boundary = KFbxBoundary::Create(mManager, "Loop");
    KFbxTrimNurbsSurface* trim = KFbxTrimNurbsSurface::Create(mManager, "Cut");
    const std::string text = WriteRecords([&](KFbxWriterFbx6& writer) {
        EXPECT_FALSE(writer.WriteBoundary(*boundary));
        EXPECT_FALSE(writer.WriteTrimNurbsSurface(*trim));
        // A surface and a boundary without curve are still not enough.
        ASSERT_TRUE(trim->SetNurbsSurface(MakeSurface<KFbxNurbsSurface>("Base")));
        ASSERT_TRUE(trim->AddBoundary(boundary));
        EXPECT_FALSE(writer.WriteTrimNurbsSurface(*trim));
    });
    EXPECT_EQ(text, "");
}

TEST_F(Fbx6NurbsTest, BoundaryAndTrimRecords) {
    KFbxBoundary* boundary = KFbxBoundary::Create(mManager, "Loop");
    ASSERT_TRUE(boundary->AddCurve(MakeCurve("Edge", 2, KFbxNurbsCurve::eOPEN)));
    KFbxTrimNurbsSurface* trim = KFbxTrimNurbsSurface::Create(mManager, "Cut");
    ASSERT_TRUE(trim->SetNurbsSurface(MakeSurface<KFbxNurbsSurface>("Base")));
    ASSERT_TRUE(trim->AddBoundary(boundary));
    trim->SetFlipNormals(true);
    const std::string text = WriteRecords([&](KFbxWriterFbx6& writer) {
        writer.GetFieldFile()->FieldWriteBegin("Boundary");
        writer.GetFieldFile()->FieldWriteBlockBegin();
        EXPECT_TRUE(writer.WriteBoundary(*boundary));
        writer.GetFieldFile()->FieldWriteBlockEnd();
        writer.GetFieldFile()->FieldWriteEnd();
        EXPECT_TRUE(writer.WriteTrimNurbsSurface(*trim));
    });
    ExpectGolden(WithoutPropertyBlocks(text), "fbx6_boundary_trim");
    // The boundary's block is its own: its curve's properties stay out.
    const std::size_t block = text.find("Properties60:");
    ASSERT_NE(block, std::string::npos);
    const std::string boundaryBlock = text.substr(block, text.find("}", block) - block);
    EXPECT_EQ(boundaryBlock.find("\"Color\""), boundaryBlock.rfind("\"Color\"")) << boundaryBlock;
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::fbx6test
