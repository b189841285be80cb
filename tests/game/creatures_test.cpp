#include <game/Creatures.h>
#include <game/Spell.h>
#include <game/TerrainTiles.h>
#include <game/WorldLists.h>

#include "StdoutCapture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using testfiles::printed;

const CreatureModels noModels{};
const Vec3 noDirection{};

int count(const std::string& text, const std::string& line) {
    int n = 0;
    for (std::size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) {
        ++n;
    }
    return n;
}

float length(const Vec3& v) {
    return std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
}

// The player stands at the camera; creature spells aim at it.
class Creatures : public testing::Test {
protected:
    void SetUp() override {
        savedCamera_ = liveCamera;
        liveCamera.position = player;
        creatureSpells.clear();
        std::srand(5);
    }
    void TearDown() override {
        creatureSpells.clear();
        liveCamera = savedCamera_;
        terrainRoots[centreTile].reset();
        terrainTiles[centreTile] = savedTile_;
    }

    // Flat ground at the given height over the playable tile.
    void makeGround(std::uint16_t height) {
        terrainTiles[centreTile].corners = {height, height, height, height};
        terrainRoots[centreTile] = std::make_unique<TerrainQuadtree>(terrainTiles[centreTile]);
    }

    const Vec3 player{30000.0f, 3000.0f, 30000.0f};

private:
    Camera savedCamera_;
    TerrainTile savedTile_ = terrainTiles[centreTile];
};

}  // namespace

TEST_F(Creatures, KindsStartWithTheirValues) {
    FBXCreatureBird bird(noModels, {1.0f, 2.0f, 3.0f}, 500.0f, 2000.0f, 1.5f, 7);
    EXPECT_EQ(bird.health, 30);
    EXPECT_FLOAT_EQ(bird.speed, 10.0f);
    EXPECT_FLOAT_EQ(bird.reward, 2.0f);
    EXPECT_FALSE(bird.aggressive);
    EXPECT_EQ(bird.markColour, (Vec3{0.9f, 0.2f, 0.0f}));
    EXPECT_EQ(bird.frameCounter, 7);
    EXPECT_FLOAT_EQ(bird.extraScale, 1.5f);
    EXPECT_EQ(bird.state, creatureIdle);
    EXPECT_GE(bird.wanderLimit, 2000.0f);
    EXPECT_LT(bird.wanderLimit, 2500.0f);
    EXPECT_NEAR(length(bird.direction), 1.0f, 1e-5f) << "a random first direction";
    EXPECT_EQ(bird.direction[1], 0.0f);

    FBXCreatureAggroBird aggro(noModels, {1.0f, 3500.0f, 3.0f}, 200.0f, 8000.0f, 0.0f, 4);
    EXPECT_EQ(aggro.health, 50);
    EXPECT_FLOAT_EQ(aggro.speed, 20.0f);
    EXPECT_FLOAT_EQ(aggro.reward, 5.0f);
    EXPECT_TRUE(aggro.aggressive);
    EXPECT_FLOAT_EQ(aggro.hoverHeight, 3500.0f);
    EXPECT_FLOAT_EQ(aggro.frameTime, 4.0f);
    EXPECT_FLOAT_EQ(aggro.attackCooldown, 0.0f);
    EXPECT_FLOAT_EQ(aggro.aggroRadius, 15000.0f);
    EXPECT_FLOAT_EQ(aggroBirdAttackInterval, 15.0f);

    FBXCreatureDemon demon(noModels, {}, 215.0f, 8000.0f, 5.0f, 1);
    EXPECT_EQ(demon.health, 200);
    EXPECT_EQ(demon.colour, (Vec3{1.0f, 0.1f, 0.1f}));
    EXPECT_FLOAT_EQ(demon.reward, 10.0f);
    EXPECT_FLOAT_EQ(demonAttackInterval, 1.0f);

    FBXCreatureWizard wizard(noModels, {0.0f, 50.0f, 0.0f}, 215.0f, 8000.0f, 5.0f, 1, noModels);
    EXPECT_EQ(wizard.health, 600);
    EXPECT_FLOAT_EQ(wizard.speed, 40.0f);
    EXPECT_FLOAT_EQ(wizard.reward, 50.0f);
    EXPECT_EQ(wizard.colour, (Vec3{0.0f, 1.0f, 0.0f}));
    EXPECT_FLOAT_EQ(wizard.hoverHeight, 50.0f);
    EXPECT_FLOAT_EQ(wizardAttackInterval, 10.0f);
}

TEST_F(Creatures, HitSpheresPerKind) {
    FBXCreatureBird bird(noModels, {0.0f, 0.0f, 0.0f}, 500.0f, 2000.0f, 0.0f, 1);
    EXPECT_TRUE(bird.collides({0.0f, 500.0f, 0.0f}, noDirection, 0.0f));
    EXPECT_FALSE(bird.collides({0.0f, 501.0f, 0.0f}, noDirection, 0.0f));
    EXPECT_EQ(bird.hitTimer, 0);
    EXPECT_TRUE(bird.isHit({0.0f, 500.0f, 0.0f}, noDirection, 0.0f));
    EXPECT_EQ(bird.hitTimer, 20);

    FBXCreatureAggroBird aggro(noModels, {0.0f, 0.0f, 0.0f}, 200.0f, 8000.0f, 0.0f, 1);
    EXPECT_TRUE(aggro.isHit({0.0f, -200.0f, 0.0f}, noDirection, 0.0f));
    EXPECT_FALSE(aggro.isHit({0.0f, 201.0f, 0.0f}, noDirection, 0.0f));

    // Upright kinds: radius-r spheres at 200 and 200 + 1.5 r.
    FBXCreatureDemon demon(noModels, {0.0f, 0.0f, 0.0f}, 200.0f, 8000.0f, 0.0f, 1);
    EXPECT_TRUE(demon.collides({0.0f, 0.0f, 0.0f}, noDirection, 0.0f));
    EXPECT_FALSE(demon.collides({0.0f, -1.0f, 0.0f}, noDirection, 0.0f));
    EXPECT_TRUE(demon.collides({0.0f, 700.0f, 0.0f}, noDirection, 0.0f));
    EXPECT_FALSE(demon.isHit({0.0f, 701.0f, 0.0f}, noDirection, 0.0f));
    EXPECT_EQ(demon.hitTimer, 0);
    FBXCreatureWizard wizard(noModels, {0.0f, 0.0f, 0.0f}, 200.0f, 8000.0f, 0.0f, 1, noModels);
    EXPECT_TRUE(wizard.isHit({0.0f, 701.0f, 0.0f}, noDirection, 1.0f));
    EXPECT_EQ(wizard.hitTimer, 20);
}

TEST_F(Creatures, DamageKillsBelowOneHealth) {
    FBXCreatureBird bird(noModels, {}, 500.0f, 2000.0f, 0.0f, 1);
    bird.takeDamage(29);
    EXPECT_EQ(bird.state, creatureIdle);
    bird.takeDamage(1);
    EXPECT_EQ(bird.health, 0);
    EXPECT_EQ(bird.state, creatureDead);
}

TEST_F(Creatures, AggressiveBirdNoticesThePlayerWithinTheAggroRadius) {
    FBXCreatureAggroBird near(noModels, {player[0] + 14000.0f, player[1], player[2]}, 200.0f, 8000.0f, 0.0f, 1);
    near.think(player);
    EXPECT_EQ(near.state, creatureAggro);
    FBXCreatureAggroBird far(noModels, {player[0] + 16000.0f, player[1], player[2]}, 200.0f, 8000.0f, 0.0f, 1);
    far.think(player);
    EXPECT_EQ(far.state, creatureIdle);
}

TEST_F(Creatures, ThinkMeasuresInSpaceButTheWizardAlongTheGround) {
    // 7000 along the ground, 5000 up: 8602 through space.
    const Vec3 at{player[0] + 7000.0f, player[1] + 5000.0f, player[2]};
    FBXCreatureDemon demon(noModels, at, 215.0f, 8000.0f, 0.0f, 1);
    demon.state = creatureAggro;
    demon.think(player);
    EXPECT_EQ(demon.state, creatureAggro);

    FBXCreatureWizard wizard(noModels, at, 215.0f, 8000.0f, 0.0f, 1, noModels);
    wizard.think(player);
    EXPECT_EQ(wizard.state, creatureAggro) << "the wizard hunts at once";
    wizard.think(player);
    EXPECT_EQ(wizard.state, creatureAttack);
    wizard.position[0] += 2000.0f;
    wizard.think(player);
    EXPECT_EQ(wizard.state, creatureAggro);
}

TEST_F(Creatures, LosingThePlayerSendsACreatureBackToWandering) {
    FBXCreatureDemon demon(noModels, {player[0] + 9000.0f, 0.0f, player[2]}, 215.0f, 8000.0f, 0.0f, 1);
    demon.state = creatureAttack;
    demon.think(player);
    EXPECT_EQ(demon.state, creatureAggro);
    demon.position[0] = player[0] + 20000.0f;
    demon.think(player);
    EXPECT_EQ(demon.state, creatureIdle);
    demon.takeDamage(1000);
    demon.position[0] = player[0];
    demon.think(player);
    EXPECT_EQ(demon.state, creatureDead) << "the dead think no more";
}

TEST_F(Creatures, ActMovesOnlyWhileFarAlongTheGround) {
    // 4000 along the ground, far above: horizontal distance decides.
    FBXCreatureDemon demon(noModels, {player[0] + 4000.0f, 20000.0f, player[2]}, 215.0f, 8000.0f, 0.0f, 1);
    demon.state = creatureAggro;
    demon.act(player);
    EXPECT_FLOAT_EQ(demon.position[0], player[0] + 4000.0f);
    EXPECT_FLOAT_EQ(demon.position[1], 20000.0f);
    EXPECT_NEAR(demon.direction[0], -1.0f, 1e-6f) << "it still turns to the player";

    demon.position[0] = player[0] + 6000.0f;
    demon.act(player);
    EXPECT_FLOAT_EQ(demon.position[0], player[0] + 6000.0f - 20.0f);
    EXPECT_FLOAT_EQ(demon.position[1], 0.0f) << "a demon walks on the ground";
}

TEST_F(Creatures, HoveringKindsKeepTheirStartHeightOverTheGround) {
    makeGround(1000);
    FBXCreatureAggroBird bird(noModels, {30000.0f, 4000.0f, 30000.0f}, 200.0f, 8000.0f, 0.0f, 1);
    bird.moveOnGround();
    EXPECT_FLOAT_EQ(bird.position[1], 5000.0f) << "ground plus the start height";
    FBXCreatureWizard wizard(noModels, {30000.0f, 1000.0f, 30000.0f}, 215.0f, 8000.0f, 0.0f, 1, noModels);
    wizard.strafing = 1;
    wizard.moveOnGround();
    EXPECT_FLOAT_EQ(wizard.position[1], 2000.0f);
    EXPECT_EQ(wizard.strafing, 0);
    EXPECT_FLOAT_EQ(wizard.wanderDistance, 0.0f) << "the wizard never wanders";
    FBXCreatureDemon demon(noModels, {30000.0f, 0.0f, 30000.0f}, 215.0f, 8000.0f, 0.0f, 1);
    demon.moveOnGround();
    EXPECT_FLOAT_EQ(demon.position[1], 1000.0f);
}

TEST_F(Creatures, BirdsFlyStraightAndChangeCourseAfterTheirWanderLimit) {
    FBXCreatureBird bird(noModels, {100.0f, 10000.0f, 100.0f}, 500.0f, 2000.0f, 0.0f, 1);
    bird.direction = {0.0f, 0.0f, 1.0f};
    bird.state = creatureAggro;
    bird.act(player);
    EXPECT_EQ(bird.position, (Vec3{100.0f, 10000.0f, 110.0f})) << "a bird only moves, even near the edge";
    EXPECT_FLOAT_EQ(bird.wanderDistance, 10.0f);

    int moves = 1;
    while (bird.wanderDistance > 0.0f) {
        bird.moveOnGround();
        ++moves;
        ASSERT_LT(moves, 300);
    }
    EXPECT_GT(moves * 10.0f, bird.wanderLimit);
    EXPECT_LE((moves - 1) * 10.0f, bird.wanderLimit);
}

TEST_F(Creatures, AnIdleCreatureAtTheEdgeTurnsBackBeforeMoving) {
    makeGround(0);
    FBXCreatureDemon demon(noModels, {999.0f, 0.0f, 30000.0f}, 215.0f, 8000.0f, 0.0f, 1);
    demon.direction = {-1.0f, 0.0f, 0.0f};
    demon.act(player);
    EXPECT_EQ(demon.direction, (Vec3{1.0f, -0.0f, -0.0f}));
    EXPECT_FLOAT_EQ(demon.position[0], 1019.0f);
    EXPECT_NEAR(demon.heading, 1.5707963f, 1e-6f);
}

TEST_F(Creatures, HeadingStaysANumberForADirectionAHairPastUnitLength) {
    FBXCreatureDemon demon(noModels, {}, 215.0f, 8000.0f, 0.0f, 1);
    demon.direction = {0.0f, 0.0f, -1.0000001f};
    demon.turnAround();
    EXPECT_FALSE(std::isnan(demon.heading));
    EXPECT_EQ(demon.heading, 0.0f);
    demon.direction = {-0.0f, 0.0f, 1.0000001f};
    demon.turnAround();
    EXPECT_FALSE(std::isnan(demon.heading));
    EXPECT_NEAR(demon.heading, 3.14159265f, 1e-6f);
}

TEST_F(Creatures, TurningTowardsAPointKeepsTheHeightOfTheDirection) {
    FBXCreatureDemon demon(noModels, {0.0f, 0.0f, 0.0f}, 215.0f, 8000.0f, 0.0f, 1);
    demon.direction = {0.0f, 0.0f, 0.0f};
    demon.turnTowards({-100.0f, 5000.0f, 0.0f});
    EXPECT_EQ(demon.direction, (Vec3{-1.0f, 0.0f, 0.0f}));
    EXPECT_NEAR(demon.heading, -1.5707963f, 1e-6f);
}

TEST_F(Creatures, AttackVolumeFallsWithDistance) {
    EXPECT_EQ(attackVolume(100.0f), 256);
    EXPECT_EQ(attackVolume(1000.0f), 256);
    EXPECT_EQ(attackVolume(2000.0f), 256);
    EXPECT_EQ(attackVolume(4000.0f), 128);
}

TEST_F(Creatures, ADemonWithCooldownOneFiresEverySecondAttack) {
    FBXCreatureDemon demon(noModels, {player[0] + 3000.0f, 0.0f, player[2]}, 215.0f, 8000.0f, 0.0f, 1);
    demon.direction = {-1.0f, 0.0f, 0.0f};
    std::vector<std::size_t> after;
    const std::string out = printed([&] {
        for (int call = 0; call < 6; ++call) {
            demon.attack(player);
            after.push_back(creatureSpells.size());
        }
    });
    EXPECT_EQ(after, (std::vector<std::size_t>{1, 1, 2, 2, 3, 3}));
    EXPECT_EQ(count(out, "SOUND NOT FOUND!\n"), 3) << "one attack sound per salvo shot";

    auto* shot = dynamic_cast<Spell_Fireball_Salve*>(creatureSpells.front().get());
    ASSERT_NE(shot, nullptr);
    EXPECT_EQ(shot->damage, 1);
    // The muzzle: beside the demon (r to its left) and 3 r up.
    const Vec3 muzzle{player[0] + 3000.0f, 3.0f * 215.0f, player[2] - 215.0f};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(shot->position[i], muzzle[i] + 100.0f * shot->direction[i], 1e-2f);
    }
    EXPECT_NEAR(length(shot->direction), 1.0f, 1e-6f);
}

TEST_F(Creatures, TheWizardFiresStrongFireballsFromAboveItsCarpet) {
    FBXCreatureWizard wizard(noModels, {player[0], 0.0f, player[2] + 2000.0f}, 200.0f, 8000.0f, 0.0f, 1, noModels);
    wizard.direction = {0.0f, 0.0f, -1.0f};
    printed([&] { wizard.attack(player); });
    ASSERT_EQ(creatureSpells.size(), 1u);
    auto* ball = dynamic_cast<Spell_Fireball*>(creatureSpells.front().get());
    ASSERT_NE(ball, nullptr);
    EXPECT_EQ(ball->damage, 20);
    EXPECT_FLOAT_EQ(wizard.attackCooldown, 10.0f);
    const Vec3 muzzle{player[0] + 300.0f, 580.0f, player[2] + 2000.0f};
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(ball->position[i], muzzle[i] + 100.0f * ball->direction[i], 1e-2f);
    }
}

TEST_F(Creatures, WizardMovesAndSaysSoWhileHunting) {
    makeGround(0);
    FBXCreatureWizard wizard(noModels, {player[0] + 20000.0f, 0.0f, player[2]}, 215.0f, 8000.0f, 0.0f, 1, noModels);
    EXPECT_EQ(printed([&] { wizard.act(player); }), "A G G R O : MOVE\n");
    EXPECT_FLOAT_EQ(wizard.position[0], player[0] + 20000.0f - 80.0f) << "idle moves twice: its own and the hunt's";

    wizard.think(player);
    ASSERT_EQ(wizard.state, creatureAggro);
    EXPECT_EQ(printed([&] { wizard.act(player); }), "A G G R O : MOVE\n");
    EXPECT_FLOAT_EQ(wizard.position[0], player[0] + 20000.0f - 120.0f);

    wizard.state = creatureAttack;
    wizard.position[0] = player[0] + 2500.0f;
    const std::string out = printed([&] { wizard.act(player); });
    EXPECT_EQ(count(out, "A G G R O"), 0);
    EXPECT_FLOAT_EQ(wizard.position[0], player[0] + 2500.0f) << "within 3000 it stands and fires";
    EXPECT_EQ(creatureSpells.size(), 1u);
}

TEST_F(Creatures, BirdsAndTheDeadNeverAttack) {
    FBXCreatureBird bird(noModels, {player[0] + 100.0f, player[1], player[2]}, 500.0f, 2000.0f, 0.0f, 1);
    bird.state = creatureAttack;
    bird.attackIfAttacking(player);
    FBXCreatureDemon demon(noModels, {player[0] + 100.0f, player[1], player[2]}, 215.0f, 8000.0f, 0.0f, 1);
    demon.takeDamage(500);
    const Vec3 before = demon.position;
    demon.act(player);
    demon.attackIfAttacking(player);
    EXPECT_EQ(demon.position, before);
    EXPECT_TRUE(creatureSpells.empty());
}

// An aggressive bird near a fixed camera: idle, then aggro, then attacking,
// with a fireball on the first attack call and every sixteenth after it.
TEST_F(Creatures, ScriptedAggressiveBirdGoesIdleAggroAttack) {
    makeGround(0);
    FBXCreatureAggroBird bird(noModels, {player[0] + 7000.0f, 3000.0f, player[2]}, 200.0f, 8000.0f, 0.0f, 1);
    const int thinkEvery = 60;
    std::vector<int> states;
    std::vector<int> fireFrames;
    std::string out = printed([&] {
        for (int frame = 0; frame < 200; ++frame) {
            if (frame > 0 && frame % thinkEvery == 0) {
                bird.think(player);
            }
            const std::size_t before = creatureSpells.size();
            const Vec3 at = bird.position;
            bird.act(player);
            states.push_back(bird.state);
            if (creatureSpells.size() > before) {
                fireFrames.push_back(frame);
                auto* ball = dynamic_cast<Spell_Fireball*>(creatureSpells.back().get());
                ASSERT_NE(ball, nullptr);
                EXPECT_EQ(ball->damage, 10);
                // Fired from where the bird stood, straight at the camera.
                Vec3 aim{player[0] - at[0], player[1] - at[1], player[2] - at[2]};
                normalize3(aim);
                for (int i = 0; i < 3; ++i) {
                    EXPECT_NEAR(ball->direction[i], aim[i], 1e-5f);
                    EXPECT_NEAR(ball->position[i], at[i] + 100.0f * aim[i], 1e-2f);
                }
            }
        }
    });
    EXPECT_EQ(states[0], creatureIdle);
    EXPECT_EQ(states[59], creatureIdle);
    EXPECT_EQ(states[60], creatureAggro);
    EXPECT_EQ(states[119], creatureAggro);
    EXPECT_EQ(states[120], creatureAttack);
    EXPECT_EQ(states[199], creatureAttack);
    EXPECT_EQ(fireFrames, (std::vector<int>{120, 136, 152, 168, 184}));
    EXPECT_EQ(count(out, "SOUND NOT FOUND!\n"), 5);
    EXPECT_FLOAT_EQ(bird.position[1], 3000.0f) << "hovering at its start height over flat ground";
}
