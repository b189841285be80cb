// A weighted map between two geometries: an object holding the weighted
// mapping of their elements. The geometry it is a source of owns it.
#ifndef FBXFILESDK_GEOMETRY_KFBXGEOMETRYWEIGHTEDMAP_H
#define FBXFILESDK_GEOMETRY_KFBXGEOMETRYWEIGHTEDMAP_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/geometry/KFbxWeightedMapping.h>

#include <memory>

namespace fbxsdk_2006_11_1 {

class KFbxPlug;
class KFbxSdkManager;

class KFbxGeometryWeightedMap : public KFbxObject {
public:
    // The class id of KFbxGeometryWeightedMap; null until the class is registered.
    static KFbxClassId ClassId;

    // No mapping yet.
    KFbxGeometryWeightedMap(KFbxSdkManager* manager, const char* name);
    ~KFbxGeometryWeightedMap() override;

    // Through the manager's class table; null on failure.
    static KFbxGeometryWeightedMap* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    // The twin of the class, KFbxGeometryWeightedMap_internal.
    KFbxObject_internal* NewInternalObject() override;
    // Weighted maps are stored under "GeometryWeightedMap::".
    int GetObjectTypeCode() const override;
    const char* GetTypeName() const override;

    // The map takes the mapping over (null removes it), freeing the one it had.
    void SetValues(std::unique_ptr<KFbxWeightedMapping> mapping);
    // Null when none.
    KFbxWeightedMapping* GetValues() const { return mMapping.get(); }

private:
    std::unique_ptr<KFbxWeightedMapping> mMapping;
};

}  // namespace fbxsdk_2006_11_1

#endif
