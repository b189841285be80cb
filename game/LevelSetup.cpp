#include <game/LevelSetup.h>

#include <game/GameState.h>

void loadLevel() {
    currentLevel = levelNumber;
}
