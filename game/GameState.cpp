#include <game/GameState.h>

int windowWidth = 500;
int windowHeight = 500;

bool spacePressed = false;
bool splashDone = false;
bool taskDone = false;
int levelNumber = 0;
int currentLevel = 0;
bool gameWon = false;

int playerMaxHealth = 500;
int playerHealth = 500;
int playerPower = 0;
int playerMaxPower = 100;
int salvoCharges = 0;

bool damageOverlayOn = false;
int damageOverlayFrames = 0;

int outsideSeconds = 0;

bool salvoActive = false;
int salvoShotsLeft = 0;
