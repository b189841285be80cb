#include <fbxfilesdk/geometry/KFbxNurbsCurve.h>

#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/geometry/KFbxNurbsGrid.h>
#include <fbxfilesdk/geometry/KFbxParametricGeometry_internal.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

KFbxNurbsGrid::EForm FormOfCurveType(KFbxNurbsCurve::EType type) {
    switch (type) {
        case KFbxNurbsCurve::ePERIODIC:
            return KFbxNurbsGrid::ePERIODIC_FORM;
        case KFbxNurbsCurve::eCLOSED:
            return KFbxNurbsGrid::eCLOSED_FORM;
        default:
            return KFbxNurbsGrid::eOPEN_FORM;
    }
}

}  // namespace


KFbxNurbsCurve::KFbxNurbsCurve(KFbxSdkManager* manager, const char* name) : KFbxGeometry(manager, name) {
    FitKnots(0, mOrder, mType);
}

KFbxNurbsCurve::~KFbxNurbsCurve() = default;

KFbxNurbsCurve* KFbxNurbsCurve::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxNurbsCurve>(manager, ClassId, name);
}

KFbxPlug* KFbxNurbsCurve::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxNurbsCurve>(manager, name);
}

KFbxClassId KFbxNurbsCurve::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxNurbsCurve::NewInternalObject() { return new (std::nothrow) KFbxNurbsCurve_internal(this); }

const char* KFbxNurbsCurve::GetTypeName() const { return "NurbsCurve"; }

void KFbxNurbsCurve::Copy(const KFbxObject& other) {
    const auto* curve = dynamic_cast<const KFbxNurbsCurve*>(&other);
    if (curve == nullptr || curve == this) {
        return;
    }
    try {
        std::vector<double> knots(curve->mKnots);
        if (!CopyGeometry(*curve)) {
            return;
        }
        mKnots.swap(knots);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return;
    }
    mType = curve->mType;
    mOrder = curve->mOrder;
    mDimension = curve->mDimension;
}

KFbxNodeAttribute* KFbxNurbsCurve::Clone(int mode) const { return KFbxCloneWithContents(*this, mode); }

bool KFbxNurbsCurve::FitKnots(int count, int order, EType type) {
    return KFbxNurbsGrid::FitKnots(mKnots, count, order, FormOfCurveType(type));
}

bool KFbxNurbsCurve::InitControlPoints(int count, EType type) {
    if (!FitKnots(count, mOrder, type)) {
        return false;
    }
    mType = type;
    KFbxNurbsGrid::InitUnitPoints(*this, count);
    return true;
}

bool KFbxNurbsCurve::SetOrder(int order) {
    if (!FitKnots(GetControlPointsCount(), order, mType)) {
        return false;
    }
    mOrder = order;
    return true;
}

double* KFbxNurbsCurve::GetKnotVector() { return KFbxDataOrNull(mKnots); }

const double* KFbxNurbsCurve::GetKnotVector() const { return KFbxDataOrNull(mKnots); }

bool KFbxNurbsCurve::IsRational() const {
    const KFbxVector4* points = GetControlPoints();
    for (int index = 0; index < GetControlPointsCount(); ++index) {
        if (points[index][3] != 1.0) {
            return true;
        }
    }
    return false;
}

}  // namespace fbxsdk_2006_11_1
