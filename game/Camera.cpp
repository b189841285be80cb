#include <game/Camera.h>

#include <GL/glew.h>
#include <GL/glu.h>

#include <cmath>

namespace {

constexpr double pi = 3.141592654;
constexpr double twoPi = 6.283185308;

// One wrap, not a modulo: the angles only ever move by small steps.
float wrapAngle(float angle) {
    if (angle >= twoPi) {
        angle = static_cast<float>(angle - twoPi);
    }
    if (angle < 0.0f) {
        angle = static_cast<float>(angle + twoPi);
    }
    return angle;
}

Vec3 cross(const Vec3& a, const Vec3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

// Adds the turn to an accumulated angle and returns it in radians.
double turnAngle(float& angle, float degrees) {
    const double r = degrees * pi / 180.0;
    angle = wrapAngle(static_cast<float>(angle + r));
    return r;
}

// forward = forward cos r + towards sin r, back to unit length.
void turnForward(Vec3& forward, const Vec3& towards, double r) {
    const double c = std::cos(r);
    const double s = std::sin(r);
    for (std::size_t i = 0; i < 3; ++i) {
        forward[i] = static_cast<float>(forward[i] * c + towards[i] * s);
    }
    normalize3(forward);
}

Camera makeDefaultCamera() {
    Camera camera;
    camera.init(30000.0f, 2500.0f, 30000.0f);
    return camera;
}

}  // namespace

static_assert(sizeof(Camera) == 15 * sizeof(float), "the camera record is fifteen floats");

Camera liveCamera = makeDefaultCamera();
float playerSpeed = 80.0f;

void Camera::init(float x, float y, float z) {
    *this = Camera{};
    position = {x, y, z};
}

void initDefaultCamera() {
    liveCamera = makeDefaultCamera();
}

void normalize3(Vec3& v) {
    const float length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length != 0.0f) {
        v[0] /= length;
        v[1] /= length;
        v[2] /= length;
    }
}

void pitchCamera(Camera& camera, float degrees) {
    if (degrees == 0.0f) {
        return;
    }
    turnForward(camera.forward, camera.up, turnAngle(camera.pitchAngle, degrees));
    camera.up = cross(camera.right, camera.forward);
    normalize3(camera.up);
}

void yawCamera(Camera& camera, float degrees) {
    if (degrees == 0.0f) {
        return;
    }
    const Vec3 left = {-camera.right[0], -camera.right[1], -camera.right[2]};
    turnForward(camera.forward, left, turnAngle(camera.yawAngle, degrees));
    // Right stays horizontal, so the view never rolls.
    camera.right = cross(camera.forward, camera.up);
    camera.right[1] = 0.0f;
    normalize3(camera.right);
}

void moveCamera(Camera& camera, const Vec3& direction) {
    Vec3 step = direction;
    normalize3(step);
    for (int i = 0; i < 3; ++i) {
        camera.position[i] += step[i] * playerSpeed;
    }
}

void applyCamera(const Camera& camera) {
    const auto& p = camera.position;
    const auto& f = camera.forward;
    const auto& u = camera.up;
    glLoadIdentity();
    gluLookAt(p[0], p[1], p[2], static_cast<double>(p[0]) + f[0], static_cast<double>(p[1]) + f[1],
              static_cast<double>(p[2]) + f[2], u[0], u[1], u[2]);
}
