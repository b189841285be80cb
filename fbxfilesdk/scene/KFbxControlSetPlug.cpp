#include <fbxfilesdk/scene/KFbxControlSetPlug.h>

#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

namespace fbxsdk_2006_11_1 {


KFbxControlSetPlug::KFbxControlSetPlug(KFbxSdkManager* manager, const char* name) : KFbxObject(manager, name) {
    CreateInternal();
}

KFbxControlSetPlug* KFbxControlSetPlug::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxControlSetPlug>(manager, ClassId, name);
}

KFbxPlug* KFbxControlSetPlug::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxControlSetPlug>(manager, name);
}

KFbxClassId KFbxControlSetPlug::GetClassId() const { return ClassId; }

}  // namespace fbxsdk_2006_11_1
