// The geometry of FBX 5 "Model" records: mesh fields, the materials and
// textures a model lists (shared by name across models), the skin links, and
// the texture layers above the first.
#include <fbxfilesdk/fbx/KFbxReaderFbxPass.h>

#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxClusterFields.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6Fields.h>
#include <fbxfilesdk/fbx/KFbxRecordWords.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>
#include <fbxfilesdk/scene/KFbxVideo.h>

#include <climits>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {

using namespace fbx6read;

namespace {

using Element = KFbxLayerElement;

// The layer at the index, with the layers before it made as needed; null
// for an index past what a geometry may hold.
KFbxLayer* LayerAt(KFbxGeometry& geometry, int index) {
    constexpr int kMaxLayers = 64;
    if (index < 0 || index >= kMaxLayers) {
        return nullptr;
    }
    while (geometry.GetLayerCount() <= index) {
        if (geometry.CreateLayer() < 0) {
            return nullptr;
        }
    }
    return geometry.GetLayer(index);
}

// A colour property's value from the file's colour, which the writer gave
// times the factor: the material's own factor is kept and divided out.
void SetScaledColor(KFbxObject& material, const char* colorName, const char* factorName,
                    const std::vector<double>& value) {
    KFbxProperty color = material.FindProperty(colorName);
    if (!color.IsValid() || value.size() < 3) {
        return;
    }
    const KFbxProperty factor = material.FindProperty(factorName);
    const double scale = factor.IsValid() ? factor.GetDouble() : 1.0;
    const double divisor = scale != 0.0 && std::isfinite(scale) ? scale : 1.0;
    fbxDouble3 result;
    for (int i = 0; i < 3; ++i) {
        result[i] = value[static_cast<std::size_t>(i)] / divisor;
    }
    color.Set(&result, eFbxValueDouble3);
}

void SetDouble(KFbxObject& object, const char* name, double value) {
    KFbxProperty property = object.FindProperty(name);
    if (property.IsValid()) {
        property.Set(&value, eFbxValueDouble);
    }
}

// The material's transparency from the file's alpha: the writer gave one
// minus the mean transparent colour times the transparency factor.
void SetAlpha(KFbxObject& material, double alpha) {
    KFbxProperty color = material.FindProperty("TransparentColor");
    KFbxProperty factor = material.FindProperty("TransparencyFactor");
    if (!color.IsValid() || !factor.IsValid()) {
        return;
    }
    const double wanted = 1.0 - alpha;
    fbxDouble3 transparent = color.GetDouble3();
    const double mean = (transparent[0] + transparent[1] + transparent[2]) / 3.0;
    if (std::fabs(mean * factor.GetDouble() - wanted) <= 1e-12) {
        return;
    }
    double value = wanted;
    if (mean > 0.0) {
        value = wanted / mean;
    } else {
        transparent = fbxDouble3(1.0, 1.0, 1.0);
        color.Set(&transparent, eFbxValueDouble3);
    }
    factor.Set(&value, eFbxValueDouble);
}

template <class Enum>
Enum EnumOfWord(int (*ofWord)(const char*), const KString& word, Enum fallback) {
    const int value = ofWord(word.Buffer());
    return value >= 0 ? static_cast<Enum>(value) : fallback;
}

// The element of the mapping word; null for a word of none.
Element::EMappingMode MappingOfWord(const KString& word, bool& known) {
    known = true;
    if (word == "ByVertice" || word == "ByVertex") return Element::eBY_CONTROL_POINT;
    // By polygon vertex is called "ByPolygon" in the UV records.
    if (word == "ByPolygonVertex") return Element::eBY_POLYGON_VERTEX;
    if (word == "ByPolygon") return Element::eBY_POLYGON;
    if (word == "AllSame") return Element::eALL_SAME;
    known = false;
    return Element::eNONE;
}

int ReadUVs(KFbx& file, const char* name, KFbxLayerElementUV& uvs) {
    return ReadGroups(file, name, 2, uvs.GetDirectArray(), [](const double* uv) { return KFbxVector2(uv[0], uv[1]); });
}

// The entry of the k-th record; -1 for a record the model does not have.
int PositionOf(const std::vector<int>& positions, int k) {
    return k >= 0 && static_cast<std::size_t>(k) < positions.size() ? positions[static_cast<std::size_t>(k)] : -1;
}

}  // namespace

std::vector<int> KFbxReaderFbxPass::SourcePositions(const std::vector<KFbxObject*>& records, const KFbxNode& node,
                                                    bool material) const {
    const KFbxClassId classId = material ? KFbxSurfaceMaterial::ClassId : KFbxTexture::ClassId;
    std::vector<int> positions(records.size(), -1);
    for (int i = 0; i < node.GetSrcObjectCount(classId); ++i) {
        const KFbxObject* source = node.GetSrcObject(classId, i);
        for (std::size_t k = 0; k < records.size(); ++k) {
            if (records[k] == source) {
                positions[k] = i;
            }
        }
    }
    return positions;
}

void KFbxReaderFbxPass::ReadGeometryRecords(KFbxNode& node, KFbxGeometry& geometry) {
    mModelMaterials.clear();
    mModelTextures.clear();
    mTextureCounts.clear();
    auto forEach = [this](const char* kind, auto body) {
        while (mFile.FieldReadBegin(kind)) {
            const KString name = NextS(mFile);
            if (mFile.FieldReadBlockBegin()) {
                body(name);
                mFile.FieldReadBlockEnd();
            }
            mFile.FieldReadEnd();
        }
    };
    if (Option("MATERIAL")) {
        forEach("Material", [&](const KString& name) { ReadMaterialRecord(node, name); });
    }
    if (Option("TEXTURE")) {
        forEach("Texture", [&](const KString& name) { ReadTextureRecord(node, name); });
        ReadInts(mFile, "TextureCounts", mTextureCounts);
    }
    if (Option("LINK")) {
        KFbxSkin* skin = nullptr;
        forEach("Link", [&](const KString& name) { ReadLinkRecord(geometry, skin, name); });
    }
    if (Option("SHAPE")) {
        ReadShapes(geometry);
    }
    if (auto* mesh = dynamic_cast<KFbxMesh*>(&geometry)) {
        ReadMeshMaterials(*mesh);
        if (Option("TEXTURE")) {
            ReadMeshTextures(*mesh);
        }
    }
    if (Option("TEXTURE")) {
        ReadTextureLayers(geometry);
    }
}

void KFbxReaderFbxPass::ReadMaterialRecord(KFbxNode& node, const KString& prefixedName) {
    KFbxObject* material = Find(prefixedName);
    if (dynamic_cast<KFbxSurfaceMaterial*>(material) == nullptr) {
        const KString name = WithoutPrefix(prefixedName);
        const KString shadingModel = mFile.FieldReadSDefault("ShadingModel", "phong");
        KFbxSurfaceMaterial* made = nullptr;
        if (shadingModel.CompareNoCase("lambert") == 0) {
            made = KFbxSurfaceLambert::Create(&mManager, name.Buffer());
        } else {
            made = KFbxSurfacePhong::Create(&mManager, name.Buffer());
        }
        if (made == nullptr) {
            return;
        }
        std::vector<double> color;
        if (ReadDoubles(mFile, "Ambient", color)) SetScaledColor(*made, "AmbientColor", "AmbientFactor", color);
        if (ReadDoubles(mFile, "Diffuse", color)) SetScaledColor(*made, "DiffuseColor", "DiffuseFactor", color);
        if (ReadDoubles(mFile, "Emissive", color)) SetScaledColor(*made, "EmissiveColor", "EmissiveFactor", color);
        if (dynamic_cast<KFbxSurfacePhong*>(made) != nullptr) {
            if (ReadDoubles(mFile, "Specular", color)) {
                SetScaledColor(*made, "SpecularColor", "SpecularFactor", color);
            }
            if (ReadDoubles(mFile, "Shininess", color) && !color.empty()) {
                SetDouble(*made, "ShininessExponent", color[0]);
            }
            if (ReadDoubles(mFile, "Reflectivity", color) && !color.empty()) {
                SetDouble(*made, "ReflectionFactor", color[0]);
            }
        }
        if (ReadDoubles(mFile, "Alpha", color) && !color.empty()) {
            SetAlpha(*made, color[0]);
        }
        mScene.ConnectObject(made);
        Remember(prefixedName, made);
        material = made;
    }
    if (!node.IsConnectedSrc(material)) {
        node.ConnectSrc(material);
    }
    mModelMaterials.push_back(material);
}

void KFbxReaderFbxPass::ReadTextureRecord(KFbxNode& node, const KString& prefixedName) {
    KFbxObject* object = Find(prefixedName);
    if (dynamic_cast<KFbxTexture*>(object) == nullptr) {
        KFbxTexture* texture = KFbxTexture::Create(&mManager, WithoutPrefix(prefixedName).Buffer());
        if (texture == nullptr) {
            return;
        }
        texture->SetTextureType(mFile.FieldReadSDefault("Type", "").Buffer());
        const KString media = mFile.FieldReadSDefault("Media", "");
        texture->SetMediaName(media.Buffer());
        const auto found = mMedia.find(std::string(media.Buffer()));
        if (found != mMedia.end()) {
            texture->SetFileName(found->second.mFileName.Buffer());
            texture->SetRelativeFileName(found->second.mRelativeFileName.Buffer());
            if (found->second.mVideo != nullptr) {
                texture->ConnectSrc(found->second.mVideo);
            }
        }
        std::vector<double> values;
        if (ReadDoubles(mFile, "Translation", values) && values.size() >= 2) {
            texture->SetTranslation(KFbxVector4(values[0], values[1], texture->GetTranslation()[2], 0.0));
        }
        if (ReadDoubles(mFile, "Scaling", values) && values.size() >= 2) {
            texture->SetScale(KFbxVector4(values[0], values[1], texture->GetScale()[2], 0.0));
        }
        if (ReadDoubles(mFile, "ModelUVTranslation", values) && values.size() >= 2) {
            texture->SetUVTranslation(KFbxVector2(values[0], values[1]));
        }
        if (ReadDoubles(mFile, "ModelUVScaling", values) && values.size() >= 2) {
            texture->SetUVScaling(KFbxVector2(values[0], values[1]));
        }
        if (ReadDoubles(mFile, "Rotation", values) && values.size() >= 3) {
            texture->SetRotation(KFbxVector4(values[0], values[1], values[2], 0.0));
        }
        texture->SetDefaultAlpha(ReadD(mFile, "TextureAlpha", texture->GetDefaultAlpha()));
        texture->SetAlphaSource(EnumOfWord(&KFbxTextureAlphaSourceOfWord,
                                           mFile.FieldReadSDefault("Texture_Alpha_Source", ""),
                                           texture->GetAlphaSource()));
        std::vector<int> cropping;
        if (ReadInts(mFile, "Cropping", cropping) && cropping.size() >= 4) {
            texture->SetCropping(cropping[0], cropping[1], cropping[2], cropping[3]);
        }
        texture->SetMappingType(EnumOfWord(&KFbxTextureMappingOfWord,
                                           mFile.FieldReadSDefault("Texture_Mapping_Type", ""),
                                           texture->GetMappingType()));
        texture->SetPlanarMappingNormal(EnumOfWord(&KFbxPlanarNormalOfWord,
                                                   mFile.FieldReadSDefault("Texture_Planar_Mapping_Normal", ""),
                                                   texture->GetPlanarMappingNormal()));
        texture->SetSwapUV(mFile.FieldReadIDefault("SwapUV", texture->GetSwapUV() ? 1 : 0) != 0);
        texture->SetMaterialUse(EnumOf(mFile.FieldReadIDefault("MaterialMode", -1), KFbxTexture::eDEFAULT_MATERIAL,
                                       texture->GetMaterialUse()));
        texture->SetTextureUse(EnumOfWord(&KFbxTextureUseOfWord, mFile.FieldReadSDefault("TextureUse", ""),
                                          texture->GetTextureUse()));
        texture->SetWrapMode(EnumOf(mFile.FieldReadIDefault("WrapU", -1), KFbxTexture::eCLAMP, texture->GetWrapModeU()),
                             EnumOf(mFile.FieldReadIDefault("WrapV", -1), KFbxTexture::eCLAMP, texture->GetWrapModeV()));
        texture->SetBlendMode(
            EnumOf(mFile.FieldReadIDefault("BlendMode", -1), KFbxTexture::eMAX_BLEND, texture->GetBlendMode()));
        mScene.ConnectObject(texture);
        Remember(prefixedName, texture);
        object = texture;
    }
    if (!node.IsConnectedSrc(object)) {
        node.ConnectSrc(object);
    }
    mModelTextures.push_back(object);
}

void KFbxReaderFbxPass::ReadLinkRecord(KFbxGeometry& geometry, KFbxSkin*& skin, const KString& prefixedName) {
    // The links of a model make one skin.
    if (skin == nullptr) {
        skin = KFbxSkin::Create(&mManager, "");
        if (skin == nullptr) {
            return;
        }
        mScene.ConnectObject(skin);
        geometry.AddDeformer(skin);
    }
    KFbxCluster* cluster = KFbxCluster::Create(&mManager, "");
    if (cluster == nullptr) {
        return;
    }
    PendingLink pending;
    pending.mCluster = cluster;
    pending.mLink = prefixedName;
    pending.mAssociate = KFbxReadClusterFields(mFile, *cluster);
    mScene.ConnectObject(cluster);
    skin->AddCluster(cluster);
    mLinks.push_back(pending);
}

void KFbxReaderFbxPass::ReadMeshFields(KFbxMesh& mesh) {
    std::vector<int> groups;
    ReadInts(mFile, "PolygonGroup", groups);
    if (!ReadMeshPolygons(mesh, groups)) {
        return;
    }
    auto normals = std::make_unique<KFbxLayerElementNormal>();
    const int values = ReadGroups(mFile, "Normals", 3, normals->GetDirectArray(),
                                  [](const double* xyz) { return KFbxVector4(xyz[0], xyz[1], xyz[2], 0.0); });
    if (values > 0) {
        const int count = values / 3;
        const Element::EMappingMode mapping =
            count == mesh.GetPolygonVertexCount() && count != mesh.GetControlPointsCount() ? Element::eBY_POLYGON_VERTEX
                                                                                         : Element::eBY_CONTROL_POINT;
        normals->SetMappingMode(mapping);
        normals->SetReferenceMode(Element::eDIRECT);
        if (KFbxLayer* layer = LayerAt(mesh, 0)) {
            layer->SetNormals(normals.release());
        }
    }
    ReadMeshUVs(mesh);
    ReadMeshColors(mesh);
}

void KFbxReaderFbxPass::ReadMeshUVs(KFbxMesh& mesh) {
    if (!mFile.FieldReadBegin("GeometryUVInfo")) {
        return;
    }
    if (mFile.FieldReadBlockBegin()) {
        bool known = false;
        Element::EMappingMode mapping =
            MappingOfWord(mFile.FieldReadSDefault("MappingInformationType", "NoMappingInformation"), known);
        // Here "ByPolygon" is one UV per polygon vertex.
        if (mapping == Element::eBY_POLYGON) {
            mapping = Element::eBY_POLYGON_VERTEX;
        }
        auto uvs = std::make_unique<KFbxLayerElementUV>();
        if (known && ReadUVs(mFile, "TextureUV", *uvs) >= 0) {
            uvs->SetMappingMode(mapping);
            const bool indexed = ReadIntArray(mFile, "TextureUVVerticeIndex", uvs->GetIndexArray());
            uvs->SetReferenceMode(indexed ? Element::eINDEX_TO_DIRECT : Element::eDIRECT);
            if (KFbxLayer* layer = LayerAt(mesh, 0)) {
                layer->SetUVs(uvs.release(), Element::eDIFFUSE_TEXTURES);
            }
        }
        mFile.FieldReadBlockEnd();
    }
    mFile.FieldReadEnd();
}

void KFbxReaderFbxPass::ReadMeshColors(KFbxMesh& mesh) {
    if (!mFile.FieldReadBegin("VertexColorInfo")) {
        return;
    }
    if (mFile.FieldReadBlockBegin()) {
        bool known = false;
        const Element::EMappingMode mapping = MappingOfWord(mFile.FieldReadSDefault("MappingInformationType", ""), known);
        auto colors = std::make_unique<KFbxLayerElementVertexColor>();
        if (known && ReadGroups(mFile, "Colors", 4, colors->GetDirectArray(), [](const double* rgba) {
                return KFbxColor(rgba[0], rgba[1], rgba[2], rgba[3]);
            }) >= 0) {
            colors->SetMappingMode(mapping);
            const bool indexed = ReadIntArray(mFile, "ColorIndex", colors->GetIndexArray());
            colors->SetReferenceMode(indexed ? Element::eINDEX_TO_DIRECT : Element::eDIRECT);
            if (KFbxLayer* layer = LayerAt(mesh, 0)) {
                layer->SetVertexColors(colors.release());
            }
        }
        mFile.FieldReadBlockEnd();
    }
    mFile.FieldReadEnd();
}

void KFbxReaderFbxPass::ReadMeshMaterials(KFbxMesh& mesh) {
    // A mesh without material records has nothing to map.
    KFbxNode* node = mesh.GetNode();
    if (mModelMaterials.empty() || node == nullptr) {
        return;
    }
    bool known = false;
    const Element::EMappingMode mapping = MappingOfWord(mFile.FieldReadSDefault("MaterialAssignation", "AllSame"), known);
    std::vector<int> records;
    ReadInts(mFile, "Materials", records);
    if (!known) {
        return;
    }
    auto materials = std::make_unique<KFbxLayerElementMaterial>();
    materials->SetMappingMode(mapping);
    materials->SetReferenceMode(Element::eINDEX_TO_DIRECT);
    const std::size_t count = mapping == Element::eALL_SAME ? std::min<std::size_t>(records.size(), 1) : records.size();
    const std::vector<int> positions = SourcePositions(mModelMaterials, *node, true);
    FillArray(materials->GetIndexArray(), count, [&](std::size_t k) { return PositionOf(positions, records[k]); });
    if (KFbxLayer* layer = LayerAt(mesh, 0)) {
        layer->SetMaterials(materials.release());
    }
}

void KFbxReaderFbxPass::ReadMeshTextures(KFbxMesh& mesh) {
    KFbxNode* node = mesh.GetNode();
    const KString mode = mFile.FieldReadSDefault("TextureMode", "");
    if (node == nullptr || mModelTextures.empty() || (mode != "ByModel" && mode != "ByPolygon")) {
        return;
    }
    auto textures = std::make_unique<KFbxLayerElementTexture>();
    textures->SetReferenceMode(Element::eINDEX_TO_DIRECT);
    const std::vector<int> positions = SourcePositions(mModelTextures, *node, false);
    std::vector<int> records{0};
    if (mode == "ByModel") {
        textures->SetMappingMode(Element::eALL_SAME);
    } else {
        textures->SetMappingMode(Element::eBY_POLYGON);
        records.clear();
        ReadInts(mFile, "TextureId", records);
    }
    FillArray(textures->GetIndexArray(), records.size(), [&](std::size_t k) { return PositionOf(positions, records[k]); });
    if (KFbxLayer* layer = LayerAt(mesh, 0)) {
        layer->SetTextures(textures.release());
    }
}

void KFbxReaderFbxPass::ReadTextureLayers(KFbxGeometry& geometry) {
    KFbxNode* node = geometry.GetNode();
    if (node == nullptr) {
        return;
    }
    // A mesh's first texture layer is carried by its own fields.
    const int first = dynamic_cast<KFbxMesh*>(&geometry) != nullptr ? 1 : 0;
    while (mFile.FieldReadBegin("GeometryLayer")) {
        if (mFile.FieldReadBlockBegin()) {
            const int n = mFile.FieldReadIDefault("LayerIndex", -1) + first;
            KFbxLayer* layer = n >= first ? LayerAt(geometry, n) : nullptr;
            if (layer != nullptr && mFile.FieldReadBegin("LayerTextureInfo")) {
                if (mFile.FieldReadBlockBegin()) {
                    // The records of layer n follow those of the layers before it.
                    int offset = 0;
                    for (int l = 0; l < n && static_cast<std::size_t>(l) < mTextureCounts.size(); ++l) {
                        offset += mTextureCounts[static_cast<std::size_t>(l)];
                    }
                    auto textures = std::make_unique<KFbxLayerElementTexture>();
                    textures->SetReferenceMode(Element::eINDEX_TO_DIRECT);
                    textures->SetBlendMode(EnumOf(mFile.FieldReadIDefault("TextureBlendMode", -1),
                                                  KFbxLayerElementTexture::eMAXBLEND, textures->GetBlendMode()));
                    const int textureMode = mFile.FieldReadIDefault("TextureMode", 0);
                    textures->SetMappingMode(textureMode == 6   ? Element::eBY_POLYGON
                                             : textureMode == 2 ? Element::eALL_SAME
                                                                : Element::eNONE);
                    std::vector<int> records;
                    ReadInts(mFile, "TextureId", records);
                    const std::vector<int> positions = SourcePositions(mModelTextures, *node, false);
                    FillArray(textures->GetIndexArray(), records.size(), [&](std::size_t k) {
                        const int record = records[k];
                        return record < 0 || record > INT_MAX - offset ? -1 : PositionOf(positions, offset + record);
                    });
                    layer->SetTextures(textures.release());
                    const int uvMode = mFile.FieldReadIDefault("UVMode", 0);
                    auto uvs = std::make_unique<KFbxLayerElementUV>();
                    if ((uvMode == 3 || uvMode == 4 || uvMode == 7 || uvMode == 8) && ReadUVs(mFile, "UV", *uvs) >= 0) {
                        uvs->SetMappingMode(uvMode <= 4 ? Element::eBY_CONTROL_POINT : Element::eBY_POLYGON_VERTEX);
                        const bool indexed = uvMode == 4 || uvMode == 8;
                        uvs->SetReferenceMode(indexed ? Element::eINDEX_TO_DIRECT : Element::eDIRECT);
                        if (indexed) {
                            ReadIntArray(mFile, "UVId", uvs->GetIndexArray());
                        }
                        layer->SetUVs(uvs.release(), Element::eDIFFUSE_TEXTURES);
                    }
                    mFile.FieldReadBlockEnd();
                }
                mFile.FieldReadEnd();
            }
            mFile.FieldReadBlockEnd();
        }
        mFile.FieldReadEnd();
    }
}

}  // namespace fbxsdk_2006_11_1
