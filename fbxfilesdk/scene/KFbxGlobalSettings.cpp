#include <fbxfilesdk/scene/KFbxGlobalSettings.h>

#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr KFbxAxisSystem kDefaultAxisSystem(2, 2, 0);
constexpr KFbxSystemUnit kDefaultSystemUnit(1.0);

}  // namespace


KFbxGlobalSettings::KFbxGlobalSettings(KFbxSdkManager* manager, const char* name)
    : KFbxObject(manager, name), mAxisSystem(kDefaultAxisSystem), mSystemUnit(kDefaultSystemUnit) {}

KFbxGlobalSettings* KFbxGlobalSettings::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxGlobalSettings>(manager, ClassId, name);
}

KFbxPlug* KFbxGlobalSettings::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxGlobalSettings>(manager, name);
}

KFbxClassId KFbxGlobalSettings::GetClassId() const { return ClassId; }

const char* KFbxGlobalSettings::GetTypeName() const { return "GlobalSettings"; }

void KFbxGlobalSettings::RestoreDefaultSettings() {
    mAxisSystem = kDefaultAxisSystem;
    mSystemUnit = kDefaultSystemUnit;
}

}  // namespace fbxsdk_2006_11_1
