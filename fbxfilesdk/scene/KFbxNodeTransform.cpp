// The node's transform properties, its two pivot sets and the evaluation state
// loaded from pivot set 0, and the moves between properties and pivot sets.
#include <fbxfilesdk/scene/KFbxNode.h>

#include <fbxfilesdk/animation/KFCurveNode.h>
#include <fbxfilesdk/animation/KFbxTakeNode.h>
#include <fbxfilesdk/core/KFbxDouble3.h>
#include <fbxfilesdk/core/KFbxObject_internal.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KFreshPropertyNamesScope.h>
#include <fbxfilesdk/core/KInternedText.h>
#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/scene/KFbxNodeWalk.h>

#include <algorithm>
#include <iterator>
#include <memory>
#include <new>
#include <utility>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr double kNeutralTolerance = 1e-6;

const char* const kRotationOrderNames[] = {"Euler XYZ", "Euler XZY", "Euler YZX", "Euler YXZ",
                                           "Euler ZXY", "Euler ZYX", "Spheric XYZ"};
const char* const kInheritTypeNames[] = {"RrSs", "RrSs", "Rrs"};

// Every node names the same properties and enum values: interned once, each
// node's records share them without a look-up in the pool.
struct InternedNodeTexts {
    KInternedText mNames[eNodePropertyCount];
    KInternedText mRotationOrders[std::size(kRotationOrderNames)];
    KInternedText mInheritTypes[std::size(kInheritTypeNames)];
    // No two properties share a name (interned: equal texts, equal holders).
    bool mNamesDistinct = true;

    InternedNodeTexts() {
        for (int index = 0; index < eNodePropertyCount; ++index) {
            mNames[index] = KFbxGetNodePropertyInfo(static_cast<ENodeProperty>(index)).mName;
            for (int before = 0; before < index; ++before) {
                mNamesDistinct = mNamesDistinct && !(mNames[before] == mNames[index]);
            }
        }
        for (std::size_t index = 0; index < std::size(kRotationOrderNames); ++index) {
            mRotationOrders[index] = kRotationOrderNames[index];
        }
        for (std::size_t index = 0; index < std::size(kInheritTypeNames); ++index) {
            mInheritTypes[index] = kInheritTypeNames[index];
        }
    }
};

// Never destroyed: nodes may outlive the other statics.
const InternedNodeTexts& NodeTexts() {
    static const InternedNodeTexts* const texts = new InternedNodeTexts;
    return *texts;
}

// The properties of one kind of limits; the six axis enables follow the first.
struct LimitProperties {
    ENodeProperty mActive;
    ENodeProperty mMin;
    ENodeProperty mMax;
    ENodeProperty mMinX;
    KFbxLimits::ELimitKind mKind;
};

const LimitProperties kLimitProperties[] = {
    {eTranslationActive, eTranslationMin, eTranslationMax, eTranslationMinX, KFbxLimits::eTranslation},
    {eRotationActive, eRotationMin, eRotationMax, eRotationMinX, KFbxLimits::eRotation},
    {eScalingActive, eScalingMin, eScalingMax, eScalingMinX, KFbxLimits::eScaling},
};

bool ReadBool(const KFbxProperty& property) {
    bool value = false;
    property.Get(&value, eFbxValueBool);
    return value;
}

int ReadInt(const KFbxProperty& property) {
    int value = 0;
    property.Get(&value, eFbxValueInteger);
    return value;
}

KFbxVector4 ReadVector(const KFbxProperty& property) {
    fbxDouble3 value;
    property.Get(&value, eFbxValueDouble3);
    return KFbxVector4(value[0], value[1], value[2], 1.0);
}

void WriteBool(KFbxProperty& property, bool value) { property.Set(&value, eFbxValueBool); }

void WriteInt(KFbxProperty& property, int value) { property.Set(&value, eFbxValueInteger); }

void WriteVector(KFbxProperty& property, const KFbxVector4& value) {
    const fbxDouble3 raw(value[0], value[1], value[2]);
    property.Set(&raw, eFbxValueDouble3);
}

// The vector into the set and, for set 0, through the store operation into
// the evaluation state.
template <class Target>
void StoreVector(KFbxNodePivotSet& pivots, KFbxNode::EPivotSet set, KFbxVector4 KFbxNodePivotSet::*field,
                 const KFbxVector4& v, Target& target, void (Target::*store)(const KFbxVector4&)) {
    pivots.*field = v;
    if (set == KFbxNode::eSOURCE_SET) {
        (target.*store)(v);
    }
}

bool Differs(const KFbxVector4& a, const KFbxVector4& b) { return KFbxCompareDouble3(a, b, kNeutralTolerance) != 0; }

// A property's three stored components as the point the getters give.
KFbxVector4 PointOf(const double* value) { return KFbxVector4(value[0], value[1], value[2], 1.0); }

// The three doubles into the property as its type holds them.
void WriteValue(KFbxProperty& property, const KFbxNodePropertyInfo& info, const double* value) {
    switch (info.mDataType->GetType()) {
        case eFbxValueBool:
            WriteBool(property, value[0] != 0.0);
            break;
        case eFbxValueInteger:
        case eFbxValueEnum:
            WriteInt(property, static_cast<int>(value[0]));
            break;
        case eFbxValueDouble:
            property.Set(&value[0], eFbxValueDouble);
            break;
        case eFbxValueDouble3:
            WriteVector(property, KFbxVector4(value[0], value[1], value[2], 1.0));
            break;
        default:
            break;
    }
}

// The limit properties, read through the two functions, into the limits.
template <class BoolOf, class VectorOf>
void ReadLimitProperties(KFbxLimits& limits, const BoolOf& boolOf, const VectorOf& vectorOf) {
    for (const LimitProperties& limit : kLimitProperties) {
        const auto axis = [&](int offset) { return boolOf(limit.mMinX + offset); };
        limits.SetLimitMinActive(axis(0), axis(1), axis(2), limit.mKind);
        limits.SetLimitMaxActive(axis(3), axis(4), axis(5), limit.mKind);
        limits.SetLimitMin(vectorOf(limit.mMin), limit.mKind);
        limits.SetLimitMax(vectorOf(limit.mMax), limit.mKind);
    }
    limits.SetTranslationActive(boolOf(eTranslationActive));
    limits.SetRotationActive(boolOf(eRotationActive));
    limits.SetScalingActive(boolOf(eScalingActive));
}

bool SameRecords(const KFbxLimits& limits, const KFbxLimitRecord* records) {
    for (int kind = 0; kind < KFbxLimits::eLimitKindCount; ++kind) {
        const KFbxLimitRecord& a = limits.GetRecord(static_cast<KFbxLimits::ELimitKind>(kind));
        const KFbxLimitRecord& b = records[kind];
        if (a.mFlags != b.mFlags || !(a.mMin == b.mMin) || !(a.mMax == b.mMax) || !(a.mDefault == b.mDefault)) {
            return false;
        }
    }
    return true;
}

}  // namespace

void KFbxNode::CreateProperties() {
    const InternedNodeTexts& texts = NodeTexts();
    const KInternedText noLabel;
    // A twin with no property yet has every one of these names free.
    const KObject* twin = GetInternalObject();
    const bool fresh = texts.mNamesDistinct && twin != nullptr && twin->GetPropertyCount() == 0;
    const KFreshPropertyNamesScope scope(fresh ? twin : nullptr);
    if (mProperties == nullptr) {
        mProperties = std::make_unique<KFbxProperty[]>(eNodePropertyCount);
    }
    // One block each for the handles and the twins, not a dozen grown in steps.
    ReserveProperties(eNodePropertyCount);
    for (int index = 0; index < eNodePropertyCount; ++index) {
        const KFbxNodePropertyInfo& info = KFbxGetNodePropertyInfo(static_cast<ENodeProperty>(index));
        // The node's own handle makes the property: no handle on the heap
        // beside it, and one destroyed through a copy leaves it invalid.
        KFbxProperty& property = mProperties[index];
        property.InitOnNewObject(this, texts.mNames[index], *info.mDataType, noLabel);
        if (info.mAnimatable) {
            property.ModifyFlag(KFbxProperty::kAnimatable | KFbxProperty::kPublicFlag8, true);
        }
    }
    mProperties[eRotationOrder].AddFixedEnumValues(texts.mRotationOrders, std::size(texts.mRotationOrders));
    mProperties[eInheritType].AddFixedEnumValues(texts.mInheritTypes, std::size(texts.mInheritTypes));
}

const char* KFbxNode::GetRotationOrderName(int order) {
    return order >= 0 && order <= eSPHERIC_XYZ ? kRotationOrderNames[order] : nullptr;
}

const char* KFbxNode::GetTransformInheritTypeName(int type) {
    return type >= 0 && type <= eINHERIT_Rrs ? kInheritTypeNames[type] : nullptr;
}

bool KFbxNode::SetDouble3(ENodeProperty which, const KFbxVector4& value) {
    if (KeepUnmade(which, value[0], value[1], value[2])) {
        return true;
    }
    KFbxProperty* const properties = Handles();
    if (!properties[which].IsValid()) {
        return false;
    }
    WriteVector(properties[which], value);
    return true;
}

void KFbxNode::GetDouble3(ENodeProperty which, KFbxVector4& out) const {
    if (!HasHandles()) {
        out = NodeVector(which);
    } else if (mProperties[which].IsValid()) {
        out = ReadVector(mProperties[which]);
    }
}

// Until the properties are made they hold what they would be made with.

bool KFbxNode::NodeBool(int which) const {
    return HasHandles() ? ReadBool(mProperties[which]) : UnmadeOf(which)[0] != 0.0;
}

int KFbxNode::NodeInt(int which) const {
    return HasHandles() ? ReadInt(mProperties[which]) : static_cast<int>(UnmadeOf(which)[0]);
}

KFbxVector4 KFbxNode::NodeVector(int which) const {
    if (HasHandles()) {
        return ReadVector(mProperties[which]);
    }
    return PointOf(UnmadeOf(which));
}

const double* KFbxNode::DefaultOf(int which) {
    return KFbxGetNodePropertyInfo(static_cast<ENodeProperty>(which)).mDefault;
}

KFbxVector4 KFbxNode::GetPropertyDouble3(const char* name) const {
    const KFbxProperty property = FindProperty(name);
    return property.IsValid() ? ReadVector(property) : KFbxVector4();
}

// ---- pivot sets -------------------------------------------------------------

void KFbxNode::SetRotationOffset(EPivotSet set, const KFbxVector4& v) {
    StoreVector(EditPivotSet(set), set, &KFbxNodePivotSet::mRotationOffset, v, mState.mPivots, &KFbxNodePivots::SetRotationOffset);
}

void KFbxNode::SetRotationPivot(EPivotSet set, const KFbxVector4& v) {
    StoreVector(EditPivotSet(set), set, &KFbxNodePivotSet::mRotationPivot, v, mState.mPivots, &KFbxNodePivots::SetRotationPivot);
}

void KFbxNode::SetScalingOffset(EPivotSet set, const KFbxVector4& v) {
    StoreVector(EditPivotSet(set), set, &KFbxNodePivotSet::mScalingOffset, v, mState.mPivots, &KFbxNodePivots::SetScalingOffset);
}

void KFbxNode::SetScalingPivot(EPivotSet set, const KFbxVector4& v) {
    StoreVector(EditPivotSet(set), set, &KFbxNodePivotSet::mScalingPivot, v, mState.mPivots, &KFbxNodePivots::SetScalingPivot);
}

void KFbxNode::SetPreRotation(EPivotSet set, const KFbxVector4& v) {
    StoreVector(EditPivotSet(set), set, &KFbxNodePivotSet::mPreRotation, v, mState.mPrePostRotation, &KFbxNodePrePostRotation::SetPre);
}

void KFbxNode::SetPostRotation(EPivotSet set, const KFbxVector4& v) {
    StoreVector(EditPivotSet(set), set, &KFbxNodePivotSet::mPostRotation, v, mState.mPrePostRotation, &KFbxNodePrePostRotation::SetPost);
}

void KFbxNode::SetRotationOrder(EPivotSet set, ERotationOrder order) {
    const int checked = KFbxCheckedRotationOrder(order);
    EditPivotSet(set).mRotationOrder = checked;
    if (set == eSOURCE_SET) {
        mState.mPrePostRotation.mOrder = 2 * checked;
    }
}

void KFbxNode::GetRotationOrder(EPivotSet set, ERotationOrder& order) const {
    order = static_cast<ERotationOrder>(PivotSet(set).mRotationOrder);
}

void KFbxNode::SetRotationSpaceForLimitOnly(EPivotSet set, bool on) {
    EditPivotSet(set).mRotationSpaceForLimitOnly = on;
    if (set == eSOURCE_SET) {
        mState.mRotationSpaceForLimitOnly = on;
    }
}

KFbxNodePivotSets& KFbxNode::MakePivotSets() {
    mPivotSets = std::make_unique<KFbxNodePivotSets>();
    return *mPivotSets;
}

KFbxLimits& KFbxNode::MakeLimits() {
    mLimits = std::make_unique<KFbxLimits>(mState.mLimits);
    return *mLimits;
}

const KFbxLimits& KFbxNode::UnmadeLimits() const {
    static const KFbxLimits neutral;
    // What the default property values make of neutral limits; never
    // destroyed, as nodes may outlive the other statics.
    static const KFbxLimits* const fromDefaults = [] {
        auto* limits = new KFbxLimits;
        ReadLimitProperties(
            *limits, [](int which) { return DefaultOf(which)[0] != 0.0; },
            [](int which) { return PointOf(DefaultOf(which)); });
        return limits;
    }();
    // Without a block of its own a node holds one or the other.
    return SameRecords(neutral, mState.mLimits) ? neutral : *fromDefaults;
}

void KFbxNode::SelectPivotSet(EPivotSet set) { mState.Load(PivotSet(set)); }

void KFbxNode::ResetPivotSetOfNode(EPivotSet set) {
    if (mPivotSets == nullptr) {
        // Already neutral.
        return;
    }
    const KFbxVector4 zero;
    SetRotationOrder(set, eEULER_XYZ);
    SetPreRotation(set, zero);
    SetPostRotation(set, zero);
    SetRotationPivot(set, zero);
    SetScalingPivot(set, zero);
    SetRotationOffset(set, zero);
    SetScalingOffset(set, zero);
    SetGeometricTranslation(set, zero);
    SetGeometricRotation(set, zero);
    SetGeometricScaling(set, KFbxVector4(1.0, 1.0, 1.0, 1.0));
    SetRotationSpaceForLimitOnly(set, false);
    SetQuaternionInterpolate(set, false);
}

void KFbxNode::ResetPivotSet(EPivotSet set) {
    KFbxForEachNodeFrom(*this, [set](KFbxNode& node) { node.ResetPivotSetOfNode(set); });
}

void KFbxNode::SetTransformInheritType(ETransformInheritType type) {
    // Until the properties are made the evaluation's copy holds the value and
    // the making writes it: readers that only set the type make no properties.
    if (ArePropertiesMade()) {
        WriteInt(Handles()[eInheritType], type);
    }
    mState.mPivots.mInheritType = type;
}

void KFbxNode::GetTransformInheritType(ETransformInheritType& type) const {
    type = static_cast<ETransformInheritType>(ArePropertiesMade() ? NodeInt(eInheritType)
                                                                  : mState.mPivots.mInheritType);
}

void KFbxNode::SetRotationActive(bool active) {
    // Neutral limits are inactive already.
    if (mLimits != nullptr || active) {
        GetLimits().SetRotationActive(active);
    }
    if (!KeepUnmade(eRotationActive, active ? 1.0 : 0.0)) {
        WriteBool(Handles()[eRotationActive], active);
    }
}

bool KFbxNode::GetRotationActive() const { return NodeBool(eRotationActive); }

// ---- properties and pivot sets ------------------------------------------------

void KFbxNode::InitTransformDefaults() {
    WritePropertyDefaults(false);
    // Made sets stay where they are: references to them remain valid.
    if (mPivotSets != nullptr) {
        *mPivotSets = KFbxNodePivotSets();
    }
    SelectPivotSet(eSOURCE_SET);
    mState.mPivots.mInheritType = eINHERIT_RrSs;
}

void KFbxNode::WritePropertyDefaults(bool onlyNonZero) {
    KFbxProperty* const properties = Handles();
    for (int index = 0; index < eNodePropertyCount; ++index) {
        const KFbxNodePropertyInfo& info = KFbxGetNodePropertyInfo(static_cast<ENodeProperty>(index));
        const double* value = info.mDefault;
        if (onlyNonZero && value[0] == 0.0 && value[1] == 0.0 && value[2] == 0.0) {
            continue;
        }
        WriteValue(properties[index], info, value);
    }
}

const double* KFbxNode::UnmadeOf(int which) const {
    for (int index = 0; mUnmadeValues != nullptr && index < mUnmadeValues->mCount; ++index) {
        if (mUnmadeValues->mValues[index].mWhich == which) {
            return mUnmadeValues->mValues[index].mValue;
        }
    }
    return DefaultOf(which);
}

bool KFbxNode::KeepUnmade(int which, double x, double y, double z) {
    if (ArePropertiesMade()) {
        return false;
    }
    if (mUnmadeValues == nullptr) {
        mUnmadeValues.reset(new (std::nothrow) UnmadeValues);
        if (mUnmadeValues == nullptr) {
            SdkNoteAllocationFailure();
            return false;
        }
    }
    UnmadeValues& kept = *mUnmadeValues;
    int index = 0;
    while (index < kept.mCount && kept.mValues[index].mWhich != which) {
        ++index;
    }
    if (index == UnmadeValues::kCapacity) {
        return false;
    }
    kept.mValues[index] = UnmadeValue{which, {x, y, z}};
    kept.mCount = std::max(kept.mCount, index + 1);
    WroteUnmade(which);
    return true;
}

void KFbxNode::WroteUnmade(int which) {
    const KFbxNodePropertyInfo& info = KFbxGetNodePropertyInfo(static_cast<ENodeProperty>(which));
    if (info.mAnimatable) {
        const bool vector = info.mDataType->GetType() == eFbxValueDouble3;
        WriteUnmadeChannelDefaults(info.mName, UnmadeOf(which), vector ? 3 : 1);
    }
}

void KFbxNode::WriteKeptValues() {
    const std::unique_ptr<UnmadeValues> kept = std::move(mUnmadeValues);
    for (int index = 0; kept != nullptr && index < kept->mCount; ++index) {
        const UnmadeValue& value = kept->mValues[index];
        WriteValue(mProperties[value.mWhich], KFbxGetNodePropertyInfo(static_cast<ENodeProperty>(value.mWhich)),
                   value.mValue);
    }
}

void KFbxNode::UpdatePropertiesFromPivotsAndLimits() {
    // Made first, the properties take the values.
    Handles();
    const KFbxNodePivotSet& pivots = PivotSet(eSOURCE_SET);
    WriteVector(mProperties[eRotationOffset], pivots.mRotationOffset);
    WriteVector(mProperties[eRotationPivot], pivots.mRotationPivot);
    WriteVector(mProperties[eScalingOffset], pivots.mScalingOffset);
    WriteVector(mProperties[eScalingPivot], pivots.mScalingPivot);
    WriteVector(mProperties[ePreRotation], pivots.mPreRotation);
    WriteVector(mProperties[ePostRotation], pivots.mPostRotation);
    WriteVector(mProperties[eGeometricTranslation], pivots.mGeometricTranslation);
    WriteVector(mProperties[eGeometricRotation], pivots.mGeometricRotation);
    WriteVector(mProperties[eGeometricScaling], pivots.mGeometricScaling);
    WriteInt(mProperties[eRotationOrder], pivots.mRotationOrder);
    WriteBool(mProperties[eRotationSpaceForLimitOnly], pivots.mRotationSpaceForLimitOnly);
    WriteBool(mProperties[eQuaternionInterpolate], pivots.mQuaternionInterpolate);
    for (const LimitProperties& limit : kLimitProperties) {
        const KFbxLimitRecord& record = mState.mLimits[limit.mKind];
        WriteBool(mProperties[limit.mActive], (record.mFlags & KFbxLimitRecord::kActive) != 0);
        for (int axis = 0; axis < 6; ++axis) {
            WriteBool(mProperties[limit.mMinX + axis], (record.mFlags & (KFbxLimitRecord::kMinX << axis)) != 0);
        }
        WriteVector(mProperties[limit.mMin], record.mMin);
        WriteVector(mProperties[limit.mMax], record.mMax);
    }
}

void KFbxNode::UpdatePivotsAndLimitsFromProperties() {
    const KFbxVector4 zero;
    const KFbxVector4 one(1.0, 1.0, 1.0, 1.0);
    const ENodeProperty zeroVectors[] = {eRotationOffset,  eRotationPivot, ePreRotation,          ePostRotation,
                                         eScalingOffset,   eScalingPivot,  eGeometricTranslation, eGeometricRotation};
    bool pivotsUsed = Differs(NodeVector(eGeometricScaling), one) ||
                      NodeInt(eRotationOrder) != 0 || NodeBool(eQuaternionInterpolate);
    for (ENodeProperty which : zeroVectors) {
        pivotsUsed = pivotsUsed || Differs(NodeVector(which), zero);
    }
    if (pivotsUsed) {
        SetRotationOffset(eSOURCE_SET, NodeVector(eRotationOffset));
        SetRotationPivot(eSOURCE_SET, NodeVector(eRotationPivot));
        SetPreRotation(eSOURCE_SET, NodeVector(ePreRotation));
        SetPostRotation(eSOURCE_SET, NodeVector(ePostRotation));
        SetScalingOffset(eSOURCE_SET, NodeVector(eScalingOffset));
        SetScalingPivot(eSOURCE_SET, NodeVector(eScalingPivot));
        SetGeometricTranslation(eSOURCE_SET, NodeVector(eGeometricTranslation));
        SetGeometricRotation(eSOURCE_SET, NodeVector(eGeometricRotation));
        SetGeometricScaling(eSOURCE_SET, NodeVector(eGeometricScaling));
        SetRotationOrder(eSOURCE_SET,
                         static_cast<ERotationOrder>(KFbxCheckedRotationOrder(NodeInt(eRotationOrder))));
        SetRotationSpaceForLimitOnly(eSOURCE_SET, NodeBool(eRotationSpaceForLimitOnly));
        SetQuaternionInterpolate(eSOURCE_SET, NodeBool(eQuaternionInterpolate));
        SetPivotState(eSOURCE_SET, 0);
        EditPivotSet(eDESTINATION_SET) = KFbxNodePivotSet();
    }

    bool limitsDiffer = false;
    for (const LimitProperties& limit : kLimitProperties) {
        const KFbxLimitRecord& record = mState.mLimits[limit.mKind];
        limitsDiffer = limitsDiffer ||
                       NodeBool(limit.mActive) != ((record.mFlags & KFbxLimitRecord::kActive) != 0) ||
                       Differs(NodeVector(limit.mMin), record.mMin) ||
                       Differs(NodeVector(limit.mMax), record.mMax);
        for (int axis = 0; axis < 6; ++axis) {
            limitsDiffer = limitsDiffer || NodeBool(limit.mMinX + axis) !=
                                               ((record.mFlags & (KFbxLimitRecord::kMinX << axis)) != 0);
        }
    }
    if (limitsDiffer) {
        const auto boolOf = [this](int which) { return NodeBool(which); };
        const auto vectorOf = [this](int which) { return NodeVector(which); };
        if (mLimits == nullptr && !HasHandles()) {
            // Properties not made give the limits every such node has: only
            // the records change, and the const getter reads the shared copy.
            KFbxLimits records(mState.mLimits);
            ReadLimitProperties(records, boolOf, vectorOf);
        } else {
            ReadLimitProperties(GetLimits(), boolOf, vectorOf);
        }
    }

    if (NodeBool(eQuaternionInterpolate)) {
        for (int index = 0; index < GetTakeNodeCount(); ++index) {
            KFbxTakeNode* takeNode = GetTakeNode(index);
            KFCurveNode* rotation = takeNode->GetKFCurveNode() != nullptr ? takeNode->GetKFCurveNode()->Find("R")
                                                                          : nullptr;
            if (rotation != nullptr) {
                rotation->SetQuaternionInterpolation(true);
            }
        }
    }
}

}  // namespace fbxsdk_2006_11_1
