#include <tools/ScreenImages.h>

#include <tools/Noise.h>

#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string_view>

namespace {

constexpr int n = screenImageSize;
constexpr int centre = n / 2;

const Rgb gold{246, 200, 90};
const Rgb cream{250, 240, 214};
const Rgb pale{214, 196, 160};

// Evening sky over dunes, with a low sun.
void paintDesertEvening(Canvas& canvas) {
    for (int y = 0; y < n; ++y) {
        const float t = static_cast<float>(y) / n;
        const Rgb sky = t < 0.6f ? mix(Rgb{24, 30, 80}, Rgb{236, 132, 64}, t / 0.6f) : Rgb{236, 132, 64};
        for (int x = 0; x < n; ++x) {
            canvas.set(x, y, sky);
        }
    }
    const int sunX = 380;
    const int sunY = 300;
    for (int y = 200; y < 400; ++y) {
        for (int x = 280; x < 480; ++x) {
            const double d = std::hypot(x - sunX, y - sunY);
            if (d < 46.0) {
                canvas.set(x, y, Rgb{255, 222, 140});
            } else if (d < 90.0) {
                canvas.blend(x, y, Rgb{255, 200, 120}, static_cast<float>(0.5 * (90.0 - d) / 44.0));
            }
        }
    }
    // Three rows of dunes, darker towards the front.
    const Rgb duneColours[] = {{196, 120, 70}, {168, 96, 56}, {120, 66, 40}};
    for (int layer = 0; layer < 3; ++layer) {
        for (int x = 0; x < n; ++x) {
            const double crest = 300.0 + 45.0 * layer +
                                 18.0 * std::sin(x / (40.0 + 15.0 * layer) + layer * 1.7) +
                                 30.0 * fractalNoise(x / 90.0, layer * 10.0, 3, 5u + static_cast<std::uint32_t>(layer));
            for (int y = static_cast<int>(crest); y < n; ++y) {
                canvas.set(x, y, duneColours[layer]);
            }
        }
    }
}

// A dark panel with a golden double border, for the text screens.
void paintPanel(Canvas& canvas, Rgb top, Rgb bottom) {
    for (int y = 0; y < n; ++y) {
        const Rgb c = mix(top, bottom, static_cast<float>(y) / n);
        for (int x = 0; x < n; ++x) {
            canvas.set(x, y, c);
        }
    }
    NoiseSource grain(99);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            canvas.set(x, y, scaled(canvas.at(x, y), 1.0f + 0.05f * grain.signedUnit()));
        }
    }
    canvas.frameRect(12, 12, n - 24, n - 24, 4, gold);
    canvas.frameRect(22, 22, n - 44, n - 44, 1, gold);
}

void writeLines(Canvas& canvas, int y, int step, std::initializer_list<std::string_view> lines, int scale, Rgb c) {
    for (std::string_view line : lines) {
        canvas.drawTitle(centre, y, line, scale, c);
        y += step;
    }
}

}  // namespace

Canvas splashImage() {
    Canvas canvas(n, n);
    paintDesertEvening(canvas);
    canvas.drawTitle(centre, 70, "QALIMOR", 10, gold);
    canvas.drawTitle(centre, 160, "A DESERT OF SPELLS AND CREATURES", 2, cream);
    canvas.drawTitle(centre, 420, "PRESS SPACE TO BEGIN", 3, cream);
    canvas.drawTitle(centre, 462, "ESC QUITS THE GAME", 2, pale);
    return canvas;
}

Canvas levelTaskImage(int level) {
    Canvas canvas(n, n);
    if (level == 1) {
        paintPanel(canvas, Rgb{92, 58, 30}, Rgb{46, 26, 14});
        canvas.drawTitle(centre, 46, "LEVEL 1", 7, gold);
        canvas.drawTitle(centre, 120, "YOUR TASK", 3, cream);
        writeLines(canvas, 160, 20,
                   {"DESTROY EVERY CREATURE OF THE DESERT:", "25 BIRDS, 4 AGGRESSIVE BIRDS", "AND 4 DEMONS."}, 2,
                   cream);
    } else {
        paintPanel(canvas, Rgb{44, 36, 104}, Rgb{16, 12, 44});
        canvas.drawTitle(centre, 46, "LEVEL 2", 7, gold);
        canvas.drawTitle(centre, 120, "YOUR TASK", 3, cream);
        writeLines(canvas, 160, 20,
                   {"THE WIZARD HAS COME ON HIS CARPET.", "DEFEAT THE WIZARD AND THE 25 BIRDS", "THAT FLY FOR HIM."}, 2,
                   cream);
    }
    writeLines(canvas, 250, 18,
               {"STAY INSIDE THE DESERT SQUARE:", "OUTSIDE IT YOU LOSE HEALTH.", "TEAPOTS GIVE HEALTH, SALVOS, SPEED."},
               2, pale);
    writeLines(canvas, 330, 18,
               {"W A S D: MOVE     MOUSE: LOOK", "LEFT BUTTON: FIREBALL", "RIGHT BUTTON: SALVO"}, 2, pale);
    canvas.drawTitle(centre, 440, "PRESS SPACE TO START", 3, gold);
    return canvas;
}

Canvas gameOverImage() {
    Canvas canvas(n, n);
    paintPanel(canvas, Rgb{110, 14, 10}, Rgb{20, 2, 2});
    canvas.drawTitle(centre, 150, "GAME OVER", 8, Rgb{255, 80, 60});
    canvas.drawTitle(centre, 260, "YOUR HEALTH IS GONE.", 3, cream);
    canvas.drawTitle(centre, 300, "THE DESERT HAS WON.", 3, cream);
    canvas.drawTitle(centre, 420, "PRESS ESC TO QUIT", 3, gold);
    return canvas;
}
