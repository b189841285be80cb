#include <fbxfilesdk/core/KFbxProperty.h>

#include <fbxfilesdk/core/KDataType.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxObject_internal.h>
#include <fbxfilesdk/core/KFbxProperty_internal.h>
#include <fbxfilesdk/core/KProperty.h>
#include <fbxfilesdk/core/KPropertyTemplate.h>
#include <fbxfilesdk/core/KPropertyType.h>
#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <new>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

// The room an enum takes for its values at the first.
constexpr std::size_t kFirstEnumRoom = 8;

// Data types by the type code of an internal property that names none.
const char* const kDataTypeOfCode[] = {nullptr,      "Integer", "Bool",          "Float",  "Number", "charptr",
                                       "Enum",       "Time",    "KString",       "object", "event",  "stringlist",
                                       "Vector4",    "Vector",  "Color",         "ColorAndAlpha", "Action",
                                       "Reference"};

// The internal type code that holds values of a value type, for data types
// the internal layer knows by no name.
int TypeCodeOfValueType(EFbxValueType type) {
    switch (type) {
        case eFbxValueBool:
            return eKPropertyBool;
        case eFbxValueInteger:
            return eKPropertyInt;
        case eFbxValueFloat:
        case eFbxValueDouble:
            return eKPropertyDouble;
        case eFbxValueDouble3:
            return eKPropertyVector3D;
        case eFbxValueDouble4:
            return eKPropertyVector4D;
        case eFbxValueDouble44:
            return eKPropertyMatrix4x4;
        case eFbxValueEnum:
            return eKPropertyEnum;
        case eFbxValueString:
            return eKPropertyString;
        case eFbxValueTime:
            return eKPropertyTime;
        default:
            return eKPropertyUnknown;
    }
}

// The internal layer's data type and property type code for a data type.
struct ResolvedDataType {
    KDataType* mKDataType = nullptr;
    int mCode = eKPropertyUnknown;
};

ResolvedDataType ResolveDataType(const KFbxDataType& dataType) {
    const char* typeName = dataType.GetName();
    ResolvedDataType resolved;
    resolved.mKDataType = KDataType::Find(typeName);
    resolved.mCode = resolved.mKDataType != nullptr ? PropertyTypeFromDataType(resolved.mKDataType)
                                                    : KPropertyTypeFromName(typeName);
    if (resolved.mCode == eKPropertyCharPtr) {
        resolved.mCode = eKPropertyString;
    }
    return resolved;
}

// What binding learns of a data type other than the null one and streams,
// packed as the data type's record keeps it: the internal data type of its
// name, and a byte each for that name's type code, the code and layout of
// the internal property binding makes, then flags.
struct BindingNote {
    static constexpr std::uint32_t kMade = 1u << 24;
    static constexpr std::uint32_t kByName = 1u << 25;
    static constexpr std::uint32_t kKeepsValue = 1u << 26;

    KDataType* mKDataType = nullptr;
    std::uint32_t mBits = 0;

    // The internal data type and property type code of the data type's name.
    int ResolvedCode() const { return static_cast<int>(mBits & 0xffu); }
    // The record binding makes, by the steps binding takes: the type code of
    // the data type's name, else that of its value type.
    bool Made() const { return (mBits & kMade) != 0; }
    int RecordCode() const { return static_cast<int>((mBits >> 8) & 0xffu); }
    KPropertyValueLayout RecordLayout() const { return static_cast<KPropertyValueLayout>((mBits >> 16) & 0xffu); }
    KDataType* RecordDataType() const { return (mBits & kByName) != 0 ? mKDataType : nullptr; }
    // Whether a value set before the record is made may wait in the handle.
    bool KeepsValue() const { return (mBits & kKeepsValue) != 0; }
};

static_assert(eKPropertyTypeCount <= 256 && static_cast<int>(KPropertyValueLayout::eDouble16) < 256);

// Whether a value of the type comes back from the internal property as it
// went in, so that it may wait in the handle until the property is made.
bool KeepsValue(EFbxValueType type, KPropertyValueLayout layout) {
    switch (type) {
        case eFbxValueBool:
            return layout == KPropertyValueLayout::eByte;
        case eFbxValueInteger:
        case eFbxValueEnum:
            return layout == KPropertyValueLayout::eInt32;
        case eFbxValueFloat:
        case eFbxValueDouble:
            return layout == KPropertyValueLayout::eDouble;
        case eFbxValueDouble3:
        case eFbxValueDouble4:
            return layout == KPropertyValueLayout::eDouble4;
        case eFbxValueDouble44:
            return layout == KPropertyValueLayout::eDouble16;
        case eFbxValueTime:
            return layout == KPropertyValueLayout::eTime;
        case eFbxValueString:
            return layout == KPropertyValueLayout::eString;
        case eFbxValueReference:
            // Stores no value: the internal property is never told one.
            return true;
        default:
            return false;
    }
}

BindingNote MakeBindingNote(const KFbxDataType& dataType) {
    const ResolvedDataType resolved = ResolveDataType(dataType);
    int code = eKPropertyUnknown;
    KPropertyValueLayout layout = KPropertyValueLayout::eNone;
    bool made = false;
    bool byName = false;
    if (resolved.mCode != eKPropertyUnknown && DynamicPropertyStorage(resolved.mCode, code, layout)) {
        made = true;
        byName = true;
    } else {
        const int byValue = TypeCodeOfValueType(dataType.GetType());
        made = byValue != eKPropertyUnknown && byValue != resolved.mCode &&
               DynamicPropertyStorage(byValue, code, layout);
    }
    const bool keeps = made && KeepsValue(dataType.GetType(), layout);
    BindingNote note;
    note.mKDataType = resolved.mKDataType;
    note.mBits = static_cast<std::uint32_t>(resolved.mCode) | static_cast<std::uint32_t>(code) << 8 |
                 static_cast<std::uint32_t>(layout) << 16 | (made ? BindingNote::kMade : 0) |
                 (byName ? BindingNote::kByName : 0) | (keeps ? BindingNote::kKeepsValue : 0);
    return note;
}

// Objects bind many properties of few data types: the answer is kept on the
// data type's record while the registry of the internal layer stays as it was.
BindingNote NoteOf(const KFbxDataType& dataType) {
    const KFbxDataTypeHead* head = dataType.GetHead();
    const std::uint64_t generation = KDataType::GetRegistryGeneration() + 1;
    if (head->mNoteGeneration.load(std::memory_order_acquire) == generation) {
        BindingNote note;
        note.mKDataType = static_cast<KDataType*>(head->mNoteType.load(std::memory_order_relaxed));
        note.mBits = head->mNote.load(std::memory_order_relaxed);
        return note;
    }
    const BindingNote note = MakeBindingNote(dataType);
    head->mNoteGeneration.store(0, std::memory_order_relaxed);
    head->mNoteType.store(note.mKDataType, std::memory_order_relaxed);
    head->mNote.store(note.mBits, std::memory_order_relaxed);
    head->mNoteGeneration.store(generation, std::memory_order_release);
    return note;
}

// Binding makes no record for the null data type and streams.
bool MayBind(const KFbxDataType& dataType) {
    return dataType != KFbxDataType() && dataType.GetType() != eFbxValueStream;
}

bool StoresThreeComponents(const KProperty* property) {
    return property->GetType() == eKPropertyVector3D || property->GetType() == eKPropertyColorRGB;
}

// Both values read as this property's value type, then compared.
template <class T, class Equal = std::equal_to<>>
bool SameValue(const KFbxProperty& a, const KFbxProperty& b, Equal equal = {}) {
    const EFbxValueType type = a.GetPropertyDataType().GetType();
    T x{};
    T y{};
    return a.Get(&x, type) && b.Get(&y, type) && equal(x, y);
}

const std::uint32_t kInfoMirrors[][2] = {{KFbxProperty::kAnimatable, KPropertyInfo::kAnimatable},
                                         {KFbxProperty::kUser, KPropertyInfo::kUser},
                                         {KFbxProperty::kPublicFlag4, KPropertyInfo::kPublicFlag4}};

}  // namespace


KFbxProperty& KFbxProperty::operator=(const KFbxProperty& other) {
    mInternal = other.mInternal;
    return *this;
}

KFbxProperty::KFbxProperty(KFbxObject* object, const char* name, const KFbxDataType& dataType, const char* label)
    : KFbxProperty(object, KInternedText(name), dataType, KInternedText(label)) {}

KFbxProperty::KFbxProperty(KFbxObject* object, const KInternedText& name, const KFbxDataType& dataType,
                           const KInternedText& label)
    : mInternal(new (std::nothrow) KFbxProperty_internal(this, object != nullptr ? object->GetSdkManager() : nullptr,
                                                           name, dataType, label)),
      mIsCreator(mInternal != nullptr) {
    if (object != nullptr && mInternal != nullptr) {
        object->RegisterNewProperty(this);
    }
}

KFbxProperty::KFbxProperty(KFbxSdkManager* manager, const char* name, const KFbxDataType& dataType,
                           const char* label)
    : mInternal(new (std::nothrow) KFbxProperty_internal(this, manager, name, dataType, label)),
      mIsCreator(mInternal != nullptr) {}

KFbxProperty::~KFbxProperty() {
    if (mIsCreator && mInternal != nullptr) {
        if (mInternal->mOwner != nullptr) {
            mInternal->mOwner->UnregisterProperty(this);
        }
        DestroyInternal();
    }
}

KFbxProperty KFbxProperty::Create(KFbxObject* object, const char* name, const KFbxDataType& dataType,
                                  const char* label, bool force) {
    if (object == nullptr) {
        return KFbxProperty();
    }
    if (!force) {
        KFbxProperty existing = object->FindProperty(name, true);
        if (existing.IsValid()) {
            return existing;
        }
    }
    return Create(object, KInternedText(name), dataType, KInternedText(label), true);
}

KFbxProperty KFbxProperty::Create(KFbxObject* object, const KInternedText& name, const KFbxDataType& dataType,
                                  const KInternedText& label, bool force) {
    if (object == nullptr) {
        return KFbxProperty();
    }
    if (!force) {
        KFbxProperty existing = object->FindProperty(name.Get(), true);
        if (existing.IsValid()) {
            return existing;
        }
    }
    auto* handle = new (std::nothrow) KFbxProperty(object, name, dataType, label);
    if (handle == nullptr) {
        return KFbxProperty();
    }
    if (!handle->IsValid()) {
        delete handle;
        return KFbxProperty();
    }
    return *handle;
}

void KFbxProperty::InitOnObject(KFbxObject* object, const char* name, const KFbxDataType& dataType,
                                const char* label) {
    if (object == nullptr) {
        return;
    }
    KFbxProperty existing = object->FindProperty(name, true);
    if (existing.IsValid()) {
        mInternal = existing.mInternal;
        return;
    }
    InitOnNewObject(object, name, dataType, label);
}

void KFbxProperty::InitOnNewObject(KFbxObject* object, const char* name, const KFbxDataType& dataType,
                                   const char* label) {
    if (object != nullptr) {
        InitOnNewObject(object, KInternedText(name), dataType, KInternedText(label));
    }
}

void KFbxProperty::InitOnNewObject(KFbxObject* object, const KInternedText& name, const KFbxDataType& dataType,
                                   const KInternedText& label) {
    if (object == nullptr) {
        return;
    }
    // This handle is the creator: a separate heap handle would be left to
    // no one once the member flag keeps Destroy from deleting it.
    mInternal = new (std::nothrow) KFbxProperty_internal(this, object->GetSdkManager(), name, dataType, label);
    if (mInternal != nullptr) {
        mIsCreator = true;
        mInternal->mFlags |= kMember;
        object->RegisterNewProperty(this);
    }
}

KFbxProperty* KFbxProperty::CreateForKProperty(KFbxSdkManager* manager, KProperty* property) {
    if (property == nullptr) {
        return nullptr;
    }
    auto* handle = new (std::nothrow) KFbxProperty();
    if (handle == nullptr) {
        return nullptr;
    }
    KFbxDataType dataType;
    if (const KDataType* kDataType = property->GetDataType()) {
        dataType = KFbxGetDataTypeByName(kDataType->GetName());
    } else if (property->GetType() > 0 &&
               property->GetType() < static_cast<int>(sizeof(kDataTypeOfCode) / sizeof(kDataTypeOfCode[0]))) {
        dataType = KFbxGetDataTypeByName(kDataTypeOfCode[property->GetType()]);
    }
    const char* label = property->GetLabel();
    handle->mInternal =
        new (std::nothrow) KFbxProperty_internal(handle, manager, property->GetName(), dataType, label);
    KFbxProperty_internal* internal = handle->mInternal;
    handle->mIsCreator = internal != nullptr;
    if (internal == nullptr) {
        delete handle;
        return nullptr;
    }
    internal->mLink = property;
    if (KFbxProperty_internal::Rare* rare = internal->MakeRare()) {
        rare->mMin = property->GetMin();
        rare->mMax = property->GetMax();
    }
    const KPropertyInfo& info = property->GetInfo();
    for (const auto& mirror : kInfoMirrors) {
        if (info.TestFlag(mirror[1])) {
            internal->mFlags |= mirror[0];
        }
    }
    if (property->TestOwnFlag(KProperty::kOwnPublicFlag8)) {
        internal->mFlags |= kPublicFlag8;
    }
    if (const KStringList* names = property->GetEnumList(false)) {
        if (KFbxProperty_internal::Rare* rare = internal->MakeRare()) {
            try {
                std::vector<KInternedText>& own = rare->OwnEnumNames();
                own.reserve(static_cast<std::size_t>(names->GetCount()));
                for (int i = 0; i < names->GetCount(); ++i) {
                    own.emplace_back(names->GetStringAt(i));
                }
            } catch (const std::bad_alloc&) {
                SdkNoteAllocationFailure();
            }
        }
    }
    return handle;
}

KFbxPlug* KFbxProperty::CreateFn(KFbxSdkManager* manager, const char* name) {
    auto* handle = new (std::nothrow) KFbxProperty(manager, name, KFbxDataType(), "");
    if (handle != nullptr) {
        handle->CreateInternal();
    }
    return handle;
}

// ---- plug operations --------------------------------------------------------

KFbxClassId KFbxProperty::GetClassId() const { return ClassId; }

void KFbxProperty::Destroy(bool, bool) {
    if (mInternal == nullptr) {
        return;
    }
    const bool member = (mInternal->mFlags & kMember) != 0;
    auto* creator = static_cast<KFbxProperty*>(mInternal->GetPublicPlug());
    if (mInternal->mOwner != nullptr) {
        mInternal->mOwner->UnregisterProperty(this);
    }
    DestroyInternal();
    if (creator != nullptr) {
        // The creator (possibly this handle) must not reach the freed property.
        creator->mInternal = nullptr;
        if (!member) {
            delete creator;
        }
    }
}

void KFbxProperty::DestroyInternal() {
    KFbxProperty_internal* internal = mInternal;
    if (internal == nullptr) {
        return;
    }
    // Disconnecting still asks the creator its class, so it is let go last.
    internal->Destroy();
    internal->SetPublicPlug(nullptr);
    delete internal;
    mInternal = nullptr;
}

KFbxSdkManager* KFbxProperty::GetSdkManager() const { return mInternal != nullptr ? mInternal->mManager : nullptr; }

void KFbxProperty::SetUserData(void* data) {
    if (mInternal != nullptr && (data != nullptr || mInternal->mRare != nullptr)) {
        if (KFbxProperty_internal::Rare* rare = mInternal->MakeRare()) {
            rare->mUserData = data;
        }
    }
}

void* KFbxProperty::GetUserData() const { return mInternal != nullptr ? mInternal->GetRare().mUserData : nullptr; }

bool KFbxProperty::ConnectNotify(const KFbxConnectEvent& event) {
    KFbxObject* owner = GetObject();
    return owner != nullptr && owner->ConnectNotify(event);
}

KPlug* KFbxProperty::GetInternalPlug() const { return mInternal; }

// ---- attributes -------------------------------------------------------------

const char* KFbxProperty::GetName() const { return mInternal != nullptr ? mInternal->mName.Get() : ""; }

const char* KFbxProperty::GetLabel() const {
    if (mInternal == nullptr) {
        return "";
    }
    return mInternal->mLabel.IsEmpty() ? mInternal->mName.Get() : mInternal->mLabel.Get();
}

KFbxDataType KFbxProperty::GetPropertyDataType() const {
    return mInternal != nullptr ? mInternal->mDataType : KFbxDataType();
}

void KFbxProperty::SetMinLimit(double min) {
    if (mInternal != nullptr) {
        if (KFbxProperty_internal::Rare* rare = mInternal->MakeRare()) {
            rare->mMin = min;
        }
        if (mInternal->mLink != nullptr) {
            mInternal->mLink->SetMin(min);
        }
    }
}

void KFbxProperty::SetMaxLimit(double max) {
    if (mInternal != nullptr) {
        if (KFbxProperty_internal::Rare* rare = mInternal->MakeRare()) {
            rare->mMax = max;
        }
        if (mInternal->mLink != nullptr) {
            mInternal->mLink->SetMax(max);
        }
    }
}

double KFbxProperty::GetMinLimit() const { return mInternal != nullptr ? mInternal->GetRare().mMin : 0.0; }

double KFbxProperty::GetMaxLimit() const { return mInternal != nullptr ? mInternal->GetRare().mMax : 0.0; }

void KFbxProperty::ModifyFlag(std::uint32_t flags, bool on) {
    if (mInternal == nullptr) {
        return;
    }
    mInternal->mFlags = on ? mInternal->mFlags | flags : mInternal->mFlags & ~flags;
    MirrorFlags(flags, on);
}

void KFbxProperty::MirrorFlags(std::uint32_t flags, bool on) const {
    if ((mInternal->mBindState & KFbxProperty_internal::kBindPending) != 0 && (flags & kPublicFlag8) != 0) {
        mInternal->mBindState = on ? mInternal->mBindState | KFbxProperty_internal::kTwinFlag8
                                   : mInternal->mBindState & ~KFbxProperty_internal::kTwinFlag8;
    }
    KProperty* link = mInternal->mLink;
    if (link == nullptr) {
        return;
    }
    for (const auto& mirror : kInfoMirrors) {
        if ((flags & mirror[0]) != 0) {
            link->GetInfo().SetFlag(mirror[1], on);
        }
    }
    // Only the flags given change their mirrors, so the bound property never
    // disagrees with the handle about flag 8.
    if ((flags & kPublicFlag8) != 0) {
        link->SetFlag(KProperty::kOwnPublicFlag8, on);
    }
}

bool KFbxProperty::GetFlag(std::uint32_t flags) const {
    return mInternal != nullptr && (mInternal->mFlags & flags) != 0;
}

void KFbxProperty::SetUserTag(void* tag) {
    if (mInternal != nullptr && (tag != nullptr || mInternal->mRare != nullptr)) {
        if (KFbxProperty_internal::Rare* rare = mInternal->MakeRare()) {
            rare->mUserTag = tag;
        }
    }
}

void* KFbxProperty::GetUserTag() const { return mInternal != nullptr ? mInternal->GetRare().mUserTag : nullptr; }

KFbxObject* KFbxProperty::GetObject() const { return mInternal != nullptr ? mInternal->mOwner : nullptr; }

void KFbxProperty::SetObject(KFbxObject* object) {
    if (mInternal != nullptr) {
        mInternal->mOwner = object;
    }
}

KProperty* KFbxProperty::GetKProperty() const {
    if (mInternal == nullptr) {
        return nullptr;
    }
    if ((mInternal->mBindState & KFbxProperty_internal::kBindPending) != 0 && mInternal->mOwner != nullptr) {
        if (const KObject* twin = mInternal->mOwner->GetInternalObject()) {
            twin->MakePendingProperties();
        }
    }
    return mInternal->mLink;
}

bool KFbxProperty::GetBoundType(const KDataType*& dataType, int& typeCode) const {
    if (mInternal == nullptr) {
        return false;
    }
    if (const KProperty* link = mInternal->mLink) {
        dataType = link->GetDataType();
        typeCode = link->GetType();
        return true;
    }
    if ((mInternal->mBindState & KFbxProperty_internal::kBindPending) == 0) {
        return false;
    }
    const BindingNote note = MayBind(mInternal->mDataType) ? NoteOf(mInternal->mDataType) : BindingNote();
    KDataType* byName = note.RecordDataType();
    dataType = byName != nullptr ? byName : DefaultDataTypeOf(note.RecordCode());
    typeCode = note.RecordCode();
    return note.Made();
}

bool KFbxProperty::IsLinkedTo(const KProperty* property) const {
    return property != nullptr && mInternal != nullptr && mInternal->mLink == property;
}

// ---- enums ------------------------------------------------------------------

int KFbxProperty::AddEnumValue(const char* name) {
    if (mInternal == nullptr || mInternal->mDataType.GetType() != eFbxValueEnum) {
        return -1;
    }
    return AddEnumValue(KInternedText(name));
}

int KFbxProperty::AddEnumValue(const KInternedText& name) {
    if (mInternal == nullptr || mInternal->mDataType.GetType() != eFbxValueEnum) {
        return -1;
    }
    if (mInternal->mLink != nullptr) {
        if (KStringList* names = mInternal->mLink->GetEnumList(true)) {
            names->Add(KString(name.Get()));
        }
    }
    KFbxProperty_internal::Rare* rare = mInternal->MakeRare();
    if (rare == nullptr) {
        return -1;
    }
    try {
        std::vector<KInternedText>& own = rare->OwnEnumNames();
        // An enum is given its values one after the other, mostly a handful:
        // room for several at the first spares the regrowths.
        if (own.capacity() == 0) {
            own.reserve(kFirstEnumRoom);
        }
        own.push_back(name);
        return static_cast<int>(own.size()) - 1;
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return -1;
    }
}

void KFbxProperty::AddFixedEnumValues(const KInternedText* names, std::size_t count) {
    if (mInternal == nullptr || mInternal->mDataType.GetType() != eFbxValueEnum) {
        return;
    }
    // Only a list still empty can be the table itself; values already there
    // are followed by copies.
    if (mInternal->GetRare().EnumCount() != 0 || count == 0) {
        for (std::size_t index = 0; index < count; ++index) {
            AddEnumValue(names[index]);
        }
        return;
    }
    if (mInternal->mLink != nullptr) {
        if (KStringList* linked = mInternal->mLink->GetEnumList(true)) {
            for (std::size_t index = 0; index < count; ++index) {
                linked->Add(KString(names[index].Get()));
            }
        }
    }
    if (KFbxProperty_internal::Rare* rare = mInternal->MakeRare()) {
        rare->ShareEnumNames(names, count);
    }
}

int KFbxProperty::GetEnumCount() const {
    return mInternal != nullptr ? static_cast<int>(mInternal->GetRare().EnumCount()) : 0;
}

const char* KFbxProperty::GetEnumValue(int index) const {
    if (mInternal == nullptr || mInternal->mDataType.GetType() != eFbxValueEnum) {
        return nullptr;
    }
    const KFbxProperty_internal::Rare& rare = mInternal->GetRare();
    if (index < 0 || static_cast<std::size_t>(index) >= rare.EnumCount()) {
        return nullptr;
    }
    return rare.EnumName(static_cast<std::size_t>(index)).Get();
}

// ---- values -----------------------------------------------------------------

bool KFbxProperty::Set(const void* value, EFbxValueType type) {
    if (mInternal == nullptr ||
        !KFbxCopyValue(mInternal->GetValueData(), mInternal->mDataType.GetType(), value, type)) {
        return false;
    }
    const bool bound = mInternal->mLink != nullptr;
    if (bound) {
        PushValue();
    }
    if (bound || (mInternal->mBindState & KFbxProperty_internal::kBindPending) != 0) {
        if (KFbxObject* owner = mInternal->mOwner) {
            if (KFbxObject_internal* twin = owner->GetInternalObject()) {
                twin->ReportPropertyChanged(*this);
            }
        }
    }
    return true;
}

bool KFbxProperty::Get(void* value, EFbxValueType type) const {
    if (mInternal == nullptr) {
        return false;
    }
    if (mInternal->mLink != nullptr) {
        PullValue();
    }
    return KFbxCopyValue(value, type, mInternal->GetValueData(), mInternal->mDataType.GetType());
}

void KFbxProperty::PushValue() const {
    KProperty* link = mInternal->mLink;
    void* data = mInternal->GetValueData();
    if (data == nullptr) {
        return;
    }
    const KPropertyValueLayout layout = link->GetValueLayout();
    const EFbxValueType type = mInternal->mDataType.GetType();
    switch (type) {
        case eFbxValueBool:
        case eFbxValueInteger:
        case eFbxValueEnum: {
            const int value = type == eFbxValueBool ? (*static_cast<const bool*>(data) ? 1 : 0)
                                                    : *static_cast<const int*>(data);
            // A data type whose internal kind is a number takes the integer as one.
            if (!link->SetInt(value)) {
                link->SetDouble(value);
            }
            break;
        }
        case eFbxValueFloat:
            link->SetDouble(*static_cast<const float*>(data));
            break;
        case eFbxValueDouble:
            link->SetDouble(*static_cast<const double*>(data));
            break;
        case eFbxValueDouble3:
        case eFbxValueDouble4: {
            if (layout != KPropertyValueLayout::eDouble4) {
                break;
            }
            // Internal vectors hold four doubles; a fourth the value lacks stays as it is.
            double raw[4] = {0.0, 0.0, 0.0, 1.0};
            link->GetValue(raw);
            const int count = mInternal->mDataType.GetType() == eFbxValueDouble3 ? 3 : 4;
            std::memcpy(raw, data, static_cast<std::size_t>(count) * sizeof(double));
            link->SetValue(raw);
            break;
        }
        case eFbxValueDouble44:
            if (layout == KPropertyValueLayout::eDouble16) {
                link->SetValue(data);
            }
            break;
        case eFbxValueTime:
            if (layout == KPropertyValueLayout::eTime) {
                link->SetValue(data);
            }
            break;
        case eFbxValueString:
            link->SetValueFromString(static_cast<const KString*>(data)->Buffer());
            break;
        default:
            break;
    }
}

void KFbxProperty::PullValue() const {
    KProperty* link = mInternal->mLink;
    void* data = mInternal->GetValueData();
    if (data == nullptr) {
        return;
    }
    const KPropertyValueLayout layout = link->GetValueLayout();
    switch (mInternal->mDataType.GetType()) {
        case eFbxValueBool:
            *static_cast<bool*>(data) = link->GetDouble() != 0.0;
            break;
        case eFbxValueInteger:
        case eFbxValueEnum:
            // Integer kinds give their integer exactly; number kinds are truncated.
            *static_cast<int*>(data) = link->GetType() == eKPropertyFloat || link->GetType() == eKPropertyDouble
                                           ? static_cast<int>(link->GetDouble())
                                           : link->GetInt();
            break;
        case eFbxValueFloat:
            *static_cast<float*>(data) = static_cast<float>(link->GetDouble());
            break;
        case eFbxValueDouble:
            *static_cast<double*>(data) = link->GetDouble();
            break;
        case eFbxValueDouble3:
        case eFbxValueDouble4: {
            double raw[4] = {0.0, 0.0, 0.0, 0.0};
            if (layout != KPropertyValueLayout::eDouble4 || !link->GetValue(raw)) {
                break;
            }
            // A three-component internal property knows no fourth: the value keeps its own.
            const bool three = mInternal->mDataType.GetType() == eFbxValueDouble3 || StoresThreeComponents(link);
            std::memcpy(data, raw, (three ? 3 : 4) * sizeof(double));
            break;
        }
        case eFbxValueDouble44:
            if (layout == KPropertyValueLayout::eDouble16) {
                link->GetValue(data);
            }
            break;
        case eFbxValueTime:
            if (layout == KPropertyValueLayout::eTime) {
                link->GetValue(data);
            }
            break;
        case eFbxValueString:
            link->GetValueAsString(*static_cast<KString*>(data));
            break;
        default:
            break;
    }
}

double KFbxProperty::GetDouble() const {
    double value = 0.0;
    Get(&value, eFbxValueDouble);
    return value;
}

fbxDouble3 KFbxProperty::GetDouble3() const {
    fbxDouble3 value;
    Get(&value, eFbxValueDouble3);
    return value;
}

fbxDouble4 KFbxProperty::GetDouble4() const {
    fbxDouble4 value;
    Get(&value, eFbxValueDouble4);
    return value;
}

fbxDouble44 KFbxProperty::GetDouble44() const {
    fbxDouble44 value;
    Get(&value, eFbxValueDouble44);
    return value;
}

KString KFbxProperty::GetString() const {
    KString value;
    Get(&value, eFbxValueString);
    return value;
}

KTime KFbxProperty::GetTime() const {
    KTime value;
    Get(&value, eFbxValueTime);
    return value;
}

bool KFbxProperty::CompareValue(const KFbxProperty& other) const {
    if (mInternal == nullptr || other.mInternal == nullptr) {
        return false;
    }
    switch (mInternal->mDataType.GetType()) {
        case eFbxValueBool:
            return SameValue<bool>(*this, other);
        case eFbxValueInteger:
        case eFbxValueEnum:
            return SameValue<int>(*this, other);
        case eFbxValueFloat:
            return SameValue<float>(*this, other);
        case eFbxValueDouble:
            return SameValue<double>(*this, other);
        case eFbxValueDouble3:
            return SameValue<fbxDouble3>(*this, other, &KFbxEqualDouble3);
        case eFbxValueDouble4:
            return SameValue<fbxDouble4>(*this, other, &KFbxEqualDouble4);
        case eFbxValueDouble44:
            return SameValue<fbxDouble44>(*this, other, &KFbxEqualDouble44);
        case eFbxValueString:
            return SameValue<KString>(*this, other);
        case eFbxValueTime:
            return SameValue<KTime>(*this, other);
        default:
            return false;
    }
}

bool KFbxProperty::CopyValue(const KFbxProperty& other) {
    if (mInternal == nullptr || other.mInternal == nullptr || mInternal->mDataType != other.mInternal->mDataType) {
        return false;
    }
    const EFbxValueType type = mInternal->mDataType.GetType();
    if (type == eFbxValueNone || type == eFbxValueReference || type == eFbxValueStream) {
        return false;
    }
    KFbxValueBuffer value(type);
    return value.Get() != nullptr && other.Get(value.Get(), type) && Set(value.Get(), type);
}

// ---- binding ----------------------------------------------------------------

bool KFbxProperty::DeferBinding() {
    if (mInternal == nullptr || mInternal->mLink != nullptr ||
        (mInternal->mBindState & KFbxProperty_internal::kBindPending) != 0) {
        return false;
    }
    const KFbxObject* owner = mInternal->mOwner;
    if (owner == nullptr || owner->GetInternalObject() == nullptr) {
        return false;
    }
    if (!MayBind(mInternal->mDataType) || !NoteOf(mInternal->mDataType).KeepsValue()) {
        return false;
    }
    // Flag 8 of the record as binding now would set it.
    mInternal->mBindState = KFbxProperty_internal::kBindPending |
                            ((mInternal->mFlags & kAnimatable) != 0 ? KFbxProperty_internal::kTwinFlag8 : 0);
    return true;
}

bool KFbxProperty::IsBindingDeferred() const {
    return mInternal != nullptr && (mInternal->mBindState & KFbxProperty_internal::kBindPending) != 0;
}

bool KFbxProperty::BindToObject() {
    if (mInternal == nullptr) {
        return false;
    }
    const std::uint8_t bindState = mInternal->mBindState;
    const bool deferred = (bindState & KFbxProperty_internal::kBindPending) != 0;
    mInternal->mBindState = 0;
    if (mInternal->mLink != nullptr || !MayBind(mInternal->mDataType)) {
        return false;
    }
    KFbxObject* owner = mInternal->mOwner;
    KFbxObject_internal* twin = owner != nullptr ? owner->GetInternalObject() : nullptr;
    if (twin == nullptr) {
        return false;
    }
    const BindingNote note = NoteOf(mInternal->mDataType);
    KDataType* kDataType = note.mKDataType;
    const int code = note.ResolvedCode();
    KProperty* link = code != eKPropertyUnknown ? twin->CreateDynamicProperty(mInternal->mName, code, kDataType,
                                                                              false, false, nullptr, false)
                                                : nullptr;
    if (link == nullptr) {
        // A data type the internal layer cannot hold by its name still has a
        // value to mirror: it goes into a property of its value type.
        const int byValue = TypeCodeOfValueType(mInternal->mDataType.GetType());
        if (byValue != eKPropertyUnknown && byValue != code) {
            link = twin->CreateDynamicProperty(mInternal->mName, byValue, nullptr, false, false, nullptr, false);
        }
    }
    if (link == nullptr) {
        return false;
    }
    const bool animatable = (mInternal->mFlags & kAnimatable) != 0;
    if (animatable) {
        link->GetInfo().SetFlag(KPropertyInfo::kAnimatable, true);
    }
    if (deferred ? (bindState & KFbxProperty_internal::kTwinFlag8) != 0 : animatable) {
        link->SetFlag(KProperty::kOwnPublicFlag8, true);
    }
    if (deferred) {
        // Limits set since the registration, as binding then would have had them.
        const KFbxProperty_internal::Rare& rare = mInternal->GetRare();
        if (std::isfinite(rare.mMin)) {
            link->SetMin(rare.mMin);
        }
        if (std::isfinite(rare.mMax)) {
            link->SetMax(rare.mMax);
        }
    }
    if ((mInternal->mFlags & kUser) != 0) {
        link->GetInfo().SetFlag(KPropertyInfo::kUser, true);
    }
    if ((mInternal->mFlags & kPublicFlag4) != 0) {
        link->GetInfo().SetFlag(KPropertyInfo::kPublicFlag4, true);
    }
    link->SetLabel(mInternal->mLabel.IsEmpty() ? mInternal->mName : mInternal->mLabel);
    const KFbxProperty_internal::Rare& rare = mInternal->GetRare();
    if (rare.EnumCount() != 0) {
        if (KStringList* names = link->GetEnumList(true)) {
            for (std::size_t index = 0; index < rare.EnumCount(); ++index) {
                names->Add(KString(rare.EnumName(index).Get()));
            }
        }
    }
    mInternal->mLink = link;
    // The value set before binding is what the object's twin starts with;
    // binding announces no value.
    link->SetAnnouncesValues(false);
    PushValue();
    link->SetAnnouncesValues(true);
    return true;
}

bool KFbxProperty::Unbind() {
    if (mInternal != nullptr && (mInternal->mBindState & KFbxProperty_internal::kBindPending) != 0) {
        mInternal->mBindState = 0;
        return true;
    }
    if (mInternal == nullptr || mInternal->mOwner == nullptr || mInternal->mLink == nullptr) {
        return false;
    }
    KProperty* link = mInternal->mLink;
    mInternal->mLink = nullptr;
    if (KFbxObject_internal* twin = mInternal->mOwner->GetInternalObject()) {
        const int index = twin->IndexOfProperty(link);
        if (index != -1) {
            twin->DestroyPropertyAt(index);
        }
    }
    return true;
}

}  // namespace fbxsdk_2006_11_1
