#pragma once

#include <game/Camera.h>

#include <vector>

// A point on the minimap: an object's world x and z in this frame.
struct MinimapMarker {
    float x = 0.0f;
    float z = 0.0f;
};

// Filled by the play idle, emptied by drawHud in the same frame.
extern std::vector<MinimapMarker> creatureMarkers;
extern std::vector<MinimapMarker> decorMarkers;

// The part of the centre tile the minimap shows: a square of half the
// tile around the camera, in world units and as texture coordinates.
struct MinimapWindow {
    float x0, x1, z0, z1;
    float s0, s1, t0, t1;

    // Strictly inside: a marker on the edge is not shown.
    bool shows(const MinimapMarker& marker) const {
        return marker.x > x0 && marker.x < x1 && marker.z > z0 && marker.z < z1;
    }
};

// mapWidth and mapHeight: the size of the centre tile in world units.
MinimapWindow minimapWindow(const Vec3& camera, int mapWidth, int mapHeight);

// Where the health and power bars of a window width end; both start at x.
struct HudBars {
    float x;
    float healthEnd;
    float powerEnd;
    float healthTop, healthBottom;
    float powerTop, powerBottom;
};

HudBars hudBars(int windowWidth, int health, int maxHealth, int power, int maxPower);

// Pushes the projection matrix and sets the overlay projection: (0, 0) at
// the top-left corner, the window size at the bottom-right. The caller pops
// it after the overlay.
void beginOverlay2D();

// Frame, minimap with markers, player cross, bars and crosshair; empties
// the marker lists.
void drawHud();

// The red overlay of a hit while frames of it are left; switches it off
// when none are.
void drawDamageOverlay();
