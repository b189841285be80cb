#include <tools/ModelDesigns.h>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

constexpr double pi = std::numbers::pi;

ShapeMesh bound(ShapeMesh mesh, int bone) {
    mesh.bindAll(bone);
    return mesh;
}

// A design whose take of the name lasts the seconds and holds the cycles.
ModelDesign animatedDesign(const char* name, const char* take, double seconds, int cycles) {
    ModelDesign design;
    design.name = name;
    design.takeName = take;
    design.takeSeconds = seconds;
    design.cycles = cycles;
    return design;
}

// A closed, rounded-top column of the radius from y0 to y1.
ShapeMesh column(double radius, double y0, double y1, int segments) {
    std::vector<std::array<double, 2>> profile{{0.0, y0}, {radius, y0}};
    const int capRings = std::max(2, segments / 4);
    const double straightTop = y1 - radius;
    profile.push_back({radius, straightTop});
    for (int k = 1; k <= capRings; ++k) {
        const double angle = 0.5 * pi * k / capRings;
        profile.push_back({k == capRings ? 0.0 : radius * std::cos(angle), straightTop + radius * std::sin(angle)});
    }
    return lathe(profile, segments);
}

// ---- cactus: a ribbed column with two arms ----

ShapeMesh cactusArm(double side, double height, double reach, double radius, int segments) {
    std::vector<Point3> path;
    std::vector<double> radii;
    const int steps = std::max(4, segments / 2);
    for (int k = 0; k <= steps; ++k) {
        const double t = static_cast<double>(k) / steps;
        // Out from the trunk, then bending up.
        const double angle = 0.5 * pi * t;
        path.push_back({side * (0.2 + reach * std::sin(angle)), height + reach * (1.0 - std::cos(angle)), 0.0});
        radii.push_back(radius);
    }
    for (int k = 1; k <= 3; ++k) {
        path.push_back({path.back()[0], path.back()[1] + 0.45, 0.0});
        radii.push_back(k == 3 ? radius * 0.6 : radius);
    }
    return tube(path, radii, segments);
}

ModelDesign cactus(const char* name, int segments, bool bothArms) {
    ModelDesign design;
    design.name = name;
    design.mesh = column(0.45, 0.0, 5.0, segments);
    // Ribs: the radius waves around the trunk.
    for (auto& point : design.mesh.points) {
        const double radius = std::hypot(point[0], point[2]);
        if (radius > 1e-9) {
            const double angle = std::atan2(point[2], point[0]);
            const double rib = 1.0 + 0.08 * std::cos(8.0 * angle);
            point[0] *= rib;
            point[2] *= rib;
        }
    }
    design.mesh.append(cactusArm(1.0, 1.9, 0.9, 0.26, std::max(6, segments - 2)));
    if (bothArms) {
        ShapeMesh arm = cactusArm(-1.0, 2.7, 0.7, 0.22, std::max(6, segments - 2));
        design.mesh.append(rotated(arm, 1, 30.0));
    }
    return design;
}

// ---- birds: body, head, beak, tail and two beating wings ----

ModelDesign bird(const char* name, bool aggressive) {
    enum { body, leftWing, rightWing };
    ModelDesign design = animatedDesign(name, aggressive ? "Attack" : "Flap", 1.0, aggressive ? 3 : 2);
    const double beat = aggressive ? 45.0 : 35.0;
    // Modelled at a wingspan of about 29 units, stored at about 15.
    constexpr double size = 0.5;
    design.bones = {
        {"Body", -1, {0.0, 0.0, 0.0}, {{4.0, 0.0, 0.0}, {0.0, 0.6 * size, 0.0}, 0.25, 0.0}},
        {"LeftWing", body, {1.8 * size, 0.6 * size, 0.0}, {{0.0, 0.0, beat}, {}, 0.0, 0.0}},
        {"RightWing", body, {-1.8 * size, 0.6 * size, 0.0}, {{0.0, 0.0, -beat}, {}, 0.0, 0.0}},
    };
    ShapeMesh mesh = ellipsoid({2.4, 2.0, 5.5}, 7, 10);
    ShapeMesh head = ellipsoid({1.8, 1.8, 1.9}, 6, 8);
    mesh.append(translated(head, {0.0, 1.6, 5.6}));
    ShapeMesh beak = lathe({{0.0, 0.0}, {0.6, 0.0}, {0.0, aggressive ? 2.6 : 1.6}}, 8);
    rotated(beak, 0, 90.0);
    mesh.append(translated(beak, {0.0, 1.2, 7.2}));
    ShapeMesh tail = ellipsoid({2.2, 0.3, 2.6}, 4, 8);
    mesh.append(translated(rotated(tail, 0, -15.0), {0.0, 0.6, -6.2}));
    if (aggressive) {
        // A crest of spikes along the head and back.
        for (int k = 0; k < 4; ++k) {
            ShapeMesh spike = lathe({{0.0, 0.0}, {0.45, 0.0}, {0.0, 1.8}}, 6);
            mesh.append(translated(rotated(spike, 0, -20.0), {0.0, 1.8 + (k == 0 ? 1.3 : 0.0), 5.5 - 3.0 * k}));
        }
    }
    mesh.bindAll(body);
    for (int side = 0; side < 2; ++side) {
        const double sign = side == 0 ? 1.0 : -1.0;
        ShapeMesh wing = ellipsoid({6.5, 0.35, 2.6}, 4, 10);
        translated(wing, {sign * 7.6, 0.6, 0.3});
        mesh.append(bound(wing, side == 0 ? leftWing : rightWing));
    }
    design.mesh = scaled(mesh, {size, size, size});
    return design;
}

// ---- teapot: a turned body with lid and knob, spout and handle ----

ModelDesign teapot() {
    ModelDesign design = animatedDesign("Teapot", "Float", 2.0, 1);
    design.bones = {{"Float", -1, {0.0, 0.0, 0.0}, {{}, {0.0, 0.15, 0.0}, 0.0, 360.0}}};
    ShapeMesh mesh = lathe({{0.0, 0.0},
                            {0.5, 0.0},
                            {0.66, 0.06},
                            {0.77, 0.2},
                            {0.8, 0.36},
                            {0.76, 0.54},
                            {0.66, 0.7},
                            {0.54, 0.8},
                            {0.5, 0.82},
                            {0.44, 0.88},
                            {0.3, 0.93},
                            {0.1, 0.96},
                            {0.08, 1.0},
                            {0.12, 1.06},
                            {0.08, 1.11},
                            {0.0, 1.12}},
                           14);
    std::vector<Point3> spout;
    std::vector<double> spoutRadii;
    for (int k = 0; k <= 6; ++k) {
        const double t = k / 6.0;
        spout.push_back({0.65 + 0.6 * t, 0.3 + 0.55 * t * t, 0.0});
        spoutRadii.push_back(0.16 - 0.09 * t);
    }
    mesh.append(tube(spout, spoutRadii, 10));
    std::vector<Point3> handle;
    for (int k = 0; k <= 8; ++k) {
        const double angle = pi * (0.5 - k / 8.0);  // from the top round to the bottom
        handle.push_back({-0.7 - 0.32 * std::cos(angle), 0.47 + 0.26 * std::sin(angle), 0.0});
    }
    mesh.append(tube(handle, std::vector<double>(handle.size(), 0.055), 8));
    mesh.bindAll(0);
    design.mesh = mesh;
    return design;
}

// ---- palm: a curved trunk, and a crown of drooping leaves ----

const Point3 palmTop{0.8, 11.0, 0.0};

ModelDesign palmTrunk() {
    ModelDesign design;
    design.name = "PalmTrunk";
    std::vector<Point3> path;
    std::vector<double> radii;
    for (int k = 0; k <= 7; ++k) {
        const double t = k / 7.0;
        path.push_back({palmTop[0] * t * t, palmTop[1] * t, 0.0});
        // Rings of old leaf bases along the trunk.
        radii.push_back((0.5 - 0.22 * t) * (k % 2 == 0 ? 1.0 : 0.9));
    }
    design.mesh = tube(path, radii, 8);
    return design;
}

// One leaf, two-sided, from the crown outwards along the heading.
ShapeMesh palmLeaf(double heading, double length, int steps) {
    ShapeMesh top;
    const double dx = std::cos(heading);
    const double dz = std::sin(heading);
    for (int k = 0; k <= steps; ++k) {
        const double s = static_cast<double>(k) / steps;
        const double width = 0.9 * std::sin(pi * std::min(1.0, 0.15 + s));
        const Point3 centre{palmTop[0] + dx * length * s, palmTop[1] + 1.6 * s - 3.2 * s * s,
                          palmTop[2] + dz * length * s};
        for (int across = -1; across <= 1; ++across) {
            const double lift = across == 0 ? 0.12 : 0.0;
            top.addPoint({centre[0] - dz * width * across, centre[1] + lift, centre[2] + dx * width * across},
                         {0.5 + 0.5 * across, s});
        }
    }
    for (int k = 0; k < steps; ++k) {
        for (int across = 0; across < 2; ++across) {
            const int a = k * 3 + across;
            // Faces up for every heading: the leaf runs along d, across it the
            // points go from one side (-1) to the other (+1).
            top.addTriangle(a, a + 1, a + 4);
            top.addTriangle(a, a + 4, a + 3);
        }
    }
    ShapeMesh under = top;
    under.reverseWinding();
    top.append(under);
    return top;
}

ModelDesign palmCrown(const char* name, int leaves, int steps, bool coconuts) {
    ModelDesign design;
    design.name = name;
    for (int k = 0; k < leaves; ++k) {
        design.mesh.append(palmLeaf(2.0 * pi * k / leaves + 0.3 * (k % 2), 4.8 + 0.4 * (k % 3), steps));
    }
    if (coconuts) {
        for (int k = 0; k < 3; ++k) {
            const double angle = 2.0 * pi * k / 3.0;
            ShapeMesh nut = ellipsoid({0.28, 0.3, 0.28}, 5, 8);
            design.mesh.append(
                translated(nut, {palmTop[0] + 0.35 * std::cos(angle), palmTop[1] - 0.35, 0.35 * std::sin(angle)}));
        }
    }
    return design;
}

// ---- demon: a small horned walker ----

ModelDesign demon(const char* name, int segments) {
    enum { hips, leftLeg, rightLeg, leftArm, rightArm };
    ModelDesign design = animatedDesign(name, "Walk", 1.0, 1);
    design.clockwise = true;
    design.bones = {
        {"Hips", -1, {0.0, 0.55, 0.0}, {{0.0, 6.0, 0.0}, {0.0, 0.02, 0.0}, 0.0, 0.0}},
        {"LeftLeg", hips, {0.1, -0.03, 0.0}, {{30.0, 0.0, 0.0}, {}, 0.0, 0.0}},
        {"RightLeg", hips, {-0.1, -0.03, 0.0}, {{30.0, 0.0, 0.0}, {}, 0.5, 0.0}},
        {"LeftArm", hips, {0.25, 0.4, 0.0}, {{25.0, 0.0, 0.0}, {}, 0.5, 0.0}},
        {"RightArm", hips, {-0.25, 0.4, 0.0}, {{25.0, 0.0, 0.0}, {}, 0.0, 0.0}},
    };
    const int rings = std::max(5, segments / 2);
    ShapeMesh mesh = ellipsoid({0.22, 0.27, 0.16}, rings, segments);
    translated(mesh, {0.0, 0.78, 0.0});
    ShapeMesh head = ellipsoid({0.15, 0.14, 0.14}, rings, segments);
    mesh.append(translated(head, {0.0, 1.15, 0.02}));
    for (int side = 0; side < 2; ++side) {
        const double sign = side == 0 ? 1.0 : -1.0;
        std::vector<Point3> horn;
        std::vector<double> hornRadii;
        for (int k = 0; k <= 4; ++k) {
            const double t = k / 4.0;
            horn.push_back({sign * (0.09 + 0.1 * t), 1.24 + 0.16 * t - 0.04 * t * t, 0.02 - 0.05 * t});
            hornRadii.push_back(0.035 * (1.0 - 0.85 * t));
        }
        mesh.append(tube(horn, hornRadii, std::max(5, segments / 2)));
    }
    std::vector<Point3> tail;
    for (int k = 0; k <= 5; ++k) {
        const double t = k / 5.0;
        tail.push_back({0.0, 0.6 + 0.15 * t * t, -0.12 - 0.3 * t});
    }
    mesh.append(tube(tail, {0.035, 0.032, 0.028, 0.024, 0.02, 0.012}, std::max(5, segments / 2)));
    mesh.bindAll(hips);
    for (int side = 0; side < 2; ++side) {
        const double sign = side == 0 ? 1.0 : -1.0;
        ShapeMesh leg = tube({{sign * 0.1, 0.55, 0.0}, {sign * 0.11, 0.28, 0.02}, {sign * 0.11, 0.04, 0.0}},
                             {0.075, 0.06, 0.05}, segments);
        ShapeMesh foot = box({sign * 0.11 - 0.05, 0.0, -0.05}, {sign * 0.11 + 0.05, 0.05, 0.12});
        leg.append(foot);
        mesh.append(bound(leg, side == 0 ? leftLeg : rightLeg));
        ShapeMesh arm = tube({{sign * 0.25, 0.96, 0.0}, {sign * 0.3, 0.76, 0.03}, {sign * 0.32, 0.58, 0.06}},
                             {0.055, 0.045, 0.04}, segments);
        ShapeMesh hand = ellipsoid({0.05, 0.05, 0.05}, 4, 6);
        arm.append(translated(hand, {sign * 0.32, 0.55, 0.06}));
        mesh.append(bound(arm, side == 0 ? leftArm : rightArm));
    }
    mesh.reverseWinding();
    design.mesh = mesh;
    return design;
}

// ---- sandstone: a weathered boulder ----

ModelDesign sandstone() {
    ModelDesign design;
    design.name = "Sandstone";
    ShapeMesh mesh = ellipsoid({3.0, 2.0, 2.5}, 8, 12);
    for (auto& point : mesh.points) {
        // The bumps depend on the position only, so points shared along the
        // seam and at the poles move alike.
        const double bump = 1.0 + 0.1 * std::sin(2.1 * point[0] + 0.7) * std::cos(1.7 * point[2]) +
                            0.06 * std::sin(3.3 * point[1] + 1.3 * point[0]);
        for (auto& c : point) {
            c *= bump;
        }
    }
    design.mesh = translated(mesh, {0.0, 1.5, 0.0});
    return design;
}

// ---- wizard: a robed figure with hat, beard and staff, swaying ----

ModelDesign wizard() {
    enum { spine, neck, leftArm, rightArm };
    ModelDesign design = animatedDesign("Wizard", "Sway", 2.0, 1);
    design.clockwise = true;
    design.bones = {
        {"Spine", -1, {0.0, 0.0, 0.0}, {{3.0, 0.0, 6.0}, {}, 0.0, 0.0}},
        {"Neck", spine, {0.0, 30.0, 0.0}, {{0.0, 10.0, 5.0}, {}, 0.25, 0.0}},
        {"LeftArm", spine, {5.5, 27.0, 0.0}, {{15.0, 0.0, 8.0}, {}, 0.5, 0.0}},
        {"RightArm", spine, {-5.5, 27.0, 0.0}, {{15.0, 0.0, -8.0}, {}, 0.0, 0.0}},
    };
    ShapeMesh mesh = lathe({{0.0, 0.0}, {9.0, 0.0}, {7.5, 10.0}, {5.5, 22.0}, {5.8, 27.0}, {3.0, 30.0}, {0.0, 30.5}},
                           12);
    mesh.bindAll(spine);
    ShapeMesh head = ellipsoid({4.0, 4.3, 4.0}, 7, 10);
    translated(head, {0.0, 33.5, 0.0});
    ShapeMesh beard = lathe({{0.0, 0.0}, {2.6, 7.0}, {3.0, 8.2}, {0.0, 8.6}}, 10);
    rotated(beard, 0, 180.0);  // the point downwards
    translated(beard, {0.0, 33.5, 3.2});
    head.append(beard);
    ShapeMesh hat = lathe({{0.0, 36.0}, {8.0, 36.0}, {8.0, 36.8}, {3.8, 37.2}, {2.0, 42.0}, {0.6, 47.0}, {0.0, 48.5}},
                          12);
    head.append(hat);
    mesh.append(bound(head, neck));
    for (int side = 0; side < 2; ++side) {
        const double sign = side == 0 ? 1.0 : -1.0;
        ShapeMesh arm = tube({{sign * 5.5, 27.0, 0.0}, {sign * 7.0, 22.0, 2.0}, {sign * 7.5, 17.5, 4.0}},
                             {2.0, 1.9, 1.7}, 10);
        ShapeMesh hand = ellipsoid({1.4, 1.4, 1.4}, 6, 8);
        arm.append(translated(hand, {sign * 7.5, 16.5, 4.2}));
        if (side == 1) {
            arm.append(tube({{-7.5, 2.0, 4.2}, {-7.5, 20.0, 4.2}, {-7.5, 38.0, 4.2}}, {0.6, 0.6, 0.9}, 8));
        }
        mesh.append(bound(arm, side == 0 ? leftArm : rightArm));
    }
    mesh.reverseWinding();
    design.mesh = mesh;
    return design;
}

// ---- carpet: a flying rug whose length waves ----

ModelDesign carpet() {
    ModelDesign design = animatedDesign("Carpet", "Wave", 1.5, 1);
    constexpr int bones = 6;
    constexpr double halfLength = 15.0;
    constexpr double spacing = 2.0 * halfLength / (bones - 1);
    for (int k = 0; k < bones; ++k) {
        BoneDesign bone;
        bone.name = "Carpet" + std::to_string(k);
        bone.parent = k - 1;
        bone.offset = k == 0 ? Point3{0.0, 0.0, -halfLength} : Point3{0.0, 0.0, spacing};
        bone.motion.rotationAmplitude = {k == 0 ? 4.0 : 9.0, 0.0, 0.0};
        bone.motion.phase = -0.18 * k;
        design.bones.push_back(bone);
    }
    design.mesh = sheet(10.0, halfLength, 8, 15, 0.5);
    // Each point follows the two bones around it, weighted by distance.
    for (std::size_t i = 0; i < design.mesh.points.size(); ++i) {
        const double along = (design.mesh.points[i][2] + halfLength) / spacing;
        const int lower = std::clamp(static_cast<int>(std::floor(along)), 0, bones - 2);
        const double t = std::clamp(along - lower, 0.0, 1.0);
        design.mesh.weights[i] = {{lower, 1.0 - t}, {lower + 1, t}};
    }
    return design;
}

// ---- wall: a stretch of sandstone wall with merlons ----

// Without the faces that look straight down: they rest on the ground or on
// the block below, and there are hundreds of walls to draw.
ShapeMesh withoutUndersides(const ShapeMesh& mesh) {
    ShapeMesh kept = mesh;
    kept.triangles.clear();
    for (const auto& triangle : mesh.triangles) {
        const Point3& a = mesh.points[static_cast<std::size_t>(triangle[0])];
        const Point3& b = mesh.points[static_cast<std::size_t>(triangle[1])];
        const Point3& c = mesh.points[static_cast<std::size_t>(triangle[2])];
        const double up = (b[2] - a[2]) * (c[0] - a[0]) - (b[0] - a[0]) * (c[2] - a[2]);
        if (up >= 0.0) {
            kept.triangles.push_back(triangle);
        }
    }
    return kept;
}

ModelDesign wall() {
    ModelDesign design;
    design.name = "Wall";
    ShapeMesh mesh = box({-2.0, 0.0, -0.4}, {2.0, 2.6, 0.4});
    for (int k = 0; k < 3; ++k) {
        const double x = -1.6 + 1.45 * k;
        mesh.append(box({x, 2.6, -0.35}, {x + 0.7, 3.2, 0.35}));
    }
    design.mesh = withoutUndersides(mesh);
    return design;
}

double cycleAngle(const ModelDesign& design, const BoneMotion& motion, double seconds) {
    const double span = design.takeSeconds > 0.0 ? design.takeSeconds : 1.0;
    return 2.0 * pi * (design.cycles * seconds / span + motion.phase);
}

}  // namespace

ModelDesign designModel(ModelKind kind) {
    switch (kind) {
    case ModelKind::cactusHigh:
        return cactus("CactusHigh", 10, true);
    case ModelKind::cactusMid:
        return cactus("CactusMid", 7, true);
    case ModelKind::cactusLow:
        return cactus("CactusLow", 5, false);
    case ModelKind::bird:
        return bird("Bird", false);
    case ModelKind::aggroBird:
        return bird("AggroBird", true);
    case ModelKind::teapot:
        return teapot();
    case ModelKind::palmCrown0:
        return palmCrown("PalmCrown0", 8, 5, true);
    case ModelKind::palmCrown1:
        return palmCrown("PalmCrown1", 7, 3, false);
    case ModelKind::palmCrown2:
        return palmCrown("PalmCrown2", 5, 2, false);
    case ModelKind::palmTrunk:
        return palmTrunk();
    case ModelKind::demon:
        return demon("Demon", 9);
    case ModelKind::demonLow:
        return demon("DemonLow", 6);
    case ModelKind::sandstone:
        return sandstone();
    case ModelKind::wizard:
        return wizard();
    case ModelKind::carpet:
        return carpet();
    case ModelKind::wall:
        return wall();
    }
    return {};
}

Point3 boneRestPosition(const ModelDesign& design, int bone) {
    Point3 position{};
    // Parents come before their children, so the walk up always ends.
    for (int b = bone; b >= 0 && b < static_cast<int>(design.bones.size()); b = design.bones[static_cast<std::size_t>(b)].parent) {
        const Point3& offset = design.bones[static_cast<std::size_t>(b)].offset;
        for (std::size_t k = 0; k < 3; ++k) {
            position[k] += offset[k];
        }
        if (design.bones[static_cast<std::size_t>(b)].parent >= b) {
            break;
        }
    }
    return position;
}

Point3 boneRotationAt(const ModelDesign& design, int bone, double seconds) {
    const BoneMotion& motion = design.bones[static_cast<std::size_t>(bone)].motion;
    const double wave = std::sin(cycleAngle(design, motion, seconds));
    Point3 rotation{};
    for (std::size_t k = 0; k < 3; ++k) {
        rotation[k] = motion.rotationAmplitude[k] * wave;
    }
    const double span = design.takeSeconds > 0.0 ? design.takeSeconds : 1.0;
    rotation[1] += motion.spinDegrees * seconds / span;
    return rotation;
}

Point3 boneTranslationAt(const ModelDesign& design, int bone, double seconds) {
    const BoneDesign& boneDesign = design.bones[static_cast<std::size_t>(bone)];
    // Bobbing runs at twice the rate of the swings, once per step.
    const double wave = std::sin(2.0 * cycleAngle(design, boneDesign.motion, seconds));
    Point3 translation = boneDesign.offset;
    for (std::size_t k = 0; k < 3; ++k) {
        translation[k] += boneDesign.motion.translationAmplitude[k] * wave;
    }
    return translation;
}
