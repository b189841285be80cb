// The 3DS reader's nodes, lights, cameras, targets, hierarchy and keys.
#include "formats/Reader3dsTestSupport.h"

#include <fbxfilesdk/scene/KFbxCamera.h>
#include <fbxfilesdk/scene/KFbxLight.h>
#include <fbxfilesdk/scene/KFbxMarker.h>

#include <cmath>
#include <numbers>

namespace fbxsdk_2006_11_1::reader3dstest {
namespace {

class Reader3dsAnimationTest : public Reader3dsTest {
protected:
    // Imports in file units, so that positions read as the file has them.
    bool ImportUnscaled(File& file, KFbxStreamOptions3dsReader* options = nullptr) {
        if (options == nullptr) {
            options = Options();
        }
        options->SetOption("RESCALING", false);
        return WriteAndImport(file, options);
    }

    static KFCurve* Translation(KFbxNode* node, const char* axis) { return TakeCurve(node, "Transform", "T", axis); }
    static KFCurve* Rotation(KFbxNode* node, const char* axis) { return TakeCurve(node, "Transform", "R", axis); }
};

Key<point3ds> PositionKey(std::uint32_t frame, float x, float y, float z) { return {frame, {x, y, z}}; }

// ---- nodes -----------------------------------------------------------------

TEST_F(Reader3dsAnimationTest, InstancesOfOneMeshAreNamedByInstanceAndShareIt) {
    File file;
    file.Add(Box("box"));
    file.Add(ObjectNode{.mName = "box", .mInstance = "A", .mPivot = {1, 0, 0}});
    file.Add(ObjectNode{.mName = "box", .mInstance = "B", .mPivot = {1, 0, 0}});
    ASSERT_TRUE(ImportUnscaled(file)) << mLastError;
    KFbxNode* first = Node("box.A");
    KFbxNode* second = Node("box.B");
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    ASSERT_NE(MeshOf(first), nullptr);
    EXPECT_EQ(MeshOf(first), MeshOf(second));
    // The pivot moves the shared mesh once: (-1, -1, -1) less (1, 0, 0).
    EXPECT_TRUE(Near(MeshOf(first)->GetControlPoints()[0], -2, -1, 1));
}

TEST_F(Reader3dsAnimationTest, NodeWithoutItsMeshIsAPlainNode) {
    File file;
    file.Add(Box("Box")).Add(ObjectNode{.mName = "$$$DUMMY", .mInstance = "Group"});
    file.Add(ObjectNode{.mName = "Box", .mParent = "$$$DUMMY.Group"});
    ASSERT_TRUE(ImportUnscaled(file)) << mLastError;
    KFbxNode* group = Node("$$$DUMMY.Group");
    ASSERT_NE(group, nullptr);
    EXPECT_EQ(group->GetNodeAttribute(), nullptr);
    EXPECT_EQ(ChildNames(group), std::vector<std::string>{"Box"});
}

TEST_F(Reader3dsAnimationTest, MeshWithoutAKeyframerNodeLeavesNothingBehind) {
    File file;
    file.Add(Box("Shown")).Add(Box("Hidden")).Add(ObjectNode{.mName = "Shown"});
    ASSERT_TRUE(ImportUnscaled(file)) << mLastError;
    EXPECT_EQ(ChildNames(mScene->GetRootNode()), std::vector<std::string>{"Shown"});
    EXPECT_EQ(mManager->GetObjectCount(KFbxMesh::ClassId), 1);
}

TEST_F(Reader3dsAnimationTest, ParentsAreFoundByNameAndMissingOrLoopingOnesLeadToTheRoot) {
    File file;
    file.Add(ObjectNode{.mName = "Child", .mParent = "Parent"}).Add(ObjectNode{.mName = "Parent"});
    file.Add(ObjectNode{.mName = "Orphan", .mParent = "Nobody"});
    file.Add(ObjectNode{.mName = "Self", .mParent = "Self"});
    file.Add(ObjectNode{.mName = "Ping", .mParent = "Pong"}).Add(ObjectNode{.mName = "Pong", .mParent = "Ping"});
    ASSERT_TRUE(ImportUnscaled(file)) << mLastError;
    EXPECT_EQ(ChildNames(Node("Parent")), std::vector<std::string>{"Child"});
    EXPECT_EQ(ChildNames(mScene->GetRootNode()), (std::vector<std::string>{"Parent", "Orphan", "Self", "Pong"}));
    EXPECT_EQ(ChildNames(Node("Pong")), std::vector<std::string>{"Ping"});
}

TEST_F(Reader3dsAnimationTest, ParentOfAnotherSceneIsNotTaken) {
    KFbxScene* other = KFbxScene::Create(mManager, "other");
    KFbxNode* stranger = KFbxNode::Create(mManager, "Stranger");
    other->GetRootNode()->AddChild(stranger);
    File file;
    file.Add(ObjectNode{.mName = "Child", .mParent = "Stranger"});
    ASSERT_TRUE(ImportUnscaled(file)) << mLastError;
    EXPECT_EQ(Node("Child")->GetParent(), mScene->GetRootNode());
    EXPECT_EQ(stranger->GetChildCount(), 0);
}

// ---- lights and cameras ------------------------------------------------------

TEST_F(Reader3dsAnimationTest, SpotLightLooksAtItsTargetNode) {
    File file;
    file.Spot("S1", {0, 0, 10}, {0, 0, 0}, 30.0f, "slide.tga");
    file.Add(SpotNode{.mName = "S1", .mPosition = {PositionKey(0, 0, 0, 10)}, .mHotspot = {{0, 30.0f}, {10, 50.0f}},
                      .mTargetPosition = {PositionKey(0, 1, 2, 3)}});
    ASSERT_TRUE(ImportUnscaled(file)) << mLastError;
    KFbxNode* spot = Node("S1");
    KFbxNode* target = Node("S1.Target");
    ASSERT_NE(spot, nullptr);
    ASSERT_NE(target, nullptr);
    EXPECT_EQ(spot->GetTarget(), target);
    EXPECT_TRUE(Near(spot->GetPostTargetRotation(), 0, 0, 90));
    auto* light = dynamic_cast<KFbxLight*>(spot->GetNodeAttribute());
    ASSERT_NE(light, nullptr);
    EXPECT_EQ(light->GetLightType(), KFbxLight::eSPOT);
    EXPECT_STREQ(light->GetFileName(), "slide.tga");
    EXPECT_NE(dynamic_cast<KFbxMarker*>(target->GetNodeAttribute()), nullptr);
    KFbxVector4 position;
    target->GetLclTranslation(position);
    EXPECT_TRUE(Near(position, 1, 3, -2));
    EXPECT_EQ(KeyFrames(TakeCurve(spot, nullptr, nullptr, "Cone angle")), (std::vector<std::int64_t>{0, 10}));
}

TEST_F(Reader3dsAnimationTest, CameraTargetFollowsTheCamerasParentUnlessItHasItsOwn) {
    File file;
    file.Camera("Cam", {0, -10, 0}, {0, 0, 0}, 60.0f).Camera("Cam2", {0, -10, 0}, {0, 0, 0});
    file.Add(ObjectNode{.mName = "Rig"}).Add(ObjectNode{.mName = "Stand"});
    file.Add(CameraNode{.mName = "Cam", .mParent = "Rig"});
    file.Add(CameraNode{.mName = "Cam2", .mParent = "Rig", .mTargetParent = "Stand", .mTargetPosition = {{}}});
    ASSERT_TRUE(ImportUnscaled(file)) << mLastError;
    EXPECT_EQ(ChildNames(Node("Rig")), (std::vector<std::string>{"Cam", "Cam.Target", "Cam2"}));
    EXPECT_EQ(ChildNames(Node("Stand")), std::vector<std::string>{"Cam2.Target"});
    KFbxNode* camera = Node("Cam");
    EXPECT_EQ(camera->GetTarget(), Node("Cam.Target"));
    EXPECT_TRUE(Near(camera->GetPostTargetRotation(), 0, 0, 0));
}

TEST_F(Reader3dsAnimationTest, CameraTakesItsLensPlanesAndKeys) {
    File file;
    file.SolidBackground({0.25f, 0.5f, 1.0f}).Camera("Cam", {0, -10, 0}, {0, 0, 0}, 48.0f);
    file.Add(CameraNode{.mName = "Cam", .mPosition = {PositionKey(0, 0, -10, 0), PositionKey(20, 0, -20, 0)},
                        .mFov = {{0, 48.0f}}, .mRoll = {{0, 5.0f}, {20, 15.0f}}});
    ASSERT_TRUE(ImportUnscaled(file)) << mLastError;
    KFbxNode* node = Node("Cam");
    auto* camera = dynamic_cast<KFbxCamera*>(node->GetNodeAttribute());
    ASSERT_NE(camera, nullptr);
    EXPECT_NEAR(camera->GetDefaultFieldOfView(), 48.0, 1e-4);
    EXPECT_NEAR(camera->GetNearPlane(), 10.0, 1e-6);
    EXPECT_NEAR(camera->GetFarPlane(), 10000.0, 1e-6);
    EXPECT_NEAR(camera->GetDefaultBackgroundColor().mBlue, 1.0, 1e-6);
    // One field-of-view key: a default and a key at 0; the roll is animated.
    EXPECT_EQ(KeyFrames(TakeCurve(node, nullptr, nullptr, "FieldOfView")), std::vector<std::int64_t>{0});
    const KFCurve* roll = TakeCurve(node, nullptr, nullptr, "Roll");
    ASSERT_EQ(KeyFrames(roll), (std::vector<std::int64_t>{0, 20}));
    EXPECT_EQ(roll->KeyGetValue(1), 15.0f);
    EXPECT_EQ(Translation(node, "Z")->KeyGetValue(1), 20.0f);
}

TEST_F(Reader3dsAnimationTest, OmniLightTakesColourAndIntensity) {
    File file;
    file.Omni("Lamp", {1, 2, 3}, {1.0f, 0.5f, 0.25f}, 0.75f).Omni("Bulb", {0, 0, 0});
    file.Add(OmniNode{.mName = "Lamp", .mColor = {{0, {1.0f, 0.5f, 0.25f}}}});
    file.Add(OmniNode{.mName = "Bulb", .mColor = {{0, {0, 0, 0}}, {30, {1, 1, 1}}}});
    ASSERT_TRUE(ImportUnscaled(file)) << mLastError;
    auto* lamp = dynamic_cast<KFbxLight*>(Node("Lamp")->GetNodeAttribute());
    ASSERT_NE(lamp, nullptr);
    EXPECT_EQ(lamp->GetLightType(), KFbxLight::ePOINT);
    EXPECT_NEAR(lamp->GetDefaultIntensity(), 75.0, 1e-4);
    double rgb[3];
    lamp->GetDefaultColor(rgb);
    EXPECT_EQ(rgb[1], 0.5);
    const KFCurve* red = TakeCurve(Node("Lamp"), nullptr, "Color", "X");
    ASSERT_EQ(KeyFrames(red), std::vector<std::int64_t>{0});
    EXPECT_EQ(red->KeyGetValue(0), 1.0f);
    EXPECT_EQ(KeyFrames(TakeCurve(Node("Bulb"), nullptr, "Color", "Y")), (std::vector<std::int64_t>{0, 30}));
}

TEST_F(Reader3dsAnimationTest, LightsAndCamerasWithoutKeyframerDataStayWhereTheirRecordsPutThem) {
    File file;
    file.Omni("Lamp", {1, 2, 3}).Spot("Spot", {4, 5, 6}, {7, 8, 9}, 20.0f).Camera("Cam", {1, 1, 1}, {2, 2, 2}, 30.0f);
    ASSERT_TRUE(ImportUnscaled(file)) << mLastError;
    KFbxVector4 position;
    Node("Lamp")->GetLclTranslation(position);
    EXPECT_TRUE(Near(position, 1, 3, -2));
    Node("Spot.Target")->GetLclTranslation(position);
    EXPECT_TRUE(Near(position, 7, 9, -8));
    EXPECT_NEAR(dynamic_cast<KFbxLight*>(Node("Spot")->GetNodeAttribute())->GetDefaultConeAngle(), 20.0, 1e-4);
    EXPECT_NEAR(dynamic_cast<KFbxCamera*>(Node("Cam")->GetNodeAttribute())->GetDefaultFieldOfView(), 30.0, 1e-3);
    EXPECT_EQ(Node("Cam")->GetTarget(), Node("Cam.Target"));
}

TEST_F(Reader3dsAnimationTest, LightAndCameraOptionsOffLeaveThemOut) {
    File file;
    file.Omni("Lamp", {1, 2, 3}).Spot("Spot", {4, 5, 6}, {7, 8, 9}).Camera("Cam", {1, 1, 1}, {2, 2, 2});
    file.Add(Box("Box"));
    KFbxStreamOptions3dsReader* options = Options();
    options->SetOption("LIGHT", false);
    options->SetOption("CAMERA", false);
    ASSERT_TRUE(ImportUnscaled(file, options)) << mLastError;
    EXPECT_EQ(ChildNames(mScene->GetRootNode()), std::vector<std::string>{"Box"});
}

// ---- keys ------------------------------------------------------------------

TEST_F(Reader3dsAnimationTest, RotationKeysAreRelativeToTheKeyBefore) {
    const float angle = 0.5f;
    File file;
    file.Add(ObjectNode{.mName = "Turn", .mRotation = {{0, {angle, 0, 0, 1}}, {10, {angle, 0, 0, 1}}}});
    file.Add(ObjectNode{.mName = "Still", .mRotation = {{0, {angle, 0, 0, 1}}}});
    ASSERT_TRUE(ImportUnscaled(file)) << mLastError;
    const double degrees = angle * 180.0 / std::numbers::pi;
    KFbxVector4 still;
    Node("Still")->GetLclRotation(still);
    EXPECT_TRUE(Near(still, 0, -degrees, 0, 1e-4));
    KFbxNode* turn = Node("Turn");
    ASSERT_EQ(KeyFrames(Rotation(turn, "Y")), (std::vector<std::int64_t>{0, 10}));
    EXPECT_NEAR(Rotation(turn, "Y")->KeyGetValue(0), -degrees, 1e-4);
    EXPECT_NEAR(Rotation(turn, "Y")->KeyGetValue(1), -2 * degrees, 1e-4);
    EXPECT_NEAR(Rotation(turn, "X")->KeyGetValue(1), 0.0, 1e-4);
}

TEST_F(Reader3dsAnimationTest, RotationsThatWrapAreUnrolled) {
    // Four quarter turns about the file's y axis (the scene's -z) reach a
    // full turn, not back to 0.
    std::vector<Key<rotkey3ds>> keys;
    for (std::uint32_t key = 0; key < 5; ++key) {
        keys.push_back({key * 10, {key == 0 ? 0.0f : std::numbers::pi_v<float> / 2, 0, 1, 0}});
    }
    File file;
    file.Add(ObjectNode{.mName = "Spin", .mRotation = keys});
    ASSERT_TRUE(ImportUnscaled(file)) << mLastError;
    const KFCurve* z = Rotation(Node("Spin"), "Z");
    ASSERT_NE(z, nullptr);
    ASSERT_EQ(z->KeyGetCount(), 5);
    EXPECT_NEAR(z->KeyGetValue(2), 180.0, 1e-3);
    EXPECT_NEAR(z->KeyGetValue(4), 360.0, 1e-3);
}

TEST_F(Reader3dsAnimationTest, KeysThatDoNotMoveForwardAreSkipped) {
    File file;
    file.Add(ObjectNode{.mName = "Hop",
                        .mPosition = {PositionKey(0, 1, 0, 0), PositionKey(10, 2, 0, 0), PositionKey(10, 3, 0, 0),
                                      PositionKey(20, 4, 0, 0), PositionKey(15, 5, 0, 0)}});
    ASSERT_TRUE(ImportUnscaled(file)) << mLastError;
    const KFCurve* x = Translation(Node("Hop"), "X");
    ASSERT_EQ(KeyFrames(x), (std::vector<std::int64_t>{0, 10, 20}));
    EXPECT_EQ(x->KeyGetValue(1), 2.0f);
    EXPECT_EQ(x->KeyGetValue(2), 4.0f);
}

TEST_F(Reader3dsAnimationTest, SplineParametersAreTakenWhereTheirFlagsSayTheyAre) {
    Key<point3ds> first = PositionKey(0, 0, 0, 0);
    first.mFlags = 0x01 | 0x04;
    first.mTension = 0.5f;
    first.mBias = -0.25f;
    File file;
    file.Add(ObjectNode{.mName = "Ease", .mPosition = {first, PositionKey(10, 1, 0, 0)}});
    ASSERT_TRUE(ImportUnscaled(file)) << mLastError;
    const KFCurve* x = Translation(Node("Ease"), "X");
    ASSERT_EQ(x->KeyGetCount(), 2);
    EXPECT_EQ(x->KeyGetInterpolation(0), static_cast<unsigned>(KFCURVE_INTERPOLATION_CUBIC));
    EXPECT_EQ(x->KeyGetTangentMode(0), static_cast<unsigned>(KFCURVE_TANGENT_TCB));
    EXPECT_EQ(x->KeyGetDataFloat(0, KFCurveKey::kTension), 0.5f);
    EXPECT_EQ(x->KeyGetDataFloat(0, KFCurveKey::kContinuity), 0.0f);
    EXPECT_EQ(x->KeyGetDataFloat(0, KFCurveKey::kBias), -0.25f);
}

TEST_F(Reader3dsAnimationTest, WithoutAnimationOnlyTheFirstKeyCounts) {
    std::vector<Key<point3ds>> keys;
    for (std::uint32_t key = 0; key < 50; ++key) {
        keys.push_back(PositionKey(key, static_cast<float>(key) + 1.0f, 2, 3));
    }
    File file;
    file.Add(ObjectNode{.mName = "Walk", .mPosition = keys});
    KFbxStreamOptions3dsReader* options = Options();
    options->SetOption("ANIMATION", false);
    ASSERT_TRUE(ImportUnscaled(file, options)) << mLastError;
    KFbxNode* walk = Node("Walk");
    KFbxVector4 translation;
    walk->GetLclTranslation(translation);
    EXPECT_TRUE(Near(translation, 1, 3, -2));
    EXPECT_EQ(Translation(walk, "X")->KeyGetCount(), 0);
    EXPECT_EQ(Translation(walk, "X")->GetValue(), 1.0f);
}

TEST_F(Reader3dsAnimationTest, KeyReducerThinsStraightRuns) {
    std::vector<Key<point3ds>> keys;
    for (std::uint32_t key = 0; key < 30; ++key) {
        keys.push_back(PositionKey(key, static_cast<float>(key), 0, 0));
    }
    File file;
    file.Add(ObjectNode{.mName = "Slide", .mPosition = keys, .mScale = {{0, {2, 3, 4}}, {29, {2, 3, 4}}}});
    ASSERT_TRUE(ImportUnscaled(file)) << mLastError;
    EXPECT_EQ(Translation(Node("Slide"), "X")->KeyGetCount(), 30);
    const KFCurve* scaleY = TakeCurve(Node("Slide"), "Transform", "S", "Y");
    ASSERT_EQ(scaleY->KeyGetCount(), 2);
    // Scaling swaps the axes without a sign.
    EXPECT_EQ(scaleY->KeyGetValue(0), 4.0f);

    mScene->Clear();
    KFbxStreamOptions3dsReader* options = Options();
    options->SetOption("FILTER", true);
    ASSERT_TRUE(ImportUnscaled(file, options)) << mLastError;
    const KFCurve* x = Translation(Node("Slide"), "X");
    EXPECT_LT(x->KeyGetCount(), 30);
    EXPECT_GE(x->KeyGetCount(), 2);
    EXPECT_NEAR(x->Evaluate(KTime(KTime::kTicksPerSecond / 2)), 15.0f, 1.0f);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::reader3dstest
