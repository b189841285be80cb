#include <fbxfilesdk/core/KPropertyTemplate.h>

#include <new>
#include <type_traits>

namespace fbxsdk_2006_11_1 {

template class KPropertyTemplate<int>;
template class KPropertyTemplate<bool>;
template class KPropertyTemplate<double>;
template class KPropertyTemplate<KTime>;
template class KPropertyTemplate<KString>;
template class KPropertyTemplate<const char*>;
template class KPropertyTemplate<KObject*>;
template class KPropertyTemplate<KgeTVector>;
template class KPropertyTemplate<KgeRGBVector>;
template class KPropertyTemplate<KgeRGBAVector>;
template class KPropertyTemplate<KProperty*>;
template class KPropertyTemplate<KgeMatrix>;

namespace {

template <class T>
KProperty* New(KObject* owner, const KInternedText& name, KDataType* dataType, bool user, KProperty* source) {
    return new (std::nothrow) KPropertyTemplate<T>(owner, name, dataType, user, source, 0);
}

// Calls visit with a null pointer to the value type a dynamic property of
// the type code stores, or to void for the codes none is made for.
template <class Visit>
auto ForStoredType(int type, Visit&& visit) {
    switch (type) {
        case eKPropertyInt:
        case eKPropertyEnum:
            return visit(static_cast<int*>(nullptr));
        case eKPropertyBool:
        case eKPropertyAction:
            return visit(static_cast<bool*>(nullptr));
        case eKPropertyDouble:
            return visit(static_cast<double*>(nullptr));
        case eKPropertyCharPtr:
        case eKPropertyString:
            return visit(static_cast<KString*>(nullptr));
        case eKPropertyTime:
            return visit(static_cast<KTime*>(nullptr));
        case eKPropertyObject:
            return visit(static_cast<KObject**>(nullptr));
        case eKPropertyVector4D:
        case eKPropertyVector3D:
            return visit(static_cast<KgeTVector*>(nullptr));
        case eKPropertyColorRGB:
            return visit(static_cast<KgeRGBVector*>(nullptr));
        case eKPropertyColorRGBA:
            return visit(static_cast<KgeRGBAVector*>(nullptr));
        case eKPropertyReference:
            return visit(static_cast<KProperty**>(nullptr));
        case eKPropertyMatrix4x4:
            return visit(static_cast<KgeMatrix*>(nullptr));
        default:
            return visit(static_cast<void*>(nullptr));
    }
}

}  // namespace

KProperty* NewDynamicProperty(int type, KObject* owner, const char* name, KDataType* dataType, bool user,
                              KProperty* referenced) {
    return NewDynamicProperty(type, owner, KProperty::StoredName(name), dataType, user, referenced);
}

KProperty* NewDynamicProperty(int type, KObject* owner, const KInternedText& name, KDataType* dataType, bool user,
                              KProperty* referenced) {
    KProperty* property = ForStoredType(type, [&](auto* tag) -> KProperty* {
        using T = std::remove_pointer_t<decltype(tag)>;
        if constexpr (std::is_void_v<T>) {
            return nullptr;
        } else {
            return New<T>(owner, name, dataType, user, std::is_same_v<T, KProperty*> ? referenced : nullptr);
        }
    });
    // Enums store ints and actions bools, under their own codes.
    if (property != nullptr && (type == eKPropertyEnum || type == eKPropertyAction)) {
        property->SetType(type);
    }
    return property;
}

bool DynamicPropertyStorage(int type, int& storedType, KPropertyValueLayout& layout) {
    return ForStoredType(type, [&](auto* tag) {
        using T = std::remove_pointer_t<decltype(tag)>;
        if constexpr (std::is_void_v<T>) {
            return false;
        } else {
            const bool ownCode = type == eKPropertyEnum || type == eKPropertyAction;
            storedType = ownCode ? type : KPropertyValueTraits<T>::kType;
            layout = KPropertyValueTraits<T>::kLayout;
            return true;
        }
    });
}

}  // namespace fbxsdk_2006_11_1
