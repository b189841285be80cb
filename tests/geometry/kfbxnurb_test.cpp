#include "GeometryTestSupport.h"

#include <fbxfilesdk/core/KFbxObject_internal.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/geometry/KFbxBoundary.h>
#include <fbxfilesdk/geometry/KFbxGeometryConverter.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxNurb.h>
#include <fbxfilesdk/geometry/KFbxNurbsCurve.h>
#include <fbxfilesdk/geometry/KFbxNurbsSurface.h>
#include <fbxfilesdk/geometry/KFbxOpticalReference.h>
#include <fbxfilesdk/geometry/KFbxPatch.h>
#include <fbxfilesdk/geometry/KFbxTrimNurbsSurface.h>

#include <climits>

namespace fbxsdk_2006_11_1 {
namespace {

using ParametricGeometryTest = geometrytest::GeometryTest;

const KPlugClassInfo* TwinClassOf(const KFbxObject* object) {
    return object != nullptr && object->GetInternalObject() != nullptr ? object->GetInternalObject()->GetClassInfo()
                                                                       : nullptr;
}

TEST_F(ParametricGeometryTest, EachKindIsMadeByItsClassIdWithItsOwnTwin) {
    struct Kind {
        KFbxClassId classId;
        const char* name;
        const KPlugClassInfo* twin;
        int attributeType;
    };
    const Kind kinds[] = {
        {KFbxNurb::ClassId, "Nurb", &gKFbxNurb_internalClassInfo, KFbxNodeAttribute::eNURB},
        {KFbxNurbsSurface::ClassId, "NurbsSurface", &gKFbxNurbsSurface_internalClassInfo,
         KFbxNodeAttribute::eNURBS_SURFACE},
        {KFbxNurbsCurve::ClassId, "NurbsCurve", &gKFbxNurbsCurve_internalClassInfo, KFbxNodeAttribute::eNURBS_CURVE},
        {KFbxPatch::ClassId, "Patch", &gKFbxPatch_internalClassInfo, KFbxNodeAttribute::ePATCH},
        {KFbxBoundary::ClassId, "Boundary", &gKFbxBoundary_internalClassInfo, KFbxNodeAttribute::eBOUNDARY},
        {KFbxTrimNurbsSurface::ClassId, "TrimNurbsSurface", &gKFbxTrimNurbsSurface_internalClassInfo,
         KFbxNodeAttribute::eTRIM_NURBS_SURFACE},
        {KFbxOpticalReference::ClassId, "Optical", &gKFbxOpticalReference_internalClassInfo,
         KFbxNodeAttribute::eOPTICAL_REFERENCE},
    };
    for (const Kind& kind : kinds) {
        SCOPED_TRACE(kind.name);
        ASSERT_NE(kind.classId, KFbxClassId());
        auto* attribute = dynamic_cast<KFbxNodeAttribute*>(CreateObjectOfClass(mManager, kind.classId, "made"));
        ASSERT_NE(attribute, nullptr);
        EXPECT_TRUE(attribute->Is(kind.classId));
        EXPECT_EQ(attribute->GetAttributeType(), kind.attributeType);
        EXPECT_STREQ(attribute->GetTypeName(), kind.name);
        EXPECT_EQ(TwinClassOf(attribute), kind.twin);
        EXPECT_EQ(attribute->Is(KFbxGeometry::ClassId), kind.attributeType != KFbxNodeAttribute::eOPTICAL_REFERENCE);
        attribute->Destroy();
    }
    KFbxGeometryConverter* converter = KFbxGeometryConverter::Create(mManager, "");
    ASSERT_NE(converter, nullptr);
    EXPECT_TRUE(converter->Is(KFbxObject::ClassId));
    EXPECT_FALSE(converter->Is(KFbxNodeAttribute::ClassId));
    converter->Destroy();
}

TEST_F(ParametricGeometryTest, OpticalReferenceIsFlaggedAsMarker) {
    KFbxOpticalReference* reference = KFbxOpticalReference::Create(mManager, "reference");
    ASSERT_NE(reference, nullptr);
    KStringList flags;
    reference->GetTypeFlags(flags);
    ASSERT_EQ(flags.GetCount(), 1);
    EXPECT_STREQ(flags.GetStringAt(0), "Marker");
    reference->Destroy();
}

TEST_F(ParametricGeometryTest, NurbHoldsGridOrdersKnotsAndMultiplicities) {
    KFbxNurb* nurb = KFbxNurb::Create(mManager, "nurb");
    ASSERT_NE(nurb, nullptr);
    EXPECT_EQ(nurb->GetUKnotCount(), 0);
    EXPECT_EQ(nurb->GetUKnotVector(), nullptr);

    ASSERT_TRUE(nurb->SetOrder(3, 4));
    ASSERT_TRUE(nurb->InitControlPoints(5, KFbxNurb::eOPEN, 6, KFbxNurb::ePERIODIC));
    nurb->SetStep(2, 7);
    nurb->SetSurfaceMode(3);
    EXPECT_EQ(nurb->GetControlPointsCount(), 30);
    EXPECT_EQ(nurb->GetControlPoints()[29][3], 1.0);
    EXPECT_EQ(nurb->GetUCount(), 5);
    EXPECT_EQ(nurb->GetVCount(), 6);
    EXPECT_EQ(nurb->GetNurbUType(), KFbxNurb::eOPEN);
    EXPECT_EQ(nurb->GetNurbVType(), KFbxNurb::ePERIODIC);
    EXPECT_EQ(nurb->GetUOrder(), 3);
    EXPECT_EQ(nurb->GetVOrder(), 4);
    EXPECT_EQ(nurb->GetUStep(), 2);
    EXPECT_EQ(nurb->GetVStep(), 7);
    EXPECT_EQ(nurb->GetSurfaceMode(), 3);
    // Open: count + order; periodic: count + 2 order - 1.
    EXPECT_EQ(nurb->GetUKnotCount(), 8);
    EXPECT_EQ(nurb->GetVKnotCount(), 13);
    // An open direction is clamped at both ends.
    const double* u = nurb->GetUKnotVector();
    EXPECT_EQ(u[0], 0.0);
    EXPECT_EQ(u[2], 0.0);
    EXPECT_EQ(u[3], 1.0);
    EXPECT_EQ(u[5], 3.0);
    EXPECT_EQ(u[7], 3.0);
    for (int index = 0; index < 5; ++index) EXPECT_EQ(nurb->GetUMultiplicityVector()[index], 1);
    for (int index = 0; index < 6; ++index) EXPECT_EQ(nurb->GetVMultiplicityVector()[index], 1);

    // A closed direction returns to its first point: one knot more than open.
    ASSERT_TRUE(nurb->InitControlPoints(5, KFbxNurb::eCLOSED, 6, KFbxNurb::eOPEN));
    EXPECT_EQ(nurb->GetUKnotCount(), 9);
    // A new order resizes the knots.
    ASSERT_TRUE(nurb->SetOrder(2, 2));
    EXPECT_EQ(nurb->GetUKnotCount(), 8);
    EXPECT_EQ(nurb->GetVKnotCount(), 8);
    nurb->Destroy();
}

TEST_F(ParametricGeometryTest, BadCountsAndOrdersAreRefusedBeforeAnythingIsSized) {
    KFbxNurb* nurb = KFbxNurb::Create(mManager, "nurb");
    ASSERT_NE(nurb, nullptr);
    ASSERT_TRUE(nurb->InitControlPoints(4, KFbxNurb::eOPEN, 4, KFbxNurb::eOPEN));
    EXPECT_FALSE(nurb->InitControlPoints(-1, KFbxNurb::eOPEN, 4, KFbxNurb::eOPEN));
    EXPECT_FALSE(nurb->InitControlPoints(4, KFbxNurb::eOPEN, -4, KFbxNurb::eOPEN));
    // The product overflows an int.
    EXPECT_FALSE(nurb->InitControlPoints(INT_MAX, KFbxNurb::eOPEN, 3, KFbxNurb::eOPEN));
    EXPECT_FALSE(nurb->InitControlPoints(1 << 16, KFbxNurb::eOPEN, 1 << 16, KFbxNurb::eOPEN));
    EXPECT_FALSE(nurb->SetOrder(0, 4));
    EXPECT_FALSE(nurb->SetOrder(4, INT_MAX));
    // Nothing changed.
    EXPECT_EQ(nurb->GetControlPointsCount(), 16);
    EXPECT_EQ(nurb->GetUCount(), 4);
    EXPECT_EQ(nurb->GetUOrder(), 4);
    EXPECT_EQ(nurb->GetUKnotCount(), 8);
    nurb->Destroy();

    KFbxNurbsCurve* curve = KFbxNurbsCurve::Create(mManager, "curve");
    ASSERT_NE(curve, nullptr);
    EXPECT_FALSE(curve->InitControlPoints(-3, KFbxNurbsCurve::eOPEN));
    EXPECT_FALSE(curve->InitControlPoints(INT_MAX, KFbxNurbsCurve::ePERIODIC));
    EXPECT_FALSE(curve->SetOrder(-1));
    EXPECT_EQ(curve->GetControlPointsCount(), 0);
    curve->Destroy();

    KFbxPatch* patch = KFbxPatch::Create(mManager, "patch");
    ASSERT_NE(patch, nullptr);
    EXPECT_FALSE(patch->InitControlPoints(INT_MAX, KFbxPatch::eBEZIER, INT_MAX, KFbxPatch::eBEZIER));
    EXPECT_FALSE(patch->InitControlPoints(-4, KFbxPatch::eBEZIER, 4, KFbxPatch::eBEZIER));
    EXPECT_EQ(patch->GetControlPointsCount(), 0);
    patch->Destroy();
}

TEST_F(ParametricGeometryTest, NurbCloneCopiesEverything) {
    KFbxNurb* nurb = KFbxNurb::Create(mManager, "original");
    ASSERT_NE(nurb, nullptr);
    nurb->SetOrder(3, 2);
    nurb->InitControlPoints(3, KFbxNurb::eOPEN, 2, KFbxNurb::eCLOSED);
    nurb->GetControlPoints()[4] = KFbxVector4(1, 2, 3, 0.5);
    nurb->GetUKnotVector()[1] = 0.25;
    nurb->GetVMultiplicityVector()[1] = 3;
    nurb->SetStep(5, 6);
    nurb->SetFlag0(true);
    nurb->SetFlag1(true);
    nurb->InitNormals();

    auto* copy = dynamic_cast<KFbxNurb*>(nurb->Clone(2));
    ASSERT_NE(copy, nullptr);
    EXPECT_NE(copy, nurb);
    EXPECT_STREQ(copy->GetName(), "original");
    EXPECT_EQ(copy->GetControlPointsCount(), 6);
    EXPECT_EQ(copy->GetControlPoints()[4][3], 0.5);
    EXPECT_EQ(copy->GetUOrder(), 3);
    EXPECT_EQ(copy->GetVOrder(), 2);
    EXPECT_EQ(copy->GetNurbVType(), KFbxNurb::eCLOSED);
    EXPECT_EQ(copy->GetUKnotCount(), nurb->GetUKnotCount());
    EXPECT_EQ(copy->GetUKnotVector()[1], 0.25);
    EXPECT_EQ(copy->GetVMultiplicityVector()[1], 3);
    EXPECT_EQ(copy->GetUStep(), 5);
    EXPECT_TRUE(copy->GetFlag0());
    EXPECT_TRUE(copy->GetFlag1());
    EXPECT_NE(copy->GetNormals(), nullptr);
    EXPECT_EQ(nurb->Clone(1), nullptr);
    copy->Destroy();
    nurb->Destroy();
}

TEST_F(ParametricGeometryTest, NurbsSurfaceKeepsWeightsAndItsThirdFlag) {
    KFbxNurbsSurface* surface = KFbxNurbsSurface::Create(mManager, "surface");
    ASSERT_NE(surface, nullptr);
    ASSERT_TRUE(surface->InitControlPoints(4, KFbxNurbsSurface::eOPEN, 4, KFbxNurbsSurface::eOPEN));
    surface->GetControlPoints()[0][3] = 0.5;
    surface->SetFlag2(true);
    auto* copy = dynamic_cast<KFbxNurbsSurface*>(surface->Clone(2));
    ASSERT_NE(copy, nullptr);
    EXPECT_TRUE(copy->GetFlag2());
    EXPECT_EQ(copy->GetControlPoints()[0][3], 0.5);
    EXPECT_EQ(copy->GetUKnotCount(), 8);
    // A NURB copies only from a NURB.
    KFbxNurb* nurb = KFbxNurb::Create(mManager, "nurb");
    ASSERT_NE(nurb, nullptr);
    nurb->Copy(*surface);
    EXPECT_EQ(nurb->GetControlPointsCount(), 0);
    nurb->Destroy();
    copy->Destroy();
    surface->Destroy();
}

TEST_F(ParametricGeometryTest, NurbsCurveKnotsFollowItsOwnTypeNumbers) {
    KFbxNurbsCurve* curve = KFbxNurbsCurve::Create(mManager, "curve");
    ASSERT_NE(curve, nullptr);
    EXPECT_EQ(curve->GetDimension(), KFbxNurbsCurve::e3D);
    ASSERT_TRUE(curve->SetOrder(3));
    ASSERT_TRUE(curve->InitControlPoints(5, KFbxNurbsCurve::eOPEN));
    EXPECT_EQ(curve->GetKnotCount(), 8);
    ASSERT_TRUE(curve->InitControlPoints(5, KFbxNurbsCurve::ePERIODIC));
    EXPECT_EQ(curve->GetKnotCount(), 10);
    // Any value but 1 and 2 is open.
    ASSERT_TRUE(curve->InitControlPoints(5, static_cast<KFbxNurbsCurve::EType>(7)));
    EXPECT_EQ(curve->GetKnotCount(), 8);
    EXPECT_EQ(curve->GetType(), 7);

    EXPECT_FALSE(curve->IsRational());
    curve->GetControlPoints()[2][3] = 2.0;
    EXPECT_TRUE(curve->IsRational());
    curve->SetDimension(KFbxNurbsCurve::e2D);
    auto* copy = dynamic_cast<KFbxNurbsCurve*>(curve->Clone(2));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetDimension(), KFbxNurbsCurve::e2D);
    EXPECT_EQ(copy->GetOrder(), 3);
    EXPECT_EQ(copy->GetKnotCount(), 8);
    EXPECT_TRUE(copy->IsRational());
    copy->Destroy();
    curve->Destroy();
}

TEST_F(ParametricGeometryTest, PatchHoldsBasesStepsAndFlags) {
    KFbxPatch* patch = KFbxPatch::Create(mManager, "patch");
    ASSERT_NE(patch, nullptr);
    ASSERT_TRUE(patch->InitControlPoints(4, KFbxPatch::eBSPLINE, 7, KFbxPatch::eBEZIER));
    patch->SetStep(3, 9);
    patch->SetClosed(true, false);
    patch->SetUCapped(true, false);
    patch->SetVCapped(false, true);
    patch->SetSurfaceMode(2);
    auto* copy = dynamic_cast<KFbxPatch*>(patch->Clone(2));
    ASSERT_NE(copy, nullptr);
    for (const KFbxPatch* p : {static_cast<const KFbxPatch*>(patch), static_cast<const KFbxPatch*>(copy)}) {
        EXPECT_EQ(p->GetControlPointsCount(), 28);
        EXPECT_EQ(p->GetUCount(), 4);
        EXPECT_EQ(p->GetVCount(), 7);
        EXPECT_EQ(p->GetPatchUType(), KFbxPatch::eBSPLINE);
        EXPECT_EQ(p->GetPatchVType(), KFbxPatch::eBEZIER);
        EXPECT_EQ(p->GetUStep(), 3);
        EXPECT_EQ(p->GetVStep(), 9);
        EXPECT_TRUE(p->GetUClosed());
        EXPECT_FALSE(p->GetVClosed());
        EXPECT_TRUE(p->GetUCappedBottom());
        EXPECT_FALSE(p->GetUCappedTop());
        EXPECT_FALSE(p->GetVCappedBottom());
        EXPECT_TRUE(p->GetVCappedTop());
        EXPECT_EQ(p->GetSurfaceMode(), 2);
    }
    copy->Destroy();
    patch->Destroy();
}

TEST_F(ParametricGeometryTest, TrimmedSurfaceGroupsBoundariesByRegion) {
    KFbxTrimNurbsSurface* trim = KFbxTrimNurbsSurface::Create(mManager, "trim");
    KFbxNurbsSurface* surface = KFbxNurbsSurface::Create(mManager, "surface");
    KFbxNurbsSurface* other = KFbxNurbsSurface::Create(mManager, "other");
    KFbxBoundary* outer = KFbxBoundary::Create(mManager, "outer");
    KFbxBoundary* hole = KFbxBoundary::Create(mManager, "hole");
    KFbxBoundary* island = KFbxBoundary::Create(mManager, "island");
    KFbxNurbsCurve* curve = KFbxNurbsCurve::Create(mManager, "curve");
    ASSERT_TRUE(trim && surface && other && outer && hole && island && curve);

    EXPECT_EQ(trim->GetNurbsSurface(), nullptr);
    EXPECT_EQ(trim->GetBoundaryCount(0), 0);
    EXPECT_EQ(trim->GetBoundary(0, 0), nullptr);
    EXPECT_TRUE(trim->SetNurbsSurface(surface));
    EXPECT_TRUE(trim->SetNurbsSurface(other));
    EXPECT_EQ(trim->GetNurbsSurface(), other);
    EXPECT_FALSE(trim->IsConnectedSrc(surface));

    EXPECT_FALSE(trim->AddBoundary(outer, 1));  // region 0 comes first
    EXPECT_TRUE(trim->AddBoundary(outer, 0));
    EXPECT_TRUE(trim->AddBoundary(hole, 0));
    EXPECT_FALSE(trim->AddBoundary(hole, 1));  // already in
    EXPECT_FALSE(trim->AddBoundary(nullptr, 1));
    EXPECT_TRUE(trim->AddBoundary(island, 1));
    EXPECT_EQ(trim->GetTrimRegionCount(), 2);
    EXPECT_EQ(trim->GetBoundaryCount(0), 2);
    EXPECT_EQ(trim->GetBoundary(1, 0), hole);
    EXPECT_EQ(trim->GetBoundary(0, 1), island);
    EXPECT_EQ(trim->GetBoundary(2, 0), nullptr);
    EXPECT_EQ(trim->GetBoundary(0, 5), nullptr);
    EXPECT_EQ(trim->GetBoundaryCount(-1), 0);
    trim->SetFlipNormals(true);

    EXPECT_EQ(outer->GetCurveCount(), 0);
    EXPECT_TRUE(outer->AddCurve(curve));
    EXPECT_FALSE(outer->AddCurve(curve));
    EXPECT_FALSE(outer->AddCurve(nullptr));
    EXPECT_EQ(outer->GetCurveCount(), 1);
    EXPECT_EQ(outer->GetCurve(0), curve);
    EXPECT_EQ(outer->GetCurve(1), nullptr);
    // Curves are shared by boundary copies.
    auto* outerCopy = dynamic_cast<KFbxBoundary*>(outer->Clone(2));
    ASSERT_NE(outerCopy, nullptr);
    EXPECT_EQ(outerCopy->GetCurve(0), curve);

    auto* copy = dynamic_cast<KFbxTrimNurbsSurface*>(trim->Clone(2));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->GetNurbsSurface(), other);
    EXPECT_EQ(copy->GetTrimRegionCount(), 2);
    EXPECT_EQ(copy->GetBoundary(1, 0), hole);
    EXPECT_EQ(copy->GetBoundary(0, 1), island);
    EXPECT_TRUE(copy->GetFlipNormals());

    // A boundary destroyed elsewhere leaves its region without dangling.
    hole->Destroy();
    EXPECT_EQ(trim->GetBoundaryCount(0), 1);
    EXPECT_EQ(trim->GetBoundary(1, 0), nullptr);
    EXPECT_EQ(copy->GetBoundaryCount(0), 1);
    for (KFbxObject* object :
         std::initializer_list<KFbxObject*>{copy, outerCopy, trim, surface, other, outer, island, curve}) {
        object->Destroy();
    }
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
