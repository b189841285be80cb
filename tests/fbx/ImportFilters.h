// What the FBX import does to the curves it reads, applied to a source scene,
// so that a scene read back can be compared with the source the way it must
// come back: each model's rotation through the import rotation filter, then
// every curve tree through the constant key reducer when the import settings
// ask for it.
#ifndef TESTS_FBX_IMPORTFILTERS_H
#define TESTS_FBX_IMPORTFILTERS_H

#include <fbxfilesdk/animation/KFCurveFilterConstantKeyReducer.h>
#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFCurveNodeUtilities.h>
#include <fbxfilesdk/animation/KFCurveUtilities.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/fbx/KFbxReaderFbx6Pass.h>
#include <fbxfilesdk/scene/KFbxNode.h>

namespace fbxsdk_2006_11_1::importfilters {

inline void ApplyToTree(KFbxNode& node) {
    for (int t = 0; t < node.GetTakeNodeCount(); ++t) {
        KFbxTakeNode* take = node.GetTakeNode(t);
        KFCurveNode* root = take != nullptr ? take->GetKFCurveNode() : nullptr;
        if (root == nullptr) {
            continue;
        }
        KTime start;
        KTime stop;
        KFCurveNode* rotation = root->Find("R");
        // A stored rotation comes back marked as an Euler rotation, which is
        // what the filter works on.
        if (rotation != nullptr && rotation->GetCount() == 3) {
            rotation->SetLayerType(KFCL_EULER_ROTATION);
        }
        if (rotation != nullptr && rotation->GetAnimationInterval(start, stop)) {
            const int order = rotation->GetRotationOrder();
            rotation->SetRotationOrder(EvaluationRotationOrder(node));
            KFCurveApplyImportRotationFilter(rotation, start, stop);
            rotation->SetRotationOrder(order);
        }
        if (KFCurveGetImportFilterOption()) {
            KFCurveFilterConstantKeyReducer reducer;
            reducer.Apply(*root, true);
        }
    }
    for (int i = 0; i < node.GetChildCount(); ++i) {
        ApplyToTree(*node.GetChild(i));
    }
}

}  // namespace fbxsdk_2006_11_1::importfilters

#endif
