#include <fbxfilesdk/core/KFbxPlug_internal.h>

#include <fbxfilesdk/core/KPlugClassTable.h>

namespace fbxsdk_2006_11_1 {

const KPlugClassInfo* KFbxPlug_internal::GetClassInfo() const { return &gKFbxPlug_internalClassInfo; }

}  // namespace fbxsdk_2006_11_1
