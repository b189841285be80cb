// The internal twins of the plain geometry objects: caches and weighted maps.
// They hold nothing of their own; their plug classes tell them apart from
// other objects' twins.
#ifndef FBXFILESDK_GEOMETRY_KFBXCACHE_INTERNAL_H
#define FBXFILESDK_GEOMETRY_KFBXCACHE_INTERNAL_H

#include <fbxfilesdk/core/KFbxObject_internal.h>

namespace fbxsdk_2006_11_1 {

class KFbxCache;
class KFbxGeometryWeightedMap;
class KPlugClassInfo;

class KFbxCache_internal : public KFbxObject_internal {
public:
    explicit KFbxCache_internal(KFbxCache* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

class KFbxGeometryWeightedMap_internal : public KFbxObject_internal {
public:
    explicit KFbxGeometryWeightedMap_internal(KFbxGeometryWeightedMap* publicObject);
    const KPlugClassInfo* GetClassInfo() const override;
};

}  // namespace fbxsdk_2006_11_1

#endif
