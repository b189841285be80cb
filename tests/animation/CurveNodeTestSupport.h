// Shared helpers of the curve-node and take-node tests.
#ifndef QALIMOR_TESTS_ANIMATION_CURVENODETESTSUPPORT_H
#define QALIMOR_TESTS_ANIMATION_CURVENODETESTSUPPORT_H

#include <fbxfilesdk/animation/KFCurveNode.h>

#include <memory>

namespace curvetest {

using fbxsdk_2006_11_1::KDataType;
using fbxsdk_2006_11_1::KFCurveNode;

struct NodeDeleter {
    void operator()(KFCurveNode* node) const { delete node; }
};
using NodePtr = std::unique_ptr<KFCurveNode, NodeDeleter>;

// A vector channel appended to parent: "X", "Y", "Z" children with curves.
inline KFCurveNode* AddVector(KFCurveNode& parent, const char* name, KDataType* type) {
    KFCurveNode* channel = KFCurveNode::Create(name, type);
    parent.Add(channel);
    for (const char* axis : {"X", "Y", "Z"}) channel->FindOrCreate(axis, true);
    return channel;
}

}  // namespace curvetest

#endif
