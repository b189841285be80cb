// What an FBX 5 "Model" record holds: the attribute of every kind, the
// geometries with their layers, links and shapes, limits, characters and
// poses, the animated-property lists, the default channels and children.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxLayer.h>
#include <fbxfilesdk/geometry/KFbxLayerElement.h>
#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/geometry/KFbxNurb.h>
#include <fbxfilesdk/geometry/KFbxOpticalReference.h>
#include <fbxfilesdk/geometry/KFbxPatch.h>
#include <fbxfilesdk/geometry/KFbxSkin.h>
#include <fbxfilesdk/geometry/KFbxSurfaceLambert.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>
#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxCameraSwitcher.h>
#include <fbxfilesdk/scene/KFbxCharacter.h>
#include <fbxfilesdk/scene/KFbxCharacterLink.h>
#include <fbxfilesdk/scene/KFbxCharacterPose.h>
#include <fbxfilesdk/scene/KFbxControlSet.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxLimits.h>
#include <fbxfilesdk/scene/KFbxMarker.h>
#include <fbxfilesdk/scene/KFbxNodeProperties.h>
#include <fbxfilesdk/scene/KFbxPose.h>
#include <fbxfilesdk/scene/KFbxSkeleton.h>

#include "Fbx5WriterSupport.h"
#include "RichScene.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::fbx5test {
namespace {

using richscene::Seconds;

class Fbx5ModelsTest : public Fbx5WriterTest {
protected:
    std::string Model(const std::string& records, const char* name) {
        return RecordText(records, std::string("Model: \"Model::") + name + "\"");
    }
    std::string Model(const char* name) { return Model(Records(), name); }

    // The record with its "Channel" blocks and its lists of animated
    // channels left out: they have tests of their own.
    static std::string Fields(const std::string& record) {
        std::istringstream in(record);
        std::string out;
        std::string closing;
        for (std::string line; std::getline(in, line);) {
            if (!closing.empty()) {
                if (line == closing) closing.clear();
                continue;
            }
            const std::size_t indent = line.find_first_not_of('\t');
            const std::string body = indent == std::string::npos ? line : line.substr(indent);
            if (body.rfind("Channel: ", 0) == 0 || body.rfind("FILTERSET:", 0) == 0) {
                closing = line.substr(0, indent) + "}";
                continue;
            }
            if (body.rfind("AnimatedProperty:", 0) == 0 || body.rfind("Animated:", 0) == 0) continue;
            out += line + "\n";
        }
        return out;
    }

    // A key in a take on the node's channel (found by the names given), the
    // take on the root too.
    void Animate(KFbxNode& node, const char* take, const char* first, const char* second, const char* third) {
        mScene->GetRootNode()->CreateTakeNode(take);
        KFbxTakeNode* takeNode = node.CreateTakeNode(take);
        ASSERT_NE(takeNode, nullptr);
        KFCurve* curve = takeNode->GetKFCurve(first, second, third);
        ASSERT_NE(curve, nullptr) << third;
        curve->KeySet(0, Seconds(1.0), 0.5f, KFCURVE_INTERPOLATION_LINEAR);
    }

    static int Count(const std::string& text, const std::string& what) {
        int count = 0;
        for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
        return count;
    }
};

// ---- node attributes ----

TEST_F(Fbx5ModelsTest, MarkersAndSkeletonsSayTheirKindInWords) {
    KFbxMarker* effector = KFbxMarker::Create(mManager, "");
    effector->SetType(KFbxMarker::eIK_EFFECTOR);
    effector->SetColor(KFbxColor(0.25, 0.5, 0.75, 1.0));
    AddNode("Effector")->SetNodeAttribute(effector);
    // The reach lives in the node's channels, which the attribute gets there.
    effector->SetDefaultIKReachTranslation(40.0);
    KFbxMarker* optical = KFbxMarker::Create(mManager, "");
    optical->SetType(KFbxMarker::eOPTICAL);
    AddNode("Dot")->SetNodeAttribute(optical);
    AddNode("Reference")->SetNodeAttribute(KFbxOpticalReference::Create(mManager, ""));
    for (const auto& [name, type] : {std::pair{"Root", KFbxSkeleton::eROOT}, std::pair{"Effector3", KFbxSkeleton::eEFFECTOR},
                                     std::pair{"Limb", KFbxSkeleton::eLIMB}, std::pair{"Node", KFbxSkeleton::eLIMB_NODE}}) {
        KFbxSkeleton* skeleton = KFbxSkeleton::Create(mManager, "");
        skeleton->SetSkeletonType(type);
        skeleton->SetSize(12.5);
        AddNode(name)->SetNodeAttribute(skeleton);
    }
    const std::string records = Records();
    std::string text;
    for (const char* name : {"Effector", "Dot", "Reference", "Root", "Effector3", "Limb", "Node"}) {
        text += Fields(Model(records, name));
    }
    ExpectGolden(text, "fbx5_markers_skeletons");
    // A skeleton of type 3 is written as a root.
    auto body = [](const std::string& record) { return record.substr(record.find('\n')); };
    EXPECT_EQ(body(Fields(Model(records, "Effector3"))), body(Fields(Model(records, "Root"))));
    // The effector's colour stands in a channel of its own too.
    EXPECT_NE(Model(records, "Effector").find("\tChannel: \"Color\" {\n\t\tChannel: \"X\" {\n\t\t\tDefault: 0.25\n"),
              std::string::npos);
}

TEST_F(Fbx5ModelsTest, AnAnimatedReachIsLeftToTheTakes) {
    KFbxMarker* effector = KFbxMarker::Create(mManager, "");
    effector->SetType(KFbxMarker::eIK_EFFECTOR);
    KFbxNode* node = AddNode("Hand");
    node->SetNodeAttribute(effector);
    Animate(*node, "Reach", nullptr, nullptr, "IK Reach Translation");
    const std::string model = Model("Hand");
    EXPECT_EQ(model.find("IKReachTranslation"), std::string::npos) << model;
    EXPECT_NE(model.find("IKReachRotation"), std::string::npos);
    EXPECT_NE(model.find("AnimatedProperty: \"mTranslationProperty\",\"mRotationProperty\",\"mScalingProperty\","
                         "\"IK Reach Translation\"\n"),
              std::string::npos)
        << model;
}

TEST_F(Fbx5ModelsTest, ACameraHoldsEveryFieldAndTwoTypes) {
    KFbxCamera* camera = KFbxCamera::Create(mManager, "");
    camera->SetFormat(static_cast<KFbxCamera::ECameraFormat>(9));
    camera->SetApertureFormat(KFbxCamera::e35MM_ACADEMY);
    camera->SetUpVector(KFbxVector4(0.0, 0.0, 1.0, 0.0));
    camera->SetBackgroundFileName("sky.tga");
    KFbxNode* eye = AddNode("Eye");
    eye->SetNodeAttribute(camera);
    eye->SetLclTranslation(KFbxVector4(1.0, 2.0, 3.0, 0.0));
    AddNode("Blind")->SetNodeAttribute(KFbxCamera::Create(mManager, ""));
    const std::string records = Records();
    const std::string model = Fields(Model(records, "Eye"));
    ExpectGolden(model, "fbx5_camera");
    EXPECT_NE(model.find("\tType: \"Camera\"\n\tTypeFlags: \"Camera\"\n"), std::string::npos);
    EXPECT_NE(model.find("\tType: 0\n\tFormatName: \"Custom\"\n"), std::string::npos);
    EXPECT_EQ(Model(records, "Blind").find("Media:"), std::string::npos);
    // The switcher names every camera; its camera name is a number.
    const std::string switcher = RecordText(records, "Switcher:");
    EXPECT_NE(switcher.find("\tCameraName: 100\n"), std::string::npos) << switcher;
    EXPECT_NE(switcher.find("\tCameraIndexName: \"Model::Eye\",\"Model::Blind\"\n"), std::string::npos);
    // Producer cameras have no first "Type".
    const std::string producer = RecordText(RecordText(records, "Settings:"), "Camera: \"Producer Top\"");
    EXPECT_NE(producer.find("\tTypeFlags: \"Camera\"\n\tVersion: 220\n"), std::string::npos) << producer;
    EXPECT_EQ(producer.find("\"Camera\"\n\tTypeFlags"), std::string::npos);
}

TEST_F(Fbx5ModelsTest, ALightListsOnlyTheChannelsATakeMoves) {
    KFbxLight* light = KFbxLight::Create(mManager, "");
    light->SetLightType(KFbxLight::eSPOT);
    const double color[3] = {1.0, 0.5, 0.25};
    light->SetDefaultColor(color);
    KFbxNode* lamp = AddNode("Lamp");
    lamp->SetNodeAttribute(light);
    KFbxNode* still = AddNode("Still");
    ExpectGolden(Fields(Model("Lamp")), "fbx5_light");
    const std::string unanimated = Model("Still");
    EXPECT_NE(unanimated.find("\tAnimatedProperty: \"mTranslationProperty\",\"mRotationProperty\","
                              "\"mScalingProperty\"\n\tAnimated: \"Lcl Translation\",\"Lcl Rotation\",\"Lcl Scaling\"\n"),
              std::string::npos)
        << unanimated;

    Animate(*lamp, "Glow", nullptr, "Color", "Y");
    // Keys in the default take alone do not count.
    KFCurve* intensity = lamp->GetDefaultTakeNode()->GetKFCurve(nullptr, nullptr, "Intensity");
    ASSERT_NE(intensity, nullptr);
    intensity->KeySet(0, Seconds(1.0), 20.0f, KFCURVE_INTERPOLATION_LINEAR);
    still->CreateTakeNode("Glow");
    const std::string model = Model("Lamp");
    EXPECT_NE(model.find("\tAnimatedProperty: \"mTranslationProperty\",\"mRotationProperty\",\"mScalingProperty\","
                         "\"mLightColor\"\n\tAnimated: \"Lcl Translation\",\"Lcl Rotation\",\"Lcl Scaling\",\"Color\"\n"),
              std::string::npos)
        << model;
}

TEST_F(Fbx5ModelsTest, LookAtRotationsOnlyWhenTheyTurn) {
    KFbxNode* target = AddNode("Target");
    KFbxNode* watcher = AddNode("Watcher");
    watcher->SetTarget(target);
    watcher->SetPostTargetRotation(KFbxVector4(0.0, 360.0, 0.0000001, 0.0));
    watcher->SetTargetUp(target);
    KFbxNode* turner = AddNode("Turner");
    turner->SetTarget(target);
    turner->SetPostTargetRotation(KFbxVector4(0.0, 0.0, 90.0, 0.0));
    const std::string records = Records();
    const std::string watching = Model(records, "Watcher");
    EXPECT_NE(watching.find("\tLookAtModel: \"Model::Target\"\n\tUpVectorModel: \"Model::Target\"\n"),
              std::string::npos)
        << watching;
    EXPECT_NE(Model(records, "Turner").find("\tLookAtModel: \"Model::Target\"\n\tPostTargetRotation: 0,0,90\n"),
              std::string::npos);
}

// ---- limits ----

TEST_F(Fbx5ModelsTest, LimitsWriteOnlyWhatIsSet) {
    KFbxNode* free = AddNode("Free");
    KFbxNode* bound = AddNode("Bound");
    KFbxLimits& limits = bound->GetLimits();
    limits.SetTranslationActive(true);
    limits.SetLimitMinActive(false, true, false, KFbxLimits::eTranslation);
    limits.SetLimitMin(KFbxVector4(0.0, 5.0, 0.0, 0.0), KFbxLimits::eTranslation);
    limits.SetRotationActive(true);
    limits.SetLimitMax(KFbxVector4(90.0, 0.0, -45.0, 0.0), KFbxLimits::eRotation);
    limits.SetRotationType(2);
    limits.SetRotationClampType(1);
    limits.SetRotationAxis(KFbxVector4(0.0, 0.5, 0.0, 0.0));
    // Type 1, clamp type 0, no axis and an axis length of 1 go unsaid.
    KFbxNode* plain = AddNode("Plain");
    plain->GetLimits().SetRotationActive(true);
    const double unitLength = 1.0;
    plain->GetNodeProperty(eAxisLen).Set(&unitLength, eFbxValueDouble);
    const std::string records = Records();
    EXPECT_NE(Model(records, "Free").find("\tLimits:  {\n\t\tTAuto: 1\n\t\tRAuto: 1\n\t\tSAuto: 1\n\t}\n"),
              std::string::npos);
    ExpectGolden(RecordText(Model(records, "Bound"), "Limits:"), "fbx5_limits");
    EXPECT_NE(Model(records, "Plain").find("\tLimits:  {\n\t\tTAuto: 1\n\t\tRAuto: 0\n\t\tSAuto: 1\n"
                                           "\t\tREnable: 0\n\t}\n"),
              std::string::npos)
        << Model(records, "Plain");
    (void)free;
}

// ---- geometry ----

TEST_F(Fbx5ModelsTest, AMeshWithItsLayersMaterialsTexturesAndGrid) {
    KFbxMesh* mesh = richscene::MakeMesh(mManager);
    KFbxSurfaceLambert* matte = KFbxSurfaceLambert::Create(mManager, "Matte");
    KFbxSurfaceLambert* gloss = KFbxSurfaceLambert::Create(mManager, "Gloss");
    KFbxTexture* bricks = KFbxTexture::Create(mManager, "Bricks");
    bricks->SetFileName("bricks.tga");
    KFbxTexture* glow = KFbxTexture::Create(mManager, "Glow");
    glow->SetFileName("glow.tga");
    richscene::AddLayers(*mesh, matte, gloss, bricks, glow);
    // A second texture layer above the first, and polygons in two groups.
    auto* second = new KFbxLayerElementTexture("second");
    second->SetMappingMode(KFbxLayerElement::eALL_SAME);
    second->GetDirectArray().Add(glow);
    second->GetIndexArray().Add(0);
    mesh->GetLayer(1)->SetTextures(second);
    KFbxMesh::UVGrid grid;
    grid.mUCount = 4;
    grid.mVCount = 2;
    grid.mUStep = 3;
    grid.mUClosed = true;
    mesh->SetUVGrid(grid);
    KgeMatrix pivot;
    KgeMatrixSetRotationXYZ(pivot, 0.0, 0.0, 90.0);
    mesh->SetPivot(pivot);
    KFbxNode* body = AddNode("Body");
    body->SetNodeAttribute(mesh);
    body->ConnectSrc(bricks);
    body->ConnectSrc(glow);
    ExpectGolden(Fields(Model("Body")), "fbx5_mesh");
}

TEST_F(Fbx5ModelsTest, IndexArraysShorterThanWhatTheyMapWriteZeros) {
    KFbxMesh* mesh = richscene::MakeMesh(mManager);
    mesh->CreateLayer();
    auto* materials = new KFbxLayerElementMaterial("materials");
    materials->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
    materials->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    materials->GetDirectArray().Add(KFbxSurfaceLambert::Create(mManager, "One"));
    materials->GetDirectArray().Add(nullptr);
    materials->GetDirectArray().Add(KFbxSurfaceLambert::Create(mManager, "Two"));
    for (int index : {2, 1, 7}) materials->GetIndexArray().Add(index);
    mesh->GetLayer(0)->SetMaterials(materials);
    auto* textures = new KFbxLayerElementTexture("textures");
    textures->SetMappingMode(KFbxLayerElement::eBY_POLYGON);
    mesh->GetLayer(0)->SetTextures(textures);
    AddNode("Short")->SetNodeAttribute(mesh);
    const std::string model = Model("Short");
    // Seven polygons: "Two" is the second record, the empty slot none, the
    // index past the materials and the missing ones 0.
    EXPECT_NE(model.find("\tMaterialAssignation: \"ByPolygon\"\n\tMaterials: 1,-1,0,0,0,0,0\n"), std::string::npos)
        << model;
    EXPECT_NE(model.find("\tTextureMode: \"ByPolygon\"\n\tTextureId: 0,0,0,0,0,0,0\n"), std::string::npos);
    EXPECT_EQ(Count(model, "\tMaterial: \""), 2);
}

TEST_F(Fbx5ModelsTest, UVsByControlPointThroughIndicesAreWrittenOnePerPoint) {
    KFbxMesh* mesh = richscene::MakeMesh(mManager);
    mesh->CreateLayer();
    auto* uvs = new KFbxLayerElementUV("uvs");
    uvs->SetMappingMode(KFbxLayerElement::eBY_CONTROL_POINT);
    uvs->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    uvs->GetDirectArray().Add(KFbxVector2(0.25, 0.5));
    uvs->GetDirectArray().Add(KFbxVector2(0.75, 1.0));
    for (int i = 0; i < 8; ++i) uvs->GetIndexArray().Add(i < 4 ? 1 : 0);
    mesh->GetLayer(0)->SetUVs(uvs);
    AddNode("Mapped")->SetNodeAttribute(mesh);
    EXPECT_NE(Model("Mapped").find("\t\tMappingInformationType: \"ByVertice\"\n\t\tTextureUV: 0.75,1,0.75,1,0.75,1,"
                                   "0.75,1,0.25,0.5,0.25,0.5,0.25,0.5,0.25,0.5\n\t}\n"),
              std::string::npos)
        << Model("Mapped");
}

TEST_F(Fbx5ModelsTest, BrokenMeshesStillWriteAFileThatOpens) {
    KFbxMesh* mesh = KFbxMesh::Create(mManager, "");
    mesh->InitControlPoints(3);
    mesh->BeginPolygon();
    mesh->EndPolygon();
    mesh->BeginPolygon();
    mesh->AddPolygonVertex(0);
    mesh->AddPolygonVertex(1);
    mesh->AddPolygonVertex(2);
    mesh->EndPolygon();
    mesh->CreateLayer();
    auto* normals = new KFbxLayerElementNormal("normals");
    normals->SetMappingMode(KFbxLayerElement::eBY_CONTROL_POINT);
    normals->GetDirectArray().Add(KFbxVector4(0.0, 1.0, 0.0, 0.0));
    mesh->GetLayer(0)->SetNormals(normals);
    auto* colors = new KFbxLayerElementVertexColor("colors");
    colors->SetMappingMode(KFbxLayerElement::eBY_CONTROL_POINT);
    colors->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    colors->GetDirectArray().Add(KFbxColor(1.0, 0.0, 0.0, 1.0));
    for (int index : {0, 4, 0}) colors->GetIndexArray().Add(index);
    mesh->GetLayer(0)->SetVertexColors(colors);
    auto* uvs = new KFbxLayerElementUV("uvs");
    uvs->SetMappingMode(KFbxLayerElement::eBY_POLYGON_VERTEX);
    uvs->SetReferenceMode(KFbxLayerElement::eINDEX_TO_DIRECT);
    uvs->GetDirectArray().Add(KFbxVector2(0.5, 0.5));
    uvs->GetIndexArray().Add(3);
    mesh->GetLayer(0)->SetUVs(uvs);
    KFbxSkin* skin = KFbxSkin::Create(mManager, "");
    KFbxCluster* cluster = KFbxCluster::Create(mManager, "");
    cluster->AddControlPointIndex(9, 1.0);
    skin->AddCluster(cluster);
    mesh->AddDeformer(skin);
    AddNode("Broken")->SetNodeAttribute(mesh);
    // Polygons past the control points, once the points are fewer.
    KFbxMesh* shrunk = richscene::MakeMesh(mManager);
    shrunk->InitControlPoints(2);
    AddNode("Shrunk")->SetNodeAttribute(shrunk);
    for (bool binary : {false, true}) {
        ASSERT_TRUE(WriteFile(Path(), binary)) << mLastError;
        KFbx file;
        EXPECT_TRUE(file.FileOpen(Path().c_str())) << file.GetLastErrorText();
    }
    const std::string model = Model("Broken");
    // Colours map the points through an index past them: bounded to the first.
    EXPECT_NE(model.find("\t\tColorIndex: 0,0,0\n"), std::string::npos) << model;
    EXPECT_NE(model.find("\tTextureUVVerticeIndex: 0\n"), std::string::npos);
    // A cluster without link node leaves no trace.
    EXPECT_EQ(model.find("Link:"), std::string::npos);
}

TEST_F(Fbx5ModelsTest, ALinkStoresTheClusterRelativeToItsBone) {
    KFbxMesh* mesh = richscene::MakeMesh(mManager);
    KFbxNode* body = AddNode("Body");
    body->SetNodeAttribute(mesh);
    KFbxNode* bone = AddNode("Bone");
    KFbxSkin* skin = KFbxSkin::Create(mManager, "");
    KFbxCluster* additive = KFbxCluster::Create(mManager, "");
    additive->SetLink(bone);
    additive->SetLinkMode(KFbxCluster::eADDITIVE);
    additive->AddControlPointIndex(1, 0.25);
    additive->AddControlPointIndex(3, 0.75);
    additive->SetUserData("7", "knee");
    const KgeMatrix transform = richscene::Transform(1.0, 2.0, 3.0, 10.0, 20.0, 30.0, 1.0);
    const KgeMatrix link = richscene::Transform(0.0, 10.0, 0.0, 0.0, 45.0, 0.0, 2.0);
    additive->SetTransformMatrix(transform);
    additive->SetTransformLinkMatrix(link);
    additive->SetAssociateModel(body);
    additive->SetTransformAssociateModelMatrix(richscene::Transform(0.0, 0.0, 5.0, 0.0, 0.0, 0.0, 1.0));
    skin->AddCluster(additive);
    KFbxCluster* plain = KFbxCluster::Create(mManager, "");
    plain->SetLink(body);
    skin->AddCluster(plain);
    mesh->AddDeformer(skin);
    ASSERT_TRUE(WriteFile(Path(), true)) << mLastError;

    const std::string model = Model("Body");
    EXPECT_NE(model.find("\tLink: \"Model::Bone\" {\n\t\tMode: \"Additive\"\n\t\tUserData: \"7\",\"knee\"\n"
                         "\t\tIndexes: 1,3\n\t\tWeights: 0.25,0.75\n"),
              std::string::npos)
        << model;
    EXPECT_NE(model.find("\tLink: \"Model::Body\" {\n\t\tUserData: \"\",\"\"\n"), std::string::npos);
    // The stored pair gives the transform back: Transform * TransformLink.
    KFbx file;
    ASSERT_TRUE(file.FileOpen(Path().c_str()));
    ASSERT_TRUE(file.FieldReadBegin("Model") && file.FieldReadBlockBegin());
    ASSERT_TRUE(file.FieldReadBegin("Link") && file.FieldReadBlockBegin());
    double stored[2][16];
    for (int m = 0; m < 2; ++m) {
        ASSERT_TRUE(file.FieldReadBegin(m == 0 ? "Transform" : "TransformLink"));
        ASSERT_EQ(file.FieldReadArrayD(stored[m], 16), 16);
        file.FieldReadEnd();
    }
    KgeMatrix relative;
    KgeMatrix storedLink;
    for (int k = 0; k < 16; ++k) {
        relative[k / 4][k % 4] = stored[0][k];
        storedLink[k / 4][k % 4] = stored[1][k];
    }
    KgeMatrix rebuilt;
    KgeMatrixMultAffine(rebuilt, storedLink, relative);
    for (int k = 0; k < 16; ++k) {
        EXPECT_NEAR(rebuilt[k / 4][k % 4], transform[k / 4][k % 4], 1e-9) << k;
        EXPECT_NEAR(storedLink[k / 4][k % 4], link[k / 4][k % 4], 1e-9) << k;
    }
}

TEST_F(Fbx5ModelsTest, NurbsKeepTheirWeightsAndPatchesTheirPlaceForEveryBasis) {
    KFbxNurb* nurb = KFbxNurb::Create(mManager, "");
    ASSERT_TRUE(nurb->InitControlPoints(4, KFbxNurb::eOPEN, 4, KFbxNurb::ePERIODIC));
    ASSERT_TRUE(nurb->SetOrder(4, 4));
    for (int i = 0; i < 16; ++i) nurb->GetControlPoints()[i] = KFbxVector4(i % 4, i / 4, 0.0, 1.0);
    nurb->GetControlPoints()[5][3] = 2.0;
    AddNode("Sheet")->SetNodeAttribute(nurb);
    KFbxPatch* patch = KFbxPatch::Create(mManager, "");
    ASSERT_TRUE(patch->InitControlPoints(2, static_cast<KFbxPatch::EPatchType>(5), 2, KFbxPatch::eLINEAR));
    AddNode("Lid")->SetNodeAttribute(patch);
    const std::string records = Records();
    ExpectGolden(Fields(Model(records, "Sheet")) + Fields(Model(records, "Lid")), "fbx5_nurb_patch");
}

// ---- characters and poses ----

TEST_F(Fbx5ModelsTest, ACharacterWritesEveryBlockItsLinksAndItsControlSet) {
    KFbxNode* hips = AddNode("Hips");
    KFbxNode* hand = AddNode("Hand", hips);
    const int index = mScene->CreateCharacter("Hero");
    KFbxCharacter* hero = mScene->GetCharacter(index);
    ASSERT_NE(hero, nullptr);
    KFbxCharacterLink link;
    link.mNode = hips;
    link.mTOffset = KFbxVector4(1.0, 2.0, 3.0, 0.0);
    ASSERT_TRUE(hero->SetCharacterLink(0, link));
    KFbxControlSet& controls = hero->GetControlSet();
    controls.SetType(KFbxControlSet::eFkIk);
    KFbxEffector effector;
    effector.mNode = hand;
    effector.mShow = true;
    ASSERT_TRUE(controls.SetEffector(3, effector));
    // An effector node of another scene is not named.
    KFbxScene* other = KFbxScene::Create(mManager, "other");
    KFbxNode* stranger = KFbxNode::Create(mManager, "Stranger");
    other->GetRootNode()->AddChild(stranger);
    effector.mNode = stranger;
    ASSERT_TRUE(controls.SetEffector(4, effector));
    ASSERT_TRUE(controls.SetEffectorAux(3, hips));

    const std::string records = Records();
    const std::string character = RecordText(records, "CHARACTER:");
    EXPECT_EQ(Count(character, "\t\tPARAM:  {"), 177);
    ExpectGolden(Fields(character), "fbx5_character");
    EXPECT_EQ(character.find("Stranger"), std::string::npos);
}

TEST_F(Fbx5ModelsTest, PosesListTheirNodesAndACharacterPoseItsScene) {
    KFbxNode* arm = AddNode("Arm");
    KFbxPose* bind = KFbxPose::Create(mManager, "Bind");
    bind->SetIsBindPose(true);
    bind->Add(arm, richscene::Transform(1.0, 0.0, 0.0, 0.0, 0.0, 0.0, 1.0));
    mScene->ConnectObject(bind);
    KFbxPose* rest = KFbxPose::Create(mManager, "Rest");
    rest->Add(arm, richscene::Transform(0.0, 2.0, 0.0, 0.0, 0.0, 0.0, 1.0), true);
    mScene->ConnectObject(rest);
    const int index = mScene->CreateCharacterPose("Stance");
    KFbxCharacterPose* stance = mScene->GetCharacterPose(index);
    ASSERT_NE(stance, nullptr);
    stance->GetPoseScene()->GetRootNode()->AddChild(KFbxNode::Create(mManager, "Ghost"));
    // A character pose held by its own scene too is not written into itself.
    KFbxScene* poseScene = stance->GetPoseScene();
    poseScene->ConnectObject(stance);
    ExpectGolden(RecordText(Records(), "SceneGenericPersistence:"), "fbx5_poses");
    // The scenes cannot end while each holds the other.
    poseScene->DisconnectSrc(stance);
}

// ---- properties, channels, children ----

TEST_F(Fbx5ModelsTest, UserPropertiesAreListedWithTheirLimitsAndChannelsHoldTheDefaults) {
    KFbxNode* node = AddNode("Dial");
    node->SetLclTranslation(KFbxVector4(1.0, 2.0, 3.0, 0.0));
    AddNode("Knob", node);
    KFbxProperty speed = KFbxProperty::Create(node, "Speed (Real)", gKFbxDataTypeNumber, "Turn speed");
    speed.ModifyFlag(KFbxProperty::kUser, true);
    speed.SetMinLimit(-1.0);
    speed.SetMaxLimit(4.0);
    KFbxProperty tag = KFbxProperty::Create(node, "Tag", gKFbxDataTypeKString, "");
    tag.ModifyFlag(KFbxProperty::kUser, true);
    const std::string model = Model("Dial");
    EXPECT_NE(model.find("\tAnimatedProperty: \"mTranslationProperty\",\"mRotationProperty\",\"mScalingProperty\","
                         "\"Speed\",\"Tag\"\n"),
              std::string::npos)
        << model;
    EXPECT_NE(model.find("\tUserProperty:  {\n\t\tName: \"Speed\"\n\t\tType: \"Number\"\n\t\tLabel: \"Turn speed\"\n"
                         "\t\tMin: -1\n\t\tMax: 4\n\t}\n\tUserProperty:  {\n\t\tName: \"Tag\"\n\t\tType: \"KString\"\n"
                         "\t\tLabel: \"Tag\"\n\t}\n"),
              std::string::npos);
    // No property block in an FBX 5 file; the channels hold the values.
    EXPECT_EQ(model.find("RotationOrder"), std::string::npos);
    EXPECT_NE(model.find("\tChannel: \"Transform\" {\n\t\tChannel: \"T\" {\n\t\t\tChannel: \"X\" {\n"
                         "\t\t\t\tDefault: 1\n"),
              std::string::npos);
    EXPECT_NE(model.find("\tChildren: \"Model::Knob\"\n}\n"), std::string::npos);
}

TEST_F(Fbx5ModelsTest, AFileNotMarkedForFbx5ReadersGetsThePropertyBlock) {
    KFbxNode* plain = AddNode("Plain");
    // A name that cannot name a field is left out rather than ending the file.
    KFbxProperty::Create(plain, "Top Speed", gKFbxDataTypeNumber, "");
    AddNode("After");
    IFbxObject* fbx = IFbxObject::Create();
    ASSERT_NE(fbx, nullptr);
    ASSERT_TRUE(fbx->FileCreate(Path().c_str(), false, false, nullptr));
    KFbxWriterFbx writer(*mManager, nullptr);
    EXPECT_TRUE(writer.Write(mScene, mOptions, fbx));
    EXPECT_TRUE(fbx->FileClose());
    fbx->Destroy();
    // After the null attribute's own "Properties", the node's.
    const std::string model = Model(ReadText(Path()), "Plain");
    const std::size_t block = model.find("\tProperties:  {\n\t\tVersion: 100\n\t\tQuaternionInterpolate: 0\n");
    ASSERT_NE(block, std::string::npos) << model;
    EXPECT_NE(model.find("\t\tRotationOrder: 0\n", block), std::string::npos);
    // Animated values are the channels'.
    EXPECT_EQ(model.find("\t\tLcl", block), std::string::npos);
    EXPECT_EQ(model.find("Top Speed"), std::string::npos);
    EXPECT_NE(ReadText(Path()).find("Model: \"Model::After\" {"), std::string::npos);
}

// ---- the whole scene ----

TEST_F(Fbx5ModelsTest, ARichSceneExportsInBothFormsWithEverySection) {
    mScene = richscene::Build(mManager, mFolder.Path().string());
    KFbxCamera* camera = KFbxCamera::Create(mManager, "");
    AddNode("Viewer")->SetNodeAttribute(camera);
    mScene->CreateCharacter("Hero");
    const int poseIndex = mScene->CreateCharacterPose("Stance");
    mScene->GetCharacterPose(poseIndex)->GetPoseScene()->GetRootNode()->AddChild(KFbxNode::Create(mManager, "Pose"));
    KFbxLight* light = KFbxLight::Create(mManager, "");
    light->SetFileName("gobo.tga");
    AddNode("Spot")->SetNodeAttribute(light);
    mOptions->SetOption("EMBEDDED", true);
    ASSERT_TRUE(WriteFile(Path(), true)) << mLastError;
    KFbx file;
    ASSERT_TRUE(file.FileOpen(Path().c_str())) << file.GetLastErrorText();
    const std::string records = "\n" + Records();
    for (const char* section : {"\nMedia:", "\nSwitcher:", "\nModel: \"Model::Body\"", "\nTakes:", "\nGoboManager:",
                                "\nCHARACTER:", "\nSceneGenericPersistence:", "\nConstraints:",
                                "\nAmbientRenderSettings:", "\nFogOptions:", "\nRendererSetting:", "\nSettings:"}) {
        EXPECT_NE(records.find(section), std::string::npos) << section;
    }
    const std::string body = Model(records, "Body");
    for (const char* field : {"\tMaterial: \"Material::Skin\"", "\tTexture: \"Texture::Bricks\"", "\tLink: \"Model::Hip\"",
                              "\tShape: \"Smile\"", "\tVertices:", "\tGeometryUVInfo:",
                              "\tVertexColorInfo:", "\tPolygonVertexIndex:"}) {
        EXPECT_NE(body.find(field), std::string::npos) << field;
    }
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::fbx5test
