#include <tools/Canvas.h>

#include <tools/BitmapFont.h>

#include <algorithm>

namespace {

std::uint8_t channel(float v) {
    return static_cast<std::uint8_t>(std::clamp(v + 0.5f, 0.0f, 255.0f));
}

}  // namespace

Rgb mix(Rgb a, Rgb b, float t) {
    return {channel(a.r + (b.r - a.r) * t), channel(a.g + (b.g - a.g) * t), channel(a.b + (b.b - a.b) * t)};
}

Rgb scaled(Rgb c, float factor) {
    return {channel(c.r * factor), channel(c.g * factor), channel(c.b * factor)};
}

Canvas::Canvas(int width, int height, Rgb fill)
    : width_(width), height_(height),
      pixels_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height), fill) {}

void Canvas::set(int x, int y, Rgb c) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) {
        pixels_[index(x, y)] = c;
    }
}

void Canvas::blend(int x, int y, Rgb c, float alpha) {
    if (x >= 0 && y >= 0 && x < width_ && y < height_) {
        Rgb& p = pixels_[index(x, y)];
        p = mix(p, c, alpha);
    }
}

void Canvas::fillRect(int x, int y, int w, int h, Rgb c) {
    for (int yy = std::max(y, 0); yy < std::min(y + h, height_); ++yy) {
        for (int xx = std::max(x, 0); xx < std::min(x + w, width_); ++xx) {
            pixels_[index(xx, yy)] = c;
        }
    }
}

void Canvas::frameRect(int x, int y, int w, int h, int thickness, Rgb c) {
    fillRect(x, y, w, thickness, c);
    fillRect(x, y + h - thickness, w, thickness, c);
    fillRect(x, y, thickness, h, c);
    fillRect(x + w - thickness, y, thickness, h, c);
}

int Canvas::textWidth(std::string_view text, int scale) {
    if (text.empty()) {
        return 0;
    }
    return static_cast<int>(text.size()) * (glyphWidth + 1) * scale - scale;
}

void Canvas::drawText(int x, int y, std::string_view text, int scale, Rgb c) {
    for (char ch : text) {
        const auto rows = glyphRows(ch);
        for (int r = 0; r < glyphHeight; ++r) {
            for (int col = 0; col < glyphWidth; ++col) {
                if (rows[static_cast<std::size_t>(r)] & (0x10 >> col)) {
                    fillRect(x + col * scale, y + r * scale, scale, scale, c);
                }
            }
        }
        x += (glyphWidth + 1) * scale;
    }
}

void Canvas::drawTitle(int centreX, int y, std::string_view text, int scale, Rgb c) {
    const int x = centreX - textWidth(text, scale) / 2;
    const int offset = std::max(1, scale / 2);
    drawText(x + offset, y + offset, text, scale, Rgb{20, 12, 6});
    drawText(x, y, text, scale, c);
}
