#include <game/PlayerControl.h>

#include <game/Creature.h>
#include <game/Decor.h>
#include <game/GameState.h>
#include <game/Input.h>
#include <game/LevelSetup.h>
#include <game/ModelDraw.h>
#include <game/PlayerOptions.h>
#include <game/Sound.h>
#include <game/Spell.h>
#include <game/TerrainQuadtree.h>
#include <game/Texture.h>
#include <game/WorldLists.h>

#include <cmath>
#include <cstdio>
#include <memory>

namespace {

constexpr double pi = 3.141592654;
// Below this the rest of a pending rotation is applied at once.
constexpr double smoothingLimit = 0.017453292522222223;
constexpr float probeDistance = 300.0f;
constexpr float walkerRadius = 200.0f;
constexpr float slowSpeed = 70.0f;
constexpr float fireballLaunch = 500.0f;
constexpr int particleTextureSlot = 11;
constexpr int fireballVolume = 153;
constexpr int salvoShots = 50;
constexpr int pointerMargin = 100;

Vec3 negated(const Vec3& v) {
    return {-v[0], -v[1], -v[2]};
}

// Pixels of pointer movement to the pending rotation: the window's size in
// 60ths (whole ones) per pixel, as radians.
void addPending(float& pending, int pixels, int windowSize) {
    pending = static_cast<float>(pending + pixels * (windowSize / 60) * pi / 180.0);
}

// A third of the pending rotation, or all of it once it is small. The step
// is handed to the camera, which takes degrees, as it is.
float lookStep(float pending) {
    return std::fabs(pending) >= smoothingLimit ? -pending / 3.0f : -pending;
}

void mouseLook() {
    addPending(pendingYaw, mouseX - prevMouseX, windowWidth);
    addPending(pendingPitch, mouseY - prevMouseY, windowHeight);
    const float yawStep = lookStep(pendingYaw);
    const float pitchStep = lookStep(pendingPitch);
    if (mouseX < pointerMargin || mouseX > windowWidth - pointerMargin || mouseY < pointerMargin ||
        mouseY > windowHeight - pointerMargin) {
        mouseX = windowWidth / 2;
        mouseY = windowHeight / 2;
        warpPointer(mouseX, mouseY);
    }
    yawCamera(liveCamera, yawStep);
    pitchCamera(liveCamera, pitchStep);
    prevMouseX = mouseX;
    prevMouseY = mouseY;
    pendingYaw += yawStep;
    pendingPitch += pitchStep;
}

// A step along the direction that climbs where the ground ahead rises.
Vec3 groundStep(const Vec3& along) {
    Vec3 direction = along;
    direction[1] += heightAboveGround(liveCamera.position, along);
    return direction;
}

void walkForward() {
    Vec3 direction = groundStep(liveCamera.forward);
    // Every near decor is asked: a pick-up touched on the way is taken
    // even when another object blocks the step.
    for (Decor* decor : nearDecors) {
        if (decor->collides(liveCamera.position, liveCamera.forward, walkerRadius)) {
            direction = {0.0f, 0.0f, 0.0f};
        }
    }
    moveCamera(liveCamera, direction);
}

void killEveryCreature() {
    for (const auto& creature : creatureList) {
        creature->state = creatureDead;
    }
}

// Clears the press and reports whether there was one.
bool takePress(bool& pressed) {
    const bool was = pressed;
    pressed = false;
    return was;
}

}  // namespace

float heightAboveGround(const Vec3& position, const Vec3& direction) {
    const float x = position[0] + probeDistance * direction[0];
    const float y = position[1] + probeDistance * direction[1];
    const float z = position[2] + probeDistance * direction[2];
    const float h = centreGroundHeight(x, z);
    return h > y ? h - y : 0.0f;
}

void toggleViewCone() {
    narrowViewCone = !narrowViewCone;
    viewConeCos = narrowViewCone ? 0.83f : 0.65f;
}

void setRenderModeAll(int mode) {
    std::printf("Changing RenderMode to %i\n", mode);
    for (const auto& model : modelList) {
        rebuildModelBuffers(*model, mode);
    }
}

void updatePlayer() {
    mouseLook();
    if (keyHeld['w']) {
        walkForward();
    }
    if (keyHeld['s']) {
        moveCamera(liveCamera, groundStep(negated(liveCamera.forward)));
    }
    if (keyHeld['c']) {
        killEveryCreature();
    }
    if (keyHeld['a']) {
        moveCamera(liveCamera, groundStep(negated(liveCamera.right)));
    }
    if (keyHeld['d']) {
        moveCamera(liveCamera, groundStep(liveCamera.right));
    }
    if (keyHeld['q']) {
        playerSpeed = playerSpeed == slowSpeed ? boostSpeed : slowSpeed;
    }
    if (takePress(key2Pressed)) {
        boundingSpheresShown = !boundingSpheresShown;
    }
    if (takePress(f1Pressed)) {
        helpShown = !helpShown;
    }
    if (takePress(f2Pressed)) {
        fpsShown = !fpsShown;
    }
    if (takePress(f6Pressed)) {
        currentRenderMode = currentRenderMode == renderImmediate ? renderVertexArrays : renderImmediate;
        setRenderModeAll(currentRenderMode);
    }
    if (takePress(f7Pressed)) {
        staticLodMode = (staticLodMode + 1) % 3;
    }
    if (takePress(f8Pressed)) {
        viewFrustumOn = !viewFrustumOn;
        viewConeCulling = viewFrustumOn;
    }
}

void castPlayerSpell() {
    if (takePress(leftClick)) {
        Vec3 start = liveCamera.position;
        for (int i = 0; i < 3; ++i) {
            start[i] += fireballLaunch * liveCamera.forward[i];
        }
        playerSpells.push_back(std::make_unique<Spell_Fireball>(start, liveCamera.forward,
                                                                textureIds[particleTextureSlot],
                                                                static_cast<float>(10 * playerPower + 100)));
        playSample(soundFireballShoot, fireballVolume);
    }
    if (takePress(rightClick) && salvoCharges > 0) {
        salvoCharges -= 1;
        salvoActive = true;
        salvoShotsLeft = salvoShots;
    }
}
