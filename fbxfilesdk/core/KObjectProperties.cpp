// KObject: its property list, dynamic and reference properties, copying,
// merging and moving connections to another object.
#include <fbxfilesdk/core/KObject.h>

#include <fbxfilesdk/core/KFreshPropertyNamesScope.h>
#include <fbxfilesdk/core/KListFind.h>
#include <fbxfilesdk/core/KListGrowth.h>
#include <fbxfilesdk/core/KPlugClassRegistry.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/core/KProperty.h>
#include <fbxfilesdk/core/KPropertyTemplate.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

bool SameName(const KProperty* property, const char* name) {
    return std::strcmp(property->GetName(), name) == 0;
}

KProperty* AsProperty(KPlug* plug) {
    return plug != nullptr && plug->IsType(gKPropertyClassInfo.GetId()) ? static_cast<KProperty*>(plug) : nullptr;
}

}  // namespace

// ---- the list -------------------------------------------------------------

void KObject::MakePendingPropertiesNow() { mPropertiesPending = false; }

int KObject::GetPropertyCount() const {
    MakePendingProperties();
    return static_cast<int>(mProperties.size());
}

KProperty* KObject::GetPropertyAt(int index) const {
    MakePendingProperties();
    return mProperties[static_cast<std::size_t>(index)];
}

int KObject::IndexOfProperty(const KProperty* property) const {
    MakePendingProperties();
    // A property is listed once.
    return KFindFromEnds(mProperties, property);
}

const char* KPropertyNameOf(const KProperty* property) { return property->GetName(); }

void KObject::PropertyRenamed(const KProperty* property) {
    const int index = IndexOfProperty(property);
    if (index != -1) {
        mPropertyIndex.Renamed(static_cast<std::size_t>(index));
    }
}

KProperty* KObject::FindProperty(const char* name) const {
    if (name == nullptr) {
        return nullptr;
    }
    MakePendingProperties();
    bool answered = false;
    KProperty* indexed = mPropertyIndex.Find(mProperties, name, answered);
    if (answered) {
        return indexed;
    }
    for (KProperty* property : mProperties) {
        if (SameName(property, name)) {
            return property;
        }
    }
    return nullptr;
}

int KObject::GetUserPropertyCount() const {
    MakePendingProperties();
    return static_cast<int>(
        std::count_if(mProperties.begin(), mProperties.end(), [](const KProperty* p) { return p->IsUser(); }));
}

KProperty* KObject::GetUserPropertyAt(int index) const {
    MakePendingProperties();
    for (KProperty* property : mProperties) {
        if (property->IsUser() && index-- == 0) {
            return property;
        }
    }
    return nullptr;
}

void KObject::ReserveProperties(int count) {
    if (count > 0) {
        KReserveMore(mProperties, static_cast<std::size_t>(count));
    }
}

int KObject::AddProperty(KProperty* property) {
    MakePendingProperties();
    if (property == nullptr || (property->mListings != 0 && IndexOfProperty(property) != -1)) {
        return -1;
    }
    const bool dynamic = property->IsDynamic();
    OnPropertyListChange(eKObjectPropertyAdding, property, dynamic);
    try {
        KReserveOneMore(mProperties);
        mProperties.push_back(property);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return -1;
    }
    ++property->mListings;
    EnterWorldIndex(property);
    OnPropertyListChange(eKObjectPropertyAdded, property, dynamic);
    return -1;
}

bool KObject::RemovePropertyAt(int index) {
    if (index < 0 || index >= GetPropertyCount()) {
        return false;
    }
    KProperty* property = mProperties[static_cast<std::size_t>(index)];
    const bool dynamic = property->IsDynamic();
    OnPropertyListChange(eKObjectPropertyRemoving, property, dynamic);
    DestroyReferencesTo(property);
    // References destroyed above may have been this object's own: look again.
    ForgetProperty(property);
    OnPropertyListChange(eKObjectPropertyRemoved, property, dynamic);
    return true;
}

void KObject::ForgetProperty(KProperty* property) {
    const int index = IndexOfProperty(property);
    if (index != -1) {
        LeaveWorldIndex(property);
        mPropertyIndex.Removing(static_cast<std::size_t>(index), property);
        mProperties.erase(mProperties.begin() + index);
        --property->mListings;
    }
}

bool KObject::DestroyPropertyAt(int index) {
    if (index < 0 || index >= GetPropertyCount()) {
        return false;
    }
    KProperty* property = mProperties[static_cast<std::size_t>(index)];
    if (!RemovePropertyAt(index)) {
        return false;
    }
    if (property->IsDynamic()) {
        property->Release();
        return true;
    }
    // A static property belongs to the code that made it: it only lets go of
    // its connections and of this object.
    property->DisconnectAllSrc();
    property->DisconnectAllDst();
    if (property->GetParent() == this) {
        RemoveChild(property);
    }
    return true;
}

void KObject::RemoveAllProperties() {
    ForgetPropertyNames();
    for (int i = GetPropertyCount() - 1; i >= 0; i = std::min(i - 1, GetPropertyCount() - 1)) {
        DestroyPropertyAt(i);
    }
}

void KObject::ReleaseRemainingProperties() {
    ForgetPropertyNames();
    while (!mProperties.empty()) {
        KProperty* property = mProperties.back();
        mPropertyIndex.Removing(mProperties.size() - 1, property);
        mProperties.pop_back();
        --property->mListings;
        LeaveWorldIndex(property);
        if (property->GetParent() == this) {
            RemoveChild(property);
        }
        if (property->IsDynamic()) {
            property->Release();
        }
    }
}

bool KObject::DestroyReferencesTo(KProperty* property) {
    if (property == nullptr || property->IsReference()) {
        return true;
    }
    for (int i = property->GetDstCount() - 1; i >= 0; i = std::min(i - 1, property->GetDstCount() - 1)) {
        KProperty* reference = AsProperty(property->KPlug::GetDst(i));
        if (reference == nullptr || !reference->IsReference()) {
            continue;
        }
        KObject* owner = reference->GetOwnerObject();
        const int at = owner != nullptr ? owner->IndexOfProperty(reference) : -1;
        if (at != -1) {
            owner->DestroyPropertyAt(at);
        }
    }
    return true;
}

void KObject::CleanUpAfterDisconnect(KPlug* plug) {
    if (IsBeingDestroyed() || plug == nullptr || plug == this) {
        return;
    }
    KProperty* property = AsProperty(plug);
    if (property == nullptr || !property->IsReference() || property->GetSrcProperty(0) != nullptr ||
        (property->GetFlags() & kBeingDestroyed) != 0) {
        return;
    }
    KObject* owner = property->GetOwnerObject();
    if (owner == nullptr || owner->IsBeingDestroyed()) {
        return;
    }
    const int index = owner->IndexOfProperty(property);
    if (index != -1) {
        owner->DestroyPropertyAt(index);
    }
}

// ---- making properties ----------------------------------------------------

KProperty* KObject::CreateDynamicProperty(const char* name, int type, KDataType* dataType, bool animatable,
                                          bool user, KProperty* referenced, bool returnExisting) {
    MakePendingProperties();
    if ((mObjectFlags & kObjectFlagNoUserProperties) != 0 && user && type != eKPropertyReference) {
        return nullptr;
    }
    if (name == nullptr) {
        name = "";
    }
    KString unique(name);
    for (int n = 0; KProperty* existing = FindProperty(unique.Buffer()); ++n) {
        if (returnExisting) {
            return existing;
        }
        unique = KString(name) + " " + n;
        if (!unique.IsOK()) {
            return nullptr;
        }
    }
    return NewListedProperty(KProperty::StoredName(unique.Buffer()), type, dataType, animatable, user, referenced);
}

KProperty* KObject::CreateDynamicProperty(const KInternedText& name, int type, KDataType* dataType,
                                          bool animatable, bool user, KProperty* referenced, bool returnExisting) {
    MakePendingProperties();
    // A name that is free and needs no quotes taken out is stored as given,
    // without being looked up or interned again; any other goes the long way.
    if (std::strchr(name.Get(), '"') != nullptr ||
        (!KFreshPropertyNamesScope::Covers(this) && FindProperty(name.Get()) != nullptr)) {
        return CreateDynamicProperty(name.Get(), type, dataType, animatable, user, referenced, returnExisting);
    }
    if ((mObjectFlags & kObjectFlagNoUserProperties) != 0 && user && type != eKPropertyReference) {
        return nullptr;
    }
    return NewListedProperty(name, type, dataType, animatable, user, referenced);
}

KProperty* KObject::NewListedProperty(const KInternedText& name, int type, KDataType* dataType, bool animatable,
                                      bool user, KProperty* referenced) {
    // Of the codes the factory knows, character pointers are not made here.
    KProperty* property =
        type != eKPropertyCharPtr ? NewDynamicProperty(type, this, name, dataType, user, referenced) : nullptr;
    if (property == nullptr) {
        return nullptr;
    }
    property->SetMinMax(0.0, 100.0);
    if (animatable) {
        property->GetInfo().SetFlag(KPropertyInfo::kAnimatable, true);
    }
    return property;
}

KProperty* KObject::CreateReferenceProperty(KProperty* property, const char* name) {
    if (property == nullptr || property->GetType() == eKPropertyObject) {
        return nullptr;
    }
    const bool named = name != nullptr && name[0] != '\0';
    KString referenceName;
    if (named) {
        referenceName = name;
    } else {
        const KObject* owner = property->GetOwnerObject();
        referenceName = KString(owner != nullptr ? owner->GetName() : "") + "." + property->GetName();
    }
    KProperty* reference =
        CreateDynamicProperty(referenceName.Buffer(), eKPropertyReference, nullptr, false, false, property, false);
    if (reference == nullptr) {
        return nullptr;
    }
    if (reference->HasSrc(property)) {
        if (named) {
            reference->GetInfo().SetFlag(KPropertyInfo::kNamedReference, true);
        }
        reference->SetMinMax(property->GetMin(), property->GetMax());
        return reference;
    }
    const int index = IndexOfProperty(reference);
    if (index != -1) {
        DestroyPropertyAt(index);
    }
    return nullptr;
}

KProperty* KObject::CloneProperty(KProperty* property) {
    if (property == nullptr) {
        return nullptr;
    }
    KDataType* dataType = nullptr;
    int type = property->GetType();
    if (property->IsAnimatable()) {
        dataType = property->GetDataType();
        type = PropertyTypeFromDataType(dataType);
    }
    KProperty* referenced = property->IsReference() ? property->GetReferencedProperty() : nullptr;
    KProperty* clone = CreateDynamicProperty(property->GetName(), type, dataType, property->IsAnimatable(),
                                             property->IsUser(), referenced, false);
    if (clone != nullptr) {
        clone->SetMinMax(property->GetMin(), property->GetMax());
    }
    return clone;
}

// ---- copying --------------------------------------------------------------

void KObject::CopyFrom(KObject* source, std::uint32_t parts) {
    if (source == nullptr) {
        return;
    }
    if ((parts & kCopyValues) != 0) {
        CopyPropertyValues(source);
    }
    if ((parts & kCopyData) != 0) {
        CopyPropertyData(source);
    }
    if ((parts & kCopyCloneUserProperties) != 0 && source != this) {
        for (int i = 0; i < source->GetUserPropertyCount(); ++i) {
            CloneProperty(source->GetUserPropertyAt(i));
        }
    }
    if ((parts & kCopyUserValues) != 0) {
        CopyUserPropertyValues(source);
    }
}

void KObject::CopyPropertyValues(KObject* source) { CopyCommonProperties(source, false); }

void KObject::CopyPropertyData(KObject* source) { CopyCommonProperties(source, true); }

void KObject::CopyCommonProperties(KObject* source, bool data) {
    if (source == nullptr || source == this || !IsType(source->GetTypeId())) {
        return;
    }
    // Counts are read again at each step: a copy is announced, and listeners
    // may change the lists.
    for (int i = 0; i < std::min(source->GetPropertyCount(), GetPropertyCount()); ++i) {
        KProperty* from = source->GetPropertyAt(i);
        KProperty* same = GetPropertyAt(i);
        if (from == nullptr || same == nullptr || from->IsAnimatable() || same->IsAnimatable()) {
            continue;
        }
        KProperty* to = SameName(same, from->GetName()) ? same : FindProperty(from->GetName());
        if (to == nullptr) {
            continue;
        }
        if (data) {
            to->CopyData(from);
        } else {
            to->Assign(from);
        }
    }
}

void KObject::CopyUserPropertyValues(KObject* source) {
    if (source == nullptr || source == this) {
        return;
    }
    MakePendingProperties();
    for (int i = 0; i < source->GetUserPropertyCount(); ++i) {
        KProperty* from = source->GetUserPropertyAt(i);
        for (KProperty* to : mProperties) {
            if (to->IsUser() && SameName(to, from->GetName())) {
                to->Assign(from);
                break;
            }
        }
    }
}

// ---- merging and moving ---------------------------------------------------

bool KObject::MergeInto(KObject* target, std::uint32_t flags, KEventWord second, KObject* excluded1,
                        KObject* excluded2) {
    if (target == nullptr || target == this) {
        return false;
    }
    if ((flags & kMergeValues) != 0) {
        target->CopyPropertyValues(this);
    }
    if ((flags & (kMergeDsts | kMergeSrcs | kMergeClearState)) != 0 && mState != 0) {
        SetState(0);
    }
    if ((flags & kMergeDsts) != 0) {
        MoveConnectionsTo(kMoveDsts, second, target, excluded1, excluded2);
    }
    if ((flags & kMergeSrcs) != 0) {
        MoveConnectionsTo(kMoveSrcs, second, target, excluded1, excluded2);
    }
    return true;
}

bool KObject::IsNotEntity(KPlug* plug) { return plug == nullptr || !plug->IsType(gKEntityClassInfo.GetId()); }

bool KObject::MoveConnectionsTo(int mode, KEventWord, KObject* target, KObject* excluded1, KObject* excluded2) {
    if (mode != kMoveSrcs && mode != kMoveDsts) {
        return true;
    }
    if (target == nullptr || target == this) {
        return false;
    }
    MovePlugConnections(mode, this, target, target, excluded1, excluded2);
    for (int i = 0; i < GetPropertyCount(); ++i) {
        KProperty* property = mProperties[static_cast<std::size_t>(i)];
        if ((property->GetFlags() & kIsView) != 0) {
            continue;
        }
        if (KProperty* same = target->FindProperty(property->GetName())) {
            MovePlugConnections(mode, property, same, target, excluded1, excluded2);
        }
    }
    return true;
}

void KObject::MovePlugConnections(int mode, KPlug* from, KPlug* to, KObject* target, KObject* excluded1,
                                  KObject* excluded2) {
    // Only the object itself asks the target's permission; its properties
    // follow their object.
    const bool toIsObject = to == target;
    if (mode == kMoveSrcs) {
        KObject* root = GetRootObject();
        for (int i = from->GetSrcCount() - 1; i >= 0; i = std::min(i - 1, from->GetSrcCount() - 1)) {
            KPlug* src = from->KPlug::GetSrc(i);
            if (root != nullptr && !root->AcceptsMovedConnection(src)) {
                continue;
            }
            if (IsExcluded(src, excluded1, excluded2) || to->HasSrc(src) ||
                (toIsObject && !target->AcceptsMovedConnection(src))) {
                from->DisconnectSrc(src);
            } else {
                src->ReplaceDst(from, to, -1);
            }
        }
        return;
    }
    for (int i = from->GetDstCount() - 1; i >= 0; i = std::min(i - 1, from->GetDstCount() - 1)) {
        KPlug* dst = from->KPlug::GetDst(i);
        if (dst->IsType(gKEntityClassInfo.GetId())) {
            continue;
        }
        if (IsExcluded(dst, excluded1, excluded2) || to->HasDst(dst) || !target->IsNotEntity(dst)) {
            from->DisconnectDst(dst);
        } else {
            dst->ReplaceSrc(from, to, -1);
        }
    }
}

bool KObject::IsExcluded(KPlug* plug, KObject* excluded1, KObject* excluded2) {
    if (excluded1 == nullptr && excluded2 == nullptr) {
        return false;
    }
    KObject* root = RootObjectOf(plug);
    if (root == nullptr) {
        return false;
    }
    const char* fullName = root->GetFullName();
    return (excluded1 != nullptr && excluded1->HoldsObjectNamed(fullName)) ||
           (excluded2 != nullptr && excluded2->HoldsObjectNamed(fullName));
}

bool KObject::CanBeMovedTo(KObject* target) {
    for (int i = 0; i < KPlug::GetDstCount(); ++i) {
        KObject* owner = RootObjectOf(KPlug::GetDst(i));
        if (owner != nullptr && owner != this && !owner->AllowsMoveOf(this, target)) {
            return false;
        }
    }
    return true;
}

bool KObject::AcceptsMovedConnection(KPlug*) { return true; }

bool KObject::AllowsMoveOf(KObject*, KObject*) { return true; }

bool KObject::HoldsObjectNamed(const char*) { return false; }

}  // namespace fbxsdk_2006_11_1
