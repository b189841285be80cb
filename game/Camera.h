#pragma once

#include <array>

using Vec3 = std::array<float, 3>;

// The player's eye and body: its position is the player's position in every
// game rule. Fifteen floats, copied whole when a prepared camera is restored.
struct Camera {
    Vec3 forward{0.0f, 0.0f, -1.0f};  // unit view direction
    Vec3 up{0.0f, 1.0f, 0.0f};
    Vec3 right{1.0f, 0.0f, 0.0f};
    Vec3 position{0.0f, 0.0f, 0.0f};
    float pitchAngle = 0.0f;  // radians, kept in [0, 2 pi)
    float yawAngle = 0.0f;    // radians, kept in [0, 2 pi); the minimap turns by it
    float rollAngle = 0.0f;   // never changed

    // Every field back to its start value, at the given position.
    void init(float x, float y, float z);
};

// The live camera, at (30000, 2500, 30000) before the program's entry runs.
extern Camera liveCamera;

// How far one movement step goes (80 normally; the speed key changes it).
extern float playerSpeed;

void initDefaultCamera();

// Angles are in degrees; a zero angle changes nothing.
void pitchCamera(Camera& camera, float degrees);
void yawCamera(Camera& camera, float degrees);

// One step of playerSpeed along the direction; a zero direction stays put.
void moveCamera(Camera& camera, const Vec3& direction);

// Loads the view transform into the current (modelview) matrix.
void applyCamera(const Camera& camera);

// Scales to unit length in place; a zero vector stays zero.
void normalize3(Vec3& v);
