// How a transform becomes the keys of a 3DS keyframer node and back.
#include <fbxfilesdk/formats/KFbxWriter3DSPlacement.h>

#include <fbxfilesdk/core/KgeMath.h>

#include <cmath>

namespace fbxsdk_2006_11_1::writer3ds {

namespace {

// Scalings the keyframer holds as if they were none.
constexpr double kNoScaling = 1e-5;
// An axis this much shorter than the longest spans nothing beside it.
constexpr double kFlatAxis = 1e-9;
// Axes this near to right angles are taken as they are.
constexpr double kRightAngle = 1e-12;
constexpr int kMostTurnSteps = 32;
constexpr double kTurnSettled = 1e-13;

using Axes = std::array<std::array<double, 3>, 3>;

Axes AxesOf(const Frame& frame) {
    Axes axes{};
    for (std::size_t row = 0; row < 3; ++row) {
        for (std::size_t column = 0; column < 3; ++column) {
            axes[row][column] = frame[row * 4 + column];
        }
    }
    return axes;
}

double Length(const std::array<double, 3>& axis) {
    return std::sqrt(axis[0] * axis[0] + axis[1] * axis[1] + axis[2] * axis[2]);
}

std::array<double, 3> Cross(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}

double Dot(const std::array<double, 3>& a, const std::array<double, 3>& b) {
    return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

double Determinant(const Axes& m) {
    return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
           m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
}

// The transpose of the inverse, by cofactors: the cofactor matrix divided
// by the determinant.
Axes InverseTranspose(const Axes& m, double determinant) {
    Axes out{};
    for (std::size_t row = 0; row < 3; ++row) {
        for (std::size_t column = 0; column < 3; ++column) {
            const std::size_t r1 = (row + 1) % 3;
            const std::size_t r2 = (row + 2) % 3;
            const std::size_t c1 = (column + 1) % 3;
            const std::size_t c2 = (column + 2) % 3;
            out[row][column] = (m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1]) / determinant;
        }
    }
    return out;
}

double Norm(const Axes& m) {
    double sum = 0.0;
    for (const auto& row : m) {
        sum += row[0] * row[0] + row[1] * row[1] + row[2] * row[2];
    }
    return std::sqrt(sum);
}

// The turn of a matrix of positive determinant, the rotation nearest to it:
// the mean of the matrix and its inverse transposed, repeated, settles on it
// (scaled each time, so that axes of very different lengths settle as fast).
Axes NearestTurn(Axes m) {
    for (int step = 0; step < kMostTurnSteps; ++step) {
        const double determinant = Determinant(m);
        if (!(determinant > 0.0) || !std::isfinite(determinant)) {
            break;
        }
        const Axes inverse = InverseTranspose(m, determinant);
        const double gamma = std::sqrt(Norm(inverse) / Norm(m));
        Axes next{};
        double change = 0.0;
        for (std::size_t row = 0; row < 3; ++row) {
            for (std::size_t column = 0; column < 3; ++column) {
                next[row][column] = 0.5 * (gamma * m[row][column] + inverse[row][column] / gamma);
                change += std::fabs(next[row][column] - m[row][column]);
            }
        }
        m = next;
        if (change < kTurnSettled) {
            break;
        }
    }
    return m;
}

}  // namespace

Frame IdentityFrame() {
    Frame frame{};
    frame[0] = frame[5] = frame[10] = frame[15] = 1.0;
    return frame;
}

Frame Then(const Frame& first, const Frame& second) {
    Frame out = IdentityFrame();
    KgeMatrixMultAffine(out.data(), second.data(), first.data());
    return out;
}

bool Invert(const Frame& frame, Frame& inverse) {
    inverse = IdentityFrame();
    const Axes axes = AxesOf(frame);
    const double determinant = Determinant(axes);
    const double volume = Length(axes[0]) * Length(axes[1]) * Length(axes[2]);
    if (!(std::fabs(determinant) > kFlatAxis * volume) || !std::isfinite(determinant)) {
        return false;
    }
    // The inverse is the transpose of the inverse transposed.
    const Axes transposed = InverseTranspose(axes, determinant);
    for (std::size_t row = 0; row < 3; ++row) {
        for (std::size_t column = 0; column < 3; ++column) {
            inverse[row * 4 + column] = transposed[column][row];
        }
    }
    for (std::size_t column = 0; column < 3; ++column) {
        inverse[12 + column] = -(frame[12] * inverse[column] + frame[13] * inverse[4 + column] +
                                 frame[14] * inverse[8 + column]);
    }
    return true;
}

Frame MirroredAcrossX(const Frame& frame) {
    Frame out = frame;
    for (std::size_t column = 0; column < 3; ++column) {
        out[column] = -out[column];
    }
    return out;
}

Frame MovedTo(const Frame& frame, const double (&origin)[3]) {
    Frame out = frame;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        out[12 + axis] = origin[axis];
    }
    return out;
}

Placement Fit(const Frame& transform) {
    Placement placement;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        placement.mTranslation[axis] = transform[12 + axis];
    }
    // A mirror is the keyframer's scaling along the node's own X axis.
    Axes axes = AxesOf(transform);
    const double sign = KgeMatrixIsRightHanded(transform.data()) ? 1.0 : -1.0;
    axes[0] = {sign * axes[0][0], sign * axes[0][1], sign * axes[0][2]};
    double lengths[3];
    double longest = 0.0;
    for (std::size_t axis = 0; axis < 3; ++axis) {
        lengths[axis] = Length(axes[axis]);
        longest = std::fmax(longest, lengths[axis]);
    }
    if (!(longest >= kNoScaling)) {
        return placement;
    }
    // An axis squashed flat still turns with the other two; with two flat
    // the turn is not known.
    int flat = 0;
    for (const double length : lengths) {
        flat += length > kFlatAxis * longest ? 0 : 1;
    }
    Axes turn = AxesOf(IdentityFrame());
    Axes unit = axes;
    for (std::size_t axis = 0; flat == 0 && axis < 3; ++axis) {
        for (double& part : unit[axis]) {
            part /= lengths[axis];
        }
    }
    if (flat == 0 && std::fabs(Dot(unit[0], unit[1])) < kRightAngle && std::fabs(Dot(unit[1], unit[2])) < kRightAngle &&
        std::fabs(Dot(unit[2], unit[0])) < kRightAngle) {
        // The usual case: the axes' own turn.
        turn = unit;
    } else if (flat <= 1) {
        for (std::size_t axis = 0; axis < 3; ++axis) {
            if (!(lengths[axis] > kFlatAxis * longest)) {
                axes[axis] = Cross(axes[(axis + 1) % 3], axes[(axis + 2) % 3]);
            }
        }
        // The turn that, scaled by the lengths, is nearest to the axes: that
        // of the axes each scaled once more by its length.
        for (std::size_t axis = 0; axis < 3; ++axis) {
            const double weight = flat > 0 ? 1.0 / Length(axes[axis]) : lengths[axis];
            for (double& part : axes[axis]) {
                part *= weight;
            }
        }
        turn = NearestTurn(axes);
    }
    for (std::size_t row = 0; row < 3; ++row) {
        for (std::size_t column = 0; column < 3; ++column) {
            placement.mTurn[row * 4 + column] = turn[row][column];
        }
        placement.mScaling[row] = lengths[row];
    }
    placement.mScaling[0] *= sign;
    return placement;
}

Frame ToFrame(const Placement& placement) {
    Frame frame = IdentityFrame();
    KgeMatrixScaleAxes(frame.data(), placement.mTurn.data(), placement.mScaling);
    for (std::size_t axis = 0; axis < 3; ++axis) {
        frame[12 + axis] = placement.mTranslation[axis];
    }
    return frame;
}

}  // namespace fbxsdk_2006_11_1::writer3ds
