#include <fbxfilesdk/geometry/KFbxTexture.h>

#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxLayerElementObjectArray.h>
#include <fbxfilesdk/geometry/KFbxTexture_internal.h>
#include <fbxfilesdk/scene/KFbxVideo.h>

#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr int kTextureTypeCode = 2;
const char* const kDefaultTextureType = "TextureVideoClip";

bool IsEmpty(const char* text) { return text == nullptr || text[0] == '\0'; }

// A video connected to a texture hands its names over through this.
bool TakeVideoNames(KFbxObject& object, const char* fileName, const char* relativeFileName, const char* mediaName) {
    if (KFbxTexture::ClassId == KFbxClassId() || !object.Is(KFbxTexture::ClassId)) {
        return false;
    }
    auto& texture = static_cast<KFbxTexture&>(object);
    texture.SetFileName(fileName);
    texture.SetRelativeFileName(relativeFileName);
    if (mediaName != nullptr) {
        texture.SetMediaName(mediaName);
    }
    return true;
}

[[maybe_unused]] const bool kVideoNamesInstalled = (KFbxSetVideoTextureNames(&TakeVideoNames), true);

}  // namespace


KFbxTexture::KFbxTexture(KFbxSdkManager* manager, const char* name) : KFbxTakeNodeContainer(manager, name) {
    // Its own twin before any property: each binds to it and reports its
    // changes to the channels. The default take, with the placement
    // channels, is built the first time something reaches it: most textures
    // are never animated.
    CreateInternal();
    DeferDefaultTakeNode();
    mTranslation = MakePlacementProperty("Translation");
    mRotation = MakePlacementProperty("Rotation");
    mScaling = MakePlacementProperty("Scaling");
    Reset();
    KFbxLayerElementObjectArray<KFbxTexture>::ObjectMade(this);
}

KFbxTexture::~KFbxTexture() {
    // The take nodes go before the properties, so that no channel is rebuilt
    // for a property that is leaving.
    ClearTakeNodes();
    KFbxLayerElementObjectArray<KFbxTexture>::ObjectGone(this);
}

KFbxTexture* KFbxTexture::Create(KFbxSdkManager* manager, const char* name) {
    KFbxPlug* plug = CreateObjectOfClass(manager, ClassId, name);
    return plug != nullptr && plug->Is(ClassId) ? static_cast<KFbxTexture*>(plug) : nullptr;
}

KFbxPlug* KFbxTexture::CreateFn(KFbxSdkManager* manager, const char* name) {
    auto* texture = new (std::nothrow) KFbxTexture(manager, name);
    if (texture != nullptr) {
        texture->CreateInternal();
    }
    return texture;
}

KFbxClassId KFbxTexture::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxTexture::NewInternalObject() { return new (std::nothrow) KFbxTexture_internal(this); }

int KFbxTexture::GetObjectTypeCode() const { return kTextureTypeCode; }

void KFbxTexture::Reset() {
    mFileName = "";
    mRelativeFileName = "";
    mMediaName = "";
    mTextureType = kDefaultTextureType;
    WriteVector(mTranslation, 0.0, 0.0, 0.0);
    WriteVector(mRotation, 0.0, 0.0, 0.0);
    WriteVector(mScaling, 1.0, 1.0, 1.0);
    mUVTranslation = KFbxVector2(0.0, 0.0);
    mUVScaling = KFbxVector2(1.0, 1.0);
    mDefaultAlpha = 1.0;
    mAlphaSource = eNONE;
    SetCropping(0, 0, 0, 0);
    mMappingType = eUV;
    mPlanarMappingNormal = ePLANAR_NORMAL_X;
    mSwapUV = false;
    mMaterialUse = eMODEL_MATERIAL;
    mTextureUse = eSTANDARD;
    SetWrapMode(eREPEAT, eREPEAT);
    mBlendMode = eTRANSLUCENT;
}

bool KFbxTexture::SetFileName(const char* name) {
    if (IsEmpty(name)) {
        return false;
    }
    mFileName = name;
    return true;
}

bool KFbxTexture::SetRelativeFileName(const char* name) {
    if (IsEmpty(name)) {
        return false;
    }
    mRelativeFileName = name;
    return true;
}

void KFbxTexture::SetMediaName(const char* name) { mMediaName = name != nullptr ? name : ""; }

void KFbxTexture::SetTextureType(const char* type) { mTextureType = type != nullptr ? type : ""; }

KFbxVector4 KFbxTexture::GetTranslation() const { return ReadVector(mTranslation); }
KFbxVector4 KFbxTexture::GetRotation() const { return ReadVector(mRotation); }
KFbxVector4 KFbxTexture::GetScale() const { return ReadVector(mScaling); }

void KFbxTexture::SetTranslation(const KFbxVector4& value) { WriteVector(mTranslation, value[0], value[1], value[2]); }
void KFbxTexture::SetRotation(const KFbxVector4& value) { WriteVector(mRotation, value[0], value[1], value[2]); }
void KFbxTexture::SetScale(const KFbxVector4& value) { WriteVector(mScaling, value[0], value[1], value[2]); }

void KFbxTexture::SetTranslationUV(double u, double v) { WriteVector(mTranslation, u, v, GetTranslation()[2]); }
void KFbxTexture::SetRotationUVW(double u, double v, double w) { WriteVector(mRotation, u, v, w); }
void KFbxTexture::SetScaleUV(double u, double v) { WriteVector(mScaling, u, v, GetScale()[2]); }

void KFbxTexture::SetCropping(int left, int top, int right, int bottom) {
    mCropping[0] = left;
    mCropping[1] = top;
    mCropping[2] = right;
    mCropping[3] = bottom;
}

void KFbxTexture::SetWrapMode(EWrapMode u, EWrapMode v) {
    mWrapModeU = u;
    mWrapModeV = v;
}

KFbxProperty KFbxTexture::MakePlacementProperty(const char* name) {
    // The object destroys the handle with itself.
    auto* handle = new (std::nothrow) KFbxProperty(this, name, gKFbxDataTypeVector, "");
    if (handle == nullptr) {
        return KFbxProperty();
    }
    // Registration ran before the flag was set, so the channels are added now.
    handle->ModifyFlag(KFbxProperty::kAnimatable, true);
    PropertyAddToTakeNodes(*handle);
    return *handle;
}

KFbxVector4 KFbxTexture::ReadVector(const KFbxProperty& property) {
    const fbxDouble3 value = property.GetDouble3();
    return KFbxVector4(value[0], value[1], value[2], 0.0);
}

void KFbxTexture::WriteVector(KFbxProperty& property, double x, double y, double z) {
    const fbxDouble3 value(x, y, z);
    property.Set(&value, eFbxValueDouble3);
}

}  // namespace fbxsdk_2006_11_1
