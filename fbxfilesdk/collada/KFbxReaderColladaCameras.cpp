// Cameras and lights into camera and light attributes, filed under their
// element's id for the nodes that instance them. Ambient lights make no
// object: their colour joins the scene's ambient colour. Every parameter
// element with a "sid" becomes a target that animation channels can drive.
#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/ColladaXmlParse.h>
#include <fbxfilesdk/collada/KFbxReaderColladaPass.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxLight.h>

#include <cmath>
#include <cstring>

namespace fbxsdk_2006_11_1 {

using namespace ColladaXml;

namespace {

// Centimetres per inch, as the single-precision number documents were made with.
constexpr double kCentimetresPerInch = static_cast<double>(2.54f);

// A film size in centimetres as inches, cut (not rounded) to five decimals.
double FilmInches(double centimetres) { return std::floor(centimetres / kCentimetresPerInch * 100000.0) / 100000.0; }

double FloatOf(const xmlNode* element) {
    const ElementText text(element);
    const char* cursor = text.Get();
    return ParseFloat(cursor);
}

bool IsNamedAny(const char* name, std::initializer_list<const char*> names) {
    for (const char* candidate : names) {
        if (std::strcmp(name, candidate) == 0) {
            return true;
        }
    }
    return false;
}

}  // namespace

void KFbxReaderColladaPass::AddParameterTarget(const KString& elementId, xmlNode* parameter) {
    const KString sid = GetAttribute(parameter, "sid");
    if (sid.GetLen() > 0) {
        mSidTargets.Add(elementId + "/" + sid, ColladaTargetRecord{KString(GetName(parameter)), 0});
    }
}

bool KFbxReaderColladaPass::ImportCamera(xmlNode* cameraElement) {
    const KString id = GetAttribute(cameraElement, "id");
    xmlNode* optics = FindChild(cameraElement, "optics");
    if (optics == nullptr) {
        return Error(KString("Camera node ") + id + " has no <optics> node.");
    }
    xmlNode* common = FindTechniqueCommon(optics);
    if (common == nullptr) {
        return Error(KString("no <technique> node found for camera node ") + id);
    }
    KFbxCamera* camera = KFbxCamera::Create(&mManager, "");
    if (camera == nullptr) {
        return Error(KString("could not create camera ") + id);
    }
    for (xmlNode* projection : ChildElements(common)) {
        ImportProjection(projection, *camera, id);
    }
    if (xmlNode* maya = FindTechniqueByProfile(optics, "MAYA")) {
        ImportMayaOptics(maya, *camera, id);
    }
    FileObject(id, camera, "camera");
    return true;
}

void KFbxReaderColladaPass::ImportProjection(xmlNode* projection, KFbxCamera& camera, const KString& id) {
    const char* kind = GetName(projection);
    if (std::strcmp(kind, "orthographic") == 0) {
        camera.SetProjectionType(KFbxCamera::eORTHOGONAL);
    } else {
        if (std::strcmp(kind, "perspective") != 0) {
            Warning(KString("unknown camera type: ") + kind + "." + " Camera type will be set to Perspective.");
        }
        camera.SetProjectionType(KFbxCamera::ePERSPECTIVE);
    }
    double xfov = -1.0;
    double yfov = -1.0;
    double width = 0.0;
    double height = 0.0;
    for (xmlNode* parameter : ChildElements(projection)) {
        const char* name = GetName(parameter);
        const double value = FloatOf(parameter);
        if (std::strcmp(name, "xfov") == 0) {
            xfov = value;
        } else if (std::strcmp(name, "yfov") == 0) {
            yfov = value;
        } else if (std::strcmp(name, "znear") == 0) {
            camera.SetNearPlane(value);
        } else if (std::strcmp(name, "zfar") == 0) {
            camera.SetFarPlane(value);
        } else if (IsNamedAny(name, {"xmag", "ymag"})) {
            camera.SetOrthoZoom(value);
        } else if (std::strcmp(name, "aspect_ratio") == 0) {
            if (value > 0.0 && std::isfinite(value)) {
                camera.SetAspect(KFbxCamera::eWINDOW_SIZE, camera.GetAspectWidth(), camera.GetAspectWidth() / value);
            } else {
                Warning(KString("aspect_ratio of camera ") + id + " is not a positive number; it is not read");
            }
        } else if (std::strcmp(name, "BOTTOM") == 0) {
            height += value;
        } else if (std::strcmp(name, "TOP") == 0) {
            height -= value;
        } else if (std::strcmp(name, "LEFT") == 0) {
            width -= value;
        } else if (std::strcmp(name, "RIGHT") == 0) {
            width += value;
        } else {
            WarningOnce(name, KString("Unrecognized camera parameter: ") + name);
        }
        AddParameterTarget(id, parameter);
    }
    if (width != 0.0 && height != 0.0) {
        camera.SetAspect(KFbxCamera::eWINDOW_SIZE, width, height);
    }
    // Both angles given: each keeps its own, and the view angle is the vertical one.
    if (xfov >= 0.0 && yfov >= 0.0) {
        camera.SetApertureMode(KFbxCamera::eHORIZONTAL_AND_VERTICAL);
        camera.SetDefaultFieldOfViewX(xfov);
        camera.SetDefaultFieldOfViewY(yfov);
        camera.SetDefaultFieldOfView(yfov);
    } else if (xfov >= 0.0) {
        camera.SetDefaultFieldOfView(xfov);
        camera.SetApertureMode(KFbxCamera::eHORIZONTAL);
    } else if (yfov >= 0.0) {
        camera.SetDefaultFieldOfView(yfov);
        camera.SetApertureMode(KFbxCamera::eVERTICAL);
    }
}

void KFbxReaderColladaPass::ImportMayaOptics(xmlNode* maya, KFbxCamera& camera, const KString& id) {
    camera.SetLookAt(KFbxVector4(0.0, 0.0, -1.0, 1.0));
    camera.SetFocusDistance(5.0);
    // Setting the film size may change the view angle, which the document gave.
    const double fieldOfView = camera.GetDefaultFieldOfView();
    for (xmlNode* parameter : ChildElements(maya)) {
        const char* name = GetName(parameter);
        const double value = FloatOf(parameter);
        if (std::strcmp(name, "vertical_aperture") == 0) {
            camera.SetApertureHeight(FilmInches(value));
        } else if (std::strcmp(name, "horizontal_aperture") == 0) {
            camera.SetApertureWidth(FilmInches(value));
        } else if (std::strcmp(name, "lens_squeeze") == 0) {
            camera.SetSqueezeRatio(value);
        } else {
            WarningOnce(name, KString("Unrecognized MAYA camera parameter: ") + name);
        }
        AddParameterTarget(id, parameter);
    }
    camera.SetDefaultFieldOfView(fieldOfView);
}

bool KFbxReaderColladaPass::ImportLight(xmlNode* lightElement) {
    const KString id = GetAttribute(lightElement, "id");
    KFbxLight* light = nullptr;
    xmlNode* common = FindTechniqueCommon(lightElement);
    if (common == nullptr) {
        // Instances of it find no object and carry no light.
        Warning(KString("no <technique_common> found for light ") + id + "; it gives no light");
    }
    for (xmlNode* type : ChildElements(common)) {
        const char* name = GetName(type);
        if (std::strcmp(name, "ambient") == 0) {
            light = nullptr;
        } else if (IsNamedAny(name, {"directional", "point", "spot"})) {
            light = KFbxLight::Create(&mManager, "");
            if (light == nullptr) {
                return Error(KString("could not create light ") + id);
            }
            light->SetLightType(std::strcmp(name, "directional") == 0 ? KFbxLight::eDIRECTIONAL
                                : std::strcmp(name, "point") == 0     ? KFbxLight::ePOINT
                                                                      : KFbxLight::eSPOT);
        } else {
            // A type of a later schema (an area light, say) is no ambient
            // light: its colour must not light the whole scene.
            Warning(KString("Unknown light type: ") + name + "; light " + id + " gives no light");
            continue;
        }
        for (xmlNode* parameter : ChildElements(type)) {
            ImportLightParameter(parameter, light, id);
            AddParameterTarget(id, parameter);
        }
    }
    for (xmlNode* parameter : ChildElements(FindTechniqueByProfile(lightElement, "MAYA"))) {
        const char* name = GetName(parameter);
        if (std::strcmp(name, "intensity") == 0) {
            if (light != nullptr) {
                light->SetDefaultIntensity(FloatOf(parameter) * 100.0);
            }
        } else {
            WarningOnce(name, KString("light parameter not supported by FBX: <") + name + ">");
        }
        AddParameterTarget(id, parameter);
    }
    FileObject(id, light, "light");
    return true;
}

void KFbxReaderColladaPass::ImportLightParameter(xmlNode* parameter, KFbxLight* light, const KString& id) {
    const char* name = GetName(parameter);
    if (std::strcmp(name, "color") == 0) {
        const KFbxColor color = ParseColor(ElementText(parameter).Get());
        if (light != nullptr) {
            const double rgb[3] = {color.mRed, color.mGreen, color.mBlue};
            light->SetDefaultColor(rgb);
        } else {
            // Ambient lights add up into the scene's ambient colour.
            const KFbxColor& ambient = mSettings.mAmbientColor;
            mSettings.mAmbientColor = KFbxColor(ambient.mRed + color.mRed, ambient.mGreen + color.mGreen,
                                                ambient.mBlue + color.mBlue, color.mAlpha);
        }
    } else if (std::strcmp(name, "falloff_angle") == 0) {
        if (light != nullptr) {
            light->SetDefaultConeAngle(FloatOf(parameter));
        }
    } else if (IsNamedAny(name, {"constant_attenuation", "linear_attenuation", "quadratic_attenuation",
                                 "falloff_exponent"})) {
        WarningOnce(name, KString("light parameter not supported by FBX: <") + name + ">");
    } else {
        Warning(KString("Unknown light parameter <") + name + "> on light \"" + id + "\"");
    }
}

}  // namespace fbxsdk_2006_11_1
