#include <game/Teapots.h>

#include <game/FbxModel.h>
#include <game/GameState.h>
#include <game/PlayerOptions.h>
#include <game/Sound.h>

namespace {

constexpr int collectedVolume = 204;
constexpr int weaponCharges = 3;

}  // namespace

bool FBX_DecorTeapot::collides(const Vec3& point, const Vec3& direction, float radius) {
    if (!spheresOverlap(point, direction, position, radius, size)) {
        return false;
    }
    giveToPlayer();
    playSample(soundTeapotCollected, collectedVolume);
    state = decorGone;
    return true;
}

bool FBX_DecorTeapot::isHit(const Vec3& point, const Vec3& direction, float radius) {
    return spheresOverlap(point, direction, position, radius, size);
}

void FBX_DecorTeapot::draw(int lod) {
    drawPlain(lod, colour);
}

void FBX_DecorTeapot::takeDamage(int) {}

void FBX_DecorTeapot::advanceFrame(int lod) {
    frameTime += 1.0f;
    frameCounter = static_cast<int>(frameTime);
    setModelFrame(*models[static_cast<std::size_t>(lod)], frameCounter);
}

void FBX_DecorHealthTeapot::giveToPlayer() {
    playerHealth = playerMaxHealth;
}

void FBX_DecorWeaponTeapot::giveToPlayer() {
    salvoCharges = weaponCharges;
}

void FBX_DecorSpeedTeapot::giveToPlayer() {
    playerSpeed = boostSpeed;
}
