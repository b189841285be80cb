// A 3DS mesh record made into a KFbxMesh: vertices split by smoothing group,
// brought into the object's own space, material groups, one or two texture
// layers, triangles and area-weighted normals by control point.
#ifndef FBXFILESDK_FORMATS_KFBXREADER3DSMESH_H
#define FBXFILESDK_FORMATS_KFBXREADER3DSMESH_H

#include <fbxfilesdk/3dsftk/Mesh3ds.h>

#include <string>
#include <unordered_map>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxMesh;
class KgeMatrix;
class KFbxSdkManager;
class KFbxSurfaceMaterial;
class KFbxTexture;

namespace reader3ds {

// What a material name stands for: the material made from it and its first
// and second texture (either may be missing).
struct MaterialEntry {
    KFbxSurfaceMaterial* mMaterial = nullptr;
    KFbxTexture* mTexture = nullptr;
    KFbxTexture* mSecondTexture = nullptr;
};
using MaterialTable = std::unordered_map<std::string, MaterialEntry>;

struct MeshConversion {
    KFbxSdkManager* mManager = nullptr;
    // The materials that material groups may name; null for none.
    const MaterialTable* mMaterials = nullptr;
    // Applied to every length (1 when a reference node carries the scale).
    double mScale = 1.0;
    bool mSmoothingGroups = true;
    bool mUseMaterials = true;
    bool mUseTextures = true;
};

// The control points of a mesh: each names the 3DS vertex it stands for, and
// each face corner names its control point (three per face, in order).
struct ControlPointSplit {
    std::vector<int> mSources;
    std::vector<int> mCornerPoints;
};

// One control point per vertex, and with split a further one for each
// vertex whose faces share no smoothing group with the faces before them.
// The faces must name existing vertices.
ControlPointSplit SplitBySmoothingGroups(const mesh3ds& record, bool split);

// Where the record's mesh matrix places the object: the node transform, in
// the scene's axes with its origin scaled, that takes the converted vertices
// (which are in the object's own space) back to where the file has them.
// False when the matrix is the identity or is treated as it.
bool ScenePlacementOf(const float* local, double scale, KgeMatrix& placement);

// The problem of a conversion that ran out of memory.
inline constexpr const char* kMeshOutOfMemory = "out of memory";

// Fills an empty mesh from the record. False, with the mesh untouched and the
// reason in problem, when a face names a missing vertex or a material group
// a missing face; false with kMeshOutOfMemory when memory runs out.
bool ConvertMesh3ds(const mesh3ds& record, KFbxMesh& mesh, const MeshConversion& conversion, std::string& problem);

}  // namespace reader3ds
}  // namespace fbxsdk_2006_11_1

#endif
