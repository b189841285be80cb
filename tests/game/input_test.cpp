#include <game/GameState.h>
#include <game/Input.h>

#include <gtest/gtest.h>

TEST(Input, EscapeEndsTheProgramWithCodeZero) {
    EXPECT_EXIT(onKeyDown(27, 0, 0), testing::ExitedWithCode(0), "");
}

TEST(Input, SpaceIsRememberedUntilAScreenActsOnIt) {
    spacePressed = false;
    onKeyDown('a', 10, 10);
    onKeyUp(' ', 10, 10);
    EXPECT_FALSE(spacePressed);
    onKeyDown(' ', 10, 10);
    EXPECT_TRUE(spacePressed);
    onKeyUp(' ', 10, 10);
    EXPECT_TRUE(spacePressed) << "releasing the key does not clear the press";
}
