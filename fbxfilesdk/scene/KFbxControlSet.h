// The rig a character is animated through: a forward-kinematics node for each
// character link, 44 effectors, each with up to 14 auxiliary effector nodes,
// and the flags that lock the rig. Every node it names carries a back-link to
// the owning character, so that destroying the node empties the slot.
#ifndef FBXFILESDK_SCENE_KFBXCONTROLSET_H
#define FBXFILESDK_SCENE_KFBXCONTROLSET_H

#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/scene/KFbxCharacterLinkTable.h>

#include <array>

namespace fbxsdk_2006_11_1 {

class KFbxCharacter;
class KFbxNode;
class KFbxObject;

// One FK slot: a node (not owned) and a name from the file that filled it.
class KFbxControlSetLink {
public:
    KFbxControlSetLink() = default;
    // Node null, name empty.
    void Reset();

    KFbxNode* mNode = nullptr;
    KString mTemplateName;
};

// One effector: its node (not owned) and its flags.
class KFbxEffector {
public:
    KFbxEffector() = default;
    // Node null, every flag cleared.
    void Reset();

    KFbxNode* mNode = nullptr;
    bool mShow = false;
    bool mTActive = false;
    bool mRActive = false;
    bool mCandidateTActive = false;
    bool mCandidateRActive = false;
};

class KFbxControlSet {
public:
    enum EType { eNone = 0, eFkIk = 1, eIkOnly = 2 };

    static constexpr int kEffectorCount = 44;
    static constexpr int kAuxiliaryCount = 14;

    // Empty; with an owner the nodes it names get back-links to the owner.
    explicit KFbxControlSet(KFbxCharacter* owner = nullptr);
    // Empties itself first, so that no node keeps a back-link to it.
    virtual ~KFbxControlSet();
    KFbxControlSet(const KFbxControlSet&) = delete;
    KFbxControlSet& operator=(const KFbxControlSet&) = delete;

    // Every slot emptied (nodes lose their back-links), type none, unlocked.
    void Reset();

    KFbxCharacter* GetCharacter() const { return mOwner; }

    virtual int GetType() const { return mType; }
    void SetType(int type) { mType = type; }
    bool GetLockTransform() const { return mLockTransform; }
    void SetLockTransform(bool lock) { mLockTransform = lock; }
    bool GetLockPick() const { return mLockPick; }
    void SetLockPick(bool lock) { mLockPick = lock; }

    // False for an id outside 0 to 190 or a slot with neither node nor name;
    // a null out-pointer only asks.
    bool GetControlSetLink(int linkId, KFbxControlSetLink* link) const;
    // False for an id outside 0 to 190. The old node loses its back-link, the
    // new one gains it.
    bool SetControlSetLink(int linkId, const KFbxControlSetLink& link);

    // False for an id outside 0 to 43 or an effector without node.
    bool GetEffector(int effectorId, KFbxEffector* effector) const;
    bool SetEffector(int effectorId, const KFbxEffector& effector);

    // Auxiliary indexes run from 1 to 14. Null / false out of range.
    KFbxNode* GetEffectorAux(int effectorId, int auxIndex = 1) const;
    bool GetEffectorAux(int effectorId, KFbxNode*& node, int auxIndex = 1) const;
    bool SetEffectorAux(int effectorId, KFbxNode* node, int auxIndex = 1);

    // "HipsEffector" to "RightFootExtraFingerEffector"; null outside 0 to 43.
    static const char* GetEffectorNodeName(int effectorId);

    // The object connected to the owner's "ControlSet" property; null when
    // none or without owner.
    KFbxObject* GetControlSetPlug() const;

    // A destroyed node leaves its slot; no back-link is touched, the node
    // drops its own records.
    void ForgetLinkNode(int linkId, const KFbxNode* node);
    void ForgetEffectorNode(int effectorId, const KFbxNode* node);
    void ForgetEffectorAuxNode(int effectorId, int auxIndex, const KFbxNode* node);

private:
    static bool ValidLink(int linkId) { return linkId >= 0 && linkId < kCharacterLinkCount; }
    static bool ValidEffector(int effectorId) { return effectorId >= 0 && effectorId < kEffectorCount; }
    static bool ValidAux(int auxIndex) { return auxIndex >= 1 && auxIndex <= kAuxiliaryCount; }
    // The back-link of the slot moves from the old node to the new one.
    void Relink(KFbxNode* oldNode, KFbxNode* newNode, int kind, int index, int subIndex) const;

    KFbxCharacter* mOwner;
    int mType = eNone;
    bool mLockTransform = false;
    bool mLockPick = false;
    std::array<KFbxControlSetLink, kCharacterLinkCount> mLinks;
    std::array<KFbxEffector, kEffectorCount> mEffectors;
    std::array<std::array<KFbxNode*, kAuxiliaryCount>, kEffectorCount> mAuxiliaries{};
};

}  // namespace fbxsdk_2006_11_1

#endif
