// What the two NURBS surface classes share: a U x V grid of control points
// (U runs fastest) with an order, a type, a step and a knot vector per
// direction, a display mode word, and two flags that ask writers to hand
// over a copy with U and V exchanged (flag 0) and the clusters remapped to
// it (flag 1). Not a class of its own in the class table.
#ifndef FBXFILESDK_GEOMETRY_KFBXNURBSGRIDGEOMETRY_H
#define FBXFILESDK_GEOMETRY_KFBXNURBSGRIDGEOMETRY_H

#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxNurbsGrid.h>

namespace fbxsdk_2006_11_1 {

class KFbxSdkManager;

class KFbxNurbsGridGeometry : public KFbxGeometry {
public:
    // Values outside the named ones read as open and are kept as given.
    enum ENurbType : int { ePERIODIC = 0, eCLOSED = 1, eOPEN = 2 };

    // The display mode word, kept as given.
    void SetSurfaceMode(int mode) { mGrid.mSurfaceMode = mode; }
    int GetSurfaceMode() const { return mGrid.mSurfaceMode; }

    // uCount x vCount points (0, 0, 0, 1), knots sized for the orders.
    // False, nothing changed, for a negative count or more points than a
    // surface may have.
    bool InitControlPoints(int uCount, ENurbType uType, int vCount, ENurbType vType);
    using KFbxGeometryBase::InitControlPoints;
    int GetUCount() const { return mGrid.mU.mCount; }
    int GetVCount() const { return mGrid.mV.mCount; }
    ENurbType GetNurbUType() const { return static_cast<ENurbType>(mGrid.mU.mType); }
    ENurbType GetNurbVType() const { return static_cast<ENurbType>(mGrid.mV.mType); }

    // Orders are degree + 1; the knot vectors are resized to match. False,
    // unchanged, for an order below 1 or above the supported maximum.
    bool SetOrder(int uOrder, int vOrder) { return mGrid.SetOrder(uOrder, vOrder); }
    int GetUOrder() const { return mGrid.mU.mOrder; }
    int GetVOrder() const { return mGrid.mV.mOrder; }
    // Divisions of each span when the surface is tessellated.
    void SetStep(int uStep, int vStep) { mGrid.SetStep(uStep, vStep); }
    int GetUStep() const { return mGrid.mU.mStep; }
    int GetVStep() const { return mGrid.mV.mStep; }

    int GetUKnotCount() const { return static_cast<int>(mGrid.mU.mKnots.size()); }
    int GetVKnotCount() const { return static_cast<int>(mGrid.mV.mKnots.size()); }
    // Null when empty.
    double* GetUKnotVector() { return KFbxDataOrNull(mGrid.mU.mKnots); }
    const double* GetUKnotVector() const { return KFbxDataOrNull(mGrid.mU.mKnots); }
    double* GetVKnotVector() { return KFbxDataOrNull(mGrid.mV.mKnots); }
    const double* GetVKnotVector() const { return KFbxDataOrNull(mGrid.mV.mKnots); }

    void SetFlag0(bool swapUV) { mFlag0 = swapUV; }
    bool GetFlag0() const { return mFlag0; }
    void SetFlag1(bool remapClusters) { mFlag1 = remapClusters; }
    bool GetFlag1() const { return mFlag1; }

    // Every parameter at once, for the converters.
    const KFbxNurbsGrid& GetGrid() const { return mGrid; }
    // False, unchanged, when the grid's point count is not the surface's.
    bool SetGrid(const KFbxNurbsGrid& grid);
    // Points, layers, pivot, shapes, grid and the two flags become copies of
    // the other's, which may be of the other NURBS kind; false, unchanged,
    // when memory runs out.
    bool CopyGridGeometry(const KFbxNurbsGridGeometry& other);

protected:
    KFbxNurbsGridGeometry(KFbxSdkManager* manager, const char* name);
    ~KFbxNurbsGridGeometry() override;

    KFbxNurbsGrid& Grid() { return mGrid; }

private:
    KFbxNurbsGrid mGrid;
    bool mFlag0 = false;
    bool mFlag1 = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
