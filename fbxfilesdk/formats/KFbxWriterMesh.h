// The mesh that a writer of plain mesh files (DXF, OBJ, 3DS) writes for a
// node, made without changing the caller's scene: a mesh is used as it is,
// or a triangulated copy of it; NURBS and patches are tessellated into a
// temporary mesh; with deformation, the default-pose shapes and skin move a
// copy of the points and normals. Temporaries die with this object.
#ifndef FBXFILESDK_FORMATS_KFBXWRITERMESH_H
#define FBXFILESDK_FORMATS_KFBXWRITERMESH_H

#include <fbxfilesdk/core/KFbxVector4.h>

#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxLayerContainer;
class KFbxMesh;
class KFbxNode;

class KFbxWriterMesh {
public:
    // The node's attribute when it is a kind these writers write (a mesh, a
    // NURBS surface or a patch, which all keep their materials in layers);
    // null otherwise.
    static const KFbxLayerContainer* WrittenGeometry(const KFbxNode& node);
    // Whether the transform of sixteen doubles, row by row, turns space
    // inside out (its axes have a negative determinant): the faces it
    // carries must then have their corners written the other way round to
    // keep facing outwards.
    static bool TurnsInsideOut(const double* matrix);

    KFbxWriterMesh() = default;
    ~KFbxWriterMesh();
    KFbxWriterMesh(const KFbxWriterMesh&) = delete;
    KFbxWriterMesh& operator=(const KFbxWriterMesh&) = delete;

    // Takes the node's default attribute. A NURBS surface (either kind) or a
    // patch always becomes a triangle mesh; a mesh only with triangulate
    // (each polygon fanned from its first corner, layers kept). With deform,
    // a mesh's shapes and then its first skin move the copied points, and
    // the normals of layer 0 when there is one per control point. False
    // when the node has no such attribute or the conversion failed.
    bool Prepare(KFbxNode& node, bool triangulate, bool deform);

    // The mesh to write: the node's own or a temporary; read it, never
    // change it. Null before a successful Prepare.
    KFbxMesh* GetMesh() const { return mMesh; }
    // The points to write, in the mesh's own space: one per control point.
    const std::vector<KFbxVector4>& GetControlPoints() const { return mPoints; }
    // Layer 0's normals when there is one per control point (deformed with
    // the points), else empty.
    const std::vector<KFbxVector4>& GetNormals() const { return mNormals; }

private:
    void Release();

    KFbxMesh* mMesh = nullptr;
    KFbxMesh* mTemporary = nullptr;
    std::vector<KFbxVector4> mPoints;
    std::vector<KFbxVector4> mNormals;
};

}  // namespace fbxsdk_2006_11_1

#endif
