// Cameras and lights into the set-ups of the camera and light attributes
// made for the nodes that instance them, filed under their element's id.
// Ambient lights set nothing up: their colour joins the scene's ambient
// colour. Every parameter
// element with a "sid" becomes a target that animation channels can drive.
#include <fbxfilesdk/collada/ColladaXmlLookup.h>
#include <fbxfilesdk/collada/ColladaXmlParse.h>
#include <fbxfilesdk/collada/KFbxReaderColladaPass.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxLight.h>

#include <cmath>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

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
    auto camera = std::make_shared<ColladaCameraSetUp>();
    for (xmlNode* projection : ChildElements(common)) {
        ImportProjection(projection, camera->Steps(), id);
    }
    if (xmlNode* maya = FindTechniqueByProfile(optics, "MAYA")) {
        ImportMayaOptics(maya, camera->Steps(), id);
    }
    ColladaLibraryObject object;
    object.mCamera = std::move(camera);
    FileObject(id, object, "camera");
    return true;
}

void KFbxReaderColladaPass::ImportProjection(xmlNode* projection, ColladaSteps<KFbxCamera>& camera, const KString& id) {
    const char* kind = GetName(projection);
    if (std::strcmp(kind, "orthographic") == 0) {
        camera.Then([](KFbxCamera& made) { made.SetProjectionType(KFbxCamera::eORTHOGONAL); });
    } else {
        if (std::strcmp(kind, "perspective") != 0) {
            Warning(KString("unknown camera type: ") + kind + "." + " Camera type will be set to Perspective.");
        }
        camera.Then([](KFbxCamera& made) { made.SetProjectionType(KFbxCamera::ePERSPECTIVE); });
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
            camera.Then([value](KFbxCamera& made) { made.SetNearPlane(value); });
        } else if (std::strcmp(name, "zfar") == 0) {
            camera.Then([value](KFbxCamera& made) { made.SetFarPlane(value); });
        } else if (IsNamedAny(name, {"xmag", "ymag"})) {
            camera.Then([value](KFbxCamera& made) { made.SetOrthoZoom(value); });
        } else if (std::strcmp(name, "aspect_ratio") == 0) {
            if (value > 0.0 && std::isfinite(value)) {
                camera.Then([value](KFbxCamera& made) {
                    made.SetAspect(KFbxCamera::eWINDOW_SIZE, made.GetAspectWidth(), made.GetAspectWidth() / value);
                });
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
        camera.Then([width, height](KFbxCamera& made) { made.SetAspect(KFbxCamera::eWINDOW_SIZE, width, height); });
    }
    // Both angles given: each keeps its own, and the view angle is the vertical one.
    if (xfov >= 0.0 && yfov >= 0.0) {
        camera.Then([xfov, yfov](KFbxCamera& made) {
            made.SetApertureMode(KFbxCamera::eHORIZONTAL_AND_VERTICAL);
            made.SetDefaultFieldOfViewX(xfov);
            made.SetDefaultFieldOfViewY(yfov);
            made.SetDefaultFieldOfView(yfov);
        });
    } else if (xfov >= 0.0) {
        camera.Then([xfov](KFbxCamera& made) {
            made.SetDefaultFieldOfView(xfov);
            made.SetApertureMode(KFbxCamera::eHORIZONTAL);
        });
    } else if (yfov >= 0.0) {
        camera.Then([yfov](KFbxCamera& made) {
            made.SetDefaultFieldOfView(yfov);
            made.SetApertureMode(KFbxCamera::eVERTICAL);
        });
    }
}

void KFbxReaderColladaPass::ImportMayaOptics(xmlNode* maya, ColladaSteps<KFbxCamera>& camera, const KString& id) {
    enum class Film { kHeight, kWidth, kSqueeze };
    std::vector<std::pair<Film, double>> film;
    for (xmlNode* parameter : ChildElements(maya)) {
        const char* name = GetName(parameter);
        const double value = FloatOf(parameter);
        if (std::strcmp(name, "vertical_aperture") == 0) {
            film.emplace_back(Film::kHeight, FilmInches(value));
        } else if (std::strcmp(name, "horizontal_aperture") == 0) {
            film.emplace_back(Film::kWidth, FilmInches(value));
        } else if (std::strcmp(name, "lens_squeeze") == 0) {
            film.emplace_back(Film::kSqueeze, value);
        } else {
            WarningOnce(name, KString("Unrecognized MAYA camera parameter: ") + name);
        }
        AddParameterTarget(id, parameter);
    }
    camera.Then([film = std::move(film)](KFbxCamera& made) {
        made.SetLookAt(KFbxVector4(0.0, 0.0, -1.0, 1.0));
        made.SetFocusDistance(5.0);
        // Setting the film size may change the view angle, which the document gave.
        const double fieldOfView = made.GetDefaultFieldOfView();
        for (const auto& [which, value] : film) {
            switch (which) {
                case Film::kHeight:
                    made.SetApertureHeight(value);
                    break;
                case Film::kWidth:
                    made.SetApertureWidth(value);
                    break;
                case Film::kSqueeze:
                    made.SetSqueezeRatio(value);
                    break;
            }
        }
        made.SetDefaultFieldOfView(fieldOfView);
    });
}

bool KFbxReaderColladaPass::ImportLight(xmlNode* lightElement) {
    const KString id = GetAttribute(lightElement, "id");
    std::shared_ptr<ColladaLightSetUp> light;
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
            const KFbxLight::ELightType lightType = std::strcmp(name, "directional") == 0 ? KFbxLight::eDIRECTIONAL
                                                    : std::strcmp(name, "point") == 0     ? KFbxLight::ePOINT
                                                                                          : KFbxLight::eSPOT;
            light = std::make_shared<ColladaLightSetUp>();
            light->Steps().Then([lightType](KFbxLight& made) { made.SetLightType(lightType); });
        } else {
            // A type of a later schema (an area light, say) is no ambient
            // light: its colour must not light the whole scene.
            Warning(KString("Unknown light type: ") + name + "; light " + id + " gives no light");
            continue;
        }
        for (xmlNode* parameter : ChildElements(type)) {
            ImportLightParameter(parameter, light != nullptr ? &light->Steps() : nullptr, id);
            AddParameterTarget(id, parameter);
        }
    }
    for (xmlNode* parameter : ChildElements(FindTechniqueByProfile(lightElement, "MAYA"))) {
        const char* name = GetName(parameter);
        if (std::strcmp(name, "intensity") == 0) {
            if (light != nullptr) {
                const double intensity = FloatOf(parameter) * 100.0;
                light->Steps().Then([intensity](KFbxLight& made) { made.SetDefaultIntensity(intensity); });
            }
        } else {
            WarningOnce(name, KString("light parameter not supported by FBX: <") + name + ">");
        }
        AddParameterTarget(id, parameter);
    }
    ColladaLibraryObject object;
    object.mLight = std::move(light);
    FileObject(id, object, "light");
    return true;
}

void KFbxReaderColladaPass::ImportLightParameter(xmlNode* parameter, ColladaSteps<KFbxLight>* light,
                                                 const KString& id) {
    const char* name = GetName(parameter);
    if (std::strcmp(name, "color") == 0) {
        const KFbxColor color = ParseColor(ElementText(parameter).Get());
        if (light != nullptr) {
            light->Then([color](KFbxLight& made) {
                const double rgb[3] = {color.mRed, color.mGreen, color.mBlue};
                made.SetDefaultColor(rgb);
            });
        } else {
            // Ambient lights add up into the scene's ambient colour.
            const KFbxColor& ambient = mSettings.mAmbientColor;
            mSettings.mAmbientColor = KFbxColor(ambient.mRed + color.mRed, ambient.mGreen + color.mGreen,
                                                ambient.mBlue + color.mBlue, color.mAlpha);
        }
    } else if (std::strcmp(name, "falloff_angle") == 0) {
        if (light != nullptr) {
            const double angle = FloatOf(parameter);
            light->Then([angle](KFbxLight& made) { made.SetDefaultConeAngle(angle); });
        }
    } else if (IsNamedAny(name, {"constant_attenuation", "linear_attenuation", "quadratic_attenuation",
                                 "falloff_exponent"})) {
        WarningOnce(name, KString("light parameter not supported by FBX: <") + name + ">");
    } else {
        Warning(KString("Unknown light parameter <") + name + "> on light \"" + id + "\"");
    }
}

}  // namespace fbxsdk_2006_11_1
