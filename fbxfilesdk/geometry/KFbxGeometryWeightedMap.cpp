#include <fbxfilesdk/geometry/KFbxGeometryWeightedMap.h>

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxCache_internal.h>

#include <new>
#include <utility>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr int kWeightedMapTypeCode = 16;

}  // namespace


KFbxGeometryWeightedMap::KFbxGeometryWeightedMap(KFbxSdkManager* manager, const char* name)
    : KFbxObject(manager, name) {
    CreateInternal();
}

KFbxGeometryWeightedMap::~KFbxGeometryWeightedMap() = default;

KFbxGeometryWeightedMap* KFbxGeometryWeightedMap::Create(KFbxSdkManager* manager, const char* name) {
    KFbxPlug* plug = CreateObjectOfClass(manager, ClassId, name);
    return plug != nullptr && plug->Is(ClassId) ? static_cast<KFbxGeometryWeightedMap*>(plug) : nullptr;
}

KFbxPlug* KFbxGeometryWeightedMap::CreateFn(KFbxSdkManager* manager, const char* name) {
    auto* map = new (std::nothrow) KFbxGeometryWeightedMap(manager, name);
    if (map != nullptr) {
        map->CreateInternal();
    }
    return map;
}

KFbxClassId KFbxGeometryWeightedMap::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxGeometryWeightedMap::NewInternalObject() { return new (std::nothrow) KFbxGeometryWeightedMap_internal(this); }

int KFbxGeometryWeightedMap::GetObjectTypeCode() const { return kWeightedMapTypeCode; }

const char* KFbxGeometryWeightedMap::GetTypeName() const { return "GeometryWeightedMap"; }

void KFbxGeometryWeightedMap::SetValues(std::unique_ptr<KFbxWeightedMapping> mapping) {
    mMapping = std::move(mapping);
}

}  // namespace fbxsdk_2006_11_1
