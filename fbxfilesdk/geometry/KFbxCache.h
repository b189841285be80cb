// A cache: an object that stands for recorded point data kept outside the
// scene; what it holds travels in its properties.
#ifndef FBXFILESDK_GEOMETRY_KFBXCACHE_H
#define FBXFILESDK_GEOMETRY_KFBXCACHE_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxObject.h>

namespace fbxsdk_2006_11_1 {

class KFbxPlug;
class KFbxSdkManager;

class KFbxCache : public KFbxObject {
public:
    // The class id of KFbxCache; null until the class is registered.
    static KFbxClassId ClassId;

    KFbxCache(KFbxSdkManager* manager, const char* name);
    ~KFbxCache() override;

    // Through the manager's class table; null on failure.
    static KFbxCache* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    // The twin of the class, KFbxCache_internal.
    KFbxObject_internal* NewInternalObject() override;
    // Caches are stored under "Cache::".
    int GetObjectTypeCode() const override;
    const char* GetTypeName() const override;
};

}  // namespace fbxsdk_2006_11_1

#endif
