// The shared state of public property handles: name, label, limits, flags,
// data type, the value, enum names, the object it belongs to and the
// internal property of that object's twin it is bound to.
#ifndef FBXFILESDK_CORE_KFBXPROPERTY_INTERNAL_H
#define FBXFILESDK_CORE_KFBXPROPERTY_INTERNAL_H

#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxPlug_internal.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KInternedText.h>
#include <fbxfilesdk/core/KStringList.h>

#include <cstdint>
#include <memory>

namespace fbxsdk_2006_11_1 {

class KFbxObject;
class KFbxPlug;
class KFbxSdkManager;
class KProperty;

class KFbxProperty_internal : public KFbxPlug_internal {
public:
    // Limits minus and plus infinity, no flags, a zero value of the data type.
    KFbxProperty_internal(KFbxPlug* creator, KFbxSdkManager* manager, const char* name,
                          const KFbxDataType& dataType, const char* label);

    const KPlugClassInfo* GetClassInfo() const override;

    // The handles work on the fields directly.

    // Shared with every property of the same name or label, here and on the twins.
    KInternedText mName;
    // Empty means no label.
    KInternedText mLabel;
    double mMin;
    double mMax;
    std::uint32_t mFlags = 0;
    KFbxDataType mDataType;
    KFbxValueBuffer mValue;
    void* mUserData = nullptr;
    std::unique_ptr<KStringList> mEnumNames;
    void* mUserTag = nullptr;
    KFbxObject* mOwner = nullptr;
    KProperty* mLink = nullptr;
    KFbxSdkManager* mManager;
};

}  // namespace fbxsdk_2006_11_1

#endif
