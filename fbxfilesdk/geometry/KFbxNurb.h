// A NURBS surface in the older form: the shared grid of control points,
// orders, types, steps and knots, plus one multiplicity per control point
// row (U) and column (V).
#ifndef FBXFILESDK_GEOMETRY_KFBXNURB_H
#define FBXFILESDK_GEOMETRY_KFBXNURB_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/geometry/KFbxNurbsGridGeometry.h>

namespace fbxsdk_2006_11_1 {

class KFbxObject;
class KFbxObject_internal;
class KFbxPlug;
class KFbxSdkManager;

class KFbxNurb : public KFbxNurbsGridGeometry {
public:
    // The class id of KFbxNurb; null until the class is registered.
    static KFbxClassId ClassId;

    // No points, order 4 and step 4 in both directions, both open.
    KFbxNurb(KFbxSdkManager* manager, const char* name);
    ~KFbxNurb() override;

    // Through the manager; null when the class is not registered or memory runs out.
    static KFbxNurb* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    KFbxObject_internal* NewInternalObject() override;
    EAttributeType GetAttributeType() const override { return eNURB; }
    // "Nurb".
    const char* GetTypeName() const override;
    // From another nurb: points, layers, pivot, shapes, every parameter and
    // the flags. Nothing from any other object.
    void Copy(const KFbxObject& other) override;
    // Mode 2: a new nurb of the same name with this one's contents.
    KFbxNodeAttribute* Clone(int mode) const override;

    // One per U (V) count, 1 after InitControlPoints; null when empty.
    int* GetUMultiplicityVector() { return KFbxDataOrNull(Grid().mU.mMultiplicities); }
    const int* GetUMultiplicityVector() const { return KFbxDataOrNull(GetGrid().mU.mMultiplicities); }
    int* GetVMultiplicityVector() { return KFbxDataOrNull(Grid().mV.mMultiplicities); }
    const int* GetVMultiplicityVector() const { return KFbxDataOrNull(GetGrid().mV.mMultiplicities); }
};

}  // namespace fbxsdk_2006_11_1

#endif
