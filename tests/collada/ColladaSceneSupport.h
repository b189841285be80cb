// Transforms worked out independently of the SDK, as COLLADA defines them:
// 4x4 matrices for column vectors, each node's transform elements
// multiplied in document order. The SDK keeps the transpose (row vectors).
#ifndef TESTS_COLLADA_COLLADASCENESUPPORT_H
#define TESTS_COLLADA_COLLADASCENESUPPORT_H

#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include <array>
#include <cmath>
#include <string>

namespace fbxsdk_2006_11_1::colladatest {

using Matrix = std::array<std::array<double, 4>, 4>;

inline Matrix Identity() {
    Matrix m{};
    for (int i = 0; i < 4; ++i) {
        m[i][i] = 1.0;
    }
    return m;
}

inline Matrix operator*(const Matrix& a, const Matrix& b) {
    Matrix m{};
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            for (int k = 0; k < 4; ++k) {
                m[r][c] += a[r][k] * b[k][c];
            }
        }
    }
    return m;
}

inline Matrix Translate(double x, double y, double z) {
    Matrix m = Identity();
    m[0][3] = x;
    m[1][3] = y;
    m[2][3] = z;
    return m;
}

inline Matrix Scale(double x, double y, double z) {
    Matrix m = Identity();
    m[0][0] = x;
    m[1][1] = y;
    m[2][2] = z;
    return m;
}

// The rotation of degrees about the axis (normalised here), as COLLADA's rotate.
inline Matrix Rotate(double x, double y, double z, double degrees) {
    const double length = std::sqrt(x * x + y * y + z * z);
    x /= length;
    y /= length;
    z /= length;
    const double a = degrees * M_PI / 180.0;
    const double c = std::cos(a);
    const double s = std::sin(a);
    const double t = 1.0 - c;
    Matrix m = Identity();
    m[0] = {c + x * x * t, x * y * t - z * s, x * z * t + y * s, 0.0};
    m[1] = {y * x * t + z * s, c + y * y * t, y * z * t - x * s, 0.0};
    m[2] = {z * x * t - y * s, z * y * t + x * s, c + z * z * t, 0.0};
    return m;
}

// COLLADA's matrix element: sixteen values, row by row.
inline Matrix FromRows(const std::array<double, 16>& values) {
    Matrix m{};
    for (int k = 0; k < 16; ++k) {
        m[k / 4][k % 4] = values[static_cast<std::size_t>(k)];
    }
    return m;
}

// COLLADA's lookat: the camera at eye, looking at interest, up.
inline Matrix LookAt(const std::array<double, 3>& eye, const std::array<double, 3>& interest,
                     const std::array<double, 3>& up) {
    const auto normal = [](std::array<double, 3> v) {
        const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
        return std::array<double, 3>{v[0] / length, v[1] / length, v[2] / length};
    };
    const auto cross = [](const std::array<double, 3>& a, const std::array<double, 3>& b) {
        return std::array<double, 3>{a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
    };
    const auto back = normal({eye[0] - interest[0], eye[1] - interest[1], eye[2] - interest[2]});
    const auto side = normal(cross(up, back));
    const auto upward = cross(back, side);
    Matrix m = Identity();
    for (int r = 0; r < 3; ++r) {
        m[r][0] = side[static_cast<std::size_t>(r)];
        m[r][1] = upward[static_cast<std::size_t>(r)];
        m[r][2] = back[static_cast<std::size_t>(r)];
        m[r][3] = eye[static_cast<std::size_t>(r)];
    }
    return m;
}

// The largest difference between the SDK's matrix and the transpose of the expected one.
inline double Difference(const KgeMatrix& sdk, const Matrix& expected) {
    double largest = 0.0;
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            largest = std::max(largest, std::fabs(sdk[r][c] - expected[c][r]));
        }
    }
    return largest;
}

inline KFbxNode* Node(KFbxScene* scene, const char* name) { return scene->GetRootNode()->FindChild(name, true); }

}  // namespace fbxsdk_2006_11_1::colladatest

#endif
