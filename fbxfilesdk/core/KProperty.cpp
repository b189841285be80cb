#include <fbxfilesdk/core/KProperty.h>

#include <fbxfilesdk/core/KNumberText.h>
#include <fbxfilesdk/core/KObject.h>
#include <fbxfilesdk/core/KPlugClassRegistry.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/core/KPropertyTemplate.h>
#include <fbxfilesdk/core/KRareBlock.h>
#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/core/KTime.h>

#include <charconv>
#include <cmath>
#include <climits>
#include <cstring>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

// Raw storage for any value but a string: up to sixteen doubles.
struct RawValue {
    alignas(16) unsigned char mBytes[16 * sizeof(double)] = {};
};

// Saturating truncation toward zero; NaN gives 0.
int TruncateToInt(double value) {
    if (std::isnan(value)) {
        return 0;
    }
    if (value >= static_cast<double>(INT_MAX)) {
        return INT_MAX;
    }
    if (value <= static_cast<double>(INT_MIN)) {
        return INT_MIN;
    }
    return static_cast<int>(value);
}

// "{a,b,c}" or "{a,b,c,d}" with six decimals, as "%f" prints them.
KString FormatDoubles(const double* values, int count) {
    KString text("{");
    for (int i = 0; i < count; ++i) {
        char number[400];
        FormatFixed(number, static_cast<int>(sizeof(number)), values[i], 6);
        if (i > 0) {
            text += ",";
        }
        text += number;
    }
    text += "}";
    return text;
}

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }

}  // namespace

KPropertyInfo::KPropertyInfo() = default;

KPropertyInfo::~KPropertyInfo() = default;

const KPropertyInfo::Rare KPropertyInfo::kNoRare;

KPropertyInfo::Rare* KPropertyInfo::MakeRare() { return KMakeRareBlock(mRare); }

void KPropertyInfo::SetEnumList(KPropertyEnumTextCallback callback) {
    if (callback == nullptr && mRare == nullptr) {
        SetFlag(kEnumCallback, false);
        return;
    }
    Rare* rare = MakeRare();
    if (rare == nullptr) {
        return;
    }
    rare->mEnumCallback = callback;
    SetFlag(kEnumCallback, callback != nullptr);
}

KProperty::KProperty() = default;

KProperty::~KProperty() {
    // Deleted while its object still lists it (a member property going with
    // its object, say): it leaves the list and the object first, so nothing
    // it announces reaches an object that is itself going away.
    if (mListings != 0) {
        KObject* owner = GetOwnerObject();
        if (owner != nullptr && owner->IndexOfProperty(this) != -1) {
            owner->ForgetProperty(this);
            owner->RemoveChild(this);
        }
    }
    if ((GetFlags() & kBeingDestroyed) == 0) {
        KProperty::Destroy();
    }
}

void KProperty::Destroy() {
    if (IsUser() && mInfo.mRare != nullptr) {
        mInfo.mRare->mEnumList.reset();
    }
    KPlug::Destroy();
}

const KPlugClassInfo* KProperty::GetClassInfo() const { return &gKPropertyClassInfo; }

// ---- raw access -----------------------------------------------------------

KPropertyValueLayout KProperty::LayoutOfType(int type) {
    switch (type) {
        case eKPropertyInt:
        case eKPropertyEnum:
            return KPropertyValueLayout::eInt32;
        case eKPropertyBool:
        case eKPropertyAction:
            return KPropertyValueLayout::eByte;
        case eKPropertyFloat:
        case eKPropertyDouble:
            return KPropertyValueLayout::eDouble;
        case eKPropertyCharPtr:
            return KPropertyValueLayout::eCharPtr;
        case eKPropertyTime:
            return KPropertyValueLayout::eTime;
        case eKPropertyString:
            return KPropertyValueLayout::eString;
        case eKPropertyObject:
            return KPropertyValueLayout::eObjectPtr;
        case eKPropertyVector4D:
        case eKPropertyVector3D:
        case eKPropertyColorRGB:
        case eKPropertyColorRGBA:
            return KPropertyValueLayout::eDouble4;
        case eKPropertyReference:
            return KPropertyValueLayout::ePropertyPtr;
        case eKPropertyMatrix4x4:
            return KPropertyValueLayout::eDouble16;
        default:
            return KPropertyValueLayout::eNone;
    }
}

bool KProperty::ReadRaw(KPropertyValueLayout layout, void* out) {
    return layout != KPropertyValueLayout::eNone && GetValueLayout() == layout && GetValue(out);
}

bool KProperty::WriteRaw(KPropertyValueLayout layout, const void* in) {
    return layout != KPropertyValueLayout::eNone && GetValueLayout() == layout && SetValue(in);
}

bool KProperty::GetValue(void*) { return false; }

bool KProperty::SetValue(const void*) { return false; }

KPropertyValueLayout KProperty::GetValueLayout() const { return KPropertyValueLayout::eNone; }

// ---- value by type --------------------------------------------------------

int KProperty::GetInt() {
    switch (GetType()) {
        case eKPropertyInt:
        case eKPropertyEnum: {
            int value = 0;
            return ReadRaw(KPropertyValueLayout::eInt32, &value) ? value : 0;
        }
        case eKPropertyBool:
        case eKPropertyAction: {
            unsigned char value = 0;
            return ReadRaw(KPropertyValueLayout::eByte, &value) && value != 0 ? 1 : 0;
        }
        default:
            return 0;
    }
}

bool KProperty::SetInt(int value) {
    switch (GetType()) {
        case eKPropertyInt:
        case eKPropertyEnum:
            WriteRaw(KPropertyValueLayout::eInt32, &value);
            return true;
        case eKPropertyBool:
        case eKPropertyAction: {
            const unsigned char byte = value != 0 ? 1 : 0;
            WriteRaw(KPropertyValueLayout::eByte, &byte);
            return true;
        }
        default:
            return false;
    }
}

double KProperty::GetDouble() {
    switch (GetType()) {
        case eKPropertyInt:
        case eKPropertyBool:
        case eKPropertyEnum:
        case eKPropertyAction:
            return GetInt();
        case eKPropertyFloat:
        case eKPropertyDouble: {
            double value = 0.0;
            return ReadRaw(KPropertyValueLayout::eDouble, &value) ? value : 0.0;
        }
        default:
            return 0.0;
    }
}

bool KProperty::SetDouble(double value) {
    switch (GetType()) {
        case eKPropertyInt:
        case eKPropertyBool:
        case eKPropertyEnum:
        case eKPropertyAction:
            return SetInt(TruncateToInt(value));
        case eKPropertyFloat:
        case eKPropertyDouble:
            WriteRaw(KPropertyValueLayout::eDouble, &value);
            return true;
        default:
            return false;
    }
}

bool KProperty::IsNumeric() const {
    switch (GetType()) {
        case eKPropertyInt:
        case eKPropertyBool:
        case eKPropertyFloat:
        case eKPropertyDouble:
        case eKPropertyEnum:
        case eKPropertyAction:
            return true;
        default:
            return false;
    }
}

bool KProperty::IsVector() const { return GetType() >= eKPropertyVector4D && GetType() <= eKPropertyColorRGBA; }

// Animation channels are doubles: a property whose value is stored as doubles
// exchanges it raw; an int or bool one, animatable or not, goes through its
// double conversion, never through a raw copy into the doubles.
bool KProperty::StoresDoubles() const {
    const KPropertyValueLayout layout = GetValueLayout();
    return layout == KPropertyValueLayout::eDouble || layout == KPropertyValueLayout::eDouble4 ||
           layout == KPropertyValueLayout::eDouble16;
}

bool KProperty::GetChannelValue(double* out) {
    if (out == nullptr) {
        return false;
    }
    if (IsAnimatable() && StoresDoubles()) {
        return GetValue(out);
    }
    if (IsNumeric()) {
        out[0] = GetDouble();
        return true;
    }
    if (IsVector()) {
        return ReadRaw(KPropertyValueLayout::eDouble4, out);
    }
    return false;
}

bool KProperty::SetChannelValue(const double* in) {
    if (in == nullptr) {
        return false;
    }
    if (IsAnimatable() && StoresDoubles()) {
        SetValue(in);
        return true;
    }
    if (IsNumeric()) {
        SetDouble(in[0]);
        return true;
    }
    if (IsVector()) {
        WriteRaw(KPropertyValueLayout::eDouble4, in);
        return true;
    }
    return false;
}

// ---- registration and names -----------------------------------------------

void KProperty::Register(const char* name, KObject* owner, KPropertyCallback getter, KPropertyCallback setter) {
    if (owner != nullptr) {
        owner->AddChild(this);
    }
    // Copied: the caller's text may be a temporary.
    StoreName(name);
    if (getter != nullptr || setter != nullptr || mInfo.mRare != nullptr) {
        if (KPropertyInfo::Rare* rare = mInfo.MakeRare()) {
            rare->mGetter = getter;
            rare->mSetter = setter;
        }
    }
}

KInternedText KProperty::StoredName(const char* name) {
    // Most names have no double quotes and are taken as they are.
    if (name == nullptr || std::strchr(name, '"') == nullptr) {
        return KInternedText(name);
    }
    KString stripped;
    for (const char* p = name; *p != '\0'; ++p) {
        if (*p != '"') {
            stripped += *p;
        }
    }
    return KInternedText(stripped.Buffer());
}

void KProperty::InitDynamic(KObject* owner, const char* name, KDataType* dataType, bool user, KProperty* source,
                            std::uint32_t ownFlags) {
    InitDynamic(owner, StoredName(name), dataType, user, source, ownFlags);
}

void KProperty::InitDynamic(KObject* owner, const KInternedText& name, KDataType* dataType, bool user,
                            KProperty* source, std::uint32_t ownFlags) {
    mOwnFlags = ownFlags;
    if (owner != nullptr) {
        owner->AddChild(this);
    }
    mInfo.mName = name;
    NameChanged();
    mInfo.SetFlag(KPropertyInfo::kOwnedName, true);
    mInfo.SetFlag(KPropertyInfo::kUser, user);
    mInfo.SetFlag(KPropertyInfo::kDynamic, true);
    mInfo.mDataType = dataType;
    if (source != nullptr) {
        ConnectSrc(source);
    }
}

void KProperty::SetNameAndType(const char* name, int type) {
    StoreName(name);
    mInfo.mType = type;
}

void KProperty::StoreName(const char* name) {
    mInfo.mName = name;
    NameChanged();
}

void KProperty::NameChanged() {
    if (mListings == 0) {
        return;
    }
    if (KObject* owner = GetOwnerObject()) {
        owner->PropertyRenamed(this);
    }
}

const char* KProperty::GetName() const { return mInfo.mName.Get(); }

bool KProperty::SetName(const char* name, bool makeUnique) {
    KString text(name != nullptr ? name : "");
    if (makeUnique) {
        MakeUniqueName(text);
    }
    const KInternedText current(mInfo.mName);
    if (!EmitObjectEvent(nullptr, kEventRenaming, this, reinterpret_cast<KEventWord>(text.Buffer()),
                         reinterpret_cast<KEventWord>(current.Get()), 0)) {
        return false;
    }
    mInfo.mName = StoredName(text.Buffer());
    NameChanged();
    mInfo.SetFlag(KPropertyInfo::kOwnedName, true);
    EmitObjectEvent(nullptr, kEventRenamed, this, reinterpret_cast<KEventWord>(text.Buffer()),
                    reinterpret_cast<KEventWord>(GetName()), 0);
    return true;
}

void KProperty::MakeUniqueName(KString& name) {
    // Trimmed of blanks at both ends; nothing left gives "1".
    const char* begin = name.Buffer();
    while (IsBlank(*begin)) {
        ++begin;
    }
    const char* end = begin + std::strlen(begin);
    while (end > begin && IsBlank(end[-1])) {
        --end;
    }
    KString base(begin, static_cast<int>(end - begin));
    if (base.IsEmpty()) {
        base = "1";
    }
    name = base;

    KObject* owner = GetOwnerObject();
    auto taken = [this, owner](const KString& candidate) {
        if (owner == nullptr) {
            return false;
        }
        for (int i = 0; i < owner->GetPropertyCount(); ++i) {
            const KProperty* other = owner->GetPropertyAt(i);
            if (other != this && candidate == other->GetName()) {
                return true;
            }
        }
        return false;
    };
    if (!taken(name)) {
        return;
    }

    // Trailing digits count on from their value; without any, " <n>" is
    // appended, counting from 1.
    const int length = base.GetLen();
    int digitsAt = length;
    while (digitsAt > 0 && base[digitsAt - 1] >= '0' && base[digitsAt - 1] <= '9') {
        --digitsAt;
    }
    long long counter = 1;
    KString prefix;
    if (digitsAt < length) {
        const char* digits = base.Buffer() + digitsAt;
        long long value = 0;
        const std::from_chars_result parsed = std::from_chars(digits, digits + (length - digitsAt), value);
        if (parsed.ec == std::errc() && value < LLONG_MAX) {
            counter = value + 1;
            prefix = base.Left(digitsAt);
        } else {
            prefix = base + " ";
        }
    } else {
        prefix = base + " ";
    }
    for (;;) {
        char number[24];
        const std::to_chars_result printed = std::to_chars(number, number + sizeof(number) - 1, counter);
        *printed.ptr = '\0';
        KString candidate = prefix + number;
        ++counter;
        if (!candidate.IsOK() || !taken(candidate)) {
            name = candidate;
            return;
        }
    }
}

const char* KProperty::GetLabel() const { return mInfo.mLabel.IsEmpty() ? nullptr : mInfo.mLabel.Get(); }

void KProperty::SetLabel(const char* label) {
    mInfo.mLabel = label;
}

// ---- range and flags ------------------------------------------------------

bool KProperty::SetMin(double min) { return SetMinMax(min, GetMax()); }

bool KProperty::SetMax(double max) { return SetMinMax(GetMin(), max); }

bool KProperty::SetMinMax(double min, double max) {
    if (min == GetMin() && max == GetMax()) {
        return true;
    }
    KPropertyInfo::Rare* rare = mInfo.MakeRare();
    if (rare == nullptr) {
        return false;
    }
    rare->mMin = min;
    rare->mMax = max;
    EmitObjectEvent(nullptr, kEventChanged, this, 0, 0, 0);
    return true;
}

void KProperty::SetWorldIndex(int index) {
    if (index == GetWorldIndex()) {
        return;
    }
    if (KPropertyInfo::Rare* rare = mInfo.MakeRare()) {
        rare->mWorldIndex = index;
    }
}

void KProperty::SetFlag(std::uint32_t bits, bool on) {
    mOwnFlags = on ? mOwnFlags | bits : mOwnFlags & ~bits;
    EmitObjectEvent(nullptr, kEventChanged, this, 0, 0, 0);
}

// ---- enums ----------------------------------------------------------------

KStringList* KProperty::GetEnumList(bool create) {
    if (mInfo.TestFlag(KPropertyInfo::kEnumCallback)) {
        return nullptr;
    }
    if (!create) {
        return mInfo.GetRare().mEnumList.get();
    }
    KPropertyInfo::Rare* rare = mInfo.MakeRare();
    if (rare == nullptr) {
        return nullptr;
    }
    if (rare->mEnumList == nullptr) {
        rare->mEnumList.reset(new (std::nothrow) KStringList());
    }
    return rare->mEnumList.get();
}

const char* KProperty::GetEnumText(int index) {
    const KStringList* list = mInfo.GetRare().mEnumList.get();
    if (IsUser()) {
        return list != nullptr ? list->GetStringAt(index) : nullptr;
    }
    if (mInfo.TestFlag(KPropertyInfo::kEnumCallback) && mInfo.GetRare().mEnumCallback != nullptr) {
        return mInfo.GetRare().mEnumCallback(GetParent(), index);
    }
    return list != nullptr ? list->GetStringAt(index) : nullptr;
}

// ---- data type and owner --------------------------------------------------

KDataType* KProperty::GetDataType() const {
    return mInfo.mDataType != nullptr ? mInfo.mDataType : DefaultDataTypeOf(GetType());
}

KObject* KProperty::GetOwnerObject() const { return KObject::AsKObject(GetParent()); }

// ---- references -----------------------------------------------------------

KProperty* KProperty::GetSrcProperty(int index) const {
    const int propertyTypeId = gKPropertyClassInfo.GetId();
    for (int i = 0; i < GetSrcCount(); ++i) {
        KPlug* src = GetSrc(i);
        if (src->IsType(propertyTypeId) && index-- == 0) {
            return static_cast<KProperty*>(src);
        }
    }
    return nullptr;
}

KProperty* KProperty::GetDstProperty(int index) const {
    const int propertyTypeId = gKPropertyClassInfo.GetId();
    for (int i = 0; i < GetDstCount(); ++i) {
        KPlug* dst = GetDst(i);
        if (dst->IsType(propertyTypeId) && index-- == 0) {
            return static_cast<KProperty*>(dst);
        }
    }
    return nullptr;
}

KProperty* KProperty::GetReferencedProperty() { return IsReference() ? GetSrcProperty(0) : this; }

int KProperty::GetDstPropertyCount() const {
    if ((GetFlags() & kIsView) != 0) {
        return 0;
    }
    const int propertyTypeId = gKPropertyClassInfo.GetId();
    int count = 0;
    for (int i = 0; i < GetDstCount(); ++i) {
        if (GetDst(i)->IsType(propertyTypeId)) {
            ++count;
        }
    }
    return count;
}

// ---- text -----------------------------------------------------------------

void KProperty::GetValueAsString(KString& out) {
    switch (GetType()) {
        case eKPropertyInt:
            out = KString(GetInt());
            return;
        case eKPropertyBool:
        case eKPropertyAction:
            out = GetInt() != 0 ? "True" : "False";
            return;
        case eKPropertyFloat:
        case eKPropertyDouble:
            out = KString(GetDouble());
            return;
        case eKPropertyCharPtr: {
            const char* text = nullptr;
            ReadRaw(KPropertyValueLayout::eCharPtr, &text);
            out = KString(text);
            return;
        }
        case eKPropertyEnum:
            out = KString(GetEnumText(GetInt()));
            return;
        case eKPropertyTime: {
            KTime time;
            ReadRaw(KPropertyValueLayout::eTime, &time);
            char text[KTime::kTimeStringSize];
            out = time.FormatTimeString(text, sizeof(text), 5, KTime::eDefaultMode, KTime::eDefaultForm);
            return;
        }
        case eKPropertyString: {
            KString value;
            ReadRaw(KPropertyValueLayout::eString, &value);
            out = value;
            return;
        }
        case eKPropertyObject: {
            KObject* object = nullptr;
            ReadRaw(KPropertyValueLayout::eObjectPtr, &object);
            if (object != nullptr) {
                out = object->GetFullName();
            } else {
                out = IsObjectList() ? "ObjectList!" : "Object!";
            }
            return;
        }
        case eKPropertyVector4D:
        case eKPropertyVector3D:
        case eKPropertyColorRGB:
        case eKPropertyColorRGBA: {
            double values[4] = {0.0, 0.0, 0.0, GetType() == eKPropertyColorRGBA ? 0.0 : 1.0};
            ReadRaw(KPropertyValueLayout::eDouble4, values);
            out = FormatDoubles(values, GetType() == eKPropertyVector3D ? 3 : 4);
            return;
        }
        default:
            out = "?";
            return;
    }
}

bool KProperty::SetValueFromString(const char* text) {
    if (text == nullptr) {
        return false;
    }
    switch (GetType()) {
        case eKPropertyInt: {
            int value = 0;
            ReadLeadingInt(text, value);
            WriteRaw(KPropertyValueLayout::eInt32, &value);
            return true;
        }
        case eKPropertyBool: {
            unsigned char value = 0;
            if (KString(text).CompareNoCase("true") == 0) {
                value = 1;
            } else if (KString(text).CompareNoCase("false") != 0) {
                return false;
            }
            WriteRaw(KPropertyValueLayout::eByte, &value);
            return true;
        }
        case eKPropertyFloat:
        case eKPropertyDouble: {
            double value = 0.0;
            ReadLeadingDouble(text, value);
            WriteRaw(KPropertyValueLayout::eDouble, &value);
            return true;
        }
        case eKPropertyCharPtr:
            WriteRaw(KPropertyValueLayout::eCharPtr, &text);
            return true;
        case eKPropertyTime: {
            KTime time(0);
            time.ParseTimeString(text, KTime::eDefaultMode, KTime::eDefaultForm);
            WriteRaw(KPropertyValueLayout::eTime, &time);
            return true;
        }
        case eKPropertyString: {
            const KString value(text);
            WriteRaw(KPropertyValueLayout::eString, &value);
            return true;
        }
        default:
            return false;
    }
}

// ---- copies ---------------------------------------------------------------

KProperty* KProperty::CloneToObject(KObject* object) {
    if (object == nullptr || IsAnimatable()) {
        return nullptr;
    }
    // Each clash appends " <n>" to the name so far: Speed 0, Speed 0 1, ...
    KString name(GetName());
    for (int n = 0; object->FindProperty(name.Buffer()) != nullptr; ++n) {
        name = name + " " + n;
        if (!name.IsOK()) {
            return nullptr;
        }
    }
    // Four-value vectors and matrices are not cloned; character pointers become strings.
    const int type = GetType();
    KProperty* clone = type != eKPropertyVector4D && type != eKPropertyMatrix4x4
                           ? NewDynamicProperty(type, object, name.Buffer(), nullptr, IsUser(),
                                                type == eKPropertyReference ? GetReferencedProperty() : nullptr)
                           : nullptr;
    if (clone == nullptr) {
        return nullptr;
    }
    clone->SetMinMax(GetMin(), GetMax());
    return clone;
}

void KProperty::CopyData(KProperty*) {}

bool KProperty::CopyValue(KProperty* other) {
    if (other == nullptr || other == this || GetType() == eKPropertyEvent || GetType() != other->GetType()) {
        return false;
    }
    const KPropertyValueLayout layout = GetValueLayout();
    if (layout == KPropertyValueLayout::eNone || layout != other->GetValueLayout()) {
        return false;
    }
    if (layout == KPropertyValueLayout::eString) {
        KString value;
        return other->GetValue(&value) && SetValue(&value);
    }
    RawValue value;
    return other->GetValue(value.mBytes) && SetValue(value.mBytes);
}

bool KProperty::Assign(KProperty* other) { return CopyValue(other); }

}  // namespace fbxsdk_2006_11_1
