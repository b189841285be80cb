#pragma once

#include <game/Camera.h>

// Once per play frame, from the display: mouse look, movement over the
// ground, the display toggles and the kill key, from what the input
// callbacks recorded.
void updatePlayer();

// Once per play frame, from the idle: a left click casts a fireball, a
// right click starts a salvo when there is a charge.
void castPlayerSpell();

// How far the ground rises above the point 300 units ahead along the
// direction; 0 when the point is above the ground.
float heightAboveGround(const Vec3& position, const Vec3& direction);

// Narrow (0.83) or wide (0.65) view cone.
void toggleViewCone();

// Prints the change and gives every model the render mode.
void setRenderModeAll(int mode);
