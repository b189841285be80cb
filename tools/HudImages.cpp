#include <tools/HudImages.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr int n = hudImageSize;
const Rgb white{255, 255, 255};
const Rgb black{0, 0, 0};
const Rgb gold{226, 178, 84};
const Rgb panel{70, 46, 26};

// The bars start at 0.40234375 of the HUD square and are 0.1315 of it long;
// health lies between 0.0078 and 0.0273 of it from the top, power between
// 0.04297 and 0.064453.
struct PanelLayout {
    int left = 78;
    int top = 0;
    int width = 74;
    int height = 22;
    int barLeft = 103;
    int barWidth = 34;
    int healthTop = 2;
    int powerTop = 11;
    int barHeight = 6;
};

// The map turns about the centre of the frame's top-left quarter; its
// corners reach about 90 pixels from there.
constexpr double mapCentre = 64.0;
constexpr double windowRadius = 58.0;
constexpr double ringOuter = 96.0;

// How strongly a point of the damage overlay is hit, 0 in the middle to 1 at
// the corners. Nearly untouched points count as untouched, so that no point
// is both kept by the mask and tinted by the image.
double damageStrength(int x, int y) {
    const double d = std::hypot(x + 0.5 - n / 2.0, y + 0.5 - n / 2.0) / (n / 2.0);
    const double strength = std::clamp((d - 0.45) / 0.6, 0.0, 1.0);
    return strength < 0.01 ? 0.0 : strength;
}

}  // namespace

Canvas hudImage() {
    Canvas canvas(n, n, black);
    const PanelLayout p;
    canvas.fillRect(p.left, p.top, p.width, p.height, panel);
    canvas.frameRect(p.left, p.top - 2, p.width, p.height + 2, 1, gold);
    // The bars are added over black troughs.
    canvas.fillRect(p.barLeft, p.healthTop, p.barWidth, p.barHeight, black);
    canvas.fillRect(p.barLeft, p.powerTop, p.barWidth, p.barHeight, black);
    canvas.drawText(p.left + 10, p.healthTop, "HP", 1, Rgb{255, 120, 100});
    canvas.drawText(p.left + 10, p.powerTop, "PW", 1, Rgb{255, 230, 90});
    return canvas;
}

Canvas hudMask() {
    Canvas canvas(n, n, white);
    const PanelLayout p;
    canvas.fillRect(p.left, p.top, p.width, p.height, black);
    return canvas;
}

Canvas minimapImage() {
    Canvas canvas(n, n, black);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const double d = std::hypot(x + 0.5 - mapCentre, y + 0.5 - mapCentre);
            if (d >= windowRadius && d < ringOuter) {
                // A bevelled brass ring: brighter towards its middle.
                const double across = (d - windowRadius) / (ringOuter - windowRadius);
                const float light = static_cast<float>(0.55 + 0.45 * std::sin(across * 3.14159265));
                canvas.set(x, y, scaled(gold, light));
            }
        }
    }
    return canvas;
}

Canvas minimapMask() {
    Canvas canvas(n, n, white);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            const double d = std::hypot(x + 0.5 - mapCentre, y + 0.5 - mapCentre);
            if (d >= windowRadius && d < ringOuter) {
                canvas.set(x, y, black);
            }
        }
    }
    return canvas;
}

Canvas damageImage() {
    Canvas canvas(n, n, black);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            canvas.set(x, y, scaled(Rgb{220, 16, 8}, static_cast<float>(damageStrength(x, y))));
        }
    }
    return canvas;
}

Canvas damageMask() {
    Canvas canvas(n, n, white);
    for (int y = 0; y < n; ++y) {
        for (int x = 0; x < n; ++x) {
            canvas.set(x, y, scaled(white, static_cast<float>(1.0 - 0.65 * damageStrength(x, y))));
        }
    }
    return canvas;
}

Canvas particleImage() {
    constexpr int m = particleImageSize;
    Canvas canvas(m, m, black);
    for (int y = 0; y < m; ++y) {
        for (int x = 0; x < m; ++x) {
            const double d = std::hypot(x + 0.5 - m / 2.0, y + 0.5 - m / 2.0) / (m / 2.0);
            const double glow = std::exp(-d * d * 5.0) * std::clamp(1.0 - d, 0.0, 1.0) * 1.2;
            canvas.set(x, y, scaled(Rgb{255, 244, 220}, static_cast<float>(std::min(glow, 1.0))));
        }
    }
    return canvas;
}
