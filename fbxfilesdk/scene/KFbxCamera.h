// The attribute of a camera node: projection, field of view and focal length,
// film back, resolution format, clipping planes, background and foreground
// media, display and render options. The camera stands where its node's local
// translation puts it. Field of view, focal length, optical centre, roll,
// turn table and background colour are animated through channels of the
// owning node's takes; their "Default" values live in the default take while
// the camera is attached.
//
// The film back (aperture width and height in inches, squeeze ratio, film
// aspect ratio, film format) and the resolution (mode, width, height, pixel
// ratio, camera format) are coupled groups: choosing a named format fills its
// group from a fixed table, and changing one value of a group makes its
// format "Custom".
#ifndef FBXFILESDK_SCENE_KFBXCAMERA_H
#define FBXFILESDK_SCENE_KFBXCAMERA_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>

#include <bitset>

namespace fbxsdk_2006_11_1 {

class KFbxCamera : public KFbxNodeAttribute {
public:
    enum ECameraAspectRatioMode : int {
        eWINDOW_SIZE = 0,
        eFIXED_RATIO = 1,
        eFIXED_RESOLUTION = 2,
        eFIXED_WIDTH = 3,
        eFIXED_HEIGHT = 4
    };
    enum ECameraApertureMode : int { eHORIZONTAL_AND_VERTICAL = 0, eHORIZONTAL = 1, eVERTICAL = 2 };
    enum ECameraGateFit : int {
        eNO_FIT = 0,
        eVERTICAL_FIT = 1,
        eHORIZONTAL_FIT = 2,
        eFILL_FIT = 3,
        eOVERSCAN_FIT = 4,
        eSTRETCH_FIT = 5
    };
    enum ECameraFormat : int {
        eCUSTOM_FORMAT = 0,
        eD1_NTSC = 1,
        eNTSC = 2,
        ePAL = 3,
        eD1_PAL = 4,
        eHD = 5,
        e640x480 = 6,
        e320x200 = 7,
        e320x240 = 8,
        eFULL_SCREEN = 10
    };
    enum ECameraApertureFormat : int {
        eCUSTOM_APERTURE_FORMAT = 0,
        e16MM_THEATRICAL = 1,
        eSUPER_16MM = 2,
        e35MM_ACADEMY = 3,
        e35MM_TV_PROJECTION = 4,
        e35MM_FULL_APERTURE = 5,
        e35MM_185_PROJECTION = 6,
        e35MM_ANAMORPHIC = 7,
        e70MM_PROJECTION = 8,
        eVISTAVISION = 9,
        eDYNAVISION = 10,
        eIMAX = 11
    };
    enum ECameraBackgroundDisplayMode : int { eDISABLED = 0, eALWAYS = 1, eWHEN_MEDIA = 2 };
    enum ECameraBackgroundDistanceMode : int { eRELATIVE_TO_INTEREST = 0, eRELATIVE_TO_CAMERA = 1 };
    enum ECameraBackgroundDrawingMode : int { eBACKGROUND = 0, eFOREGROUND = 1, eBACKGROUND_AND_FOREGROUND = 2 };
    enum ECameraSafeAreaStyle : int { eROUND = 0, eSQUARE = 1 };
    enum ECameraProjectionType : int { ePERSPECTIVE = 0, eORTHOGONAL = 1 };
    enum ECameraFocusDistanceSource : int { eCAMERA_INTEREST = 0, eSPECIFIC_DISTANCE = 1 };
    enum ECameraAntialiasingMethod : int { eOVERSAMPLING_ANTIALIASING = 0, eHARDWARE_ANTIALIASING = 1 };
    enum ECameraSamplingType : int { eUNIFORM = 0, eSTOCHASTIC = 1 };
    // Bits of the background placement options.
    enum EBackgroundPlacement : int { eFIT = 1, eCENTER = 2, eKEEP_RATIO = 4, eCROP = 8 };
    // What the render options apply to.
    enum ECameraRenderOptionsUsageTime : int { eINTERACTIVE = 0, eAT_RENDER = 1 };

    // The class id of KFbxCamera; null until the class is registered.
    static KFbxClassId ClassId;

    // A camera carrying the reset values (focal length 0 until the film back
    // is known to it: see Reset).
    KFbxCamera(KFbxSdkManager* manager, const char* name);
    ~KFbxCamera() override;

    static KFbxCamera* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    // A KFbxCamera_internal.
    KFbxObject_internal* NewInternalObject() override;
    EAttributeType GetAttributeType() const override { return eCAMERA; }
    const char* GetTypeName() const override { return "Camera"; }
    void GetTypeFlags(KStringList& flags) const override;
    // Mode 2: a new camera with an empty name and this one's values.
    KFbxNodeAttribute* Clone(int mode) const override;
    // "FieldOfView", "FieldOfViewX", "FieldOfViewY", "FocalLength",
    // "OpticalCenterX", "OpticalCenterY", "Roll", "TurnTable" and
    // "BackgroundColor" (X, Y, Z), linked to the properties in the default take.
    void FillTakeNodeTemplate(KFbxTakeNode& takeNode) override;
    void ClearTakeNodeTemplate(KFbxTakeNode& takeNode) override;
    bool FillsChannelsAhead() const override { return true; }

    // The defaults, in an order where later steps read earlier values.
    void Reset();
    // Everything that describes the camera; the channels of the takes stay.
    void CopyFrom(const KFbxCamera& other);

    // ---- position, orientation, projection ----
    // The owning node's local translation; ignored (zero) without a node.
    void SetPosition(const KFbxVector4& position);
    KFbxVector4 GetPosition() const;
    void SetUpVector(const KFbxVector4& up) { mUpVector = up; }
    KFbxVector4 GetUpVector() const { return mUpVector; }
    void SetLookAt(const KFbxVector4& lookAt) { mLookAt = lookAt; }
    KFbxVector4 GetLookAt() const { return mLookAt; }
    void SetProjectionType(ECameraProjectionType type);
    ECameraProjectionType GetProjectionType() const;
    void SetOrthoZoom(const double& zoom) { mOrthoZoom = zoom; }
    double GetOrthoZoom() const { return mOrthoZoom; }

    // ---- resolution ----
    // A named format sets a fixed resolution, its pixel ratio and the format,
    // then the previous resolution mode comes back with its values converted;
    // any other value only makes the format "Custom".
    void SetFormat(ECameraFormat format);
    ECameraFormat GetFormat() const;
    // The mode's limits apply to width and height (modes above 4 keep both);
    // the format becomes "Custom" and the mode is stored as given.
    void SetAspect(ECameraAspectRatioMode mode, double width, double height);
    ECameraAspectRatioMode GetAspectRatioMode() const;
    double GetAspectWidth() const;
    double GetAspectHeight() const;
    // Clamped to [0.05, 20]; the format becomes "Custom" unless the value is unchanged.
    void SetPixelRatio(double ratio);
    double GetPixelRatio() const;
    // displayRatio / (width / height), a zero width or height counting as 1.
    static double ComputePixelRatio(unsigned int width, unsigned int height, double displayRatio = 1.3333333333);

    // ---- clipping planes ----
    // Both clamped to [0.001, 600000]; the other plane follows so that near <= far.
    void SetNearPlane(double distance);
    double GetNearPlane() const;
    void SetFarPlane(double distance);
    double GetFarPlane() const;

    // ---- film back ----
    // A named format fills width, height and squeeze; any other value makes
    // the format "Custom" and keeps them. The film aspect ratio follows.
    void SetApertureFormat(ECameraApertureFormat format);
    ECameraApertureFormat GetApertureFormat() const;
    void SetApertureMode(ECameraApertureMode mode);
    ECameraApertureMode GetApertureMode() const;
    // Inches, at least 0.0001; a changed value makes the format "Custom".
    void SetApertureWidth(double width);
    double GetApertureWidth() const;
    void SetApertureHeight(double height);
    double GetApertureHeight() const;
    void SetSqueezeRatio(double ratio);
    double GetSqueezeRatio() const;
    double GetFilmAspectRatio() const;
    void SetGateFit(ECameraGateFit fit);
    ECameraGateFit GetGateFit() const;

    // ---- field of view and focal length (through the film back) ----
    // Degrees from millimetres; 0 for a focal length of exactly 0.
    double ComputeFieldOfView(double focalLength) const;
    // Millimetres from degrees; 0 for a field of view of exactly 0.
    double ComputeFocalLength(double fieldOfView) const;

    // ---- animated values ("Default" values) ----
    // Clamped to [1, 179].
    void SetDefaultFieldOfView(double degrees);
    double GetDefaultFieldOfView() const;
    void SetDefaultFieldOfViewX(double degrees);
    double GetDefaultFieldOfViewX() const;
    void SetDefaultFieldOfViewY(double degrees);
    double GetDefaultFieldOfViewY() const;
    void SetDefaultFocalLength(double millimetres);
    double GetDefaultFocalLength() const;
    void SetDefaultOpticalCenterX(double value);
    double GetDefaultOpticalCenterX() const;
    void SetDefaultOpticalCenterY(double value);
    double GetDefaultOpticalCenterY() const;
    // Roll and turn table are read from the property alone.
    void SetDefaultRoll(double degrees);
    double GetDefaultRoll() const;
    void SetRoll(double degrees) { SetDefaultRoll(degrees); }
    void SetDefaultTurnTable(double value);
    double GetDefaultTurnTable() const;
    void SetTurnTable(double value) { SetDefaultTurnTable(value); }
    // Red, green, blue; alpha reads 1.
    void SetDefaultBackgroundColor(const double rgb[3]);
    KFbxColor GetDefaultBackgroundColor() const;

    // ---- background and foreground media ----
    // Null names count as "".
    void SetBackgroundFileName(const char* name);
    // Null when empty.
    const char* GetBackgroundFileName() const;
    void SetBackgroundMediaName(const char* name);
    const char* GetBackgroundMediaName() const;
    void SetViewFrustumBackPlaneMode(ECameraBackgroundDisplayMode mode);
    ECameraBackgroundDisplayMode GetViewFrustumBackPlaneMode() const;
    void SetBackgroundMode(ECameraBackgroundDrawingMode mode);
    ECameraBackgroundDrawingMode GetBackgroundMode() const;
    void SetForegroundTransparent(bool transparent);
    bool GetForegroundTransparent() const;
    void SetBackgroundAlphaTreshold(double threshold);
    double GetBackgroundAlphaTreshold() const;
    // Bits of EBackgroundPlacement: "FitImage", "Center", "KeepRatio", "Crop".
    void SetBackgroundPlacementOptions(int options);
    int GetBackgroundPlacementOptions() const;
    void SetBackPlaneDistance(double distance);
    double GetBackPlaneDistance() const;
    void SetBackPlaneDistanceMode(ECameraBackgroundDistanceMode mode);
    ECameraBackgroundDistanceMode GetBackPlaneDistanceMode() const;

    // ---- display ----
    void SetViewCameraToLookAt(bool view);
    bool GetViewCameraToLookAt() const;
    void SetViewFrustum(bool view);
    bool GetViewFrustum() const;
    void SetViewFrustumNearFarPlane(bool view);
    bool GetViewFrustumNearFarPlane() const;
    void SetLockMode(bool lock);
    bool GetLockMode() const;
    void SetLockInterestNavigation(bool lock);
    bool GetLockInterestNavigation() const;
    void SetShowGrid(bool show);
    bool GetShowGrid() const;
    void SetShowAzimut(bool show);
    bool GetShowAzimut() const;
    void SetShowName(bool show);
    bool GetShowName() const;
    void SetShowTimeCode(bool show);
    bool GetShowTimeCode() const;
    void SetShowOpticalCenter(bool show);
    bool GetShowOpticalCenter() const;
    void SetDisplayTurnTableIcon(bool show);
    bool GetDisplayTurnTableIcon() const;
    void SetDisplaySafeArea(bool show);
    bool GetDisplaySafeArea() const;
    void SetSafeAreaStyle(ECameraSafeAreaStyle style);
    ECameraSafeAreaStyle GetSafeAreaStyle() const;
    void SetSafeAreaAspectRatio(double ratio);
    double GetSafeAreaAspectRatio() const;
    void SetUseFrameColor(bool use);
    bool GetUseFrameColor() const;
    void SetFrameColor(const KFbxColor& color);
    KFbxColor GetFrameColor() const;
    void SetShowInfoOnMoving(bool show) { mShowInfoOnMoving = show; }
    bool GetShowInfoOnMoving() const { return mShowInfoOnMoving; }
    void SetDisplaySafeAreaOnRender(bool show) { mDisplaySafeAreaOnRender = show; }
    bool GetDisplaySafeAreaOnRender() const { return mDisplaySafeAreaOnRender; }
    void SetShowAudio(bool show) { mShowAudio = show; }
    bool GetShowAudio() const { return mShowAudio; }
    void SetAudioColor(const KFbxColor& color) { mAudioColor = color; }
    KFbxColor GetAudioColor() const { return mAudioColor; }
    void SetUse2DMagnifierZoom(bool use);
    bool GetUse2DMagnifierZoom() const;
    void Set2DMagnifierZoom(double zoom);
    double Get2DMagnifierZoom() const;
    void Set2DMagnifierX(double x);
    double Get2DMagnifierX() const;
    void Set2DMagnifierY(double y);
    double Get2DMagnifierY() const;

    // ---- render options ----
    // 0 makes the options apply interactively, 1 at render; other values are ignored.
    void SetRenderOptionsUsageTime(int usage);
    int GetRenderOptionsUsageTime() const;
    void SetUseAntialiasing(bool use);
    bool GetUseAntialiasing() const;
    void SetAntialiasingIntensity(double intensity);
    double GetAntialiasingIntensity() const;
    void SetAntialiasingMethod(int method) { mAntialiasingMethod = method; }
    int GetAntialiasingMethod() const { return mAntialiasingMethod; }
    void SetFrameSamplingCount(int count);
    int GetFrameSamplingCount() const;
    void SetFrameSamplingType(int type) { mFrameSamplingType = type; }
    int GetFrameSamplingType() const { return mFrameSamplingType; }
    void SetUseAccumulationBuffer(bool use);
    bool GetUseAccumulationBuffer() const;
    void SetUseDepthOfField(bool use);
    bool GetUseDepthOfField() const;
    void SetFocusDistanceSource(ECameraFocusDistanceSource source);
    ECameraFocusDistanceSource GetFocusDistanceSource() const;
    void SetFocusDistance(double distance);
    double GetFocusDistance() const;
    void SetFocusAngle(double angle);
    double GetFocusAngle() const;
    void SetUseMotionBlur(bool use);
    bool GetUseMotionBlur() const;
    void SetUseRealTimeMotionBlur(bool use);
    bool GetUseRealTimeMotionBlur() const;
    void SetMotionBlurIntensity(double intensity);
    double GetMotionBlurIntensity() const;

    // ---- enumeration texts (null for a value without one) ----
    static const char* GetAspectRatioModeName(int mode);
    static const char* GetApertureModeName(int mode);
    static const char* GetGateFitName(int fit);
    static const char* GetFormatName(int format);
    static const char* GetApertureFormatName(int format);
    static const char* GetBackgroundDisplayModeName(int mode);
    static const char* GetBackgroundDistanceModeName(int mode);
    static const char* GetBackgroundDrawingModeName(int mode);
    static const char* GetSafeAreaStyleName(int style);
    static const char* GetProjectionTypeName(int type);
    static const char* GetFocusDistanceSourceName(int source);

    // The camera's properties, in registration order; the animatable ones are
    // interleaved with the others as files list them.
    enum EProperty : int {
        eRoll,
        eFieldOfView,
        eFieldOfViewX,
        eFieldOfViewY,
        eOpticalCenterX,
        eOpticalCenterY,
        eBackgroundColor,
        eTurnTable,
        eDisplayTurnTableIcon,
        eMotionBlurIntensity,
        eUseMotionBlur,
        eUseRealTimeMotionBlur,
        eResolutionMode,
        eApertureMode,
        eGateFit,
        eFocalLength,
        eCameraFormat,
        eAspectW,
        eAspectH,
        ePixelAspectRatio,
        eUseFrameColor,
        eFrameColor,
        eShowName,
        eShowGrid,
        eShowOpticalCenter,
        eShowAzimut,
        eShowTimeCode,
        eNearPlane,
        eFarPlane,
        eFilmWidth,
        eFilmHeight,
        eFilmAspectRatio,
        eFilmSqueezeRatio,
        eFilmFormatIndex,
        eViewFrustum,
        eViewFrustumNearFarPlane,
        eViewFrustumBackPlaneMode,
        eBackPlaneDistance,
        eBackPlaneDistanceMode,
        eViewCameraToLookAt,
        eLockMode,
        eLockInterestNavigation,
        eFitImage,
        eCrop,
        eCenter,
        eKeepRatio,
        eBackgroundMode,
        eBackgroundAlphaTreshold,
        eForegroundTransparent,
        eDisplaySafeArea,
        eSafeAreaDisplayStyle,
        eSafeAreaAspectRatio,
        eUse2DMagnifierZoom,
        e2DMagnifierZoom,
        e2DMagnifierX,
        e2DMagnifierY,
        eCameraProjectionType,
        eUseRealTimeDOFAndAA,
        eUseDepthOfField,
        eFocusSource,
        eFocusAngle,
        eFocusDistance,
        eUseAntialiasing,
        eAntialiasingIntensity,
        eUseAccumulationBuffer,
        eFrameSamplingCount,
        ePropertyCount
    };
    KFbxProperty& GetCameraProperty(EProperty which) { return mProperties[which]; }
    const KFbxProperty& GetCameraProperty(EProperty which) const { return mProperties[which]; }

private:
    void InitProperties();
    // The stored value of a property, without checks.
    bool GetBool(EProperty which) const;
    void SetBool(EProperty which, bool value);
    int GetInt(EProperty which) const;
    void SetInt(EProperty which, int value);
    double GetDouble(EProperty which) const;
    void SetDouble(EProperty which, double value);
    // A property back to its default value.
    void ResetProperty(EProperty which);
    // The curve default with a node and channel, else the property.
    double GetAnimated(EProperty which) const;
    // The curve default (as float) when there is one, then the property.
    void SetAnimated(EProperty which, double value);
    // The film back length the conversions use, in millimetres.
    double ApertureMillimetres() const;

    KFbxVector4 mUpVector;
    KFbxVector4 mLookAt;
    KString mBackgroundMediaName;
    KString mBackgroundFileName;
    double mOrthoZoom = 1.0;
    bool mShowInfoOnMoving = true;
    bool mDisplaySafeAreaOnRender = false;
    bool mShowAudio = false;
    KFbxColor mAudioColor;
    int mAntialiasingMethod = eOVERSAMPLING_ANTIALIASING;
    int mFrameSamplingType = eSTOCHASTIC;
    KFbxProperty mProperties[ePropertyCount];
    // The animated values a caller gave since the last reset, one per
    // property: a node's new takes start from these instead of the take
    // defaults, so values set before the camera joins its node stay.
    std::bitset<ePropertyCount> mGiven;
};

}  // namespace fbxsdk_2006_11_1

#endif
