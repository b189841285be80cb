#include <fbxfilesdk/fbx/IFbxObject.h>

#include <new>

namespace fbxsdk_2006_11_1 {

IFbxObject* IFbxObject::Create() { return new (std::nothrow) IFbxObject(); }

void IFbxObject::Destroy() { delete this; }

}  // namespace fbxsdk_2006_11_1
