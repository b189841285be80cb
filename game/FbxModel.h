#pragma once

#include <fbxfilesdk/core/KTime.h>
#include <fbxfilesdk/core/KgeMatrix.h>

#include <GL/glew.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {
class KFbxSdkManager;
class KFbxImporter;
class KFbxScene;
class KFbxMesh;
class KFbxNode;
class KFbxTexture;
class KFbxTakeInfo;
}  // namespace fbxsdk_2006_11_1

// Destroys a model's SDK manager, and with it everything the manager made.
struct SdkManagerRelease {
    void operator()(fbxsdk_2006_11_1::KFbxSdkManager* manager) const;
};

// How models are drawn; one global mode applies to all of them.
enum RenderMode : int {
    renderImmediate = 0,
    renderVertexArrays = 1,
    renderVertexBuffers = 2,
};

// A decoded texture image of a model: 24-bit pixels, blue green red, first
// row at the bottom.
struct ModelImage {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> pixels;
    fbxsdk_2006_11_1::KFbxTexture* texture = nullptr;  // the texture object it was loaded for
};

// x, y, z, w as the scene stores control points and normals; u, v.
using ModelPoint = std::array<double, 4>;
using ModelUv = std::array<double, 2>;

// One model: the mesh copied out of its scene, flattened for drawing,
// its texture, its baked animation frames and its GL resources.
// GL names are never released: models live until the process ends.
struct FbxModel {
    // Makes the model's own SDK manager and importer; prints "Unable to
    // create FBX-SDK Manager" when there is no manager.
    FbxModel();
    ~FbxModel();
    FbxModel(const FbxModel&) = delete;
    FbxModel& operator=(const FbxModel&) = delete;

    // The manager owns the importer, the scene and every object read.
    std::unique_ptr<fbxsdk_2006_11_1::KFbxSdkManager, SdkManagerRelease> manager;
    fbxsdk_2006_11_1::KFbxImporter* importer = nullptr;
    std::vector<ModelPoint> controlPoints;
    std::vector<ModelPoint> controlNormals;  // one per control point
    std::vector<ModelUv> uvs;
    ModelImage* image = nullptr;  // the image loaded last, owned by images
    std::vector<std::unique_ptr<ModelImage>> images;
    fbxsdk_2006_11_1::KFbxTexture* texture = nullptr;
    std::string textureFileName;
    GLuint listImmediate = 0;
    GLuint listVertexArrays = 0;
    GLuint listVbo = 0;
    GLuint textureId = 0;  // 0, the default texture, until a texture is uploaded
    bool vbosCreated = false;
    int controlPointCount = 0;
    int vertexCount = 0;
    int polygonCount = 0;
    std::array<GLuint, 3> vbos{};  // positions, normals, texture coordinates
    float scale = 1.0f;
    std::vector<float> positions;  // x, y, z per polygon vertex, polygon by polygon
    std::vector<float> normals;
    std::vector<float> texCoords;  // u, v per polygon vertex
    int maxPolygonSize = 0;
    std::vector<int> polygonSizes;
    std::vector<std::vector<int>> vertexIndices;  // per polygon, control point of each vertex
    std::vector<std::vector<int>> uvIndices;      // per polygon, UV of each vertex
    fbxsdk_2006_11_1::KFbxMesh* mesh = nullptr;
    fbxsdk_2006_11_1::KFbxScene* scene = nullptr;
    std::int64_t takeStop = 0;   // time ticks
    std::int64_t takeStart = 0;
    int frameCount = 0;
    float frameBlend = 0.0f;  // weight towards the next frame
    std::vector<std::vector<float>> frames;  // baked positions, laid out as positions
    std::array<float, 4> ambient{0.0f, 0.0f, 0.0f, 1.0f};
    std::array<float, 4> diffuse{0.0f, 0.0f, 0.0f, 1.0f};
    std::array<float, 4> specular{0.0f, 0.0f, 0.0f, 1.0f};
    float shininess = 0.0f;
    bool hasAmbient = false;
    bool hasDiffuse = false;
    bool hasSpecular = false;
    bool hasShininess = false;
    bool animated = false;
    int renderMode = renderImmediate;
    int minFilterMode = 0;  // 0 linear, 1 nearest mipmap nearest, 2 linear mipmap linear
    int magLinear = 0;
    bool useList = false;
    std::vector<std::string> takeNames;
    fbxsdk_2006_11_1::KFbxTakeInfo* takeInfo = nullptr;
    fbxsdk_2006_11_1::KFbxNode* meshNode = nullptr;
    int frame = 0;
    int previousFrame = 0;
    bool hasTexture = false;
    bool immediateListBuilt = false;
    bool vertexArrayListBuilt = false;
    bool vboListBuilt = false;
    int takeIndex = 2;  // the take to bake among takeNames
    // Which baked frame the drawn positions come from; -1 for positions.
    int positionsFrame = -1;
};

// The positions that a draw of the current frame shows: the baked frame that
// setModelFrame selected, else the static positions.
const std::vector<float>& currentPositions(const FbxModel& model);

// Imports a model file into the record: the last mesh child of the scene's
// root, its material colours and its texture image. Prints "loading model
// '...'..." and, when the file cannot be opened as a model, "Model '...'
// could not be imported"; such a model stays empty and draws nothing.
void loadFbxModel(const std::string& fileName, FbxModel& model);

// Copies the last mesh child of the root of the model's scene into the
// record; meshes deeper in the tree are not seen.
void readModelScene(FbxModel& model);

// Reads the polygon tables of the mesh: sizes, control points and UV indices.
void readModelUVs(FbxModel& model, const fbxsdk_2006_11_1::KFbxMesh& mesh);

// Reads the Phong colours of every layer's materials and, while the model is
// textured, the image of every diffuse texture. A model whose mesh has no
// texture element or no UVs becomes untextured.
void loadModelMaterials(fbxsdk_2006_11_1::KFbxMesh& mesh, FbxModel& model);

// For an animated model, the skinned positions of the scene's second take at
// 31 evenly spaced times from 0 to the take's span. A scene with fewer than
// two takes, without take information or without a skinned mesh is not
// baked: the model stays static.
void bakeModelFrames(FbxModel& model);

// The skinned positions at the time, laid out as positions. Needs a mesh
// with a skin of at least one cluster; without one the rest positions.
std::vector<float> bakeMeshFrame(FbxModel& model, fbxsdk_2006_11_1::KTime time);

// The node's geometric transform (translation, rotation, scaling of pivot set 0).
fbxsdk_2006_11_1::KgeMatrix getNodeGeometry(const fbxsdk_2006_11_1::KFbxNode& node);

// Reads a texture image for the model and makes it the current one; prints
// "Unable to load the Texture '...'" when it cannot.
bool loadModelImage(FbxModel& model, const std::string& path, fbxsdk_2006_11_1::KFbxTexture* texture);

// Flattens the polygon tables into positions, normals and texCoords.
void buildDrawArrays(FbxModel& model);

// Uploads the current image as the model's mipmapped texture; a textured
// model without an image becomes untextured.
void uploadModelTexture(FbxModel& model);

// Binds the model's texture and sets its filters.
void applyTextureFilters(FbxModel& model);

// Makes the buffer-object entry points available (needs the window's GL
// context), and bakes a model already marked animated.
void setupBuffers(FbxModel& model);

// True once the buffer-object entry points can be called.
bool bufferEntryPointsReady();

// Selects baked frame n, wrapped to the baked frames; a model without
// frames stays at frame 0.
void setModelFrame(FbxModel& model, int n);
