#include <fbxfilesdk/geometry/KFbxCache.h>

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxCache_internal.h>

#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr int kCacheTypeCode = 21;

}  // namespace


KFbxCache::KFbxCache(KFbxSdkManager* manager, const char* name) : KFbxObject(manager, name) { CreateInternal(); }

KFbxCache::~KFbxCache() = default;

KFbxCache* KFbxCache::Create(KFbxSdkManager* manager, const char* name) {
    KFbxPlug* plug = CreateObjectOfClass(manager, ClassId, name);
    return plug != nullptr && plug->Is(ClassId) ? static_cast<KFbxCache*>(plug) : nullptr;
}

KFbxPlug* KFbxCache::CreateFn(KFbxSdkManager* manager, const char* name) {
    auto* cache = new (std::nothrow) KFbxCache(manager, name);
    if (cache != nullptr) {
        cache->CreateInternal();
    }
    return cache;
}

KFbxClassId KFbxCache::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxCache::NewInternalObject() { return new (std::nothrow) KFbxCache_internal(this); }

int KFbxCache::GetObjectTypeCode() const { return kCacheTypeCode; }

const char* KFbxCache::GetTypeName() const { return "Cache"; }

}  // namespace fbxsdk_2006_11_1
