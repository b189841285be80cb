// A texture: an animatable object naming an image file, with its placement
// on the surface ("Translation", "Rotation" and "Scaling", which have
// channels in every take), its wrapping, blending, alpha, cropping and
// mapping settings. A video connected to the texture keeps its names in step
// through the file-name setters.
#ifndef FBXFILESDK_GEOMETRY_KFBXTEXTURE_H
#define FBXFILESDK_GEOMETRY_KFBXTEXTURE_H

#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxVector2.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KString.h>

namespace fbxsdk_2006_11_1 {

class KFbxPlug;
class KFbxSdkManager;

class KFbxTexture : public KFbxTakeNodeContainer {
public:
    enum EWrapMode { eREPEAT = 0, eCLAMP = 1 };
    enum EBlendMode { eTRANSLUCENT = 0, eADDITIVE = 1, eMODULATE = 2, eMODULATE2 = 3, eMAX_BLEND = 4 };
    enum EAlphaSource { eNONE = 0, eRGB_INTENSITY = 1, eBLACK = 2 };
    enum EMappingType {
        eNULL = 0,
        ePLANAR = 1,
        eSPHERICAL = 2,
        eCYLINDRICAL = 3,
        eBOX = 4,
        eFACE = 5,
        eUV = 6,
        eENVIRONMENT = 7
    };
    enum EPlanarMappingNormal { ePLANAR_NORMAL_X = 0, ePLANAR_NORMAL_Y = 1, ePLANAR_NORMAL_Z = 2 };
    enum ETextureUse {
        eSTANDARD = 0,
        eSHADOW_MAP = 1,
        eLIGHT_MAP = 2,
        eSPHERICAL_REFLEXION_MAP = 3,
        eSPHERE_REFLEXION_MAP = 4,
        eBUMP_NORMAL_MAP = 5
    };
    enum EMaterialUse { eMODEL_MATERIAL = 0, eDEFAULT_MATERIAL = 1 };

    // The class id of KFbxTexture; null until the class is registered.
    static KFbxClassId ClassId;

    KFbxTexture(KFbxSdkManager* manager, const char* name);
    ~KFbxTexture() override;

    // Through the manager's class table; null on failure.
    static KFbxTexture* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    // The twin of the class, KFbxTexture_internal.
    KFbxObject_internal* NewInternalObject() override;
    // Textures are stored under "Texture::".
    int GetObjectTypeCode() const override;

    // Back to the defaults: no names, repeat wrapping, translucent blending,
    // standard use with the material, UV mapping, placement at the origin
    // with unit scale, alpha 1.
    void Reset();

    // ---- names ----
    // False, unchanged, for a null or empty name.
    bool SetFileName(const char* name);
    bool SetRelativeFileName(const char* name);
    // Texture-owned texts, "" until set.
    const char* GetFileName() const { return mFileName.Buffer(); }
    const char* GetRelativeFileName() const { return mRelativeFileName.Buffer(); }
    // A null name counts as "".
    void SetMediaName(const char* name);
    const char* GetMediaName() const { return mMediaName.Buffer(); }
    // "TextureVideoClip" unless set; a null type counts as "".
    void SetTextureType(const char* type);
    const char* GetTextureType() const { return mTextureType.Buffer(); }

    // ---- placement ("Translation", "Rotation", "Scaling"; w is 0) ----
    KFbxProperty GetTranslationProperty() const { return mTranslation; }
    KFbxProperty GetRotationProperty() const { return mRotation; }
    KFbxProperty GetScalingProperty() const { return mScaling; }
    KFbxVector4 GetTranslation() const;
    KFbxVector4 GetRotation() const;
    KFbxVector4 GetScale() const;
    void SetTranslation(const KFbxVector4& value);
    void SetRotation(const KFbxVector4& value);
    void SetScale(const KFbxVector4& value);
    void SetTranslationUV(double u, double v);
    void SetRotationUVW(double u, double v, double w);
    void SetScaleUV(double u, double v);
    double GetTranslationU() const { return GetTranslation()[0]; }
    double GetTranslationV() const { return GetTranslation()[1]; }
    double GetRotationU() const { return GetRotation()[0]; }
    double GetRotationV() const { return GetRotation()[1]; }
    double GetRotationW() const { return GetRotation()[2]; }
    double GetScaleU() const { return GetScale()[0]; }
    double GetScaleV() const { return GetScale()[1]; }

    // The model's own UV placement, as files store it.
    void SetUVTranslation(const KFbxVector2& value) { mUVTranslation = value; }
    const KFbxVector2& GetUVTranslation() const { return mUVTranslation; }
    void SetUVScaling(const KFbxVector2& value) { mUVScaling = value; }
    const KFbxVector2& GetUVScaling() const { return mUVScaling; }

    // ---- alpha, cropping ----
    void SetDefaultAlpha(double alpha) { mDefaultAlpha = alpha; }
    double GetDefaultAlpha() const { return mDefaultAlpha; }
    void SetAlphaSource(EAlphaSource source) { mAlphaSource = source; }
    EAlphaSource GetAlphaSource() const { return mAlphaSource; }
    // Pixels cut from the left, top, right and bottom.
    void SetCropping(int left, int top, int right, int bottom);
    int GetCropping0() const { return mCropping[0]; }
    int GetCropping1() const { return mCropping[1]; }
    int GetCropping2() const { return mCropping[2]; }
    int GetCropping3() const { return mCropping[3]; }

    // ---- mapping and use ----
    void SetMappingType(EMappingType type) { mMappingType = type; }
    EMappingType GetMappingType() const { return mMappingType; }
    void SetPlanarMappingNormal(EPlanarMappingNormal normal) { mPlanarMappingNormal = normal; }
    EPlanarMappingNormal GetPlanarMappingNormal() const { return mPlanarMappingNormal; }
    void SetSwapUV(bool swap) { mSwapUV = swap; }
    bool GetSwapUV() const { return mSwapUV; }
    void SetMaterialUse(EMaterialUse use) { mMaterialUse = use; }
    EMaterialUse GetMaterialUse() const { return mMaterialUse; }
    void SetTextureUse(ETextureUse use) { mTextureUse = use; }
    ETextureUse GetTextureUse() const { return mTextureUse; }
    void SetWrapMode(EWrapMode u, EWrapMode v);
    EWrapMode GetWrapModeU() const { return mWrapModeU; }
    EWrapMode GetWrapModeV() const { return mWrapModeV; }
    void SetBlendMode(EBlendMode mode) { mBlendMode = mode; }
    EBlendMode GetBlendMode() const { return mBlendMode; }

private:
    KFbxProperty MakePlacementProperty(const char* name);
    static KFbxVector4 ReadVector(const KFbxProperty& property);
    static void WriteVector(KFbxProperty& property, double x, double y, double z);

    KString mFileName;
    KString mRelativeFileName;
    KString mMediaName;
    KString mTextureType;
    KFbxProperty mTranslation;
    KFbxProperty mRotation;
    KFbxProperty mScaling;
    KFbxVector2 mUVTranslation;
    KFbxVector2 mUVScaling;
    double mDefaultAlpha = 1.0;
    EAlphaSource mAlphaSource = eNONE;
    int mCropping[4] = {0, 0, 0, 0};
    EMappingType mMappingType = eUV;
    EPlanarMappingNormal mPlanarMappingNormal = ePLANAR_NORMAL_X;
    bool mSwapUV = false;
    EMaterialUse mMaterialUse = eMODEL_MATERIAL;
    ETextureUse mTextureUse = eSTANDARD;
    EWrapMode mWrapModeU = eREPEAT;
    EWrapMode mWrapModeV = eREPEAT;
    EBlendMode mBlendMode = eTRANSLUCENT;
};

}  // namespace fbxsdk_2006_11_1

#endif
