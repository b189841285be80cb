// The attribute of a node that marks a point: a plain marker, an optical
// marker (with an animated occlusion), or an IK or FK effector (the IK
// effector with animated reach in translation and rotation). The animated
// quantities are channels of the owning node's takes and follow the type.
#ifndef FBXFILESDK_SCENE_KFBXMARKER_H
#define FBXFILESDK_SCENE_KFBXMARKER_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/core/KFbxColor.h>
#include <fbxfilesdk/core/KFbxProperty.h>
#include <fbxfilesdk/core/KFbxTypedProperty.h>
#include <fbxfilesdk/core/KFbxVector4.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>

namespace fbxsdk_2006_11_1 {

class KFbxMarker : public KFbxNodeAttribute {
public:
    enum EType { eSTANDARD = 0, eOPTICAL = 1, eIK_EFFECTOR = 2, eFK_EFFECTOR = 3 };
    enum ELook { eCUBE = 0, eHARD_CROSS = 1, eLIGHT_CROSS = 2, eSPHERE = 3 };

    // The class id of KFbxMarker; null until the class is registered.
    static KFbxClassId ClassId;

    // A standard red cube of size 100.
    KFbxMarker(KFbxSdkManager* manager, const char* name);

    static KFbxMarker* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    EAttributeType GetAttributeType() const override { return eMARKER; }
    // "OpticalMarker", "IKEffector", "FKEffector", else "Marker".
    const char* GetTypeName() const override;
    void GetTypeFlags(KStringList& flags) const override;
    // Mode 2: a new marker with an empty name and this one's values but the IK pivot.
    KFbxNodeAttribute* Clone(int mode) const override;
    // The channels of the type: "Occlusion" for an optical marker, "IK Reach
    // Translation" and "IK Reach Rotation" for an IK effector.
    void FillTakeNodeTemplate(KFbxTakeNode& takeNode) override;
    void ClearTakeNodeTemplate(KFbxTakeNode& takeNode) override;

    // While attached, the old type's channels leave the node's takes and the
    // new type's come in.
    void SetType(EType type);
    EType GetType() const { return mType; }

    void SetLook(int look);
    int GetLook() const;
    // "Cube", "Hard Cross", "Light Cross", "Sphere"; null for any other value.
    static const char* GetLookName(int look);
    void SetSize(double size) { Size.Set(size); }
    double GetSize() const { return Size.Get(); }
    void SetShowLabel(bool show) { ShowLabel.Set(show); }
    bool GetShowLabel() const { return ShowLabel.Get(); }
    void SetIKPivot(const KFbxVector4& pivot);
    KFbxVector4 GetIKPivot() const;
    // Alpha is not kept; it reads back as 1.
    void SetColor(const KFbxColor& color);
    KFbxColor GetColor() const;

    // An IK effector's reach defaults in its node's default take; 0 for
    // other types or without the channel, where a set is ignored.
    double GetDefaultIKReachTranslation() const;
    double GetDefaultIKReachRotation() const;
    void SetDefaultIKReachTranslation(double reach);
    void SetDefaultIKReachRotation(double reach);

    void Reset();
    // Type (without moving channels), look, size, colour and label; not the IK pivot.
    void CopyFrom(const KFbxMarker& other);

    KFbxProperty Look;
    KFbxTypedProperty<double> Size;
    KFbxTypedProperty<bool> ShowLabel;
    KFbxProperty IKPivot;

private:
    double GetIKReach(const char* channel) const;
    void SetIKReach(const char* channel, double reach);

    EType mType = eSTANDARD;
};

}  // namespace fbxsdk_2006_11_1

#endif
