#include <fbxfilesdk/fbx/KFbxTreeTops.h>

#include <fbxfilesdk/scene/KFbxNode.h>

namespace fbxsdk_2006_11_1 {

const KFbxNode* KFbxTreeTops::Of(const KFbxNode* node) {
    mWalk.clear();
    const KFbxNode* top = nullptr;
    for (const KFbxNode* walk = node; walk != nullptr; walk = walk->GetParent()) {
        if (const auto known = mTops.find(walk); known != mTops.end()) {
            top = known->second;
            break;
        }
        mWalk.push_back(walk);
        top = walk;
    }
    for (const KFbxNode* walked : mWalk) {
        mTops.emplace(walked, top);
    }
    return top;
}

}  // namespace fbxsdk_2006_11_1
