#pragma once

#include <tools/Canvas.h>

// Surface images of the models. They wrap around the models, so they are
// patterns rather than pictures.
inline constexpr int modelTextureSize = 256;

enum class TeapotKind { health, weapon, speed };

Canvas cactusTexture();
Canvas birdTexture();
Canvas aggroBirdTexture();
Canvas teapotTexture(TeapotKind kind);
Canvas palmCrownTexture();
Canvas palmTrunkTexture();
Canvas demonTexture();
Canvas sandstoneTexture();
Canvas wizardTexture();
Canvas carpetTexture();
Canvas wallTexture();
