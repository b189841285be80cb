// The internal twin of a constraint and the tools its derived twins build
// their properties with: member properties registered in a fixed order,
// object-list properties with a limit and a side, and animatable dynamic
// properties of a named data type.
#ifndef FBXFILESDK_SCENE_KFBXCONSTRAINT_INTERNAL_H
#define FBXFILESDK_SCENE_KFBXCONSTRAINT_INTERNAL_H

#include <fbxfilesdk/animation/KFbxTakeNodeContainer_internal.h>
#include <fbxfilesdk/core/KPropertyList.h>
#include <fbxfilesdk/core/KPropertyTemplate.h>

#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxConstraint;
class KPlugClassInfo;

class KFbxConstraint_internal : public KFbxTakeNodeContainer_internal {
public:
    // No limit on an object list.
    static constexpr int kNoLimit = -1;

    explicit KFbxConstraint_internal(KFbxConstraint* publicObject);
    // The object's orderly end runs while the derived members still exist.
    ~KFbxConstraint_internal() override;

    const KPlugClassInfo* GetClassInfo() const override;

    // The accessor pair of "Active".
    virtual bool GetActive() const { return mActive; }
    virtual void SetActive(bool active) { mActive = active; }

    // For an object list of this twin: its limit (kNoLimit or a count) and
    // whether its items are its sources (driving side) or its destinations
    // (constrained side). False for any other property.
    bool GetListLimit(const KProperty* property, int& limit, bool& itemsAreSources) const;

protected:
    // The orderly end of the object, run by a derived destructor while its
    // member properties still exist; nothing when it already ran.
    void EndBeforeMembers();
    // "Active", registered with the accessor pair and added.
    void RegisterActive(KPropertyTemplate<bool>& property);
    // A member property that keeps its own value, registered and added.
    void RegisterMember(KProperty& property, const char* name);
    // An enumeration member: the texts are its value names, by value.
    void RegisterEnum(KProperty& property, const char* name, const char* const* texts, int textCount);
    // Registered under one name, then stored under another with type code 9,
    // any object class, and the flags of its side: a constrained list reads
    // its destinations, a driving list its sources.
    void RegisterObjectList(KPropertyObjectList& list, const char* registeredName, const char* storedName,
                            int limit, bool constrainedSide);
    // An animatable dynamic property of the data type ("Vector", "Number" or
    // "Weight") with own flag 8; null when it cannot be made.
    KProperty* AddAnimatable(const char* name, const char* dataTypeName);
    // Defaults of dynamic properties; nothing for null.
    static void SetVectorValue(KProperty* property, double x, double y, double z);
    static void SetNumberValue(KProperty* property, double value);

private:
    struct ListLimit {
        const KProperty* mList;
        int mLimit;
        bool mItemsAreSources;
    };

    static bool ReadActive(KPlug* owner);
    static void WriteActive(KPlug* owner, const bool& value);

    std::vector<ListLimit> mListLimits;
    bool mActive = false;
};

// The twin shared by the position, rotation and scale constraints: "Active",
// "Lock", the two lists, the three affect flags, the offset and "Weight".
class KFbxConstraintAxis_internal : public KFbxConstraint_internal {
public:
    KFbxConstraintAxis_internal(KFbxConstraint* publicObject, const char* offsetName);
    ~KFbxConstraintAxis_internal() override;

private:
    KPropertyTemplate<bool> mActiveProperty;
    KPropertyTemplate<bool> mLock;
    KPropertyObjectList mConstrainedObject;
    KPropertyObjectList mSource;
    KPropertyTemplate<bool> mAffectX;
    KPropertyTemplate<bool> mAffectY;
    KPropertyTemplate<bool> mAffectZ;
};

class KFbxConstraintPosition_internal : public KFbxConstraintAxis_internal {
public:
    explicit KFbxConstraintPosition_internal(KFbxConstraint* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

class KFbxConstraintRotation_internal : public KFbxConstraintAxis_internal {
public:
    explicit KFbxConstraintRotation_internal(KFbxConstraint* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

class KFbxConstraintScale_internal : public KFbxConstraintAxis_internal {
public:
    explicit KFbxConstraintScale_internal(KFbxConstraint* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

class KFbxConstraintParent_internal : public KFbxConstraint_internal {
public:
    explicit KFbxConstraintParent_internal(KFbxConstraint* publicObject);
    ~KFbxConstraintParent_internal() override;
    const KPlugClassInfo* GetClassInfo() const override;

private:
    KPropertyTemplate<bool> mActiveProperty;
    KPropertyTemplate<bool> mLock;
    KPropertyObjectList mConstrainedObject;
    KPropertyObjectList mSource;
    // Translation x, y, z, rotation x, y, z, scaling x, y, z.
    KPropertyTemplate<bool> mAffect[9];
};

class KFbxConstraintAim_internal : public KFbxConstraint_internal {
public:
    enum EAimConstraintWoldUpType {
        eAimAtSceneUp = 0,
        eAimAtObjectUp = 1,
        eAimAtObjectRotationUp = 2,
        eAimAtVector = 3,
        eAimAtNone = 4
    };

    explicit KFbxConstraintAim_internal(KFbxConstraint* publicObject);
    ~KFbxConstraintAim_internal() override;
    const KPlugClassInfo* GetClassInfo() const override;

    // The value is stored unchanged, whether it has a name or not.
    virtual int SetWorldUpType(int value);
    virtual int GetWorldUpType();
    // The value's name; null for a value without one.
    static const char* GetWorldUpTypeText(int value);

private:
    KPropertyObjectList mConstrainedObject;
    KPropertyObjectList mAimAtObjects;
    KPropertyObjectList mWorldUpObject;
    KPropertyTemplate<int> mWorldUpType;
};

class KFbxConstraintSingleChainIK_internal : public KFbxConstraint_internal {
public:
    enum ESolverType : int { eRP_SOLVER = 0, eSC_SOLVER = 1 };
    enum EPoleVectorType : int { ePOLE_VECTOR_TYPE_VECTOR = 0, ePOLE_VECTOR_TYPE_OBJECT = 1 };
    enum EEvalTS : int { eEVAL_TS_NEVER = 0, eEVAL_TS_AUTO = 1, eEVAL_TS_ALWAYS = 2 };

    explicit KFbxConstraintSingleChainIK_internal(KFbxConstraint* publicObject);
    ~KFbxConstraintSingleChainIK_internal() override;
    const KPlugClassInfo* GetClassInfo() const override;

    virtual int SetSolverType(int value);
    virtual int GetSolverType();
    virtual int SetPoleVectorType(int value);
    virtual int GetPoleVectorType();
    virtual int SetEvaluateTSAnim(int value);
    virtual int GetEvaluateTSAnim();
    // Value names; null for a value without one.
    static const char* GetSolverTypeText(int value);
    static const char* GetPoleVectorTypeText(int value);
    static const char* GetEvaluateTSAnimText(int value);

private:
    KPropertyTemplate<bool> mActiveProperty;
    KPropertyTemplate<bool> mLock;
    KPropertyObjectList mFirstJoint;
    KPropertyObjectList mEndJoint;
    KPropertyObjectList mEffector;
    KPropertyObjectList mPoleVectorObject;
    KPropertyTemplate<ESolverType> mSolverType;
    KPropertyTemplate<EPoleVectorType> mPoleVectorType;
    KPropertyTemplate<EEvalTS> mEvaluateTSAnim;
};

}  // namespace fbxsdk_2006_11_1

#endif
