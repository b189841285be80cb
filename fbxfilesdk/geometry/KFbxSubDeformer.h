// The base of the parts a deformer is made of (clusters): an animatable
// object that its deformer takes as a source and owns.
#ifndef FBXFILESDK_GEOMETRY_KFBXSUBDEFORMER_H
#define FBXFILESDK_GEOMETRY_KFBXSUBDEFORMER_H

#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/KFbxClassId.h>

namespace fbxsdk_2006_11_1 {

class KFbxPlug;
class KFbxSdkManager;

class KFbxSubDeformer : public KFbxTakeNodeContainer {
public:
    enum ESubDeformerType { eUNIDENTIFIED = 0, eCLUSTER = 1 };

    // The class id of KFbxSubDeformer; null until the class is registered.
    static KFbxClassId ClassId;

    KFbxSubDeformer(KFbxSdkManager* manager, const char* name);
    ~KFbxSubDeformer() override;

    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    // The twin of the class, KFbxSubDeformer_internal.
    KFbxObject_internal* NewInternalObject() override;
    // Sub-deformers are stored under "SubDeformer::".
    int GetObjectTypeCode() const override;
    // A scene's switcher or producer camera is refused: it moves nothing.
    bool AcceptsSrcObject(KFbxObject& source, KFbxObject* askedOf, bool oneWay) override;

    virtual ESubDeformerType GetSubDeformerType() const;

    void SetMultiLayer(bool multiLayer) { mMultiLayer = multiLayer; }
    bool GetMultiLayer() const { return mMultiLayer; }

private:
    bool mMultiLayer = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
