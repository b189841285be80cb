// What a node knows of the characters that hold it: one record per slot that
// names the node, so that destroying the node can empty those slots.
#ifndef FBXFILESDK_SCENE_KFBXCHARACTERBACKLINK_H
#define FBXFILESDK_SCENE_KFBXCHARACTERBACKLINK_H

namespace fbxsdk_2006_11_1 {

class KFbxCharacter;
class KFbxNode;

struct KFbxCharacterBackLink {
    enum EKind {
        eCharacterLink = 0,   // a character link (index: link id)
        eControlSetLink = 1,  // an FK link of the character's control set (index: link id)
        eEffector = 2,        // an effector (index: effector id)
        eEffectorAux = 3      // an auxiliary effector (index: effector id, sub-index: 1 to 14)
    };

    KFbxCharacter* mOwner = nullptr;
    int mKind = eCharacterLink;
    int mIndex = 0;
    int mSubIndex = 0;

    bool operator==(const KFbxCharacterBackLink& other) const = default;
};

// Empties the slot the record names when it still holds the node; the node's
// own record is left for the node to drop.
void KFbxCharacterReleaseNode(const KFbxCharacterBackLink& backLink, const KFbxNode* node);

}  // namespace fbxsdk_2006_11_1

#endif
