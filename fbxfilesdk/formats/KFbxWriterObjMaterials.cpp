// The MTL side of the OBJ writer: the library beside the OBJ file, one
// "newmtl" block per material and texture pair, and the texture files
// copied beside the written file.
#include <fbxfilesdk/formats/KFbxWriterObj.h>

#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KFbxSystemUtils.h>
#include <fbxfilesdk/formats/ObjFilePaths.h>
#include <fbxfilesdk/formats/ObjNumbers.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>

#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

// "Ka 0.1 0.2 0.3": colour times factor, per component.
void AppendColorLine(std::string& line, const char* keyword, const fbxDouble3& color, double factor) {
    line += keyword;
    for (int i = 0; i < 3; ++i) ObjAppendNumber(line, color[i] * factor);
    line += '\n';
}

void AppendNumberLine(std::string& line, const char* keyword, double value) {
    line += keyword;
    ObjAppendNumber(line, value);
    line += '\n';
}

double Mean(const fbxDouble3& color) { return (color[0] + color[1] + color[2]) / 3.0; }

// The colour line of a material of another class, from its properties by
// name; nothing without the colour, a missing factor counts 1.
void AppendNamedColorLine(std::string& line, const char* keyword, const KFbxSurfaceMaterial& material,
                          const char* colorName, const char* factorName) {
    const KFbxProperty color = material.FindProperty(colorName);
    if (!color.IsValid()) return;
    const KFbxProperty factor = material.FindProperty(factorName);
    AppendColorLine(line, keyword, color.GetDouble3(), factor.IsValid() ? factor.GetDouble() : 1.0);
}

}  // namespace

bool KFbxWriterObj::OpenMaterialFile() {
    // The first ".obj" of the file's own name, not of a folder above it.
    std::string name(mObjFileName.Buffer());
    const std::size_t extension = name.find(".obj", name.size() - ObjFileNamePart(name).size());
    if (extension == std::string::npos) return false;
    name.replace(extension, 4, ".mtl");
    mMtlFile = std::fopen(name.c_str(), "w");
    if (mMtlFile == nullptr) return false;
    mMtlName = ObjFileNamePart(name);
    std::fputs("# \n# Wavefront material file\n# Created with Rezaziv FBX\n# \n", mMtlFile);
    return true;
}

void KFbxWriterObj::CloseMaterialFile() {
    if (mMtlFile != nullptr) {
        std::fclose(mMtlFile);
        mMtlFile = nullptr;
    }
    mMtlName.clear();
}

const KFbxWriterObj::MaterialEntry& KFbxWriterObj::FindMaterialEntry(const KFbxSurfaceMaterial* material,
                                                                     const KFbxTexture* texture) {
    for (const MaterialEntry& entry : mMaterials) {
        if (entry.mMaterial == material && entry.mTexture == texture) return entry;
    }
    MaterialEntry entry;
    entry.mMaterial = material;
    entry.mTexture = texture;
    if (material == nullptr && texture == nullptr) {
        // Its name was the first the library handed out.
        entry.mName = kDefaultMaterialName;
    } else {
        KString name(material != nullptr ? material->GetName() : kDefaultMaterialName);
        // Names are words in the file: the first blank would end this one.
        if (char* blank = std::strchr(name.Buffer(), ' ')) *blank = '_';
        mMaterialNames.Rename(name);
        entry.mName = name.Buffer();
    }
    mMaterials.push_back(entry);
    WriteMaterial(mMaterials.back());
    return mMaterials.back();
}

void KFbxWriterObj::WriteMaterial(const MaterialEntry& entry) {
    if (mMtlFile == nullptr) return;
    std::string block = "\nnewmtl " + entry.mName + "\n";
    const KFbxTexture* texture = entry.mTexture;
    if (texture != nullptr && texture->GetTextureUse() == KFbxTexture::eSTANDARD) {
        // The line names the copy beside the file, whether or not the copy worked.
        CopyTextureFile(texture->GetFileName());
        block += "map_Kd ";
        block += ObjFileNamePart(texture->GetFileName());
        block += '\n';
    }
    const KFbxSurfaceMaterial* material = entry.mMaterial;
    const auto* phong = dynamic_cast<const KFbxSurfacePhong*>(material);
    const auto* lambert = dynamic_cast<const KFbxSurfaceLambert*>(material);
    if (lambert != nullptr) {
        AppendColorLine(block, "Ka", lambert->GetAmbientColor().GetDouble3(), lambert->GetAmbientFactor().GetDouble());
        AppendColorLine(block, "Kd", lambert->GetDiffuseColor().GetDouble3(), lambert->GetDiffuseFactor().GetDouble());
        if (phong != nullptr) {
            AppendColorLine(block, "Ks", phong->GetSpecularColor().GetDouble3(),
                            phong->GetSpecularFactor().GetDouble());
            block += "illum 2\n";
            AppendNumberLine(block, "Ns", phong->GetShininess().GetDouble());
        } else {
            block += "illum 1\n";
        }
        AppendNumberLine(block, "Tr",
                         1.0 - Mean(lambert->GetTransparentColor().GetDouble3()) *
                                   lambert->GetTransparencyFactor().GetDouble());
    } else {
        if (material != nullptr) {
            AppendNamedColorLine(block, "Ka", *material, "AmbientColor", "AmbientFactor");
            AppendNamedColorLine(block, "Kd", *material, "DiffuseColor", "DiffuseFactor");
            AppendNamedColorLine(block, "Ks", *material, "SpecularColor", "SpecularFactor");
        }
        block += "illum 2\n";
        if (material != nullptr) {
            const KFbxProperty shininess = material->FindProperty("ShininessExponent");
            if (shininess.IsValid()) AppendNumberLine(block, "Ns", shininess.GetDouble() * 100.0);
            const KFbxProperty emissive = material->FindProperty("EmissiveColor");
            const KFbxProperty factor = material->FindProperty("EmissiveFactor");
            if (emissive.IsValid() || factor.IsValid()) {
                const double c = emissive.IsValid() ? Mean(emissive.GetDouble3()) : 1.0;
                const double f = factor.IsValid() ? factor.GetDouble() : 1.0;
                AppendNumberLine(block, "Tr", 1.0 - c * f);
            }
        }
    }
    std::fwrite(block.data(), 1, block.size(), mMtlFile);
}

bool KFbxWriterObj::CopyTextureFile(const char* source) {
    if (source == nullptr || source[0] == '\0') return false;
    if (!mTextureFiles.insert(source).second) return true;
    const std::string destination = ObjPathBeside(mObjFileName.Buffer(), ObjFileNamePart(source));
    if (KFbxFileExists(KString(destination.c_str()))) return true;
    std::FILE* from = std::fopen(source, "rb");
    if (from == nullptr) {
        mMessage += "Unable to locate texture file \"";
        mMessage += source;
        mMessage += "\".\n";
        return false;
    }
    std::FILE* to = std::fopen(destination.c_str(), "wb");
    bool copied = to != nullptr;
    char block[1 << 16];
    while (copied) {
        const std::size_t read = std::fread(block, 1, sizeof block, from);
        if (read == 0) break;
        copied = std::fwrite(block, 1, read, to) == read;
    }
    copied = copied && std::ferror(from) == 0;
    std::fclose(from);
    if (to != nullptr) copied = std::fclose(to) == 0 && copied;
    if (!copied) {
        mMessage += "Error writing texture file \"";
        mMessage += destination.c_str();
        mMessage += "\".\n";
    }
    return copied;
}

}  // namespace fbxsdk_2006_11_1
