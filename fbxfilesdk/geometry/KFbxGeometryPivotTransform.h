// The geometry side of the scene's geometry-pivot hook: a node converting
// its pivot sets moves the pivot of the geometry it carries through it.
#ifndef FBXFILESDK_GEOMETRY_KFBXGEOMETRYPIVOTTRANSFORM_H
#define FBXFILESDK_GEOMETRY_KFBXGEOMETRYPIVOTTRANSFORM_H

namespace fbxsdk_2006_11_1 {

class KFbxNodeAttribute;
class KgeMatrix;

// For a KFbxGeometry (or a subclass): the new pivot is the old one followed
// by the transform; it is stored and applied. False for other attributes.
bool KFbxGeometryTransformPivot(KFbxNodeAttribute& attribute, const KgeMatrix& transform);

// Puts KFbxGeometryTransformPivot into the scene's hook; run once the
// geometry classes are registered.
void KFbxInstallGeometryPivotTransform();

}  // namespace fbxsdk_2006_11_1

#endif
