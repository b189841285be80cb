// The attribute of a light node: its kind (point, infinite, spot), colour,
// intensity, cone angle and fog, drawing options, a gobo (media) file name,
// and decay, attenuation and shadow properties. Colour, intensity, cone angle
// and fog are animated through channels of the owning node's takes; their
// "Default" values live in the default take while the light is attached.
#ifndef FBXFILESDK_SCENE_KFBXLIGHT_H
#define FBXFILESDK_SCENE_KFBXLIGHT_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxTypedProperty.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>

namespace fbxsdk_2006_11_1 {

class KFbxLight : public KFbxNodeAttribute {
public:
    enum ELightType : int { ePOINT = 0, eDIRECTIONAL = 1, eSPOT = 2 };
    enum EDecayType : int { eNONE = 0, eLINEAR = 1, eQUADRATIC = 2, eCUBIC = 3 };

    // The class id of KFbxLight; null until the class is registered.
    static KFbxClassId ClassId;

    // A white point light of intensity 100, cone 45 and fog 50, with the
    // decay, attenuation and shadow properties at their defaults.
    KFbxLight(KFbxSdkManager* manager, const char* name);
    ~KFbxLight() override;

    static KFbxLight* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    // A KFbxLight_internal.
    KFbxObject_internal* NewInternalObject() override;
    EAttributeType GetAttributeType() const override { return eLIGHT; }
    const char* GetTypeName() const override { return "Light"; }
    void GetTypeFlags(KStringList& flags) const override;
    // Mode 2: a new light with an empty name and this one's values.
    KFbxNodeAttribute* Clone(int mode) const override;
    // "Color" (X, Y, Z), "Intensity", "Cone angle" and "Fog", linked to the
    // properties in the default take.
    void FillTakeNodeTemplate(KFbxTakeNode& takeNode) override;
    void ClearTakeNodeTemplate(KFbxTakeNode& takeNode) override;
    bool FillsChannelsAhead() const override { return true; }
    // The decay, attenuation and shadow properties back to their defaults,
    // each only while it exists.
    virtual void ResetProperties();

    // Every value of the other light: kind, flags, file name, colour,
    // intensity, cone angle, fog and the decay, attenuation and shadow properties.
    void CopyFrom(const KFbxLight& other);

    // Values without a name are kept as given.
    void SetLightType(int type);
    int GetLightType() const;
    // "Point Light", "Infinite Light", "Spot Light"; null for any other value.
    static const char* GetLightTypeName(int type);
    void SetCastLightOnObject(bool cast) { CastLightOnObject.Set(cast); }
    bool GetCastLightOnObject() const { return CastLightOnObject.Get(); }
    void SetDrawVolumetricLight(bool draw) { DrawVolumetricLight.Set(draw); }
    bool GetDrawVolumetricLight() const { return DrawVolumetricLight.Get(); }
    void SetDrawGroundProjection(bool draw) { DrawGroundProjection.Set(draw); }
    bool GetDrawGroundProjection() const { return DrawGroundProjection.Get(); }
    void SetDrawFrontFacingVolumetricLight(bool draw) { DrawFrontFacingVolumetricLight.Set(draw); }
    bool GetDrawFrontFacingVolumetricLight() const { return DrawFrontFacingVolumetricLight.Get(); }

    // The gobo's file; a null name counts as "". Always true.
    bool SetFileName(const char* name);
    // Null while empty.
    const char* GetFileName() const;

    // ---- animated values ("Default" values) ----
    void SetDefaultColor(const double rgb[3]);
    // Red, green, blue.
    void GetDefaultColor(double rgb[3]) const;
    void SetDefaultIntensity(double intensity);
    double GetDefaultIntensity() const;
    void SetDefaultConeAngle(double degrees);
    double GetDefaultConeAngle() const;
    void SetDefaultFog(double fog);
    double GetDefaultFog() const;

    // ---- decay, attenuation and shadows (false once the property was removed) ----
    bool SetDecayType(int type);
    int GetDecayType() const;
    bool SetDecayStart(double start);
    double GetDecayStart() const;
    bool SetEnableNearAttenuation(bool enable);
    bool GetEnableNearAttenuation() const;
    bool SetNearAttenuationStart(double start);
    double GetNearAttenuationStart() const;
    bool SetNearAttenuationEnd(double end);
    double GetNearAttenuationEnd() const;
    bool SetEnableFarAttenuation(bool enable);
    bool GetEnableFarAttenuation() const;
    bool SetFarAttenuationStart(double start);
    double GetFarAttenuationStart() const;
    bool SetFarAttenuationEnd(double end);
    double GetFarAttenuationEnd() const;
    bool SetCastShadows(bool cast);
    bool GetCastShadows() const;
    bool SetShadowColor(const KFbxColor& color);
    // Opaque black once the property was removed.
    KFbxColor GetShadowColor() const;

    KFbxProperty LightType;
    KFbxTypedProperty<bool> CastLightOnObject;
    KFbxTypedProperty<bool> DrawGroundProjection;
    KFbxTypedProperty<bool> DrawFrontFacingVolumetricLight;
    KFbxTypedProperty<bool> DrawVolumetricLight;
    // The objects (videos) that serve as the light's gobo.
    KFbxProperty GoboProperty;
    KFbxTypedProperty<double> Intensity;
    KFbxTypedProperty<double> ConeAngle;
    KFbxTypedProperty<double> Fog;

private:
    void InitProperties();
    // The light's own property of the name (exact); invalid once removed.
    KFbxProperty FindOwnProperty(const char* name) const;
    bool StoreValue(const char* name, const void* value, EFbxValueType type);
    double GetAnimated(const KFbxProperty& property, const char* channel) const;
    void SetAnimated(KFbxProperty& property, const char* channel, double value);

    KString mFileName;
};

}  // namespace fbxsdk_2006_11_1

#endif
