#include <fbxfilesdk/core/KFbxProperty_internal.h>

#include <fbxfilesdk/core/KPlugClassTable.h>

#include <limits>

namespace fbxsdk_2006_11_1 {

KFbxProperty_internal::KFbxProperty_internal(KFbxPlug* creator, KFbxSdkManager* manager, const char* name,
                                             const KFbxDataType& dataType, const char* label)
    : KFbxPlug_internal(creator),
      mName(name),
      mLabel(label),
      mMin(-std::numeric_limits<double>::infinity()),
      mMax(std::numeric_limits<double>::infinity()),
      mDataType(dataType),
      mValue(dataType.GetType()),
      mManager(manager) {}

const KPlugClassInfo* KFbxProperty_internal::GetClassInfo() const { return &gKFbxProperty_internalClassInfo; }

}  // namespace fbxsdk_2006_11_1
