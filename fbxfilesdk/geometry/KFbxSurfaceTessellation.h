// Turning parametric surfaces into triangle meshes. Each direction of a
// surface is sampled into a list of parameter values, each given as the
// control points (by index along that direction) that shape it and their
// basis weights; a grid of points follows from the two lists, and two
// triangles are made per grid cell.
#ifndef FBXFILESDK_GEOMETRY_KFBXSURFACETESSELLATION_H
#define FBXFILESDK_GEOMETRY_KFBXSURFACETESSELLATION_H

#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/geometry/KFbxNurbsGrid.h>

#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxGeometry;
class KFbxMesh;
class KFbxNurbsGridGeometry;
class KFbxPatch;

namespace KFbxSurfaceTessellation {

// Divisions per span are clamped to 1 .. kMaxStep, and a grid is refused
// beyond kMaxGridPoints points, before anything is sized.
constexpr int kMaxStep = 256;
constexpr long long kMaxGridPoints = 1 << 20;

// (control index, weight) pairs of one parameter value.
using Sample = std::vector<std::pair<int, double>>;
using Samples = std::vector<Sample>;

// A B-spline direction of count points (wrapped for the closed and periodic
// forms) with its knots. False when the knots are not as many as the form
// needs, decrease, or leave no parameter range, or when the points are
// fewer than the order.
bool SampleNurbsDirection(int count, int order, KFbxNurbsGrid::EForm form, const std::vector<double>& knots, int step,
                          Samples& out);
// A patch direction with one of the five bases (KFbxPatch::EPatchType).
// False for an unknown basis or too few points for one span.
bool SamplePatchDirection(int count, int basis, bool closed, int step, Samples& out);

// The points of the (u samples) x (v samples) grid, U fastest, over
// uCount x vCount control points. Rational: the fourth coordinates weight
// the points (where the weights sum to zero the plain sum is kept). False
// when the grid is too large or a sample names a point outside the grid.
bool EvaluateGrid(const KFbxVector4* points, int uCount, int vCount, const Samples& u, const Samples& v, bool rational,
                  std::vector<KFbxVector4>& out);

// A new mesh named after the source, with its pivot, the grid's points,
// two triangles per cell, and the source's materials and textures applied
// to every triangle; null when the grid has fewer than two samples in a
// direction or memory runs out.
KFbxMesh* MeshFromGrid(const KFbxGeometry& source, const std::vector<KFbxVector4>& points, int uSamples, int vSamples);

// The triangle mesh of a NURBS surface (either kind) or of a patch; null
// when its parameters do not describe a surface.
KFbxMesh* TessellateNurbs(const KFbxNurbsGridGeometry& surface);
KFbxMesh* TessellatePatch(const KFbxPatch& patch);

}  // namespace KFbxSurfaceTessellation

}  // namespace fbxsdk_2006_11_1

#endif
