// A patch surface: a U x V grid of control points (U runs fastest) that a
// basis per direction (Bezier, quadric Bezier, cardinal, B-spline or linear)
// turns into a surface, with a step, a closed flag and two capping flags per
// direction, and a display mode word.
#ifndef FBXFILESDK_GEOMETRY_KFBXPATCH_H
#define FBXFILESDK_GEOMETRY_KFBXPATCH_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>

namespace fbxsdk_2006_11_1 {

class KFbxObject;
class KFbxObject_internal;
class KFbxPlug;
class KFbxSdkManager;

class KFbxPatch : public KFbxGeometry {
public:
    // Values outside the named ones are kept, so the type is a full int.
    enum EPatchType : int { eBEZIER = 0, eBEZIER_QUADRIC = 1, eCARDINAL = 2, eBSPLINE = 3, eLINEAR = 4 };

    // The class id of KFbxPatch; null until the class is registered.
    static KFbxClassId ClassId;

    // No points, Bezier, step 4, open and uncapped in both directions.
    KFbxPatch(KFbxSdkManager* manager, const char* name);
    ~KFbxPatch() override;

    // Through the manager; null when the class is not registered or memory runs out.
    static KFbxPatch* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    KFbxObject_internal* NewInternalObject() override;
    EAttributeType GetAttributeType() const override { return ePATCH; }
    // "Patch".
    const char* GetTypeName() const override;
    // From another patch: points, layers, pivot, shapes and every parameter.
    // Nothing from any other object.
    void Copy(const KFbxObject& other) override;
    // Mode 2: a new patch of the same name with this one's contents.
    KFbxNodeAttribute* Clone(int mode) const override;

    // The display mode word, kept as given.
    void SetSurfaceMode(int mode) { mSurfaceMode = mode; }
    int GetSurfaceMode() const { return mSurfaceMode; }

    // uCount x vCount points (0, 0, 0, 1) with a basis per direction. False,
    // unchanged, for a negative count or too many points.
    bool InitControlPoints(int uCount, EPatchType uType, int vCount, EPatchType vType);
    using KFbxGeometryBase::InitControlPoints;
    int GetUCount() const { return mUCount; }
    int GetVCount() const { return mVCount; }
    // Kept as given, even outside the known bases.
    EPatchType GetPatchUType() const { return mUType; }
    EPatchType GetPatchVType() const { return mVType; }

    // Divisions of each span when the patch is tessellated.
    void SetStep(int uStep, int vStep);
    int GetUStep() const { return mUStep; }
    int GetVStep() const { return mVStep; }
    // A closed direction also joins its last point to its first.
    void SetClosed(bool u, bool v);
    bool GetUClosed() const { return mUClosed; }
    bool GetVClosed() const { return mVClosed; }
    void SetUCapped(bool bottom, bool top);
    bool GetUCappedBottom() const { return mUCappedBottom; }
    bool GetUCappedTop() const { return mUCappedTop; }
    void SetVCapped(bool bottom, bool top);
    bool GetVCappedBottom() const { return mVCappedBottom; }
    bool GetVCappedTop() const { return mVCappedTop; }

private:
    int mSurfaceMode = 0;
    int mUCount = 0;
    int mVCount = 0;
    EPatchType mUType = eBEZIER;
    EPatchType mVType = eBEZIER;
    int mUStep = 4;
    int mVStep = 4;
    bool mUClosed = false;
    bool mVClosed = false;
    bool mUCappedBottom = false;
    bool mUCappedTop = false;
    bool mVCappedBottom = false;
    bool mVCappedTop = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
