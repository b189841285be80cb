// A free-standing animatable object that is no node attribute: it carries
// user properties, and its animatable ones have channels in every take.
#ifndef FBXFILESDK_SCENE_KFBXGENERICNODE_H
#define FBXFILESDK_SCENE_KFBXGENERICNODE_H

#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/ErrorHolder.h>
#include <fbxfilesdk/core/KFbxClassId.h>

namespace fbxsdk_2006_11_1 {

class KFbxTakeNode;
class KStringList;

class KFbxGenericNode : public KFbxTakeNodeContainer {
public:
    // The class id of KFbxGenericNode; null until the class is registered.
    static KFbxClassId ClassId;

    // With the take "Default", current.
    KFbxGenericNode(KFbxSdkManager* manager, const char* name);
    ~KFbxGenericNode() override;

    static KFbxGenericNode* Create(KFbxSdkManager* manager, const char* name);
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    int GetObjectTypeCode() const override { return 10; }
    const char* GetTypeName() const override { return "GenericNode"; }
    void GetTypeFlags(KStringList& flags) const override;
    // A channel for each animatable property.
    void FillTakeNodeTemplate(KFbxTakeNode& takeNode) override;

    // Mode 2: a new generic node of the same name, a copy of this one; null otherwise.
    KFbxGenericNode* Clone(int mode) const;
    // The name, take nodes and current take, then the last error.
    KFbxGenericNode& CopyFrom(const KFbxGenericNode& other);

    ErrorHolder& GetError() { return mError; }

private:
    ErrorHolder mError;
};

}  // namespace fbxsdk_2006_11_1

#endif
