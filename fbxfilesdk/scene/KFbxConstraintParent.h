// A parent constraint: the constrained object follows its sources as if it
// were their child, on the translation and rotation axes it is allowed to
// (scaling is off for a new one). Each source has its own translation and
// rotation offset, kept as properties named after the source.
#ifndef FBXFILESDK_SCENE_KFBXCONSTRAINTPARENT_H
#define FBXFILESDK_SCENE_KFBXCONSTRAINTPARENT_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxTypedProperty.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/scene/KFbxConstraint.h>

namespace fbxsdk_2006_11_1 {

class KFbxConstraintParent : public KFbxConstraint {
public:
    // The class id of KFbxConstraintParent; null until the class is registered.
    static KFbxClassId ClassId;

    // Active, translation and rotation affected on all axes, scaling on none, weight 100.
    KFbxConstraintParent(KFbxSdkManager* manager, const char* name);

    static KFbxConstraintParent* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    const char* GetTypeName() const override { return "Parent-Child"; }
    KFbxObject_internal* NewInternalObject() override;
    EConstraintType GetConstraintType() const override { return ePARENT; }
    // The source also gets zero ".Offset T" and ".Offset R" properties.
    bool AddConstraintSource(KFbxObject* source, double weight = 100.0) override;

    // The source's ".Offset T" / ".Offset R" as (x, y, z, 1); (0, 0, 0, 1)
    // for a null source or one without the property.
    KFbxVector4 GetTranslationOffset(const KFbxObject* source) const;
    KFbxVector4 GetRotationOffset(const KFbxObject* source) const;
    // Only an existing property of the source changes: nothing is made here.
    void SetRotationOffset(const KFbxObject* source, const KFbxVector4& offset);
    void SetTranslationOffset(const KFbxObject* source, const KFbxVector4& offset);

    bool GetActive() const { return Active.Get(); }
    bool GetLock() const { return Lock.Get(); }
    double GetWeight() const { return Weight.Get(); }
    // Axis 0, 1 or 2 (x, y, z); false for another axis.
    bool GetAffectTranslation(int axis) const;
    bool GetAffectRotation(int axis) const;
    // Scaling has no handle of its own: read by name.
    bool GetAffectScaling(int axis) const;

    KFbxTypedProperty<bool> Lock;
    KFbxTypedProperty<bool> Active;
    KFbxTypedProperty<bool> AffectTranslationX;
    KFbxTypedProperty<bool> AffectTranslationY;
    KFbxTypedProperty<bool> AffectTranslationZ;
    KFbxTypedProperty<bool> AffectRotationX;
    KFbxTypedProperty<bool> AffectRotationY;
    KFbxTypedProperty<bool> AffectRotationZ;
    KFbxTypedProperty<double> Weight;
    // "Constrained object (Child)": at most one object, connected as a destination.
    KFbxProperty ConstrainedObject;
    // "Source (Parent)": any number of objects, connected as sources.
    KFbxProperty ConstraintSources;

private:
    void WriteSourceOffset(const KFbxObject* source, const char* suffix, const KFbxVector4& offset);
};

}  // namespace fbxsdk_2006_11_1

#endif
