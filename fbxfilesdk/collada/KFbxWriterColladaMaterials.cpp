// Materials as COLLADA materials with profile_COMMON effects, and the
// textures of meshes as images placed into the effect channels of the
// materials that use them. Channels are kept in the schema's order with at
// most one texture each, and a shading model gets only the channels it has.
#include <fbxfilesdk/collada/KFbxWriterCollada.h>

#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/ColladaXmlWrite.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxDocumentFileNames.h>
#include <fbxfilesdk/core/KFbxPath.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstring>
#include <initializer_list>
#include <string>

namespace fbxsdk_2006_11_1 {

namespace {

using namespace ColladaXml;

const xmlChar* AsXml(const char* text) { return reinterpret_cast<const xmlChar*>(text); }

// The children of a profile_COMMON shading element, in the schema's order.
constexpr const char* kChannelOrder[] = {"emission",     "ambient",     "diffuse",      "specular",
                                         "shininess",    "reflective",  "reflectivity", "transparent",
                                         "transparency", "index_of_refraction"};

int ChannelRank(const char* name) {
    for (int rank = 0; rank < static_cast<int>(std::size(kChannelOrder)); ++rank) {
        if (std::strcmp(kChannelOrder[rank], name) == 0) {
            return rank;
        }
    }
    return -1;
}

// Whether the shading element has that channel in the schema.
bool ShadingHasChannel(const char* shading, const char* channel) {
    if (std::strcmp(shading, "phong") == 0 || std::strcmp(shading, "blinn") == 0) {
        return true;
    }
    if (std::strcmp(shading, "lambert") == 0) {
        return std::strcmp(channel, "specular") != 0 && std::strcmp(channel, "shininess") != 0;
    }
    return std::strcmp(channel, "ambient") != 0 && std::strcmp(channel, "diffuse") != 0 &&
           std::strcmp(channel, "specular") != 0 && std::strcmp(channel, "shininess") != 0;
}

// The channel element of the shading element, made empty in its schema place
// when it is missing.
xmlNode* FindOrInsertChannel(xmlNode* shading, const char* channel) {
    if (xmlNode* found = FindChild(shading, channel)) {
        return found;
    }
    xmlNode* element = xmlNewNode(nullptr, AsXml(channel));
    if (element == nullptr) {
        return nullptr;
    }
    const int rank = ChannelRank(channel);
    for (xmlNode* child : ChildElements(shading)) {
        if (ChannelRank(GetName(child)) > rank) {
            return xmlAddPrevSibling(child, element);
        }
    }
    return xmlAddChild(shading, element);
}

// The values of one effect. Numbers that are not finite have no place in a
// document: they become 0, and the effect says it had some.
struct EffectValues {
    bool mNotFinite = false;

    double Finite(double value) {
        if (std::isfinite(value)) {
            return value;
        }
        mNotFinite = true;
        return 0.0;
    }
    KFbxColor Scaled(const fbxDouble3& color, double factor) {
        return KFbxColor(Finite(color[0] * factor), Finite(color[1] * factor), Finite(color[2] * factor), 1.0);
    }
    void AddFloat(xmlNode* shading, const char* channel, double value) {
        AddFloatElement(shading, channel, Finite(value));
    }
    // The scene's transparency is its transparent colour times its factor:
    // under the RGB_ZERO rule the document's pair means just that (opacity 1
    // minus colour times transparency), where the default A_ONE rule would
    // read the colour's alpha times the transparency as the opacity.
    void AddTransparency(xmlNode* shading, const fbxDouble3& color, double factor) {
        SetAttribute(AddColor(shading, "transparent", Scaled(color, 1.0)), "opaque", "RGB_ZERO");
        AddFloat(shading, "transparency", factor);
    }
};

// A property of the generic material by name, ignoring case, of the type.
KFbxProperty FindOfType(const KFbxSurfaceMaterial& material, const char* name, const KFbxDataType& type) {
    return material.FindPropertyOfType(name, type, false);
}

bool IsUnreserved(unsigned char c) {
    return std::isalnum(c) != 0 || c == '-' || c == '.' || c == '_' || c == '~' || c == '/';
}

// The path with every byte a URI path cannot hold as it is escaped.
std::string EscapePath(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string escaped;
    for (const unsigned char c : path) {
        if (IsUnreserved(c)) {
            escaped += static_cast<char>(c);
        } else {
            escaped += '%';
            escaped += kHex[c >> 4];
            escaped += kHex[c & 0xF];
        }
    }
    return escaped;
}

// The shading element of the material's class (or, for another material,
// of its shading model) with its channels.
void WriteShading(const KFbxSurfaceMaterial& material, xmlNode* technique, EffectValues& values) {
    if (const auto* phong = dynamic_cast<const KFbxSurfacePhong*>(&material)) {
        xmlNode* shading = AddElement(technique, "phong");
        AddColor(shading, "emission", values.Scaled(phong->GetEmissiveColor().GetDouble3(), phong->GetEmissiveFactor().GetDouble()));
        AddColor(shading, "ambient", values.Scaled(phong->GetAmbientColor().GetDouble3(), phong->GetAmbientFactor().GetDouble()));
        AddColor(shading, "diffuse", values.Scaled(phong->GetDiffuseColor().GetDouble3(), phong->GetDiffuseFactor().GetDouble()));
        AddColor(shading, "specular", values.Scaled(phong->GetSpecularColor().GetDouble3(), phong->GetSpecularFactor().GetDouble()));
        values.AddFloat(shading, "shininess", phong->GetShininess().GetDouble());
        AddColor(shading, "reflective", values.Scaled(phong->GetReflectionColor().GetDouble3(), 1.0));
        values.AddFloat(shading, "reflectivity", phong->GetReflectionFactor().GetDouble());
        values.AddTransparency(shading, phong->GetTransparentColor().GetDouble3(), phong->GetTransparencyFactor().GetDouble());
        return;
    }
    if (const auto* lambert = dynamic_cast<const KFbxSurfaceLambert*>(&material)) {
        xmlNode* shading = AddElement(technique, "lambert");
        AddColor(shading, "emission", values.Scaled(lambert->GetEmissiveColor().GetDouble3(), lambert->GetEmissiveFactor().GetDouble()));
        AddColor(shading, "ambient", values.Scaled(lambert->GetAmbientColor().GetDouble3(), lambert->GetAmbientFactor().GetDouble()));
        AddColor(shading, "diffuse", values.Scaled(lambert->GetDiffuseColor().GetDouble3(), lambert->GetDiffuseFactor().GetDouble()));
        values.AddTransparency(shading, lambert->GetTransparentColor().GetDouble3(),
                        lambert->GetTransparencyFactor().GetDouble());
        return;
    }

    // Any other material: its shading model names the element, and its
    // properties are found by name among colours and numbers.
    const KString model = material.GetShadingModel().GetString();
    const char* shadingName = model == KString("constant") ? "constant" : model == KString("blinn") ? "blinn" : "phong";
    xmlNode* shading = AddElement(technique, shadingName);
    auto colorChannel = [&](const char* channel, const char* colorName, const char* factorName) {
        if (!ShadingHasChannel(shadingName, channel)) {
            return;
        }
        const KFbxProperty factorProperty = FindOfType(material, factorName, gKFbxDataTypeNumber);
        const double factor = factorProperty.IsValid() ? factorProperty.GetDouble() : 1.0;
        const KFbxProperty color = FindOfType(material, colorName, gKFbxDataTypeColor);
        AddColor(shading, channel, color.IsValid() ? values.Scaled(color.GetDouble3(), factor) : KFbxColor(0.0, 0.0, 0.0, 1.0));
    };
    auto optionalColor = [&](const char* channel, const char* colorName) {
        const KFbxProperty color = FindOfType(material, colorName, gKFbxDataTypeColor);
        if (color.IsValid() && ShadingHasChannel(shadingName, channel)) {
            AddColor(shading, channel, values.Scaled(color.GetDouble3(), 1.0));
        }
    };
    auto optionalFloat = [&](const char* channel, const char* name) {
        const KFbxProperty value = FindOfType(material, name, gKFbxDataTypeNumber);
        if (value.IsValid() && ShadingHasChannel(shadingName, channel)) {
            values.AddFloat(shading, channel, value.GetDouble());
        }
    };
    colorChannel("emission", "EmissiveColor", "EmissiveFactor");
    colorChannel("ambient", "AmbientColor", "AmbientFactor");
    colorChannel("diffuse", "DiffuseColor", "DiffuseFactor");
    colorChannel("specular", "SpecularColor", "SpecularFactor");
    optionalFloat("shininess", "ShininessExponent");
    optionalColor("reflective", "ReflectionColor");
    optionalFloat("reflectivity", "ReflectionFactor");
    const KFbxProperty transparentColor = FindOfType(material, "TransparentColor", gKFbxDataTypeColor);
    const KFbxProperty transparency = FindOfType(material, "TransparencyFactor", gKFbxDataTypeNumber);
    if (transparentColor.IsValid() || transparency.IsValid()) {
        // A missing colour lets the factor alone say how transparent it is.
        values.AddTransparency(shading, transparentColor.IsValid() ? transparentColor.GetDouble3() : fbxDouble3{1.0, 1.0, 1.0},
                        transparency.IsValid() ? transparency.GetDouble() : 1.0);
    }
}

}  // namespace

const char* GetColladaChannelName(int channel) {
    static const char* const kNames[] = {"ambient", "diffuse", "emission", "reflective", "specular", "transparent"};
    return channel >= 0 && channel < static_cast<int>(std::size(kNames)) ? kNames[channel] : "";
}

// A file path as a URI reference: a file that travels with the document
// relative to it, another absolute path as a file URI, a relative one
// relative ("./" in front); '\\' as '/', a drive bar ("C|") as a colon.
KString KFbxWriterCollada::MakeImageUri(const char* fileName, const KFbxDocumentFolder& document) {
    std::string path = fileName != nullptr ? fileName : "";
    for (char& c : path) {
        if (c == '\\') {
            c = '/';
        }
    }
    const std::size_t bar = path.find('|');
    if (bar != std::string::npos) {
        path[bar] = ':';
    }
    const bool drive = path.size() >= 2 && std::isalpha(static_cast<unsigned char>(path[0])) != 0 && path[1] == ':';
    if (drive) {
        return KString(("file:///" + path.substr(0, 2) + EscapePath(path.substr(2))).c_str());
    }
    // The host's name stands where a local file's URI has none, so that no
    // reader takes the share's file for one of its own machine.
    if (KFbxIsSharePath(path.c_str())) {
        return KString(("file:" + EscapePath(path)).c_str());
    }
    if (!path.empty() && path[0] == '/') {
        // Named from the document's folder, the file is still found once
        // the folder moves, or is unpacked on another machine.
        const KString name = document.NameOf(path.c_str());
        if (KFbxIsBelowDocument(name) && name != ".") {
            return KString(("./" + EscapePath(name.Buffer())).c_str());
        }
        return KString(("file://" + EscapePath(document.WithoutDotSteps(path))).c_str());
    }
    return KString(("./" + EscapePath(document.WithoutDotSteps(path))).c_str());
}

void KFbxWriterCollada::DestroyObject::operator()(KFbxSurfaceMaterial* material) const {
    if (material != nullptr) {
        material->Destroy(false, false);
    }
}

void KFbxWriterCollada::DestroyObject::operator()(KFbxNode* node) const {
    // The node takes its attribute, which nothing else holds, with it.
    if (node != nullptr) {
        node->Destroy(false, false);
    }
}

KFbxSurfaceMaterial& KFbxWriterCollada::GetTextureMaterial(KFbxTexture& texture, int channel) {
    auto& slot = mTextureMaterials[std::make_pair(&texture, channel)];
    if (slot == nullptr) {
        const KString name = texture.GetNameString() + "-" + GetColladaChannelName(channel) + "-Material";
        slot.reset(KFbxSurfaceMaterial::Create(&mManager, name.Buffer()));
    }
    return *slot;
}

xmlNode* KFbxWriterCollada::ExportMaterial(KFbxSurfaceMaterial& material) {
    if (const auto known = mMaterialElements.find(&material); known != mMaterialElements.end()) {
        return known->second;
    }
    const KString& id = mIds.Get(&material, "material", material.GetNameString());
    const KString& effectId = mIds.Get(&material, "effect", id + "-fx");
    xmlNode* library = GetLibrary(eLIBRARY_MATERIALS);
    xmlNode* element = AddElement(library, "material");
    if (element == nullptr) {
        return nullptr;
    }
    SetAttribute(element, "id", id.Buffer());
    SetAttribute(element, "name", id.Buffer());
    SetAttribute(AddElement(element, "instance_effect"), "url", (KString("#") + effectId).Buffer());
    if (ExportEffect(material, effectId) == nullptr) {
        return nullptr;
    }
    mMaterialElements.emplace(&material, element);
    return element;
}

xmlNode* KFbxWriterCollada::ExportEffect(KFbxSurfaceMaterial& material, const KString& effectId) {
    xmlNode* library = GetLibrary(eLIBRARY_EFFECTS);
    if (xmlNode* existing = FindChildById(library, effectId.Buffer())) {
        return existing;
    }
    xmlNode* effect = AddElement(library, "effect");
    if (effect == nullptr) {
        return nullptr;
    }
    SetAttribute(effect, "id", effectId.Buffer());
    SetAttribute(effect, "name", mIds.Get(&material, "material", material.GetNameString()).Buffer());
    xmlNode* technique = AddElement(AddElement(effect, "profile_COMMON"), "technique");
    SetAttribute(technique, "sid", "standard");

    EffectValues values;
    WriteShading(material, technique, values);
    if (values.mNotFinite) {
        WarnNotFiniteParameters(KString("Material ") + material.GetNameString());
    }
    return effect;
}

bool KFbxWriterCollada::ExportEffectTexture(xmlNode* materialElement, KFbxTexture& texture, const KString& imageId,
                                            int layer, int channel) {
    const char* channelName = GetColladaChannelName(channel);
    const KString label = texture.GetNameString() + "-" + channelName;
    const KString notWritten = KString(" Could not export texture ") + label + ".";
    xmlNode* instance = FindChild(materialElement, "instance_effect");
    if (instance == nullptr) {
        AddNotificationError(KString("could not find instance effect in material node ") + GetName(materialElement) +
                             "." + notWritten);
        return false;
    }
    const KString url = GetAttribute(instance, "url");
    xmlNode* effect = FindChildById(FindLibrary(eLIBRARY_EFFECTS), GetReferenceId(instance, "url").Buffer());
    if (effect == nullptr) {
        AddNotificationError(KString("could not find library effect ") + url + "." + notWritten);
        return false;
    }
    xmlNode* technique = FindChild(FindChild(effect, "profile_COMMON"), "technique");
    xmlNode* shading = FindChildByNames(technique, {"phong", "lambert", "blinn"});
    if (shading == nullptr) {
        AddNotificationWarning(KString("Could not find phong node in library effect ") + url + "." + notWritten);
        return true;
    }
    if (channelName[0] == '\0' || !ShadingHasChannel(GetName(shading), channelName)) {
        AddNotificationWarning(KString("The ") + GetName(shading) + " effect " + url + " has no channel " +
                               (channelName[0] != '\0' ? channelName : "of that index") + "." + notWritten);
        return true;
    }
    xmlNode* channelElement = FindOrInsertChannel(shading, channelName);
    if (channelElement == nullptr) {
        return false;
    }
    if (xmlNode* present = FindChild(channelElement, "texture")) {
        if (!HasAttributeValue(present, "texture", imageId.Buffer())) {
            AddNotificationWarning(KString("Channel ") + channelName + " of effect " + url +
                                   " holds a texture already." + notWritten);
        }
        return true;
    }
    xmlNode* textureElement = ExportTexture(texture, imageId, layer);
    if (textureElement == nullptr) {
        return false;
    }
    // The channel holds one thing: the texture takes the colour's place.
    for (xmlNode* child = channelElement->children; child != nullptr;) {
        xmlNode* next = child->next;
        xmlUnlinkNode(child);
        xmlFreeNode(child);
        child = next;
    }
    xmlAddChild(channelElement, textureElement);
    return true;
}

xmlNode* KFbxWriterCollada::ExportTexture(KFbxTexture& texture, const KString& imageId, int layer) {
    xmlNode* element = xmlNewNode(nullptr, AsXml("texture"));
    if (element == nullptr) {
        return nullptr;
    }
    char digits[16];
    const std::string layerText(digits, std::to_chars(digits, digits + sizeof(digits), layer).ptr);
    SetAttribute(element, "texture", imageId.Buffer());
    SetAttribute(element, "texcoord", ("CHANNEL" + layerText).c_str());
    xmlNode* maya = AddTechnique(AddElement(element, "extra"), "MAYA");
    SetAttribute(AddElement(maya, "wrapU", texture.GetWrapModeU() == KFbxTexture::eCLAMP ? "FALSE" : "TRUE"), "sid",
                 ("wrapU" + layerText).c_str());
    SetAttribute(AddElement(maya, "wrapV", texture.GetWrapModeV() == KFbxTexture::eCLAMP ? "FALSE" : "TRUE"), "sid",
                 ("wrapV" + layerText).c_str());
    AddElement(maya, "blend_mode", texture.GetBlendMode() == KFbxTexture::eTRANSLUCENT ? "NONE" : "ADD");
    return element;
}

KString KFbxWriterCollada::ExportImage(KFbxTexture& texture) {
    if (const KString* written = mIds.Find(&texture, "image")) {
        return *written;
    }
    const KString& id = mIds.Get(&texture, "image", texture.GetNameString() + "-image");
    xmlNode* image = AddElement(GetLibrary(eLIBRARY_IMAGES), "image");
    SetAttribute(image, "id", id.Buffer());
    SetAttribute(image, "name", ColladaWriterIds::MakeName(texture.GetName()).Buffer());
    if (!mDocumentFolder) {
        mDocumentFolder.emplace(mFileName);
    }
    AddElement(image, "init_from", MakeImageUri(texture.GetFileName(), *mDocumentFolder).Buffer());
    return id;
}

bool KFbxWriterCollada::ExportMeshTextures(KFbxNode& node, KFbxMesh& mesh) {
    const KString& nodeId = GetNodeId(node);
    // Writer channel index to the layer's texture channel.
    static const int kLayerChannels[] = {KFbxLayerElement::eAMBIENT_TEXTURES,    KFbxLayerElement::eDIFFUSE_TEXTURES,
                                         KFbxLayerElement::eEMISSIVE_TEXTURES,   KFbxLayerElement::eREFLECTION_TEXTURES,
                                         KFbxLayerElement::eSPECULAR_TEXTURES,   KFbxLayerElement::eTRANSPARENT_TEXTURES};
    const int polygonCount = mesh.GetPolygonCount();
    for (int layerIndex = 0; layerIndex < mesh.GetLayerCount(); ++layerIndex) {
        const KFbxLayer* layer = mesh.GetLayer(layerIndex);
        if (layer == nullptr) {
            continue;
        }
        // The materials the textures go into: this layer's, else the
        // nearest lower layer's.
        const KFbxLayerElementMaterial* materials = nullptr;
        for (int lower = layerIndex; lower >= 0 && materials == nullptr; --lower) {
            if (const KFbxLayer* candidate = mesh.GetLayer(lower)) {
                materials = candidate->GetMaterials();
            }
        }
        const int materialCount = materials != nullptr ? materials->GetDirectArray().GetCount() : 0;
        auto materialAt = [&](int entry) -> KFbxSurfaceMaterial* {
            const bool direct = materials->GetReferenceMode() == KFbxLayerElement::eDIRECT;
            const DynamicArrayOf<int>& indices = materials->GetIndexArray();
            const int index = direct ? entry : (entry >= 0 && entry < indices.GetCount() ? indices.GetAt(entry) : -1);
            return index >= 0 && index < materialCount ? materials->GetDirectArray().GetAt(index) : nullptr;
        };
        auto materialOfPolygon = [&](int polygon) {
            return materialAt(materials->GetMappingMode() == KFbxLayerElement::eBY_POLYGON ? polygon : 0);
        };

        for (int channel = 0; channel < static_cast<int>(std::size(kLayerChannels)); ++channel) {
            const KFbxLayerElementTexture* textures = layer->GetTexturesOfChannel(kLayerChannels[channel]);
            if (textures == nullptr) {
                continue;
            }
            // Only the mesh's own textures: an "index" element indexes the
            // element's own array, like index-to-direct.
            const int textureCount = textures->GetDirectArray().GetCount();
            for (int t = 0; t < textureCount; ++t) {
                KFbxTexture* texture = textures->GetDirectArray().GetAt(t);
                if (texture == nullptr) {
                    AddNotificationWarning(KString("Could not find texture ") + FormatInteger(t) + " of layer " +
                                           FormatInteger(layerIndex) + " in mesh for node " + nodeId + ".");
                    continue;
                }
                if (texture->GetFileName()[0] == '\0') {
                    AddNotificationWarning(KString("Texture ") + texture->GetNameString() + " of mesh " + nodeId +
                                           " names no file; it is not written.");
                    continue;
                }
                // A texture shows only through a material the polygons bind:
                // the materials of the polygons it is on, or, on a mesh
                // without materials, the texture's material that stands in
                // for them (whether the texture was meant as the material
                // or as one of its channels).
                std::vector<KFbxSurfaceMaterial*> targets;
                if (materialCount == 0) {
                    const auto standIn = mStandInMaterials.find(&node);
                    if (standIn == mStandInMaterials.end()) {
                        AddNotificationWarning(KString("Texture ") + texture->GetNameString() + " of mesh " + nodeId +
                                               " is on no material the polygons bind; it is not written.");
                        continue;
                    }
                    targets.push_back(standIn->second);
                } else if (textures->GetMappingMode() == KFbxLayerElement::eALL_SAME) {
                    // On every polygon: in every material the polygons use.
                    for (int polygon = 0; polygon < polygonCount; ++polygon) {
                        targets.push_back(materialOfPolygon(polygon));
                    }
                } else if (textures->GetMappingMode() == KFbxLayerElement::eBY_POLYGON) {
                    const bool textureDirect = textures->GetReferenceMode() == KFbxLayerElement::eDIRECT;
                    const DynamicArrayOf<int>& textureIndices = textures->GetIndexArray();
                    for (int polygon = 0; polygon < polygonCount; ++polygon) {
                        const int used = textureDirect ? polygon
                                                       : (polygon < textureIndices.GetCount() ? textureIndices.GetAt(polygon) : -1);
                        if (used == t) {
                            targets.push_back(materialOfPolygon(polygon));
                        }
                    }
                } else {
                    AddNotificationWarning(KString("Mapping mode not supported for textures: ") +
                                           FormatInteger(textures->GetMappingMode()));
                    continue;
                }
                const KString imageId = ExportImage(*texture);
                std::vector<const KFbxSurfaceMaterial*> done;
                for (KFbxSurfaceMaterial* target : targets) {
                    if (target == nullptr || std::find(done.begin(), done.end(), target) != done.end()) {
                        continue;
                    }
                    done.push_back(target);
                    xmlNode* materialElement = ExportMaterial(*target);
                    if (materialElement == nullptr ||
                        !ExportEffectTexture(materialElement, *texture, imageId, layerIndex, channel)) {
                        return false;
                    }
                }
            }
        }
    }
    return true;
}

}  // namespace fbxsdk_2006_11_1
