// The object a character connects as its input when a control set drives it.
#ifndef FBXFILESDK_SCENE_KFBXCONTROLSETPLUG_H
#define FBXFILESDK_SCENE_KFBXCONTROLSETPLUG_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxObject.h>

namespace fbxsdk_2006_11_1 {

class KFbxControlSetPlug : public KFbxObject {
public:
    // The class id of KFbxControlSetPlug; null until the class is registered.
    static KFbxClassId ClassId;

    KFbxControlSetPlug(KFbxSdkManager* manager, const char* name);

    // Through the manager's factory by the class id; null without one.
    static KFbxControlSetPlug* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    // 12: names carry "ControlSetPlug::".
    int GetObjectTypeCode() const override { return 12; }
    const char* GetTypeName() const override { return "ControlSetPlug"; }
};

}  // namespace fbxsdk_2006_11_1

#endif
