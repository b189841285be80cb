// The two halves of every scene class's creation: the create function the
// manager's class table calls, and the typed Create that asks the manager.
#ifndef FBXFILESDK_SCENE_KFBXSCENEOBJECTFACTORY_H
#define FBXFILESDK_SCENE_KFBXSCENEOBJECTFACTORY_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxPlug.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <new>

namespace fbxsdk_2006_11_1 {

// Constructs the object with its twin; null when memory runs out.
template <class T>
KFbxPlug* KFbxConstructObject(KFbxSdkManager* manager, const char* name) {
    auto* object = new (std::nothrow) T(manager, name);
    if (object == nullptr) {
        SdkNoteAllocationFailure();
        return nullptr;
    }
    object->CreateInternal();
    return object;
}

// The manager's object of the class; null when the class is not registered
// with it or the object is not of the class.
template <class T>
T* KFbxCreateObjectOfClass(KFbxSdkManager* manager, const KFbxClassId& classId, const char* name) {
    KFbxPlug* plug = CreateObjectOfClass(manager, classId, name);
    return plug != nullptr && plug->Is(classId) ? static_cast<T*>(plug) : nullptr;
}

// Mode 2: a new object of the class under the name, made through the
// source's manager and filled by the class's CopyFrom; null for other modes.
template <class T>
T* KFbxCloneByCopy(const T& source, int mode, const char* name) {
    if (mode != 2) {
        return nullptr;
    }
    T* copy = T::Create(source.GetSdkManager(), name);
    if (copy != nullptr) {
        copy->CopyFrom(source);
    }
    return copy;
}

}  // namespace fbxsdk_2006_11_1

#endif
