#include <fbxfilesdk/fbx/KFbxTreeTop.h>

#include <fbxfilesdk/scene/KFbxNode.h>

namespace fbxsdk_2006_11_1 {

const KFbxNode* KFbxTreeTop(const KFbxNode* node) {
    while (node != nullptr && node->GetParent() != nullptr) {
        node = node->GetParent();
    }
    return node;
}

}  // namespace fbxsdk_2006_11_1
