#pragma once

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
    FbxModel() = default;
    FbxModel(const FbxModel&) = delete;
    FbxModel& operator=(const FbxModel&) = delete;

    fbxsdk_2006_11_1::KFbxSdkManager* manager = nullptr;
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

// Imports a model file into the record.
void loadFbxModel(const std::string& fileName, FbxModel& model);

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

// Makes the buffer-object entry points available; needs the window's GL
// context.
void setupBuffers(FbxModel& model);

// True once the buffer-object entry points can be called.
bool bufferEntryPointsReady();

// Selects baked frame n, wrapped to the baked frames; a model without
// frames stays at frame 0.
void setModelFrame(FbxModel& model, int n);
