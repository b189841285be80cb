// Where a 3DS keyframer node stands: the translation, turn and scaling that
// its keys can hold, found for a transform, and the transform they make.
// Readers of the format compose a node as its scaling along its own axes,
// then its turn, then its translation, then its parent's whole transform:
// a transform whose axes are not at right angles (a turned node under an
// unevenly scaled parent) has no keys of its own and gets the nearest.
#ifndef FBXFILESDK_FORMATS_KFBXWRITER3DSPLACEMENT_H
#define FBXFILESDK_FORMATS_KFBXWRITER3DSPLACEMENT_H

#include <array>

namespace fbxsdk_2006_11_1::writer3ds {

// A transform as the KgeMatrix functions take it: rows 0 to 2 the axes,
// row 3 the origin, points as row vectors.
using Frame = std::array<double, 16>;

Frame IdentityFrame();
// The transform that applies first, then second.
Frame Then(const Frame& first, const Frame& second);
// False, and the identity, when the axes span (next to) no volume.
bool Invert(const Frame& frame, Frame& inverse);
// The frame that first mirrors what it places across its own X axis.
Frame MirroredAcrossX(const Frame& frame);
// The frame with its origin moved to the point.
Frame MovedTo(const Frame& frame, const double (&origin)[3]);

struct Placement {
    double mTranslation[3] = {0.0, 0.0, 0.0};
    // Axes of length 1 at right angles, not mirrored.
    Frame mTurn = IdentityFrame();
    // The first one negative when the transform mirrors.
    double mScaling[3] = {1.0, 1.0, 1.0};
};

// The transform's origin; the lengths of its axes; and the turn that, with
// those lengths, comes nearest to its axes (its own turn when they are at
// right angles). Axes that are all shorter than the keyframer tells from
// none are written as scaling 1, unturned.
Placement Fit(const Frame& transform);
Frame ToFrame(const Placement& placement);

}  // namespace fbxsdk_2006_11_1::writer3ds

#endif
