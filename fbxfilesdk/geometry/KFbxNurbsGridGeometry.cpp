#include <fbxfilesdk/geometry/KFbxNurbsGridGeometry.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <new>
#include <utility>

namespace fbxsdk_2006_11_1 {

KFbxNurbsGridGeometry::KFbxNurbsGridGeometry(KFbxSdkManager* manager, const char* name) : KFbxGeometry(manager, name) {}

KFbxNurbsGridGeometry::~KFbxNurbsGridGeometry() = default;

bool KFbxNurbsGridGeometry::InitControlPoints(int uCount, ENurbType uType, int vCount, ENurbType vType) {
    try {
        KFbxNurbsGrid grid(mGrid);
        if (!grid.Init(uCount, uType, vCount, vType)) {
            return false;
        }
        mGrid = std::move(grid);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    KFbxNurbsGrid::InitUnitPoints(*this, mGrid.GetPointCount());
    return true;
}

bool KFbxNurbsGridGeometry::SetGrid(const KFbxNurbsGrid& grid) {
    if (grid.GetPointCount() != GetControlPointsCount()) {
        return false;
    }
    try {
        mGrid = grid;
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    return true;
}

bool KFbxNurbsGridGeometry::CopyGridGeometry(const KFbxNurbsGridGeometry& other) {
    if (&other == this) {
        return true;
    }
    try {
        KFbxNurbsGrid grid(other.mGrid);
        if (!CopyGeometry(other)) {
            return false;
        }
        mGrid = std::move(grid);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    mFlag0 = other.mFlag0;
    mFlag1 = other.mFlag1;
    return true;
}

}  // namespace fbxsdk_2006_11_1
