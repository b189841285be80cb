#include <tools/ModelShapes.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <utility>

namespace {

Point3 minus(const Point3& a, const Point3& b) { return {a[0] - b[0], a[1] - b[1], a[2] - b[2]}; }

Point3 cross(const Point3& a, const Point3& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double dot(const Point3& a, const Point3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }

Point3 normalized(const Point3& v) {
    const double length = std::sqrt(dot(v, v));
    return length > 0.0 ? Point3{v[0] / length, v[1] / length, v[2] / length} : Point3{0.0, 1.0, 0.0};
}

// Two triangles over the quad, wound so that they face along the normal.
void addFacingQuad(ShapeMesh& mesh, int a, int b, int c, int d, const Point3& facing) {
    const Point3& pa = mesh.points[static_cast<std::size_t>(a)];
    const Point3 turn = cross(minus(mesh.points[static_cast<std::size_t>(b)], pa),
                            minus(mesh.points[static_cast<std::size_t>(c)], pa));
    if (dot(turn, facing) >= 0.0) {
        mesh.addTriangle(a, b, c);
        mesh.addTriangle(a, c, d);
    } else {
        mesh.addTriangle(a, c, b);
        mesh.addTriangle(a, d, c);
    }
}

constexpr double twoPi = 2.0 * std::numbers::pi;

}  // namespace

int ShapeMesh::addPoint(const Point3& point, const ShapeUv& uv) {
    points.push_back(point);
    uvs.push_back(uv);
    weights.emplace_back();
    return static_cast<int>(points.size()) - 1;
}

void ShapeMesh::addTriangle(int a, int b, int c) { triangles.push_back({a, b, c}); }

void ShapeMesh::append(const ShapeMesh& other) {
    const int offset = static_cast<int>(points.size());
    points.insert(points.end(), other.points.begin(), other.points.end());
    uvs.insert(uvs.end(), other.uvs.begin(), other.uvs.end());
    weights.insert(weights.end(), other.weights.begin(), other.weights.end());
    for (const auto& triangle : other.triangles) {
        addTriangle(triangle[0] + offset, triangle[1] + offset, triangle[2] + offset);
    }
}

void ShapeMesh::reverseWinding() {
    for (auto& triangle : triangles) {
        std::swap(triangle[1], triangle[2]);
    }
}

void ShapeMesh::bindAll(int bone) {
    for (auto& list : weights) {
        list = {BoneWeight{bone, 1.0}};
    }
}

ShapeMesh lathe(const std::vector<std::array<double, 2>>& profile, int segments) {
    ShapeMesh mesh;
    const int rows = static_cast<int>(profile.size());
    if (rows < 2 || segments < 3) {
        return mesh;
    }
    const int columns = segments + 1;  // the seam is doubled for the texture
    for (int i = 0; i < rows; ++i) {
        const auto [radius, y] = profile[static_cast<std::size_t>(i)];
        for (int j = 0; j < columns; ++j) {
            const double angle = twoPi * j / segments;
            mesh.addPoint({radius * std::cos(angle), y, radius * std::sin(angle)},
                          {static_cast<double>(j) / segments, static_cast<double>(i) / (rows - 1)});
        }
    }
    for (int i = 0; i + 1 < rows; ++i) {
        const bool closedBelow = profile[static_cast<std::size_t>(i)][0] == 0.0;
        const bool closedAbove = profile[static_cast<std::size_t>(i + 1)][0] == 0.0;
        for (int j = 0; j < segments; ++j) {
            const int a = i * columns + j;
            const int b = a + 1;
            const int d = a + columns;
            const int c = d + 1;
            if (!closedAbove) {
                mesh.addTriangle(a, d, c);
            }
            if (!closedBelow) {
                mesh.addTriangle(a, c, b);
            }
        }
    }
    return mesh;
}

ShapeMesh ellipsoid(const Point3& radii, int rings, int segments) {
    std::vector<std::array<double, 2>> profile;
    for (int i = 0; i <= rings; ++i) {
        const double angle = std::numbers::pi * i / rings;
        const double radius = (i == 0 || i == rings) ? 0.0 : std::sin(angle);
        profile.push_back({radius, -std::cos(angle)});
    }
    ShapeMesh mesh = lathe(profile, segments);
    return scaled(mesh, radii);
}

ShapeMesh tube(const std::vector<Point3>& path, const std::vector<double>& radii, int segments) {
    ShapeMesh mesh;
    const int count = static_cast<int>(path.size());
    if (count < 2 || radii.size() != path.size() || segments < 3) {
        return mesh;
    }
    const int columns = segments + 1;
    Point3 normal{};
    std::vector<Point3> tangents;
    for (int i = 0; i < count; ++i) {
        const Point3& ahead = path[static_cast<std::size_t>(std::min(i + 1, count - 1))];
        const Point3& behind = path[static_cast<std::size_t>(std::max(i - 1, 0))];
        const Point3 tangent = normalized(minus(ahead, behind));
        tangents.push_back(tangent);
        if (i == 0) {
            // Any direction across the first tangent; later rings carry it along.
            const Point3 reference = std::abs(tangent[1]) < 0.9 ? Point3{0.0, 1.0, 0.0} : Point3{1.0, 0.0, 0.0};
            normal = reference;
        }
        const double along = dot(normal, tangent);
        normal = normalized({normal[0] - along * tangent[0], normal[1] - along * tangent[1],
                             normal[2] - along * tangent[2]});
        const Point3 binormal = cross(tangent, normal);
        const Point3& centre = path[static_cast<std::size_t>(i)];
        const double radius = radii[static_cast<std::size_t>(i)];
        for (int j = 0; j < columns; ++j) {
            const double angle = twoPi * j / segments;
            const double c = std::cos(angle) * radius;
            const double s = std::sin(angle) * radius;
            mesh.addPoint({centre[0] + c * normal[0] + s * binormal[0], centre[1] + c * normal[1] + s * binormal[1],
                           centre[2] + c * normal[2] + s * binormal[2]},
                          {static_cast<double>(j) / segments, static_cast<double>(i) / (count - 1)});
        }
    }
    for (int i = 0; i + 1 < count; ++i) {
        for (int j = 0; j < segments; ++j) {
            const int a = i * columns + j;
            mesh.addTriangle(a, a + 1, a + columns + 1);
            mesh.addTriangle(a, a + columns + 1, a + columns);
        }
    }
    const int start = mesh.addPoint(path.front(), {0.5, 0.0});
    const int end = mesh.addPoint(path.back(), {0.5, 1.0});
    const int last = (count - 1) * columns;
    for (int j = 0; j < segments; ++j) {
        mesh.addTriangle(start, j + 1, j);
        mesh.addTriangle(end, last + j, last + j + 1);
    }
    return mesh;
}

ShapeMesh box(const Point3& low, const Point3& high) {
    ShapeMesh mesh;
    for (int axis = 0; axis < 3; ++axis) {
        const int u = (axis + 1) % 3;
        const int v = (axis + 2) % 3;
        for (int side = 0; side < 2; ++side) {
            Point3 facing{0.0, 0.0, 0.0};
            facing[static_cast<std::size_t>(axis)] = side == 0 ? -1.0 : 1.0;
            int corners[4];
            for (int k = 0; k < 4; ++k) {
                const bool highU = k == 1 || k == 2;
                const bool highV = k >= 2;
                Point3 point{};
                point[static_cast<std::size_t>(axis)] = side == 0 ? low[static_cast<std::size_t>(axis)]
                                                                  : high[static_cast<std::size_t>(axis)];
                point[static_cast<std::size_t>(u)] = highU ? high[static_cast<std::size_t>(u)] : low[static_cast<std::size_t>(u)];
                point[static_cast<std::size_t>(v)] = highV ? high[static_cast<std::size_t>(v)] : low[static_cast<std::size_t>(v)];
                corners[k] = mesh.addPoint(point, {highU ? 1.0 : 0.0, highV ? 1.0 : 0.0});
            }
            addFacingQuad(mesh, corners[0], corners[1], corners[2], corners[3], facing);
        }
    }
    return mesh;
}

ShapeMesh sheet(double halfX, double halfZ, int cellsX, int cellsZ, double thickness) {
    ShapeMesh mesh;
    if (cellsX < 1 || cellsZ < 1) {
        return mesh;
    }
    for (int side = 0; side < 2; ++side) {
        const double y = side == 0 ? thickness / 2.0 : -thickness / 2.0;
        const int first = static_cast<int>(mesh.points.size());
        for (int j = 0; j <= cellsZ; ++j) {
            for (int i = 0; i <= cellsX; ++i) {
                const double u = static_cast<double>(i) / cellsX;
                const double v = static_cast<double>(j) / cellsZ;
                mesh.addPoint({-halfX + 2.0 * halfX * u, y, -halfZ + 2.0 * halfZ * v}, {u, v});
            }
        }
        const Point3 facing{0.0, side == 0 ? 1.0 : -1.0, 0.0};
        for (int j = 0; j < cellsZ; ++j) {
            for (int i = 0; i < cellsX; ++i) {
                const int a = first + j * (cellsX + 1) + i;
                addFacingQuad(mesh, a, a + 1, a + cellsX + 2, a + cellsX + 1, facing);
            }
        }
    }
    return mesh;
}

ShapeMesh& scaled(ShapeMesh& mesh, const Point3& factors) {
    for (auto& point : mesh.points) {
        for (std::size_t k = 0; k < 3; ++k) {
            point[k] *= factors[k];
        }
    }
    return mesh;
}

ShapeMesh& rotated(ShapeMesh& mesh, int axis, double degrees) {
    const double angle = degrees * std::numbers::pi / 180.0;
    const double c = std::cos(angle);
    const double s = std::sin(angle);
    const auto u = static_cast<std::size_t>((axis + 1) % 3);
    const auto v = static_cast<std::size_t>((axis + 2) % 3);
    for (auto& point : mesh.points) {
        const double pu = point[u];
        const double pv = point[v];
        point[u] = c * pu - s * pv;
        point[v] = s * pu + c * pv;
    }
    return mesh;
}

ShapeMesh& translated(ShapeMesh& mesh, const Point3& offset) {
    for (auto& point : mesh.points) {
        for (std::size_t k = 0; k < 3; ++k) {
            point[k] += offset[k];
        }
    }
    return mesh;
}

double signedVolume6(const ShapeMesh& mesh) {
    double sum = 0.0;
    for (const auto& triangle : mesh.triangles) {
        const Point3& a = mesh.points[static_cast<std::size_t>(triangle[0])];
        const Point3& b = mesh.points[static_cast<std::size_t>(triangle[1])];
        const Point3& c = mesh.points[static_cast<std::size_t>(triangle[2])];
        sum += dot(a, cross(b, c));
    }
    return sum;
}
