// The MTL side of the OBJ writer: the library beside the OBJ file, one
// "newmtl" block per material and texture pair, and the texture files
// copied beside the written file.
#include <fbxfilesdk/formats/KFbxWriterObj.h>

#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/formats/ObjFilePaths.h>
#include <fbxfilesdk/formats/ObjNumbers.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>

#include <cerrno>

namespace fbxsdk_2006_11_1 {

namespace {

// "Ka 0.1 0.2 0.3": colour times factor, per component.
void AppendColorLine(std::string& line, const char* keyword, const fbxDouble3& color, double factor,
                     int& notFinite) {
    line += keyword;
    for (int i = 0; i < 3; ++i) ObjAppendNumber(line, color[i] * factor, notFinite);
    line += '\n';
}

void AppendNumberLine(std::string& line, const char* keyword, double value, int& notFinite) {
    line += keyword;
    ObjAppendNumber(line, value, notFinite);
    line += '\n';
}

double Mean(const fbxDouble3& color) { return (color[0] + color[1] + color[2]) / 3.0; }

// What "d" holds: the opacity that a transparent colour and its factor leave.
double Opacity(const fbxDouble3& transparent, double factor) { return 1.0 - Mean(transparent) * factor; }

// The colour line of a material of another class, from its properties by
// name; nothing without the colour, a missing factor counts 1.
void AppendNamedColorLine(std::string& line, const char* keyword, const KFbxSurfaceMaterial& material,
                          const char* colorName, const char* factorName, int& notFinite) {
    const KFbxProperty color = material.FindProperty(colorName);
    if (!color.IsValid()) return;
    const KFbxProperty factor = material.FindProperty(factorName);
    AppendColorLine(line, keyword, color.GetDouble3(), factor.IsValid() ? factor.GetDouble() : 1.0, notFinite);
}

}  // namespace

bool KFbxWriterObj::OpenMaterialFile() {
    // Whatever the OBJ file's name, its materials go with it: an OBJ file
    // named "scene.mtl" is its own library, refused below.
    const std::string name = ObjLibraryPath(mObjFileName.Buffer());
    // A device written at once would not wait for the OBJ file to be whole.
    if (!mMtlOutput.Open(name.c_str(), false, qalimor::os::ReplacementFile::InPlace::eAtClose)) {
        mMessage += SetWriteFailure(name.c_str(), errno) + "\n";
        return false;
    }
    // Through a second name or a link, one of the two would be written over
    // the other: neither is, as for a library that cannot be made.
    if (mMtlOutput.SameFileAs(mObjOutput)) {
        mMtlOutput.Close(false);
        const std::string reason = std::string("the same file as ") + mObjFileName.Buffer();
        mMessage += SetWriteFailure(name.c_str(), reason.c_str()) + "\n";
        return false;
    }
    mMtlFile = mMtlOutput.Stream();
    mMtlName = ObjFileNamePart(name);
    mMtlPath = name.c_str();
    std::fputs("# \n# Wavefront material file\n# Created with Rezaziv FBX\n# \n", mMtlFile);
    return true;
}

void KFbxWriterObj::CloseMaterialFile() {
    // The library takes its name with the OBJ file's, at FileClose.
    mMtlFile = nullptr;
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
        KString name(material != nullptr ? WrittenName(material->GetName(), "material").c_str()
                                         : kDefaultMaterialName);
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
        const char* source = texture->GetFileName();
        const std::string name = WrittenName(std::string(ObjFileNamePart(source)).c_str(), "texture file");
        block += "map_Kd " + CopyTextureFile(source, name) + "\n";
    }
    int notFinite = 0;
    const KFbxSurfaceMaterial* material = entry.mMaterial;
    const auto* phong = dynamic_cast<const KFbxSurfacePhong*>(material);
    const auto* lambert = dynamic_cast<const KFbxSurfaceLambert*>(material);
    if (lambert != nullptr) {
        AppendColorLine(block, "Ka", lambert->GetAmbientColor().GetDouble3(), lambert->GetAmbientFactor().GetDouble(),
                        notFinite);
        AppendColorLine(block, "Kd", lambert->GetDiffuseColor().GetDouble3(), lambert->GetDiffuseFactor().GetDouble(),
                        notFinite);
        if (phong != nullptr) {
            AppendColorLine(block, "Ks", phong->GetSpecularColor().GetDouble3(),
                            phong->GetSpecularFactor().GetDouble(), notFinite);
            block += "illum 2\n";
            AppendNumberLine(block, "Ns", phong->GetShininess().GetDouble(), notFinite);
        } else {
            block += "illum 1\n";
        }
        // "d" is the opacity; readers take "Tr" as its complement, the
        // transparency, so the opacity is not written under that name.
        const double opacity =
            Opacity(lambert->GetTransparentColor().GetDouble3(), lambert->GetTransparencyFactor().GetDouble());
        AppendNumberLine(block, "d", opacity, notFinite);
    } else if (material != nullptr) {
        AppendNamedColorLine(block, "Ka", *material, "AmbientColor", "AmbientFactor", notFinite);
        AppendNamedColorLine(block, "Kd", *material, "DiffuseColor", "DiffuseFactor", notFinite);
        AppendNamedColorLine(block, "Ks", *material, "SpecularColor", "SpecularFactor", notFinite);
        block += "illum 2\n";
        const KFbxProperty shininess = material->FindProperty("ShininessExponent");
        if (shininess.IsValid()) AppendNumberLine(block, "Ns", shininess.GetDouble() * 100.0, notFinite);
        // The transparency as a Lambert's, a missing colour white and a
        // missing factor 1; only a material with neither tells its opacity
        // by its emission.
        const auto appendOpacity = [&block, &notFinite](const KFbxProperty& color, const KFbxProperty& factor) {
            if (!color.IsValid() && !factor.IsValid()) return false;
            AppendNumberLine(block, "d",
                             Opacity(color.IsValid() ? color.GetDouble3() : fbxDouble3(1.0, 1.0, 1.0),
                                     factor.IsValid() ? factor.GetDouble() : 1.0),
                             notFinite);
            return true;
        };
        if (!appendOpacity(material->FindProperty("TransparentColor"), material->FindProperty("TransparencyFactor"))) {
            appendOpacity(material->FindProperty("EmissiveColor"), material->FindProperty("EmissiveFactor"));
        }
    } else {
        // The placeholder for faces without a material: the colour a
        // material read without one has.
        const double grey = KFbxSurfaceLambert::kDefaultDiffuse;
        AppendColorLine(block, "Kd", fbxDouble3(grey, grey, grey), 1.0, notFinite);
        block += "illum 2\n";
    }
    TellNotFinite("material", entry.mName.c_str(), notFinite);
    std::fwrite(block.data(), 1, block.size(), mMtlFile);
}

std::string KFbxWriterObj::CopyTextureFile(const char* source, const std::string& name) {
    return mTextureCopies.NameOf(source, ObjPathBeside(mObjFileName.Buffer(), name), 0, mMessage);
}

}  // namespace fbxsdk_2006_11_1
