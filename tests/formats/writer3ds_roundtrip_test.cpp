// A scene written by the 3DS writer and read back by the 3DS reader, and by
// an independent reader: geometry, materials, lights, cameras and keys.
#include "formats/Writer3dsTestSupport.h"
#include "support/CommandOutput.h"
#include "support/DeepChain.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <numeric>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/fbx/KFbxImporter.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxLight.h>

#include <sys/stat.h>

#ifdef QALIMOR_HAVE_LIB3DS
#include <lib3ds/camera.h>
#include <lib3ds/file.h>
#include <lib3ds/light.h>
#include <lib3ds/material.h>
#include <lib3ds/matrix.h>
#include <lib3ds/mesh.h>
#include <lib3ds/node.h>
#include <lib3ds/vector.h>
#endif

namespace fbxsdk_2006_11_1::writer3dstest {
namespace {

class Writer3dsRoundTripTest : public Writer3dsTest {
protected:
    // Meshes under one another, the lower one animated, a textured material,
    // an omni light, a spot light and a camera, each with a target.
    void BuildScene() {
        mFolder.Write("skin.tga", "pixels");
        KFbxMesh* body = MakeMesh({KFbxVector4(-1, 0, -1, 0), KFbxVector4(1, 0, -1, 0), KFbxVector4(1, 0, 1, 0),
                                   KFbxVector4(-1, 0, 1, 0), KFbxVector4(0, 2, 0, 0)},
                                  {{0, 1, 2, 3}, {0, 4, 1}, {1, 4, 2}, {2, 4, 3}, {3, 4, 0}});
        KFbxSurfacePhong* skin = Phong("Skin", 0.8, 0.4, 0.2);
        body->AddMaterial(skin);
        body->AddTexture(Texture("SkinMap", Path("skin.tga")));
        KFbxLayerElementTexture* textures = body->GetLayer(0)->GetTextures();
        textures->SetMappingMode(KFbxLayerElement::eALL_SAME);
        textures->GetIndexArray().Add(0);
        body->InitTextureUVMapping(KFbxLayerElement::eBY_CONTROL_POINT);
        body->GetLayer(0)->GetUVs()->SetReferenceMode(KFbxLayerElement::eDIRECT);
        for (int point = 0; point < 5; ++point) {
            body->AddTextureUV(KFbxVector2(0.2 * point, 0.1 * point));
        }
        mBody = AddNode("Body", body);
        mBody->SetLclTranslation(KFbxVector4(1, 2, 3, 0));
        mBody->SetLclRotation(KFbxVector4(10, 20, 30, 0));
        mBody->SetLclScaling(KFbxVector4(1, 2, 1, 0));

        KFbxMesh* arm = Quad();
        arm->AddMaterial(skin);
        mArm = AddNode("Arm", arm, mBody);
        Key(mArm, &KFbxTakeNode::GetTranslationX, 0, 0.0);
        Key(mArm, &KFbxTakeNode::GetTranslationX, 10, 10.0);
        Key(mArm, &KFbxTakeNode::GetEulerRotationY, 0, 0.0);
        Key(mArm, &KFbxTakeNode::GetEulerRotationY, 10, 90.0);

        KFbxLight* lamp = KFbxLight::Create(mManager, "");
        lamp->SetLightType(KFbxLight::ePOINT);
        const double warm[3] = {1.0, 0.5, 0.25};
        lamp->SetDefaultColor(warm);
        lamp->SetDefaultIntensity(80.0);
        AddNode("Lamp", lamp)->SetLclTranslation(KFbxVector4(0, 5, 0, 0));

        KFbxLight* spot = KFbxLight::Create(mManager, "");
        spot->SetLightType(KFbxLight::eSPOT);
        spot->SetDefaultConeAngle(30.0);
        KFbxNode* spotNode = AddNode("Spot", spot);
        spotNode->SetLclTranslation(KFbxVector4(0, 4, 4, 0));
        KFbxNode* spotAim = AddNode("SpotAim");
        spotAim->SetLclTranslation(KFbxVector4(0, 0, -5, 0));
        spotNode->SetTarget(spotAim);

        KFbxCamera* camera = KFbxCamera::Create(mManager, "");
        KFbxNode* cameraNode = AddNode("Cam", camera);
        // The node holds the animatable values of its attribute.
        camera->SetApertureMode(KFbxCamera::eHORIZONTAL);
        camera->SetDefaultFieldOfView(50.0);
        cameraNode->SetLclTranslation(KFbxVector4(0, 1, 10, 0));
        KFbxNode* cameraAim = AddNode("CamAim");
        cameraAim->SetLclTranslation(KFbxVector4(10, 0, 0, 0));
        cameraNode->SetTarget(cameraAim);
    }

    bool ImportInto(KFbxScene* scene, const std::string& name, KFbxStreamOptions* options = nullptr) {
        KFbxImporter* importer = KFbxImporter::Create(mManager, "");
        const bool imported = importer->Initialize(Path(name).c_str()) && importer->Import(scene, options);
        mLastError = importer->GetLastErrorString();
        importer->Destroy();
        return imported;
    }

    // Reader options that read the file's units as they are.
    KFbxStreamOptions3dsReader* Unscaled() {
        KFbxStreamOptions3dsReader* options = KFbxStreamOptions3dsReader::Create(mManager, "");
        options->Reset();
        options->SetOption("RESCALING", false);
        return options;
    }

    static KFbxNode* Find(KFbxScene* scene, const char* name) { return scene->GetRootNode()->FindChild(name, true); }

    static KFCurve* TakeCurve(KFbxNode* node, const char* first, const char* second, const char* third) {
        if (node == nullptr || !node->SetCurrentTakeNodeByName("default take")) {
            return nullptr;
        }
        return node->GetCurrentTakeNode()->GetKFCurve(first, second, third);
    }

    static KTime Frame(int frame) {
        KTime time;
        time.SetTime(0, 0, 0, frame, 0, KTime::eFrames30);
        return time;
    }

    // Every point of the mesh where the node puts it, in the node's parent.
    static std::vector<KFbxVector4> PlacedPoints(KFbxNode* node) {
        std::vector<KFbxVector4> points;
        const auto* mesh = dynamic_cast<const KFbxMesh*>(node->GetNodeAttribute());
        KFbxVector4 t;
        KFbxVector4 r;
        KFbxVector4 s;
        node->GetLclTranslation(t);
        node->GetLclRotation(r);
        node->GetLclScaling(s);
        KgeMatrix matrix;
        matrix.SetTRS(t, r, s);
        for (int point = 0; mesh != nullptr && point < mesh->GetControlPointsCount(); ++point) {
            points.push_back(matrix.MultT(mesh->GetControlPoints()[point]));
        }
        return points;
    }

    // A closed solid, each face wound to turn away from its inside.
    KFbxMesh* Tetrahedron() {
        return MakeMesh({KFbxVector4(0, 0, 0, 0), KFbxVector4(1, 0, 0, 0), KFbxVector4(0, 1, 0, 0),
                         KFbxVector4(0, 0, 1, 0)},
                        {{0, 2, 1}, {0, 1, 3}, {0, 3, 2}, {1, 2, 3}});
    }

    KFbxNode* mBody = nullptr;
    KFbxNode* mArm = nullptr;
};

// Each triangle of the convex solid wound so that it turns away from the
// solid's centre.
::testing::AssertionResult TrianglesTurnOutward(const std::vector<KFbxVector4>& points,
                                                const std::vector<std::array<int, 3>>& triangles) {
    if (points.empty()) {
        return ::testing::AssertionFailure() << "no points";
    }
    KFbxVector4 centre(0, 0, 0, 0);
    for (const KFbxVector4& point : points) {
        centre = centre + point;
    }
    centre = centre * (1.0 / static_cast<double>(points.size()));
    for (std::size_t triangle = 0; triangle < triangles.size(); ++triangle) {
        const KFbxVector4& p0 = points[static_cast<std::size_t>(triangles[triangle][0])];
        const KFbxVector4& p1 = points[static_cast<std::size_t>(triangles[triangle][1])];
        const KFbxVector4& p2 = points[static_cast<std::size_t>(triangles[triangle][2])];
        if (!((p1 - p0).CrossProduct(p2 - p0).DotProduct(p0 - centre) > 0.0)) {
            return ::testing::AssertionFailure() << "triangle " << triangle << " faces inward";
        }
    }
    return ::testing::AssertionSuccess();
}

// Each face of the convex mesh wound so that it turns away from the mesh's
// centre, and each control point's normal pointing away from it, in the
// mesh's own space.
::testing::AssertionResult FacesAndNormalsPointOut(const KFbxMesh* mesh) {
    if (mesh == nullptr || mesh->GetControlPointsCount() == 0 || mesh->GetNormals() == nullptr) {
        return ::testing::AssertionFailure() << "no mesh with normals";
    }
    const KFbxVector4* points = mesh->GetControlPoints();
    const std::vector<KFbxVector4> all(points, points + mesh->GetControlPointsCount());
    std::vector<std::array<int, 3>> triangles;
    for (int polygon = 0; polygon < mesh->GetPolygonCount(); ++polygon) {
        if (mesh->GetPolygonSize(polygon) != 3) {
            return ::testing::AssertionFailure() << "polygon " << polygon << " is no triangle";
        }
        triangles.push_back({mesh->GetPolygonVertex(polygon, 0), mesh->GetPolygonVertex(polygon, 1),
                             mesh->GetPolygonVertex(polygon, 2)});
    }
    const ::testing::AssertionResult faces = TrianglesTurnOutward(all, triangles);
    if (!faces) {
        return faces;
    }
    KFbxVector4 centre(0, 0, 0, 0);
    for (const KFbxVector4& point : all) {
        centre = centre + point;
    }
    centre = centre * (1.0 / static_cast<double>(all.size()));
    for (int point = 0; point < mesh->GetControlPointsCount(); ++point) {
        if (!(mesh->GetNormals()[point].DotProduct(points[point] - centre) > 0.0)) {
            return ::testing::AssertionFailure() << "the normal of point " << point << " points inward";
        }
    }
    return ::testing::AssertionSuccess();
}

// Each expected point among the actual ones, as near as the file's floats
// keep points of its size.
::testing::AssertionResult SamePoints(const std::vector<KFbxVector4>& expected, const std::vector<KFbxVector4>& actual) {
    for (const KFbxVector4& point : expected) {
        const double tolerance =
            1e-4 + 9.5367431640625e-7 * std::max({std::abs(point[0]), std::abs(point[1]), std::abs(point[2])});
        bool found = false;
        for (const KFbxVector4& other : actual) {
            found = found || (std::abs(point[0] - other[0]) < tolerance &&
                              std::abs(point[1] - other[1]) < tolerance && std::abs(point[2] - other[2]) < tolerance);
        }
        if (!found) {
            return ::testing::AssertionFailure() << "(" << point[0] << ", " << point[1] << ", " << point[2]
                                                 << ") was not read back";
        }
    }
    return ::testing::AssertionSuccess();
}

// The bounding box of each mesh that assimp places, in the order it gives
// them: the file exported as OBJ, whose vertices assimp has put through the
// node transforms.
struct Box {
    double mMin[3] = {1e300, 1e300, 1e300};
    double mMax[3] = {-1e300, -1e300, -1e300};
    void Add(const double (&point)[3]) {
        for (int axis = 0; axis < 3; ++axis) {
            mMin[axis] = std::min(mMin[axis], point[axis]);
            mMax[axis] = std::max(mMax[axis], point[axis]);
        }
    }
    bool Near(const Box& other, double tolerance) const {
        for (int axis = 0; axis < 3; ++axis) {
            if (!(std::abs(mMin[axis] - other.mMin[axis]) < tolerance && std::abs(mMax[axis] - other.mMax[axis]) < tolerance)) {
                return false;
            }
        }
        return true;
    }
};

std::ostream& operator<<(std::ostream& out, const Box& box) {
    return out << "(" << box.mMin[0] << ", " << box.mMin[1] << ", " << box.mMin[2] << ")-(" << box.mMax[0] << ", "
               << box.mMax[1] << ", " << box.mMax[2] << ")";
}

// The triangles of each group of an OBJ file that assimp wrote, each group
// with the points its faces use.
struct Solid {
    std::vector<KFbxVector4> mPoints;
    std::vector<std::array<int, 3>> mTriangles;
};

std::vector<Solid> ObjSolids(const std::string& obj) {
    std::vector<Solid> solids;
    std::ifstream in(obj);
    std::vector<KFbxVector4> points;
    std::string line;
    while (std::getline(in, line)) {
        std::istringstream words(line);
        std::string kind;
        words >> kind;
        if (kind == "v") {
            double x = 0.0;
            double y = 0.0;
            double z = 0.0;
            words >> x >> y >> z;
            points.emplace_back(x, y, z, 0.0);
        } else if (kind == "g") {
            solids.emplace_back();
        } else if (kind == "f" && !solids.empty()) {
            std::array<int, 3> triangle{};
            std::string corner;
            for (int& point : triangle) {
                const std::size_t index = words >> corner ? static_cast<std::size_t>(std::stol(corner)) - 1 : points.size();
                if (index >= points.size()) {
                    return {};
                }
                point = static_cast<int>(solids.back().mPoints.size());
                solids.back().mPoints.push_back(points[index]);
            }
            solids.back().mTriangles.push_back(triangle);
        }
    }
    return solids;
}

std::vector<Box> AssimpBoxes(const std::string& file, const std::string& obj, std::string& output) {
    std::vector<Box> boxes;
    if (!RunCommand("assimp export '" + file + "' '" + obj + "' 2>&1", output)) {
        return boxes;
    }
    for (const Solid& solid : ObjSolids(obj)) {
        Box& box = boxes.emplace_back();
        for (const KFbxVector4& point : solid.mPoints) {
            const double at[3] = {point[0], point[1], point[2]};
            box.Add(at);
        }
    }
    return boxes;
}

// The box of the node's mesh where the scene puts it at time 0 (assimp
// turns 3DS points back into the scene's axes).
Box SceneBox(KFbxNode* node) {
    Box box;
    const auto* mesh = dynamic_cast<const KFbxMesh*>(node->GetNodeAttribute());
    const KgeMatrix world = node->EvaluateGlobalTransform(KTime(0));
    for (int point = 0; mesh != nullptr && point < mesh->GetControlPointsCount(); ++point) {
        const KFbxVector4 placed = world.MultT(mesh->GetControlPoints()[point]);
        const double at[3] = {placed[0], placed[1], placed[2]};
        box.Add(at);
    }
    return box;
}

::testing::AssertionResult HasBox(const std::vector<Box>& boxes, const Box& expected) {
    for (const Box& box : boxes) {
        if (box.Near(expected, 1e-3)) {
            return ::testing::AssertionSuccess();
        }
    }
    ::testing::AssertionResult failure = ::testing::AssertionFailure();
    failure << "no mesh at " << expected << "; assimp has";
    for (const Box& box : boxes) {
        failure << " " << box;
    }
    return failure;
}

TEST_F(Writer3dsRoundTripTest, ReaderGetsBackWhatTheWriterWrote) {
    BuildScene();
    // A turn about two axes at once, under a turned and scaled parent (an
    // uneven scaling would shear it, which keys cannot hold).
    KFbxNode* hinge = AddNode("Hinge");
    hinge->SetLclTranslation(KFbxVector4(1, 2, 3, 0));
    hinge->SetLclRotation(KFbxVector4(10, 20, 30, 0));
    hinge->SetLclScaling(KFbxVector4(2, 2, 2, 0));
    KFbxNode* lid = AddNode("Lid", Quad(), hinge);
    Key(lid, &KFbxTakeNode::GetEulerRotationX, 0, 0.0);
    Key(lid, &KFbxTakeNode::GetEulerRotationX, 10, 90.0);
    Key(lid, &KFbxTakeNode::GetEulerRotationY, 0, 0.0);
    Key(lid, &KFbxTakeNode::GetEulerRotationY, 10, 90.0);
    ASSERT_TRUE(Export("scene.3ds")) << mLastError;
    KFbxScene* read = KFbxScene::Create(mManager, "read");
    ASSERT_TRUE(ImportInto(read, "scene.3ds")) << mLastError;

    // Geometry, to float precision, where the nodes put it.
    KFbxNode* body = Find(read, "Body");
    ASSERT_NE(body, nullptr);
    EXPECT_TRUE(SamePoints(PlacedPoints(mBody), PlacedPoints(body)));
    const auto* bodyMesh = dynamic_cast<const KFbxMesh*>(body->GetNodeAttribute());
    ASSERT_NE(bodyMesh, nullptr);
    int triangles = 0;
    for (int polygon = 0; polygon < bodyMesh->GetPolygonCount(); ++polygon) {
        triangles += bodyMesh->GetPolygonSize(polygon) - 2;
    }
    EXPECT_EQ(triangles, 6);

    // The material and its texture.
    ASSERT_GE(bodyMesh->GetMaterialCount(), 1);
    const KFbxSurfaceMaterial* material = bodyMesh->GetMaterial(0);
    fbxDouble3 diffuse;
    ASSERT_TRUE(material->FindProperty("DiffuseColor").Get(&diffuse, eFbxValueDouble3));
    EXPECT_NEAR(diffuse[0], 0.8, 1.0 / 255);
    EXPECT_NEAR(diffuse[1], 0.4, 1.0 / 255);
    EXPECT_NEAR(diffuse[2], 0.2, 1.0 / 255);
    ASSERT_GE(bodyMesh->GetTextureCount(), 1);
    const std::string texture = bodyMesh->GetTexture(0)->GetFileName();
    EXPECT_EQ(texture.substr(texture.size() - 8), "skin.tga") << texture;

    // The animated child, under its parent, with keys at the sampled frames.
    KFbxNode* arm = Find(read, "Arm");
    ASSERT_NE(arm, nullptr);
    EXPECT_EQ(arm->GetParent(), body);
    const KFCurve* x = TakeCurve(arm, "Transform", "T", "X");
    const KFCurve* y = TakeCurve(arm, "Transform", "R", "Y");
    ASSERT_NE(x, nullptr);
    ASSERT_NE(y, nullptr);
    ASSERT_EQ(x->KeyGetCount(), 11);
    for (int frame : {0, 3, 5, 10}) {
        EXPECT_EQ(x->KeyGetTime(frame), Frame(frame));
        EXPECT_NEAR(x->KeyGetValue(frame), frame, 1e-4) << frame;
        EXPECT_NEAR(y->Evaluate(Frame(frame)), frame * 9.0, 1e-3) << frame;
    }

    // The two-axis turn at every key.
    KFbxNode* readLid = Find(read, "Lid");
    ASSERT_NE(readLid, nullptr);
    ASSERT_TRUE(readLid->SetCurrentTakeNodeByName("default take"));
    for (int frame = 0; frame <= 10; ++frame) {
        const KgeMatrix expected = lid->EvaluateGlobalTransform(Frame(frame));
        const KgeMatrix actual = readLid->EvaluateGlobalTransform(Frame(frame));
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 3; ++column) {
                EXPECT_NEAR(actual[row][column], expected[row][column], 1e-3)
                    << "frame " << frame << " [" << row << "][" << column << "]";
            }
        }
    }

    // The omni light.
    KFbxNode* lampNode = Find(read, "Lamp");
    ASSERT_NE(lampNode, nullptr);
    const auto* lamp = dynamic_cast<const KFbxLight*>(lampNode->GetNodeAttribute());
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(lamp->GetLightType(), KFbxLight::ePOINT);
    double colour[3];
    lamp->GetDefaultColor(colour);
    EXPECT_NEAR(colour[1], 0.5, 1e-5);
    EXPECT_NEAR(lamp->GetDefaultIntensity(), 80.0, 1e-4);
    KFbxVector4 lampAt;
    lampNode->GetLclTranslation(lampAt);
    EXPECT_NEAR(lampAt[1], 5.0, 1e-5);

    // The spot light and its target.
    KFbxNode* spotNode = Find(read, "Spot");
    ASSERT_NE(spotNode, nullptr);
    const auto* spot = dynamic_cast<const KFbxLight*>(spotNode->GetNodeAttribute());
    ASSERT_NE(spot, nullptr);
    EXPECT_EQ(spot->GetLightType(), KFbxLight::eSPOT);
    EXPECT_NEAR(spot->GetDefaultConeAngle(), 30.0, 1e-4);
    ASSERT_NE(spotNode->GetTarget(), nullptr);
    KFbxVector4 spotAim;
    spotNode->GetTarget()->GetLclTranslation(spotAim);
    EXPECT_NEAR(spotAim[2], -5.0, 1e-5);

    // The camera, its field of view and its target.
    KFbxNode* cameraNode = Find(read, "Cam");
    ASSERT_NE(cameraNode, nullptr);
    const auto* camera = dynamic_cast<const KFbxCamera*>(cameraNode->GetNodeAttribute());
    ASSERT_NE(camera, nullptr);
    EXPECT_NEAR(camera->GetDefaultFieldOfView(), 50.0, 1e-4);
    KFbxVector4 cameraAt;
    cameraNode->GetLclTranslation(cameraAt);
    EXPECT_NEAR(cameraAt[2], 10.0, 1e-5);
    ASSERT_NE(cameraNode->GetTarget(), nullptr);
    KFbxVector4 cameraAim;
    cameraNode->GetTarget()->GetLclTranslation(cameraAim);
    EXPECT_NEAR(cameraAim[0], 10.0, 1e-5);
}

// A chain deeper than the stack could walk, and a moving camera written
// before it aimed at its far end: every node read back under its parent, where the
// scene has it.
TEST_F(Writer3dsRoundTripTest, DeepChainIsReadBackWithEveryParentAndPlace) {
    deepchain::OnChainStack([&] {
        KFbxNode* camera = AddNode("Cam", KFbxCamera::Create(mManager, ""));
        Key(camera, &KFbxTakeNode::GetTranslationX, 0, 0.0);
        Key(camera, &KFbxTakeNode::GetTranslationX, 10, 5.0);
        KFbxNode* parent = nullptr;
        for (int index = 0; index < deepchain::kDepth; ++index) {
            parent = AddNode(("N" + std::to_string(index)).c_str(), nullptr, parent);
            parent->SetLclTranslation(KFbxVector4(1, 0.5, 0, 0));
        }
        camera->SetTarget(parent->GetParent());
        ASSERT_TRUE(Export("deep.3ds", OptionsWith("RESCALING", false))) << mLastError;
        KFbxScene* read = KFbxScene::Create(mManager, "read");
        ASSERT_TRUE(ImportInto(read, "deep.3ds", Unscaled())) << mLastError;
        KFbxNode* node = read->GetRootNode();
        KFbxNodeGlobalParts world;
        for (int index = 0; index < deepchain::kDepth; ++index) {
            // A node without attribute comes back as the dummy of its name.
            node = node->FindChild(("$$$DUMMY.N" + std::to_string(index)).c_str(), false);
            ASSERT_NE(node, nullptr) << index;
            const KFbxNodeGlobalParts above = world;
            node->EvaluateGlobalTransformUnder(KTime(0), index == 0 ? nullptr : &above, world);
            const KFbxVector4 at = world.mGlobal.GetT();
            ASSERT_TRUE(std::abs(at[0] - (index + 1)) < 1e-6 && std::abs(at[1] - 0.5 * (index + 1)) < 1e-6 &&
                        std::abs(at[2]) < 1e-6)
                << index << ": (" << at[0] << ", " << at[1] << ", " << at[2] << ")";
        }
    });
}

TEST_F(Writer3dsRoundTripTest, TargetsAreMadeAlongTheLookAtAxes) {
    KFbxLight* spot = KFbxLight::Create(mManager, "");
    spot->SetLightType(KFbxLight::eSPOT);
    AddNode("Spot", spot)->SetLclTranslation(KFbxVector4(1, 2, 3, 0));
    KFbxNode* cameraNode = AddNode("Cam", KFbxCamera::Create(mManager, ""));
    cameraNode->SetLclRotation(KFbxVector4(0, 90, 0, 0));
    ASSERT_TRUE(Export("aim.3ds")) << mLastError;
    WrittenFile file(Path("aim.3ds"));
    const auto spotMotion = file.SpotMotion(0);
    ASSERT_NE(spotMotion, nullptr);
    ASSERT_EQ(spotMotion->targetposition.keycount, 1u);
    // Ten units down the scene's Y from (1, 2, 3): (1, -8, 3), in the file's axes.
    EXPECT_TRUE(Near(spotMotion->targetposition.values[0], 1, -3, -8));
    const auto spotRecord = file.Spot(0);
    ASSERT_NE(spotRecord, nullptr);
    EXPECT_TRUE(Near(spotRecord->spot->target, 1, -3, -8));
    // The camera turned a quarter about Y looks down the scene's -Z.
    const auto cameraMotion = file.CameraMotion(0);
    ASSERT_NE(cameraMotion, nullptr);
    EXPECT_TRUE(Near(cameraMotion->targetposition.values[0], 0, 10, 0, 1e-5));
    EXPECT_NEAR(cameraMotion->roll.values[0], 0.0, 1e-4);
}

// How far the writer may turn a line of sight next to straight up or down,
// with what floats add; and whether a line is one it may turn.
constexpr double kMostSightChange = 0.224;

bool NextToPlumb(const KFbxVector4& line) { return std::abs(line[1]) > 0.9999 * line.Length(); }

double AngleBetween(KFbxVector4 a, KFbxVector4 b) {
    a.Normalize();
    b.Normalize();
    return std::acos(std::clamp(a.DotProduct(b), -1.0, 1.0)) * 57.29577951308232;
}

// The part of the vector square to the line.
KFbxVector4 SquareTo(const KFbxVector4& line, const KFbxVector4& vector) {
    KFbxVector4 unit = line;
    unit.Normalize();
    return vector - unit * vector.DotProduct(unit);
}

// A camera's line of sight and up, square to it, in the scene at a time: an
// aimed camera's towards its target and its up node or along its up vector;
// another's along its own X and Y axes.
std::pair<KFbxVector4, KFbxVector4> SceneCameraAxes(KFbxNode* camera, KTime time) {
    const KgeMatrix world = camera->EvaluateGlobalTransform(time);
    const KFbxVector4 eye = world.GetT();
    if (KFbxNode* target = camera->GetTarget()) {
        const KFbxVector4 up = camera->GetTargetUp() != nullptr
                                   ? camera->GetTargetUp()->EvaluateGlobalTransform(time).GetT() - eye
                                   : dynamic_cast<KFbxCamera*>(camera->GetNodeAttribute())->GetUpVector();
        const KFbxVector4 line = target->EvaluateGlobalTransform(time).GetT() - eye;
        return {line, SquareTo(line, up)};
    }
    const KFbxVector4 line = world.MultT(KFbxVector4(1, 0, 0, 0)) - eye;
    return {line, SquareTo(line, world.MultT(KFbxVector4(0, 1, 0, 0)) - eye)};
}

#ifdef QALIMOR_HAVE_LIB3DS
// The file's point of a scene point: (x, -z, y).
KFbxVector4 InFile(const KFbxVector4& point) { return KFbxVector4(point[0], -point[2], point[1], 0.0); }

::testing::AssertionResult NearPoint(const KFbxVector4& expected, const float* actual, double tolerance = 1e-3) {
    for (int axis = 0; axis < 3; ++axis) {
        if (!(std::abs(expected[axis] - actual[axis]) < tolerance)) {
            return ::testing::AssertionFailure() << "(" << actual[0] << ", " << actual[1] << ", " << actual[2]
                                                 << ") instead of (" << expected[0] << ", " << expected[1] << ", "
                                                 << expected[2] << ")";
        }
    }
    return ::testing::AssertionSuccess();
}

// The up direction lib3ds gives an evaluated camera from where it stands,
// where its target stands and its roll (degrees in the file, radians for
// lib3ds's matrix), in the file's axes.
KFbxVector4 Lib3dsUp(Lib3dsNode* camera, Lib3dsNode* target) {
    Lib3dsMatrix view;
    lib3ds_matrix_camera(view, camera->matrix[3], target->matrix[3],
                         static_cast<Lib3dsFloat>(camera->data.camera.roll * 0.017453292519943295));
    lib3ds_matrix_inv(view);
    Lib3dsVector origin = {0.0f, 0.0f, 0.0f};
    Lib3dsVector up = {0.0f, 0.0f, 1.0f};
    Lib3dsVector from;
    Lib3dsVector to;
    lib3ds_vector_transform(from, view, origin);
    lib3ds_vector_transform(to, view, up);
    return KFbxVector4(to[0] - from[0], to[1] - from[1], to[2] - from[2], 0.0);
}

// The frame of the last key of the tracks; -1 for none.
template <class... Key>
Lib3dsIntd LastKeyFrame(const Key*... tracks) {
    Lib3dsIntd last = -1;
    const auto walk = [&last](const auto* key) {
        for (; key != nullptr; key = key->next) last = std::max(last, key->tcb.frame);
    };
    (walk(tracks), ...);
    return last;
}

// A keyframer node as lib3ds has it: kind, name ("name.instance" for an
// instance), its parent's name alike, and where it stands at frames 0 and 5.
struct Lib3dsNodeAt {
    int mType;
    std::string mName;
    std::string mParent;
    std::array<float, 6> mAt;
};

void SortNodes(std::vector<Lib3dsNodeAt>& nodes) {
    std::sort(nodes.begin(), nodes.end(), [](const Lib3dsNodeAt& a, const Lib3dsNodeAt& b) {
        return std::tie(a.mType, a.mName) < std::tie(b.mType, b.mName);
    });
}

std::vector<Lib3dsNodeAt> Lib3dsNodes(const std::string& path) {
    std::vector<Lib3dsNodeAt> nodes;
    Lib3dsFile* file = lib3ds_file_load(path.c_str());
    if (file == nullptr) {
        return nodes;
    }
    for (const int frame : {0, 5}) {
        lib3ds_file_eval(file, static_cast<float>(frame));
        std::size_t index = 0;
        std::vector<Lib3dsNode*> pending{file->nodes};
        while (!pending.empty()) {
            Lib3dsNode* node = pending.back();
            pending.pop_back();
            if (node == nullptr) {
                continue;
            }
            pending.push_back(node->next);
            pending.push_back(node->childs);
            if (frame == 0) {
                const auto nameOf = [](const Lib3dsNode* named) {
                    std::string name = named->name;
                    if (named->type == LIB3DS_OBJECT_NODE && named->data.object.instance[0] != '\0') {
                        name += std::string(".") + named->data.object.instance;
                    }
                    return name;
                };
                nodes.push_back({node->type, nameOf(node), node->parent != nullptr ? nameOf(node->parent) : "", {}});
            }
            for (int axis = 0; axis < 3; ++axis) {
                nodes[index].mAt[static_cast<std::size_t>(frame == 0 ? axis : 3 + axis)] = node->matrix[3][axis];
            }
            ++index;
        }
    }
    lib3ds_file_free(file);
    SortNodes(nodes);
    return nodes;
}

::testing::AssertionResult SameNodes(const std::vector<Lib3dsNodeAt>& expected,
                                     const std::vector<Lib3dsNodeAt>& actual) {
    if (expected.size() != actual.size()) {
        return ::testing::AssertionFailure() << actual.size() << " nodes instead of " << expected.size();
    }
    for (std::size_t node = 0; node < expected.size(); ++node) {
        const Lib3dsNodeAt& a = expected[node];
        const Lib3dsNodeAt& b = actual[node];
        if (a.mType != b.mType || a.mName != b.mName || a.mParent != b.mParent) {
            return ::testing::AssertionFailure() << "node " << b.mName << " under \"" << b.mParent
                                                 << "\" instead of " << a.mName << " under \"" << a.mParent << "\"";
        }
        for (std::size_t at = 0; at < a.mAt.size(); ++at) {
            if (!(std::abs(a.mAt[at] - b.mAt[at]) < 1e-3)) {
                return ::testing::AssertionFailure() << b.mName << " stands elsewhere: " << b.mAt[at] << " for "
                                                     << a.mAt[at];
            }
        }
    }
    return ::testing::AssertionSuccess();
}

TEST_F(Writer3dsRoundTripTest, FilesReadAndWrittenAgainKeepTheirKeyframerNodes) {
    KFbxNode* box = AddNode("Box", Quad());
    box->SetLclTranslation(KFbxVector4(1, 2, 3, 0));
    Key(box, &KFbxTakeNode::GetTranslationX, 0, 1.0);
    Key(box, &KFbxTakeNode::GetTranslationX, 10, 6.0);
    KFbxNode* camera = AddNode("Cam", KFbxCamera::Create(mManager, ""));
    camera->SetLclTranslation(KFbxVector4(0, 1, 10, 0));
    KFbxNode* cameraAim = AddNode("CamAim");
    Key(cameraAim, &KFbxTakeNode::GetTranslationY, 0, 0.0);
    Key(cameraAim, &KFbxTakeNode::GetTranslationY, 10, 3.0);
    camera->SetTarget(cameraAim);
    KFbxLight* light = KFbxLight::Create(mManager, "");
    light->SetLightType(KFbxLight::eSPOT);
    KFbxNode* spot = AddNode("Spot", light);
    spot->SetLclTranslation(KFbxVector4(0, 4, 4, 0));
    KFbxNode* spotAim = AddNode("SpotAim");
    spotAim->SetLclTranslation(KFbxVector4(0, 0, -5, 0));
    spot->SetTarget(spotAim);
    // The targets are the target tracks only: a box, a camera and a spot
    // light, each of the two with its target.
    std::vector<Lib3dsNodeAt> first;
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        const std::string name = "round" + std::to_string(round) + ".3ds";
        ASSERT_TRUE(Export(name)) << mLastError;
        const std::vector<Lib3dsNodeAt> nodes = Lib3dsNodes(Path(name));
        if (round == 0) {
            first = nodes;
            EXPECT_EQ(first.size(), 5u);
        } else {
            EXPECT_TRUE(SameNodes(first, nodes));
        }
        mScene = KFbxScene::Create(mManager, "");
        ASSERT_TRUE(ImportInto(mScene, name)) << mLastError;
    }
}

// Keyframer nodes are numbered in 16 bits, 0xFFFF naming none: as many nodes
// as there are numbers are read back by lib3ds under their parents, and one
// more is refused instead of being numbered anew from 0.
TEST_F(Writer3dsRoundTripTest, KeyframerNodesUpToTheLastNumberAreWrittenAndOneMoreIsRefused) {
    constexpr int kGroups = 255;
    constexpr int kMembers = 256;
    static_assert(kGroups * (1 + kMembers) == kMaxKeyframerNodes3ds);
    std::vector<Lib3dsNodeAt> expected;
    for (int group = 0; group < kGroups; ++group) {
        // lib3ds looks a parent up the slower the more nodes come before it
        // by name: meshes named downwards keep the read to seconds.
        const std::string groupName = "G" + std::to_string(999 - group);
        KFbxNode* parent = AddNode(groupName.c_str(), Quad());
        parent->SetLclTranslation(KFbxVector4(group, 0, 0, 0));
        const auto x = static_cast<float>(group);
        expected.push_back({LIB3DS_OBJECT_NODE, groupName, "", {x, 0, 0, x, 0, 0}});
        for (int member = 0; member < kMembers; ++member) {
            // Within the seven characters the file keeps of a name.
            const std::string name = "N" + std::to_string(group * kMembers + member);
            AddNode(name.c_str(), nullptr, parent)->SetLclTranslation(KFbxVector4(0, member, 0, 0));
            const auto z = static_cast<float>(member);
            expected.push_back({LIB3DS_OBJECT_NODE, "$$$DUMMY." + name, groupName, {x, 0, z, x, 0, z}});
        }
    }
    ASSERT_TRUE(Export("full.3ds", OptionsWith("RESCALING", false))) << mLastError;
    SortNodes(expected);
    EXPECT_TRUE(SameNodes(expected, Lib3dsNodes(Path("full.3ds"))));

    AddNode("Extra");
    EXPECT_FALSE(Export("over.3ds", OptionsWith("RESCALING", false)));
    EXPECT_NE(mLastError.find("needs 65536 keyframer nodes"), std::string::npos) << mLastError;
    EXPECT_NE(mLastError.find("numbers at most 65535"), std::string::npos) << mLastError;
    EXPECT_FALSE(std::filesystem::exists(Path("over.3ds")));
}

// Textures of one file name in several folders, and files of that name
// beside the written file: each mesh's map, as lib3ds reads it, names a file
// of its texture's bytes, within the 12 characters a map's name holds, or
// the message says that no such name is free.
TEST_F(Writer3dsRoundTripTest, Lib3dsFindsEachMeshsOwnTextureUnderOneName) {
    // The texture's name taken, and its first nine numbered ones.
    const auto taken = [](const std::string& stem, const std::string& numberedStem, const std::string& extension) {
        std::map<std::string, std::string> files = {{"a/" + stem + extension, "a"}, {"b/" + stem + extension, "b"},
                                                    {"out/" + stem + extension, "?"}};
        for (const char* number : {"1", "2", "3", "4", "5", "6", "7", "8", "9"}) {
            files["out/" + numberedStem + number + extension] = "?";
        }
        return files;
    };
    // Files there before; per mesh its texture and its map's name; the
    // message; the files there before that everyone may write.
    using Files = std::map<std::string, std::string>;
    struct Row {
        Files files;
        std::vector<std::array<std::string, 2>> meshes;
        std::string message;
        std::set<std::string> everyone{};
    };
    const Row rows[] = {
        {{{"a/diffuse.png", "a"}, {"b/diffuse.png", "b"}},
         {{"a/diffuse.png", "diffuse.png"}, {"b/diffuse.png", "diffuse1.png"}},
         ""},
        // An own file of the first texture's bytes that everyone may write
        // is no copy of it.
        {{{"a/diffuse.png", "a"}, {"b/diffuse.png", "b"}, {"out/diffuse.png", "a"}},
         {{"a/diffuse.png", "diffuse1.png"}, {"b/diffuse.png", "diffuse2.png"}},
         "",
         {"out/diffuse.png"}},
        {taken("diffuse", "diffuse", ".png"),
         {{"a/diffuse.png", "diffus10.png"}, {"b/diffuse.png", "diffus11.png"}},
         ""},
        {taken("a", "", ".bcdefghijk"), {{"a/a.bcdefghijk", "a.bcdefghijk"}, {"b/a.bcdefghijk", "a.bcdefghijk"}},
         "The texture file \"" + Path("a/a.bcdefghijk") + "\" is not copied: \"" + Path("out/a.bcdefghijk") +
             "\" and the 9 names numbered after it are taken.\nThe texture file \"" + Path("b/a.bcdefghijk") +
             "\" is not copied: \"" + Path("out/a.bcdefghijk") + "\" and the 9 names numbered after it are taken.\n"}};
    for (const auto& [files, meshes, message, everyone] : rows) {
        SCOPED_TRACE(meshes.back()[1]);
        mScene->Clear();
        for (const char* folder : {"a", "b", "out"}) std::filesystem::remove_all(Path(folder));
        std::filesystem::create_directory(Path("out"));
        for (const auto& [name, bytes] : files) {
            std::filesystem::create_directories(std::filesystem::path(Path(name)).parent_path());
            mFolder.Write(name, bytes);
            ASSERT_EQ(chmod(Path(name).c_str(), everyone.count(name) != 0 ? 0666 : 0644), 0);
        }
        const char* const nodes[] = {"First", "Second"};
        for (std::size_t node = 0; node < meshes.size(); ++node) {
            KFbxMesh* quad = Quad();
            quad->AddTexture(Texture(nodes[node], Path(meshes[node][0])));
            quad->GetLayer(0)->GetTextures()->SetMappingMode(KFbxLayerElement::eALL_SAME);
            quad->GetLayer(0)->GetTextures()->GetIndexArray().Add(0);
            AddNode(nodes[node], quad);
        }
        ASSERT_TRUE(Export("out/scene.3ds")) << mLastError;
        EXPECT_EQ(std::string(mMessage.Buffer()), message);
        Lib3dsFile* file = lib3ds_file_load(Path("out/scene.3ds").c_str());
        ASSERT_NE(file, nullptr);
        for (std::size_t node = 0; node < meshes.size(); ++node) {
            const Lib3dsMesh* mesh = lib3ds_file_mesh_by_name(file, nodes[node]);
            ASSERT_TRUE(mesh != nullptr && mesh->faces > 0);
            const Lib3dsMaterial* material = lib3ds_file_material_by_name(file, mesh->faceL[0].material);
            ASSERT_NE(material, nullptr);
            EXPECT_EQ(std::string(material->texture1_map.name), meshes[node][1]);
            if (message.empty()) {
                EXPECT_EQ(mFolder.Read("out/" + meshes[node][1]), files.at(meshes[node][0]));
            }
        }
        lib3ds_file_free(file);
        for (const auto& [name, bytes] : files) EXPECT_EQ(mFolder.Read(name), bytes) << name;
    }
}

TEST_F(Writer3dsRoundTripTest, Lib3dsSeesWorldPointsKeysParentsAndColours) {
    // Two meshes under one another; the lower one turns about two axes at once.
    KFbxMesh* boxMesh = Quad();
    boxMesh->AddMaterial(Phong("Sand", 0.870588, 0.5, 0.25));
    KFbxNode* box = AddNode("Box", boxMesh);
    box->SetLclTranslation(KFbxVector4(1, 2, 3, 0));
    box->SetLclRotation(KFbxVector4(10, 20, 30, 0));
    box->SetLclScaling(KFbxVector4(2, 2, 2, 0));
    KFbxNode* lid = AddNode("Lid", Quad(), box);
    lid->SetLclTranslation(KFbxVector4(0, 1, 0, 0));
    Key(lid, &KFbxTakeNode::GetEulerRotationX, 0, 0.0);
    Key(lid, &KFbxTakeNode::GetEulerRotationX, 10, 90.0);
    Key(lid, &KFbxTakeNode::GetEulerRotationY, 0, 0.0);
    Key(lid, &KFbxTakeNode::GetEulerRotationY, 10, 90.0);
    // A spot and a camera under the box, the spot with a target beside it.
    KFbxLight* spot = KFbxLight::Create(mManager, "");
    spot->SetLightType(KFbxLight::eSPOT);
    KFbxNode* spotNode = AddNode("Spot", spot, box);
    spotNode->SetLclTranslation(KFbxVector4(0, 4, 0, 0));
    KFbxNode* spotAim = AddNode("SpotAim", nullptr, box);
    spotAim->SetLclTranslation(KFbxVector4(1, 0, 0, 0));
    spotNode->SetTarget(spotAim);
    KFbxNode* cameraNode = AddNode("Cam", KFbxCamera::Create(mManager, ""), box);
    cameraNode->SetLclTranslation(KFbxVector4(0, 0, 5, 0));
    cameraNode->SetLclRotation(KFbxVector4(0, 30, 0, 0));
    KFbxNode* lens = AddNode("Lens", Quad(), cameraNode);
    lens->SetLclTranslation(KFbxVector4(0, 0, 1, 0));
    ASSERT_TRUE(Export("lib3ds.3ds")) << mLastError;

    Lib3dsFile* file = lib3ds_file_load(Path("lib3ds.3ds").c_str());
    ASSERT_NE(file, nullptr);
    const KFbxVector4 corners[4] = {KFbxVector4(0, 0, 0, 1), KFbxVector4(1, 0, 0, 1), KFbxVector4(1, 1, 0, 1),
                                    KFbxVector4(0, 1, 0, 1)};
    // The raw points are where the scene has them, under the camera's turn too.
    for (KFbxNode* node : {box, lid, lens}) {
        Lib3dsMesh* mesh = lib3ds_file_mesh_by_name(file, node->GetName());
        ASSERT_NE(mesh, nullptr) << node->GetName();
        ASSERT_EQ(mesh->points, 4u);
        const KgeMatrix world = node->EvaluateGlobalTransform(KTime(0));
        for (int point = 0; point < 4; ++point) {
            EXPECT_TRUE(NearPoint(InFile(world.MultT(corners[point])), mesh->pointL[point].pos))
                << node->GetName() << " point " << point;
        }
    }
    // Lights and cameras where the scene has them; the camera without target
    // looks ten units along its own X axis.
    const auto worldOf = [](KFbxNode* node, const KFbxVector4& offset) {
        return InFile(node->EvaluateGlobalTransform(KTime(0)).MultT(offset));
    };
    const KFbxVector4 origin(0, 0, 0, 1);
    Lib3dsLight* light = lib3ds_file_light_by_name(file, "Spot");
    ASSERT_NE(light, nullptr);
    EXPECT_TRUE(NearPoint(worldOf(spotNode, origin), light->position));
    EXPECT_TRUE(NearPoint(worldOf(spotAim, origin), light->spot));
    Lib3dsCamera* camera = lib3ds_file_camera_by_name(file, "Cam");
    ASSERT_NE(camera, nullptr);
    EXPECT_TRUE(NearPoint(worldOf(cameraNode, origin), camera->position));
    EXPECT_TRUE(NearPoint(worldOf(cameraNode, KFbxVector4(10, 0, 0, 1)), camera->target));
    // At the start each object node stands where its mesh matrix says, so
    // that raw points and placed points agree; the targets stand where the
    // records have them (lib3ds files a spot's target as its spot node).
    lib3ds_file_eval(file, 0.0f);
    Lib3dsNode* spotTarget = lib3ds_file_node_by_name(file, "Spot", LIB3DS_SPOT_NODE);
    Lib3dsNode* cameraTarget = lib3ds_file_node_by_name(file, "Cam", LIB3DS_TARGET_NODE);
    ASSERT_TRUE(spotTarget != nullptr && cameraTarget != nullptr);
    EXPECT_TRUE(NearPoint(worldOf(spotAim, origin), spotTarget->matrix[3]));
    EXPECT_TRUE(NearPoint(worldOf(cameraNode, KFbxVector4(10, 0, 0, 1)), cameraTarget->matrix[3]));
    for (Lib3dsMesh* mesh = file->meshes; mesh != nullptr; mesh = mesh->next) {
        Lib3dsNode* node = lib3ds_file_node_by_name(file, mesh->name, LIB3DS_OBJECT_NODE);
        ASSERT_NE(node, nullptr) << mesh->name;
        for (int row = 0; row < 4; ++row) {
            for (int column = 0; column < 3; ++column) {
                EXPECT_NEAR(node->matrix[row][column], mesh->matrix[row][column], 1e-4) << mesh->name;
            }
        }
    }
    // The keyframer puts the lid where the scene has it at every key.
    Lib3dsNode* lidNode = lib3ds_file_node_by_name(file, "Lid", LIB3DS_OBJECT_NODE);
    ASSERT_NE(lidNode, nullptr);
    ASSERT_NE(lidNode->parent, nullptr);
    EXPECT_STREQ(lidNode->parent->name, "Box");
    for (int frame = 0; frame <= 10; ++frame) {
        lib3ds_file_eval(file, static_cast<float>(frame));
        const KgeMatrix world = lid->EvaluateGlobalTransform(Frame(frame));
        for (const KFbxVector4& corner : corners) {
            // The node's matrix takes the object's own points, in the file's axes.
            const KFbxVector4 own = InFile(corner);
            float placed[3];
            for (int axis = 0; axis < 3; ++axis) {
                placed[axis] = static_cast<float>(own[0] * lidNode->matrix[0][axis] + own[1] * lidNode->matrix[1][axis] +
                                                  own[2] * lidNode->matrix[2][axis] + lidNode->matrix[3][axis]);
            }
            EXPECT_TRUE(NearPoint(InFile(world.MultT(corner)), placed)) << "frame " << frame;
        }
    }
    // The colour to the nearest byte.
    Lib3dsMaterial* sand = lib3ds_file_material_by_name(file, "Sand");
    ASSERT_NE(sand, nullptr);
    EXPECT_NEAR(sand->diffuse[0], 0.870588, 0.5 / 255);
    EXPECT_NEAR(sand->diffuse[2], 0.25, 0.5 / 255);
    lib3ds_file_free(file);
}
#endif

// What a child inherits from its parent, the child turning about its own Y:
// mirrored frames (a negative scale on a parent, on a child or on both,
// under turns and uneven scales), uneven scalings, and the turns of cameras
// and lights, whose keyframer nodes pass none on. The parent is a mesh, a
// group (a node without attribute), a camera or a light. Under each parent
// stand two cameras as well: one aimed at a node elsewhere, up along its up
// vector or towards an up node, and one that looks along its own axis.
enum class ParentKind { eMesh, eGroup, eCamera, eSpotLight, ePointLight };

struct InheritedFrameCase {
    const char* mName;
    KFbxVector4 mParentRotation = KFbxVector4(0, 0, 0, 0);
    KFbxVector4 mParentScaling = KFbxVector4(1, 1, 1, 0);
    KFbxVector4 mChildRotation = KFbxVector4(0, 0, 0, 0);
    KFbxVector4 mChildScaling = KFbxVector4(1, 1, 1, 0);
    ParentKind mParent = ParentKind::eMesh;
    // The child's turn under the parent's uneven scaling shears it: keys
    // hold it at their start only.
    bool mShears = false;
    // How far the parent turns from frame 0 to frame 10.
    KFbxVector4 mParentTurn = KFbxVector4(0, 45, 0, 0);
    // The aimed camera's up vector, or whether it looks up towards a node.
    KFbxVector4 mCameraUp = KFbxVector4(0, 1, 0, 0);
    bool mUpNode = false;
    // How far the aimed camera's target and up node move from frame 0 to
    // frame 10.
    KFbxVector4 mAimMove = KFbxVector4(0, 0, 0, 0);
    KFbxVector4 mUpMove = KFbxVector4(0, 0, 0, 0);
    // Where the parent stands, and the other camera in it.
    KFbxVector4 mParentAt = KFbxVector4(1, 2, 3, 0);
    KFbxVector4 mCameraAt = KFbxVector4(1, 0, 2, 0);
    KFbxVector4 mCameraRotation = KFbxVector4(10, 25, 15, 0);
    // Where the aimed camera's target stands at the start.
    KFbxVector4 mAimAt = KFbxVector4(4, 1, -3, 0);
    // How the parent's turn goes on past its last key, and the frame of that
    // key; the frame the target and the up node move to, the last one
    // looked at; and whether the target hangs under the parent.
    KFCurveExtrapolationMode mParentAfter = KFCURVE_EXTRAPOLATION_CONSTANT;
    double mParentLastKey = 10;
    int mLastFrame = 10;
    bool mAimUnderParent = false;
};

const InheritedFrameCase kInheritedFrameCases[] = {
    {"mirrored parent", KFbxVector4(0, 0, 0, 0), KFbxVector4(-1, 1, 1, 0), KFbxVector4(0, 0, 0, 0),
     KFbxVector4(1, 1, 1, 0)},
    {"mirrored child", KFbxVector4(10, 20, 30, 0), KFbxVector4(1, 1, 1, 0), KFbxVector4(0, 0, 0, 0),
     KFbxVector4(1, 1, -2, 0)},
    {"both mirrored", KFbxVector4(10, 20, 30, 0), KFbxVector4(-1, 1, 1, 0), KFbxVector4(0, 45, 0, 0),
     KFbxVector4(1, -1, 1, 0)},
    {"mirrored on every axis", KFbxVector4(0, 0, 90, 0), KFbxVector4(-1, -1, -1, 0), KFbxVector4(0, 0, 0, 0),
     KFbxVector4(1, 1, 1, 0)},
    // The child turns about the parent's axis of the odd length, so that it
    // does not shear.
    {"mirrored unevenly", KFbxVector4(0, 30, 0, 0), KFbxVector4(-2, 3, 2, 0), KFbxVector4(0, 0, 0, 0),
     KFbxVector4(1, 1, 1, 0)},
    {"mirrored group, turned child", KFbxVector4(0, 0, 0, 0), KFbxVector4(-1, 1, 1, 0), KFbxVector4(0, 30, 0, 0),
     KFbxVector4(1, 1, 1, 0), ParentKind::eGroup},
    {"unevenly scaled parent", KFbxVector4(10, 40, 0, 0), KFbxVector4(1, 2, 3, 0), KFbxVector4(0, 30, 0, 0),
     KFbxVector4(1, 1, 1, 0), ParentKind::eMesh, true},
    // Turned about the vertical only: assimp turns a camera's node by its roll.
    {"under a camera", KFbxVector4(0, 40, 0, 0), KFbxVector4(1, 1, 1, 0), KFbxVector4(0, 30, 0, 0),
     KFbxVector4(1, 1, 1, 0), ParentKind::eCamera},
    {"under a spot light", KFbxVector4(10, 40, 0, 0), KFbxVector4(1, 1, 1, 0), KFbxVector4(0, 30, 0, 0),
     KFbxVector4(1, 1, 1, 0), ParentKind::eSpotLight},
    {"under a point light", KFbxVector4(10, 40, 0, 0), KFbxVector4(2, 2, 2, 0), KFbxVector4(0, 30, 0, 0),
     KFbxVector4(1, 1, 1, 0), ParentKind::ePointLight},
    // The cameras' view and up come from the aim, not from the parent's turn.
    {"cameras under a parent turned about X", KFbxVector4(60, 0, 0, 0), KFbxVector4(1, 1, 1, 0),
     KFbxVector4(0, 0, 0, 0), KFbxVector4(1, 1, 1, 0), ParentKind::eGroup},
    {"cameras under a parent turning about X", KFbxVector4(10, 0, 0, 0), KFbxVector4(1, 1, 1, 0),
     KFbxVector4(0, 0, 0, 0), KFbxVector4(1, 1, 1, 0), ParentKind::eMesh, false, KFbxVector4(70, 0, 0, 0)},
    {"camera aimed with a leaning up vector", KFbxVector4(0, 30, 0, 0), KFbxVector4(1, 1, 1, 0),
     KFbxVector4(0, 0, 0, 0), KFbxVector4(1, 1, 1, 0), ParentKind::eGroup, false, KFbxVector4(0, 45, 0, 0),
     KFbxVector4(1, 1, 0, 0)},
    {"camera aimed up towards a node", KFbxVector4(20, 0, 0, 0), KFbxVector4(1, 1, 1, 0), KFbxVector4(0, 0, 0, 0),
     KFbxVector4(1, 1, 1, 0), ParentKind::eSpotLight, false, KFbxVector4(30, 20, 0, 0), KFbxVector4(0, 1, 0, 0),
     true},
    // Still cameras whose roll follows what they look at and up towards.
    {"still camera aimed at a moving target", KFbxVector4(0, 30, 0, 0), KFbxVector4(1, 1, 1, 0),
     KFbxVector4(0, 0, 0, 0), KFbxVector4(1, 1, 1, 0), ParentKind::eGroup, false, KFbxVector4(0, 0, 0, 0),
     KFbxVector4(1, 1, 0, 0), false, KFbxVector4(-6, 4, 9, 0)},
    {"still camera aimed up towards a moving node", KFbxVector4(0, 30, 0, 0), KFbxVector4(1, 1, 1, 0),
     KFbxVector4(0, 0, 0, 0), KFbxVector4(1, 1, 1, 0), ParentKind::eMesh, false, KFbxVector4(0, 0, 0, 0),
     KFbxVector4(0, 1, 0, 0), true, KFbxVector4(0, 0, 0, 0), KFbxVector4(8, -2, -9, 0)},
    // Looking straight down from x = z = 0, where the floats keep what the
    // turn leaves across the ground.
    {"top view", KFbxVector4(0, 0, 0, 0), KFbxVector4(1, 1, 1, 0), KFbxVector4(0, 0, 0, 0), KFbxVector4(1, 1, 1, 0),
     ParentKind::eGroup, false, KFbxVector4(0, 0, 0, 0), KFbxVector4(0, 1, 0, 0), false, KFbxVector4(0, 0, 0, 0),
     KFbxVector4(0, 0, 0, 0), KFbxVector4(0, 2, 0, 0), KFbxVector4(0, 5, 0, 0), KFbxVector4(0, 0, -90, 0)},
    // Aimed straight down or up in the world, where readers compose the
    // camera's and the target's points in floats through the parent.
    {.mName = "looking down under a parent turned about Z far off", .mParentRotation = KFbxVector4(0, 0, 90, 0),
     .mParentScaling = KFbxVector4(1, 1, 1, 0), .mChildRotation = KFbxVector4(0, 0, 0, 0),
     .mChildScaling = KFbxVector4(1, 1, 1, 0), .mParent = ParentKind::eGroup, .mParentTurn = KFbxVector4(0, 0, 0, 0),
     .mCameraUp = KFbxVector4(1, 0, 1, 0), .mParentAt = KFbxVector4(10000, 0, 10000, 0),
     .mAimAt = KFbxVector4(9999, -4, 10002, 0)},
    {.mName = "looking up under a parent turned about Z far off", .mParentRotation = KFbxVector4(0, 0, 90, 0),
     .mParentScaling = KFbxVector4(1, 1, 1, 0), .mChildRotation = KFbxVector4(0, 0, 0, 0),
     .mChildScaling = KFbxVector4(1, 1, 1, 0), .mParent = ParentKind::eGroup, .mParentTurn = KFbxVector4(0, 0, 0, 0),
     .mCameraUp = KFbxVector4(1, 0, 1, 0), .mParentAt = KFbxVector4(10000, 0, 10000, 0),
     .mAimAt = KFbxVector4(9999, 4, 10002, 0)},
    {.mName = "looking down under a mirrored parent", .mParentRotation = KFbxVector4(0, 0, 90, 0),
     .mParentScaling = KFbxVector4(-1, 1, 1, 0), .mChildRotation = KFbxVector4(0, 0, 0, 0),
     .mChildScaling = KFbxVector4(1, 1, 1, 0), .mParent = ParentKind::eGroup, .mParentTurn = KFbxVector4(0, 0, 0, 0),
     .mCameraUp = KFbxVector4(1, 0, 1, 0), .mParentAt = KFbxVector4(1, 2, 3, 0),
     .mCameraRotation = KFbxVector4(0, 0, 0, 0), .mAimAt = KFbxVector4(0, -2, 5, 0)},
    {.mName = "looking down far off", .mParentRotation = KFbxVector4(0, 30, 0, 0),
     .mParentScaling = KFbxVector4(1, 1, 1, 0), .mChildRotation = KFbxVector4(0, 0, 0, 0),
     .mChildScaling = KFbxVector4(1, 1, 1, 0), .mParent = ParentKind::eGroup, .mParentTurn = KFbxVector4(0, 0, 0, 0),
     .mCameraUp = KFbxVector4(1, 0, 1, 0), .mParentAt = KFbxVector4(1000, 7, -1000, 0),
     .mAimAt = KFbxVector4(1001, 2, -998.2679491924311, 0)},
    {.mName = "looking down within a float", .mParentRotation = KFbxVector4(0, 0, 90, 0),
     .mParentScaling = KFbxVector4(1, 1, 1, 0), .mChildRotation = KFbxVector4(0, 0, 0, 0),
     .mChildScaling = KFbxVector4(1, 1, 1, 0), .mParent = ParentKind::eGroup, .mParentTurn = KFbxVector4(0, 0, 0, 0),
     .mCameraUp = KFbxVector4(1, 0, 1, 0), .mParentAt = KFbxVector4(1, 2, 3, 0),
     .mAimAt = KFbxVector4(1e-7, -2, 5, 0)},
    // Aimed a hair off straight down or up, up along the world's up: the
    // scene's up is then the way the line leans, or the opposite.
    {.mName = "looking down a hair off straight", .mParent = ParentKind::eGroup,
     .mParentTurn = KFbxVector4(0, 0, 0, 0), .mParentAt = KFbxVector4(0, 0, 0, 0), .mAimAt = KFbxVector4(8.7e-4, -4, 2, 0)},
    {.mName = "looking up a hair off straight", .mParent = ParentKind::eGroup, .mParentTurn = KFbxVector4(0, 0, 0, 0),
     .mParentAt = KFbxVector4(0, 0, 0, 0), .mAimAt = KFbxVector4(0, 6, 2.00087, 0)},
    {.mName = "looking down a tenth of a degree off far off", .mParentRotation = KFbxVector4(0, 0, 90, 0),
     .mParent = ParentKind::eGroup, .mParentTurn = KFbxVector4(0, 0, 0, 0),
     .mParentAt = KFbxVector4(10000, 0, 10000, 0), .mAimAt = KFbxVector4(9999.00698, -4, 10002, 0)},
    // A thousandth of a degree off straight down under parents that make the
    // same world frame, a half turn about Z, or mirror it in Y.
    {.mName = "a thousandth off straight down under (-1, -1, 1)", .mParentScaling = KFbxVector4(-1, -1, 1, 0),
     .mParent = ParentKind::eGroup, .mParentTurn = KFbxVector4(0, 0, 0, 0), .mAimAt = KFbxVector4(1.0000698, -3, 5, 0)},
    {.mName = "a thousandth off straight down under a half turn about Z", .mParentRotation = KFbxVector4(0, 0, 180, 0),
     .mParent = ParentKind::eGroup, .mParentTurn = KFbxVector4(0, 0, 0, 0), .mAimAt = KFbxVector4(1.0000698, -3, 5, 0)},
    {.mName = "a thousandth off straight down under a mirror in Y", .mParentScaling = KFbxVector4(1, -1, 1, 0),
     .mParent = ParentKind::eGroup, .mParentTurn = KFbxVector4(0, 0, 0, 0), .mAimAt = KFbxVector4(1.0000698, -3, 5, 0)},
    {.mName = "a thousandth off straight down up towards a node under a mirror in Y",
     .mParentScaling = KFbxVector4(1, -1, 1, 0), .mParent = ParentKind::eGroup,
     .mParentTurn = KFbxVector4(0, 0, 0, 0), .mUpNode = true, .mAimAt = KFbxVector4(1.0000698, -3, 5, 0)},
    // A parent that the scene still moves past its last key, or between it
    // and the next frame, above a target that moves to frame 100.
    {.mName = "parent repeating its turn", .mParent = ParentKind::eGroup, .mAimMove = KFbxVector4(-6, 4, 9, 0),
     .mParentAfter = KFCURVE_EXTRAPOLATION_REPETITION, .mLastFrame = 100, .mAimUnderParent = true},
    {.mName = "parent keeping the slope of its turn", .mAimMove = KFbxVector4(-6, 4, 9, 0),
     .mParentAfter = KFCURVE_EXTRAPOLATION_KEEP_SLOPE, .mLastFrame = 100, .mAimUnderParent = true},
    {.mName = "parent's last key between frames", .mParent = ParentKind::eGroup, .mAimMove = KFbxVector4(-6, 4, 9, 0),
     .mParentLastKey = 10.9, .mLastFrame = 100, .mAimUnderParent = true},
    // The scene's last key between frames: the file ends at the frame before.
    {.mName = "last key between frames", .mParent = ParentKind::eGroup, .mParentLastKey = 10.4,
     .mAimUnderParent = true},
};

// Every point of the node's mesh where the scene puts it at the frame.
std::vector<KFbxVector4> WorldPointsAt(KFbxNode* node, int frame) {
    std::vector<KFbxVector4> points;
    const auto* mesh = dynamic_cast<const KFbxMesh*>(node->GetNodeAttribute());
    KTime time;
    time.SetTime(0, 0, 0, frame, 0, KTime::eFrames30);
    const KgeMatrix world = node->EvaluateGlobalTransform(time);
    for (int point = 0; mesh != nullptr && point < mesh->GetControlPointsCount(); ++point) {
        points.push_back(world.MultT(mesh->GetControlPoints()[point]));
    }
    return points;
}

TEST_F(Writer3dsRoundTripTest, InheritedFramesAreReadBackWhereTheyStand) {
    for (const InheritedFrameCase& test : kInheritedFrameCases) {
        SCOPED_TRACE(test.mName);
        mScene = KFbxScene::Create(mManager, "");
        KFbxNodeAttribute* attribute = nullptr;
        if (test.mParent == ParentKind::eCamera) {
            attribute = KFbxCamera::Create(mManager, "");
        } else if (test.mParent == ParentKind::eSpotLight || test.mParent == ParentKind::ePointLight) {
            KFbxLight* light = KFbxLight::Create(mManager, "");
            light->SetLightType(test.mParent == ParentKind::eSpotLight ? KFbxLight::eSPOT : KFbxLight::ePOINT);
            attribute = light;
        } else if (test.mParent == ParentKind::eMesh) {
            attribute = Tetrahedron();
        }
        KFbxNode* parent = AddNode("Parent", attribute);
        parent->SetLclTranslation(test.mParentAt);
        parent->SetLclRotation(test.mParentRotation);
        parent->SetLclScaling(test.mParentScaling);
        KFbxNode* child = AddNode("Child", Tetrahedron(), parent);
        child->SetLclTranslation(KFbxVector4(0, 2, 1, 0));
        child->SetLclRotation(test.mChildRotation);
        child->SetLclScaling(test.mChildScaling);
        Key(child, &KFbxTakeNode::GetEulerRotationY, 0, test.mChildRotation[1]);
        Key(child, &KFbxTakeNode::GetEulerRotationY, 10, test.mChildRotation[1] + 90.0);
        // The parent turns as well, and a light hangs still under it: under a
        // camera or light its keys alone follow the turn.
        for (const auto axis : {&KFbxTakeNode::GetEulerRotationX, &KFbxTakeNode::GetEulerRotationY,
                                &KFbxTakeNode::GetEulerRotationZ}) {
            const int index = axis == &KFbxTakeNode::GetEulerRotationX   ? 0
                              : axis == &KFbxTakeNode::GetEulerRotationY ? 1
                                                                         : 2;
            if (test.mParentTurn[index] != 0.0) {
                Key(parent, axis, 0, test.mParentRotation[index]);
                Key(parent, axis, test.mParentLastKey, test.mParentRotation[index] + test.mParentTurn[index]);
                (parent->GetCurrentTakeNode()->*axis)()->SetPostExtrapolation(test.mParentAfter);
                (parent->GetCurrentTakeNode()->*axis)()->SetPostExtrapolationCount(-1);
            }
        }
        KFbxLight* light = KFbxLight::Create(mManager, "");
        light->SetLightType(KFbxLight::ePOINT);
        KFbxNode* lamp = AddNode("Lamp", light, parent);
        lamp->SetLclTranslation(KFbxVector4(1, 1, 0, 0));
        KFbxCamera* aimed = KFbxCamera::Create(mManager, "");
        aimed->SetUpVector(test.mCameraUp);
        KFbxNode* camX = AddNode("CamX", aimed, parent);
        camX->SetLclTranslation(KFbxVector4(0, 1, 2, 0));
        const auto moving = [this, &test](const char* name, const KFbxVector4& at, const KFbxVector4& move,
                                          KFbxNode* under) {
            KFbxNode* node = AddNode(name, nullptr, under);
            node->SetLclTranslation(at);
            if (move.Length() > 0.0) {
                Key(node, &KFbxTakeNode::GetTranslationX, 0, at[0]);
                Key(node, &KFbxTakeNode::GetTranslationX, test.mLastFrame, at[0] + move[0]);
                Key(node, &KFbxTakeNode::GetTranslationY, 0, at[1]);
                Key(node, &KFbxTakeNode::GetTranslationY, test.mLastFrame, at[1] + move[1]);
                Key(node, &KFbxTakeNode::GetTranslationZ, 0, at[2]);
                Key(node, &KFbxTakeNode::GetTranslationZ, test.mLastFrame, at[2] + move[2]);
            }
            return node;
        };
        KFbxNode* aim = moving("Aim", test.mAimAt, test.mAimMove, test.mAimUnderParent ? parent : nullptr);
        camX->SetTarget(aim);
        if (test.mUpNode) {
            camX->SetTargetUp(moving("Up", KFbxVector4(-6, 3, 5, 0), test.mUpMove, nullptr));
        }
        // Turned so that it looks straight up or down under no parent: the
        // file's up of roll 0 would be that of a line a hair off vertical.
        KFbxNode* camY = AddNode("CamY", KFbxCamera::Create(mManager, ""), parent);
        camY->SetLclTranslation(test.mCameraAt);
        camY->SetLclRotation(test.mCameraRotation);
        ASSERT_TRUE(Export("mirrored.3ds", OptionsWith("RESCALING", false))) << mLastError;
        std::vector<KFbxNode*> meshes{child};
        if (test.mParent == ParentKind::eMesh) {
            meshes.insert(meshes.begin(), parent);
        }
        // Every frame, as the parent may move between keys or past them.
        std::vector<int> frames(static_cast<std::size_t>(test.mLastFrame) + 1);
        std::iota(frames.begin(), frames.end(), 0);
        const auto framesOf = [&test, &frames, child](const KFbxNode* node) {
            return node == child && test.mShears ? std::vector<int>{0} : frames;
        };

        // Our reader: the same world points at every frame, each face still
        // turned away from the inside, each normal pointing out.
        KFbxScene* read = KFbxScene::Create(mManager, "read");
        ASSERT_TRUE(ImportInto(read, "mirrored.3ds", Unscaled())) << mLastError;
        for (KFbxNode* node : meshes) {
            KFbxNode* back = Find(read, node->GetName());
            ASSERT_NE(back, nullptr) << node->GetName();
            ASSERT_TRUE(back->SetCurrentTakeNodeByName("default take"));
            for (const int frame : framesOf(node)) {
                const std::vector<KFbxVector4> expected = WorldPointsAt(node, frame);
                const std::vector<KFbxVector4> actual = WorldPointsAt(back, frame);
                EXPECT_TRUE(SamePoints(expected, actual)) << node->GetName() << " frame " << frame;
                EXPECT_TRUE(SamePoints(actual, expected)) << node->GetName() << " frame " << frame;
            }
            EXPECT_TRUE(FacesAndNormalsPointOut(dynamic_cast<const KFbxMesh*>(back->GetNodeAttribute())))
                << node->GetName();
        }
        KFbxNode* lampBack = Find(read, "Lamp");
        ASSERT_NE(lampBack, nullptr);
        ASSERT_TRUE(lampBack->SetCurrentTakeNodeByName("default take"));
        for (const int frame : frames) {
            EXPECT_TRUE(SamePoints({lamp->EvaluateGlobalTransform(Frame(frame)).GetT()},
                                   {lampBack->EvaluateGlobalTransform(Frame(frame)).GetT()}))
                << "frame " << frame;
        }
        // Each camera looks where the scene has it look, within a fraction
        // of a degree, the aimed one at its target.
        for (KFbxNode* camera : {camX, camY}) {
            KFbxNode* back = Find(read, camera->GetName());
            ASSERT_TRUE(back != nullptr && back->GetTarget() != nullptr) << camera->GetName();
            ASSERT_TRUE(back->SetCurrentTakeNodeByName("default take"));
            ASSERT_TRUE(back->GetTarget()->SetCurrentTakeNodeByName("default take"));
            for (const int frame : frames) {
                const KFbxVector4 sight = back->GetTarget()->EvaluateGlobalTransform(Frame(frame)).GetT() -
                                          back->EvaluateGlobalTransform(Frame(frame)).GetT();
                EXPECT_LT(AngleBetween(sight, SceneCameraAxes(camera, Frame(frame)).first), kMostSightChange)
                    << camera->GetName() << " frame " << frame;
                EXPECT_TRUE(camera != camX || NextToPlumb(SceneCameraAxes(camX, Frame(frame)).first) ||
                            SamePoints({aim->EvaluateGlobalTransform(Frame(frame)).GetT()},
                                       {back->GetTarget()->EvaluateGlobalTransform(Frame(frame)).GetT()}))
                    << "frame " << frame;
            }
        }

        // assimp places each mesh where the scene has it.
        if (ProgramInstalled("assimp")) {
            std::string output;
            const std::vector<Box> boxes = AssimpBoxes(Path("mirrored.3ds"), Path("mirrored.obj"), output);
            ASSERT_EQ(boxes.size(), meshes.size()) << output;
            for (KFbxNode* node : meshes) {
                EXPECT_TRUE(HasBox(boxes, SceneBox(node))) << node->GetName();
            }
            // Its faces turn outward where it puts them.
            const std::vector<Solid> solids = ObjSolids(Path("mirrored.obj"));
            ASSERT_EQ(solids.size(), meshes.size());
            for (const Solid& solid : solids) {
                EXPECT_TRUE(TrianglesTurnOutward(solid.mPoints, solid.mTriangles));
            }
        }
#ifdef QALIMOR_HAVE_LIB3DS
        // lib3ds: the points taken into the object's space by the inverse
        // mesh matrix and placed by the node's matrix at each frame.
        Lib3dsFile* file = lib3ds_file_load(Path("mirrored.3ds").c_str());
        ASSERT_NE(file, nullptr);
        for (KFbxNode* node : meshes) {
            Lib3dsMesh* mesh = lib3ds_file_mesh_by_name(file, node->GetName());
            Lib3dsNode* placed = lib3ds_file_node_by_name(file, node->GetName(), LIB3DS_OBJECT_NODE);
            ASSERT_TRUE(mesh != nullptr && placed != nullptr) << node->GetName();
            Lib3dsMatrix objectSpace;
            std::copy(&mesh->matrix[0][0], &mesh->matrix[0][0] + 16, &objectSpace[0][0]);
            ASSERT_TRUE(lib3ds_matrix_inv(objectSpace));
            for (const int frame : framesOf(node)) {
                lib3ds_file_eval(file, static_cast<float>(frame));
                std::vector<KFbxVector4> points;
                for (Lib3dsDword point = 0; point < mesh->points; ++point) {
                    Lib3dsVector own;
                    Lib3dsVector at;
                    lib3ds_vector_transform(own, objectSpace, mesh->pointL[point].pos);
                    lib3ds_vector_transform(at, placed->matrix, own);
                    points.emplace_back(at[0], at[2], -at[1], 0.0);
                }
                EXPECT_TRUE(SamePoints(WorldPointsAt(node, frame), points)) << node->GetName() << " frame " << frame;
                std::vector<std::array<int, 3>> faces;
                for (Lib3dsDword face = 0; face < mesh->faces; ++face) {
                    const Lib3dsWord* corners = mesh->faceL[face].points;
                    faces.push_back({corners[0], corners[1], corners[2]});
                }
                EXPECT_TRUE(TrianglesTurnOutward(points, faces)) << node->GetName();
            }
        }
        // No key past the file's end.
        for (std::vector<Lib3dsNode*> pending{file->nodes}; !pending.empty();) {
            Lib3dsNode* node = pending.back();
            pending.pop_back();
            if (node == nullptr) continue;
            pending.insert(pending.end(), {node->next, node->childs});
            // Target and spot nodes begin alike.
            const Lib3dsNodeData& d = node->data;
            const Lib3dsIntd last =
                node->type == LIB3DS_OBJECT_NODE
                    ? LastKeyFrame(d.object.pos_track.keyL, d.object.rot_track.keyL, d.object.scl_track.keyL)
                : node->type == LIB3DS_CAMERA_NODE
                    ? LastKeyFrame(d.camera.pos_track.keyL, d.camera.fov_track.keyL, d.camera.roll_track.keyL)
                : node->type == LIB3DS_LIGHT_NODE ? LastKeyFrame(d.light.pos_track.keyL, d.light.col_track.keyL)
                                                  : LastKeyFrame(d.target.pos_track.keyL);
            EXPECT_LE(last, file->frames) << node->name;
        }
        // Aimed up the world's up, far from straight up or down, CamX has no
        // roll at all.
        Lib3dsNode* aimedNode = lib3ds_file_node_by_name(file, camX->GetName(), LIB3DS_CAMERA_NODE);
        ASSERT_NE(aimedNode, nullptr);
        for (const Lib3dsLin1Key* key = aimedNode->data.camera.roll_track.keyL; key != nullptr; key = key->next) {
            EXPECT_TRUE(test.mUpNode || !(test.mCameraUp == KFbxVector4(0, 1, 0, 0)) || key->value == 0.0f ||
                        NextToPlumb(SceneCameraAxes(camX, Frame(key->tcb.frame)).first))
                << key->value << " at frame " << key->tcb.frame;
        }
        Lib3dsNode* lampNode = lib3ds_file_node_by_name(file, "Lamp", LIB3DS_LIGHT_NODE);
        ASSERT_NE(lampNode, nullptr);
        for (const int frame : frames) {
            lib3ds_file_eval(file, static_cast<float>(frame));
            EXPECT_TRUE(NearPoint(InFile(lamp->EvaluateGlobalTransform(Frame(frame)).GetT()), lampNode->matrix[3]))
                << "frame " << frame;
            // Each camera's up where the scene has it.
            for (KFbxNode* camera : {camX, camY}) {
                Lib3dsNode* eye = lib3ds_file_node_by_name(file, camera->GetName(), LIB3DS_CAMERA_NODE);
                Lib3dsNode* target = lib3ds_file_node_by_name(file, camera->GetName(), LIB3DS_TARGET_NODE);
                ASSERT_TRUE(eye != nullptr && target != nullptr) << camera->GetName();
                // Its line of sight within a fraction of a degree, and its up
                // about that line where the scene has it.
                const auto [line, up] = SceneCameraAxes(camera, Frame(frame));
                const KFbxVector4 sight(target->matrix[3][0] - eye->matrix[3][0],
                                        target->matrix[3][1] - eye->matrix[3][1],
                                        target->matrix[3][2] - eye->matrix[3][2], 0.0);
                EXPECT_LT(AngleBetween(sight, InFile(line)), kMostSightChange) << camera->GetName() << " frame " << frame;
                EXPECT_LT(AngleBetween(Lib3dsUp(eye, target), SquareTo(sight, InFile(up))), 0.05)
                    << camera->GetName() << " frame " << frame;
            }
            Lib3dsNode* aimNode = lib3ds_file_node_by_name(file, camX->GetName(), LIB3DS_TARGET_NODE);
            ASSERT_NE(aimNode, nullptr);
            EXPECT_TRUE(NextToPlumb(SceneCameraAxes(camX, Frame(frame)).first) ||
                        SamePoints({InFile(aim->EvaluateGlobalTransform(Frame(frame)).GetT())},
                                   {KFbxVector4(aimNode->matrix[3][0], aimNode->matrix[3][1], aimNode->matrix[3][2], 0)}))
                << "frame " << frame;
        }
        lib3ds_file_free(file);
#endif
    }
}

TEST_F(Writer3dsRoundTripTest, IndependentReaderSeesTheSameMeshesAndMaterials) {
    if (!ProgramInstalled("assimp")) {
        GTEST_SKIP() << "assimp is not installed (assimp-utils)";
    }
    BuildScene();
    ASSERT_TRUE(Export("scene.3ds")) << mLastError;
    std::string info;
    ASSERT_TRUE(RunCommand("assimp info '" + Path("scene.3ds") + "' 2>&1", info)) << info;
    WrittenFile file(Path("scene.3ds"));
    // One mesh per object and material, here one material each.
    EXPECT_EQ(CountAfter(info, "Meshes"), static_cast<int>(GetMeshCount3ds(file.Database()))) << info;
    EXPECT_EQ(CountAfter(info, "Materials"), static_cast<int>(GetMaterialCount3ds(file.Database()))) << info;
    EXPECT_EQ(CountAfter(info, "Faces"), 8) << info;
    EXPECT_EQ(CountAfter(info, "Lights"), 2) << info;
    EXPECT_EQ(CountAfter(info, "Cameras"), 1) << info;
    // The 3DS reader sees the same meshes and materials in the file.
    KFbxScene* read = KFbxScene::Create(mManager, "read");
    ASSERT_TRUE(ImportInto(read, "scene.3ds")) << mLastError;
    int meshes = 0;
    for (int index = 0; index < read->GetNodeCount(); ++index) {
        meshes += dynamic_cast<const KFbxMesh*>(read->GetNode(index)->GetNodeAttribute()) != nullptr ? 1 : 0;
    }
    EXPECT_EQ(CountAfter(info, "Meshes"), meshes) << info;
    EXPECT_EQ(CountAfter(info, "Materials"), read->GetMaterialCount()) << info;

    // Each mesh where the scene has it, a mesh after a camera and its
    // target included.
    KFbxNode* after = AddNode("After", Quad());
    after->SetLclTranslation(KFbxVector4(5, 0, 0, 0));
    // Without rescaling: assimp scales points by the file's master scale.
    ASSERT_TRUE(Export("boxes.3ds", OptionsWith("RESCALING", false))) << mLastError;
    std::string output;
    const std::vector<Box> boxes = AssimpBoxes(Path("boxes.3ds"), Path("boxes.obj"), output);
    ASSERT_EQ(boxes.size(), 3u) << output;
    for (KFbxNode* node : {mBody, mArm, after}) {
        EXPECT_TRUE(HasBox(boxes, SceneBox(node))) << node->GetName();
    }
}



TEST_F(Writer3dsRoundTripTest, ModelsOfOtherProgramsKeepTheirPlacesThroughAReadAndAWrite) {
    const std::filesystem::path folder = "/usr/share/assimp/models/3DS";
    if (!ProgramInstalled("assimp") || !std::filesystem::is_directory(folder)) {
        GTEST_SKIP() << "assimp or its test models (assimp-utils, assimp-testmodels) are not installed";
    }
    int models = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        std::string extension = entry.path().extension().string();
        std::transform(extension.begin(), extension.end(), extension.begin(),
                       [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
        if (extension != ".3ds") {
            continue;
        }
        const std::string model = entry.path().filename().string();
        SCOPED_TRACE(model);
        ++models;
        std::string output;
        const std::vector<Box> original = AssimpBoxes(entry.path().string(), Path("original.obj"), output);
        ASSERT_FALSE(original.empty()) << output;
        // Both ways in the file's own units.
        KFbxScene* read = KFbxScene::Create(mManager, "read");
        KFbxImporter* importer = KFbxImporter::Create(mManager, "");
        const bool imported = importer->Initialize(entry.path().c_str()) && importer->Import(read, Unscaled());
        importer->Destroy();
        ASSERT_TRUE(imported);
        KFbxScene* built = mScene;
        mScene = read;
        const bool exported = Export("again.3ds", OptionsWith("RESCALING", false));
        mScene = built;
        ASSERT_TRUE(exported) << mLastError;
        const std::vector<Box> again = AssimpBoxes(Path("again.3ds"), Path("again.obj"), output);
        EXPECT_EQ(again.size(), original.size()) << output;
        for (const Box& box : original) {
            EXPECT_TRUE(HasBox(again, box));
        }
#ifdef QALIMOR_HAVE_LIB3DS
        // The raw points, without any keyframer, are where assimp places them.
        Lib3dsFile* file = lib3ds_file_load(Path("again.3ds").c_str());
        ASSERT_NE(file, nullptr);
        for (Lib3dsMesh* mesh = file->meshes; mesh != nullptr; mesh = mesh->next) {
            Box raw;
            for (Lib3dsDword point = 0; point < mesh->points; ++point) {
                const float* at = mesh->pointL[point].pos;
                const double inScene[3] = {at[0], at[2], -at[1]};
                raw.Add(inScene);
            }
            EXPECT_TRUE(mesh->points == 0 || HasBox(original, raw)) << mesh->name;
        }
        lib3ds_file_free(file);
#endif
    }
    EXPECT_GT(models, 0);
}

TEST_F(Writer3dsRoundTripTest, IndependentReaderPlacesEveryMesh) {
    if (!ProgramInstalled("assimp")) {
        GTEST_SKIP() << "assimp is not installed (assimp-utils)";
    }
    // A camera and its target before a mesh, under a mesh or a group.
    for (const bool underMesh : {true, false}) {
        const std::string name = underMesh ? "under-mesh" : "under-group";
        SCOPED_TRACE(name);
        while (mScene->GetRootNode()->GetChildCount() > 0) {
            mScene->GetRootNode()->RemoveChild(mScene->GetRootNode()->GetChild(0));
        }
        KFbxNode* top = AddNode("Holder", underMesh ? Quad() : nullptr);
        top->SetLclTranslation(KFbxVector4(0, 20, 7, 0));
        KFbxNode* camera = AddNode("Cam", KFbxCamera::Create(mManager, ""), top);
        camera->SetLclTranslation(KFbxVector4(-50, 30, 40, 0));
        KFbxNode* aim = AddNode("Aim", nullptr, top);
        aim->SetLclTranslation(KFbxVector4(3, 3, 3, 0));
        camera->SetTarget(aim);
        KFbxNode* parent = AddNode("Parent", Quad(), top);
        parent->SetLclTranslation(KFbxVector4(1, 2, 3, 0));
        KFbxNode* child = AddNode("Child", Quad(), parent);
        child->SetLclTranslation(KFbxVector4(0, 1, 0, 0));
        // An empty material name is one assimp can link.
        dynamic_cast<KFbxMesh*>(child->GetNodeAttribute())->AddMaterial(Phong("", 0.870588, 0.5, 0.25));
        // Without rescaling: assimp scales points by the file's master scale.
        ASSERT_TRUE(Export(name + ".3ds", OptionsWith("RESCALING", false))) << mLastError;
        std::string output;
        const std::vector<Box> boxes = AssimpBoxes(Path(name + ".3ds"), Path(name + ".obj"), output);
        ASSERT_FALSE(boxes.empty()) << output;
        for (KFbxNode* node : {top, parent, child}) {
            EXPECT_TRUE(node->GetNodeAttribute() == nullptr || HasBox(boxes, SceneBox(node))) << node->GetName();
        }
    }
    // The material, linked by its name, with its colour to the nearest byte.
    std::ifstream mtl(Path("under-group.mtl"));
    std::string line;
    std::string material;
    bool found = false;
    while (std::getline(mtl, line)) {
        if (line.rfind("newmtl ", 0) == 0) {
            material = line.substr(7);
        } else if (material == "Unnamed" && line.find("Kd ") != std::string::npos) {
            std::istringstream values(line.substr(line.find("Kd ") + 3));
            double red = 0.0;
            values >> red;
            EXPECT_NEAR(red, 0.870588, 0.5 / 255) << line;
            found = true;
        }
    }
    EXPECT_TRUE(found) << "no material Unnamed with a diffuse colour";
}


}  // namespace
}  // namespace fbxsdk_2006_11_1::writer3dstest
