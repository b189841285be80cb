#include <game/PlayerOptions.h>

bool boundingSpheresShown = false;
int staticLodMode = 0;
