// Cameras and lights: their parameters, and the nodes that instance them.
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxGlobalLightSettings.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <charconv>
#include <string>

#include "ColladaSceneSupport.h"
#include "ColladaTestSupport.h"

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::colladatest;

namespace {

std::string Camera(const std::string& id, const std::string& projection, const std::string& maya = "") {
    return "<camera id=\"" + id + "\"><optics><technique_common>" + projection + "</technique_common>" +
           (maya.empty() ? "" : "<technique profile=\"MAYA\">" + maya + "</technique>") + "</optics></camera>";
}

std::string Instances(const std::string& kind, std::initializer_list<const char*> ids) {
    std::string nodes;
    for (const char* id : ids) {
        nodes += std::string("<node id=\"n-") + id + "\"><instance_" + kind + " url=\"#" + id + "\"/></node>";
    }
    return nodes;
}

class ColladaCameras : public ColladaReadTest {
protected:
    KFbxCamera* CameraOf(const char* id) {
        KFbxNode* node = Node(mScene, (std::string("n-") + id).c_str());
        return node != nullptr ? static_cast<KFbxCamera*>(node->GetCamera()) : nullptr;
    }
    KFbxLight* LightOf(const char* id) {
        KFbxNode* node = Node(mScene, (std::string("n-") + id).c_str());
        return node != nullptr ? static_cast<KFbxLight*>(node->GetLight()) : nullptr;
    }
};

}  // namespace

TEST_F(ColladaCameras, PerspectiveAndOrthographicCameras) {
    const std::string cameras =
        "<library_cameras>" +
        Camera("y", "<perspective><yfov sid=\"fov\">45</yfov><aspect_ratio>2</aspect_ratio><znear>0.5</znear>"
                    "<zfar>500</zfar></perspective>") +
        Camera("xy", "<perspective><xfov>30</xfov><yfov>20</yfov><znear>1</znear><zfar>100</zfar></perspective>") +
        Camera("x", "<perspective><xfov>60</xfov><znear>1</znear><zfar>100</zfar></perspective>",
               "<vertical_aperture>2.54</vertical_aperture><horizontal_aperture>1.0</horizontal_aperture>"
               "<lens_squeeze>2</lens_squeeze>") +
        Camera("o", "<orthographic><xmag>3</xmag><ymag>4</ymag><znear>1</znear><zfar>10</zfar></orthographic>") +
        "</library_cameras>";
    ReadValid(SceneDocument(cameras, Instances("camera", {"y", "xy", "x", "o"})));
    KFbxCamera* y = CameraOf("y");
    ASSERT_NE(y, nullptr);
    EXPECT_EQ(y->GetProjectionType(), KFbxCamera::ePERSPECTIVE);
    EXPECT_EQ(y->GetDefaultFieldOfView(), 45.0);
    EXPECT_EQ(y->GetApertureMode(), KFbxCamera::eVERTICAL);
    EXPECT_EQ(y->GetNearPlane(), 0.5);
    EXPECT_EQ(y->GetFarPlane(), 500.0);
    EXPECT_EQ(y->GetAspectHeight(), y->GetAspectWidth() / 2.0);
    // Both angles: both kept, and the view angle is the vertical one.
    KFbxCamera* xy = CameraOf("xy");
    EXPECT_EQ(xy->GetApertureMode(), KFbxCamera::eHORIZONTAL_AND_VERTICAL);
    EXPECT_EQ(xy->GetDefaultFieldOfViewX(), 30.0);
    EXPECT_EQ(xy->GetDefaultFieldOfViewY(), 20.0);
    EXPECT_EQ(xy->GetDefaultFieldOfView(), 20.0);
    KFbxCamera* x = CameraOf("x");
    EXPECT_EQ(x->GetApertureMode(), KFbxCamera::eHORIZONTAL);
    EXPECT_EQ(x->GetDefaultFieldOfView(), 60.0);
    EXPECT_NEAR(x->GetApertureHeight(), 1.0, 1e-9);
    EXPECT_NEAR(x->GetApertureWidth(), 0.39370, 1e-9);
    EXPECT_EQ(x->GetSqueezeRatio(), 2.0);
    KFbxCamera* o = CameraOf("o");
    EXPECT_EQ(o->GetProjectionType(), KFbxCamera::eORTHOGONAL);
    EXPECT_EQ(o->GetOrthoZoom(), 4.0);
}

TEST_F(ColladaCameras, WindowTermsAndStrangeParameters) {
    const std::string cameras =
        "<library_cameras>" +
        Camera("w", "<perspective><LEFT>-1</LEFT><RIGHT>1</RIGHT><TOP>-0.5</TOP><BOTTOM>0.5</BOTTOM><fnord>1</fnord>"
                    "</perspective>") +
        Camera("s", "<stereo><aspect_ratio>0</aspect_ratio><fnord>2</fnord></stereo>") + "</library_cameras>";
    ASSERT_TRUE(Read(SceneDocument(cameras, Instances("camera", {"w", "s"}))));
    EXPECT_EQ(CameraOf("w")->GetAspectWidth(), 2.0);
    EXPECT_EQ(CameraOf("w")->GetAspectHeight(), 1.0);
    EXPECT_EQ(CameraOf("s")->GetProjectionType(), KFbxCamera::ePERSPECTIVE);
    EXPECT_TRUE(MessageHas("Warning: unknown camera type: stereo. Camera type will be set to Perspective."));
    EXPECT_TRUE(MessageHas("aspect_ratio of camera s is not a positive number"));
    const std::string message = mMessage.Buffer();
    EXPECT_EQ(message.find("Unrecognized camera parameter: fnord"), message.rfind("Unrecognized camera parameter"));
    ExpectReadFails(Document("<library_cameras><camera id=\"c\"/></library_cameras>"),
                    "ERROR: Camera node c has no <optics> node.");
    ExpectReadFails(Document("<library_cameras><camera id=\"c\"><optics/></camera></library_cameras>"),
                    "ERROR: no <technique> node found for camera node c");
}

TEST_F(ColladaCameras, LightsAndTheAmbientColour) {
    const std::string lights =
        "<library_lights>"
        "<light id=\"a1\"><technique_common><ambient><color>0.1 0.1 0.1</color></ambient></technique_common></light>"
        "<light id=\"a2\"><technique_common><ambient><color>0.2 0.2 0.2</color></ambient></technique_common></light>"
        "<light id=\"sun\"><technique_common><directional><color sid=\"c\">1 0.5 0</color></directional>"
        "</technique_common><technique profile=\"MAYA\"><intensity>0.5</intensity><penumbra_angle>2"
        "</penumbra_angle></technique></light>"
        "<light id=\"bulb\"><technique_common><point><color>1 1 1</color><constant_attenuation>1"
        "</constant_attenuation><linear_attenuation>0</linear_attenuation><quadratic_attenuation>0"
        "</quadratic_attenuation></point></technique_common></light>"
        "<light id=\"cone\"><technique_common><spot><color>1 1 1</color><constant_attenuation>1"
        "</constant_attenuation><linear_attenuation>0</linear_attenuation><quadratic_attenuation>0"
        "</quadratic_attenuation><falloff_angle>30</falloff_angle><falloff_exponent>0</falloff_exponent></spot>"
        "</technique_common></light></library_lights>";
    ReadValid(SceneDocument(lights, Instances("light", {"a1", "sun", "bulb", "cone"})));
    const KFbxColor ambient = mScene->GetGlobalLightSettings().GetAmbientColor();
    EXPECT_NEAR(ambient.mRed, 0.3, 1e-6);
    KFbxLight* sun = LightOf("sun");
    ASSERT_NE(sun, nullptr);
    EXPECT_EQ(sun->GetLightType(), KFbxLight::eDIRECTIONAL);
    double color[3];
    sun->GetDefaultColor(color);
    EXPECT_EQ(color[1], 0.5);
    EXPECT_EQ(sun->GetDefaultIntensity(), 50.0);
    EXPECT_EQ(LightOf("cone")->GetDefaultConeAngle(), 30.0);
    EXPECT_EQ(LightOf("bulb")->GetLightType(), KFbxLight::ePOINT);
    // Spot and directional lights turn from the SDK's down Y to COLLADA's down Z.
    EXPECT_EQ(Node(mScene, "n-cone")->GetPostRotation(KFbxNode::eSOURCE_SET)[0], -90.0);
    EXPECT_EQ(Node(mScene, "n-sun")->GetPostRotation(KFbxNode::eSOURCE_SET)[0], -90.0);
    EXPECT_EQ(Node(mScene, "n-bulb")->GetPostRotation(KFbxNode::eSOURCE_SET)[0], 0.0);
    // An ambient light's node holds no light.
    EXPECT_EQ(Node(mScene, "n-a1")->GetLight(), nullptr);
    const std::string message = mMessage.Buffer();
    EXPECT_EQ(message.find("<constant_attenuation>"), message.rfind("<constant_attenuation>"));
    EXPECT_NE(message.find("Warning: light parameter not supported by FBX: <penumbra_angle>"), std::string::npos);
}

TEST_F(ColladaCameras, LightsWithoutTheirCommonTechnique) {
    ASSERT_TRUE(Read(SceneDocument("<library_lights><light id=\"l\"/><light id=\"m\"><technique_common>"
                                   "<area><color>1 1 1</color><size>2</size></area></technique_common></light>"
                                   "</library_lights>",
                                   Instances("light", {"l", "m"}))));
    EXPECT_TRUE(MessageHas("Warning: no <technique_common> found for light l"));
    // A type the reader does not know is skipped whole: its colour lights
    // nothing, the scene's ambient colour least of all.
    EXPECT_TRUE(MessageHas("Warning: Unknown light type: area; light m gives no light"));
    EXPECT_FALSE(MessageHas("<size>"));
    EXPECT_EQ(Node(mScene, "n-l")->GetLight(), nullptr);
    EXPECT_EQ(Node(mScene, "n-m")->GetLight(), nullptr);
    const KFbxColor ambient = mScene->GetGlobalLightSettings().GetAmbientColor();
    EXPECT_EQ(ambient.mRed, 0.0);
    EXPECT_EQ(ambient.mBlue, 0.0);
}

TEST_F(ColladaCameras, ADuplicateIdResolvesToTheLightWithContent) {
    // An empty light before the real one of its id, then a second real one.
    const std::string lights =
        "<library_lights><light id=\"sun\"/><light id=\"sun\"><technique_common><point><color>1 0.5 0</color>"
        "</point></technique_common></light><light id=\"sun\"><technique_common><spot><color>0 0 1</color>"
        "</spot></technique_common></light></library_lights>";
    ASSERT_TRUE(Read(SceneDocument(lights, Instances("light", {"sun"}))));
    EXPECT_TRUE(MessageHas("Warning: Duplicate id sun: the <light> with content is used, the other is left out"));
    auto* light = static_cast<KFbxLight*>(Node(mScene, "n-sun")->GetLight());
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->GetLightType(), KFbxLight::ePOINT);
    // The spot light that was not used is gone.
    for (KFbxLight* made : Objects<KFbxLight>()) {
        EXPECT_NE(made->GetLightType(), KFbxLight::eSPOT);
    }
}

namespace {

std::string Exact(double value) {
    char text[32];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr) + " ";
}

// A property's value, exactly.
std::string ValueOf(const KFbxProperty& property) {
    switch (property.GetPropertyDataType().GetType()) {
        case eFbxValueBool:
        case eFbxValueInteger:
        case eFbxValueEnum: {
            int value = 0;
            property.Get(&value, eFbxValueInteger);
            return std::to_string(value);
        }
        case eFbxValueFloat:
        case eFbxValueDouble:
            return Exact(property.GetDouble());
        case eFbxValueDouble3: {
            const fbxDouble3 value = property.GetDouble3();
            return Exact(value[0]) + Exact(value[1]) + Exact(value[2]);
        }
        case eFbxValueDouble4:
        case eFbxValueDouble44: {
            double values[16] = {};
            property.Get(values, property.GetPropertyDataType().GetType());
            std::string text;
            for (const double value : values) {
                text += Exact(value);
            }
            return text;
        }
        default:
            return property.GetString().Buffer();
    }
}

// What a caller sees of a camera or light: every property with its value,
// and the values held outside properties.
std::string SeenOf(const KFbxNodeAttribute& attribute) {
    std::string seen;
    for (int index = 0; index < attribute.GetPropertyCount(); ++index) {
        const KFbxProperty property = attribute.GetPropertyAt(index);
        seen += std::string(property.GetName()) + "=" + ValueOf(property) + "\n";
    }
    const auto exact = Exact;
    if (const auto* camera = dynamic_cast<const KFbxCamera*>(&attribute)) {
        const KFbxVector4 lookAt = camera->GetLookAt();
        const KFbxVector4 up = camera->GetUpVector();
        for (const double value :
             {camera->GetDefaultFieldOfView(), camera->GetDefaultFieldOfViewX(), camera->GetDefaultFieldOfViewY(),
              camera->GetDefaultFocalLength(), camera->GetOrthoZoom(), lookAt[0], lookAt[1], lookAt[2], up[0], up[1],
              up[2], camera->GetFocusDistance(), camera->GetFilmAspectRatio(), camera->GetPixelRatio()}) {
            seen += exact(value);
        }
        seen += std::to_string(camera->GetFormat()) + " " + std::to_string(camera->GetApertureFormat());
    }
    if (const auto* light = dynamic_cast<const KFbxLight*>(&attribute)) {
        double color[3];
        light->GetDefaultColor(color);
        for (const double value : {color[0], color[1], color[2], light->GetDefaultIntensity(),
                                   light->GetDefaultConeAngle(), light->GetDefaultFog()}) {
            seen += exact(value);
        }
    }
    return seen;
}

// What the reader gave a camera or light of the table below.
struct ViewCase {
    const char* mId;
    int mType;  // projection or light type
    double mFieldOfView;
    double mFieldOfViewX;
    double mNearPlane;
    double mFarPlane;
    double mAspectWidth;
    double mAspectHeight;
    double mApertureWidth;
    double mSqueezeOrIntensity;
    double mOrthoZoomOrCone;
};

}  // namespace

TEST_F(ColladaCameras, EveryInstanceOfACameraOrLightIsSetUpAsItsElementSays) {
    const std::string libraries =
        "<library_cameras>" +
        Camera("y", "<perspective><yfov sid=\"fov\">45.3</yfov><aspect_ratio>1.7777</aspect_ratio>"
                    "<znear>0.1</znear><zfar>500.7</zfar></perspective>") +
        Camera("xy", "<perspective><xfov>30.1</xfov><yfov>20.2</yfov><znear>1</znear><zfar>100</zfar></perspective>") +
        Camera("film", "<perspective><xfov>61.3</xfov><znear>1</znear><zfar>100</zfar></perspective>",
               "<vertical_aperture>2.54</vertical_aperture><horizontal_aperture>1.3</horizontal_aperture>"
               "<lens_squeeze>1.7</lens_squeeze>") +
        Camera("o", "<orthographic><xmag>3.3</xmag><ymag>4.1</ymag><znear>1</znear><zfar>10</zfar></orthographic>") +
        Camera("w", "<perspective><LEFT>-1.1</LEFT><RIGHT>1</RIGHT><TOP>-0.5</TOP><BOTTOM>0.7</BOTTOM></perspective>") +
        // The far plane before a nearer plane beyond it: the order holds.
        Camera("far-first", "<perspective><yfov>30</yfov><zfar>5</zfar><znear>10</znear></perspective>") +
        "</library_cameras><library_lights>"
        "<light id=\"sun\"><technique_common><directional><color>1 0.3 0.1</color></directional>"
        "</technique_common><technique profile=\"MAYA\"><intensity>0.37</intensity></technique></light>"
        "<light id=\"cone\"><technique_common><spot><color>0.2 0.4 0.6</color><falloff_angle>33.3</falloff_angle>"
        "</spot></technique_common></light>"
        // Two types: the last one is the light.
        "<light id=\"both\"><technique_common><spot><color>1 0 0</color><falloff_angle>10</falloff_angle></spot>"
        "<point><color>0 0.7 0</color></point></technique_common></light></library_lights>";
    // Single precision, as the reader holds values.
    const auto f = [](double value) { return static_cast<double>(static_cast<float>(value)); };
    const ViewCase cases[] = {
        {"y", KFbxCamera::ePERSPECTIVE, f(45.3), 1.0, f(0.1), f(500.7), 320.0, 320.0 / f(1.7777), 0.816, 1.0, 1.0},
        {"xy", KFbxCamera::ePERSPECTIVE, f(20.2), f(30.1), 1.0, 100.0, 320.0, 200.0, 0.816, 1.0, 1.0},
        {"film", KFbxCamera::ePERSPECTIVE, f(61.3), 1.0, 1.0, 100.0, 320.0, 200.0, 0.51181, f(1.7), 1.0},
        {"o", KFbxCamera::eORTHOGONAL, 40.0, 1.0, 1.0, 10.0, 320.0, 200.0, 0.816, 1.0, f(4.1)},
        {"w", KFbxCamera::ePERSPECTIVE, 40.0, 1.0, 10.0, 4000.0, f(1.1) + 1.0, f(0.7) + 0.5, 0.816, 1.0, 1.0},
        {"far-first", KFbxCamera::ePERSPECTIVE, 30.0, 1.0, 10.0, 10.0, 320.0, 200.0, 0.816, 1.0, 1.0},
        {"sun", KFbxLight::eDIRECTIONAL, 1.0, f(0.3), f(0.1), 0, 0, 0, 0, 37.0, 45.0},
        {"cone", KFbxLight::eSPOT, f(0.2), f(0.4), f(0.6), 0, 0, 0, 0, 100.0, f(33.3)},
        {"both", KFbxLight::ePOINT, 0.0, f(0.7), 0.0, 0, 0, 0, 0, 100.0, 45.0},
    };
    std::string nodes;
    for (const ViewCase& view : cases) {
        const std::string id = view.mId;
        const std::string instance =
            "<instance_" + std::string(view.mAspectWidth == 0 ? "light" : "camera") + " url=\"#" + id + "\"/>";
        // Two nodes instance each; the first one placed.
        nodes += "<node id=\"a-" + id + "\"><translate>1 2 3</translate><rotate>0 1 0 33</rotate>" + instance +
                 "</node><node id=\"b-" + id + "\">" + instance + "</node>";
    }
    nodes += "<node id=\"eye\"><lookat>0 -5 3 1 2 3 0 1 0.5</lookat><instance_camera url=\"#film\"/></node>";
    // The visual scene instanced twice: the second instance copies the first.
    ASSERT_TRUE(Read(Replaced(SceneDocument(libraries, nodes), "<instance_visual_scene url=\"#vs\"/>",
                              "<instance_visual_scene url=\"#vs\"/><instance_visual_scene url=\"#vs\"/>")))
        << mMessage.Buffer();
    for (const ViewCase& view : cases) {
        SCOPED_TRACE(view.mId);
        const std::string id = view.mId;
        KFbxNodeAttribute* first = Node(mScene, ("a-" + id).c_str())->GetNodeAttribute();
        ASSERT_NE(first, nullptr);
        for (const std::string& other : {"b-" + id, "a-" + id + "1", "b-" + id + "1"}) {
            KFbxNode* node = Node(mScene, other.c_str());
            ASSERT_NE(node, nullptr) << other;
            ASSERT_NE(node->GetNodeAttribute(), nullptr) << other;
            EXPECT_EQ(SeenOf(*node->GetNodeAttribute()), SeenOf(*first)) << other;
        }
        if (auto* camera = dynamic_cast<KFbxCamera*>(first)) {
            EXPECT_EQ(camera->GetProjectionType(), view.mType);
            EXPECT_EQ(camera->GetDefaultFieldOfView(), view.mFieldOfView);
            EXPECT_EQ(camera->GetDefaultFieldOfViewX(), view.mFieldOfViewX);
            EXPECT_EQ(camera->GetNearPlane(), view.mNearPlane);
            EXPECT_EQ(camera->GetFarPlane(), view.mFarPlane);
            EXPECT_EQ(camera->GetAspectWidth(), view.mAspectWidth);
            EXPECT_EQ(camera->GetAspectHeight(), view.mAspectHeight);
            EXPECT_EQ(camera->GetApertureWidth(), view.mApertureWidth);
            EXPECT_EQ(camera->GetSqueezeRatio(), view.mSqueezeOrIntensity);
            EXPECT_EQ(camera->GetOrthoZoom(), view.mOrthoZoomOrCone);
            // The focal length follows the view angle the document gives.
            EXPECT_FLOAT_EQ(camera->GetDefaultFocalLength(), camera->ComputeFocalLength(view.mFieldOfView));
        } else {
            auto* light = dynamic_cast<KFbxLight*>(first);
            ASSERT_NE(light, nullptr);
            EXPECT_EQ(light->GetLightType(), view.mType);
            double color[3];
            light->GetDefaultColor(color);
            EXPECT_EQ(color[0], view.mFieldOfView);
            EXPECT_EQ(color[1], view.mFieldOfViewX);
            EXPECT_EQ(color[2], view.mNearPlane);
            EXPECT_EQ(light->GetDefaultIntensity(), view.mSqueezeOrIntensity);
            EXPECT_EQ(light->GetDefaultConeAngle(), view.mOrthoZoomOrCone);
        }
    }
    // A look-at places its node and aims its camera; the others of the
    // element are not moved by it.
    auto* eye = static_cast<KFbxCamera*>(Node(mScene, "eye")->GetCamera());
    EXPECT_EQ(eye->GetPosition()[1], -5.0);
    EXPECT_EQ(eye->GetLookAt()[2], 3.0);
    EXPECT_EQ(static_cast<KFbxCamera*>(Node(mScene, "b-film")->GetCamera())->GetLookAt()[2], -1.0);
}
