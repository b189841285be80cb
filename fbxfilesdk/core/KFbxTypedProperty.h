// Public property handles that read and write one C++ value type.
#ifndef FBXFILESDK_CORE_KFBXTYPEDPROPERTY_H
#define FBXFILESDK_CORE_KFBXTYPEDPROPERTY_H

#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>

namespace fbxsdk_2006_11_1 {

template <class T>
class KFbxTypedProperty : public KFbxProperty {
    static_assert(kFbxValueTypeOf<T> != eFbxValueNone, "no property value has this type");

public:
    using KFbxProperty::KFbxProperty;
    KFbxTypedProperty() = default;
    KFbxTypedProperty(const KFbxProperty& other) : KFbxProperty(other) {}
    KFbxTypedProperty& operator=(const KFbxProperty& other) {
        KFbxProperty::operator=(other);
        return *this;
    }

    // The zero value when the property cannot give one of the type.
    T Get() const {
        T value{};
        KFbxProperty::Get(&value, kFbxValueTypeOf<T>);
        return value;
    }
    bool Set(const T& value) { return KFbxProperty::Set(&value, kFbxValueTypeOf<T>); }
};

}  // namespace fbxsdk_2006_11_1

#endif
