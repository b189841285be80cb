// The FBX 6 reader's parsers of the parametric geometry and constraint
// records. Each reads the block of one record (the block already entered)
// into plain values and checks them: counts must agree with the arrays they
// describe and orders must be usable, so that a record that passes can be
// applied to a scene object without any further check. The same parsers
// serve the check of a whole file before its read begins.
#ifndef FBXFILESDK_FBX_KFBXREADERFBX6RECORDS_H
#define FBXFILESDK_FBX_KFBXREADERFBX6RECORDS_H

#include <fbxfilesdk/core/KString.h>

#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbx;

namespace fbx6read {

// A NURB ("Model" record of type "Nurb") or a NURBS surface ("Geometry"
// record of type "NurbsSurface").
struct GridRecord {
    int mSurfaceMode = 0;
    int mCount[2] = {0, 0};
    int mType[2] = {2, 2};
    int mOrder[2] = {4, 4};
    int mStep[2] = {4, 4};
    // x, y, z, w per point.
    std::vector<double> mPoints;
    std::vector<int> mMultiplicities[2];
    std::vector<double> mKnots[2];
    bool mFlipNormals = false;
};
bool ParseGridRecord(KFbx& file, bool nurb, GridRecord& record, KString& why);

struct PatchRecord {
    int mSurfaceMode = 0;
    int mCount[2] = {0, 0};
    int mType[2] = {0, 0};
    int mStep[2] = {4, 4};
    bool mClosed[2] = {false, false};
    bool mUCapped[2] = {false, false};
    bool mVCapped[2] = {false, false};
    // x, y, z per point.
    std::vector<double> mPoints;
};
bool ParsePatchRecord(KFbx& file, PatchRecord& record, KString& why);

struct CurveRecord {
    int mOrder = 4;
    int mDimension = 3;
    int mType = 0;
    // x, y, z, w per point.
    std::vector<double> mPoints;
    std::vector<double> mKnots;
};
bool ParseCurveRecord(KFbx& file, CurveRecord& record, KString& why);

// The "Offset" of a parent constraint record: rotation x, y, z then
// translation x, y, z of its first source. present is false without one.
bool ParseParentOffset(KFbx& file, bool& present, double offset[6], KString& why);

}  // namespace fbx6read
}  // namespace fbxsdk_2006_11_1

#endif
