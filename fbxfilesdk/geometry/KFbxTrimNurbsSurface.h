// A trimmed NURBS surface: a NURBS surface with regions cut out of it. Each
// trim region is a list of boundaries, the first its outer loop. The
// surface and the boundaries are connected sources of the trimmed surface,
// which records which region each boundary belongs to.
#ifndef FBXFILESDK_GEOMETRY_KFBXTRIMNURBSSURFACE_H
#define FBXFILESDK_GEOMETRY_KFBXTRIMNURBSSURFACE_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>

#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxBoundary;
class KFbxNurbsSurface;
class KFbxObject;
class KFbxObject_internal;
class KFbxPlug;
class KFbxSdkManager;

class KFbxTrimNurbsSurface : public KFbxGeometry {
public:
    // The class id of KFbxTrimNurbsSurface; null until the class is registered.
    static KFbxClassId ClassId;

    KFbxTrimNurbsSurface(KFbxSdkManager* manager, const char* name);
    ~KFbxTrimNurbsSurface() override;

    // Through the manager; null when the class is not registered or memory runs out.
    static KFbxTrimNurbsSurface* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    KFbxObject_internal* NewInternalObject() override;
    EAttributeType GetAttributeType() const override { return eTRIM_NURBS_SURFACE; }
    // "TrimNurbsSurface".
    const char* GetTypeName() const override;
    // From another trimmed surface: its geometry and flag, and its surface
    // and boundaries by region, which this one then shares.
    void Copy(const KFbxObject& other) override;
    // Mode 2: a new trimmed surface of the same name over the same parts.
    KFbxNodeAttribute* Clone(int mode) const override;

    // The surface replaces the previous one; null only removes it. False for
    // a refused connection.
    bool SetNurbsSurface(KFbxNurbsSurface* surface);
    // Null when none.
    KFbxNurbsSurface* GetNurbsSurface() const;

    // Regions are numbered from 0 in the order they are first given a
    // boundary; a boundary goes to an existing region or opens the next
    // one. False for null, a region beyond the next, a boundary already in
    // the surface, or a refused connection.
    bool AddBoundary(KFbxBoundary* boundary, int region = 0);
    int GetTrimRegionCount() const { return static_cast<int>(mRegions.size()); }
    // Boundaries of a region that are still connected; 0 out of range.
    int GetBoundaryCount(int region = 0) const;
    // Null out of range.
    KFbxBoundary* GetBoundary(int index, int region = 0) const;

    void SetFlipNormals(bool flip) { mFlipNormals = flip; }
    bool GetFlipNormals() const { return mFlipNormals; }

private:
    bool IsBoundarySource(const KFbxBoundary* boundary) const;
    // Region entries of boundaries that are no longer sources go.
    void ForgetLostBoundaries();

    std::vector<std::vector<KFbxBoundary*>> mRegions;
    bool mFlipNormals = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
