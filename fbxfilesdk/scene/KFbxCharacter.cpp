#include <fbxfilesdk/scene/KFbxCharacter.h>

#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KProperty.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/scene/KFbxCharacterBackLink.h>
#include <fbxfilesdk/scene/KFbxCharacter_internal.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

#include <cmath>
#include <cstring>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

using Row = KFbxCharacterPropertyRow;

constexpr std::uint32_t kAnimatableFlags = KFbxProperty::kAnimatable | KFbxProperty::kPublicFlag8;
// The own flag that marks the parameter the take synchronisation follows.
constexpr std::uint32_t kSyncFlag = 0x01;

// The type code an input object must have, by input type; -1 for none.
int RequiredTypeCode(int inputType) {
    switch (inputType) {
        case KFbxCharacter::eActorInput:
            return 6;
        case KFbxCharacter::eCharacterInput:
            return 8;
        case KFbxCharacter::eControlSetInput:
            return 12;
        default:
            return -1;
    }
}

const KFbxDataType& DataTypeOf(const Row& row) {
    switch (row.mType) {
        case Row::eBool:
            return gKFbxDataTypeBool;
        case Row::eVector:
            // Three values and a fourth component of 1, as a homogeneous point.
            return gKFbxDataTypeVector4;
        case Row::eEnum:
            return gKFbxDataTypeEnum;
        case Row::eDouble:
            break;
    }
    return gKFbxDataTypeNumber;
}

void SetBool(KFbxProperty& property, bool value) { property.Set(&value, eFbxValueBool); }
void SetDouble(KFbxProperty& property, double value) { property.Set(&value, eFbxValueDouble); }
void SetEnum(KFbxProperty& property, int value) { property.Set(&value, eFbxValueEnum); }
void SetVector(KFbxProperty& property, const fbxDouble4& value) { property.Set(&value, eFbxValueDouble4); }

// The property's object sources, last first, give way to the object (if any).
void ReplaceObjectSources(KFbxProperty property, KFbxObject* object) {
    if (!property.IsValid()) {
        return;
    }
    for (int index = property.GetSrcCount(KFbxObject::ClassId) - 1; index >= 0; --index) {
        property.DisconnectSrc(property.GetSrc(index, KFbxObject::ClassId));
    }
    if (object != nullptr) {
        property.ConnectSrc(object);
    }
}

bool GetBool(const KFbxProperty& property) {
    bool value = false;
    property.Get(&value, eFbxValueBool);
    return value;
}

int GetEnum(const KFbxProperty& property) {
    int value = 0;
    property.Get(&value, eFbxValueEnum);
    return value;
}

// Truncated towards zero; values no int holds (NaN included) give 0.
int EnumFromDouble(double value) {
    if (!(value > -2147483649.0 && value < 2147483648.0)) {
        return 0;
    }
    return static_cast<int>(value);
}

}  // namespace


KFbxCharacter::KFbxCharacter(KFbxSdkManager* manager, const char* name)
    : KFbxConstraint(manager, name),
      mControlSet(std::make_unique<KFbxControlSet>(this)),
      mFilterSet(std::make_unique<KFbxCharacterFilterSet>()) {
    CreateInternal();
    CreateParameterProperties();
    // The twin's object lists follow the parameters.
    WrapInternalProperties();
    CreateLinkProperties();
    ConstructTwin();
}

KFbxCharacter::~KFbxCharacter() { ReleaseLinkNodes(); }

KFbxCharacter* KFbxCharacter::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxCharacter>(manager, ClassId, name);
}

KFbxPlug* KFbxCharacter::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxCharacter>(manager, name);
}

KFbxClassId KFbxCharacter::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxCharacter::NewInternalObject() { return new (std::nothrow) KFbxCharacter_Internal(this); }

void KFbxCharacter::DestroyContents(bool recursive, bool dependents) {
    Reset();
    KFbxConstraint::DestroyContents(recursive, dependents);
}

// ---- parameters -------------------------------------------------------------

void KFbxCharacter::CreateParameterProperties() {
    for (int index = 0; index < kCharacterPropertyCount; ++index) {
        const Row& row = *KFbxGetCharacterPropertyRow(index);
        // The object destroys the handle with itself.
        auto* handle = new (std::nothrow) KFbxProperty(this, row.mName, DataTypeOf(row), "");
        if (handle == nullptr) {
            continue;
        }
        if (row.mType == Row::eEnum) {
            for (int value = 0; const char* text = row.mEnumText(value); ++value) {
                handle->AddEnumValue(text);
            }
        }
        if (row.mAnimatable) {
            handle->ModifyFlag(kAnimatableFlags, true);
        }
        if (KProperty* bound = handle->GetKProperty()) {
            if (row.mSetter == Row::eReadOnly) {
                bound->SetOwnFlag32(true);
            }
            if (std::strcmp(row.mName, "SyncMode") == 0) {
                bound->SetFlag(kSyncFlag, true);
            }
        }
        mParameters[static_cast<std::size_t>(index)] = *handle;
    }
    LoadFromFilterSet();
}

void KFbxCharacter::LoadFromFilterSet() {
    const KFbxCharacterFilterSet& filterSet = *mFilterSet;
    const bool silent = mSilent;
    mSilent = true;
    for (int index = 0; index < kCharacterPropertyCount; ++index) {
        const Row& row = *KFbxGetCharacterPropertyRow(index);
        KFbxProperty& property = mParameters[static_cast<std::size_t>(index)];
        if (!property.IsValid()) {
            continue;
        }
        const int parameter = row.mParameter;
        const double value = row.mSource == Row::eNoParameter ? row.mInitial : filterSet.GetParameterValue(parameter);
        const int mode = row.mSource == Row::eNoParameter ? static_cast<int>(row.mInitial)
                                                          : filterSet.GetParameterMode(parameter);
        switch (row.mType) {
            case Row::eBool:
                SetBool(property, row.mSource == Row::eMode ? mode != 0 : value != 0.0);
                break;
            case Row::eDouble:
                SetDouble(property, value);
                break;
            case Row::eEnum:
                SetEnum(property, row.mSource == Row::eMode ? mode : EnumFromDouble(value));
                break;
            case Row::eVector:
                SetVector(property, fbxDouble4(filterSet.GetParameterValue(parameter),
                                               filterSet.GetParameterValue(parameter + 1),
                                               filterSet.GetParameterValue(parameter + 2), 1.0));
                break;
        }
    }
    mSilent = silent;
}

KFbxProperty KFbxCharacter::GetParameterProperty(int row) const {
    return row >= 0 && row < kCharacterPropertyCount ? mParameters[static_cast<std::size_t>(row)] : KFbxProperty();
}

int KFbxCharacter::ParameterRowOf(const KFbxProperty& property) const {
    if (!property.IsValid()) {
        return -1;
    }
    for (int index = 0; index < kCharacterPropertyCount; ++index) {
        if (mParameters[static_cast<std::size_t>(index)] == property) {
            return index;
        }
    }
    return -1;
}

void KFbxCharacter::PropertyChanged(KFbxProperty& property) {
    if (!mSilent) {
        const int row = ParameterRowOf(property);
        if (row >= 0) {
            const Row& info = *KFbxGetCharacterPropertyRow(row);
            if (info.mSetter == Row::eClamp) {
                const double value = property.GetDouble();
                // NaN takes the lower bound: no solver parameter may be NaN.
                const double clamped = !(value >= info.mMin) ? info.mMin : (value > info.mMax ? info.mMax : value);
                if (clamped != value || std::isnan(value)) {
                    // The clamped value comes back here and is stored then.
                    SetDouble(property, clamped);
                    return;
                }
            }
            ApplySetter(row, property);
        }
    }
    KFbxConstraint::PropertyChanged(property);
}

void KFbxCharacter::ApplySetter(int row, KFbxProperty& property) {
    const Row& info = *KFbxGetCharacterPropertyRow(row);
    KFbxCharacterFilterSet& filterSet = *mFilterSet;
    switch (info.mSetter) {
        case Row::eBoolMode:
            filterSet.SetParameterMode(info.mParameter, GetBool(property) ? 1 : 0);
            break;
        case Row::eEnumMode:
            filterSet.SetParameterMode(info.mParameter, GetEnum(property));
            break;
        case Row::eEnumValue:
            filterSet.SetParameterValue(info.mParameter, GetEnum(property));
            break;
        case Row::eClamp:
            filterSet.SetParameterValue(info.mParameter, property.GetDouble());
            break;
        case Row::eLocal:
        case Row::eReadOnly:
            break;
    }
}

// ---- input ------------------------------------------------------------------

KFbxObject* KFbxCharacter::FirstSource(const char* propertyName) const {
    const KFbxProperty property = FindProperty(propertyName);
    if (!property.IsValid() || property.GetSrcCount(KFbxObject::ClassId) == 0) {
        return nullptr;
    }
    return KFbxCastToObject(property.GetSrc(0, KFbxObject::ClassId));
}

void KFbxCharacter::SetCharacterInput(int inputType, KFbxObject* object) {
    const int typeCode = RequiredTypeCode(inputType);
    if (object == nullptr || typeCode < 0 || object->GetObjectTypeCode() != typeCode) {
        return;
    }
    ReplaceObjectSources(FindProperty("SourceObject"), object);
    if (inputType == eCharacterInput) {
        ReplaceObjectSources(FindProperty("Character"), object);
    } else if (inputType == eControlSetInput) {
        ReplaceObjectSources(FindProperty("ControlSet"), object);
    }
}

int KFbxCharacter::GetCharacterInputType() const {
    const KFbxObject* input = GetCharacterInputObject();
    if (input == nullptr) {
        return eNoInput;
    }
    for (int inputType : {eActorInput, eCharacterInput, eControlSetInput}) {
        if (input->GetObjectTypeCode() == RequiredTypeCode(inputType)) {
            return inputType;
        }
    }
    return eNoInput;
}

KFbxObject* KFbxCharacter::GetCharacterInputObject() const { return FirstSource("SourceObject"); }

KFbxObject* KFbxCharacter::GetControlSetInputObject() const { return FirstSource("ControlSet"); }

// ---- links ------------------------------------------------------------------

void KFbxCharacter::CreateLinkProperties() {
    for (int id = 0; id < kCharacterLinkCount; ++id) {
        KFbxCharacterLink& link = mLinks[static_cast<std::size_t>(id)];
        link.mPropertyLink = KFbxProperty();
        const char* name = nullptr;
        if (!GetCharacterGroupNameFromElement(id, name)) {
            continue;
        }
        KString propertyName(name);
        propertyName += "Link";
        link.mPropertyLink = KFbxProperty::Create(this, propertyName.Buffer(), gKFbxDataTypeObject, "");
    }
}

int KFbxCharacter::GetLinkIdOfProperty(const KFbxProperty& property) const {
    if (!property.IsValid()) {
        return -1;
    }
    for (int id = 0; id < kCharacterLinkCount; ++id) {
        if (mLinks[static_cast<std::size_t>(id)].mPropertyLink == property) {
            return id;
        }
    }
    return -1;
}

bool KFbxCharacter::GetCharacterLink(int linkId, KFbxCharacterLink* link) const {
    if (linkId < 0 || linkId >= kCharacterLinkCount) {
        return false;
    }
    const KFbxCharacterLink& stored = mLinks[static_cast<std::size_t>(linkId)];
    if (stored.mNode == nullptr && stored.mName.IsEmpty()) {
        return false;
    }
    if (link != nullptr) {
        *link = stored;
    }
    return true;
}

bool KFbxCharacter::SetCharacterLink(int linkId, const KFbxCharacterLink& link, bool connectProperty) {
    if (linkId < 0 || linkId >= kCharacterLinkCount) {
        return false;
    }
    KFbxCharacterLink& stored = mLinks[static_cast<std::size_t>(linkId)];
    const KFbxCharacterBackLink backLink{this, KFbxCharacterBackLink::eCharacterLink, linkId, 0};
    if (stored.mNode != nullptr) {
        stored.mNode->RemoveCharacterBackLink(backLink);
    }
    // The property belongs to the slot, whatever record is stored in it.
    const KFbxProperty property = stored.mPropertyLink;
    stored = link;
    stored.mPropertyLink = property;
    if (stored.mNode != nullptr) {
        stored.mNode->AddCharacterBackLink(backLink);
    }
    if (connectProperty && property.IsValid()) {
        const bool silent = mSilent;
        mSilent = true;
        ReplaceObjectSources(property, stored.mNode);
        mSilent = silent;
    }
    return true;
}

void KFbxCharacter::ForgetLinkNode(int linkId, const KFbxNode* node) {
    if (linkId >= 0 && linkId < kCharacterLinkCount && mLinks[static_cast<std::size_t>(linkId)].mNode == node) {
        mLinks[static_cast<std::size_t>(linkId)].mNode = nullptr;
    }
}

bool KFbxCharacter::ConnectNotify(const KFbxConnectEvent& event) {
    const bool result = KFbxConstraint::ConnectNotify(event);
    const bool took = event.mCode == eKFbxDstTookSrc;
    if (mSilent || (!took && event.mCode != eKFbxDstLeftSrc)) {
        return result;
    }
    const auto* handle = dynamic_cast<const KFbxProperty*>(event.mDst);
    if (handle == nullptr || handle->GetObject() != this) {
        return result;
    }
    const int linkId = GetLinkIdOfProperty(*handle);
    if (linkId < 0) {
        return result;
    }
    KFbxCharacterLink link = mLinks[static_cast<std::size_t>(linkId)];
    auto* node = dynamic_cast<KFbxNode*>(event.mSrc);
    if (took) {
        link.mNode = node;
    } else if (link.mNode == node) {
        // Only the node that fills the link empties it by leaving.
        link.mNode = nullptr;
    } else {
        return result;
    }
    SetCharacterLink(linkId, link, false);
    return result;
}

void KFbxCharacter::ReleaseLinkNodes() {
    for (int id = 0; id < kCharacterLinkCount; ++id) {
        KFbxCharacterLink& link = mLinks[static_cast<std::size_t>(id)];
        if (link.mNode != nullptr) {
            link.mNode->RemoveCharacterBackLink(
                KFbxCharacterBackLink{this, KFbxCharacterBackLink::eCharacterLink, id, 0});
            link.mNode = nullptr;
        }
    }
}

void KFbxCharacter::Reset() {
    SetInitialName("");
    ReleaseLinkNodes();
    for (KFbxCharacterLink& link : mLinks) {
        const KFbxProperty property = link.mPropertyLink;
        link.Reset();
        link.mPropertyLink = property;
    }
    mControlSet->Reset();
}

// ---- node destruction -------------------------------------------------------

void KFbxCharacterReleaseNode(const KFbxCharacterBackLink& backLink, const KFbxNode* node) {
    KFbxCharacter* owner = backLink.mOwner;
    if (owner == nullptr) {
        return;
    }
    KFbxControlSet& controlSet = owner->GetControlSet();
    switch (backLink.mKind) {
        case KFbxCharacterBackLink::eCharacterLink:
            owner->ForgetLinkNode(backLink.mIndex, node);
            break;
        case KFbxCharacterBackLink::eControlSetLink:
            controlSet.ForgetLinkNode(backLink.mIndex, node);
            break;
        case KFbxCharacterBackLink::eEffector:
            controlSet.ForgetEffectorNode(backLink.mIndex, node);
            break;
        case KFbxCharacterBackLink::eEffectorAux:
            controlSet.ForgetEffectorAuxNode(backLink.mIndex, backLink.mSubIndex, node);
            break;
        default:
            break;
    }
}

}  // namespace fbxsdk_2006_11_1
