// A trim boundary: a closed loop of NURBS curves on a trimmed surface. The
// curves are the boundary's curve sources, in the order they were added;
// a curve may serve several boundaries.
#ifndef FBXFILESDK_GEOMETRY_KFBXBOUNDARY_H
#define FBXFILESDK_GEOMETRY_KFBXBOUNDARY_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>

namespace fbxsdk_2006_11_1 {

class KFbxNurbsCurve;
class KFbxObject;
class KFbxObject_internal;
class KFbxPlug;
class KFbxSdkManager;

class KFbxBoundary : public KFbxGeometry {
public:
    // The class id of KFbxBoundary; null until the class is registered.
    static KFbxClassId ClassId;

    KFbxBoundary(KFbxSdkManager* manager, const char* name);
    ~KFbxBoundary() override;

    // Through the manager; null when the class is not registered or memory runs out.
    static KFbxBoundary* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    KFbxObject_internal* NewInternalObject() override;
    EAttributeType GetAttributeType() const override { return eBOUNDARY; }
    // "Boundary".
    const char* GetTypeName() const override;
    // From another boundary: its geometry, and its curves, which this
    // boundary then shares. Nothing from any other object.
    void Copy(const KFbxObject& other) override;
    // Mode 2: a new boundary of the same name over the same curves.
    KFbxNodeAttribute* Clone(int mode) const override;

    // Connects the curve as a source; false for null, a curve already in the
    // boundary, or a refused connection.
    bool AddCurve(KFbxNurbsCurve* curve);
    int GetCurveCount() const;
    // Null out of range.
    KFbxNurbsCurve* GetCurve(int index) const;
};

}  // namespace fbxsdk_2006_11_1

#endif
