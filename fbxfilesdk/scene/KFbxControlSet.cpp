#include <fbxfilesdk/scene/KFbxControlSet.h>

#include <fbxfilesdk/scene/KFbxCharacter.h>
#include <fbxfilesdk/scene/KFbxCharacterBackLink.h>
#include <fbxfilesdk/scene/KFbxNode.h>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr const char* kEffectorNames[KFbxControlSet::kEffectorCount] = {
    "HipsEffector",
    "LeftAnkleEffector",
    "RightAnkleEffector",
    "LeftWristEffector",
    "RightWristEffector",
    "LeftKneeEffector",
    "RightKneeEffector",
    "LeftElbowEffector",
    "RightElbowEffector",
    "ChestOriginEffector",
    "ChestEndEffector",
    "LeftFootEffector",
    "RightFootEffector",
    "LeftShoulderEffector",
    "RightShoulderEffector",
    "HeadEffector",
    "LeftHipEffector",
    "RightHipEffector",
    "LeftHandEffector",
    "RightHandEffector",
    "LeftHandThumbEffector",
    "LeftHandIndexEffector",
    "LeftHandMiddleEffector",
    "LeftHandRingEffector",
    "LeftHandPinkyEffector",
    "LeftHandExtraFingerEffector",
    "RightHandThumbEffector",
    "RightHandIndexEffector",
    "RightHandMiddleEffector",
    "RightHandRingEffector",
    "RightHandPinkyEffector",
    "RightHandExtraFingerEffector",
    "LeftFootThumbEffector",
    "LeftFootIndexEffector",
    "LeftFootMiddleEffector",
    "LeftFootRingEffector",
    "LeftFootPinkyEffector",
    "LeftFootExtraFingerEffector",
    "RightFootThumbEffector",
    "RightFootIndexEffector",
    "RightFootMiddleEffector",
    "RightFootRingEffector",
    "RightFootPinkyEffector",
    "RightFootExtraFingerEffector",
};

}  // namespace

void KFbxControlSetLink::Reset() {
    mNode = nullptr;
    mTemplateName = KString();
}

void KFbxEffector::Reset() { *this = KFbxEffector(); }

KFbxControlSet::KFbxControlSet(KFbxCharacter* owner) : mOwner(owner) {}

KFbxControlSet::~KFbxControlSet() { Reset(); }

void KFbxControlSet::Reset() {
    for (int id = 0; id < kCharacterLinkCount; ++id) {
        Relink(mLinks[static_cast<std::size_t>(id)].mNode, nullptr, KFbxCharacterBackLink::eControlSetLink, id, 0);
        mLinks[static_cast<std::size_t>(id)].Reset();
    }
    for (int id = 0; id < kEffectorCount; ++id) {
        Relink(mEffectors[static_cast<std::size_t>(id)].mNode, nullptr, KFbxCharacterBackLink::eEffector, id, 0);
        mEffectors[static_cast<std::size_t>(id)].Reset();
        for (int aux = 1; aux <= kAuxiliaryCount; ++aux) {
            KFbxNode*& node = mAuxiliaries[static_cast<std::size_t>(id)][static_cast<std::size_t>(aux - 1)];
            Relink(node, nullptr, KFbxCharacterBackLink::eEffectorAux, id, aux);
            node = nullptr;
        }
    }
    mType = eNone;
    mLockTransform = false;
    mLockPick = false;
}

void KFbxControlSet::Relink(KFbxNode* oldNode, KFbxNode* newNode, int kind, int index, int subIndex) const {
    if (mOwner == nullptr || oldNode == newNode) {
        return;
    }
    const KFbxCharacterBackLink backLink{mOwner, kind, index, subIndex};
    if (oldNode != nullptr) {
        oldNode->RemoveCharacterBackLink(backLink);
    }
    if (newNode != nullptr) {
        newNode->AddCharacterBackLink(backLink);
    }
}

bool KFbxControlSet::GetControlSetLink(int linkId, KFbxControlSetLink* link) const {
    if (!ValidLink(linkId)) {
        return false;
    }
    const KFbxControlSetLink& stored = mLinks[static_cast<std::size_t>(linkId)];
    if (stored.mNode == nullptr && stored.mTemplateName.IsEmpty()) {
        return false;
    }
    if (link != nullptr) {
        *link = stored;
    }
    return true;
}

bool KFbxControlSet::SetControlSetLink(int linkId, const KFbxControlSetLink& link) {
    if (!ValidLink(linkId)) {
        return false;
    }
    KFbxControlSetLink& stored = mLinks[static_cast<std::size_t>(linkId)];
    Relink(stored.mNode, link.mNode, KFbxCharacterBackLink::eControlSetLink, linkId, 0);
    stored = link;
    return true;
}

bool KFbxControlSet::GetEffector(int effectorId, KFbxEffector* effector) const {
    if (!ValidEffector(effectorId) || mEffectors[static_cast<std::size_t>(effectorId)].mNode == nullptr) {
        return false;
    }
    if (effector != nullptr) {
        *effector = mEffectors[static_cast<std::size_t>(effectorId)];
    }
    return true;
}

bool KFbxControlSet::SetEffector(int effectorId, const KFbxEffector& effector) {
    if (!ValidEffector(effectorId)) {
        return false;
    }
    KFbxEffector& stored = mEffectors[static_cast<std::size_t>(effectorId)];
    Relink(stored.mNode, effector.mNode, KFbxCharacterBackLink::eEffector, effectorId, 0);
    stored = effector;
    return true;
}

KFbxNode* KFbxControlSet::GetEffectorAux(int effectorId, int auxIndex) const {
    if (!ValidEffector(effectorId) || !ValidAux(auxIndex)) {
        return nullptr;
    }
    return mAuxiliaries[static_cast<std::size_t>(effectorId)][static_cast<std::size_t>(auxIndex - 1)];
}

bool KFbxControlSet::GetEffectorAux(int effectorId, KFbxNode*& node, int auxIndex) const {
    if (!ValidEffector(effectorId) || !ValidAux(auxIndex)) {
        return false;
    }
    node = GetEffectorAux(effectorId, auxIndex);
    return node != nullptr;
}

bool KFbxControlSet::SetEffectorAux(int effectorId, KFbxNode* node, int auxIndex) {
    if (!ValidEffector(effectorId) || !ValidAux(auxIndex)) {
        return false;
    }
    KFbxNode*& stored = mAuxiliaries[static_cast<std::size_t>(effectorId)][static_cast<std::size_t>(auxIndex - 1)];
    Relink(stored, node, KFbxCharacterBackLink::eEffectorAux, effectorId, auxIndex);
    stored = node;
    return true;
}

const char* KFbxControlSet::GetEffectorNodeName(int effectorId) {
    return ValidEffector(effectorId) ? kEffectorNames[effectorId] : nullptr;
}

KFbxObject* KFbxControlSet::GetControlSetPlug() const {
    return mOwner != nullptr ? mOwner->GetControlSetInputObject() : nullptr;
}

void KFbxControlSet::ForgetLinkNode(int linkId, const KFbxNode* node) {
    if (ValidLink(linkId) && mLinks[static_cast<std::size_t>(linkId)].mNode == node) {
        mLinks[static_cast<std::size_t>(linkId)].mNode = nullptr;
    }
}

void KFbxControlSet::ForgetEffectorNode(int effectorId, const KFbxNode* node) {
    if (ValidEffector(effectorId) && mEffectors[static_cast<std::size_t>(effectorId)].mNode == node) {
        mEffectors[static_cast<std::size_t>(effectorId)].mNode = nullptr;
    }
}

void KFbxControlSet::ForgetEffectorAuxNode(int effectorId, int auxIndex, const KFbxNode* node) {
    if (ValidEffector(effectorId) && ValidAux(auxIndex)) {
        KFbxNode*& stored =
            mAuxiliaries[static_cast<std::size_t>(effectorId)][static_cast<std::size_t>(auxIndex - 1)];
        if (stored == node) {
            stored = nullptr;
        }
    }
}

}  // namespace fbxsdk_2006_11_1
