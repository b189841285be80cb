// The 3DS reader's materials, textures and mesh attributes.
#include <fbxfilesdk/formats/KFbxReader3DS.h>

#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxSurfacePhong.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <charconv>
#include <cmath>
#include <string>

namespace fbxsdk_2006_11_1 {

namespace {

// The strength the file calls full specular.
constexpr double kFullShininessStrength = 0.75;

void SetColor(KFbxProperty property, const color3ds& color) {
    const fbxDouble3 value(color.red, color.green, color.blue);
    property.Set(&value, eFbxValueDouble3);
}

void SetNumber(KFbxProperty property, double number) { property.Set(&number, eFbxValueDouble); }

std::string Decimal(std::size_t number) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, number).ptr;
    return std::string(digits, end);
}

// The file's shininess is a fraction; half of it already means the sharpest
// highlight, and an exponent of 2 to the power 10 stands for that.
double ShininessExponentOf(float shininess) {
    double sharpness = 2.0 * shininess;
    if (sharpness > 1.0) {
        sharpness = 1.0;
    }
    return std::pow(2.0, 10.0 * sharpness);
}

void SetPhongProperties(KFbxSurfacePhong& phong, const material3ds& record) {
    SetColor(phong.GetAmbientColor(), record.ambient);
    SetNumber(phong.GetAmbientFactor(), 1.0);
    SetColor(phong.GetDiffuseColor(), record.diffuse);
    SetNumber(phong.GetDiffuseFactor(), 1.0);
    SetColor(phong.GetSpecularColor(), record.specular);
    SetNumber(phong.GetSpecularFactor(), record.shinstrength / kFullShininessStrength);
    SetNumber(phong.GetShininess(), ShininessExponentOf(record.shininess));
    if (record.selfillum != 0.0f) {
        SetColor(phong.GetEmissiveColor(), record.diffuse);
        SetNumber(phong.GetEmissiveFactor(), record.selfillum);
    }
    SetNumber(phong.GetTransparencyFactor(), record.transparency);
    SetColor(phong.GetTransparentColor(), {1.0f, 1.0f, 1.0f});
}

// The map's scale, offset and rotation about the map's centre as the
// texture's placement.
void PlaceTexture(KFbxTexture& texture, const texturemap3ds& map) {
    const double us = map.uscale;
    const double vs = map.vscale;
    const double uo = map.uoffset;
    const double vo = map.voffset;
    const double rotation = map.rotation;
    if (rotation == 0.0) {
        texture.SetTranslationUV((0.5 * (1.0 - 1.0 / us) + uo) * -us, ((1.0 - 1.0 / vs) * 0.5 - vo) * -vs);
    } else {
        KgeMatrix turn;
        KgeMatrixSetRotationXYZ(turn, 0.0, 0.0, -rotation);
        const double corner[3] = {(0.5 + uo) * -us, (0.5 - vo) * -vs, 0.0};
        double turned[3];
        KgeMatrixMultPoint(turned, turn, corner);
        texture.SetTranslationUV(turned[0] + 0.5, turned[1] + 0.5);
        texture.SetRotationUVW(0.0, 0.0, -rotation);
    }
    texture.SetScaleUV(us, vs);
    const auto wrap = map.tiling == MapTile3ds ? KFbxTexture::eREPEAT : KFbxTexture::eCLAMP;
    texture.SetWrapMode(wrap, wrap);
}

void SetupTexture(KFbxTexture& texture, const texturemap3ds& map, bool materialUse) {
    texture.SetDefaultAlpha(map.percent);
    if (materialUse && map.percent >= 1.0f) {
        texture.SetMaterialUse(KFbxTexture::eDEFAULT_MATERIAL);
    }
    texture.SetBlendMode(KFbxTexture::eTRANSLUCENT);
    PlaceTexture(texture, map);
}

}  // namespace

KFbxTexture* KFbxReader3DS::CreateTexture(const texturemap3ds& map, const std::string& clashName) {
    const std::string file = reader3ds::NameOf(map.name);
    const bool taken = mManager.FindObjectByName(KFbxTexture::ClassId, file.c_str()) != nullptr;
    KFbxTexture* texture = KFbxTexture::Create(&mManager, taken ? clashName.c_str() : file.c_str());
    if (texture == nullptr) {
        mMessage += "Unable to load texture file: ";
        mMessage += file.c_str();
        mMessage += " .\n";
        return nullptr;
    }
    texture->SetFileName(file.c_str());
    mScene->ConnectObject(texture);
    return texture;
}

bool KFbxReader3DS::ReadMaterials() {
    for (std::size_t index = 0; index < mMaterials.size(); ++index) {
        const material3ds* record = mMaterials[index].mRecord.get();
        if (record == nullptr) {
            continue;
        }
        const std::string name = reader3ds::NameOf(record->name);
        KFbxSurfacePhong* phong = KFbxSurfacePhong::Create(&mManager, name.c_str());
        if (phong == nullptr) {
            mError.SetErrorWithText(eOUT_OF_MEMORY, "A material could not be created");
            return false;
        }
        mScene->ConnectObject(phong);
        reader3ds::MaterialEntry entry;
        entry.mMaterial = phong;
        const std::string file = reader3ds::NameOf(record->texture.name);
        const std::string file2 = reader3ds::NameOf(record->texture2.name);
        if (mFlags.mTexture && !file.empty()) {
            entry.mTexture = CreateTexture(record->texture, file + "-" + Decimal(index));
        }
        if (mFlags.mTexture && !file2.empty()) {
            entry.mSecondTexture = CreateTexture(record->texture2, file2 + "-" + Decimal(index) + ".2");
        }
        mMaterialTable.emplace(name, entry);
        SetPhongProperties(*phong, *record);
        if (entry.mTexture != nullptr) {
            SetupTexture(*entry.mTexture, record->texture, true);
        }
        if (entry.mSecondTexture != nullptr) {
            SetupTexture(*entry.mSecondTexture, record->texture2, false);
        }
    }
    return true;
}

bool KFbxReader3DS::ConvertMesh(const mesh3ds* record, KFbxMesh* mesh) {
    if (record == nullptr || mesh == nullptr) {
        return true;
    }
    reader3ds::MeshConversion conversion;
    conversion.mManager = &mManager;
    conversion.mMaterials = &mMaterialTable;
    conversion.mScale = LengthScale();
    conversion.mSmoothingGroups = mFlags.mSmoothGroup;
    conversion.mUseMaterials = mFlags.mMaterial;
    conversion.mUseTextures = mFlags.mTexture;
    std::string problem;
    if (!reader3ds::ConvertMesh3ds(*record, *mesh, conversion, problem)) {
        KString text("Mesh ");
        text += reader3ds::NameOf(record->name).c_str();
        text += ": ";
        text += problem.c_str();
        mError.SetErrorWithText(problem == reader3ds::kMeshOutOfMemory ? eOUT_OF_MEMORY : eFILE_CORRUPTED,
                                text.Buffer());
        return false;
    }
    return true;
}

bool KFbxReader3DS::CreateMeshAttributes() {
    if (!mFlags.mMesh) {
        return true;
    }
    for (MeshSlot& slot : mMeshes) {
        slot.mMesh = KFbxMesh::Create(&mManager, "");
        if (slot.mMesh == nullptr) {
            mError.SetErrorWithText(eOUT_OF_MEMORY, "A mesh could not be created");
            return false;
        }
        const mesh3ds* record = slot.mRecord.get();
        if (record != nullptr && record->facecount > 0 && !ConvertMesh(record, slot.mMesh)) {
            return false;
        }
    }
    return true;
}

}  // namespace fbxsdk_2006_11_1
