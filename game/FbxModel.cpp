#include <game/FbxModel.h>

#include <game/TgaImage.h>

#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KFbxTypedProperty.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxDeformer.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxTakeInfo.h>

#include <GL/glu.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>

using namespace fbxsdk_2006_11_1;

namespace {

template <typename T>
const T* entryAt(const std::vector<T>& items, int index) {
    return (index >= 0 && static_cast<std::size_t>(index) < items.size()) ? &items[static_cast<std::size_t>(index)]
                                                                          : nullptr;
}

int indexAt(const std::vector<std::vector<int>>& table, std::size_t polygon, std::size_t vertex) {
    if (polygon >= table.size() || vertex >= table[polygon].size()) {
        return -1;
    }
    return table[polygon][vertex];
}

}  // namespace

const std::vector<float>& currentPositions(const FbxModel& model) {
    const std::vector<float>* frame = entryAt(model.frames, model.positionsFrame);
    return frame ? *frame : model.positions;
}

namespace {

// Set once the process has begun to end. Models still alive then (the game's
// own live until the end) keep their managers: the SDK's process-wide
// tables, made with the first manager, are already gone by the time the
// game's model list is destroyed.
std::atomic<bool> processEnding{false};

void noteProcessEnd() { processEnding = true; }

}  // namespace

void SdkManagerRelease::operator()(KFbxSdkManager* manager) const {
    if (!processEnding) {
        delete manager;
    }
}

FbxModel::FbxModel() : manager(CreateSdkManager()) {
    // Registered after the first manager made the SDK's tables, so that it
    // runs before they are destroyed.
    static const bool watching = std::atexit(noteProcessEnd) == 0;
    static_cast<void>(watching);
    if (!manager) {
        std::printf("Unable to create FBX-SDK Manager");
    }
    importer = KFbxImporter::Create(manager.get(), "");
}

FbxModel::~FbxModel() = default;

namespace {

ModelPoint pointOf(const KFbxVector4& v) { return {v[0], v[1], v[2], v[3]}; }

// Layer 0's normals when they are one per control point; else the mesh's
// normals are computed from its polygons first.
const KFbxVector4* controlPointNormals(KFbxMesh& mesh, int count) {
    auto usable = [&mesh, count] {
        const KFbxLayer* layer = mesh.GetLayer(0);
        const KFbxLayerElementNormal* element = layer ? layer->GetNormals() : nullptr;
        return element && mesh.GetNormals() &&
               element->GetMappingMode() == KFbxLayerElement::eBY_CONTROL_POINT &&
               element->GetDirectArray().GetCount() >= count;
    };
    if (!usable()) {
        mesh.ComputeVertexNormals();
    }
    return usable() ? mesh.GetNormals() : nullptr;
}

void readMesh(FbxModel& model, KFbxNode& node, KFbxMesh& mesh) {
    model.mesh = &mesh;
    model.meshNode = &node;
    model.controlPointCount = std::max(mesh.GetControlPointsCount(), 0);
    model.polygonCount = std::max(mesh.GetPolygonCount(), 0);
    const auto count = static_cast<std::size_t>(model.controlPointCount);
    model.controlPoints.assign(count, ModelPoint{});
    model.controlNormals.assign(count, ModelPoint{});
    model.uvs.clear();
    readModelUVs(model, mesh);
    loadModelMaterials(mesh, model);

    std::vector<KString*> names;
    model.scene->FillTakeNameArray(names);
    model.takeNames.clear();
    for (KString* name : names) {
        model.takeNames.emplace_back(name->Buffer());
        delete name;
    }

    if (const KFbxVector4* points = mesh.GetControlPoints()) {
        for (std::size_t i = 0; i < count; ++i) {
            model.controlPoints[i] = pointOf(points[i]);
        }
    }
    if (const KFbxVector4* normals = controlPointNormals(mesh, model.controlPointCount)) {
        for (std::size_t i = 0; i < count; ++i) {
            model.controlNormals[i] = pointOf(normals[i]);
        }
    }
}

}  // namespace

void loadFbxModel(const std::string& fileName, FbxModel& model) {
    model.scene = KFbxScene::Create(model.manager.get(), "");
    std::printf("loading model '%s'...\n", fileName.c_str());
    if (model.importer == nullptr || model.scene == nullptr || !model.importer->Initialize(fileName.c_str())) {
        std::printf("Model '%s' could not be imported", fileName.c_str());
        // Nothing was read: the model is empty and, like any untextured
        // model, binds no texture of its own.
        model.hasTexture = false;
        return;
    }
    if (model.importer->Import(model.scene)) {
        readModelScene(model);
    }
    if (model.mesh == nullptr) {
        model.hasTexture = false;
    }
    buildDrawArrays(model);
    uploadModelTexture(model);
    glFlush();
    setupBuffers(model);
}

void readModelScene(FbxModel& model) {
    KFbxNode* root = model.scene ? model.scene->GetRootNode() : nullptr;
    const int children = root ? root->GetChildCount(false) : 0;
    for (int i = 0; i < children; ++i) {
        KFbxNode* child = root->GetChild(i);
        // Nodes without attribute (plain groups) are not meshes.
        KFbxNodeAttribute* attribute = child ? child->GetNodeAttribute() : nullptr;
        if (attribute == nullptr || attribute->GetAttributeType() != KFbxNodeAttribute::eMESH) {
            continue;
        }
        if (auto* mesh = dynamic_cast<KFbxMesh*>(child->GetMesh())) {
            readMesh(model, *child, *mesh);
        }
    }
}

void readModelUVs(FbxModel& model, const KFbxMesh& mesh) {
    const int polygons = std::max(mesh.GetPolygonCount(), 0);
    model.polygonSizes.assign(static_cast<std::size_t>(polygons), 0);
    model.vertexIndices.assign(static_cast<std::size_t>(polygons), {});
    model.uvIndices.assign(static_cast<std::size_t>(polygons), {});
    model.maxPolygonSize = 0;
    model.vertexCount = 0;
    for (int p = 0; p < polygons; ++p) {
        const auto row = static_cast<std::size_t>(p);
        const int size = std::max(mesh.GetPolygonSize(p), 0);
        model.polygonSizes[row] = size;
        model.maxPolygonSize = std::max(model.maxPolygonSize, size);
        model.vertexIndices[row].resize(static_cast<std::size_t>(size));
        model.uvIndices[row].resize(static_cast<std::size_t>(size));
        for (int v = 0; v < size; ++v) {
            model.vertexIndices[row][static_cast<std::size_t>(v)] = mesh.GetPolygonVertex(p, v);
            model.uvIndices[row][static_cast<std::size_t>(v)] =
                mesh.GetTextureUVIndex(p, v, KFbxLayerElement::eDIFFUSE_TEXTURES);
            ++model.vertexCount;
        }
    }
}

namespace {

// Copies a colour property; the has-flag follows the red component.
void readColour(const KFbxProperty& property, std::array<float, 4>& colour, bool& has) {
    const fbxDouble3 value = KFbxTypedProperty<fbxDouble3>(property).Get();
    colour = {static_cast<float>(value[0]), static_cast<float>(value[1]), static_cast<float>(value[2]), 1.0f};
    has = value[0] != 0.0;
}

void readMaterials(const KFbxLayer& layer, FbxModel& model) {
    const KFbxLayerElementMaterial* element = layer.GetMaterials();
    if (element == nullptr) {
        return;
    }
    const auto& materials = element->GetDirectArray();
    for (int m = 0; m < materials.GetCount(); ++m) {
        const auto* phong = dynamic_cast<const KFbxSurfacePhong*>(materials.GetAt(m));
        if (phong == nullptr || !phong->GetClassId().Is(KFbxSurfacePhong::ClassId)) {
            continue;
        }
        readColour(phong->GetAmbientColor(), model.ambient, model.hasAmbient);
        readColour(phong->GetDiffuseColor(), model.diffuse, model.hasDiffuse);
        readColour(phong->GetSpecularColor(), model.specular, model.hasSpecular);
        const double shininess = KFbxTypedProperty<double>(phong->GetShininess()).Get();
        model.shininess = static_cast<float>(shininess);
        model.hasShininess = shininess != 0.0;
    }
}

// False when the layer's texture element holds no textures.
bool readTextures(const KFbxLayer& layer, KFbxMesh& mesh, FbxModel& model, bool& sawElement) {
    const KFbxLayerElementTexture* element = layer.GetTextures();
    if (element == nullptr) {
        return true;
    }
    sawElement = true;
    const auto& textures = element->GetDirectArray();
    if (textures.GetCount() <= 0) {
        return false;
    }
    for (int t = 0; t < textures.GetCount(); ++t) {
        KFbxTexture* texture = textures.GetAt(t);
        model.texture = texture;
        const int uvCount = std::max(mesh.GetTextureUVCount(KFbxLayerElement::eDIFFUSE_TEXTURES), 0);
        const KFbxVector2* uvs = mesh.GetTextureUVArray(KFbxLayerElement::eDIFFUSE_TEXTURES);
        model.uvs.clear();
        for (int i = 0; uvs != nullptr && i < uvCount; ++i) {
            model.uvs.push_back({uvs[i][0], uvs[i][1]});
        }
        if (texture == nullptr) {
            continue;
        }
        // The game's own image replaces the one the file names.
        texture->SetFileName(model.textureFileName.c_str());
        const KString path(texture->GetFileName());
        loadModelImage(model, path.Buffer(), texture);
    }
    return true;
}

}  // namespace

void loadModelMaterials(KFbxMesh& mesh, FbxModel& model) {
    bool sawTextureElement = false;
    for (int l = 0; l < mesh.GetLayerCount(); ++l) {
        const KFbxLayer* layer = mesh.GetLayer(l);
        if (layer == nullptr) {
            continue;
        }
        readMaterials(*layer, model);
        if (model.hasTexture && !readTextures(*layer, mesh, model, sawTextureElement)) {
            model.hasTexture = false;
        }
    }
    // Without a texture element or coordinates there is nothing to map.
    if (!sawTextureElement || model.uvs.empty()) {
        model.hasTexture = false;
    }
}

bool loadModelImage(FbxModel& model, const std::string& path, fbxsdk_2006_11_1::KFbxTexture* texture) {
    TgaImage tga;
    bool loaded = false;
    if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
        loaded = tgaRead(file, tga) == tgaOk;
        std::fclose(file);
    }
    if (loaded) {
        if (tga.descriptor & tgaRightToLeft) {
            tgaFlipHorizontal(tga);
        }
        if (tga.descriptor & tgaTopToBottom) {
            tgaFlipVertical(tga);
        }
        loaded = tgaConvertTo24(tga) == tgaOk;
    }
    if (!loaded) {
        std::printf("Unable to load the Texture '%s'", path.c_str());
        return false;
    }
    auto image = std::make_unique<ModelImage>();
    image->width = tga.width;
    image->height = tga.height;
    image->pixels = std::move(tga.pixels);
    image->texture = texture;
    model.image = image.get();
    model.images.push_back(std::move(image));
    return true;
}

void buildDrawArrays(FbxModel& model) {
    const auto count = static_cast<std::size_t>(std::max(model.vertexCount, 0));
    model.positions.assign(3 * count, 0.0f);
    model.normals.assign(3 * count, 0.0f);
    model.texCoords.assign(2 * count, 0.0f);

    static constexpr ModelPoint none{};
    static constexpr ModelUv noUv{};
    const std::size_t polygons =
        std::min(static_cast<std::size_t>(std::max(model.polygonCount, 0)), model.polygonSizes.size());
    std::size_t k = 0;  // positions and normals
    std::size_t t = 0;  // texture coordinates
    for (std::size_t p = 0; p < polygons; ++p) {
        for (int v = 0; v < model.polygonSizes[p]; ++v) {
            // Tables that promise more vertices than vertexCount are cut off
            // rather than written past the arrays.
            if (k >= count) {
                return;
            }
            const auto vertex = static_cast<std::size_t>(v);
            // An index the mesh does not hold reads as zero.
            const int c = indexAt(model.vertexIndices, p, vertex);
            const ModelPoint* point = entryAt(model.controlPoints, c);
            const ModelPoint* normal = entryAt(model.controlNormals, c);
            for (std::size_t i = 0; i < 3; ++i) {
                model.positions[3 * k + i] = static_cast<float>((point ? *point : none)[i]);
                model.normals[3 * k + i] = static_cast<float>((normal ? *normal : none)[i]);
            }
            ++k;
            if (model.hasTexture) {
                const ModelUv* uv = entryAt(model.uvs, indexAt(model.uvIndices, p, vertex));
                model.texCoords[2 * t] = static_cast<float>((uv ? *uv : noUv)[0]);
                model.texCoords[2 * t + 1] = static_cast<float>((uv ? *uv : noUv)[1]);
                ++t;
            }
        }
    }
}

void uploadModelTexture(FbxModel& model) {
    if (!model.hasTexture) {
        return;
    }
    const ModelImage* image = model.image;
    if (!image || image->width <= 0 || image->height <= 0 ||
        image->pixels.size() < static_cast<std::size_t>(image->width) * static_cast<std::size_t>(image->height) * 3) {
        model.hasTexture = false;
        return;
    }
    glGenTextures(1, &model.textureId);
    glBindTexture(GL_TEXTURE_2D, model.textureId);
    glTexEnvf(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
    // Rows of three-byte pixels are tightly packed.
    glPushClientAttrib(GL_CLIENT_PIXEL_STORE_BIT);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    gluBuild2DMipmaps(GL_TEXTURE_2D, 3, image->width, image->height, GL_BGR, GL_UNSIGNED_BYTE, image->pixels.data());
    glPopClientAttrib();
    applyTextureFilters(model);
}

void applyTextureFilters(FbxModel& model) {
    glBindTexture(GL_TEXTURE_2D, model.textureId);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    model.magLinear = 1;
    switch (model.minFilterMode) {
    case 0:
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, model.magLinear ? GL_LINEAR : GL_NEAREST);
        break;
    case 1:
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST_MIPMAP_NEAREST);
        break;
    case 2:
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        break;
    default:
        break;
    }
}

bool bufferEntryPointsReady() {
    return glGenBuffersARB && glBindBufferARB && glBufferDataARB && glDeleteBuffersARB && glBufferSubDataARB;
}

void setupBuffers(FbxModel& model) {
    // The entry points come from the driver of the current context; a
    // failed lookup (no context yet) is tried again by the next model.
    static bool looked = false;
    if (!looked) {
        looked = glewInit() == GLEW_OK;
    }
    if (model.animated) {
        bakeModelFrames(model);
    }
}

namespace {

KFbxSkin* firstSkin(KFbxMesh* mesh) {
    if (mesh == nullptr || mesh->GetDeformerCount(KFbxDeformer::eSKIN) < 1) {
        return nullptr;
    }
    auto* skin = dynamic_cast<KFbxSkin*>(mesh->GetDeformer(0, KFbxDeformer::eSKIN));
    return (skin && skin->GetClusterCount() > 0 && skin->GetCluster(0)) ? skin : nullptr;
}

KgeMatrix zeroMatrix() {
    KgeMatrix matrix;
    const double zeros[16] = {};
    matrix.CopyFrom16(zeros);
    return matrix;
}

// The transform a cluster applies to the points it weights, at the time.
KgeMatrix clusterTransform(KFbxCluster& cluster, KFbxNode& meshNode, const KgeMatrix& global,
                           KFbxCluster::ELinkMode mode, KTime time) {
    KgeMatrix refInit;
    KgeMatrix refCurrent;
    KFbxNode* associate = cluster.GetAssociateModel();
    if (mode == KFbxCluster::eADDITIVE && associate != nullptr) {
        cluster.GetTransformAssociateModelMatrix(refInit);
        const KgeMatrix associateGlobal = associate->EvaluateGlobalTransform(time);
        refCurrent = associateGlobal.GetProduct(getNodeGeometry(*associate));
    } else {
        KgeMatrix transform;
        cluster.GetTransformMatrix(transform);
        refInit = transform.GetProduct(getNodeGeometry(meshNode));
        refCurrent = global;
    }
    KgeMatrix linkInit;
    cluster.GetTransformLinkMatrix(linkInit);
    const KgeMatrix linkCurrent = cluster.GetLink()->EvaluateGlobalTransform(time);
    const KgeMatrix relInit = linkInit.GetInverseOrthogonal().GetProduct(refInit);
    const KgeMatrix relCurrent = linkCurrent.GetInverseOrthogonal().GetProduct(refCurrent);
    return relCurrent.GetInverseOrthogonal().GetProduct(relInit);
}

}  // namespace

void bakeModelFrames(FbxModel& model) {
    if (!model.animated || model.scene == nullptr || model.takeNames.size() < 2 || model.meshNode == nullptr ||
        firstSkin(model.mesh) == nullptr) {
        return;
    }
    KFbxTakeInfo* takeInfo = model.scene->GetTakeInfo(KString(model.takeNames[1].c_str()));
    if (takeInfo == nullptr) {
        return;
    }
    model.frameBlend = 0.0f;
    model.takeIndex = 1;
    model.scene->SetCurrentTake(model.takeNames[1].c_str());
    model.takeInfo = takeInfo;
    model.takeStart = takeInfo->mLocalTimeSpan.GetStart().Get();
    model.takeStop = takeInfo->mLocalTimeSpan.GetStop().Get();
    constexpr int steps = 30;
    const std::int64_t step = (model.takeStop - model.takeStart) / steps;
    model.frames.clear();
    for (int i = 0; i <= steps; ++i) {
        // Counted from time 0, not from the take's start.
        model.frames.push_back(bakeMeshFrame(model, KTime(step * i)));
    }
    model.frameCount = steps + 1;
    model.takeIndex = 1;
}

std::vector<float> bakeMeshFrame(FbxModel& model, KTime time) {
    const auto count = static_cast<std::size_t>(std::max(model.controlPointCount, 0));
    std::vector<KFbxVector4> vertices(count);
    const KFbxVector4* rest = model.mesh ? model.mesh->GetControlPoints() : nullptr;
    const std::size_t restCount = model.mesh ? static_cast<std::size_t>(std::max(model.mesh->GetControlPointsCount(), 0)) : 0;
    for (std::size_t i = 0; i < count && i < restCount && rest; ++i) {
        vertices[i] = rest[i];
    }

    KFbxSkin* skin = firstSkin(model.mesh);
    if (skin != nullptr && model.meshNode != nullptr) {
        const KgeMatrix global = model.meshNode->EvaluateGlobalTransform(time);
        const KFbxCluster::ELinkMode mode = skin->GetCluster(0)->GetLinkMode();
        KgeMatrix start = zeroMatrix();
        if (mode == KFbxCluster::eADDITIVE) {
            start.SetIdentity4();
        }
        std::vector<KgeMatrix> deformation(count, start);
        std::vector<double> weight(count, 0.0);
        for (int s = 0; s < model.mesh->GetDeformerCount(KFbxDeformer::eSKIN); ++s) {
            auto* deformer = dynamic_cast<KFbxSkin*>(model.mesh->GetDeformer(s, KFbxDeformer::eSKIN));
            for (int c = 0; deformer != nullptr && c < deformer->GetClusterCount(); ++c) {
                KFbxCluster* cluster = deformer->GetCluster(c);
                if (cluster == nullptr || cluster->GetLink() == nullptr) {
                    continue;
                }
                const KgeMatrix vertexTransform = clusterTransform(*cluster, *model.meshNode, global, mode, time);
                const int* indices = cluster->GetControlPointIndices();
                const double* weights = cluster->GetControlPointWeights();
                for (int k = 0; indices && weights && k < cluster->GetControlPointIndicesCount(); ++k) {
                    const int index = indices[k];
                    const double w = weights[k];
                    // Indices outside the mesh's points are not the mesh's to move.
                    if (w == 0.0 || index < 0 || static_cast<std::size_t>(index) >= count) {
                        continue;
                    }
                    const auto i = static_cast<std::size_t>(index);
                    KgeMatrix influence = vertexTransform;
                    double* values = influence;
                    const double* source = vertexTransform;
                    for (int v = 0; v < 16; ++v) {
                        values[v] = source[v] * w;
                    }
                    if (mode == KFbxCluster::eADDITIVE) {
                        for (int d = 0; d < 4; ++d) {
                            influence[d][d] += 1.0 - w;
                        }
                        deformation[i] = influence.GetProduct(deformation[i]);
                        weight[i] = 1.0;
                    } else {
                        double* sum = deformation[i];
                        for (int v = 0; v < 16; ++v) {
                            sum[v] += values[v];
                        }
                        weight[i] += w;
                    }
                }
            }
        }
        for (std::size_t i = 0; i < count; ++i) {
            if (weight[i] == 0.0) {
                continue;
            }
            const KFbxVector4 p = vertices[i];
            KFbxVector4 moved = deformation[i].MultT(p);
            if (mode == KFbxCluster::eNORMALIZE) {
                for (int k = 0; k < 4; ++k) {
                    moved[k] /= weight[i];
                }
            } else if (mode == KFbxCluster::eTOTAL1) {
                for (int k = 0; k < 4; ++k) {
                    moved[k] += p[k] * (1.0 - weight[i]);
                }
            }
            vertices[i] = moved;
        }
    }

    std::vector<float> frame(3 * static_cast<std::size_t>(std::max(model.vertexCount, 0)), 0.0f);
    std::size_t k = 0;
    for (std::size_t p = 0; p < model.vertexIndices.size(); ++p) {
        for (const int c : model.vertexIndices[p]) {
            if (3 * k + 2 >= frame.size()) {
                return frame;
            }
            if (c >= 0 && static_cast<std::size_t>(c) < count) {
                for (std::size_t axis = 0; axis < 3; ++axis) {
                    frame[3 * k + axis] = static_cast<float>(vertices[static_cast<std::size_t>(c)][static_cast<int>(axis)]);
                }
            }
            ++k;
        }
    }
    return frame;
}

KgeMatrix getNodeGeometry(const KFbxNode& node) {
    KFbxVector4 translation;
    KFbxVector4 rotation;
    KFbxVector4 scaling;
    node.GetGeometricTranslation(KFbxNode::eSOURCE_SET, translation);
    node.GetGeometricRotation(KFbxNode::eSOURCE_SET, rotation);
    node.GetGeometricScaling(KFbxNode::eSOURCE_SET, scaling);
    KgeMatrix matrix;
    matrix.SetT(translation);
    matrix.SetR(rotation);
    matrix.SetS(scaling);
    return matrix;
}

void setModelFrame(FbxModel& model, int n) {
    model.previousFrame = model.frame;
    if (model.frameCount <= 0) {
        model.frame = 0;
        return;
    }
    int frame = n % model.frameCount;
    if (frame < 0) {
        frame += model.frameCount;
    }
    model.frame = frame;
    model.positionsFrame = frame;
}
