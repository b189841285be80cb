// Internal properties that store a value of one type. Objects make their
// static properties as members (default constructor, then KProperty::Register
// and KObject::AddProperty); KObject::CreateDynamicProperty makes run-time
// ones with the owner constructor, which adds them to the object itself.
// Every Set is announced before (value event 20) and after (21), unless the
// property is being set up (KProperty::SetAnnouncesValues), and goes through
// the getter and setter callbacks when the property has them.
#ifndef FBXFILESDK_CORE_KPROPERTYTEMPLATE_H
#define FBXFILESDK_CORE_KPROPERTYTEMPLATE_H

#include <fbxfilesdk/core/KObject.h>
#include <fbxfilesdk/core/KProperty.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/core/KTime.h>
#include <fbxfilesdk/core/KgeMatrix.h>
#include <fbxfilesdk/core/KgeRGBAVector.h>
#include <fbxfilesdk/core/KgeTVector.h>

#include <cstring>
#include <type_traits>

namespace fbxsdk_2006_11_1 {

// The type code, raw layout, initial value and raw conversions of a value type.
// Enumerations are int-sized values with the enum type code.
template <class T>
struct KPropertyValueTraits {
    static_assert(std::is_enum_v<T> && sizeof(T) == sizeof(int), "no property stores this value type");
    static constexpr int kType = eKPropertyEnum;
    static constexpr KPropertyValueLayout kLayout = KPropertyValueLayout::eInt32;
    static T Initial() { return T{}; }
    static void Assign(T& to, const T& from) { to = from; }
    static void ToRaw(const T& value, void* out) {
        const int raw = static_cast<int>(value);
        std::memcpy(out, &raw, sizeof(raw));
    }
    static void FromRaw(const void* in, T& value) {
        int raw = 0;
        std::memcpy(&raw, in, sizeof(raw));
        value = static_cast<T>(raw);
    }
};

// Values copied as they are.
template <class T, int Type, KPropertyValueLayout Layout>
struct KPropertyPlainTraits {
    static constexpr int kType = Type;
    static constexpr KPropertyValueLayout kLayout = Layout;
    static T Initial() { return T{}; }
    static void Assign(T& to, const T& from) { to = from; }
    static void ToRaw(const T& value, void* out) { std::memcpy(out, &value, sizeof(T)); }
    static void FromRaw(const void* in, T& value) { std::memcpy(&value, in, sizeof(T)); }
};

template <>
struct KPropertyValueTraits<int> : KPropertyPlainTraits<int, eKPropertyInt, KPropertyValueLayout::eInt32> {};
template <>
struct KPropertyValueTraits<double>
    : KPropertyPlainTraits<double, eKPropertyDouble, KPropertyValueLayout::eDouble> {};
template <>
struct KPropertyValueTraits<KTime> : KPropertyPlainTraits<KTime, eKPropertyTime, KPropertyValueLayout::eTime> {};
template <>
struct KPropertyValueTraits<const char*>
    : KPropertyPlainTraits<const char*, eKPropertyCharPtr, KPropertyValueLayout::eCharPtr> {};
template <>
struct KPropertyValueTraits<KObject*>
    : KPropertyPlainTraits<KObject*, eKPropertyObject, KPropertyValueLayout::eObjectPtr> {};
template <>
struct KPropertyValueTraits<KProperty*>
    : KPropertyPlainTraits<KProperty*, eKPropertyReference, KPropertyValueLayout::ePropertyPtr> {};

// One byte, 0 or 1.
template <>
struct KPropertyValueTraits<bool> {
    static constexpr int kType = eKPropertyBool;
    static constexpr KPropertyValueLayout kLayout = KPropertyValueLayout::eByte;
    static bool Initial() { return false; }
    static void Assign(bool& to, const bool& from) { to = from; }
    static void ToRaw(const bool& value, void* out) { *static_cast<unsigned char*>(out) = value ? 1 : 0; }
    static void FromRaw(const void* in, bool& value) { value = *static_cast<const unsigned char*>(in) != 0; }
};

// The raw form is the string object itself.
template <>
struct KPropertyValueTraits<KString> {
    static constexpr int kType = eKPropertyString;
    static constexpr KPropertyValueLayout kLayout = KPropertyValueLayout::eString;
    static KString Initial() { return KString(); }
    static void Assign(KString& to, const KString& from) { to = from; }
    static void ToRaw(const KString& value, void* out) { *static_cast<KString*>(out) = value; }
    static void FromRaw(const void* in, KString& value) { value = *static_cast<const KString*>(in); }
};

// Three components, exchanged raw as four doubles with a fourth of 1.0.
template <class T, int Type>
struct KPropertyDouble3Traits {
    static constexpr int kType = Type;
    static constexpr KPropertyValueLayout kLayout = KPropertyValueLayout::eDouble4;
    static T Initial() { return T(0.0, 0.0, 0.0); }
    static void Assign(T& to, const T& from) { to = from; }
    static void ToRaw(const T& value, void* out) {
        const double raw[4] = {value[0], value[1], value[2], 1.0};
        std::memcpy(out, raw, sizeof(raw));
    }
    static void FromRaw(const void* in, T& value) {
        double raw[4];
        std::memcpy(raw, in, sizeof(raw));
        value = T(raw[0], raw[1], raw[2]);
    }
};

template <>
struct KPropertyValueTraits<KgeTVector> : KPropertyDouble3Traits<KgeTVector, eKPropertyVector3D> {};
template <>
struct KPropertyValueTraits<KgeRGBVector> : KPropertyDouble3Traits<KgeRGBVector, eKPropertyColorRGB> {};

template <>
struct KPropertyValueTraits<KgeRGBAVector> {
    static constexpr int kType = eKPropertyColorRGBA;
    static constexpr KPropertyValueLayout kLayout = KPropertyValueLayout::eDouble4;
    static KgeRGBAVector Initial() { return KgeRGBAVector(); }
    static void Assign(KgeRGBAVector& to, const KgeRGBAVector& from) { to = from; }
    static void ToRaw(const KgeRGBAVector& value, void* out) {
        const double raw[4] = {value[0], value[1], value[2], value[3]};
        std::memcpy(out, raw, sizeof(raw));
    }
    static void FromRaw(const void* in, KgeRGBAVector& value) {
        double raw[4];
        std::memcpy(raw, in, sizeof(raw));
        value = KgeRGBAVector(raw[0], raw[1], raw[2], raw[3]);
    }
};

// All sixteen doubles travel (a KgeMatrix copy alone keeps only twelve); the
// type code stays 0.
template <>
struct KPropertyValueTraits<KgeMatrix> {
    static constexpr int kType = eKPropertyUnknown;
    static constexpr KPropertyValueLayout kLayout = KPropertyValueLayout::eDouble16;
    static KgeMatrix Initial() { return KgeMatrix(); }
    static void Assign(KgeMatrix& to, const KgeMatrix& from) { to.CopyFrom16(from); }
    static void ToRaw(const KgeMatrix& value, void* out) {
        std::memcpy(out, static_cast<const double*>(value), 16 * sizeof(double));
    }
    static void FromRaw(const void* in, KgeMatrix& value) {
        double raw[16];
        std::memcpy(raw, in, sizeof(raw));
        value.CopyFrom16(raw);
    }
};

template <class T>
class KPropertyTemplate : public KProperty {
public:
    using Traits = KPropertyValueTraits<T>;
    // Called with the owner (the property's parent plug).
    using Getter = T (*)(KPlug* owner);
    using Setter = void (*)(KPlug* owner, const T& value);

    // A static property: the initial value and the type code; the owning
    // object registers it and adds it to its list.
    KPropertyTemplate();
    // A dynamic property of the owner, added to its property list.
    KPropertyTemplate(KObject* owner, const char* name, KDataType* dataType, bool user, KProperty* source,
                      std::uint32_t ownFlags);
    // The same with a name already as KProperty::StoredName gives it.
    KPropertyTemplate(KObject* owner, const KInternedText& name, KDataType* dataType, bool user, KProperty* source,
                      std::uint32_t ownFlags);
    ~KPropertyTemplate() override = default;

    // KProperty::Register with typed callbacks.
    void Register(const char* name, KObject* owner, Getter getter, Setter setter);

    // The value, refreshed through the getter callback when there is one.
    void Get(T& out);
    T Get();
    // Events 20 and 21 around the change (even when the value is the same)
    // while the property announces its values;
    // the setter callback, when there is one, takes the value in place of the
    // property. The result is that of event 21.
    bool Set(const T& value);

    bool GetValue(void* out) override;
    bool SetValue(const void* in) override;
    KPropertyValueLayout GetValueLayout() const override { return Traits::kLayout; }

private:
    Getter GetGetter() const { return reinterpret_cast<Getter>(GetInfo().GetGetter()); }
    Setter GetSetter() const { return reinterpret_cast<Setter>(GetInfo().GetSetter()); }

    T mValue;
};

template <class T>
KPropertyTemplate<T>::KPropertyTemplate() : mValue(Traits::Initial()) {
    SetType(Traits::kType);
}

template <class T>
KPropertyTemplate<T>::KPropertyTemplate(KObject* owner, const char* name, KDataType* dataType, bool user,
                                        KProperty* source, std::uint32_t ownFlags)
    : KPropertyTemplate(owner, StoredName(name), dataType, user, source, ownFlags) {}

template <class T>
KPropertyTemplate<T>::KPropertyTemplate(KObject* owner, const KInternedText& name, KDataType* dataType, bool user,
                                        KProperty* source, std::uint32_t ownFlags)
    : mValue(Traits::Initial()) {
    InitDynamic(owner, name, dataType, user, source, ownFlags);
    SetType(Traits::kType);
    if (owner != nullptr) {
        owner->AddProperty(this);
    }
}

template <class T>
void KPropertyTemplate<T>::Register(const char* name, KObject* owner, Getter getter, Setter setter) {
    KProperty::Register(name, owner, reinterpret_cast<KPropertyCallback>(getter),
                        reinterpret_cast<KPropertyCallback>(setter));
}

template <class T>
void KPropertyTemplate<T>::Get(T& out) {
    if (Getter getter = GetGetter()) {
        const T current = getter(GetParent());
        Traits::Assign(mValue, current);
    }
    Traits::Assign(out, mValue);
}

template <class T>
T KPropertyTemplate<T>::Get() {
    T out = Traits::Initial();
    Get(out);
    return out;
}

template <class T>
bool KPropertyTemplate<T>::Set(const T& value) {
    const bool announce = AnnouncesValues();
    if (announce) {
        EmitValueEvent(nullptr, kEventValueChanging, this, reinterpret_cast<KEventWord>(&value),
                       reinterpret_cast<KEventWord>(&mValue), 0);
    }
    if (Setter setter = GetSetter()) {
        setter(GetParent(), value);
    } else {
        Traits::Assign(mValue, value);
    }
    return !announce ||
           EmitValueEvent(nullptr, kEventValueChanged, this, reinterpret_cast<KEventWord>(&value), 0, 0);
}

template <class T>
bool KPropertyTemplate<T>::GetValue(void* out) {
    if (out == nullptr) {
        return false;
    }
    T value = Traits::Initial();
    Get(value);
    Traits::ToRaw(value, out);
    return true;
}

template <class T>
bool KPropertyTemplate<T>::SetValue(const void* in) {
    if (in == nullptr) {
        return false;
    }
    T value = Traits::Initial();
    Traits::FromRaw(in, value);
    return Set(value);
}

// A dynamic property of the owner (added to its list) storing the value type
// that the type code calls for: int for 1 and 6, bool for 2 and 16, double
// for 4, KString for 5 and 8, KTime for 7, KObject* for 9, KgeTVector for 12
// and 13 (both end as 13), KgeRGBVector for 14, KgeRGBAVector for 15,
// KProperty* for 17 (referring to referenced, its source), KgeMatrix for 18.
// Null for other codes or when memory runs out.
KProperty* NewDynamicProperty(int type, KObject* owner, const char* name, KDataType* dataType, bool user,
                              KProperty* referenced);
// The same with a name already as KProperty::StoredName gives it.
KProperty* NewDynamicProperty(int type, KObject* owner, const KInternedText& name, KDataType* dataType, bool user,
                              KProperty* referenced);
// The type code that such a property made for the code reports, and the
// layout of its value; false when none is made for the code.
bool DynamicPropertyStorage(int type, int& storedType, KPropertyValueLayout& layout);

extern template class KPropertyTemplate<int>;
extern template class KPropertyTemplate<bool>;
extern template class KPropertyTemplate<double>;
extern template class KPropertyTemplate<KTime>;
extern template class KPropertyTemplate<KString>;
extern template class KPropertyTemplate<const char*>;
extern template class KPropertyTemplate<KObject*>;
extern template class KPropertyTemplate<KgeTVector>;
extern template class KPropertyTemplate<KgeRGBVector>;
extern template class KPropertyTemplate<KgeRGBAVector>;
extern template class KPropertyTemplate<KProperty*>;
extern template class KPropertyTemplate<KgeMatrix>;

}  // namespace fbxsdk_2006_11_1

#endif
