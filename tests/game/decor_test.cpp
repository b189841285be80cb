#include <game/DecorKinds.h>
#include <game/GameState.h>
#include <game/PlayerOptions.h>
#include <game/Teapots.h>

#include "StdoutCapture.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using testfiles::printed;

int greenCubes(const HitBar& bar, int health) {
    int n = 0;
    for (int cube = 0; cube < bar.cubes; ++cube) {
        n += bar.cubeGreen(cube, health) ? 1 : 0;
    }
    return n;
}

template <class Kind>
void place(Kind& decor, Vec3 position, float size, int health = 30) {
    decor.position = position;
    decor.size = size;
    decor.health = health;
}

const Vec3 noDirection{};

}  // namespace

TEST(SpheresOverlap, TouchingCountsAndTheDirectionIsIgnored) {
    const Vec3 a{0.0f, 0.0f, 0.0f};
    const Vec3 b{3.0f, 4.0f, 0.0f};
    EXPECT_TRUE(spheresOverlap(a, noDirection, b, 2.0f, 3.0f));
    EXPECT_FALSE(spheresOverlap(a, noDirection, b, 2.0f, 2.99f));
    EXPECT_TRUE(spheresOverlap(a, {100.0f, -5.0f, 9.0f}, b, 2.0f, 3.0f));
}

TEST(HitBars, CubesTurnRedAsHealthFalls) {
    EXPECT_EQ(greenCubes(FBX_DecorCactus::hitBar, 7), 4) << "a cactus with 7 health: 4 green, 6 red";
    EXPECT_EQ(greenCubes(FBX_DecorCactus::hitBar, 20), 10);
    EXPECT_EQ(greenCubes(FBX_DecorCactus::hitBar, 0), 0);
    EXPECT_EQ(greenCubes(FBX_DecorPalm::hitBar, 30), 10);
    EXPECT_EQ(greenCubes(FBX_DecorPalm::hitBar, 27), 9);
    EXPECT_EQ(greenCubes(FBX_DecorPalm::hitBar, 1), 1);
}

TEST(Cactus, OneSphereAroundItsMiddle) {
    FBX_DecorCactus cactus;
    place(cactus, {1000.0f, 100.0f, 2000.0f}, 400.0f, 20);
    const Vec3 mid{1000.0f, 300.0f, 2000.0f};
    // 200 from the middle sphere's edge.
    const Vec3 outside{1000.0f, 300.0f, 2000.0f + 400.0f};
    EXPECT_TRUE(cactus.collides(mid, noDirection, 1.0f));
    EXPECT_FALSE(cactus.collides(outside, noDirection, 199.0f));
    EXPECT_TRUE(cactus.collides(outside, noDirection, 200.0f));
    EXPECT_EQ(cactus.hitTimer, 0) << "collides starts no hit display";

    EXPECT_FALSE(cactus.isHit(outside, noDirection, 199.0f));
    EXPECT_EQ(cactus.hitTimer, 0);
    EXPECT_TRUE(cactus.isHit(outside, noDirection, 200.0f));
    EXPECT_EQ(cactus.hitTimer, 20);
}

TEST(Cactus, DestroyedWhenHealthIsGone) {
    FBX_DecorCactus cactus;
    place(cactus, {}, 400.0f, 20);
    cactus.takeDamage(19);
    EXPECT_EQ(cactus.state, decorStanding);
    cactus.takeDamage(1);
    EXPECT_EQ(cactus.health, 0);
    EXPECT_EQ(cactus.state, decorGone);
}

TEST(Palm, ConstructorArgumentsAndTheTwoSpheres) {
    FbxModel* const none = nullptr;
    FBX_DecorPalm palm(none, none, 1.0f, 2.0f, 3.0f, 45.0f, 600.0f, 7.0f, none, none, none, none);
    EXPECT_EQ(palm.position, (Vec3{1.0f, 2.0f, 3.0f}));
    EXPECT_FLOAT_EQ(palm.angle, 45.0f);
    EXPECT_FLOAT_EQ(palm.size, 600.0f);
    EXPECT_FLOAT_EQ(palm.extraScale, 7.0f);
    EXPECT_EQ(palm.health, 30);
    EXPECT_EQ(palm.state, decorStanding);
    EXPECT_EQ(palm.colour, (Vec3{0.9f, 0.1f, 0.0f}));
    EXPECT_FALSE(palm.animated);

    // Crown: centre 1200 up, radius 900. Trunk: 400 up, radius 300.
    EXPECT_TRUE(palm.collides({1.0f, 2.0f + 1200.0f + 900.0f, 3.0f}, noDirection, 0.0f));
    EXPECT_FALSE(palm.collides({1.0f, 2.0f + 1200.0f + 901.0f, 3.0f}, noDirection, 0.0f));
    EXPECT_TRUE(palm.collides({1.0f, 102.0f, 3.0f}, noDirection, 0.0f));
    EXPECT_FALSE(palm.collides({1.0f, 101.0f, 3.0f}, noDirection, 0.0f));
    EXPECT_FALSE(palm.isHit({1.0f, 101.0f, 3.0f}, noDirection, 0.0f));
    EXPECT_EQ(palm.hitTimer, 0);
    EXPECT_TRUE(palm.isHit({1.0f, 1202.0f, 3.0f}, noDirection, 0.0f));
    EXPECT_EQ(palm.hitTimer, 20);
    palm.takeDamage(30);
    EXPECT_EQ(palm.state, decorGone);
}

TEST(SandstoneAndWall, BlockOnTheBaseSphereAndAreHitHigher) {
    FBX_DecorSandstone stone;
    place(stone, {0.0f, 0.0f, 0.0f}, 500.0f, 10);
    FBX_DecorWall wall;
    place(wall, {0.0f, 0.0f, 0.0f}, 500.0f, 30);
    for (Decor* decor : {static_cast<Decor*>(&stone), static_cast<Decor*>(&wall)}) {
        EXPECT_TRUE(decor->collides({500.0f, 0.0f, 0.0f}, noDirection, 0.0f));
        EXPECT_FALSE(decor->isHit({500.0f, 0.0f, 0.0f}, noDirection, 0.0f)) << "the hit sphere is raised";
        EXPECT_TRUE(decor->isHit({0.0f, 250.0f, 0.0f}, noDirection, 0.0f));
        EXPECT_FALSE(decor->isHit({0.0f, 249.0f, 0.0f}, noDirection, 0.0f));
        EXPECT_EQ(decor->hitTimer, 0) << "no hit display";
    }

    stone.takeDamage(15);
    EXPECT_EQ(stone.health, -5);
    EXPECT_EQ(stone.state, decorStanding) << "a sandstone never breaks";
    wall.takeDamage(100);
    EXPECT_EQ(wall.health, 30);
    EXPECT_EQ(wall.state, decorStanding);
}

class Teapots : public testing::Test {
protected:
    void SetUp() override {
        savedHealth_ = playerHealth;
        savedCharges_ = salvoCharges;
        savedSpeed_ = playerSpeed;
    }
    void TearDown() override {
        playerHealth = savedHealth_;
        salvoCharges = savedCharges_;
        playerSpeed = savedSpeed_;
    }

    static void placeTeapot(FBX_DecorTeapot& teapot) { place(teapot, {1000.0f, 200.0f, 1000.0f}, 200.0f); }

private:
    int savedHealth_ = 0;
    int savedCharges_ = 0;
    float savedSpeed_ = 0.0f;
};

TEST_F(Teapots, WeaponTeapotSetsThreeChargesWithItsSound) {
    FBX_DecorWeaponTeapot teapot;
    placeTeapot(teapot);
    salvoCharges = 5;
    // Sounds are not loaded in tests: the play reports the missing sample.
    const std::string out = printed([&] {
        EXPECT_TRUE(teapot.collides({1000.0f, 200.0f, 1400.0f}, noDirection, 200.0f));
    });
    EXPECT_EQ(out, "SOUND NOT FOUND!\n");
    EXPECT_EQ(salvoCharges, 3);
    EXPECT_EQ(teapot.state, decorGone);
}

TEST_F(Teapots, HealthAndSpeedTeapots) {
    FBX_DecorHealthTeapot health;
    placeTeapot(health);
    playerHealth = 12;
    printed([&] { EXPECT_TRUE(health.collides({1000.0f, 200.0f, 1000.0f}, noDirection, 200.0f)); });
    EXPECT_EQ(playerHealth, playerMaxHealth);

    FBX_DecorSpeedTeapot speed;
    placeTeapot(speed);
    playerSpeed = 80.0f;
    printed([&] { EXPECT_TRUE(speed.collides({1000.0f, 200.0f, 1000.0f}, noDirection, 200.0f)); });
    EXPECT_FLOAT_EQ(playerSpeed, boostSpeed);
    EXPECT_EQ(speed.state, decorGone);
}

TEST_F(Teapots, NothingHappensOutOfReachOrWhenHitBySpells) {
    FBX_DecorWeaponTeapot teapot;
    placeTeapot(teapot);
    salvoCharges = 1;
    const std::string out = printed([&] {
        EXPECT_FALSE(teapot.collides({1000.0f, 200.0f, 1401.0f}, noDirection, 200.0f));
        EXPECT_TRUE(teapot.isHit({1000.0f, 200.0f, 1000.0f}, noDirection, 10.0f));
        teapot.takeDamage(1000);
    });
    EXPECT_EQ(out, "");
    EXPECT_EQ(salvoCharges, 1);
    EXPECT_EQ(teapot.state, decorStanding);
    EXPECT_EQ(teapot.health, 30);
    EXPECT_EQ(teapot.hitTimer, 0);
}
