#include <fbxfilesdk/scene/KFbxAttributeChannels.h>

#include <fbxfilesdk/animation/KFCurve.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <cstring>

namespace fbxsdk_2006_11_1 {

bool KFbxIsDefaultTake(const KFbxTakeNode& takeNode) { return std::strcmp(takeNode.GetName(), "Default") == 0; }

void KFbxSetChannelDefault(KFCurve* curve, double value, const float (&colour)[3]) {
    if (curve != nullptr) {
        curve->SetValue(static_cast<float>(value));
        curve->SetColor(colour);
    }
}

void KFbxLinkChannel(KFbxNode* node, KFbxProperty& property, int component, const KFCurveNode* channel) {
    if (node == nullptr || channel == nullptr) {
        return;
    }
    // A second attachment to the same node must not double the links.
    node->LinkChannelCurve(property, component, *channel);
}

void KFbxDeleteChannels(KFbxTakeNode& takeNode, const char* const* names, int count) {
    KFCurveNode* root = takeNode.GetKFCurveNode();
    if (root == nullptr) {
        return;
    }
    for (int index = 0; index < count; ++index) {
        // The first child of the name is the child itself: no second search.
        const int found = root->FindChildByName(names[index]);
        if (found >= 0) {
            root->Delete(found);
        }
    }
}

}  // namespace fbxsdk_2006_11_1
