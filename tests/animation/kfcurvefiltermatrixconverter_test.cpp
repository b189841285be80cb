// The matrix converter: re-keyed transform channels that keep a node's
// motion when its pivot setup changes, its post steps and its refusals.
#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveFilterMatrixConverter.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/core/KFbxRotationOrder.h>
#include <fbxfilesdk/core/KgeMath.h>
#include <fbxfilesdk/core/KgeMatrix.h>

#include "FilterTestSupport.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

using namespace fbxsdk_2006_11_1;
using curvetest::AddKey;
using curvetest::AddVector;
using curvetest::KeyTimes;
using curvetest::NodePtr;

KTime Frames(int frames) {
    KTime time;
    time.SetTime(0, 0, 0, frames, 0, KTime::eDefaultMode);
    return time;
}

// A transform tree: "T", "R" (Euler rotation) and "S", each with X, Y, Z.
NodePtr MakeTransformNode() {
    NodePtr root(KFCurveNode::Create("Transform", nullptr));
    AddVector(*root, "T", gKDataTypeLclTranslation);
    KFCurveNode* rotation = KFCurveNode::Create("R", gKDataTypeLclRotation, KFCL_EULER_ROTATION);
    root->Add(rotation);
    for (const char* axis : {"X", "Y", "Z"}) rotation->FindOrCreate(axis, true);
    AddVector(*root, "S", gKDataTypeLclScaling);
    for (int axis = 0; axis < 3; ++axis) root->Find("S")->Get(axis)->FCurveGet()->SetValue(1.0f);
    return root;
}

KFCurve& Curve(KFCurveNode& root, const char* channel, int axis) { return *root.Find(channel)->Get(axis)->FCurveGet(); }

// Keys on every frame from 0 to 10 of a moving, turning, growing node.
void AnimateOnFrames(KFCurveNode& root) {
    for (int f = 0; f <= 10; ++f) {
        const KTime time = Frames(f);
        const float values[9] = {1.0f + f, 2.0f - 0.5f * f, 0.25f * f, 5.0f * f, 30.0f - 4.0f * f, 2.0f * f,
                                 1.0f + 0.05f * f, 1.5f, 2.0f - 0.1f * f};
        const char* channels[3] = {"T", "R", "S"};
        for (int c = 0; c < 9; ++c) {
            KFCurve& curve = Curve(root, channels[c / 3], c % 3);
            curve.KeySet(curve.KeyGetCount(), time, values[c], KFCURVE_INTERPOLATION_LINEAR);
        }
    }
}

// The values of the pivot setup that a node's local transform uses.
struct Pivots {
    double rotationPivot[3] = {0, 0, 0};
    double scalingPivot[3] = {0, 0, 0};
    double scalingOffset[3] = {0, 0, 0};
    double preRotation[3] = {0, 0, 0};
    double postRotation[3] = {0, 0, 0};
    int order = 0;
};

KgeMatrix RotationXYZ(const double* angles) {
    KgeMatrix m;
    KgeMatrixSetRotationXYZ(m, angles[0], angles[1], angles[2]);
    return m;
}

KgeMatrix Translation(const double* d) {
    KgeMatrix m;
    for (int c = 0; c < 3; ++c) m[3][c] = d[c];
    return m;
}

// A node's local matrix: scaling and rotation about their pivots, the
// post-rotation undone before and the pre-rotation after the animated
// rotation, then the translation.
KgeMatrix LocalMatrix(const Pivots& p, const double* t, const double* r, const double* s) {
    KgeMatrix rotation;
    KFbxRotationOrder(p.order).EulerToMatrix(rotation, r);
    KgeMatrix post = RotationXYZ(p.postRotation).GetTranspose();
    KgeMatrix lr;
    KgeMatrixMultAffine(lr, rotation, post);           // post first
    KgeMatrixMultAffine(lr, RotationXYZ(p.preRotation), lr);  // pre last
    double v[3];
    for (int c = 0; c < 3; ++c) v[c] = (1.0 - s[c]) * p.scalingPivot[c] + p.scalingOffset[c] - p.rotationPivot[c];
    KgeMatrixMultPoint(v, lr, v);
    KgeMatrix m;
    for (int row = 0; row < 3; ++row)
        for (int c = 0; c < 3; ++c) m[row][c] = lr[row][c] * s[row];
    for (int c = 0; c < 3; ++c) m[3][c] = t[c] + v[c] + p.rotationPivot[c];
    return m;
}

KgeMatrix LocalMatrixAt(KFCurveNode& root, const Pivots& p, KTime time) {
    double values[9];
    const char* channels[3] = {"T", "R", "S"};
    for (int c = 0; c < 9; ++c) values[c] = Curve(root, channels[c / 3], c % 3).Evaluate(time);
    return LocalMatrix(p, values, values + 3, values + 6);
}

KgeMatrix LocalDefaultMatrix(KFCurveNode& root, const Pivots& p) {
    double values[9];
    const char* channels[3] = {"T", "R", "S"};
    for (int c = 0; c < 9; ++c) values[c] = Curve(root, channels[c / 3], c % 3).GetValue();
    return LocalMatrix(p, values, values + 3, values + 6);
}

bool NonZero(const double* v) { return v[0] != 0.0 || v[1] != 0.0 || v[2] != 0.0; }

// Loads the converter with the difference between two setups, the way a
// node converts from its source set to its target set.
void LoadDifference(KFCurveFilterMatrixConverter& converter, const Pivots& from, const Pivots& to) {
    double d[3], e[3], v[3];
    for (int c = 0; c < 3; ++c) {
        d[c] = from.rotationPivot[c] - to.rotationPivot[c];
        e[c] = from.scalingPivot[c] - to.scalingPivot[c];
        v[c] = from.scalingOffset[c] - to.scalingOffset[c];
    }
    if (NonZero(d)) converter.SetSourceMatrix(11, Translation(d));
    if (NonZero(e)) converter.SetSourceMatrix(12, Translation(e));
    if (NonZero(v)) converter.SetSourceMatrix(8, Translation(v));
    const KgeMatrix identity;
    if (NonZero(from.preRotation) || NonZero(to.preRotation)) {
        const KgeMatrix ps = RotationXYZ(from.preRotation);
        KgeMatrix x;
        KgeMatrixMultAffine(x, RotationXYZ(to.preRotation).GetTranspose(), ps);  // ps first
        if (KgeMatrixCompare(x, identity, 1e-6)) {
            converter.SetSourceMatrix(3, x);
        } else {
            converter.SetSourceMatrix(9, ps);
        }
    }
    if (NonZero(from.postRotation) || NonZero(to.postRotation)) {
        const KgeMatrix qd = RotationXYZ(to.postRotation);
        KgeMatrix x;
        KgeMatrixMultAffine(x, RotationXYZ(from.postRotation).GetTranspose(), qd);  // qd first
        if (KgeMatrixCompare(x, identity, 1e-6)) {
            converter.SetSourceMatrix(4, x);
        } else {
            converter.SetSourceMatrix(10, qd.GetTranspose());
        }
    }
    converter.SetSourceRotationOrder(from.order);
    converter.SetDestinationRotationOrder(to.order);
    if (from.order != to.order) converter.SetRotationSetupDiffers(true);
}

void ExpectMatrixNear(const KgeMatrix& a, const KgeMatrix& b, const char* where) {
    for (int row = 0; row < 4; ++row)
        for (int c = 0; c < 3; ++c) EXPECT_NEAR(a[row][c], b[row][c], 1e-4) << where << " [" << row << "][" << c << "]";
}

// Converts a node from one setup to another and checks that its local matrix
// is kept: on every frame of an animated node, and for the default values of
// a node without keys.
void ExpectMotionKept(const Pivots& from, const Pivots& to) {
    NodePtr root = MakeTransformNode();
    AnimateOnFrames(*root);
    std::vector<KgeMatrix> before;
    for (int f = 0; f <= 10; ++f) before.push_back(LocalMatrixAt(*root, from, Frames(f)));
    KFCurveFilterMatrixConverter converter;
    LoadDifference(converter, from, to);
    // Flat curves would lose their keys to their default value.
    converter.SetApplyConstantKeyReducer(false);
    converter.SetResamplingPeriod(Frames(1));
    ASSERT_TRUE(converter.Apply(*root, true)) << converter.GetLastErrorString();
    for (int f = 0; f <= 10; ++f) ExpectMatrixNear(LocalMatrixAt(*root, to, Frames(f)), before[f], "frame");

    NodePtr still = MakeTransformNode();
    const float defaults[9] = {1.0f, -2.0f, 3.0f, 10.0f, 20.0f, 30.0f, 0.5f, 2.0f, 1.5f};
    const char* channels[3] = {"T", "R", "S"};
    for (int c = 0; c < 9; ++c) Curve(*still, channels[c / 3], c % 3).SetValue(defaults[c]);
    const KgeMatrix defaultBefore = LocalDefaultMatrix(*still, from);
    ASSERT_TRUE(converter.Apply(*still, true));
    ExpectMatrixNear(LocalDefaultMatrix(*still, to), defaultBefore, "default");
}

TEST(KFCurveFilterMatrixConverter, RotationPivotChangeKeepsTheMotion) {
    Pivots from, to;
    from.rotationPivot[0] = 2.0;
    from.rotationPivot[1] = -1.0;
    to.rotationPivot[2] = 0.5;
    ExpectMotionKept(from, to);
}

TEST(KFCurveFilterMatrixConverter, ScalingPivotAndOffsetChangesKeepTheMotion) {
    Pivots from, to;
    from.scalingPivot[0] = 1.0;
    from.scalingPivot[2] = -3.0;
    ExpectMotionKept(from, to);
    Pivots offset;
    offset.scalingOffset[1] = 4.0;
    ExpectMotionKept(offset, to);
}

TEST(KFCurveFilterMatrixConverter, PreAndPostRotationChangesKeepTheMotion) {
    Pivots from, to;
    from.preRotation[0] = 30.0;
    from.preRotation[2] = -20.0;
    ExpectMotionKept(from, to);
    Pivots post;
    post.postRotation[1] = 45.0;
    ExpectMotionKept(post, to);
    Pivots both = from;
    both.postRotation[1] = 45.0;
    both.rotationPivot[0] = 1.0;
    both.scalingOffset[2] = 2.0;
    ExpectMotionKept(both, to);
}

TEST(KFCurveFilterMatrixConverter, CommonPreAndPostRotationWithAnOffsetKeepTheMotion) {
    Pivots from, to;
    from.preRotation[0] = to.preRotation[0] = 25.0;
    from.postRotation[2] = to.postRotation[2] = 15.0;
    from.scalingOffset[0] = 3.0;
    ExpectMotionKept(from, to);
    Pivots pivots = from;
    pivots.rotationPivot[1] = 2.0;
    pivots.scalingPivot[0] = -1.0;
    ExpectMotionKept(pivots, to);
}

TEST(KFCurveFilterMatrixConverter, RotationOrderChangeKeepsTheMotion) {
    Pivots from, to;
    from.order = 10;  // Euler ZYX
    ExpectMotionKept(from, to);
    Pivots other;
    other.order = 4;  // Euler YZX
    ExpectMotionKept(to, other);
    ExpectMotionKept(from, other);
}

TEST(KFCurveFilterMatrixConverter, SamplesEveryFrameOfTheKeySpan) {
    NodePtr root = MakeTransformNode();
    AnimateOnFrames(*root);
    KFCurveFilterMatrixConverter converter;
    converter.SetApplyConstantKeyReducer(false);
    converter.SetSourceRotationOrder(2);
    converter.SetResamplingPeriod(Frames(1));
    ASSERT_TRUE(converter.Apply(*root, true));
    for (const char* channel : {"R", "S"}) {
        for (int axis = 0; axis < 3; ++axis) {
            const KFCurve& curve = Curve(*root, channel, axis);
            ASSERT_EQ(curve.KeyGetCount(), 11) << channel << axis;
            for (int f = 0; f <= 10; ++f) EXPECT_EQ(curve.KeyGetTime(f), Frames(f));
        }
    }
}

TEST(KFCurveFilterMatrixConverter, ScalingOffsetTurnsWithTheRotationAndForcesTranslation) {
    NodePtr root = MakeTransformNode();
    AnimateOnFrames(*root);
    std::vector<float> oldT[3];
    for (int axis = 0; axis < 3; ++axis) oldT[axis] = curvetest::KeyValues(Curve(*root, "T", axis));
    std::vector<KgeMatrix> rotations;
    for (int f = 0; f <= 10; ++f) {
        const double angles[3] = {Curve(*root, "R", 0).KeyGetValue(f), Curve(*root, "R", 1).KeyGetValue(f),
                                  Curve(*root, "R", 2).KeyGetValue(f)};
        rotations.push_back(RotationXYZ(angles));
    }
    KFCurveFilterMatrixConverter converter;
    converter.SetApplyConstantKeyReducer(false);
    converter.SetApplyUnroll(false);
    converter.SetConversionFlagB(false);
    const double v[3] = {1.0, 2.0, -1.0};
    converter.SetSourceMatrix(8, Translation(v));
    converter.SetResamplingPeriod(Frames(1));
    ASSERT_TRUE(converter.Apply(*root, true));
    for (int f = 0; f <= 10; ++f) {
        double turned[3];
        KgeMatrixMultPoint(turned, rotations[f], v);
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(Curve(*root, "T", axis).KeyGetValue(f), oldT[axis][f] + turned[axis], 1e-4);
        }
        for (int axis = 0; axis < 3; ++axis) {
            EXPECT_NEAR(Curve(*root, "S", axis).KeyGetValue(f), Curve(*root, "S", axis).Evaluate(Frames(f)), 1e-6);
        }
    }
}

TEST(KFCurveFilterMatrixConverter, NothingToConvertStillRunsThePostSteps) {
    NodePtr root = MakeTransformNode();
    // A wrapped rotation and a flat translation.
    KFCurve& x = Curve(*root, "R", 0);
    AddKey(x, 0.0, 170.0f);
    AddKey(x, 1.0, -170.0f);
    for (int i = 0; i < 6; ++i) AddKey(Curve(*root, "T", 0), 0.2 * i, 3.0f);
    KFCurveFilterMatrixConverter converter;
    converter.SetResamplingPeriod(curvetest::Sec(0.25));
    EXPECT_FALSE(converter.Apply(*root, true));
    EXPECT_EQ(converter.GetLastErrorID(), 1);
    EXPECT_STREQ(converter.GetLastErrorString(), "MatrixConverter, No key were changed by filter.");
    EXPECT_EQ(KeyTimes(x), (std::vector<double>{0.0, 0.25, 0.5, 0.75, 1.0}));
    EXPECT_FLOAT_EQ(x.KeyGetValue(4), 190.0f);
    EXPECT_EQ(Curve(*root, "T", 0).KeyGetCount(), 0);
    EXPECT_FLOAT_EQ(Curve(*root, "T", 0).GetValue(), 3.0f);
}

TEST(KFCurveFilterMatrixConverter, DefaultValuesConvertWithoutKeys) {
    NodePtr root = MakeTransformNode();
    Curve(*root, "R", 2).SetValue(90.0f);
    KFCurveFilterMatrixConverter converter;
    const double pivot[3] = {1.0, 0.0, 0.0};
    converter.SetSourceMatrix(11, Translation(pivot));
    converter.SetResamplingPeriod(Frames(1));
    ASSERT_TRUE(converter.Apply(*root, true));
    // Turning 90 degrees about Z around (1, 0, 0) moves the origin to (1, -1, 0).
    EXPECT_NEAR(Curve(*root, "T", 0).GetValue(), 1.0f, 1e-5);
    EXPECT_NEAR(Curve(*root, "T", 1).GetValue(), -1.0f, 1e-5);
    EXPECT_NEAR(Curve(*root, "R", 2).GetValue(), 90.0f, 1e-4);
    for (const char* channel : {"T", "R", "S"}) {
        for (int axis = 0; axis < 3; ++axis) EXPECT_EQ(Curve(*root, channel, axis).KeyGetCount(), 0);
    }
}

TEST(KFCurveFilterMatrixConverter, RefusesCurvesAndIncompleteNodes) {
    KFCurveFilterMatrixConverter converter;
    EXPECT_STREQ(converter.GetName(), "FCurve Matrix Converter");
    KFCurve curve;
    EXPECT_FALSE(converter.Apply(curve));
    EXPECT_EQ(converter.GetLastErrorID(), 2);
    EXPECT_STREQ(converter.GetLastErrorString(), "MatrixConverter, invalid apply method.");
    KFCurve* curves[1] = {&curve};
    EXPECT_FALSE(converter.Apply(curves, 1));
    EXPECT_EQ(converter.GetLastErrorID(), 2);

    NodePtr partial(KFCurveNode::Create("Transform", nullptr));
    AddVector(*partial, "T", gKDataTypeLclTranslation);
    converter.SetSourceRotationOrder(4);
    converter.SetResamplingPeriod(Frames(1));
    EXPECT_FALSE(converter.Apply(*partial, true));
    EXPECT_EQ(converter.GetLastErrorID(), 3);
    EXPECT_STREQ(converter.GetLastErrorString(), "MatrixConverter, Missing curve.");

    EXPECT_FALSE(converter.SetSourceMatrix(13, KgeMatrix()));
    EXPECT_FALSE(converter.SetSourceMatrix(-1, KgeMatrix()));
}

TEST(KFCurveFilterMatrixConverter, NoPeriodConvertsNothing) {
    NodePtr root = MakeTransformNode();
    AnimateOnFrames(*root);
    KFCurveFilterMatrixConverter converter;
    converter.SetApplyConstantKeyReducer(false);
    converter.SetApplyUnroll(false);
    converter.SetSourceRotationOrder(2);
    EXPECT_FALSE(converter.Apply(*root, true));
    EXPECT_EQ(converter.GetLastErrorID(), 1);
    EXPECT_FLOAT_EQ(Curve(*root, "R", 1).KeyGetValue(0), 30.0f);
}

TEST(KFCurveFilterMatrixConverter, ResetLeavesLoadedMatricesOutButStillComparesThem) {
    NodePtr root = MakeTransformNode();
    AnimateOnFrames(*root);
    KFCurveFilterMatrixConverter converter;
    const double pivot[3] = {1.0, 2.0, 3.0};
    converter.SetSourceMatrix(11, Translation(pivot));
    converter.Reset();
    converter.SetApplyConstantKeyReducer(false);
    converter.SetApplyUnroll(false);
    converter.SetResamplingPeriod(Frames(1));
    // The pivot no longer takes part, but the setups still differ.
    ASSERT_TRUE(converter.Apply(*root, true));
    EXPECT_NEAR(Curve(*root, "T", 0).KeyGetValue(3), 4.0f, 1e-5);
}

}  // namespace
