// The common form of the position, rotation and scale constraints: a
// constrained object follows the weighted sources on the axes it is allowed
// to, plus an offset. The three kinds differ only in the offset's name and
// their class.
#ifndef FBXFILESDK_SCENE_KFBXCONSTRAINTAXIS_H
#define FBXFILESDK_SCENE_KFBXCONSTRAINTAXIS_H

#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KFbxTypedProperty.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/scene/KFbxConstraint.h>

namespace fbxsdk_2006_11_1 {

class KFbxConstraintAxis : public KFbxConstraint {
public:
    // Writes x, y and z into the offset property.
    void SetOffset(const KFbxVector4& offset) override;
    // (x, y, z, 1).
    KFbxVector4 GetOffset() const { return ReadVector(Offset); }

    bool GetActive() const { return Active.Get(); }
    bool GetLock() const { return Lock.Get(); }
    bool GetAffectX() const { return AffectX.Get(); }
    bool GetAffectY() const { return AffectY.Get(); }
    bool GetAffectZ() const { return AffectZ.Get(); }
    double GetWeight() const { return Weight.Get(); }

    KFbxTypedProperty<bool> Lock;
    KFbxTypedProperty<bool> Active;
    KFbxTypedProperty<bool> AffectX;
    KFbxTypedProperty<bool> AffectY;
    KFbxTypedProperty<bool> AffectZ;
    // "Translation", "Rotation" or "Scaling".
    KFbxTypedProperty<fbxDouble3> Offset;
    KFbxTypedProperty<double> Weight;
    // "Constrained Object": at most one object, connected as a destination.
    KFbxProperty ConstrainedObject;
    // "Source": any number of objects, connected as sources.
    KFbxProperty ConstraintSources;

protected:
    KFbxConstraintAxis(KFbxSdkManager* manager, const char* name);
    // Once the derived class is the most derived: the twin, then the handles.
    void ConstructAxisConstraint(const char* offsetName);
};

}  // namespace fbxsdk_2006_11_1

#endif
