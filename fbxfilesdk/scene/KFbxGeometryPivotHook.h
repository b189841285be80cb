// How the scene reaches the pivot of a geometry a node carries. The geometry
// classes build on the scene library, so the scene cannot call them; the
// geometry library installs its pivot operation here instead, and the scene
// calls through it.
#ifndef FBXFILESDK_SCENE_KFBXGEOMETRYPIVOTHOOK_H
#define FBXFILESDK_SCENE_KFBXGEOMETRYPIVOTHOOK_H

namespace fbxsdk_2006_11_1 {

class KFbxNodeAttribute;
class KgeMatrix;

// Follows the geometry's pivot by the transform (the old pivot applies
// first), then moves the geometry's points through the new pivot, which
// becomes the identity. False, with nothing changed, when the attribute is
// not a geometry.
using KFbxGeometryPivotTransformFn = bool (*)(KFbxNodeAttribute& geometry, const KgeMatrix& transform);

// Null uninstalls; then geometry pivots are left alone.
void KFbxSetGeometryPivotTransform(KFbxGeometryPivotTransformFn transform);
KFbxGeometryPivotTransformFn KFbxGetGeometryPivotTransform();

}  // namespace fbxsdk_2006_11_1

#endif
