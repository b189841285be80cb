// A position constraint: the constrained object's translation follows the
// weighted sources' translations. Its offset property is "Translation".
#ifndef FBXFILESDK_SCENE_KFBXCONSTRAINTPOSITION_H
#define FBXFILESDK_SCENE_KFBXCONSTRAINTPOSITION_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/scene/KFbxConstraintAxis.h>

namespace fbxsdk_2006_11_1 {

class KFbxConstraintPosition : public KFbxConstraintAxis {
public:
    // The class id of KFbxConstraintPosition; null until the class is registered.
    static KFbxClassId ClassId;

    // Active, all three axes affected, weight 100, offset (0, 0, 0).
    KFbxConstraintPosition(KFbxSdkManager* manager, const char* name);

    static KFbxConstraintPosition* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    const char* GetTypeName() const override { return "Position From Positions"; }
    KFbxObject_internal* NewInternalObject() override;
    EConstraintType GetConstraintType() const override { return ePOSITION; }
};

}  // namespace fbxsdk_2006_11_1

#endif
