#pragma once

#include <string>
#include <vector>

// One line of overlay text and the overlay y of its raster position.
struct TextLine {
    int y;
    std::string text;
};

// The controls and status lines as they stand now.
std::vector<TextLine> debugTextLines();

// Texts of the play overlay, in overlay coordinates.
void drawDebugText();
void drawWinText();
void drawFps();
