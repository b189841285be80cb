// Materials, textures, their animated channels, the texture layers above the
// first, and the "Media" section of FBX 5 files.
#include <fbxfilesdk/fbx/KFbxWriterFbx.h>

#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxDocumentFileNames.h>
#include <fbxfilesdk/core/KFbxPath.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbxRecordWords.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <platform/os/File.h>

#include <cstring>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

using Element = KFbxLayerElement;

void WriteDoubles(KFbx& file, const char* name, std::initializer_list<double> values) {
    file.FieldWriteBegin(name);
    for (double value : values) {
        file.FieldWriteD(value);
    }
    file.FieldWriteEnd();
}

void WriteDouble(KFbx& file, const char* name, double value) { WriteDoubles(file, name, {value}); }

void WriteColor(KFbx& file, const char* name, const double (&color)[3]) {
    WriteDoubles(file, name, {color[0], color[1], color[2]});
}

// "AnimatedProperty" and "Animated", each listing the channels; nothing
// when there are none.
void WriteAnimatedChannels(KFbx& file, const std::vector<const char*>& channels) {
    if (channels.empty()) {
        return;
    }
    for (const char* field : {"AnimatedProperty", "Animated"}) {
        file.FieldWriteBegin(field);
        for (const char* channel : channels) {
            file.FieldWriteS(channel);
        }
        file.FieldWriteEnd();
    }
}

bool IsAnimatedXyz(KFbxTakeNodeContainer& object, const char* channel) {
    return object.IsChannelAnimated(nullptr, channel, "X") || object.IsChannelAnimated(nullptr, channel, "Y") ||
           object.IsChannelAnimated(nullptr, channel, "Z");
}

bool IsAnimated(KFbxTakeNodeContainer& object, const char* channel) {
    return object.IsChannelAnimated(nullptr, nullptr, channel);
}

// The colour property times its factor property; the factor counts as 1.0
// when the material has none, and the colour is kept when it has no colour.
void ScaledColor(const KFbxSurfaceMaterial& material, const char* color, const char* factor, double (&out)[3]) {
    const KFbxProperty colorProperty = material.FindProperty(color);
    if (!colorProperty.IsValid()) {
        return;
    }
    const KFbxProperty factorProperty = material.FindProperty(factor);
    const double scale = factorProperty.IsValid() ? factorProperty.GetDouble() : 1.0;
    const fbxDouble3 value = colorProperty.GetDouble3();
    for (int i = 0; i < 3; ++i) {
        out[i] = value[i] * scale;
    }
}

void SetIfPresent(const KFbxSurfaceMaterial& material, const char* name, double& out) {
    const KFbxProperty property = material.FindProperty(name);
    if (property.IsValid()) {
        out = property.GetDouble();
    }
}

// Names media files: a file met again keeps its name, and a base name
// already given to another file gets the first free decimal suffix.
class MediaNamer {
public:
    // Empty for an empty path or base name; withExtension keeps the
    // extension in the base name. The first relative name given for a path
    // is the one its record carries.
    KString NameOf(const char* fileName, bool withExtension, const char* relativeName = nullptr) {
        const KString path = KFbxCleanPath(KString(fileName != nullptr ? fileName : ""));
        const KString base = KFbxExtractFileName(path, withExtension);
        if (path.IsEmpty() || base.IsEmpty()) {
            return KString("");
        }
        const std::string key = KeyOf(fileName, path);
        const auto known = mByPath.find(key);
        if (known != mByPath.end()) {
            Entry& entry = mEntries[known->second];
            if (entry.mRelativeName.empty() && relativeName != nullptr) entry.mRelativeName = relativeName;
            return KString(entry.mName.c_str());
        }
        std::string name = base.Buffer();
        for (int suffix = 1; mNames.count(name) != 0; ++suffix) {
            name = std::string(base.Buffer()) + std::to_string(suffix);
        }
        mByPath.emplace(key, mEntries.size());
        mNames.insert(name);
        // The clean form only tells two spellings of one file apart: the record
        // keeps the name as the scene gives it, separators and all.
        mEntries.push_back({std::string(fileName), name, relativeName != nullptr ? relativeName : ""});
        return KString(name.c_str());
    }

    struct Entry {
        std::string mPath;
        std::string mName;
        // The scene's name of the file relative to its folder; empty when none.
        std::string mRelativeName;
    };
    const std::vector<Entry>& Entries() const { return mEntries; }

private:
    // A name of this machine's file as the system resolves it, so that two
    // names through two links ("l1/../x.png", "l2/../x.png") stay two files;
    // another system's name (a drive's, a share's) in its clean form.
    std::string KeyOf(const char* fileName, const KString& clean) const {
        const KString name(fileName);
        if (KFbxIsSharePath(name) || !KFbxExtractRoot(name).IsEmpty()) return clean.Buffer();
        return mWorkingFolder.WithoutDotSteps(qalimor::os::NativePath(fileName));
    }

    // Only its working folder: relative names are resolved from there.
    KFbxDocumentFolder mWorkingFolder{KString()};
    std::vector<Entry> mEntries;
    std::unordered_map<std::string, std::size_t> mByPath;
    std::unordered_set<std::string> mNames;
};

// The scene's textures in index order, then the diffuse textures of its
// geometries' layers that the scene does not list: a texture known only to a
// layer still needs its media.
std::vector<const KFbxTexture*> MediaTextures(const KFbxScene& scene) {
    std::vector<const KFbxTexture*> textures;
    std::unordered_set<const KFbxTexture*> listed;
    auto add = [&](const KFbxTexture* texture) {
        if (texture != nullptr && listed.insert(texture).second) textures.push_back(texture);
    };
    for (int i = 0; i < scene.GetTextureCount(); ++i) {
        add(scene.GetTexture(i));
    }
    for (int g = 0; g < scene.GetGeometryCount(); ++g) {
        const KFbxGeometry* geometry = scene.GetGeometry(g);
        for (int l = 0; geometry != nullptr && l < geometry->GetLayerCount(); ++l) {
            const KFbxLayer* layer = geometry->GetLayer(l);
            const KFbxLayerElementTexture* element =
                layer != nullptr ? layer->GetTexturesOfChannel(Element::eDIFFUSE_TEXTURES) : nullptr;
            for (int t = 0; element != nullptr && t < element->GetDirectArray().GetCount(); ++t) {
                add(element->GetDirectArray().GetAt(t));
            }
        }
    }
    return textures;
}

}  // namespace

void KFbxWriterFbx::CollectAnimatedChannels(KFbxScene& scene) {
    ClearObjectMaps();
    for (int i = 0; i < scene.GetTextureCount(); ++i) {
        KFbxTexture* texture = scene.GetTexture(i);
        if (texture == nullptr) {
            continue;
        }
        TextureChannelRecord& record = mTextureChannels[texture];
        record.mTranslation = IsAnimatedXyz(*texture, "Translation");
        record.mRotation = IsAnimatedXyz(*texture, "Rotation");
        record.mScaling = IsAnimatedXyz(*texture, "Scaling");
        record.mAlpha = IsAnimated(*texture, "Alpha");
    }
    for (int i = 0; i < scene.GetMaterialCount(); ++i) {
        KFbxSurfaceMaterial* material = scene.GetMaterial(i);
        if (material == nullptr) {
            continue;
        }
        MaterialChannelRecord& record = mMaterialChannels[material];
        record.mAmbient = IsAnimatedXyz(*material, "Ambient");
        record.mDiffuse = IsAnimatedXyz(*material, "Diffuse");
        record.mSpecular = IsAnimatedXyz(*material, "Specular");
        record.mEmissive = IsAnimatedXyz(*material, "Emissive");
        record.mOpacity = IsAnimated(*material, "Opacity");
        record.mShininess = IsAnimated(*material, "Shininess");
        record.mReflectivity = IsAnimated(*material, "Reflectivity");
    }
}

void KFbxWriterFbx::ClearObjectMaps() {
    mTextureChannels.clear();
    mMaterialChannels.clear();
}

const char* KFbxWriterFbx::GetMediaName(const KFbxTexture& texture) const {
    const auto found = mMediaNames.find(&texture);
    return found != mMediaNames.end() ? found->second.Buffer() : texture.GetMediaName();
}

const char* KFbxWriterFbx::GetBackgroundMediaName(const KFbxCamera& camera) const {
    const auto found = mMediaNames.find(&camera);
    return found != mMediaNames.end() ? found->second.Buffer() : camera.GetBackgroundMediaName();
}

bool KFbxWriterFbx::WriteTexture(KFbxTexture& texture) {
    KFbx& file = *mFbx;
    const KString name = texture.GetNameWithTypePrefix();
    file.FieldWriteBegin("Texture");
    file.FieldWriteS(name);
    file.FieldWriteBlockBegin();
    file.WriteStringField("Type", texture.GetTextureType());
    WriteIntRecord(file, "Version", 202);
    file.WriteStringField("TextureName", name.Buffer());
    file.WriteStringField("Media", GetMediaName(texture));
    const KFbxVector4 translation = texture.GetTranslation();
    WriteDoubles(file, "Translation", {translation[0], translation[1]});
    const KFbxVector4 scale = texture.GetScale();
    WriteDoubles(file, "Scaling", {scale[0], scale[1]});
    WriteDoubles(file, "ModelUVTranslation", {texture.GetUVTranslation()[0], texture.GetUVTranslation()[1]});
    WriteDoubles(file, "ModelUVScaling", {texture.GetUVScaling()[0], texture.GetUVScaling()[1]});
    const KFbxVector4 rotation = texture.GetRotation();
    WriteDoubles(file, "Rotation", {rotation[0], rotation[1], rotation[2]});
    WriteDouble(file, "TextureAlpha", texture.GetDefaultAlpha());
    file.WriteStringField("Texture_Alpha_Source", KFbxTextureAlphaSourceWord(texture.GetAlphaSource()));
    const int cropping[4] = {texture.GetCropping0(), texture.GetCropping1(), texture.GetCropping2(),
                             texture.GetCropping3()};
    WriteIntsRecord(file, "Cropping", cropping, 4);
    file.WriteStringField("Texture_Mapping_Type", KFbxTextureMappingWord(texture.GetMappingType()));
    file.WriteStringField("Texture_Planar_Mapping_Normal", KFbxPlanarNormalWord(texture.GetPlanarMappingNormal()));
    WriteIntRecord(file, "SwapUV", texture.GetSwapUV() ? 1 : 0);
    WriteIntRecord(file, "MaterialMode", texture.GetMaterialUse());
    file.WriteStringField("TextureUse", KFbxTextureUseWord(texture.GetTextureUse()));
    WriteIntRecord(file, "WrapU", texture.GetWrapModeU());
    WriteIntRecord(file, "WrapV", texture.GetWrapModeV());
    WriteIntRecord(file, "BlendMode", texture.GetBlendMode());

    std::vector<const char*> channels;
    const auto found = mTextureChannels.find(&texture);
    if (found != mTextureChannels.end()) {
        const TextureChannelRecord& record = found->second;
        if (record.mTranslation) channels.push_back("Translation");
        if (record.mRotation) channels.push_back("Rotation");
        if (record.mScaling) channels.push_back("Scaling");
        if (record.mAlpha) channels.push_back("Alpha");
    }
    WriteAnimatedChannels(file, channels);
    CloseFieldBlock(file);
    return true;
}

KFbxWriterFbx::Fbx5MaterialValues KFbxWriterFbx::GetFbx5MaterialValues(const KFbxSurfaceMaterial& material) {
    // Lambert and Phong materials hold their values under the names the
    // other materials are searched for, so one rule serves all three; a
    // Lambert material only keeps its specular part, shininess and
    // reflectivity at 0 whatever properties were added to it.
    Fbx5MaterialValues values;
    values.mShadingModel = material.GetShadingModel().GetString();
    const bool lambertOnly = dynamic_cast<const KFbxSurfaceLambert*>(&material) != nullptr &&
                             dynamic_cast<const KFbxSurfacePhong*>(&material) == nullptr;
    ScaledColor(material, "AmbientColor", "AmbientFactor", values.mAmbient);
    ScaledColor(material, "DiffuseColor", "DiffuseFactor", values.mDiffuse);
    ScaledColor(material, "EmissiveColor", "EmissiveFactor", values.mEmissive);
    if (!lambertOnly) {
        ScaledColor(material, "SpecularColor", "SpecularFactor", values.mSpecular);
        SetIfPresent(material, "ShininessExponent", values.mShininess);
        SetIfPresent(material, "ReflectionFactor", values.mReflectivity);
    }
    const KFbxProperty transparent = material.FindProperty("TransparentColor");
    const KFbxProperty transparency = material.FindProperty("TransparencyFactor");
    double mean = 1.0;
    if (transparent.IsValid()) {
        const fbxDouble3 color = transparent.GetDouble3();
        mean = (color[0] + color[1] + color[2]) / 3.0;
    }
    if (transparent.IsValid() || transparency.IsValid()) {
        values.mAlpha = 1.0 - mean * (transparency.IsValid() ? transparency.GetDouble() : 1.0);
    }
    return values;
}

bool KFbxWriterFbx::WriteMaterial(KFbxSurfaceMaterial& material) {
    KFbx& file = *mFbx;
    const Fbx5MaterialValues values = GetFbx5MaterialValues(material);
    file.FieldWriteBegin("Material");
    file.FieldWriteS(material.GetNameWithTypePrefix());
    file.FieldWriteBlockBegin();
    WriteIntRecord(file, "Version", 100);
    KString shadingModel(values.mShadingModel);
    file.WriteStringField("ShadingModel", shadingModel.Lower().Buffer());
    WriteColor(file, "Ambient", values.mAmbient);
    WriteColor(file, "Diffuse", values.mDiffuse);
    WriteColor(file, "Specular", values.mSpecular);
    WriteColor(file, "Emissive", values.mEmissive);
    WriteDouble(file, "Shininess", values.mShininess);
    WriteDouble(file, "Alpha", values.mAlpha);
    WriteDouble(file, "Reflectivity", values.mReflectivity);

    std::vector<const char*> channels;
    const auto found = mMaterialChannels.find(&material);
    if (found != mMaterialChannels.end()) {
        const MaterialChannelRecord& record = found->second;
        if (record.mEmissive) channels.push_back("Emissive");
        if (record.mAmbient) channels.push_back("Ambient");
        if (record.mDiffuse) channels.push_back("Diffuse");
        if (record.mSpecular) channels.push_back("Specular");
        if (record.mOpacity) channels.push_back("Opacity");
        if (record.mReflectivity) channels.push_back("Reflectivity");
        if (record.mShininess) channels.push_back("Shininess");
    }
    WriteAnimatedChannels(file, channels);
    CloseFieldBlock(file);
    return true;
}

KString KFbxWriterFbx::StripPropertyTypeSuffix(const char* name) {
    KString text(name != nullptr ? name : "");
    for (int code = 1; code <= 5; ++code) {
        const std::string suffix = std::string(" (") + KFbxGetPropertyTypeName(code) + ")";
        const std::size_t length = std::strlen(text.Buffer());
        if (length >= suffix.size() && suffix.compare(0, suffix.size(), text.Buffer() + length - suffix.size()) == 0) {
            return KString(std::string(text.Buffer(), length - suffix.size()).c_str());
        }
    }
    return text;
}

bool KFbxWriterFbx::WriteMedia(KFbxScene& scene, bool embed, int& mediaCount) {
    MediaNamer namer;
    for (const KFbxTexture* texture : MediaTextures(scene)) {
        mMediaNames[texture] = namer.NameOf(texture->GetFileName(), false, texture->GetRelativeFileName());
    }
    for (int i = 0; i < scene.GetNodeCount(); ++i) {
        const KFbxNode* node = scene.GetNode(i);
        const auto* camera = node != nullptr ? dynamic_cast<const KFbxCamera*>(node->GetCamera()) : nullptr;
        if (camera != nullptr) {
            mMediaNames[camera] = namer.NameOf(camera->GetBackgroundFileName(), true);
        }
    }

    KFbx& file = *mFbx;
    const bool withContent = embed && file.IsEmbedded();
    file.FieldWriteBegin("Media");
    file.FieldWriteBlockBegin();
    file.FieldWriteBegin("Video");
    file.FieldWriteBlockBegin();
    for (const MediaNamer::Entry& entry : namer.Entries()) {
        file.FieldWriteBegin("Video");
        file.FieldWriteS(entry.mName.c_str());
        file.FieldWriteBlockBegin();
        file.WriteStringField("Type", "Clip");
        WriteVideo(KString(entry.mPath.c_str()), entry.mRelativeName.c_str(), withContent);
        CloseFieldBlock(file);
    }
    CloseFieldBlock(file);
    CloseFieldBlock(file);
    mediaCount = static_cast<int>(namer.Entries().size());
    return true;
}

bool KFbxWriterFbx::WriteVideo(const KString& path, const char* relativeName, bool embed) {
    return WriteMediaFileFields(path, mFbx->GetMediaFilePath(path.Buffer()), relativeName, embed);
}

}  // namespace fbxsdk_2006_11_1
