#include <fbxfilesdk/scene/KFbxLight.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KInternedText.h>
#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/scene/KFbxAttributeChannels.h>
#include <fbxfilesdk/scene/KFbxLight_internal.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

#include <iterator>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kLightTypeNames[] = {"Point Light", "Infinite Light", "Spot Light"};
constexpr int kLightTypeCount = 3;

constexpr const char* kColor = "Color";
constexpr const char* kIntensity = "Intensity";
constexpr const char* kConeAngle = "Cone angle";
constexpr const char* kFog = "Fog";
constexpr const char* const kAxes[3] = {"X", "Y", "Z"};
const char* const kChannels[] = {kColor, kIntensity, kConeAngle, kFog};

// The channel names, which every light's channels share.
const KInternedText* ChannelNames() {
    static const KInternedText* const names =
        KInternedText::InternForever(std::size(kChannels), [](std::size_t index) { return kChannels[index]; });
    return names;
}
enum EChannel { kColorChannel, kIntensityChannel, kConeAngleChannel, kFogChannel };
// The interned text the channel shares: a look-up meets the channel's own
// name and need not compare its letters.
const char* ChannelName(EChannel channel) { return ChannelNames()[channel].Get(); }

constexpr float kAxisColours[3][3] = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};
constexpr float kIntensityColour[3] = {0.97f, 0.91f, 0.11f};
constexpr float kConeAngleColour[3] = {0.82f, 0.1f, 0.71f};
constexpr float kFogColour[3] = {0.82f, 0.38f, 0.1f};

constexpr double kDefaultIntensity = 100.0;
constexpr double kDefaultConeAngle = 45.0;
constexpr double kDefaultFog = 50.0;

// The decay, attenuation and shadow properties of the light object itself.
enum EPublicKind { eENUM, eNUMBER, eBOOL, eCOLOR_AND_ALPHA };
struct PublicProperty {
    const char* mName;
    EPublicKind mKind;
    double mDefault;
};
constexpr PublicProperty kPublicProperties[] = {
    {"DecayType", eENUM, 0.0},
    {"DecayStart", eNUMBER, 1.0},
    {"EnableNearAttenuation", eBOOL, 0.0},
    {"NearAttenuationStart", eNUMBER, 0.0},
    {"NearAttenuationEnd", eNUMBER, 0.0},
    {"EnableFarAttenuation", eBOOL, 0.0},
    {"FarAttenuationStart", eNUMBER, 0.0},
    {"FarAttenuationEnd", eNUMBER, 0.0},
    {"CastShadows", eBOOL, 0.0},
    {"ShadowColor", eCOLOR_AND_ALPHA, 0.0},
};

// The names of those properties, which every light's properties share.
const KInternedText* PublicPropertyNames() {
    static const KInternedText* const names = KInternedText::InternForever(
        std::size(kPublicProperties), [](std::size_t index) { return kPublicProperties[index].mName; });
    return names;
}

const KFbxDataType& DataTypeOf(EPublicKind kind) {
    switch (kind) {
    case eENUM:
        return gKFbxDataTypeEnum;
    case eBOOL:
        return gKFbxDataTypeBool;
    case eCOLOR_AND_ALPHA:
        return gKFbxDataTypeColorAndAlpha;
    default:
        return gKFbxDataTypeNumber;
    }
}

void SetToDefault(KFbxProperty& property, const PublicProperty& spec) {
    switch (spec.mKind) {
    case eENUM: {
        const int value = static_cast<int>(spec.mDefault);
        property.Set(&value, eFbxValueEnum);
        break;
    }
    case eBOOL: {
        const bool value = spec.mDefault != 0.0;
        property.Set(&value, eFbxValueBool);
        break;
    }
    case eCOLOR_AND_ALPHA: {
        const fbxDouble4 value(0.0, 0.0, 0.0, 1.0);
        property.Set(&value, eFbxValueDouble4);
        break;
    }
    default:
        property.Set(&spec.mDefault, eFbxValueDouble);
        break;
    }
}

// The data type registered under the property's own name, else a number.
KFbxDataType AnimatedDataType(const char* name) {
    const KFbxDataType type = KFbxGetDataTypeByName(name);
    return type != KFbxDataType() ? type : gKFbxDataTypeNumber;
}

void InitAnimated(KFbxObject* light, KFbxProperty& property, const char* name, double value) {
    property.InitOnObject(light, name, AnimatedDataType(name), "");
    property.ModifyFlag(KFbxProperty::kAnimatable | KFbxProperty::kPublicFlag8, true);
    property.Set(&value, eFbxValueDouble);
}

}  // namespace


KFbxLight::KFbxLight(KFbxSdkManager* manager, const char* name) : KFbxNodeAttribute(manager, name) {
    // Its own properties at once, instead of a regrowth of the list every few.
    constexpr int kInitedProperties = 9;
    ReserveProperties(kInitedProperties + static_cast<int>(std::size(kPublicProperties)));
    InitProperties();
    SetCastLightOnObject(true);
    SetLightType(ePOINT);
    const double white[3] = {1.0, 1.0, 1.0};
    SetDefaultColor(white);
    SetDefaultIntensity(kDefaultIntensity);
    SetDefaultConeAngle(kDefaultConeAngle);
    SetDefaultFog(kDefaultFog);
    SetDrawGroundProjection(true);
    SetDrawVolumetricLight(true);
    SetDrawFrontFacingVolumetricLight(false);
    SetFileName("");
    const KInternedText* const names = PublicPropertyNames();
    const KInternedText noLabel;
    // Each starts at its default as it is made, rather than be looked up
    // again by name for it.
    for (std::size_t index = 0; index < std::size(kPublicProperties); ++index) {
        const PublicProperty& spec = kPublicProperties[index];
        KFbxProperty property = KFbxProperty::Create(this, names[index], DataTypeOf(spec.mKind), noLabel);
        if (property.IsValid()) {
            SetToDefault(property, spec);
        }
    }
}

KFbxLight::~KFbxLight() = default;

void KFbxLight::InitProperties() {
    // The animated values come first, as files list them.
    InitAnimated(this, Intensity, kIntensity, kDefaultIntensity);
    InitAnimated(this, ConeAngle, kConeAngle, kDefaultConeAngle);
    InitAnimated(this, Fog, kFog, kDefaultFog);
    InitEnumProperty(LightType, "LightType", KInternedText::InternedForever<kLightTypeNames>(), kLightTypeCount, ePOINT);
    CastLightOnObject.InitOnObject(this, "CastLightOnObject", gKFbxDataTypeBool, "");
    DrawGroundProjection.InitOnObject(this, "DrawGroundProjection", gKFbxDataTypeBool, "");
    DrawFrontFacingVolumetricLight.InitOnObject(this, "DrawFrontFacingVolumetricLight", gKFbxDataTypeBool, "");
    DrawVolumetricLight.InitOnObject(this, "DrawVolumetricLight", gKFbxDataTypeBool, "");
    GoboProperty.InitOnObject(this, "GoboProperty", gKFbxDataTypeObject, "");
}

KFbxLight* KFbxLight::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxLight>(manager, ClassId, name);
}

KFbxPlug* KFbxLight::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxLight>(manager, name);
}

KFbxClassId KFbxLight::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxLight::NewInternalObject() { return new (std::nothrow) KFbxLight_internal(this); }

void KFbxLight::GetTypeFlags(KStringList& flags) const {
    flags.Clear();
    flags.Add(KString("Light"));
}

KFbxNodeAttribute* KFbxLight::Clone(int mode) const { return KFbxCloneByCopy(*this, mode, ""); }

void KFbxLight::FillTakeNodeTemplate(KFbxTakeNode& takeNode) {
    KFbxNodeAttribute::FillTakeNodeTemplate(takeNode);
    KFCurveNode* root = takeNode.GetKFCurveNode();
    if (root == nullptr) {
        return;
    }
    const bool defaultTake = KFbxIsDefaultTake(takeNode);
    // The light's own values become the channel defaults, so that a light
    // filled before it joins its node keeps them.
    const fbxDouble3 colour = Color.GetDouble3();
    const KInternedText* const names = ChannelNames();
    if (KFCurveNode* colourChannel = root->FindOrCreate(names[kColorChannel], false)) {
        for (int axis = 0; axis < 3; ++axis) {
            KFCurveNode* component = colourChannel->FindOrCreate(kAxes[axis], true);
            KFCurve* curve = component != nullptr ? component->FCurveGet() : nullptr;
            if (defaultTake) {
                KFbxLinkChannel(GetNode(), Color, axis, component);
            }
            KFbxSetChannelDefault(curve, colour[axis], kAxisColours[axis]);
        }
    }
    struct Scalar {
        KFbxProperty* mProperty;
        const KInternedText& mName;
        const float (&mColour)[3];
    };
    const Scalar scalars[] = {{&Intensity, names[kIntensityChannel], kIntensityColour},
                              {&ConeAngle, names[kConeAngleChannel], kConeAngleColour},
                              {&Fog, names[kFogChannel], kFogColour}};
    for (const Scalar& scalar : scalars) {
        const double value = scalar.mProperty->GetDouble();
        KFCurveNode* channel = root->FindOrCreate(scalar.mName, true);
        KFCurve* curve = channel != nullptr ? channel->FCurveGet() : nullptr;
        if (defaultTake) {
            KFbxLinkChannel(GetNode(), *scalar.mProperty, 0, channel);
        }
        KFbxSetChannelDefault(curve, value, scalar.mColour);
    }
}

void KFbxLight::ClearTakeNodeTemplate(KFbxTakeNode& takeNode) {
    KFbxDeleteChannels(takeNode, kChannels, static_cast<int>(std::size(kChannels)));
    KFbxNodeAttribute::ClearTakeNodeTemplate(takeNode);
}

void KFbxLight::ResetProperties() {
    for (const PublicProperty& spec : kPublicProperties) {
        if (KFbxProperty property = FindOwnProperty(spec.mName); property.IsValid()) {
            SetToDefault(property, spec);
        }
    }
}

void KFbxLight::CopyFrom(const KFbxLight& other) {
    SetLightType(other.GetLightType());
    SetCastLightOnObject(other.GetCastLightOnObject());
    SetFileName(other.mFileName.Buffer());
    SetDrawGroundProjection(other.GetDrawGroundProjection());
    SetDrawVolumetricLight(other.GetDrawVolumetricLight());
    SetDrawFrontFacingVolumetricLight(other.GetDrawFrontFacingVolumetricLight());
    // A copied light shines as the original does.
    double colour[3];
    other.GetDefaultColor(colour);
    SetDefaultColor(colour);
    SetDefaultIntensity(other.GetDefaultIntensity());
    SetDefaultConeAngle(other.GetDefaultConeAngle());
    SetDefaultFog(other.GetDefaultFog());
    for (const PublicProperty& spec : kPublicProperties) {
        KFbxProperty mine = FindOwnProperty(spec.mName);
        const KFbxProperty theirs = other.FindOwnProperty(spec.mName);
        if (mine.IsValid() && theirs.IsValid()) {
            mine.CopyValue(theirs);
        }
    }
}

void KFbxLight::SetLightType(int type) { SetEnumValue(LightType, type); }

int KFbxLight::GetLightType() const { return GetEnumValue(LightType); }

const char* KFbxLight::GetLightTypeName(int type) { return EnumText(kLightTypeNames, kLightTypeCount, type); }

bool KFbxLight::SetFileName(const char* name) {
    mFileName = name != nullptr ? name : "";
    return true;
}

const char* KFbxLight::GetFileName() const { return mFileName.IsEmpty() ? nullptr : mFileName.Buffer(); }

// ---- animated values --------------------------------------------------------

double KFbxLight::GetAnimated(const KFbxProperty& property, const char* channel) const {
    const KFCurve* curve = GetDefaultTakeCurve(channel);
    return curve != nullptr ? static_cast<double>(curve->GetValue()) : property.GetDouble();
}

void KFbxLight::SetAnimated(KFbxProperty& property, const char* channel, double value) {
    if (KFCurve* curve = GetDefaultTakeCurve(channel)) {
        curve->SetValue(static_cast<float>(value));
    }
    // Last, so that the property keeps the full value.
    property.Set(&value, eFbxValueDouble);
}

void KFbxLight::SetDefaultColor(const double rgb[3]) {
    for (int axis = 0; axis < 3; ++axis) {
        if (KFCurve* curve = GetDefaultTakeCurve(ChannelName(kColorChannel), kAxes[axis])) {
            curve->SetValue(static_cast<float>(rgb[axis]));
        }
    }
    const fbxDouble3 value(rgb[0], rgb[1], rgb[2]);
    Color.Set(&value, eFbxValueDouble3);
}

void KFbxLight::GetDefaultColor(double rgb[3]) const {
    const fbxDouble3 value = Color.GetDouble3();
    for (int axis = 0; axis < 3; ++axis) {
        const KFCurve* curve = GetDefaultTakeCurve(ChannelName(kColorChannel), kAxes[axis]);
        rgb[axis] = curve != nullptr ? static_cast<double>(curve->GetValue()) : value[axis];
    }
}

void KFbxLight::SetDefaultIntensity(double intensity) {
    SetAnimated(Intensity, ChannelName(kIntensityChannel), intensity);
}

double KFbxLight::GetDefaultIntensity() const { return GetAnimated(Intensity, ChannelName(kIntensityChannel)); }

void KFbxLight::SetDefaultConeAngle(double degrees) { SetAnimated(ConeAngle, ChannelName(kConeAngleChannel), degrees); }

double KFbxLight::GetDefaultConeAngle() const { return GetAnimated(ConeAngle, ChannelName(kConeAngleChannel)); }

void KFbxLight::SetDefaultFog(double fog) { SetAnimated(Fog, ChannelName(kFogChannel), fog); }

double KFbxLight::GetDefaultFog() const { return GetAnimated(Fog, ChannelName(kFogChannel)); }

// ---- decay, attenuation and shadows -----------------------------------------

KFbxProperty KFbxLight::FindOwnProperty(const char* name) const { return FindProperty(name, true); }

bool KFbxLight::StoreValue(const char* name, const void* value, EFbxValueType type) {
    KFbxProperty property = FindOwnProperty(name);
    return property.IsValid() && property.Set(value, type);
}

namespace {

template <class T>
T ReadValue(const KFbxProperty& property, EFbxValueType type, T fallback) {
    T value = fallback;
    if (property.IsValid()) {
        property.Get(&value, type);
    }
    return value;
}

}  // namespace

bool KFbxLight::SetDecayType(int type) { return StoreValue("DecayType", &type, eFbxValueEnum); }

int KFbxLight::GetDecayType() const { return ReadValue(FindOwnProperty("DecayType"), eFbxValueEnum, 0); }

bool KFbxLight::SetDecayStart(double start) { return StoreValue("DecayStart", &start, eFbxValueDouble); }

double KFbxLight::GetDecayStart() const { return ReadValue(FindOwnProperty("DecayStart"), eFbxValueDouble, 0.0); }

bool KFbxLight::SetEnableNearAttenuation(bool enable) {
    return StoreValue("EnableNearAttenuation", &enable, eFbxValueBool);
}

bool KFbxLight::GetEnableNearAttenuation() const {
    return ReadValue(FindOwnProperty("EnableNearAttenuation"), eFbxValueBool, false);
}

bool KFbxLight::SetNearAttenuationStart(double start) {
    return StoreValue("NearAttenuationStart", &start, eFbxValueDouble);
}

double KFbxLight::GetNearAttenuationStart() const {
    return ReadValue(FindOwnProperty("NearAttenuationStart"), eFbxValueDouble, 0.0);
}

bool KFbxLight::SetNearAttenuationEnd(double end) { return StoreValue("NearAttenuationEnd", &end, eFbxValueDouble); }

double KFbxLight::GetNearAttenuationEnd() const {
    return ReadValue(FindOwnProperty("NearAttenuationEnd"), eFbxValueDouble, 0.0);
}

bool KFbxLight::SetEnableFarAttenuation(bool enable) {
    return StoreValue("EnableFarAttenuation", &enable, eFbxValueBool);
}

bool KFbxLight::GetEnableFarAttenuation() const {
    return ReadValue(FindOwnProperty("EnableFarAttenuation"), eFbxValueBool, false);
}

bool KFbxLight::SetFarAttenuationStart(double start) {
    return StoreValue("FarAttenuationStart", &start, eFbxValueDouble);
}

double KFbxLight::GetFarAttenuationStart() const {
    return ReadValue(FindOwnProperty("FarAttenuationStart"), eFbxValueDouble, 0.0);
}

bool KFbxLight::SetFarAttenuationEnd(double end) { return StoreValue("FarAttenuationEnd", &end, eFbxValueDouble); }

double KFbxLight::GetFarAttenuationEnd() const {
    return ReadValue(FindOwnProperty("FarAttenuationEnd"), eFbxValueDouble, 0.0);
}

bool KFbxLight::SetCastShadows(bool cast) { return StoreValue("CastShadows", &cast, eFbxValueBool); }

bool KFbxLight::GetCastShadows() const { return ReadValue(FindOwnProperty("CastShadows"), eFbxValueBool, false); }

bool KFbxLight::SetShadowColor(const KFbxColor& color) {
    const fbxDouble4 value(color.mRed, color.mGreen, color.mBlue, color.mAlpha);
    return StoreValue("ShadowColor", &value, eFbxValueDouble4);
}

KFbxColor KFbxLight::GetShadowColor() const {
    const fbxDouble4 value = ReadValue(FindOwnProperty("ShadowColor"), eFbxValueDouble4, fbxDouble4(0.0, 0.0, 0.0, 1.0));
    return KFbxColor(value[0], value[1], value[2], value[3]);
}

}  // namespace fbxsdk_2006_11_1
