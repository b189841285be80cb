// Shared helpers of the curve-filter tests.
#ifndef QALIMOR_TESTS_ANIMATION_FILTERTESTSUPPORT_H
#define QALIMOR_TESTS_ANIMATION_FILTERTESTSUPPORT_H

#include "CurveNodeTestSupport.h"
#include "CurveTestSupport.h"

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/core/KDataType.h>

#include <vector>

namespace curvetest {

using fbxsdk_2006_11_1::KFCURVE_INTERPOLATION_CUBIC;
using fbxsdk_2006_11_1::KFCURVE_INTERPOLATION_LINEAR;
using fbxsdk_2006_11_1::KFCURVE_TANGENT_AUTO;

// Appends a key (times must rise).
inline void AddKey(KFCurve& curve, double seconds, float value,
                   unsigned int interpolation = KFCURVE_INTERPOLATION_LINEAR) {
    curve.KeySet(curve.KeyGetCount(), Sec(seconds), value, interpolation, KFCURVE_TANGENT_AUTO);
}

inline std::vector<double> KeyTimes(const KFCurve& curve) {
    std::vector<double> times;
    for (int i = 0; i < curve.KeyGetCount(); ++i) times.push_back(curve.KeyGetTime(i).GetSecondDouble());
    return times;
}

inline std::vector<float> KeyValues(const KFCurve& curve) {
    std::vector<float> values;
    for (int i = 0; i < curve.KeyGetCount(); ++i) values.push_back(curve.KeyGetValue(i));
    return values;
}

// An Euler rotation channel "R" with "X", "Y", "Z" curves.
inline NodePtr MakeRotationNode() {
    NodePtr node(KFCurveNode::Create("R", fbxsdk_2006_11_1::gKDataTypeLclRotation,
                                     fbxsdk_2006_11_1::KFCL_EULER_ROTATION));
    for (const char* axis : {"X", "Y", "Z"}) node->FindOrCreate(axis, true);
    return node;
}

inline KFCurve& Axis(KFCurveNode& node, int i) { return *node.Get(i)->FCurveGet(); }

// Keys at the given times on all three axes of a rotation node.
inline void AddRotationKey(KFCurveNode& node, double seconds, float x, float y, float z) {
    AddKey(Axis(node, 0), seconds, x);
    AddKey(Axis(node, 1), seconds, y);
    AddKey(Axis(node, 2), seconds, z);
}

}  // namespace curvetest

#endif
