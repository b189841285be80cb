#include <tools/ModelTextures.h>

#include <tools/Noise.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

constexpr int n = modelTextureSize;

// Fills the canvas from a colour function of the pixel position.
template <typename Colour>
Canvas paint(Colour colour) {
    Canvas canvas(n, n);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            canvas.set(x, y, colour(x, y));
        }
    }
    return canvas;
}

float grain(int x, int y, std::uint32_t seed) {
    return fractalNoise(x / 16.0, y / 16.0, 3, seed);
}

// Overlapping rounded scales, as on feathers and skin.
template <typename Colour>
Canvas scales(Rgb light, Rgb dark, int size, std::uint32_t seed, Colour extra) {
    return paint([=](int x, int y) {
        const int row = y / size;
        const int shifted = x + (row % 2) * size / 2;
        const double cx = (shifted % size) - size / 2.0;
        const double cy = (y % size) - size * 0.1;
        const double d = std::hypot(cx, cy) / size;
        const Rgb base = mix(light, dark, static_cast<float>(std::clamp(d * 1.4, 0.0, 1.0)));
        return extra(x, y, scaled(base, 0.85f + 0.3f * grain(x, y, seed)));
    });
}

Rgb unchanged(int, int, Rgb c) {
    return c;
}

// Teapot pick-ups: a plain glaze with the kind's sign repeated over it.
Canvas teapot(Rgb glaze, Rgb sign, char kind) {
    Canvas canvas = paint([=](int x, int y) { return scaled(glaze, 0.9f + 0.15f * grain(x, y, 31)); });
    for (int cy = 32; cy < n; cy += 64) {
        for (int cx = 32; cx < n; cx += 64) {
            switch (kind) {
            case '+':
                canvas.fillRect(cx - 18, cy - 6, 36, 12, sign);
                canvas.fillRect(cx - 6, cy - 18, 12, 36, sign);
                break;
            case 'z':  // a lightning bolt
                for (int i = 0; i < 36; ++i) {
                    const int x = cx + (i < 18 ? 8 - i / 2 : (i - 18) / 2 - 8);
                    canvas.fillRect(x - 4, cy - 18 + i, 8, 1, sign);
                }
                break;
            default:  // a chevron pointing forward
                for (int i = 0; i < 18; ++i) {
                    canvas.fillRect(cx - 12 + i, cy - 18 + i, 8, 1, sign);
                    canvas.fillRect(cx - 12 + i, cy + 18 - i, 8, 1, sign);
                }
                break;
            }
        }
    }
    return canvas;
}

}  // namespace

Canvas cactusTexture() {
    return paint([](int x, int y) {
        // Ribs run along the stem, with pale spines in rows.
        const double rib = 0.5 + 0.5 * std::cos(x * 2.0 * 3.14159265 / 32.0);
        Rgb c = mix(Rgb{40, 92, 44}, Rgb{86, 150, 70}, static_cast<float>(rib));
        c = scaled(c, 0.85f + 0.3f * grain(x, y, 3));
        if (x % 32 == 16 && y % 24 < 3) {
            c = Rgb{236, 228, 190};
        }
        return c;
    });
}

Canvas birdTexture() {
    return scales(Rgb{176, 158, 130}, Rgb{96, 78, 58}, 24, 5, unchanged);
}

Canvas aggroBirdTexture() {
    return scales(Rgb{210, 40, 30}, Rgb{40, 10, 10}, 24, 7, unchanged);
}

Canvas teapotTexture(TeapotKind kind) {
    switch (kind) {
    case TeapotKind::health: return teapot(Rgb{244, 244, 240}, Rgb{214, 30, 30}, '+');
    case TeapotKind::weapon: return teapot(Rgb{240, 206, 40}, Rgb{220, 90, 20}, 'z');
    case TeapotKind::speed: break;
    }
    return teapot(Rgb{70, 190, 80}, Rgb{220, 255, 210}, '>');
}

Canvas palmCrownTexture() {
    return paint([](int x, int y) {
        // Leaflets slanting off a central vein.
        const int fromVein = std::abs(x - n / 2);
        const double leaflet = 0.5 + 0.5 * std::sin((y + fromVein * 0.8) * 2.0 * 3.14159265 / 14.0);
        Rgb c = mix(Rgb{34, 96, 36}, Rgb{92, 162, 58}, static_cast<float>(leaflet));
        if (fromVein < 3) {
            c = Rgb{150, 170, 80};
        }
        return scaled(c, 0.85f + 0.3f * grain(x, y, 9));
    });
}

Canvas palmTrunkTexture() {
    return paint([](int x, int y) {
        // Rings of old leaf bases, offset row by row.
        const int row = y / 20;
        const int cx = (x + row * 10) % 20;
        const double v = std::min(cx, 20 - cx) / 10.0 * std::min(y % 20, 20 - y % 20) / 10.0;
        const Rgb c = mix(Rgb{70, 46, 28}, Rgb{150, 110, 70}, static_cast<float>(std::sqrt(v)));
        return scaled(c, 0.85f + 0.3f * grain(x, y, 11));
    });
}

Canvas demonTexture() {
    return scales(Rgb{150, 30, 24}, Rgb{40, 6, 6}, 16, 13, [](int x, int y, Rgb c) {
        // Glowing cracks between the scales.
        return fractalNoise(x / 24.0, y / 24.0, 4, 17) > 0.68f ? Rgb{255, 150, 40} : c;
    });
}

Canvas sandstoneTexture() {
    return paint([](int x, int y) {
        const double layer = std::sin((y + 12.0 * fractalNoise(x / 40.0, y / 40.0, 3, 19)) / 7.0);
        const Rgb c = mix(Rgb{214, 170, 112}, Rgb{170, 118, 72}, static_cast<float>(0.5 + 0.5 * layer));
        return scaled(c, 0.88f + 0.24f * grain(x, y, 23));
    });
}

Canvas wizardTexture() {
    Canvas canvas = paint([](int x, int y) {
        const Rgb c = mix(Rgb{70, 30, 130}, Rgb{26, 10, 60}, fractalNoise(x / 48.0, y / 48.0, 3, 29));
        return scaled(c, 0.9f + 0.2f * grain(x, y, 37));
    });
    NoiseSource place(41);
    for (int i = 0; i < 40; ++i) {
        const int cx = static_cast<int>(place.uniform() * n);
        const int cy = static_cast<int>(place.uniform() * n);
        canvas.fillRect(cx - 4, cy - 1, 9, 3, Rgb{250, 214, 90});
        canvas.fillRect(cx - 1, cy - 4, 3, 9, Rgb{250, 214, 90});
    }
    return canvas;
}

Canvas carpetTexture() {
    return paint([](int x, int y) {
        const int edge = std::min({x, y, n - 1 - x, n - 1 - y});
        if (edge < 12) {
            return (x / 6 + y / 6) % 2 ? Rgb{230, 180, 60} : Rgb{120, 20, 24};
        }
        // Diamonds in the field.
        const int dx = std::abs((x % 64) - 32);
        const int dy = std::abs((y % 64) - 32);
        const int diamond = dx + dy;
        if (diamond < 10) {
            return Rgb{240, 200, 90};
        }
        if (diamond < 22 && diamond % 6 < 3) {
            return Rgb{30, 40, 110};
        }
        return scaled(Rgb{170, 28, 34}, 0.9f + 0.2f * grain(x, y, 43));
    });
}

Canvas wallTexture() {
    return paint([](int x, int y) {
        // Courses of sandstone blocks with mortar joints.
        constexpr int course = 32;
        constexpr int block = 64;
        const int row = y / course;
        const int shifted = x + (row % 2) * block / 2;
        const bool joint = y % course < 3 || shifted % block < 3;
        if (joint) {
            return Rgb{150, 130, 100};
        }
        const float tone = valueNoise(shifted / block, row, 47);
        const Rgb c = mix(Rgb{220, 180, 120}, Rgb{190, 144, 92}, tone);
        return scaled(c, 0.88f + 0.24f * grain(x, y, 53));
    });
}
