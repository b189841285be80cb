#include <fbxfilesdk/geometry/KFbxLayerElementObjectArray.h>

#include <fbxfilesdk/core/KFbxPlug.h>
#include <fbxfilesdk/geometry/KFbxArrayCopy.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>
#include <fbxfilesdk/geometry/KFbxTexture.h>

namespace fbxsdk_2006_11_1 {

template <class Object>
bool KFbxLayerElementObjectArray<Object>::HandleOf(Object* object, HdlKObject& handle) {
    handle = object != nullptr ? HdlKObject(object->GetInternalPlug()) : HdlKObject();
    return object == nullptr || !handle.IsEmpty();
}

template <class Object>
Object* KFbxLayerElementObjectArray<Object>::GetAt(int index) const {
    // The handle resolves to the object's twin while it lives; the twin lets
    // go of its public object before either is freed.
    KFbxPlug* object = KFbxGetPublicPlug(mHandles.GetAt(index).Resolve());
    return object != nullptr ? static_cast<Object*>(object) : nullptr;
}

template <class Object>
int KFbxLayerElementObjectArray<Object>::Add(Object* object) {
    HdlKObject handle;
    return HandleOf(object, handle) ? mHandles.Add(handle) : -1;
}

template <class Object>
int KFbxLayerElementObjectArray<Object>::InsertAt(int index, Object* object) {
    HdlKObject handle;
    return HandleOf(object, handle) ? mHandles.InsertAt(index, handle) : -1;
}

template <class Object>
bool KFbxLayerElementObjectArray<Object>::SetAt(int index, Object* object) {
    HdlKObject handle;
    return index >= 0 && index < GetCount() && HandleOf(object, handle) && mHandles.SetAt(index, handle);
}

template <class Object>
Object* KFbxLayerElementObjectArray<Object>::Pop() {
    Object* object = GetAt(GetCount() - 1);
    mHandles.Pop();
    return object;
}

template <class Object>
bool KFbxLayerElementObjectArray<Object>::Copy(const KFbxLayerElementObjectArray& other) {
    return KFbxCopyDynamicArray(mHandles, other.mHandles);
}

template class KFbxLayerElementObjectArray<KFbxSurfaceMaterial>;
template class KFbxLayerElementObjectArray<KFbxTexture>;

}  // namespace fbxsdk_2006_11_1
