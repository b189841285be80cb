#include <tools/LandscapeImages.h>

#include <tools/Noise.h>

#include <algorithm>
#include <cmath>

namespace {

constexpr double sampleSpacing = 128.0;

struct Vec3 {
    double x, y, z;
};

Vec3 normalized(Vec3 v) {
    const double length = std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
    return {v.x / length, v.y / length, v.z / length};
}

double dot(Vec3 a, Vec3 b) {
    return a.x * b.x + a.y * b.y + a.z * b.z;
}

double smoothStep(double edge0, double edge1, double v) {
    const double t = std::clamp((v - edge0) / (edge1 - edge0), 0.0, 1.0);
    return t * t * (3.0 - 2.0 * t);
}

// Direction towards the game's light, which stands far to the west, up and south.
const Vec3 sunDirection = normalized({-80000.0, 52000.0, 74000.0});

double tileOrigin(int index) {
    return static_cast<double>(index - 1) * tileSize;
}

Rgb sandColour(double x, double z, double level, double shade) {
    const float patches = fractalNoise(x / 3000.0, z / 3000.0, 3, 21);
    Rgb c = mix(Rgb{226, 190, 132}, Rgb{190, 146, 94}, patches);
    // Bare reddish rock where the ground rises towards the rim.
    c = mix(c, Rgb{160, 108, 74}, static_cast<float>(smoothStep(115.0, 185.0, level)));
    const double ripples = 0.04 * std::sin((x * 0.3 - z * 0.95) / 260.0 + 8.0 * patches);
    return scaled(c, static_cast<float>(shade + ripples));
}

Vec3 skyDirection(SkyFace face, double s, double t) {
    const double a = 2.0 * s - 1.0;
    const double b = 2.0 * t - 1.0;
    switch (face) {
    case SkyFace::front: return normalized({a, b, -1.0});
    case SkyFace::right: return normalized({1.0, b, a});
    case SkyFace::back: return normalized({-a, b, 1.0});
    case SkyFace::left: return normalized({-1.0, b, -a});
    case SkyFace::top: break;
    }
    return normalized({a, 1.0, b});
}

Rgb skyColour(Vec3 d) {
    Rgb c;
    if (d.y >= 0.0) {
        c = mix(Rgb{214, 224, 232}, Rgb{52, 104, 186}, static_cast<float>(std::pow(d.y, 0.55)));
        // Thin clouds on a plane high above the desert.
        const double px = d.x / std::max(d.y, 0.02);
        const double pz = d.z / std::max(d.y, 0.02);
        const double cover = smoothStep(0.56, 0.78, fractalNoise(px * 1.3, pz * 1.3, 4, 77)) *
                             smoothStep(0.03, 0.25, d.y);
        c = mix(c, Rgb{248, 246, 240}, static_cast<float>(0.85 * cover));
    } else {
        // Haze over the sand below the horizon.
        c = mix(Rgb{214, 200, 176}, Rgb{168, 140, 104}, static_cast<float>(std::min(1.0, -d.y * 3.0)));
    }
    const double sun = std::max(0.0, dot(d, sunDirection));
    const double glow = std::pow(sun, 400.0) + 0.3 * std::pow(sun, 12.0);
    return mix(c, Rgb{255, 246, 214}, static_cast<float>(std::min(1.0, glow)));
}

}  // namespace

float groundLevel(double x, double z) {
    const double hills = fractalNoise(x / 22000.0, z / 22000.0, 4, 7);
    const double warp = fractalNoise(x / 30000.0, z / 30000.0, 2, 9);
    const double wave = 0.5 + 0.5 * std::sin((x * 0.8 + z * 0.6) / 5200.0 + 6.0 * warp);
    const double dunes = wave * wave;
    // Outside the playable square the ground climbs to a rim of rock.
    const double dx = std::max({0.0, -x, x - tileSize});
    const double dz = std::max({0.0, -z, z - tileSize});
    const double outside = std::sqrt(dx * dx + dz * dz);
    const double rim =
        110.0 * smoothStep(0.0, 45000.0, outside) * (0.6 + 0.8 * fractalNoise(x / 15000.0, z / 15000.0, 3, 13));
    return static_cast<float>(std::clamp(25.0 + 60.0 * hills + 28.0 * dunes + rim, 0.0, 255.0));
}

std::vector<std::uint8_t> heightmapRows(int i, int j) {
    std::vector<std::uint8_t> rows(static_cast<std::size_t>(heightmapSize) * heightmapSize);
    const double originX = tileOrigin(i);
    const double originZ = tileOrigin(j);
    for (int r = 0; r < heightmapSize; ++r) {
        for (int c = 0; c < heightmapSize; ++c) {
            const float level = groundLevel(originX + sampleSpacing * c, originZ + sampleSpacing * r);
            rows[static_cast<std::size_t>(r) * heightmapSize + static_cast<std::size_t>(c)] =
                static_cast<std::uint8_t>(std::lround(level));
        }
    }
    return rows;
}

Canvas terrainTexture(int i, int j) {
    constexpr int n = terrainTextureSize;
    constexpr double texel = static_cast<double>(tileSize) / n;
    const double originX = tileOrigin(i);
    const double originZ = tileOrigin(j);
    // Levels at texel centres with a one-texel border, for the slopes.
    constexpr int gridSize = n + 2;
    std::vector<float> levels(static_cast<std::size_t>(gridSize) * gridSize);
    auto level = [&](int gx, int gz) -> float& {
        return levels[static_cast<std::size_t>(gz) * gridSize + static_cast<std::size_t>(gx)];
    };
    for (int gz = 0; gz < gridSize; ++gz) {
        for (int gx = 0; gx < gridSize; ++gx) {
            level(gx, gz) = groundLevel(originX + (gx - 0.5) * texel, originZ + (gz - 0.5) * texel);
        }
    }
    Canvas canvas(n, n);
    for (int row = 0; row < n; ++row) {
        // Texture row 0 is stored first, at t = 0, which the terrain maps to originZ.
        const int gz = row + 1;
        for (int col = 0; col < n; ++col) {
            const int gx = col + 1;
            const double slopeX = (level(gx + 1, gz) - level(gx - 1, gz)) * 30.0 / (2.0 * texel);
            const double slopeZ = (level(gx, gz + 1) - level(gx, gz - 1)) * 30.0 / (2.0 * texel);
            const Vec3 normal = normalized({-slopeX, 1.0, -slopeZ});
            const double lambert = std::max(0.0, dot(normal, sunDirection));
            const double shade = std::clamp(0.8 + 0.9 * (lambert - sunDirection.y), 0.45, 1.15);
            const double x = originX + (col + 0.5) * texel;
            const double z = originZ + (row + 0.5) * texel;
            canvas.set(col, n - 1 - row, sandColour(x, z, level(gx, gz), shade));
        }
    }
    return canvas;
}

Canvas skyFace(SkyFace face) {
    constexpr int n = skyFaceSize;
    Canvas canvas(n, n);
    for (int y = 0; y < n; ++y) {
        const double t = 1.0 - (y + 0.5) / n;  // the top canvas row is the face's t = 1 edge
        for (int x = 0; x < n; ++x) {
            const double s = (x + 0.5) / n;
            canvas.set(x, y, skyColour(skyDirection(face, s, t)));
        }
    }
    return canvas;
}
