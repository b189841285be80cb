// A NURBS surface in the newer form: the shared grid of control points,
// orders, types, steps and knots, whose points keep their weight as fourth
// coordinate, and a third flag that flips its normals. It has no
// multiplicities.
#ifndef FBXFILESDK_GEOMETRY_KFBXNURBSSURFACE_H
#define FBXFILESDK_GEOMETRY_KFBXNURBSSURFACE_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/geometry/KFbxNurbsGridGeometry.h>

namespace fbxsdk_2006_11_1 {

class KFbxObject;
class KFbxObject_internal;
class KFbxPlug;
class KFbxSdkManager;

class KFbxNurbsSurface : public KFbxNurbsGridGeometry {
public:
    // The class id of KFbxNurbsSurface; null until the class is registered.
    static KFbxClassId ClassId;

    // No points, order 4 and step 4 in both directions, both open.
    KFbxNurbsSurface(KFbxSdkManager* manager, const char* name);
    ~KFbxNurbsSurface() override;

    // Through the manager; null when the class is not registered or memory runs out.
    static KFbxNurbsSurface* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    KFbxObject_internal* NewInternalObject() override;
    EAttributeType GetAttributeType() const override { return eNURBS_SURFACE; }
    // "NurbsSurface".
    const char* GetTypeName() const override;
    // From another NURBS surface: points, layers, pivot, shapes, every
    // parameter and the three flags. Nothing from any other object.
    void Copy(const KFbxObject& other) override;
    // Mode 2: a new surface of the same name with this one's contents.
    KFbxNodeAttribute* Clone(int mode) const override;

    // Flag 2: the surface's normals point the other way.
    void SetFlag2(bool flipNormals) { mFlag2 = flipNormals; }
    bool GetFlag2() const { return mFlag2; }

private:
    bool mFlag2 = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
