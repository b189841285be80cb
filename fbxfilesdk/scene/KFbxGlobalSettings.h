// The scene-wide frame of reference: which axis points up and which way the
// coordinate system turns, and how long one scene unit is. A scene keeps it
// as a connected object named "GlobalSettings" and finds it again by class.
#ifndef FBXFILESDK_SCENE_KFBXGLOBALSETTINGS_H
#define FBXFILESDK_SCENE_KFBXGLOBALSETTINGS_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/scene/KFbxAxisSystem.h>
#include <fbxfilesdk/scene/KFbxSystemUnit.h>

namespace fbxsdk_2006_11_1 {

class KFbxGlobalSettings : public KFbxObject {
public:
    // The class id of KFbxGlobalSettings; null until the class is registered.
    static KFbxClassId ClassId;

    // Y up, right-handed, in centimetres until told otherwise.
    KFbxGlobalSettings(KFbxSdkManager* manager, const char* name);

    static KFbxGlobalSettings* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    const char* GetTypeName() const override;

    void SetAxisSystem(const KFbxAxisSystem& axisSystem) { mAxisSystem = axisSystem; }
    const KFbxAxisSystem& GetAxisSystem() const { return mAxisSystem; }
    void SetSystemUnit(const KFbxSystemUnit& unit) { mSystemUnit = unit; }
    const KFbxSystemUnit& GetSystemUnit() const { return mSystemUnit; }
    // Both back to the values of a new object.
    void RestoreDefaultSettings();

private:
    KFbxAxisSystem mAxisSystem;
    KFbxSystemUnit mSystemUnit;
};

}  // namespace fbxsdk_2006_11_1

#endif
