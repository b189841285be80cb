#include <fbxfilesdk/geometry/KFbxBoundary.h>

#include <fbxfilesdk/geometry/KFbxNurbsCurve.h>
#include <fbxfilesdk/geometry/KFbxParametricGeometry_internal.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

#include <new>

namespace fbxsdk_2006_11_1 {


KFbxBoundary::KFbxBoundary(KFbxSdkManager* manager, const char* name) : KFbxGeometry(manager, name) {}

KFbxBoundary::~KFbxBoundary() = default;

KFbxBoundary* KFbxBoundary::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxBoundary>(manager, ClassId, name);
}

KFbxPlug* KFbxBoundary::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxBoundary>(manager, name);
}

KFbxClassId KFbxBoundary::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxBoundary::NewInternalObject() { return new (std::nothrow) KFbxBoundary_internal(this); }

const char* KFbxBoundary::GetTypeName() const { return "Boundary"; }

void KFbxBoundary::Copy(const KFbxObject& other) {
    const auto* boundary = dynamic_cast<const KFbxBoundary*>(&other);
    if (boundary == nullptr || boundary == this || !CopyGeometry(*boundary)) {
        return;
    }
    for (int index = 0; index < boundary->GetCurveCount(); ++index) {
        AddCurve(boundary->GetCurve(index));
    }
}

KFbxNodeAttribute* KFbxBoundary::Clone(int mode) const { return KFbxCloneWithContents(*this, mode); }

bool KFbxBoundary::AddCurve(KFbxNurbsCurve* curve) {
    return curve != nullptr && KFbxNurbsCurve::ClassId != KFbxClassId() && !IsConnectedSrc(curve) && ConnectSrc(curve);
}

int KFbxBoundary::GetCurveCount() const {
    return KFbxNurbsCurve::ClassId == KFbxClassId() ? 0 : GetSrcObjectCount(KFbxNurbsCurve::ClassId);
}

KFbxNurbsCurve* KFbxBoundary::GetCurve(int index) const {
    if (index < 0 || index >= GetCurveCount()) {
        return nullptr;
    }
    return static_cast<KFbxNurbsCurve*>(GetSrcObject(KFbxNurbsCurve::ClassId, index));
}

}  // namespace fbxsdk_2006_11_1
