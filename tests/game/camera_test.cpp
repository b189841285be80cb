#include <game/Camera.h>

#include <gtest/gtest.h>

namespace {

constexpr float tolerance = 1e-5f;

void expectVec(const Vec3& actual, const Vec3& expected, float within = tolerance) {
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(actual[i], expected[i], within) << "component " << i;
    }
}

Camera startCamera() {
    Camera camera;
    camera.init(1.0f, 2.0f, 3.0f);
    return camera;
}

TEST(Camera, LiveCameraStartsAtTheDefaultPosition) {
    liveCamera.position = {0, 0, 0};
    initDefaultCamera();
    expectVec(liveCamera.position, {30000.0f, 2500.0f, 30000.0f}, 0);
    expectVec(liveCamera.forward, {0, 0, -1}, 0);
}

TEST(Camera, PitchUpAndBackReturnsToTheStart) {
    Camera camera = startCamera();
    pitchCamera(camera, 90.0f);
    expectVec(camera.forward, {0, 1, 0});
    expectVec(camera.up, {0, 0, 1});
    expectVec(camera.right, {1, 0, 0}, 0);
    pitchCamera(camera, -90.0f);
    expectVec(camera.forward, {0, 0, -1});
    expectVec(camera.up, {0, 1, 0});
}

TEST(Camera, NegativePitchWrapsIntoTheCircle) {
    Camera camera = startCamera();
    pitchCamera(camera, -1.0f);
    EXPECT_NEAR(camera.pitchAngle, 6.283185308 - 0.0174532925, 1e-6);
    pitchCamera(camera, 2.0f);
    EXPECT_NEAR(camera.pitchAngle, 0.0174532925, 1e-6);
}

TEST(Camera, YawTurnsLeftAndKeepsRightHorizontal) {
    Camera camera = startCamera();
    pitchCamera(camera, 30.0f);  // a tilted view must not tilt right
    yawCamera(camera, 90.0f);
    EXPECT_EQ(camera.right[1], 0.0f);
    // A positive yaw turns the view from -z towards -x.
    EXPECT_LT(camera.forward[0], -0.8f);
    for (int step = 0; step < 50; ++step) {
        yawCamera(camera, 17.3f);
        pitchCamera(camera, -3.1f);
        EXPECT_EQ(camera.right[1], 0.0f);
    }
    EXPECT_GE(camera.yawAngle, 0.0f);
    EXPECT_LT(camera.yawAngle, 6.283185308f);
}

TEST(Camera, ZeroAnglesChangeNothing) {
    Camera camera = startCamera();
    pitchCamera(camera, 10.0f);
    yawCamera(camera, 20.0f);
    const Camera before = camera;
    pitchCamera(camera, 0.0f);
    yawCamera(camera, 0.0f);
    expectVec(camera.forward, before.forward, 0);
    expectVec(camera.up, before.up, 0);
    expectVec(camera.right, before.right, 0);
    EXPECT_EQ(camera.pitchAngle, before.pitchAngle);
    EXPECT_EQ(camera.yawAngle, before.yawAngle);
}

TEST(Camera, MoveStepsByPlayerSpeedAlongTheUnitDirection) {
    Camera camera = startCamera();
    const float savedSpeed = playerSpeed;
    playerSpeed = 80.0f;
    moveCamera(camera, {0.0f, 3.0f, 4.0f});
    expectVec(camera.position, {1.0f, 2.0f + 48.0f, 3.0f + 64.0f}, 1e-4f);
    moveCamera(camera, {0.0f, 0.0f, 0.0f});
    expectVec(camera.position, {1.0f, 50.0f, 67.0f}, 1e-4f);
    playerSpeed = savedSpeed;
}

TEST(Camera, Normalize3LeavesZeroAlone) {
    Vec3 zero{0, 0, 0};
    normalize3(zero);
    expectVec(zero, {0, 0, 0}, 0);
    Vec3 v{3, 0, -4};
    normalize3(v);
    expectVec(v, {0.6f, 0, -0.8f});
}

}  // namespace
