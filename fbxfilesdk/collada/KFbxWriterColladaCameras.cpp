// Cameras and lights into library_cameras and library_lights, and the
// scene's ambient colour as one extra ambient light. The parameters that the
// animation writer drives carry a "sid" (see KFbxWriterColladaAnimation.cpp),
// and every projection is written in one of the forms the 1.4.1 schema
// allows: xfov, yfov, xfov and yfov, or one of them with aspect_ratio.
#include <fbxfilesdk/collada/ColladaXmlWrite.h>
#include <fbxfilesdk/collada/KFbxWriterCollada.h>
#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxGlobalLightSettings.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <cmath>
#include <string>

namespace fbxsdk_2006_11_1 {

using namespace ColladaXml;

namespace {

// Centimetres per inch, as the single-precision number readers expect.
constexpr double kCentimetresPerInch = static_cast<double>(2.54f);
// Focal length cameras: the aperture mode past the three named ones.
constexpr int kFocalLengthApertureMode = 3;
constexpr const char* kAmbientBaseName = "SceneAmbient";

// A film size in inches as centimetres, cut (not rounded) to five decimals.
double FilmCentimetres(double inches) { return std::floor(inches * kCentimetresPerInch * 100000.0) / 100000.0; }

// The parameters of one camera or light, with a note of the values that
// were no finite numbers (written as 0).
struct ParameterWriter {
    xmlNode* Number(xmlNode* parent, const char* name, double value, const char* sid);
    // "red green blue", no alpha.
    void Rgb(xmlNode* parent, const double rgb[3], const char* sid);
    bool mNotFinite = false;
};

xmlNode* ParameterWriter::Number(xmlNode* parent, const char* name, double value, const char* sid) {
    std::string text;
    AppendNumber(text, FiniteOrZero(value, mNotFinite));
    xmlNode* element = AddElement(parent, name, text.c_str());
    if (sid != nullptr) {
        SetAttribute(element, "sid", sid);
    }
    return element;
}

void ParameterWriter::Rgb(xmlNode* parent, const double rgb[3], const char* sid) {
    std::string text;
    for (int component = 0; component < 3; ++component) {
        if (component > 0) {
            text += ' ';
        }
        AppendNumber(text, FiniteOrZero(rgb[component], mNotFinite));
    }
    xmlNode* color = AddElement(parent, "color", text.c_str());
    if (sid != nullptr) {
        SetAttribute(color, "sid", sid);
    }
}

xmlNode* NewElement(const char* name) { return xmlNewNode(nullptr, reinterpret_cast<const xmlChar*>(name)); }

// Film width over height, or 0 when that is no usable ratio.
double FilmAspectRatio(const KFbxCamera& camera) {
    const double ratio = camera.GetApertureWidth() / camera.GetApertureHeight();
    return std::isfinite(ratio) && ratio > 0.0 ? ratio : 0.0;
}

}  // namespace

const KString& KFbxWriterCollada::GetCameraLightId(KFbxNode& node) {
    return GetIds().Get(&node, "camera-light", GetNodeId(node) + "-lib");
}

xmlNode* KFbxWriterCollada::AddToLibrary(ELibrary library, xmlNode* element) {
    xmlNode* holder = element != nullptr ? GetLibrary(library) : nullptr;
    if (holder == nullptr) {
        xmlFreeNode(element);
        return nullptr;
    }
    return xmlAddChild(holder, element);
}

xmlNode* KFbxWriterCollada::ExportLibraryCameras(KFbxNode& node) {
    return AddToLibrary(eLIBRARY_CAMERAS, ExportCamera(node));
}

xmlNode* KFbxWriterCollada::ExportLibraryLights(KFbxNode& node) {
    return AddToLibrary(eLIBRARY_LIGHTS, ExportLight(&node));
}

bool KFbxWriterCollada::ExportSceneAmbientLight() {
    KFbxScene* scene = GetScene();
    if (scene == nullptr) {
        return true;
    }
    const KFbxColor ambient = scene->GetGlobalLightSettings().GetAmbientColor();
    if (ambient.mRed == 0.0 && ambient.mGreen == 0.0 && ambient.mBlue == 0.0) {
        return true;
    }
    return AddToLibrary(eLIBRARY_LIGHTS, ExportLight(nullptr)) != nullptr;
}

xmlNode* KFbxWriterCollada::ExportCamera(KFbxNode& node) {
    const KFbxCamera* camera = dynamic_cast<const KFbxCamera*>(node.GetCamera());
    if (camera == nullptr) {
        AddNotificationError(KString("Could not get camera for node ") + node.GetName());
        return nullptr;
    }
    xmlNode* element = NewElement("camera");
    if (element == nullptr) {
        return nullptr;
    }
    const KString& nodeId = GetNodeId(node);
    SetAttribute(element, "id", GetCameraLightId(node).Buffer());
    SetAttribute(element, "name", (nodeId + "Mesh").Buffer());

    ParameterWriter parameters;
    xmlNode* optics = AddElement(element, "optics");
    xmlNode* common = AddElement(optics, "technique_common");
    const bool orthographic = camera->GetProjectionType() == KFbxCamera::eORTHOGONAL;
    xmlNode* projection = AddElement(common, orthographic ? "orthographic" : "perspective");
    // aspect_ratio may only join a single angle or magnification.
    bool aspectAllowed = true;
    if (orthographic) {
        parameters.Number(projection, "xmag", camera->GetOrthoZoom(), "xmag");
    } else {
        switch (static_cast<int>(camera->GetApertureMode())) {
        case KFbxCamera::eHORIZONTAL_AND_VERTICAL:
            parameters.Number(projection, "xfov", camera->GetDefaultFieldOfViewX(), "xfov");
            parameters.Number(projection, "yfov", camera->GetDefaultFieldOfViewY(), "yfov");
            aspectAllowed = false;
            break;
        case KFbxCamera::eHORIZONTAL:
            parameters.Number(projection, "xfov", camera->GetDefaultFieldOfView(), "xfov");
            break;
        case KFbxCamera::eVERTICAL:
            parameters.Number(projection, "yfov", camera->GetDefaultFieldOfView(), "yfov");
            break;
        case kFocalLengthApertureMode:
            // The angle across the film's width (see KFbxCamera::ComputeFieldOfView).
            parameters.Number(projection, "xfov", camera->ComputeFieldOfView(camera->GetDefaultFocalLength()), "xfov");
            break;
        default:
            // A perspective needs an angle: the camera's own view angle stands in.
            AddNotificationWarning(KString("unknown camera aperture mode for camera: ") + node.GetName());
            parameters.Number(projection, "yfov", camera->GetDefaultFieldOfView(), "yfov");
            break;
        }
    }
    const double aspect = FilmAspectRatio(*camera);
    if (aspectAllowed && aspect > 0.0) {
        parameters.Number(projection, "aspect_ratio", aspect, nullptr);
    }
    parameters.Number(projection, "znear", camera->GetNearPlane(), "znear");
    parameters.Number(projection, "zfar", camera->GetFarPlane(), "zfar");

    xmlNode* maya = AddTechnique(optics, "MAYA");
    parameters.Number(maya, "vertical_aperture", FilmCentimetres(camera->GetApertureHeight()), nullptr);
    parameters.Number(maya, "horizontal_aperture", FilmCentimetres(camera->GetApertureWidth()), "haperture");
    parameters.Number(maya, "lens_squeeze", camera->GetSqueezeRatio(), "lenssqueeze");
    if (parameters.mNotFinite) {
        WarnNotFiniteParameters(KString("Camera ") + node.GetName());
    }
    return element;
}

xmlNode* KFbxWriterCollada::ExportLight(KFbxNode* node) {
    const KFbxLight* light = nullptr;
    if (node != nullptr) {
        light = dynamic_cast<const KFbxLight*>(node->GetLight());
        if (light == nullptr) {
            AddNotificationError(KString("Could not get light for node ") + node->GetName());
            return nullptr;
        }
    }
    const char* type = light != nullptr ? GetColladaLightType(light->GetLightType()) : nullptr;
    if (light != nullptr && type == nullptr) {
        AddNotificationError(KString("Unknown light type: ") + light->GetLightType());
        return nullptr;
    }
    xmlNode* element = NewElement("light");
    if (element == nullptr) {
        return nullptr;
    }
    if (node != nullptr) {
        SetAttribute(element, "id", GetCameraLightId(*node).Buffer());
        SetAttribute(element, "name", (GetNodeId(*node) + "Mesh").Buffer());
    } else {
        // An id of its own, even beside a node of that name.
        const KString id = GetIds().Reserve(KString(kAmbientBaseName) + "-lib");
        SetAttribute(element, "id", id.Buffer());
        SetAttribute(element, "name", (KString(kAmbientBaseName) + "Mesh").Buffer());
    }
    xmlNode* common = AddElement(element, "technique_common");
    ParameterWriter parameters;
    if (light == nullptr) {
        const KFbxColor ambient = GetScene()->GetGlobalLightSettings().GetAmbientColor();
        const double rgb[3] = {ambient.mRed, ambient.mGreen, ambient.mBlue};
        parameters.Rgb(AddElement(common, "ambient"), rgb, nullptr);
        if (parameters.mNotFinite) {
            WarnNotFiniteParameters("The scene's ambient colour");
        }
        return element;
    }
    xmlNode* kind = AddElement(common, type);
    double rgb[3] = {0.0, 0.0, 0.0};
    light->GetDefaultColor(rgb);
    parameters.Rgb(kind, rgb, "color");
    if (light->GetLightType() == KFbxLight::eSPOT) {
        parameters.Number(kind, "falloff_angle", light->GetDefaultConeAngle(), "angle");
    }
    parameters.Number(AddTechnique(element, "MAYA"), "intensity", light->GetDefaultIntensity() / 100.0, "intensity");
    if (parameters.mNotFinite) {
        WarnNotFiniteParameters(KString("Light ") + node->GetName());
    }
    return element;
}

const char* GetColladaLightType(int lightType) {
    switch (lightType) {
    case KFbxLight::eDIRECTIONAL:
        return "directional";
    case KFbxLight::ePOINT:
        return "point";
    case KFbxLight::eSPOT:
        return "spot";
    default:
        return nullptr;
    }
}

void KFbxWriterCollada::WarnNotFiniteParameters(const KString& owner) {
    AddNotificationWarning(owner + " has values that are not finite numbers; they are written as 0.");
}

}  // namespace fbxsdk_2006_11_1
