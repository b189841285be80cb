#include <fbxfilesdk/core/KFbxProperty_internal.h>

#include <fbxfilesdk/core/KPlugClassTable.h>

#include <fbxfilesdk/core/SdkAlloc.h>

#include <new>

namespace fbxsdk_2006_11_1 {

KFbxProperty_internal::KFbxProperty_internal(KFbxPlug* creator, KFbxSdkManager* manager, const char* name,
                                             const KFbxDataType& dataType, const char* label)
    : KFbxPlug_internal(creator),
      mName(name),
      mLabel(label),
      mDataType(dataType),
      mValue(dataType.GetType()),
      mManager(manager) {}

const KFbxProperty_internal::Rare KFbxProperty_internal::kNoRare;

const KPlugClassInfo* KFbxProperty_internal::GetClassInfo() const { return &gKFbxProperty_internalClassInfo; }

KFbxProperty_internal::Rare* KFbxProperty_internal::MakeRare() {
    if (mRare == nullptr) {
        mRare.reset(new (std::nothrow) Rare());
        if (mRare == nullptr) {
            SdkNoteAllocationFailure();
        }
    }
    return mRare.get();
}

}  // namespace fbxsdk_2006_11_1
