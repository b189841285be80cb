#pragma once

#include <array>
#include <vector>

// Triangle meshes for the model files, built from a few solids. y is up;
// triangles are counter-clockwise seen from outside unless reversed.
using Point3 = std::array<double, 3>;
using ShapeUv = std::array<double, 2>;

// How much one bone moves a point.
struct BoneWeight {
    int bone = 0;
    double weight = 0.0;
};

struct ShapeMesh {
    std::vector<Point3> points;
    std::vector<ShapeUv> uvs;  // one per point
    std::vector<std::array<int, 3>> triangles;
    std::vector<std::vector<BoneWeight>> weights;  // one list per point; empty lists for a static model

    int addPoint(const Point3& point, const ShapeUv& uv);
    void addTriangle(int a, int b, int c);
    // The other mesh's points and triangles after this mesh's.
    void append(const ShapeMesh& other);
    void reverseWinding();
    // Every point moved by the bone alone.
    void bindAll(int bone);
};

// A surface of revolution about the y axis: profile entries are (radius, y),
// bottom to top; a radius of 0 closes the surface there. The texture wraps
// once around (u) and once along the profile (v).
ShapeMesh lathe(const std::vector<std::array<double, 2>>& profile, int segments);
// An ellipsoid about the origin.
ShapeMesh ellipsoid(const Point3& radii, int rings, int segments);
// A tube swept along a path, one radius per path point, closed at both ends.
ShapeMesh tube(const std::vector<Point3>& path, const std::vector<double>& radii, int segments);
// An axis-aligned box.
ShapeMesh box(const Point3& low, const Point3& high);
// A thin two-sided sheet over x in [-halfX, halfX], z in [-halfZ, halfZ] at
// y = 0, split into cells; the under side faces down.
ShapeMesh sheet(double halfX, double halfZ, int cellsX, int cellsZ, double thickness);

// Transforms applied to every point, in place; each returns the mesh.
ShapeMesh& scaled(ShapeMesh& mesh, const Point3& factors);  // factors must be positive
ShapeMesh& rotated(ShapeMesh& mesh, int axis, double degrees);  // axis 0 x, 1 y, 2 z
ShapeMesh& translated(ShapeMesh& mesh, const Point3& offset);

// Six times the enclosed volume: positive for a closed mesh whose triangles
// face outwards counter-clockwise.
double signedVolume6(const ShapeMesh& mesh);
