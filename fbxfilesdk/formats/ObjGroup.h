// What the OBJ reader keeps of the file until it builds the scene: the faces
// of each polygon group, split by smoothing group, and the elements of
// free-form surfaces.
#ifndef FBXFILESDK_FORMATS_OBJGROUP_H
#define FBXFILESDK_FORMATS_OBJGROUP_H

#include <cstdint>
#include <map>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxSurfaceMaterial;
class KFbxTexture;

// One corner of a face: 0-based indices into the vertex, texture-coordinate
// and normal lists, -1 for none.
struct ObjCorner {
    int mVertex = -1;
    int mUV = -1;
    int mNormal = -1;
};

// A material and its diffuse texture, as "usemtl" names them; either may be null.
struct ObjLook {
    KFbxSurfaceMaterial* mMaterial = nullptr;
    KFbxTexture* mTexture = nullptr;
};

// One "f" statement; its corners follow those of the faces before it in
// the face list's corner array. Faces are many, so the look they were given
// is a number in the reader's list of looks.
struct ObjFace {
    std::uint32_t mCornerCount = 0;
    std::uint32_t mLook = 0;
    bool mHasNormals = true;
    bool mHasUVs = true;
    bool mHasTexture = false;
};

// The faces of one smoothing group of one polygon group, in file order.
struct ObjFaceList {
    std::vector<ObjFace> mFaces;
    std::vector<ObjCorner> mCorners;
};

// One group name and its faces; smoothing groups in ascending order.
struct ObjGroup {
    std::map<unsigned, ObjFaceList> mFacesBySmoothingGroup;
    bool mAllHaveNormals = true;
    bool mAllHaveUVs = true;
    bool mAllHaveTextures = true;
    bool mSomeHasTexture = false;
    // A corner of some face has a texture coordinate.
    bool mSomeHasUVs = false;
    int mFaceCount = 0;

    // The face, whose corners were appended to the list of its smoothing
    // group already, counts in the group's flags.
    void AddFace(const ObjFace& face, ObjFaceList& list);
};

// One "surf" element.
struct ObjSurface {
    int mType = 0;
    KFbxSurfaceMaterial* mMaterial = nullptr;
    KFbxTexture* mTexture = nullptr;
    bool mRational = false;
    int mDegreeU = 0;
    int mDegreeV = 0;
    double mS0 = 0.0, mS1 = 0.0, mT0 = 0.0, mT1 = 0.0;
    std::vector<int> mControlVertices;
    std::vector<double> mParmU;
    std::vector<double> mParmV;
};

// The key under which corners share a control point.
struct ObjCornerKey {
    int mVertex = -1;
    int mUV = -1;
    int mNormal = -1;
    int mControlPoint = -1;
};

// i < 0 counts back from the end of a list of count items, 1..count names
// an item; anything else (0, beyond either end) gives -1.
int ObjIndexToZeroBased(int index, int count);

}  // namespace fbxsdk_2006_11_1

#endif
