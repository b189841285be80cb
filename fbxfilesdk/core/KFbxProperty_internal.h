// The shared state of public property handles: name, label, limits, flags,
// data type, the value, enum names, the object it belongs to and the
// internal property of that object's twin it is bound to.
#ifndef FBXFILESDK_CORE_KFBXPROPERTY_INTERNAL_H
#define FBXFILESDK_CORE_KFBXPROPERTY_INTERNAL_H

#include <fbxfilesdk/core/KBlockRecycler.h>
#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxPlug_internal.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KInternedText.h>

#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxObject;
class KFbxPlug;
class KFbxSdkManager;
class KProperty;

class KFbxProperty_internal : public KFbxPlug_internal {
public:
    // What few properties have, kept apart so that the others do not pay for
    // it. Every new camera, light and node makes some (their enums): the
    // blocks are recycled with the objects'.
    struct Rare : KRecycledBlocks {
        double mMin = -std::numeric_limits<double>::infinity();
        double mMax = std::numeric_limits<double>::infinity();
        void* mUserData = nullptr;
        void* mUserTag = nullptr;

        std::size_t EnumCount() const { return mFixedEnumNames != nullptr ? mFixedEnumCount : mEnumNames.size(); }
        const KInternedText& EnumName(std::size_t index) const {
            return mFixedEnumNames != nullptr ? mFixedEnumNames[index] : mEnumNames[index];
        }
        // Reads a class's table for as long as it is shared.
        void ShareEnumNames(const KInternedText* names, std::size_t count) {
            mFixedEnumNames = names;
            mFixedEnumCount = count;
        }
        // The property's own list, to be changed: a shared table is copied
        // into it first. Throws bad_alloc, leaving the table shared.
        std::vector<KInternedText>& OwnEnumNames();

    private:
        // Interned: every object of a class lists the same names. Objects of
        // a class given their values from its fixed table read the table,
        // which lives as long as the process, until their list first changes.
        std::vector<KInternedText> mEnumNames;
        const KInternedText* mFixedEnumNames = nullptr;
        std::size_t mFixedEnumCount = 0;
    };

    // Limits minus and plus infinity, no flags, a zero value of the data type.
    KFbxProperty_internal(KFbxPlug* creator, KFbxSdkManager* manager, const char* name,
                          const KFbxDataType& dataType, const char* label);
    // The same with the name and label already interned: no pool look-up.
    KFbxProperty_internal(KFbxPlug* creator, KFbxSdkManager* manager, const KInternedText& name,
                          const KFbxDataType& dataType, const KInternedText& label);

    ~KFbxProperty_internal() override;

    const KPlugClassInfo* GetClassInfo() const override;

    // The stored value, in the value type of the data type the property was
    // made with; null for types that store nothing or when memory ran out.
    void* GetValueData() const { return mValue.Get(ValueType()); }

    // The defaults when none was made.
    const Rare& GetRare() const { return mRare != nullptr ? *mRare : kNoRare; }
    // Made on first call; null when memory runs out.
    Rare* MakeRare();

    // The handles work on the fields directly.

    // Shared with every property of the same name or label, here and on the twins.
    KInternedText mName;
    // Empty means no label.
    KInternedText mLabel;
    KFbxDataType mDataType;
    std::unique_ptr<Rare> mRare;
    KFbxObject* mOwner = nullptr;
    KProperty* mLink = nullptr;
    KFbxSdkManager* mManager;
    std::uint32_t mFlags = 0;
    // kBindPending: registered with an object whose twin has not shown its
    // properties since; the twin's record is made when it does.
    // kTwinFlag8: the twin record's own flag 8 as binding at registration
    // and the changes of flag 8 since would have left it.
    static constexpr std::uint8_t kBindPending = 1;
    static constexpr std::uint8_t kTwinFlag8 = 2;
    std::uint8_t mBindState = 0;

private:
    EFbxValueType ValueType() const { return static_cast<EFbxValueType>(mValueType); }

    static const Rare kNoRare;

    // The fields are ordered so that the record packs without holes: the
    // type byte shares a word with the flags above.
    // The value type the storage was made for, kept apart from the data type
    // so that the storage is always read and ended as it was made.
    std::uint8_t mValueType;
    KFbxValueStorage mValue;
};

}  // namespace fbxsdk_2006_11_1

#endif
