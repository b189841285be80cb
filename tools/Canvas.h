#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
};

// Mixes a and b: t = 0 gives a, t = 1 gives b.
Rgb mix(Rgb a, Rgb b, float t);
// Scales every channel, clamped to 0..255.
Rgb scaled(Rgb c, float factor);

// An RGB picture with row 0 at the top, as a person looks at it.
class Canvas {
public:
    Canvas(int width, int height, Rgb fill = {});

    int width() const { return width_; }
    int height() const { return height_; }
    Rgb at(int x, int y) const { return pixels_[index(x, y)]; }
    void set(int x, int y, Rgb c);  // ignores points outside
    void blend(int x, int y, Rgb c, float alpha);
    void fillRect(int x, int y, int w, int h, Rgb c);
    void frameRect(int x, int y, int w, int h, int thickness, Rgb c);

    // Text in the built-in font, each font pixel drawn as scale by scale.
    void drawText(int x, int y, std::string_view text, int scale, Rgb c);
    // Centred on centreX, with a dark shadow one font pixel down and right.
    void drawTitle(int centreX, int y, std::string_view text, int scale, Rgb c);
    static int textWidth(std::string_view text, int scale);

private:
    std::size_t index(int x, int y) const {
        return static_cast<std::size_t>(y) * static_cast<std::size_t>(width_) + static_cast<std::size_t>(x);
    }

    int width_;
    int height_;
    std::vector<Rgb> pixels_;
};
