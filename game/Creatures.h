#pragma once

#include <game/Creature.h>

// Attack cooldowns reload from these; each kind's constructor sets its own.
extern float aggroBirdAttackInterval;
extern float demonAttackInterval;
extern float wizardAttackInterval;

// A harmless bird that flies straight on and never turns to the player.
class FBXCreatureBird : public FBX_Creature {
public:
    static constexpr HitBar hitBar{0, 3, 10};

    FBXCreatureBird(const CreatureModels& models, const Vec3& position, float radius, float attackRadius,
                    float extraScale, int startFrame);

    bool collides(const Vec3& point, const Vec3& direction, float radius) override;
    bool isHit(const Vec3& point, const Vec3& direction, float radius) override;
    void moveOnGround() override;
    void act(const Vec3& player) override;
    void draw(int lod) override;
    void attack(const Vec3& player) override;
    void turnTowards(const Vec3& point) override;
};

// A bird that hovers over the ground and shoots fireballs.
class FBXCreatureAggroBird : public FBX_Creature {
public:
    static constexpr HitBar hitBar{5, 5, 9};

    FBXCreatureAggroBird(const CreatureModels& models, const Vec3& position, float radius, float attackRadius,
                         float extraScale, int startFrame);

    bool collides(const Vec3& point, const Vec3& direction, float radius) override;
    bool isHit(const Vec3& point, const Vec3& direction, float radius) override;
    void moveOnGround() override;
    void draw(int lod) override;
    void attack(const Vec3& player) override;

    float hoverHeight = 0.0f;  // added to the ground under it
    float attackCooldown = 0.0f;
    float frameTime = 0.0f;
};

// A demon walking on the ground that shoots salvo fireballs.
class FBXCreatureDemon : public FBX_Creature {
public:
    static constexpr HitBar hitBar{0, 20, 10};

    FBXCreatureDemon(const CreatureModels& models, const Vec3& position, float radius, float attackRadius,
                     float extraScale, int startFrame);

    bool collides(const Vec3& point, const Vec3& direction, float radius) override;
    bool isHit(const Vec3& point, const Vec3& direction, float radius) override;
    void moveOnGround() override;
    void draw(int lod) override;
    void attack(const Vec3& player) override;

    float attackCooldown = 0.0f;
    float frameTime = 0.0f;
};

// The second level's boss: always hunting the player, on a carpet.
class FBXCreatureWizard : public FBX_Creature {
public:
    static constexpr HitBar hitBar{0, 60, 10};

    FBXCreatureWizard(const CreatureModels& models, const Vec3& position, float radius, float attackRadius,
                      float extraScale, int startFrame, const CreatureModels& bodyModels);

    bool collides(const Vec3& point, const Vec3& direction, float radius) override;
    bool isHit(const Vec3& point, const Vec3& direction, float radius) override;
    void moveOnGround() override;
    void think(const Vec3& player) override;
    void act(const Vec3& player) override;
    void draw(int lod) override;
    void attack(const Vec3& player) override;

    int strafing = 0;  // cleared by every move
    float hoverHeight = 0.0f;
    float attackCooldown = 0.0f;
    float frameTime = 0.0f;
    CreatureModels bodyModels{};  // drawn over the first set
};
