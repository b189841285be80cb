#include <fbxfilesdk/scene/KFbxCamera.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KFreshPropertyNamesScope.h>
#include <fbxfilesdk/core/KInternedText.h>
#include <fbxfilesdk/core/KObject.h>
#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/scene/KFbxAttributeChannels.h>
#include <fbxfilesdk/scene/KFbxCamera_internal.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

#include <cmath>
#include <iterator>
#include <new>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kAspectRatioModeNames[] = {"Window Size", "Fixed Ratio", "Fixed Resolution",
                                             "Fixed Width Resolution", "Fixed Height Resolution"};
const char* const kApertureModeNames[] = {"Horizontal & Vertical", "Horizontal", "Vertical"};
const char* const kGateFitNames[] = {"Horizontal Fit", "Vertical Fit", "Horizontal Fit",
                                     "Fill Fit",       "Overscan Fit", "Stretch Fit"};
// Format 9 has no name; its slot keeps the list's indices aligned with the values.
const char* const kFormatNames[] = {"Custom", "D1 NTSC", "NTSC",    "PAL",     "D1 PAL", "HD",
                                    "640x480", "320x200", "320x240", "",        "Full Screen"};
constexpr int kFormatWithoutName = 9;
const char* const kApertureFormatNames[] = {"Custom",
                                            "16mm Theatrical",
                                            "Super 16mm",
                                            "35mm Academy",
                                            "35mm TV Projection",
                                            "35mm Full Aperture",
                                            "35mm 1.85 Projection",
                                            "35mm Anamorphic",
                                            "70mm Projection",
                                            "VistaVision",
                                            "Dynavision",
                                            "Imax"};
const char* const kBackgroundDisplayModeNames[] = {"Disabled", "Always", "When Media"};
const char* const kBackgroundDistanceModeNames[] = {"Relative to Interest", "Relative to Camera"};
const char* const kBackgroundDrawingModeNames[] = {"Background", "Foreground", "Background & Forground"};
const char* const kSafeAreaStyleNames[] = {"Round Safe Area", "Square Safe Area"};
const char* const kProjectionTypeNames[] = {"Perspective", "Orthographic"};
const char* const kFocusDistanceSourceNames[] = {"Camera Interest", "Specific Distance"};

struct EnumTexts {
    const char* const* mTexts;
    int mCount;
};
template <std::size_t N>
constexpr EnumTexts Texts(const char* const (&texts)[N]) {
    return {texts, static_cast<int>(N)};
}

enum EKind { eBOOL, eINT, eDOUBLE, eENUM, eCOLOR, eCOLOR_ALPHA };

// How a property takes part in Reset and in the channels.
constexpr unsigned kAnimated = 1;        // has a curve in the owning node's takes
constexpr unsigned kReadsCurve = 2;      // its "Default" getter reads that curve
constexpr unsigned kSetByResetSteps = 4;  // Reset gives it its value before the table step
constexpr unsigned kKeptByReset = 8;     // Reset leaves it alone

struct PropertySpec {
    KFbxCamera::EProperty mWhich;
    const char* mName;
    EKind mKind;
    double mDefault;
    unsigned mFlags;
    // The curve-node data type of an animated property.
    const char* mDataTypeName;
    EnumTexts mTexts;
};

using P = KFbxCamera;
constexpr unsigned kChannel = kAnimated | kReadsCurve | kSetByResetSteps;
constexpr unsigned kPropertyChannel = kAnimated | kSetByResetSteps;
const PropertySpec kSpecs[KFbxCamera::ePropertyCount] = {
    {P::eRoll, "Roll", eDOUBLE, 0.0, kPropertyChannel, "Roll", {}},
    {P::eFieldOfView, "FieldOfView", eDOUBLE, 40.0, kChannel, "FieldOfView", {}},
    {P::eFieldOfViewX, "FieldOfViewX", eDOUBLE, 1.0, kChannel, "FieldOfView", {}},
    {P::eFieldOfViewY, "FieldOfViewY", eDOUBLE, 1.0, kChannel, "FieldOfView", {}},
    {P::eOpticalCenterX, "OpticalCenterX", eDOUBLE, 0.0, kChannel, "Real", {}},
    {P::eOpticalCenterY, "OpticalCenterY", eDOUBLE, 0.0, kChannel, "Real", {}},
    {P::eBackgroundColor, "BackgroundColor", eCOLOR, 0.63, kChannel, "Color", {}},
    {P::eTurnTable, "TurnTable", eDOUBLE, 0.0, kPropertyChannel, "Real", {}},
    {P::eDisplayTurnTableIcon, "DisplayTurnTableIcon", eBOOL, 1.0, 0, nullptr, {}},
    {P::eMotionBlurIntensity, "Motion Blur Intensity", eDOUBLE, 1.0, kAnimated, "Real", {}},
    {P::eUseMotionBlur, "UseMotionBlur", eBOOL, 0.0, 0, nullptr, {}},
    {P::eUseRealTimeMotionBlur, "UseRealTimeMotionBlur", eBOOL, 1.0, 0, nullptr, {}},
    {P::eResolutionMode, "ResolutionMode", eENUM, 0.0, 0, nullptr, Texts(kAspectRatioModeNames)},
    {P::eApertureMode, "ApertureMode", eENUM, 2.0, 0, nullptr, Texts(kApertureModeNames)},
    {P::eGateFit, "GateFit", eENUM, 0.0, 0, nullptr, Texts(kGateFitNames)},
    {P::eFocalLength, "FocalLength", eDOUBLE, 0.0, kChannel, "Real", {}},
    {P::eCameraFormat, "CameraFormat", eENUM, 0.0, 0, nullptr, Texts(kFormatNames)},
    {P::eAspectW, "AspectW", eDOUBLE, 320.0, 0, nullptr, {}},
    {P::eAspectH, "AspectH", eDOUBLE, 200.0, 0, nullptr, {}},
    {P::ePixelAspectRatio, "PixelAspectRatio", eDOUBLE, 1.0, 0, nullptr, {}},
    {P::eUseFrameColor, "UseFrameColor", eBOOL, 0.0, 0, nullptr, {}},
    {P::eFrameColor, "FrameColor", eCOLOR_ALPHA, 0.3, 0, nullptr, {}},
    {P::eShowName, "ShowName", eBOOL, 1.0, 0, nullptr, {}},
    {P::eShowGrid, "ShowGrid", eBOOL, 1.0, 0, nullptr, {}},
    {P::eShowOpticalCenter, "ShowOpticalCenter", eBOOL, 0.0, 0, nullptr, {}},
    {P::eShowAzimut, "ShowAzimut", eBOOL, 1.0, 0, nullptr, {}},
    {P::eShowTimeCode, "ShowTimeCode", eBOOL, 0.0, 0, nullptr, {}},
    {P::eNearPlane, "NearPlane", eDOUBLE, 10.0, 0, nullptr, {}},
    {P::eFarPlane, "FarPlane", eDOUBLE, 4000.0, 0, nullptr, {}},
    {P::eFilmWidth, "FilmWidth", eDOUBLE, 0.816, kSetByResetSteps, nullptr, {}},
    {P::eFilmHeight, "FilmHeight", eDOUBLE, 0.612, kSetByResetSteps, nullptr, {}},
    {P::eFilmAspectRatio, "FilmAspectRatio", eDOUBLE, 0.816 / 0.612, kSetByResetSteps, nullptr, {}},
    {P::eFilmSqueezeRatio, "FilmSqueezeRatio", eDOUBLE, 1.0, kSetByResetSteps, nullptr, {}},
    {P::eFilmFormatIndex, "FilmFormatIndex", eENUM, 4.0, kSetByResetSteps, nullptr, Texts(kApertureFormatNames)},
    {P::eViewFrustum, "ViewFrustum", eBOOL, 1.0, 0, nullptr, {}},
    {P::eViewFrustumNearFarPlane, "ViewFrustumNearFarPlane", eBOOL, 0.0, 0, nullptr, {}},
    {P::eViewFrustumBackPlaneMode, "ViewFrustumBackPlaneMode", eENUM, 2.0, 0, nullptr,
     Texts(kBackgroundDisplayModeNames)},
    {P::eBackPlaneDistance, "BackPlaneDistance", eDOUBLE, 100.0, 0, nullptr, {}},
    {P::eBackPlaneDistanceMode, "BackPlaneDistanceMode", eENUM, 0.0, 0, nullptr, Texts(kBackgroundDistanceModeNames)},
    {P::eViewCameraToLookAt, "ViewCameraToLookAt", eBOOL, 1.0, 0, nullptr, {}},
    {P::eLockMode, "LockMode", eBOOL, 0.0, 0, nullptr, {}},
    {P::eLockInterestNavigation, "LockInterestNavigation", eBOOL, 0.0, kKeptByReset, nullptr, {}},
    {P::eFitImage, "FitImage", eBOOL, 0.0, 0, nullptr, {}},
    {P::eCrop, "Crop", eBOOL, 0.0, 0, nullptr, {}},
    {P::eCenter, "Center", eBOOL, 1.0, 0, nullptr, {}},
    {P::eKeepRatio, "KeepRatio", eBOOL, 1.0, 0, nullptr, {}},
    {P::eBackgroundMode, "BackgroundMode", eENUM, 0.0, 0, nullptr, Texts(kBackgroundDrawingModeNames)},
    {P::eBackgroundAlphaTreshold, "BackgroundAlphaTreshold", eDOUBLE, 0.5, 0, nullptr, {}},
    {P::eForegroundTransparent, "ForegroundTransparent", eBOOL, 1.0, 0, nullptr, {}},
    {P::eDisplaySafeArea, "DisplaySafeArea", eBOOL, 0.0, 0, nullptr, {}},
    {P::eSafeAreaDisplayStyle, "SafeAreaDisplayStyle", eENUM, 1.0, 0, nullptr, Texts(kSafeAreaStyleNames)},
    {P::eSafeAreaAspectRatio, "SafeAreaAspectRatio", eDOUBLE, 1.33333333333333, 0, nullptr, {}},
    {P::eUse2DMagnifierZoom, "Use2DMagnifierZoom", eBOOL, 0.0, 0, nullptr, {}},
    {P::e2DMagnifierZoom, "2D Magnifier Zoom", eDOUBLE, 100.0, kAnimated, "Real", {}},
    {P::e2DMagnifierX, "2D Magnifier X", eDOUBLE, 50.0, kAnimated, "Real", {}},
    {P::e2DMagnifierY, "2D Magnifier Y", eDOUBLE, 50.0, kAnimated, "Real", {}},
    {P::eCameraProjectionType, "CameraProjectionType", eENUM, 0.0, 0, nullptr, Texts(kProjectionTypeNames)},
    {P::eUseRealTimeDOFAndAA, "UseRealTimeDOFAndAA", eBOOL, 0.0, 0, nullptr, {}},
    {P::eUseDepthOfField, "UseDepthOfField", eBOOL, 0.0, 0, nullptr, {}},
    {P::eFocusSource, "FocusSource", eENUM, 0.0, 0, nullptr, Texts(kFocusDistanceSourceNames)},
    {P::eFocusAngle, "FocusAngle", eDOUBLE, 3.5, 0, nullptr, {}},
    {P::eFocusDistance, "FocusDistance", eDOUBLE, 200.0, 0, nullptr, {}},
    {P::eUseAntialiasing, "UseAntialiasing", eBOOL, 0.0, 0, nullptr, {}},
    {P::eAntialiasingIntensity, "AntialiasingIntensity", eDOUBLE, 0.77777, 0, nullptr, {}},
    {P::eUseAccumulationBuffer, "UseAccumulationBuffer", eBOOL, 0.0, 0, nullptr, {}},
    {P::eFrameSamplingCount, "FrameSamplingCount", eINT, 7.0, 0, nullptr, {}},
};

// The channels of the takes, in the order they are made; the background
// colour follows with its three components.
constexpr KFbxCamera::EProperty kScalarChannels[] = {P::eFieldOfView,    P::eFieldOfViewX,    P::eFieldOfViewY,
                                                     P::eFocalLength,    P::eOpticalCenterX,  P::eOpticalCenterY,
                                                     P::eRoll,           P::eTurnTable};
const char* const kChannelNames[] = {"FieldOfView",    "FieldOfViewX",   "FieldOfViewY", "FocalLength", "OpticalCenterX",
                                     "OpticalCenterY", "Roll",           "TurnTable",    "BackgroundColor"};
constexpr float kScalarChannelColours[][3] = {{0.55f, 0.55f, 0.81f}, {0.06f, 0.06f, 0.94f}, {0.04f, 0.04f, 0.4f},
                                              {0.7f, 0.4f, 0.5f},    {0.5f, 0.88f, 0.73f},  {0.13f, 0.56f, 0.34f},
                                              {0.13f, 0.18f, 0.4f},  {0.4f, 0.13f, 0.18f}};
constexpr const char* const kAxes[3] = {"X", "Y", "Z"};
constexpr float kAxisColours[3][3] = {{1.0f, 0.0f, 0.0f}, {0.0f, 1.0f, 0.0f}, {0.0f, 0.0f, 1.0f}};
// The field of view a new take starts from.
constexpr double kTemplateFieldOfView = 25.115;
constexpr double kTemplateFieldOfViewXY = 40.0;

constexpr double kMinPlane = 0.001;
constexpr double kMaxPlane = 600000.0;
constexpr double kMinFieldOfView = 1.0;
constexpr double kMaxFieldOfView = 179.0;

// The curve-node data type's name as a property data type, else a number.
KFbxDataType DataTypeOf(const PropertySpec& spec) {
    switch (spec.mKind) {
    case eBOOL:
        return gKFbxDataTypeBool;
    case eINT:
        return gKFbxDataTypeInteger;
    case eENUM:
        return gKFbxDataTypeEnum;
    case eCOLOR:
        return gKFbxDataTypeColor;
    case eCOLOR_ALPHA:
        return gKFbxDataTypeColorAndAlpha;
    default:
        break;
    }
    if (spec.mDataTypeName != nullptr) {
        const KFbxDataType type = KFbxGetDataTypeByName(spec.mDataTypeName);
        if (type != KFbxDataType() && type.GetType() == eFbxValueDouble) {
            return type;
        }
    }
    return gKFbxDataTypeNumber;
}

// Below the bound, the bound; NaN passes.
double AtLeast(double value, double bound) { return value < bound ? bound : value; }
double Clamp(double value, double low, double high) {
    if (value < low) {
        return low;
    }
    return value > high ? high : value;
}

struct FilmFormat {
    double mWidth;
    double mHeight;
    double mSqueeze;
};
// Indices 1 to 11.
constexpr FilmFormat kFilmFormats[] = {{0.404, 0.295, 1.0}, {0.493, 0.292, 1.0}, {0.864, 0.63, 1.0},
                                       {0.816, 0.612, 1.0}, {0.98, 0.735, 1.0},  {0.825, 0.446, 1.0},
                                       {0.864, 0.732, 2.0}, {2.066, 0.906, 1.0}, {1.485, 0.991, 1.0},
                                       {2.08, 1.48, 1.0},   {2.772, 2.072, 1.0}};

struct ResolutionFormat {
    int mFormat;
    unsigned int mWidth;
    unsigned int mHeight;
    double mDisplayRatio;
};
constexpr ResolutionFormat kResolutionFormats[] = {
    {KFbxCamera::eD1_NTSC, 720, 486, 1.3333333333}, {KFbxCamera::eNTSC, 640, 480, 1.3333333333},
    {KFbxCamera::ePAL, 570, 486, 1.3333333333},     {KFbxCamera::eD1_PAL, 720, 576, 1.3333333333},
    {KFbxCamera::eHD, 1920, 1080, 1.7777777777},    {KFbxCamera::e640x480, 640, 480, 1.3333333333},
    {KFbxCamera::e320x200, 320, 200, 1.3333333333}, {KFbxCamera::e320x240, 320, 240, 1.3333333333},
    {KFbxCamera::eFULL_SCREEN, 1280, 1024, 1.3333333333}};

const ResolutionFormat* FindResolutionFormat(int format) {
    for (const ResolutionFormat& row : kResolutionFormats) {
        if (row.mFormat == format) {
            return &row;
        }
    }
    return nullptr;
}

// Every camera names the same properties, of the same types, with the same
// enum values: interned and looked up once, each camera's records share them.
struct InternedCameraTexts {
    KInternedText mNames[KFbxCamera::ePropertyCount];
    KFbxDataType mDataTypes[KFbxCamera::ePropertyCount];
    std::vector<KInternedText> mEnumValues[KFbxCamera::ePropertyCount];
    // No two properties share a name (interned: equal texts, equal holders).
    bool mNamesDistinct = true;

    InternedCameraTexts() {
        for (const PropertySpec& spec : kSpecs) {
            const int index = spec.mWhich;
            mNames[index] = spec.mName;
            mDataTypes[index] = DataTypeOf(spec);
            for (int value = 0; value < spec.mTexts.mCount; ++value) {
                mEnumValues[index].emplace_back(spec.mTexts.mTexts[value]);
            }
            for (int before = 0; before < index; ++before) {
                mNamesDistinct = mNamesDistinct && !(mNames[before] == mNames[index]);
            }
        }
    }

    // Whether the object has no property of any of these names. Property
    // names are interned, and one text has one interned block: the texts
    // are the same exactly when they are at the same address.
    bool AreFreeOn(const KFbxObject& object) const {
        for (int index = 0; index < object.GetPropertyCount(); ++index) {
            const char* taken = object.GetPropertyAt(index).GetName();
            for (const KInternedText& name : mNames) {
                if (name.Get() == taken) {
                    return false;
                }
            }
        }
        return true;
    }
};

// Never destroyed: cameras may outlive the other statics.
const InternedCameraTexts& CameraTexts() {
    static const InternedCameraTexts* const texts = new InternedCameraTexts;
    return *texts;
}

// The interned text of the property's name, which its channel shares: the
// look-up meets the channel's own name and need not compare its letters.
const char* ChannelName(KFbxCamera::EProperty which) { return CameraTexts().mNames[which].Get(); }

}  // namespace


KFbxCamera::KFbxCamera(KFbxSdkManager* manager, const char* name)
    : KFbxNodeAttribute(manager, name),
      mUpVector(0.0, 1.0, 0.0, 1.0),
      mLookAt(0.0, 0.0, 0.0, 1.0),
      mAudioColor(0.0, 1.0, 0.0, 1.0) {
    // The twin first: each property is made on it at once, instead of being
    // looked up by name and bound afterwards.
    CreateInternal();
    InitProperties();
    Reset();
}

KFbxCamera::~KFbxCamera() = default;

void KFbxCamera::InitProperties() {
    const InternedCameraTexts& texts = CameraTexts();
    const KInternedText noLabel;
    // A new camera has only the attribute's own properties: the camera's
    // names are free on the object, and so on its twin, whose records are
    // the object's. The object is asked: a look at the twin would make its
    // records.
    const KObject* twin = GetInternalObject();
    const bool fresh = texts.mNamesDistinct && twin != nullptr && texts.AreFreeOn(*this);
    const KFreshPropertyNamesScope scope(fresh ? twin : nullptr);
    ReserveProperties(ePropertyCount);
    // Every value starts at zero: the reset that follows reads some of them
    // (the film back) before it sets them.
    for (const PropertySpec& spec : kSpecs) {
        const int index = spec.mWhich;
        KFbxProperty& property = mProperties[index];
        if (fresh) {
            property.InitOnNewObject(this, texts.mNames[index], texts.mDataTypes[index], noLabel);
        } else {
            property.InitOnObject(this, spec.mName, texts.mDataTypes[index], "");
        }
        if (spec.mKind == eENUM) {
            property.AddFixedEnumValues(texts.mEnumValues[index].data(), texts.mEnumValues[index].size());
            SetEnumValue(property, 0);
        }
        if ((spec.mFlags & kAnimated) != 0) {
            property.ModifyFlag(KFbxProperty::kAnimatable | KFbxProperty::kPublicFlag8, true);
        }
    }
}

KFbxCamera* KFbxCamera::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxCamera>(manager, ClassId, name);
}

KFbxPlug* KFbxCamera::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxCamera>(manager, name);
}

KFbxClassId KFbxCamera::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxCamera::NewInternalObject() { return new (std::nothrow) KFbxCamera_internal(this); }

void KFbxCamera::GetTypeFlags(KStringList& flags) const {
    flags.Clear();
    flags.Add(KString("Camera"));
}

KFbxNodeAttribute* KFbxCamera::Clone(int mode) const {
    if (mode != 2) {
        return nullptr;
    }
    KFbxCamera* copy = Create(GetSdkManager(), "");
    if (copy != nullptr) {
        copy->CopyFrom(*this);
    }
    return copy;
}

// ---- raw property values ----------------------------------------------------

bool KFbxCamera::GetBool(EProperty which) const {
    bool value = false;
    mProperties[which].Get(&value, eFbxValueBool);
    return value;
}

void KFbxCamera::SetBool(EProperty which, bool value) { mProperties[which].Set(&value, eFbxValueBool); }

int KFbxCamera::GetInt(EProperty which) const {
    if (kSpecs[which].mKind == eENUM) {
        return GetEnumValue(mProperties[which]);
    }
    int value = 0;
    mProperties[which].Get(&value, eFbxValueInteger);
    return value;
}

void KFbxCamera::SetInt(EProperty which, int value) {
    if (kSpecs[which].mKind == eENUM) {
        SetEnumValue(mProperties[which], value);
    } else {
        mProperties[which].Set(&value, eFbxValueInteger);
    }
}

double KFbxCamera::GetDouble(EProperty which) const { return mProperties[which].GetDouble(); }

void KFbxCamera::SetDouble(EProperty which, double value) { mProperties[which].Set(&value, eFbxValueDouble); }

void KFbxCamera::ResetProperty(EProperty which) {
    const PropertySpec& spec = kSpecs[which];
    switch (spec.mKind) {
    case eBOOL:
        SetBool(which, spec.mDefault != 0.0);
        break;
    case eINT:
    case eENUM:
        SetInt(which, static_cast<int>(spec.mDefault));
        break;
    case eCOLOR: {
        const fbxDouble3 value(spec.mDefault, spec.mDefault, spec.mDefault);
        mProperties[which].Set(&value, eFbxValueDouble3);
        break;
    }
    case eCOLOR_ALPHA: {
        const fbxDouble4 value(spec.mDefault, spec.mDefault, spec.mDefault, 1.0);
        mProperties[which].Set(&value, eFbxValueDouble4);
        break;
    }
    default:
        SetDouble(which, spec.mDefault);
        break;
    }
}

double KFbxCamera::GetAnimated(EProperty which) const {
    if ((kSpecs[which].mFlags & kReadsCurve) != 0) {
        if (const KFCurve* curve = GetDefaultTakeCurve(ChannelName(which))) {
            return static_cast<double>(curve->GetValue());
        }
    }
    return GetDouble(which);
}

void KFbxCamera::SetAnimated(EProperty which, double value) {
    if (KFCurve* curve = GetDefaultTakeCurve(ChannelName(which))) {
        curve->SetValue(static_cast<float>(value));
    }
    // Last: the curve's link narrows the property to the curve's float.
    SetDouble(which, value);
    mGiven.set(which);
}

// ---- reset and copy ---------------------------------------------------------

void KFbxCamera::Reset() {
    SetPosition(KFbxVector4(0.0, 0.0, -50.0, 1.0));
    mUpVector = KFbxVector4(0.0, 1.0, 0.0, 1.0);
    mLookAt = KFbxVector4(0.0, 0.0, 0.0, 1.0);
    SetInt(eCameraProjectionType, ePERSPECTIVE);
    SetRoll(0.0);
    SetDouble(eFieldOfView, 40.0);
    SetDouble(eFieldOfViewX, 1.0);
    SetDouble(eFieldOfViewY, 1.0);
    // With the film back still in force: zero on a new camera.
    SetDouble(eFocalLength, ComputeFocalLength(40.0));
    SetDouble(eOpticalCenterX, 0.0);
    SetDouble(eOpticalCenterY, 0.0);
    ResetProperty(eBackgroundColor);
    SetTurnTable(0.0);
    SetBool(eDisplayTurnTableIcon, true);
    SetDouble(eMotionBlurIntensity, 1.0);
    SetApertureFormat(e35MM_TV_PROJECTION);
    for (const PropertySpec& spec : kSpecs) {
        if ((spec.mFlags & (kSetByResetSteps | kKeptByReset)) == 0) {
            ResetProperty(spec.mWhich);
        }
    }
    mBackgroundFileName = "";
    mBackgroundMediaName = "";
    mOrthoZoom = 1.0;
    mShowInfoOnMoving = true;
    mDisplaySafeAreaOnRender = false;
    mShowAudio = false;
    mAudioColor = KFbxColor(0.0, 1.0, 0.0, 1.0);
    mAntialiasingMethod = eOVERSAMPLING_ANTIALIASING;
    mFrameSamplingType = eSTOCHASTIC;
    mGiven.reset();
}

void KFbxCamera::CopyFrom(const KFbxCamera& other) {
    mUpVector = other.mUpVector;
    mLookAt = other.mLookAt;
    SetPosition(other.GetPosition());
    mBackgroundMediaName = other.mBackgroundMediaName;
    mBackgroundFileName = other.mBackgroundFileName;
    mOrthoZoom = other.mOrthoZoom;
    mShowInfoOnMoving = other.mShowInfoOnMoving;
    mDisplaySafeAreaOnRender = other.mDisplaySafeAreaOnRender;
    mShowAudio = other.mShowAudio;
    mAudioColor = other.mAudioColor;
    mAntialiasingMethod = other.mAntialiasingMethod;
    mFrameSamplingType = other.mFrameSamplingType;
    // Every value, the animated ones included: a copy frames the scene as
    // the original does.
    for (const PropertySpec& spec : kSpecs) {
        if (spec.mWhich == eBackgroundColor) {
            const KFbxColor colour = other.GetDefaultBackgroundColor();
            const double rgb[3] = {colour.mRed, colour.mGreen, colour.mBlue};
            SetDefaultBackgroundColor(rgb);
        } else if ((spec.mFlags & kAnimated) != 0) {
            SetAnimated(spec.mWhich, other.GetAnimated(spec.mWhich));
        } else {
            mProperties[spec.mWhich].CopyValue(other.mProperties[spec.mWhich]);
        }
    }
    // A copy starts its takes where the original's would.
    mGiven = other.mGiven;
    if (other.GetNode() != nullptr) mGiven.set();
}

// ---- takes ------------------------------------------------------------------

void KFbxCamera::FillTakeNodeTemplate(KFbxTakeNode& takeNode) {
    KFbxNodeAttribute::FillTakeNodeTemplate(takeNode);
    KFCurveNode* root = takeNode.GetKFCurveNode();
    if (root == nullptr) {
        return;
    }
    const bool defaultTake = KFbxIsDefaultTake(takeNode);
    // The background colour of the camera itself: the curves about to be
    // made would give zero.
    const fbxDouble3 background = mProperties[eBackgroundColor].GetDouble3();
    double given[std::size(kScalarChannels)];
    for (std::size_t index = 0; index < std::size(kScalarChannels); ++index) {
        given[index] = GetDouble(kScalarChannels[index]);
    }
    // The channels are named as the properties, whose names are interned.
    const InternedCameraTexts& texts = CameraTexts();
    KFCurveNode* channels[std::size(kScalarChannels)] = {};
    KFCurve* curves[std::size(kScalarChannels)] = {};
    for (std::size_t index = 0; index < std::size(kScalarChannels); ++index) {
        channels[index] = root->FindOrCreate(texts.mNames[kScalarChannels[index]], true);
        curves[index] = channels[index] != nullptr ? channels[index]->FCurveGet() : nullptr;
    }
    KFCurveNode* axisChannels[3] = {};
    KFCurve* axisCurves[3] = {};
    if (KFCurveNode* colour = root->FindOrCreate(texts.mNames[eBackgroundColor], false)) {
        for (int axis = 0; axis < 3; ++axis) {
            axisChannels[axis] = colour->FindOrCreate(kAxes[axis], true);
            axisCurves[axis] = axisChannels[axis] != nullptr ? axisChannels[axis]->FCurveGet() : nullptr;
        }
    }
    if (defaultTake) {
        for (std::size_t index = 0; index < std::size(kScalarChannels); ++index) {
            KFbxLinkChannel(GetNode(), mProperties[kScalarChannels[index]], 0, channels[index]);
        }
        for (int axis = 0; axis < 3; ++axis) {
            KFbxLinkChannel(GetNode(), mProperties[eBackgroundColor], axis, axisChannels[axis]);
        }
    }
    // What the caller gave before the camera joined this node wins over the
    // take defaults.
    double defaults[] = {kTemplateFieldOfView, kTemplateFieldOfViewXY, kTemplateFieldOfViewXY, 0.0, 0.0, 0.0, 0.0, 0.0};
    for (std::size_t index = 0; index < std::size(kScalarChannels); ++index) {
        if (mGiven.test(kScalarChannels[index])) defaults[index] = given[index];
    }
    // The focal length follows the field of view unless it was given itself.
    if (!mGiven.test(eFocalLength)) defaults[3] = ComputeFocalLength(defaults[0]);
    for (std::size_t index = 0; index < std::size(kScalarChannels); ++index) {
        KFbxSetChannelDefault(curves[index], defaults[index], kScalarChannelColours[index]);
    }
    for (int axis = 0; axis < 3; ++axis) {
        KFbxSetChannelDefault(axisCurves[axis], background[axis], kAxisColours[axis]);
    }
}

void KFbxCamera::ClearTakeNodeTemplate(KFbxTakeNode& takeNode) {
    KFbxDeleteChannels(takeNode, kChannelNames, static_cast<int>(std::size(kChannelNames)));
    KFbxNodeAttribute::ClearTakeNodeTemplate(takeNode);
}

// ---- position and projection ------------------------------------------------

void KFbxCamera::SetPosition(const KFbxVector4& position) {
    if (KFbxNode* node = GetNode()) {
        node->SetLclTranslation(position);
    }
}

KFbxVector4 KFbxCamera::GetPosition() const {
    KFbxVector4 position(0.0, 0.0, 0.0, 0.0);
    if (const KFbxNode* node = GetNode()) {
        node->GetLclTranslation(position);
    }
    return position;
}

void KFbxCamera::SetProjectionType(ECameraProjectionType type) { SetInt(eCameraProjectionType, type); }

KFbxCamera::ECameraProjectionType KFbxCamera::GetProjectionType() const {
    return static_cast<ECameraProjectionType>(GetInt(eCameraProjectionType));
}

// ---- resolution -------------------------------------------------------------

void KFbxCamera::SetFormat(ECameraFormat format) {
    const int rememberedMode = GetInt(eResolutionMode);
    const ResolutionFormat* row = FindResolutionFormat(format);
    if (row == nullptr) {
        SetInt(eCameraFormat, eCUSTOM_FORMAT);
        return;
    }
    SetAspect(eFIXED_RESOLUTION, row->mWidth, row->mHeight);
    SetPixelRatio(ComputePixelRatio(row->mWidth, row->mHeight, row->mDisplayRatio));
    SetInt(eCameraFormat, format);
    const double width = GetDouble(eAspectW);
    const double height = GetDouble(eAspectH);
    switch (rememberedMode) {
    case eFIXED_RATIO:
        SetDouble(eAspectW, width / height * GetDouble(ePixelAspectRatio));
        SetDouble(eAspectH, 1.0);
        SetInt(eResolutionMode, eFIXED_RATIO);
        break;
    case eFIXED_WIDTH:
        SetDouble(eAspectH, height / width);
        SetInt(eResolutionMode, eFIXED_WIDTH);
        break;
    case eFIXED_HEIGHT:
        SetDouble(eAspectW, width / height);
        SetInt(eResolutionMode, eFIXED_HEIGHT);
        break;
    default:
        break;
    }
}

KFbxCamera::ECameraFormat KFbxCamera::GetFormat() const { return static_cast<ECameraFormat>(GetInt(eCameraFormat)); }

void KFbxCamera::SetAspect(ECameraAspectRatioMode mode, double width, double height) {
    switch (mode) {
    case eWINDOW_SIZE:
        SetDouble(eAspectW, width);
        SetDouble(eAspectH, height);
        break;
    case eFIXED_RATIO:
        SetDouble(eAspectW, AtLeast(width, 0.001));
        SetDouble(eAspectH, 1.0);
        break;
    case eFIXED_RESOLUTION:
        SetDouble(eAspectW, AtLeast(width, 1.0));
        SetDouble(eAspectH, AtLeast(height, 1.0));
        break;
    case eFIXED_WIDTH:
        SetDouble(eAspectW, AtLeast(width, 1.0));
        SetDouble(eAspectH, AtLeast(height, 0.001));
        break;
    case eFIXED_HEIGHT:
        SetDouble(eAspectW, AtLeast(width, 0.001));
        SetDouble(eAspectH, AtLeast(height, 1.0));
        break;
    default:
        break;
    }
    SetFormat(eCUSTOM_FORMAT);
    SetInt(eResolutionMode, mode);
}

KFbxCamera::ECameraAspectRatioMode KFbxCamera::GetAspectRatioMode() const {
    return static_cast<ECameraAspectRatioMode>(GetInt(eResolutionMode));
}

double KFbxCamera::GetAspectWidth() const { return GetDouble(eAspectW); }

double KFbxCamera::GetAspectHeight() const { return GetDouble(eAspectH); }

void KFbxCamera::SetPixelRatio(double ratio) {
    if (ratio == GetDouble(ePixelAspectRatio)) {
        return;
    }
    SetDouble(ePixelAspectRatio, Clamp(ratio, 0.05, 20.0));
    SetFormat(eCUSTOM_FORMAT);
}

double KFbxCamera::GetPixelRatio() const { return GetDouble(ePixelAspectRatio); }

double KFbxCamera::ComputePixelRatio(unsigned int width, unsigned int height, double displayRatio) {
    const double w = width == 0 ? 1.0 : static_cast<double>(width);
    const double h = height == 0 ? 1.0 : static_cast<double>(height);
    return displayRatio / (w / h);
}

// ---- clipping planes --------------------------------------------------------

void KFbxCamera::SetNearPlane(double distance) {
    const double nearPlane = Clamp(distance, kMinPlane, kMaxPlane);
    SetDouble(eNearPlane, nearPlane);
    if (GetDouble(eFarPlane) < nearPlane) {
        SetDouble(eFarPlane, nearPlane);
    }
}

double KFbxCamera::GetNearPlane() const { return GetDouble(eNearPlane); }

void KFbxCamera::SetFarPlane(double distance) {
    const double farPlane = Clamp(distance, kMinPlane, kMaxPlane);
    SetDouble(eFarPlane, farPlane);
    if (farPlane <= GetDouble(eNearPlane)) {
        SetDouble(eNearPlane, farPlane);
    }
}

double KFbxCamera::GetFarPlane() const { return GetDouble(eFarPlane); }

// ---- film back --------------------------------------------------------------

void KFbxCamera::SetApertureFormat(ECameraApertureFormat format) {
    if (format >= e16MM_THEATRICAL && format <= eIMAX) {
        const FilmFormat& row = kFilmFormats[format - 1];
        SetInt(eFilmFormatIndex, format);
        SetDouble(eFilmWidth, row.mWidth);
        SetDouble(eFilmHeight, row.mHeight);
        SetDouble(eFilmSqueezeRatio, row.mSqueeze);
    } else {
        SetInt(eFilmFormatIndex, eCUSTOM_APERTURE_FORMAT);
    }
    SetDouble(eFilmAspectRatio, GetDouble(eFilmWidth) / GetDouble(eFilmHeight));
}

KFbxCamera::ECameraApertureFormat KFbxCamera::GetApertureFormat() const {
    return static_cast<ECameraApertureFormat>(GetInt(eFilmFormatIndex));
}

void KFbxCamera::SetApertureMode(ECameraApertureMode mode) { SetInt(eApertureMode, mode); }

KFbxCamera::ECameraApertureMode KFbxCamera::GetApertureMode() const {
    return static_cast<ECameraApertureMode>(GetInt(eApertureMode));
}

namespace {

// The film value, unless unchanged; at least 0.0001. True when it changed.
bool SetFilmValue(KFbxProperty& property, double value) {
    if (value == property.GetDouble()) {
        return false;
    }
    const double stored = value > 0.0001 ? value : 0.0001;
    property.Set(&stored, eFbxValueDouble);
    return true;
}

}  // namespace

void KFbxCamera::SetApertureWidth(double width) {
    if (SetFilmValue(mProperties[eFilmWidth], width)) {
        SetApertureFormat(eCUSTOM_APERTURE_FORMAT);
    }
}

double KFbxCamera::GetApertureWidth() const { return GetDouble(eFilmWidth); }

void KFbxCamera::SetApertureHeight(double height) {
    if (SetFilmValue(mProperties[eFilmHeight], height)) {
        SetApertureFormat(eCUSTOM_APERTURE_FORMAT);
    }
}

double KFbxCamera::GetApertureHeight() const { return GetDouble(eFilmHeight); }

void KFbxCamera::SetSqueezeRatio(double ratio) {
    if (SetFilmValue(mProperties[eFilmSqueezeRatio], ratio)) {
        SetApertureFormat(eCUSTOM_APERTURE_FORMAT);
    }
}

double KFbxCamera::GetSqueezeRatio() const { return GetDouble(eFilmSqueezeRatio); }

double KFbxCamera::GetFilmAspectRatio() const { return GetDouble(eFilmAspectRatio); }

void KFbxCamera::SetGateFit(ECameraGateFit fit) { SetInt(eGateFit, fit); }

KFbxCamera::ECameraGateFit KFbxCamera::GetGateFit() const { return static_cast<ECameraGateFit>(GetInt(eGateFit)); }

// ---- field of view and focal length -----------------------------------------

double KFbxCamera::ApertureMillimetres() const {
    if (GetApertureMode() == eVERTICAL) {
        return GetDouble(eFilmHeight) * 25.4;
    }
    return GetDouble(eFilmWidth) * 25.4 * GetDouble(eFilmSqueezeRatio);
}

double KFbxCamera::ComputeFieldOfView(double focalLength) const {
    if (focalLength == 0.0) {
        return 0.0;
    }
    return 2.0 * std::atan(ApertureMillimetres() / focalLength * 0.5) * 57.29577951308232;
}

double KFbxCamera::ComputeFocalLength(double fieldOfView) const {
    if (fieldOfView == 0.0) {
        return 0.0;
    }
    return ApertureMillimetres() / std::tan(fieldOfView * 0.017453292519943295 * 0.5) * 0.5;
}

// ---- animated values --------------------------------------------------------

void KFbxCamera::SetDefaultFieldOfView(double degrees) {
    SetAnimated(eFieldOfView, Clamp(degrees, kMinFieldOfView, kMaxFieldOfView));
}

double KFbxCamera::GetDefaultFieldOfView() const { return GetAnimated(eFieldOfView); }

void KFbxCamera::SetDefaultFieldOfViewX(double degrees) {
    SetAnimated(eFieldOfViewX, Clamp(degrees, kMinFieldOfView, kMaxFieldOfView));
}

double KFbxCamera::GetDefaultFieldOfViewX() const { return GetAnimated(eFieldOfViewX); }

void KFbxCamera::SetDefaultFieldOfViewY(double degrees) {
    SetAnimated(eFieldOfViewY, Clamp(degrees, kMinFieldOfView, kMaxFieldOfView));
}

double KFbxCamera::GetDefaultFieldOfViewY() const { return GetAnimated(eFieldOfViewY); }

void KFbxCamera::SetDefaultFocalLength(double millimetres) { SetAnimated(eFocalLength, millimetres); }

double KFbxCamera::GetDefaultFocalLength() const { return GetAnimated(eFocalLength); }

void KFbxCamera::SetDefaultOpticalCenterX(double value) { SetAnimated(eOpticalCenterX, value); }

double KFbxCamera::GetDefaultOpticalCenterX() const { return GetAnimated(eOpticalCenterX); }

void KFbxCamera::SetDefaultOpticalCenterY(double value) { SetAnimated(eOpticalCenterY, value); }

double KFbxCamera::GetDefaultOpticalCenterY() const { return GetAnimated(eOpticalCenterY); }

void KFbxCamera::SetDefaultRoll(double degrees) { SetAnimated(eRoll, degrees); }

double KFbxCamera::GetDefaultRoll() const { return GetAnimated(eRoll); }

void KFbxCamera::SetDefaultTurnTable(double value) { SetAnimated(eTurnTable, value); }

double KFbxCamera::GetDefaultTurnTable() const { return GetAnimated(eTurnTable); }

void KFbxCamera::SetDefaultBackgroundColor(const double rgb[3]) {
    for (int axis = 0; axis < 3; ++axis) {
        if (KFCurve* curve = GetDefaultTakeCurve(ChannelName(eBackgroundColor), kAxes[axis])) {
            curve->SetValue(static_cast<float>(rgb[axis]));
        }
    }
    const fbxDouble3 value(rgb[0], rgb[1], rgb[2]);
    mProperties[eBackgroundColor].Set(&value, eFbxValueDouble3);
}

KFbxColor KFbxCamera::GetDefaultBackgroundColor() const {
    const fbxDouble3 value = mProperties[eBackgroundColor].GetDouble3();
    double rgb[3];
    for (int axis = 0; axis < 3; ++axis) {
        const KFCurve* curve = GetDefaultTakeCurve(ChannelName(eBackgroundColor), kAxes[axis]);
        rgb[axis] = curve != nullptr ? static_cast<double>(curve->GetValue()) : value[axis];
    }
    return KFbxColor(rgb[0], rgb[1], rgb[2], 1.0);
}

// ---- background and foreground media ----------------------------------------

void KFbxCamera::SetBackgroundFileName(const char* name) { mBackgroundFileName = name != nullptr ? name : ""; }

const char* KFbxCamera::GetBackgroundFileName() const {
    return mBackgroundFileName.IsEmpty() ? nullptr : mBackgroundFileName.Buffer();
}

void KFbxCamera::SetBackgroundMediaName(const char* name) { mBackgroundMediaName = name != nullptr ? name : ""; }

const char* KFbxCamera::GetBackgroundMediaName() const {
    return mBackgroundMediaName.IsEmpty() ? nullptr : mBackgroundMediaName.Buffer();
}

void KFbxCamera::SetViewFrustumBackPlaneMode(ECameraBackgroundDisplayMode mode) {
    SetInt(eViewFrustumBackPlaneMode, mode);
}

KFbxCamera::ECameraBackgroundDisplayMode KFbxCamera::GetViewFrustumBackPlaneMode() const {
    return static_cast<ECameraBackgroundDisplayMode>(GetInt(eViewFrustumBackPlaneMode));
}

void KFbxCamera::SetBackgroundMode(ECameraBackgroundDrawingMode mode) { SetInt(eBackgroundMode, mode); }

KFbxCamera::ECameraBackgroundDrawingMode KFbxCamera::GetBackgroundMode() const {
    return static_cast<ECameraBackgroundDrawingMode>(GetInt(eBackgroundMode));
}

void KFbxCamera::SetForegroundTransparent(bool transparent) { SetBool(eForegroundTransparent, transparent); }

bool KFbxCamera::GetForegroundTransparent() const { return GetBool(eForegroundTransparent); }

void KFbxCamera::SetBackgroundAlphaTreshold(double threshold) { SetDouble(eBackgroundAlphaTreshold, threshold); }

double KFbxCamera::GetBackgroundAlphaTreshold() const { return GetDouble(eBackgroundAlphaTreshold); }

void KFbxCamera::SetBackgroundPlacementOptions(int options) {
    SetBool(eFitImage, (options & eFIT) != 0);
    SetBool(eCenter, (options & eCENTER) != 0);
    SetBool(eKeepRatio, (options & eKEEP_RATIO) != 0);
    SetBool(eCrop, (options & eCROP) != 0);
}

int KFbxCamera::GetBackgroundPlacementOptions() const {
    return (GetBool(eFitImage) ? eFIT : 0) | (GetBool(eCenter) ? eCENTER : 0) |
           (GetBool(eKeepRatio) ? eKEEP_RATIO : 0) | (GetBool(eCrop) ? eCROP : 0);
}

void KFbxCamera::SetBackPlaneDistance(double distance) { SetDouble(eBackPlaneDistance, distance); }

double KFbxCamera::GetBackPlaneDistance() const { return GetDouble(eBackPlaneDistance); }

void KFbxCamera::SetBackPlaneDistanceMode(ECameraBackgroundDistanceMode mode) { SetInt(eBackPlaneDistanceMode, mode); }

KFbxCamera::ECameraBackgroundDistanceMode KFbxCamera::GetBackPlaneDistanceMode() const {
    return static_cast<ECameraBackgroundDistanceMode>(GetInt(eBackPlaneDistanceMode));
}

// ---- display ----------------------------------------------------------------

void KFbxCamera::SetViewCameraToLookAt(bool view) { SetBool(eViewCameraToLookAt, view); }
bool KFbxCamera::GetViewCameraToLookAt() const { return GetBool(eViewCameraToLookAt); }
void KFbxCamera::SetViewFrustum(bool view) { SetBool(eViewFrustum, view); }
bool KFbxCamera::GetViewFrustum() const { return GetBool(eViewFrustum); }
void KFbxCamera::SetViewFrustumNearFarPlane(bool view) { SetBool(eViewFrustumNearFarPlane, view); }
bool KFbxCamera::GetViewFrustumNearFarPlane() const { return GetBool(eViewFrustumNearFarPlane); }
void KFbxCamera::SetLockMode(bool lock) { SetBool(eLockMode, lock); }
bool KFbxCamera::GetLockMode() const { return GetBool(eLockMode); }
void KFbxCamera::SetLockInterestNavigation(bool lock) { SetBool(eLockInterestNavigation, lock); }
bool KFbxCamera::GetLockInterestNavigation() const { return GetBool(eLockInterestNavigation); }
void KFbxCamera::SetShowGrid(bool show) { SetBool(eShowGrid, show); }
bool KFbxCamera::GetShowGrid() const { return GetBool(eShowGrid); }
void KFbxCamera::SetShowAzimut(bool show) { SetBool(eShowAzimut, show); }
bool KFbxCamera::GetShowAzimut() const { return GetBool(eShowAzimut); }
void KFbxCamera::SetShowName(bool show) { SetBool(eShowName, show); }
bool KFbxCamera::GetShowName() const { return GetBool(eShowName); }
void KFbxCamera::SetShowTimeCode(bool show) { SetBool(eShowTimeCode, show); }
bool KFbxCamera::GetShowTimeCode() const { return GetBool(eShowTimeCode); }
void KFbxCamera::SetShowOpticalCenter(bool show) { SetBool(eShowOpticalCenter, show); }
bool KFbxCamera::GetShowOpticalCenter() const { return GetBool(eShowOpticalCenter); }
void KFbxCamera::SetDisplayTurnTableIcon(bool show) { SetBool(eDisplayTurnTableIcon, show); }
bool KFbxCamera::GetDisplayTurnTableIcon() const { return GetBool(eDisplayTurnTableIcon); }
void KFbxCamera::SetDisplaySafeArea(bool show) { SetBool(eDisplaySafeArea, show); }
bool KFbxCamera::GetDisplaySafeArea() const { return GetBool(eDisplaySafeArea); }
void KFbxCamera::SetSafeAreaStyle(ECameraSafeAreaStyle style) { SetInt(eSafeAreaDisplayStyle, style); }
KFbxCamera::ECameraSafeAreaStyle KFbxCamera::GetSafeAreaStyle() const {
    return static_cast<ECameraSafeAreaStyle>(GetInt(eSafeAreaDisplayStyle));
}
void KFbxCamera::SetSafeAreaAspectRatio(double ratio) { SetDouble(eSafeAreaAspectRatio, ratio); }
double KFbxCamera::GetSafeAreaAspectRatio() const { return GetDouble(eSafeAreaAspectRatio); }
void KFbxCamera::SetUseFrameColor(bool use) { SetBool(eUseFrameColor, use); }
bool KFbxCamera::GetUseFrameColor() const { return GetBool(eUseFrameColor); }

void KFbxCamera::SetFrameColor(const KFbxColor& color) {
    const fbxDouble4 value(color.mRed, color.mGreen, color.mBlue, color.mAlpha);
    mProperties[eFrameColor].Set(&value, eFbxValueDouble4);
}

KFbxColor KFbxCamera::GetFrameColor() const {
    const fbxDouble4 value = mProperties[eFrameColor].GetDouble4();
    return KFbxColor(value[0], value[1], value[2], value[3]);
}

void KFbxCamera::SetUse2DMagnifierZoom(bool use) { SetBool(eUse2DMagnifierZoom, use); }
bool KFbxCamera::GetUse2DMagnifierZoom() const { return GetBool(eUse2DMagnifierZoom); }
void KFbxCamera::Set2DMagnifierZoom(double zoom) { SetDouble(e2DMagnifierZoom, zoom); }
double KFbxCamera::Get2DMagnifierZoom() const { return GetDouble(e2DMagnifierZoom); }
void KFbxCamera::Set2DMagnifierX(double x) { SetDouble(e2DMagnifierX, x); }
double KFbxCamera::Get2DMagnifierX() const { return GetDouble(e2DMagnifierX); }
void KFbxCamera::Set2DMagnifierY(double y) { SetDouble(e2DMagnifierY, y); }
double KFbxCamera::Get2DMagnifierY() const { return GetDouble(e2DMagnifierY); }

// ---- render options ---------------------------------------------------------

void KFbxCamera::SetRenderOptionsUsageTime(int usage) {
    if (usage == eINTERACTIVE) {
        SetBool(eUseRealTimeDOFAndAA, true);
    } else if (usage == eAT_RENDER) {
        SetBool(eUseRealTimeDOFAndAA, false);
    }
}

int KFbxCamera::GetRenderOptionsUsageTime() const { return GetBool(eUseRealTimeDOFAndAA) ? eINTERACTIVE : eAT_RENDER; }

void KFbxCamera::SetUseAntialiasing(bool use) { SetBool(eUseAntialiasing, use); }
bool KFbxCamera::GetUseAntialiasing() const { return GetBool(eUseAntialiasing); }
void KFbxCamera::SetAntialiasingIntensity(double intensity) { SetDouble(eAntialiasingIntensity, intensity); }
double KFbxCamera::GetAntialiasingIntensity() const { return GetDouble(eAntialiasingIntensity); }
void KFbxCamera::SetFrameSamplingCount(int count) { SetInt(eFrameSamplingCount, count); }
int KFbxCamera::GetFrameSamplingCount() const { return GetInt(eFrameSamplingCount); }
void KFbxCamera::SetUseAccumulationBuffer(bool use) { SetBool(eUseAccumulationBuffer, use); }
bool KFbxCamera::GetUseAccumulationBuffer() const { return GetBool(eUseAccumulationBuffer); }
void KFbxCamera::SetUseDepthOfField(bool use) { SetBool(eUseDepthOfField, use); }
bool KFbxCamera::GetUseDepthOfField() const { return GetBool(eUseDepthOfField); }
void KFbxCamera::SetFocusDistanceSource(ECameraFocusDistanceSource source) { SetInt(eFocusSource, source); }
KFbxCamera::ECameraFocusDistanceSource KFbxCamera::GetFocusDistanceSource() const {
    return static_cast<ECameraFocusDistanceSource>(GetInt(eFocusSource));
}
void KFbxCamera::SetFocusDistance(double distance) { SetDouble(eFocusDistance, distance); }
double KFbxCamera::GetFocusDistance() const { return GetDouble(eFocusDistance); }
void KFbxCamera::SetFocusAngle(double angle) { SetDouble(eFocusAngle, angle); }
double KFbxCamera::GetFocusAngle() const { return GetDouble(eFocusAngle); }
void KFbxCamera::SetUseMotionBlur(bool use) { SetBool(eUseMotionBlur, use); }
bool KFbxCamera::GetUseMotionBlur() const { return GetBool(eUseMotionBlur); }
void KFbxCamera::SetUseRealTimeMotionBlur(bool use) { SetBool(eUseRealTimeMotionBlur, use); }
bool KFbxCamera::GetUseRealTimeMotionBlur() const { return GetBool(eUseRealTimeMotionBlur); }
void KFbxCamera::SetMotionBlurIntensity(double intensity) { SetDouble(eMotionBlurIntensity, intensity); }
double KFbxCamera::GetMotionBlurIntensity() const { return GetDouble(eMotionBlurIntensity); }

// ---- enumeration texts ------------------------------------------------------

const char* KFbxCamera::GetAspectRatioModeName(int mode) {
    return EnumText(kAspectRatioModeNames, static_cast<int>(std::size(kAspectRatioModeNames)), mode);
}
const char* KFbxCamera::GetApertureModeName(int mode) {
    return EnumText(kApertureModeNames, static_cast<int>(std::size(kApertureModeNames)), mode);
}
const char* KFbxCamera::GetGateFitName(int fit) {
    return EnumText(kGateFitNames, static_cast<int>(std::size(kGateFitNames)), fit);
}
const char* KFbxCamera::GetFormatName(int format) {
    return format == kFormatWithoutName ? nullptr
                                        : EnumText(kFormatNames, static_cast<int>(std::size(kFormatNames)), format);
}
const char* KFbxCamera::GetApertureFormatName(int format) {
    return EnumText(kApertureFormatNames, static_cast<int>(std::size(kApertureFormatNames)), format);
}
const char* KFbxCamera::GetBackgroundDisplayModeName(int mode) {
    return EnumText(kBackgroundDisplayModeNames, static_cast<int>(std::size(kBackgroundDisplayModeNames)), mode);
}
const char* KFbxCamera::GetBackgroundDistanceModeName(int mode) {
    return EnumText(kBackgroundDistanceModeNames, static_cast<int>(std::size(kBackgroundDistanceModeNames)), mode);
}
const char* KFbxCamera::GetBackgroundDrawingModeName(int mode) {
    return EnumText(kBackgroundDrawingModeNames, static_cast<int>(std::size(kBackgroundDrawingModeNames)), mode);
}
const char* KFbxCamera::GetSafeAreaStyleName(int style) {
    return EnumText(kSafeAreaStyleNames, static_cast<int>(std::size(kSafeAreaStyleNames)), style);
}
const char* KFbxCamera::GetProjectionTypeName(int type) {
    return EnumText(kProjectionTypeNames, static_cast<int>(std::size(kProjectionTypeNames)), type);
}
const char* KFbxCamera::GetFocusDistanceSourceName(int source) {
    return EnumText(kFocusDistanceSourceNames, static_cast<int>(std::size(kFocusDistanceSourceNames)), source);
}

}  // namespace fbxsdk_2006_11_1
