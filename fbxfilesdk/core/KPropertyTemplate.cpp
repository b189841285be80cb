#include <fbxfilesdk/core/KPropertyTemplate.h>

#include <new>

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

}  // namespace

KProperty* NewDynamicProperty(int type, KObject* owner, const char* name, KDataType* dataType, bool user,
                              KProperty* referenced) {
    return NewDynamicProperty(type, owner, KProperty::StoredName(name), dataType, user, referenced);
}

KProperty* NewDynamicProperty(int type, KObject* owner, const KInternedText& name, KDataType* dataType, bool user,
                              KProperty* referenced) {
    KProperty* property = nullptr;
    switch (type) {
        case eKPropertyInt:
        case eKPropertyEnum:
            property = New<int>(owner, name, dataType, user, nullptr);
            break;
        case eKPropertyBool:
        case eKPropertyAction:
            property = New<bool>(owner, name, dataType, user, nullptr);
            break;
        case eKPropertyDouble:
            property = New<double>(owner, name, dataType, user, nullptr);
            break;
        case eKPropertyCharPtr:
        case eKPropertyString:
            property = New<KString>(owner, name, dataType, user, nullptr);
            break;
        case eKPropertyTime:
            property = New<KTime>(owner, name, dataType, user, nullptr);
            break;
        case eKPropertyObject:
            property = New<KObject*>(owner, name, dataType, user, nullptr);
            break;
        case eKPropertyVector4D:
        case eKPropertyVector3D:
            property = New<KgeTVector>(owner, name, dataType, user, nullptr);
            break;
        case eKPropertyColorRGB:
            property = New<KgeRGBVector>(owner, name, dataType, user, nullptr);
            break;
        case eKPropertyColorRGBA:
            property = New<KgeRGBAVector>(owner, name, dataType, user, nullptr);
            break;
        case eKPropertyReference:
            property = New<KProperty*>(owner, name, dataType, user, referenced);
            break;
        case eKPropertyMatrix4x4:
            property = New<KgeMatrix>(owner, name, dataType, user, nullptr);
            break;
        default:
            return nullptr;
    }
    // Enums store ints and actions bools, under their own codes.
    if (property != nullptr && (type == eKPropertyEnum || type == eKPropertyAction)) {
        property->SetType(type);
    }
    return property;
}

}  // namespace fbxsdk_2006_11_1
