// The values a copy of a camera or light takes over from its source, read
// from it at once and set on the copy in a fixed order.
#ifndef FBXFILESDK_COLLADA_COLLADAATTRIBUTECOPY_H
#define FBXFILESDK_COLLADA_COLLADAATTRIBUTECOPY_H

#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxLight.h>

namespace fbxsdk_2006_11_1 {

// What a copy of a camera takes over, all read before any is set, so that a
// camera can be made into its own copy.
class ColladaCameraCopy {
public:
    explicit ColladaCameraCopy(const KFbxCamera& source)
        : mProjection(source.GetProjectionType()),
          mOrthoZoom(source.GetOrthoZoom()),
          mLookAt(source.GetLookAt()),
          mFocusDistance(source.GetFocusDistance()),
          mApertureHeight(source.GetApertureHeight()),
          mApertureWidth(source.GetApertureWidth()),
          mSqueezeRatio(source.GetSqueezeRatio()),
          mAspectMode(source.GetAspectRatioMode()),
          mAspectWidth(source.GetAspectWidth()),
          mAspectHeight(source.GetAspectHeight()),
          mNearPlane(source.GetNearPlane()),
          mFarPlane(source.GetFarPlane()),
          mApertureMode(source.GetApertureMode()),
          mApertureFormat(source.GetApertureFormat()),
          mFieldOfViewX(source.GetDefaultFieldOfViewX()),
          mFieldOfViewY(source.GetDefaultFieldOfViewY()),
          mFieldOfView(source.GetDefaultFieldOfView()),
          mFormat(source.GetFormat()) {}

    void SetOn(KFbxCamera& destination) const {
        destination.SetProjectionType(mProjection);
        destination.SetOrthoZoom(mOrthoZoom);
        destination.SetLookAt(mLookAt);
        destination.SetFocusDistance(mFocusDistance);
        destination.SetApertureHeight(mApertureHeight);
        destination.SetApertureWidth(mApertureWidth);
        destination.SetSqueezeRatio(mSqueezeRatio);
        destination.SetAspect(mAspectMode, mAspectWidth, mAspectHeight);
        destination.SetNearPlane(mNearPlane);
        destination.SetFarPlane(mFarPlane);
        destination.SetApertureMode(mApertureMode);
        destination.SetApertureFormat(mApertureFormat);
        destination.SetDefaultFieldOfViewX(mFieldOfViewX);
        destination.SetDefaultFieldOfViewY(mFieldOfViewY);
        destination.SetDefaultFieldOfView(mFieldOfView);
        destination.SetFormat(mFormat);
    }

private:
    KFbxCamera::ECameraProjectionType mProjection;
    double mOrthoZoom;
    KFbxVector4 mLookAt;
    double mFocusDistance;
    double mApertureHeight;
    double mApertureWidth;
    double mSqueezeRatio;
    KFbxCamera::ECameraAspectRatioMode mAspectMode;
    double mAspectWidth;
    double mAspectHeight;
    double mNearPlane;
    double mFarPlane;
    KFbxCamera::ECameraApertureMode mApertureMode;
    KFbxCamera::ECameraApertureFormat mApertureFormat;
    double mFieldOfViewX;
    double mFieldOfViewY;
    double mFieldOfView;
    KFbxCamera::ECameraFormat mFormat;
};

// What a copy of a light takes over.
class ColladaLightCopy {
public:
    explicit ColladaLightCopy(const KFbxLight& source)
        : mType(source.GetLightType()),
          mIntensity(source.GetDefaultIntensity()),
          mConeAngle(source.GetDefaultConeAngle()),
          mFog(source.GetDefaultFog()) {
        source.GetDefaultColor(mColor);
    }

    void SetOn(KFbxLight& destination) const {
        destination.SetLightType(mType);
        destination.SetDefaultColor(mColor);
        destination.SetDefaultIntensity(mIntensity);
        destination.SetDefaultConeAngle(mConeAngle);
        destination.SetDefaultFog(mFog);
    }

private:
    int mType;
    double mColor[3] = {};
    double mIntensity;
    double mConeAngle;
    double mFog;
};

}  // namespace fbxsdk_2006_11_1

#endif
