#include <fbxfilesdk/scene/KFbxConstraint_internal.h>

#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/core/KPropertyType.h>
#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/scene/KFbxConstraint.h>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kWorldUpTypeTexts[] = {"Scene Up", "Object Up", "Object Rotation Up", "Vector", "None"};
const char* const kSolverTypeTexts[] = {"ikRPSolver", "ikSCSolver"};
const char* const kPoleVectorTypeTexts[] = {"Vector", "Object"};
const char* const kEvaluateTSAnimTexts[] = {"Never", "Auto", "Always"};

template <int N>
const char* TextOf(const char* const (&texts)[N], int value) {
    return value >= 0 && value < N ? texts[value] : nullptr;
}

template <int N>
constexpr int CountOf(const char* const (&)[N]) {
    return N;
}

}  // namespace

// ---- KFbxConstraint_internal ------------------------------------------------

KFbxConstraint_internal::KFbxConstraint_internal(KFbxConstraint* publicObject)
    : KFbxTakeNodeContainer_internal(publicObject) {}

KFbxConstraint_internal::~KFbxConstraint_internal() = default;

const KPlugClassInfo* KFbxConstraint_internal::GetClassInfo() const { return &gKFbxConstraint_internalClassInfo; }

bool KFbxConstraint_internal::GetListLimit(const KProperty* property, int& limit, bool& itemsAreSources) const {
    for (const ListLimit& entry : mListLimits) {
        if (entry.mList == property) {
            limit = entry.mLimit;
            itemsAreSources = entry.mItemsAreSources;
            return true;
        }
    }
    return false;
}

void KFbxConstraint_internal::EndBeforeMembers() {
    if ((GetFlags() & kBeingDestroyed) == 0) {
        Finalize();
        Destroy();
    }
    mListLimits.clear();
}

bool KFbxConstraint_internal::ReadActive(KPlug* owner) {
    auto* twin = dynamic_cast<KFbxConstraint_internal*>(owner);
    return twin != nullptr && twin->GetActive();
}

void KFbxConstraint_internal::WriteActive(KPlug* owner, const bool& value) {
    if (auto* twin = dynamic_cast<KFbxConstraint_internal*>(owner)) {
        twin->SetActive(value);
    }
}

void KFbxConstraint_internal::RegisterActive(KPropertyTemplate<bool>& property) {
    property.Register("Active", this, &ReadActive, &WriteActive);
    AddProperty(&property);
}

void KFbxConstraint_internal::RegisterMember(KProperty& property, const char* name) {
    property.KProperty::Register(name, this, nullptr, nullptr);
    AddProperty(&property);
}

void KFbxConstraint_internal::RegisterEnum(KProperty& property, const char* name, const char* const* texts,
                                           int textCount) {
    RegisterMember(property, name);
    property.SetType(eKPropertyEnum);
    if (KStringList* list = property.GetEnumList(true)) {
        for (int i = 0; i < textCount; ++i) {
            list->Add(KString(texts[i]));
        }
    }
}

void KFbxConstraint_internal::RegisterObjectList(KPropertyObjectList& list, const char* registeredName,
                                                 const char* storedName, int limit, bool constrainedSide) {
    RegisterMember(list, registeredName);
    list.SetNameAndType(storedName, eKPropertyObject);
    list.SetObjectType(-1, -1);
    std::uint32_t flags = list.GetFlags() & ~(kAcceptsSrc | kAcceptsDst | kOneWay);
    flags |= constrainedSide ? kAcceptsDst : kAcceptsSrc;
    list.SetFlags(flags);
    mListLimits.push_back({&list, limit, !constrainedSide});
}

KProperty* KFbxConstraint_internal::AddAnimatable(const char* name, const char* dataTypeName) {
    KDataType* dataType = KDataType::Find(dataTypeName);
    const int type = dataType != nullptr ? PropertyTypeFromDataType(dataType) : eKPropertyUnknown;
    KProperty* property = CreateDynamicProperty(name, type, dataType, true, false, nullptr, false);
    if (property != nullptr) {
        property->SetFlag(KProperty::kOwnPublicFlag8, true);
    }
    return property;
}

void KFbxConstraint_internal::SetVectorValue(KProperty* property, double x, double y, double z) {
    if (property != nullptr) {
        const double value[4] = {x, y, z, 1.0};
        property->SetChannelValue(value);
    }
}

void KFbxConstraint_internal::SetNumberValue(KProperty* property, double value) {
    if (property != nullptr) {
        property->SetDouble(value);
    }
}

// ---- position, rotation and scale -------------------------------------------

KFbxConstraintAxis_internal::KFbxConstraintAxis_internal(KFbxConstraint* publicObject, const char* offsetName)
    : KFbxConstraint_internal(publicObject) {
    RegisterActive(mActiveProperty);
    RegisterMember(mLock, "Lock");
    RegisterObjectList(mConstrainedObject, "Destination", "Constrained Object", 1, true);
    RegisterObjectList(mSource, "Source", "Source", kNoLimit, false);
    RegisterMember(mAffectX, "AffectX");
    RegisterMember(mAffectY, "AffectY");
    RegisterMember(mAffectZ, "AffectZ");
    SetVectorValue(AddAnimatable(offsetName, "Vector"), 0.0, 0.0, 0.0);
    SetNumberValue(AddAnimatable("Weight", "Weight"), 100.0);
}

KFbxConstraintAxis_internal::~KFbxConstraintAxis_internal() { EndBeforeMembers(); }

KFbxConstraintPosition_internal::KFbxConstraintPosition_internal(KFbxConstraint* publicObject)
    : KFbxConstraintAxis_internal(publicObject, "Translation") {}

const KPlugClassInfo* KFbxConstraintPosition_internal::GetClassInfo() const {
    return &gKFbxConstraintPosition_internalClassInfo;
}

KFbxConstraintRotation_internal::KFbxConstraintRotation_internal(KFbxConstraint* publicObject)
    : KFbxConstraintAxis_internal(publicObject, "Rotation") {}

const KPlugClassInfo* KFbxConstraintRotation_internal::GetClassInfo() const {
    return &gKFbxConstraintRotation_internalClassInfo;
}

KFbxConstraintScale_internal::KFbxConstraintScale_internal(KFbxConstraint* publicObject)
    : KFbxConstraintAxis_internal(publicObject, "Scaling") {}

const KPlugClassInfo* KFbxConstraintScale_internal::GetClassInfo() const {
    return &gKFbxConstraintScale_internalClassInfo;
}

// ---- parent -------------------------------------------------------------------

KFbxConstraintParent_internal::KFbxConstraintParent_internal(KFbxConstraint* publicObject)
    : KFbxConstraint_internal(publicObject) {
    static const char* const kAffectNames[9] = {
        "AffectTranslationX", "AffectTranslationY", "AffectTranslationZ", "AffectRotationX", "AffectRotationY",
        "AffectRotationZ",    "AffectScalingX",     "AffectScalingY",     "AffectScalingZ"};
    RegisterActive(mActiveProperty);
    RegisterMember(mLock, "Lock");
    RegisterObjectList(mConstrainedObject, "Destination", "Constrained object (Child)", 1, true);
    RegisterObjectList(mSource, "Source", "Source (Parent)", kNoLimit, false);
    for (int i = 0; i < 9; ++i) {
        RegisterMember(mAffect[i], kAffectNames[i]);
    }
    SetNumberValue(AddAnimatable("Weight", "Weight"), 100.0);
}

KFbxConstraintParent_internal::~KFbxConstraintParent_internal() { EndBeforeMembers(); }

const KPlugClassInfo* KFbxConstraintParent_internal::GetClassInfo() const {
    return &gKFbxConstraintParent_internalClassInfo;
}

// ---- aim ----------------------------------------------------------------------

KFbxConstraintAim_internal::KFbxConstraintAim_internal(KFbxConstraint* publicObject)
    : KFbxConstraint_internal(publicObject) {
    RegisterObjectList(mConstrainedObject, "ConstrainedObject", "Constrained Object", 1, true);
    RegisterObjectList(mAimAtObjects, "AimAtObjects", "Aim At Object", kNoLimit, false);
    RegisterObjectList(mWorldUpObject, "WorldUpObject", "World Up Object", 1, false);
    RegisterEnum(mWorldUpType, "WorldUpType", kWorldUpTypeTexts, CountOf(kWorldUpTypeTexts));
}

KFbxConstraintAim_internal::~KFbxConstraintAim_internal() { EndBeforeMembers(); }

const KPlugClassInfo* KFbxConstraintAim_internal::GetClassInfo() const {
    return &gKFbxConstraintAim_internalClassInfo;
}

int KFbxConstraintAim_internal::SetWorldUpType(int value) {
    mWorldUpType.Set(value);
    return value;
}

int KFbxConstraintAim_internal::GetWorldUpType() { return mWorldUpType.Get(); }

const char* KFbxConstraintAim_internal::GetWorldUpTypeText(int value) { return TextOf(kWorldUpTypeTexts, value); }

// ---- single chain IK ----------------------------------------------------------

KFbxConstraintSingleChainIK_internal::KFbxConstraintSingleChainIK_internal(KFbxConstraint* publicObject)
    : KFbxConstraint_internal(publicObject) {
    RegisterActive(mActiveProperty);
    RegisterMember(mLock, "Lock");
    RegisterObjectList(mFirstJoint, "FirstJoint", "First Joint", 1, true);
    RegisterObjectList(mEndJoint, "EndJoint", "End Joint", 1, true);
    RegisterObjectList(mEffector, "Effector", "Effector", 1, false);
    RegisterObjectList(mPoleVectorObject, "PoleVectorObject", "Pole Vector Object", kNoLimit, false);
    RegisterEnum(mSolverType, "SolverType", kSolverTypeTexts, CountOf(kSolverTypeTexts));
    RegisterEnum(mPoleVectorType, "PoleVectorType", kPoleVectorTypeTexts, CountOf(kPoleVectorTypeTexts));
    RegisterEnum(mEvaluateTSAnim, "EvaluateTSAnim", kEvaluateTSAnimTexts, CountOf(kEvaluateTSAnimTexts));
    SetVectorValue(AddAnimatable("PoleVector", "Vector"), 0.0, 0.0, 0.0);
    SetNumberValue(AddAnimatable("Twist", "Number"), 0.0);
    SetNumberValue(AddAnimatable("Weight", "Weight"), 100.0);
    mSolverType.Set(eSC_SOLVER);
}

KFbxConstraintSingleChainIK_internal::~KFbxConstraintSingleChainIK_internal() { EndBeforeMembers(); }

const KPlugClassInfo* KFbxConstraintSingleChainIK_internal::GetClassInfo() const {
    return &gKFbxConstraintSingleChainIK_internalClassInfo;
}

int KFbxConstraintSingleChainIK_internal::SetSolverType(int value) {
    mSolverType.Set(static_cast<ESolverType>(value));
    return value;
}

int KFbxConstraintSingleChainIK_internal::GetSolverType() { return mSolverType.Get(); }

int KFbxConstraintSingleChainIK_internal::SetPoleVectorType(int value) {
    mPoleVectorType.Set(static_cast<EPoleVectorType>(value));
    return value;
}

int KFbxConstraintSingleChainIK_internal::GetPoleVectorType() { return mPoleVectorType.Get(); }

int KFbxConstraintSingleChainIK_internal::SetEvaluateTSAnim(int value) {
    mEvaluateTSAnim.Set(static_cast<EEvalTS>(value));
    return value;
}

int KFbxConstraintSingleChainIK_internal::GetEvaluateTSAnim() { return mEvaluateTSAnim.Get(); }

const char* KFbxConstraintSingleChainIK_internal::GetSolverTypeText(int value) {
    return TextOf(kSolverTypeTexts, value);
}

const char* KFbxConstraintSingleChainIK_internal::GetPoleVectorTypeText(int value) {
    return TextOf(kPoleVectorTypeTexts, value);
}

const char* KFbxConstraintSingleChainIK_internal::GetEvaluateTSAnimText(int value) {
    return TextOf(kEvaluateTSAnimTexts, value);
}

}  // namespace fbxsdk_2006_11_1
