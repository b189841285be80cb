#pragma once

#include <game/Decor.h>

// A cactus: one sphere around its middle, destroyed when its health is gone.
class FBX_DecorCactus : public FBX_Decor {
public:
    static constexpr HitBar hitBar{0, 2, 10};

    bool collides(const Vec3& point, const Vec3& direction, float radius) override;
    bool isHit(const Vec3& point, const Vec3& direction, float radius) override;
    void draw(int lod) override;
    void takeDamage(int amount) override;

private:
    Vec3 midCentre() const { return above(0.5f * size); }
};

// A palm: a crown model over a trunk model, each with its own sphere.
class FBX_DecorPalm : public FBX_Decor {
public:
    static constexpr HitBar hitBar{0, 3, 10};

    FBX_DecorPalm(FbxModel* crown0, FbxModel* crown1, float x, float y, float z, float angle, float size,
                  float extraScale, FbxModel* crown2, FbxModel* trunk0, FbxModel* trunk1, FbxModel* trunk2);

    bool collides(const Vec3& point, const Vec3& direction, float radius) override;
    bool isHit(const Vec3& point, const Vec3& direction, float radius) override;
    void draw(int lod) override;
    void takeDamage(int amount) override;

    std::array<FbxModel*, 3> crownModels{};  // models hold the trunk

private:
    Vec3 crownCentre() const { return above(2.0f * size); }
    Vec3 trunkCentre() const { return above(2.0f * size / 3.0f); }
};

// A solid block: stops walkers at its base sphere, while spells hit a
// smaller sphere higher up. No hit display.
class FBX_DecorBlock : public FBX_Decor {
public:
    bool collides(const Vec3& point, const Vec3& direction, float radius) override;
    bool isHit(const Vec3& point, const Vec3& direction, float radius) override;
    void draw(int lod) override;
};

// A sandstone: loses health to hits but never breaks.
class FBX_DecorSandstone : public FBX_DecorBlock {
public:
    void takeDamage(int amount) override;
};

// A piece of the wall round the playable square: takes no damage.
class FBX_DecorWall : public FBX_DecorBlock {
public:
    void takeDamage(int amount) override;
};
