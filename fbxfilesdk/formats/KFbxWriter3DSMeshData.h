// What the 3DS writer takes from a mesh, read without changing it: points,
// polygon corners with their normals and UVs, and per polygon the material
// and the textures it shows. With UVs by polygon corner spread out, every
// corner becomes a point of its own.
#ifndef FBXFILESDK_FORMATS_KFBXWRITER3DSMESHDATA_H
#define FBXFILESDK_FORMATS_KFBXWRITER3DSMESHDATA_H

#include <fbxfilesdk/core/KFbxVector2.h>
#include <fbxfilesdk/core/KFbxVector4.h>

#include <cstdint>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxMesh;
class KFbxSurfaceMaterial;
class KFbxTexture;

namespace writer3ds {

struct MeshPolygon {
    int mFirst = 0;  // its first corner in MeshData::mCorners
    int mSize = 0;
    int mMaterial = 0;
    int mTexture = 0;
    int mSecondTexture = 0;
};

struct MeshData {
    std::vector<KFbxVector4> mPoints;
    // Per corner: its point, its normal (none without normals).
    std::vector<int> mCorners;
    std::vector<KFbxVector4> mCornerNormals;
    std::vector<MeshPolygon> mPolygons;
    // Per point, when the mesh shows textures.
    std::vector<KFbxVector2> mUVs;
    // The materials polygons name; null stands for the grey "Default" one a
    // textured mesh without material shows. Empty: no material groups.
    std::vector<const KFbxSurfaceMaterial*> mMaterials;
    // Layer 0's diffuse textures; empty when textures are not written.
    std::vector<const KFbxTexture*> mTextures;
    bool mTextured = false;

    // The texture number of a polygon without texture.
    int NoTexture() const { return static_cast<int>(mTextures.size()); }
};

struct MeshOptions {
    bool mTextures = true;
    bool mMaterials = true;
    // Corners whose UVs are given per corner become points of their own.
    bool mSpreadCornerUVs = false;
};

MeshData ReadMeshData(const KFbxMesh& mesh, const MeshOptions& options);

// A triangle of a mesh part: its points in the part, its corners in
// MeshData::mCorners and the polygon it was cut from.
struct PartTriangle {
    std::uint16_t mPoints[3] = {0, 0, 0};
    int mCorners[3] = {0, 0, 0};
    int mPolygon = 0;
};

// What one 3DS object holds: some of the mesh's points (by their number in
// MeshData::mPoints) and the triangles on them.
struct MeshPart {
    std::vector<int> mPoints;
    std::vector<PartTriangle> mTriangles;
};

// The mesh's triangles in parts of at most limit points and limit triangles
// each (limit at most 65535): one part with every point when the whole mesh
// fits, else parts taken in triangle order.
std::vector<MeshPart> SplitIntoParts(const MeshData& data, std::size_t limit);

// The unit normal of the triangle by its winding; 0 for a triangle without area.
KFbxVector4 FaceNormal(const KFbxVector4& p0, const KFbxVector4& p1, const KFbxVector4& p2);

// 4 for the first flat face, each next one times 4, 0 after the 15th; 1
// for any face that is not flat.
class SmoothingGroups {
public:
    std::uint32_t Next(bool flat);

private:
    std::uint32_t mNextFlat = 4;
};

}  // namespace writer3ds
}  // namespace fbxsdk_2006_11_1

#endif
