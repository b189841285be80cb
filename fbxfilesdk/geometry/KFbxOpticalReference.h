// The attribute of a node that stands for an optical reference: a marker
// that other optical markers are measured against. It carries nothing but
// the attribute's own properties.
#ifndef FBXFILESDK_GEOMETRY_KFBXOPTICALREFERENCE_H
#define FBXFILESDK_GEOMETRY_KFBXOPTICALREFERENCE_H

#include <fbxfilesdk/core/KFbxClassId.h>
#include <fbxfilesdk/scene/KFbxNodeAttribute.h>

namespace fbxsdk_2006_11_1 {

class KFbxObject_internal;
class KFbxPlug;
class KFbxSdkManager;
class KStringList;

class KFbxOpticalReference : public KFbxNodeAttribute {
public:
    // The class id of KFbxOpticalReference; null until the class is registered.
    static KFbxClassId ClassId;

    KFbxOpticalReference(KFbxSdkManager* manager, const char* name);
    ~KFbxOpticalReference() override;

    // Through the manager; null when the class is not registered or memory runs out.
    static KFbxOpticalReference* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    KFbxObject_internal* NewInternalObject() override;
    EAttributeType GetAttributeType() const override { return eOPTICAL_REFERENCE; }
    // "Optical", flagged "Marker".
    const char* GetTypeName() const override;
    void GetTypeFlags(KStringList& flags) const override;
};

}  // namespace fbxsdk_2006_11_1

#endif
