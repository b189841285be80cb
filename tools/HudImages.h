#pragma once

#include <tools/Canvas.h>

// Head-up display images. Each image has a mask drawn first: the mask's
// white keeps the scene behind, its black clears it for the image, which is
// added on top and is black wherever the scene shows through.
inline constexpr int hudImageSize = 256;
inline constexpr int particleImageSize = 64;

// Over the window's top-left square of half the window width: the panel
// behind the health and power bars.
Canvas hudImage();
Canvas hudMask();

// Over the top-left square of a quarter of the window width: a ring around
// the turning map, which is seen through the middle.
Canvas minimapImage();
Canvas minimapMask();

// Over the whole window: red at the edges when the player is hit.
Canvas damageImage();
Canvas damageMask();

// A soft bright blob on black, added for each particle.
Canvas particleImage();
