#include <fbxfilesdk/core/KFbxProperty_internal.h>

#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/core/KRareBlock.h>

namespace fbxsdk_2006_11_1 {

KFbxProperty_internal::KFbxProperty_internal(KFbxPlug* creator, KFbxSdkManager* manager, const char* name,
                                             const KFbxDataType& dataType, const char* label)
    : KFbxProperty_internal(creator, manager, KInternedText(name), dataType, KInternedText(label)) {}

KFbxProperty_internal::KFbxProperty_internal(KFbxPlug* creator, KFbxSdkManager* manager, const KInternedText& name,
                                             const KFbxDataType& dataType, const KInternedText& label)
    : KFbxPlug_internal(creator),
      mName(name),
      mLabel(label),
      mDataType(dataType),
      mManager(manager),
      mValueType(static_cast<std::uint8_t>(dataType.GetType())),
      mValue(dataType.GetType()) {}

KFbxProperty_internal::~KFbxProperty_internal() { mValue.Release(ValueType()); }

const KFbxProperty_internal::Rare KFbxProperty_internal::kNoRare;

const KPlugClassInfo* KFbxProperty_internal::GetClassInfo() const { return &gKFbxProperty_internalClassInfo; }

KFbxProperty_internal::Rare* KFbxProperty_internal::MakeRare() { return KMakeRareBlock(mRare); }

std::vector<KInternedText>& KFbxProperty_internal::Rare::OwnEnumNames() {
    if (mFixedEnumNames != nullptr) {
        mEnumNames.assign(mFixedEnumNames, mFixedEnumNames + mFixedEnumCount);
        mFixedEnumNames = nullptr;
        mFixedEnumCount = 0;
    }
    return mEnumNames;
}

}  // namespace fbxsdk_2006_11_1
