// A shape: an alternative set of control points, and layer-0 normals, that a
// geometry blends towards by the shape's weight.
#ifndef FBXFILESDK_GEOMETRY_KFBXSHAPE_H
#define FBXFILESDK_GEOMETRY_KFBXSHAPE_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/geometry/KFbxGeometryBase.h>

#include <atomic>
#include <cstdint>
#include <unordered_set>

namespace fbxsdk_2006_11_1 {

class KFbxGeometry;
class KFbxObject_internal;
class KFbxPlug;
class KFbxSdkManager;

// How many shapes the process has destroyed, each counted once as it goes.
// Geometries no longer need it; programs that watched it still can.
inline std::atomic<std::uint64_t> gKFbxShapeDestructions{0};

class KFbxShape : public KFbxGeometryBase {
public:
    // The class id of KFbxShape; null until the class is registered.
    static KFbxClassId ClassId;

    KFbxShape(KFbxSdkManager* manager, const char* name);
    ~KFbxShape() override;

    // Through the manager; null when the class is not registered or memory runs out.
    static KFbxShape* Create(KFbxSdkManager* manager, const char* name);
    // Constructs a shape with its twin; null when memory runs out.
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    KFbxObject_internal* NewInternalObject() override;
    // "Shape".
    const char* GetTypeName() const override;
    // A copy of the points and layers; false, unchanged, when memory runs out.
    bool Copy(const KFbxShape& other) { return CopyGeometryBase(other); }

    // The geometries still holding the shape let go of it.
    void DestroyContents(bool recursive, bool dependents) override;

private:
    friend class KFbxGeometry;
    // The geometry is told when the shape goes; false when memory runs out.
    bool NoteHolder(KFbxGeometry& geometry);
    // Called by a geometry as it goes, or as it lets go of the shape.
    void ForgetHolder(KFbxGeometry& geometry);
    // Each holder drops the shape, once, at whichever of Destroy and the
    // destructor comes first.
    void LeaveHolders();

    // Each holder takes itself out as it goes, so that none is left behind;
    // a set, as copies of a geometry may make a shape's holders many.
    std::unordered_set<KFbxGeometry*> mHolders;
};

}  // namespace fbxsdk_2006_11_1

#endif
