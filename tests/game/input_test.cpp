#include <game/Creatures.h>
#include <game/DecorKinds.h>
#include <game/GameState.h>
#include <game/Input.h>
#include <game/PlayerControl.h>
#include <game/PlayerOptions.h>
#include <game/Spell.h>
#include <game/Teapots.h>
#include <game/TerrainQuadtree.h>
#include <game/WorldLists.h>

#include "StdoutCapture.h"

#include <GL/glut.h>
#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

namespace {

using testfiles::printed;

std::vector<std::pair<int, int>> warps;

void recordWarp(int x, int y) {
    warps.emplace_back(x, y);
}

// The player at the middle of a 500 by 500 window with the pointer at its
// centre, no key held, nothing pressed; no terrain, so the ground is at 0.
class Input : public testing::Test {
protected:
    void SetUp() override {
        warpPointer = recordWarp;
        warps.clear();
        windowWidth = windowHeight = 500;
        mouseX = prevMouseX = mouseY = prevMouseY = 250;
        pendingYaw = pendingPitch = 0.0f;
        keyHeld = {};
        key2Pressed = f1Pressed = f2Pressed = f6Pressed = f7Pressed = f8Pressed = false;
        leftClick = rightClick = false;
        helpShown = fpsShown = narrowViewCone = false;
        viewFrustumOn = viewConeCulling = true;
        viewConeCos = 0.65f;
        currentRenderMode = 1;
        staticLodMode = 0;
        boundingSpheresShown = false;
        liveCamera.init(30000.0f, 1000.0f, 30000.0f);
        playerSpeed = 80.0f;
        playerPower = 0;
        salvoCharges = 0;
        salvoActive = false;
        playerSpells.clear();
        nearDecors.clear();
        decorList.clear();
        creatureList.clear();
    }
    void TearDown() override {
        nearDecors.clear();
        decorList.clear();
        creatureList.clear();
        playerSpells.clear();
        keyHeld = {};
    }

    static void frames(int n) {
        for (int i = 0; i < n; ++i) {
            updatePlayer();
        }
    }

    // A wall piece in the near list, standing across the way north.
    static void wallAhead(float distance) {
        auto wall = std::make_unique<FBX_DecorWall>();
        wall->position = {liveCamera.position[0], liveCamera.position[1], liveCamera.position[2] - distance};
        wall->size = 800.0f;
        nearDecors.push_back(wall.get());
        decorList.push_back(std::move(wall));
    }
};

}  // namespace

TEST_F(Input, EscapeEndsTheProgramWithCodeZero) {
    EXPECT_EXIT(onKeyDown(27, 0, 0), testing::ExitedWithCode(0), "");
}

TEST_F(Input, SpaceIsRememberedUntilAScreenActsOnIt) {
    spacePressed = false;
    onKeyDown('a', 10, 10);
    onKeyUp(' ', 10, 10);
    EXPECT_FALSE(spacePressed);
    onKeyDown(' ', 10, 10);
    EXPECT_TRUE(spacePressed);
    onKeyUp(' ', 10, 10);
    EXPECT_TRUE(spacePressed) << "releasing the key does not clear the press";
}

TEST_F(Input, LettersAreHeldFromDownToUpAndOnlyInLowerCase) {
    onKeyDown('w', 0, 0);
    onKeyDown('W', 0, 0);
    EXPECT_TRUE(keyHeld['w']);
    EXPECT_FALSE(keyHeld['W']);
    frames(1);
    EXPECT_FLOAT_EQ(liveCamera.position[2], 30000.0f - 80.0f);
    onKeyUp('w', 0, 0);
    frames(1);
    EXPECT_FLOAT_EQ(liveCamera.position[2], 30000.0f - 80.0f);
}

TEST_F(Input, HoldingTheSpeedKeyAlternatesEveryFrame) {
    keyHeld['q'] = true;
    frames(1);
    EXPECT_EQ(playerSpeed, 70.0f);
    frames(1);
    EXPECT_EQ(playerSpeed, 150.0f) << "even frames from 80";
    frames(3);
    EXPECT_EQ(playerSpeed, 70.0f) << "odd frames";
    keyHeld['q'] = false;
    frames(2);
    EXPECT_EQ(playerSpeed, 70.0f) << "the last value stays";
}

TEST_F(Input, WalkingForwardIntoAWallStopsButBackwardsAndSidewaysDoNot) {
    wallAhead(900.0f);
    keyHeld['w'] = true;
    frames(3);
    EXPECT_EQ(liveCamera.position, (Vec3{30000.0f, 1000.0f, 30000.0f}));
    keyHeld['w'] = false;
    nearDecors.clear();
    wallAhead(-900.0f);  // now behind
    keyHeld['s'] = true;
    frames(1);
    EXPECT_FLOAT_EQ(liveCamera.position[2], 30080.0f) << "no obstacle test backwards";
    keyHeld['s'] = false;
    keyHeld['d'] = true;
    frames(1);
    EXPECT_FLOAT_EQ(liveCamera.position[0], 30080.0f);
    keyHeld['d'] = false;
    keyHeld['a'] = true;
    frames(2);
    EXPECT_FLOAT_EQ(liveCamera.position[0], 29920.0f);
}

TEST_F(Input, WalkingIntoAPickUpTakesIt) {
    auto teapot = std::make_unique<FBX_DecorSpeedTeapot>();
    teapot->position = {30000.0f, 1000.0f, 29700.0f};
    teapot->size = 200.0f;
    nearDecors.push_back(teapot.get());
    decorList.push_back(std::move(teapot));
    keyHeld['w'] = true;
    printed([] { frames(1); });
    EXPECT_EQ(playerSpeed, boostSpeed);
    EXPECT_EQ(nearDecors[0]->state, decorGone);
    EXPECT_FLOAT_EQ(liveCamera.position[2], 30000.0f) << "a pick-up blocks the step it is taken in";
}

TEST_F(Input, GroundAheadTurnsTheStepUpwards) {
    EXPECT_EQ(heightAboveGround({0.0f, 100.0f, 0.0f}, {0.0f, 0.0f, -1.0f}), 0.0f);
    EXPECT_EQ(heightAboveGround({0.0f, -500.0f, 0.0f}, {0.0f, 0.0f, -1.0f}), 500.0f);
    EXPECT_EQ(heightAboveGround({0.0f, -100.0f, 0.0f}, {0.0f, -1.0f, 0.0f}), 400.0f);
    liveCamera.position[1] = -80.0f;
    keyHeld['w'] = true;
    frames(1);
    // Forward (0, 0, -1) plus 80 up, normalised, times 80.
    const float k = 80.0f / std::sqrt(1.0f + 80.0f * 80.0f);
    EXPECT_NEAR(liveCamera.position[1], -80.0f + 80.0f * k, 1e-3);
    EXPECT_NEAR(liveCamera.position[2], 30000.0f - k, 1e-3);
}

TEST_F(Input, PointerMovementTurnsTheViewSmoothlyByTheWholeAmount) {
    onMouseMove(260, 250);  // 10 pixels right
    // In the camera's degrees, as the steps are handed over unchanged.
    const double expected = 10.0 * 8.0 * 3.141592654 / 180.0;
    const auto turned = [] { return 6.283185308 - liveCamera.yawAngle; };
    updatePlayer();
    EXPECT_NEAR(turned(), expected / 3.0 * 3.141592654 / 180.0, 1e-6) << "a third in the first frame";
    for (int i = 0; i < 40; ++i) {
        updatePlayer();
    }
    EXPECT_EQ(pendingYaw, 0.0f);
    EXPECT_EQ(pendingPitch, 0.0f);
    EXPECT_NEAR(turned(), expected * 3.141592654 / 180.0, 1e-5) << "a right turn by the whole amount";
    EXPECT_TRUE(warps.empty());
}

TEST_F(Input, APointerNearTheEdgeIsPutBackInTheMiddle) {
    onMouseMove(405, 250);
    updatePlayer();
    ASSERT_EQ(warps.size(), 1u);
    EXPECT_EQ(warps[0], (std::pair<int, int>{250, 250}));
    EXPECT_EQ(mouseX, 250);
    EXPECT_EQ(prevMouseX, 250);
    onMouseMove(250, 99);
    updatePlayer();
    EXPECT_EQ(warps.size(), 2u);
    onMouseMove(250, 400);
    updatePlayer();
    EXPECT_EQ(warps.size(), 2u) << "100 pixels from the edge is still inside";
}

TEST_F(Input, FunctionKeysToggleOncePerPress) {
    onSpecialKey(GLUT_KEY_F7, 0, 0);
    frames(2);
    EXPECT_EQ(staticLodMode, 1);
    for (int i = 0; i < 2; ++i) {
        onSpecialKey(GLUT_KEY_F7, 0, 0);
        frames(1);
    }
    EXPECT_EQ(staticLodMode, 0) << "three presses go round";
    onSpecialKey(GLUT_KEY_F1, 0, 0);
    onSpecialKey(GLUT_KEY_F2, 0, 0);
    onSpecialKey(GLUT_KEY_F8, 0, 0);
    onKeyDown('2', 0, 0);
    onSpecialKey(GLUT_KEY_F4, 0, 0);
    onSpecialKey(GLUT_KEY_F5, 0, 0);
    onSpecialKey(GLUT_KEY_F9, 0, 0);
    frames(1);
    EXPECT_TRUE(helpShown);
    EXPECT_TRUE(fpsShown);
    EXPECT_FALSE(viewFrustumOn);
    EXPECT_FALSE(viewConeCulling);
    EXPECT_TRUE(boundingSpheresShown);
    EXPECT_EQ(printed([] {
                  onSpecialKey(GLUT_KEY_F6, 0, 0);
                  frames(1);
              }),
              "Changing RenderMode to 0\n");
    EXPECT_EQ(currentRenderMode, 0);
    onKeyDown('9', 0, 0);
    EXPECT_TRUE(narrowViewCone);
    EXPECT_EQ(viewConeCos, 0.83f);
    onKeyDown('9', 0, 0);
    EXPECT_EQ(viewConeCos, 0.65f);
}

TEST_F(Input, TheKillKeyKillsEveryLivingCreature) {
    const CreatureModels none{};
    for (int i = 0; i < 3; ++i) {
        creatureList.push_back(
            std::make_unique<FBXCreatureBird>(none, Vec3{1000.0f * i, 0.0f, 0.0f}, 500.0f, 2000.0f, 0.0f, 1));
    }
    onKeyDown('c', 0, 0);
    frames(1);
    onKeyUp('c', 0, 0);
    for (const auto& creature : creatureList) {
        EXPECT_EQ(creature->state, creatureDead);
        EXPECT_EQ(creature->health, 30) << "killed without damage";
    }
}

TEST_F(Input, ALeftClickFiresOneFireballFromAheadOfThePlayer) {
    playerPower = 20;
    onMouseButton(GLUT_LEFT_BUTTON, GLUT_UP, 0, 0);
    onMouseButton(GLUT_MIDDLE_BUTTON, GLUT_DOWN, 0, 0);
    EXPECT_FALSE(leftClick);
    onMouseButton(GLUT_LEFT_BUTTON, GLUT_DOWN, 0, 0);  // e.g. on the splash screen
    const std::string output = printed([] {
        castPlayerSpell();
        castPlayerSpell();
    });
    ASSERT_EQ(playerSpells.size(), 1u);
    const Spell& fireball = *playerSpells[0];
    EXPECT_EQ(fireball.damage, 30) << "power 10 x 20 + 100";
    EXPECT_EQ(fireball.direction, liveCamera.forward);
    EXPECT_FLOAT_EQ(fireball.position[2], 30000.0f - 500.0f - 100.0f);
    EXPECT_EQ(output, "SOUND NOT FOUND!\n");
}

TEST_F(Input, ARightClickStartsASalvoOnlyWithACharge) {
    onMouseButton(GLUT_RIGHT_BUTTON, GLUT_DOWN, 0, 0);
    castPlayerSpell();
    EXPECT_FALSE(salvoActive);
    EXPECT_FALSE(rightClick) << "dropped without a charge";
    salvoCharges = 2;
    salvoShotsLeft = 7;
    salvoActive = true;
    onMouseButton(GLUT_RIGHT_BUTTON, GLUT_DOWN, 0, 0);
    castPlayerSpell();
    EXPECT_EQ(salvoCharges, 1);
    EXPECT_EQ(salvoShotsLeft, 50) << "a running salvo restarts its count";
    EXPECT_TRUE(playerSpells.empty());
}
