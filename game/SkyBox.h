#pragma once

// The sky: five faces of a box 200000 units wide around the camera (no
// bottom), drawn first in every play frame with fog off.
void drawSkyBox();
