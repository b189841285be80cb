// The default-pose deformations that the writers of plain mesh files (DXF,
// OBJ, 3DS) apply before they write: shapes weighted by their channel
// values, and the first skin of a geometry. Both work on the caller's own
// array of points, one per control point of the geometry, and never touch
// the geometry.
#ifndef FBXFILESDK_FORMATS_KFBXWRITERDEFORMATION_H
#define FBXFILESDK_FORMATS_KFBXWRITERDEFORMATION_H

#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KgeMatrix.h>

namespace fbxsdk_2006_11_1 {

class KFbxGeometry;
class KFbxNode;

// Each point moves by the sum over the shapes of (shape point - point)
// times the shape's channel value, all measured against the points as
// given. False, the points unchanged, when count is not the geometry's
// control-point count or a shape has fewer points.
bool ApplyShapeDeformation(const KFbxGeometry& geometry, KFbxVector4* points, int count);

// The points as the clusters of the geometry's first skin place them, the
// links at their current (default) global placement; global is the
// geometry's node's global transform. The link mode of the first cluster
// serves all clusters. Points that no cluster weighs stay. Cluster indices
// outside the points are passed over. False, the points unchanged, when
// count is not the geometry's control-point count.
bool ApplySkinDeformation(const KgeMatrix& global, KFbxGeometry& geometry, KFbxVector4* points, int count);

// The node's local transform from its Lcl Translation, Lcl Rotation and Lcl
// Scaling values, and the product of those down from the top of its tree.
KgeMatrix GetNodeLocalMatrix(const KFbxNode& node);
KgeMatrix GetNodeGlobalMatrix(const KFbxNode& node);

}  // namespace fbxsdk_2006_11_1

#endif
