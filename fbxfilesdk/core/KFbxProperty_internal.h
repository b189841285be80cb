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
#include <limits>
#include <memory>

namespace fbxsdk_2006_11_1 {

class KFbxObject;
class KFbxPlug;
class KFbxSdkManager;
class KProperty;

class KFbxProperty_internal : public KFbxPlug_internal {
public:
    // What few properties have, kept apart so that the others do not pay for it.
    struct Rare {
        double mMin = -std::numeric_limits<double>::infinity();
        double mMax = std::numeric_limits<double>::infinity();
        void* mUserData = nullptr;
        void* mUserTag = nullptr;
        std::unique_ptr<KStringList> mEnumNames;
    };

    // Limits minus and plus infinity, no flags, a zero value of the data type.
    KFbxProperty_internal(KFbxPlug* creator, KFbxSdkManager* manager, const char* name,
                          const KFbxDataType& dataType, const char* label);

    const KPlugClassInfo* GetClassInfo() const override;

    // The defaults when none was made.
    const Rare& GetRare() const { return mRare != nullptr ? *mRare : kNoRare; }
    // Made on first call; null when memory runs out.
    Rare* MakeRare();

    // The handles work on the fields directly.

    // Shared with every property of the same name or label, here and on the twins.
    KInternedText mName;
    // Empty means no label.
    KInternedText mLabel;
    std::uint32_t mFlags = 0;
    KFbxDataType mDataType;
    KFbxValueBuffer mValue;
    std::unique_ptr<Rare> mRare;
    KFbxObject* mOwner = nullptr;
    KProperty* mLink = nullptr;
    KFbxSdkManager* mManager;

private:
    static const Rare kNoRare;
};

}  // namespace fbxsdk_2006_11_1

#endif
