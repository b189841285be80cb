// Material, texture and video records of FBX 6 files.
#include <fbxfilesdk/fbx/KFbxWriterFbx6.h>

#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbxRecordWords.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6Fields.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxVideo.h>

#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

fbxDouble3 Scaled(const KFbxProperty& color, const KFbxProperty& factor) {
    const fbxDouble3 value = color.GetDouble3();
    const double scale = factor.GetDouble();
    fbxDouble3 out;
    out[0] = value[0] * scale;
    out[1] = value[1] * scale;
    out[2] = value[2] * scale;
    return out;
}

double Mean(const fbxDouble3& value) { return (value[0] + value[1] + value[2]) / 3.0; }

// The channel values files carry besides the material's own colours and
// factors, made as properties for the property block and taken away after it.
class DerivedChannels {
public:
    explicit DerivedChannels(KFbxSurfaceMaterial& material) : mMaterial(material) {}
    ~DerivedChannels() {
        for (KFbxProperty& property : mMade) {
            if (property.IsValid()) property.Destroy();
        }
    }
    DerivedChannels(const DerivedChannels&) = delete;
    DerivedChannels& operator=(const DerivedChannels&) = delete;

    void Add(const char* name, const fbxDouble3& value) { Make(name, gKFbxDataTypeVector, &value, eFbxValueDouble3); }
    void Add(const char* name, double value) { Make(name, gKFbxDataTypeNumber, &value, eFbxValueDouble); }

private:
    // A property the material already has under the name is the caller's:
    // it is neither overwritten nor destroyed.
    void Make(const char* name, const KFbxDataType& dataType, const void* value, EFbxValueType type) {
        if (mMaterial.FindProperty(name).IsValid()) return;
        KFbxProperty property = KFbxProperty::Create(&mMaterial, name, dataType, "");
        if (!property.IsValid()) return;
        property.Set(value, type);
        mMade.push_back(property);
    }

    KFbxSurfaceMaterial& mMaterial;
    std::vector<KFbxProperty> mMade;
};

void AddDerivedChannels(DerivedChannels& channels, KFbxSurfaceMaterial& material) {
    // Every Phong material is a Lambert material too, so Phong is asked first.
    auto* phong = dynamic_cast<KFbxSurfacePhong*>(&material);
    auto* lambert = dynamic_cast<KFbxSurfaceLambert*>(&material);
    if (lambert == nullptr) return;
    channels.Add("Emissive", Scaled(lambert->GetEmissiveColor(), lambert->GetEmissiveFactor()));
    channels.Add("Ambient", Scaled(lambert->GetAmbientColor(), lambert->GetAmbientFactor()));
    channels.Add("Diffuse", Scaled(lambert->GetDiffuseColor(), lambert->GetDiffuseFactor()));
    if (phong != nullptr) {
        channels.Add("Specular", Scaled(phong->GetSpecularColor(), phong->GetSpecularFactor()));
        channels.Add("Shininess", phong->GetShininess().GetDouble());
    }
    const double transparency = Mean(lambert->GetTransparentColor().GetDouble3());
    channels.Add("Opacity", 1.0 - transparency * lambert->GetTransparencyFactor().GetDouble());
    if (phong != nullptr) {
        const double factor = phong->GetReflectionFactor().GetDouble();
        channels.Add("Reflectivity", Mean(Scaled(phong->GetReflectionColor(), phong->GetReflectionFactor())) * factor);
    }
}

// The relative name the scene gives a video's file: the video's own, else
// that of the first texture showing it (which a reader gives the texture
// back from the video); empty when neither has one.
const char* SceneRelativeName(const KFbxVideo& video) {
    if (video.GetRelativeFileName()[0] != '\0') {
        return video.GetRelativeFileName();
    }
    const KFbxClassId textureClass = KFbxTexture::ClassId;
    for (int i = 0; textureClass != KFbxClassId() && i < video.GetDstObjectCount(textureClass); ++i) {
        const auto* texture = static_cast<const KFbxTexture*>(video.GetDstObject(textureClass, i));
        if (texture != nullptr && texture->GetRelativeFileName()[0] != '\0') {
            return texture->GetRelativeFileName();
        }
    }
    return "";
}

}  // namespace

bool KFbxWriterFbx6::WriteMaterial(KFbxSurfaceMaterial& material) {
    KFbx& file = *mFbx;
    WriteIntRecord(file, "Version", 102);
    file.WriteStringField("ShadingModel", material.GetShadingModel().GetString().Lower().Buffer());
    bool multiLayer = false;
    material.GetMultiLayer().Get(&multiLayer, eFbxValueBool);
    WriteIntRecord(file, "MultiLayer", multiLayer ? 1 : 0);
    DerivedChannels channels(material);
    AddDerivedChannels(channels, material);
    WriteProperties(material);
    return true;
}

bool KFbxWriterFbx6::WriteTexture(KFbxTexture& texture) {
    KFbx& file = *mFbx;
    const KString name = texture.GetNameWithTypePrefix();
    file.FieldWriteBegin("Texture");
    file.FieldWriteS(name);
    file.FieldWriteS(texture.GetTypeName());
    file.FieldWriteBlockBegin();
    file.WriteStringField("Type", texture.GetTextureType());
    WriteIntRecord(file, "Version", 202);
    file.WriteStringField("TextureName", name.Buffer());
    WriteProperties(texture);
    file.WriteStringField("Media", KFbxReplaceTypePrefix(KString("Video::"), KString(texture.GetMediaName())).Buffer());
    file.WriteStringField("FileName", texture.GetFileName());
    // The scene's relative name may be relative to where the scene was read
    // from: the written file's own way to the file comes first.
    const KString fromWritten = NameFromWrittenFile(texture.GetFileName());
    file.WriteStringField("RelativeFilename",
                          fromWritten.IsEmpty() ? texture.GetRelativeFileName() : fromWritten.Buffer());
    const double translation[2] = {texture.GetUVTranslation()[0], texture.GetUVTranslation()[1]};
    WriteDoublesRecord(file, "ModelUVTranslation", translation, 2);
    const double scaling[2] = {texture.GetUVScaling()[0], texture.GetUVScaling()[1]};
    WriteDoublesRecord(file, "ModelUVScaling", scaling, 2);
    file.WriteStringField("Texture_Alpha_Source", KFbxTextureAlphaSourceWord(texture.GetAlphaSource()));
    const int cropping[4] = {texture.GetCropping0(), texture.GetCropping1(), texture.GetCropping2(),
                             texture.GetCropping3()};
    WriteIntsRecord(file, "Cropping", cropping, 4);
    file.FieldWriteBlockEnd();
    file.FieldWriteEnd();
    return true;
}

bool KFbxWriterFbx6::WriteVideo(KFbxVideo& video, KString& fileName, bool& temporaryFile, bool embed) {
    KFbx& file = *mFbx;
    file.WriteStringField("Type", video.GetTypeName());
    // A converted image is embedded from a file the media writer removes itself.
    temporaryFile = false;
    const KString mediaPath = file.GetMediaFilePath(fileName.Buffer());
    WriteProperties(video);
    WriteIntRecord(file, "UseMipMap", video.GetUseMipMap() ? 1 : 0);
    return WriteMediaFileFields(fileName, mediaPath, SceneRelativeName(video), embed);
}

}  // namespace fbxsdk_2006_11_1
