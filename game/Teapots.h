#pragma once

#include <game/Decor.h>

// A pick-up: touching it gives its effect to the player and collects it.
// Spells destroy nothing of it.
class FBX_DecorTeapot : public FBX_Decor {
public:
    bool collides(const Vec3& point, const Vec3& direction, float radius) override;
    bool isHit(const Vec3& point, const Vec3& direction, float radius) override;
    void draw(int lod) override;
    void takeDamage(int amount) override;

protected:
    virtual void giveToPlayer() = 0;
    void advanceFrame(int lod) override;
};

// Restores the player's health to its maximum.
class FBX_DecorHealthTeapot : public FBX_DecorTeapot {
protected:
    void giveToPlayer() override;
};

// Sets the salvo charges to three.
class FBX_DecorWeaponTeapot : public FBX_DecorTeapot {
protected:
    void giveToPlayer() override;
};

// Gives the player the boost speed.
class FBX_DecorSpeedTeapot : public FBX_DecorTeapot {
protected:
    void giveToPlayer() override;
};
