// Conversions between geometry kinds: triangle meshes from meshes, NURBS
// and patches, U/V-exchanged copies of NURBS surfaces, the newer NURBS
// surface turned into the older form, and a mesh re-based on one control
// point per polygon vertex with its skin carried over. A converter holds
// nothing of its own; make one, convert, destroy it.
#ifndef FBXFILESDK_GEOMETRY_KFBXGEOMETRYCONVERTER_H
#define FBXFILESDK_GEOMETRY_KFBXGEOMETRYCONVERTER_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxObject.h>

namespace fbxsdk_2006_11_1 {

class KFbxMesh;
class KFbxNode;
class KFbxNurb;
class KFbxNurbsSurface;
class KFbxPlug;
class KFbxSdkManager;

class KFbxGeometryConverter : public KFbxObject {
public:
    // The class id of KFbxGeometryConverter; null until the class is registered.
    static KFbxClassId ClassId;

    KFbxGeometryConverter(KFbxSdkManager* manager, const char* name);
    ~KFbxGeometryConverter() override;

    // Through the manager; null when the class is not registered or memory runs out.
    static KFbxGeometryConverter* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;

    // The node's default attribute, a mesh, NURBS or patch, is replaced by a
    // triangle mesh of the same name, which the node then carries in its
    // place; the old attribute is destroyed unless another node carries it.
    // A mesh keeps its points: each polygon is fanned into triangles from
    // its first corner (polygons of fewer than three corners are dropped),
    // and its layers, shapes and deformers go over to the new mesh. A
    // NURBS or patch is sampled step times per span into a grid of points,
    // two triangles per cell; its materials and textures go over. False,
    // the node unchanged, for any other attribute or a surface whose
    // parameters do not describe one.
    bool TriangulateInPlace(KFbxNode* node);

    // A new copy, made through the source's manager, that the caller
    // destroys. With swapUV, U and V exchange their parameters and the
    // points their places (the point at (u, v) goes to (v, u)); the copy's
    // own swap and remap flags are clear. With remapClusters, the copy
    // gets skins whose clusters weigh the copy's points as the source's
    // clusters weigh the source's; without it, no deformers. Shapes are
    // shared only when U and V stay. Null for a null source or when memory
    // runs out.
    KFbxNurb* CopyNurbSwapUV(const KFbxNurb* nurb, bool swapUV = true, bool remapClusters = true);
    KFbxNurbsSurface* CopyNurbsSurfaceSwapUV(const KFbxNurbsSurface* surface, bool swapUV = true,
                                             bool remapClusters = true);

    // The node's NURBS surface is replaced by a KFbxNurb of the same name
    // with its points, layers, pivot, shapes, parameters, swap flags and
    // deformers (the shapes' and deformers' objects go over only when no
    // other node carries the surface). A NURB has no flip-normals flag: a
    // flipped surface gives a NURB whose U runs the other way (points,
    // layers, shapes and cluster indices mirrored in U, U knots reflected
    // and multiplicities reversed), which flips its normals the same way.
    // False when the node has no NURBS surface.
    bool ConvertNodeNurbsSurfaceToNurb(KFbxNode* node);

    // Gives the mesh one control point per polygon vertex, the point of that
    // vertex's old control point, and numbers the polygon vertices 0 to
    // count - 1. Its first layer with normals, and every shape's, then maps
    // them by control point; every shape gets points the same way; every
    // other element by control point follows its point; every skin cluster
    // weighs each new point as it weighed its old one. False, nothing
    // changed, when the mesh has no layer with normals, its normals are
    // not one per polygon vertex, or a shape has another point count, no
    // normals, or normals not one per polygon vertex.
    bool ConvertSkinThroughMapping(KFbxMesh* mesh);

private:
    KFbxMesh* TriangulateMesh(const KFbxMesh& mesh);
};

}  // namespace fbxsdk_2006_11_1

#endif
