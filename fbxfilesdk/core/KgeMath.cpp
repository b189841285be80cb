#include <fbxfilesdk/core/KgeMath.h>

#include <cmath>
#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr double kDegToRad = 0.017453292519943295;
constexpr double kRadToDeg = 57.29577951308232;
// Below this, the middle angle of an order is taken as singular.
constexpr double kEulerSingular = 1.6e-9;

constexpr int kRotationOrderAxes[12][3] = {
    {0, 1, 2}, {0, 1, 2}, {0, 2, 1}, {0, 2, 1}, {1, 2, 0}, {1, 2, 0},
    {1, 0, 2}, {1, 0, 2}, {2, 0, 1}, {2, 0, 1}, {2, 1, 0}, {2, 1, 0},
};

inline double& At(double* m, int row, int column) { return m[row * 4 + column]; }
inline double At(const double* m, int row, int column) { return m[row * 4 + column]; }

double Determinant3(const double* m) {
    return At(m, 0, 0) * (At(m, 1, 1) * At(m, 2, 2) - At(m, 1, 2) * At(m, 2, 1)) -
           At(m, 0, 1) * (At(m, 1, 0) * At(m, 2, 2) - At(m, 1, 2) * At(m, 2, 0)) +
           At(m, 0, 2) * (At(m, 1, 0) * At(m, 2, 1) - At(m, 1, 1) * At(m, 2, 0));
}

int OrderIndex(int order) { return order >= 0 && order < 12 ? order : 0; }

}  // namespace

const int* KgeRotationOrderAxes(int order) { return kRotationOrderAxes[OrderIndex(order)]; }

void KgeMatrixMultPoint(double* out, const double* m, const double* p) {
    const double x = p[0], y = p[1], z = p[2];
    for (int c = 0; c < 3; ++c) out[c] = x * At(m, 0, c) + y * At(m, 1, c) + z * At(m, 2, c) + At(m, 3, c);
}

int KgeMatrixCompare(const double* a, const double* b, double tolerance) {
    if (tolerance == 0.0) {
        const int order = std::memcmp(a, b, 15 * sizeof(double));
        return order < 0 ? -1 : (order > 0 ? 1 : 0);
    }
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            if (std::fabs(At(a, r, c) - At(b, r, c)) > tolerance) return 1;
    return 0;
}

void KgeMatrixCopy(double* out, const double* m) {
    if (out != m) std::memmove(out, m, 16 * sizeof(double));
}

void KgeMatrixCopyAffine(double* out, const double* m) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c) At(out, r, c) = At(m, r, c);
}

void KgeMatrixTranspose(double* out, const double* m) {
    double t[16];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) At(t, c, r) = At(m, r, c);
    std::memcpy(out, t, sizeof t);
}

void KgeMatrixInverseOrthogonal(double* out, const double* m) {
    double inv[16];
    for (int c = 0; c < 3; ++c) {
        const double squared = At(m, c, 0) * At(m, c, 0) + At(m, c, 1) * At(m, c, 1) + At(m, c, 2) * At(m, c, 2);
        for (int r = 0; r < 3; ++r) At(inv, r, c) = squared != 0.0 ? At(m, c, r) / squared : 0.0;
    }
    for (int c = 0; c < 3; ++c)
        At(inv, 3, c) = -(At(m, 3, 0) * At(inv, 0, c) + At(m, 3, 1) * At(inv, 1, c) + At(m, 3, 2) * At(inv, 2, c));
    KgeMatrixCopyAffine(out, inv);
}

void KgeMatrixMultAffine(double* out, const double* a, const double* b) {
    double p[16];
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 3; ++c)
            At(p, r, c) = At(b, r, 0) * At(a, 0, c) + At(b, r, 1) * At(a, 1, c) + At(b, r, 2) * At(a, 2, c);
    for (int c = 0; c < 3; ++c) At(p, 3, c) += At(a, 3, c);
    KgeMatrixCopyAffine(out, p);
}

bool KgeMatrixIsRightHanded(const double* m) { return Determinant3(m) >= 0.0; }

void KgeMatrixGetScale(double* out3, const double* m) {
    const double sign = Determinant3(m) < 0.0 ? -1.0 : 1.0;
    for (int r = 0; r < 3; ++r)
        out3[r] = sign * std::sqrt(At(m, r, 0) * At(m, r, 0) + At(m, r, 1) * At(m, r, 1) + At(m, r, 2) * At(m, r, 2));
}

void KgeMatrixScaleAxes(double* out, const double* m, const double* s) {
    for (int r = 0; r < 3; ++r) {
        const double factor = s[r];
        for (int c = 0; c < 3; ++c) At(out, r, c) = At(m, r, c) * factor;
    }
}

void KgeMatrixSetRotationXYZ(double* m, double x, double y, double z) {
    const double rx = x * kDegToRad, ry = y * kDegToRad, rz = z * kDegToRad;
    const double sx = std::sin(rx), cx = std::cos(rx);
    const double sy = std::sin(ry), cy = std::cos(ry);
    const double sz = std::sin(rz), cz = std::cos(rz);
    At(m, 0, 0) = cy * cz;
    At(m, 0, 1) = cy * sz;
    At(m, 0, 2) = -sy;
    At(m, 1, 0) = sx * sy * cz - cx * sz;
    At(m, 1, 1) = sx * sy * sz + cx * cz;
    At(m, 1, 2) = sx * cy;
    At(m, 2, 0) = cx * sy * cz + sx * sz;
    At(m, 2, 1) = cx * sy * sz - sx * cz;
    At(m, 2, 2) = cx * cy;
}

// Shoemake's static-frame Euler conversion, with rows and columns exchanged for
// row vectors.
void KgeMatrixSetRotationByOrder(double* m, double a, double b, double c, int order) {
    order = OrderIndex(order);
    const int* axes = kRotationOrderAxes[order];
    const int i = axes[0], j = axes[1], k = axes[2];
    if (order & 2) {
        a = -a;
        b = -b;
        c = -c;
    }
    const double ra = a * kDegToRad, rb = b * kDegToRad, rc = c * kDegToRad;
    const double sa = std::sin(ra), ca = std::cos(ra);
    const double sb = std::sin(rb), cb = std::cos(rb);
    const double sc = std::sin(rc), cc = std::cos(rc);
    if (order & 1) {
        At(m, i, i) = cb;
        At(m, i, j) = sb * sc;
        At(m, i, k) = -sb * cc;
        At(m, j, i) = sb * sa;
        At(m, j, j) = ca * cc - cb * sa * sc;
        At(m, j, k) = ca * sc + cb * sa * cc;
        At(m, k, i) = sb * ca;
        At(m, k, j) = -(cb * ca * sc) - sa * cc;
        At(m, k, k) = cb * ca * cc - sa * sc;
    } else {
        At(m, i, i) = cb * cc;
        At(m, i, j) = cb * sc;
        At(m, i, k) = -sb;
        At(m, j, i) = sb * sa * cc - ca * sc;
        At(m, j, j) = sb * sa * sc + ca * cc;
        At(m, j, k) = cb * sa;
        At(m, k, i) = sb * ca * cc + sa * sc;
        At(m, k, j) = sb * ca * sc - sa * cc;
        At(m, k, k) = cb * ca;
    }
}

void KgeMatrixSetTRS(double* m, const double* t, const double* r, const double* s) {
    KgeMatrixSetRotationXYZ(m, r[0], r[1], r[2]);
    KgeMatrixScaleAxes(m, m, s);
    for (int c = 0; c < 3; ++c) At(m, 3, c) = t[c];
}

void KgeMatrixSetTQS(double* m, const double* t, const double* q, const double* s) {
    KgeMatrixFromQuaternion(m, q[0], q[1], q[2], q[3]);
    KgeMatrixScaleAxes(m, m, s);
    for (int c = 0; c < 3; ++c) At(m, 3, c) = t[c];
}

void KgeMatrixGetEulerXYZ(double* out3, const double* m) {
    double scale[3];
    KgeMatrixGetScale(scale, m);
    double rotation[16] = {};
    for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c)
            // A collapsed axis is all zeros already; dividing it would only make NaNs.
            At(rotation, r, c) = scale[r] != 0.0 ? At(m, r, c) / scale[r] : At(m, r, c);
    KgeMatrixRotationToEulerXYZ(out3, rotation);
}

void KgeMatrixRotationToEulerXYZ(double* out3, const double* r) {
    const double m02 = At(r, 0, 2);
    if (m02 >= 0.999999) {
        out3[0] = std::atan2(-At(r, 2, 1), -At(r, 2, 0)) * kRadToDeg;
        out3[1] = -90.0;
        out3[2] = 0.0;
    } else if (m02 <= -0.999999) {
        out3[0] = std::atan2(At(r, 1, 0), At(r, 1, 1)) * kRadToDeg;
        out3[1] = 90.0;
        out3[2] = 0.0;
    } else {
        out3[0] = std::atan2(At(r, 1, 2), At(r, 2, 2)) * kRadToDeg;
        out3[1] = -std::asin(m02) * kRadToDeg;
        out3[2] = std::atan2(At(r, 0, 1), At(r, 0, 0)) * kRadToDeg;
    }
}

void KgeMatrixGetEulerByOrder(double* out3, const double* r, int order) {
    order = OrderIndex(order);
    const int* axes = kRotationOrderAxes[order];
    const int i = axes[0], j = axes[1], k = axes[2];
    double a, b, c;
    if (order & 1) {
        const double sy = std::sqrt(At(r, j, i) * At(r, j, i) + At(r, k, i) * At(r, k, i));
        b = std::atan2(sy, At(r, i, i));
        if (sy > kEulerSingular) {
            a = std::atan2(At(r, j, i), At(r, k, i));
            c = std::atan2(At(r, i, j), -At(r, i, k));
        } else {
            a = std::atan2(-At(r, k, j), At(r, j, j));
            c = 0.0;
        }
    } else {
        const double cy = std::sqrt(At(r, i, i) * At(r, i, i) + At(r, i, j) * At(r, i, j));
        b = std::atan2(-At(r, i, k), cy);
        if (cy > kEulerSingular) {
            a = std::atan2(At(r, j, k), At(r, k, k));
            c = std::atan2(At(r, i, j), At(r, i, i));
        } else {
            a = std::atan2(-At(r, k, j), At(r, j, j));
            c = 0.0;
        }
    }
    out3[0] = a * kRadToDeg;
    out3[1] = b * kRadToDeg;
    out3[2] = c * kRadToDeg;
    if (order & 2) {
        out3[0] = -out3[0];
        out3[1] = -out3[1];
        out3[2] = -out3[2];
    }
}

void KgeQuaternionNormalize(double* out, const double* q) {
    const double length = std::sqrt(q[0] * q[0] + q[1] * q[1] + q[2] * q[2] + q[3] * q[3]);
    for (int n = 0; n < 4; ++n) out[n] = length != 0.0 ? q[n] / length : 0.0;
}

void KgeQuaternionMult(double* out, const double* a, const double* b) {
    const double x = a[0] * b[3] + a[3] * b[0] + a[1] * b[2] - a[2] * b[1];
    const double y = a[3] * b[1] - a[0] * b[2] + a[1] * b[3] + a[2] * b[0];
    const double z = a[3] * b[2] + a[0] * b[1] - a[1] * b[0] + a[2] * b[3];
    const double w = a[3] * b[3] - a[0] * b[0] - a[1] * b[1] - a[2] * b[2];
    out[0] = x;
    out[1] = y;
    out[2] = z;
    out[3] = w;
}

void KgeQuaternionFromMatrix(double* out, const double* m) {
    double x, y, z, w;
    double t = (At(m, 0, 0) + At(m, 1, 1) + At(m, 2, 2) + 1.0) / 4.0;
    if (t > 1e-10) {
        w = std::sqrt(t);
        x = (At(m, 1, 2) - At(m, 2, 1)) / (4.0 * w);
        y = (At(m, 2, 0) - At(m, 0, 2)) / (4.0 * w);
        z = (At(m, 0, 1) - At(m, 1, 0)) / (4.0 * w);
    } else {
        w = 0.0;
        t = -(At(m, 1, 1) + At(m, 2, 2)) / 2.0;
        if (t > 1e-10) {
            x = std::sqrt(t);
            y = At(m, 0, 1) / (2.0 * x);
            z = At(m, 0, 2) / (2.0 * x);
        } else {
            x = 0.0;
            t = (1.0 - At(m, 2, 2)) / 2.0;
            if (t > 1e-10) {
                y = std::sqrt(t);
                z = At(m, 1, 2) / (2.0 * y);
            } else {
                y = 0.0;
                z = 1.0;
            }
        }
    }
    out[0] = x;
    out[1] = y;
    out[2] = z;
    out[3] = w;
}

void KgeQuaternionGetYAxis(double* out3, const double* q) {
    const double x = q[0], y = q[1], z = q[2], w = q[3];
    out3[0] = 2.0 * (x * y - z * w);
    out3[1] = 2.0 * (0.5 - x * x - z * z);
    out3[2] = 2.0 * (z * y + w * x);
}

void KgeMatrixFromQuaternion(double* m, double x, double y, double z, double w) {
    const double norm = x * x + y * y + z * z + w * w;
    const double s = norm != 0.0 ? 2.0 / norm : 0.0;
    At(m, 0, 0) = 1.0 - s * (y * y + z * z);
    At(m, 0, 1) = s * (x * y + w * z);
    At(m, 0, 2) = s * (x * z - w * y);
    At(m, 1, 0) = s * (x * y - w * z);
    At(m, 1, 1) = 1.0 - s * (x * x + z * z);
    At(m, 1, 2) = s * (y * z + w * x);
    At(m, 2, 0) = s * (x * z + w * y);
    At(m, 2, 1) = s * (y * z - w * x);
    At(m, 2, 2) = 1.0 - s * (x * x + y * y);
}

}  // namespace fbxsdk_2006_11_1
