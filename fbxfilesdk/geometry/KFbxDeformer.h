// The base of deformers (skins, vertex caches): an animatable object that a
// geometry takes as a source and owns. It tells its kind by a type code.
#ifndef FBXFILESDK_GEOMETRY_KFBXDEFORMER_H
#define FBXFILESDK_GEOMETRY_KFBXDEFORMER_H

#include <fbxfilesdk/animation/KFbxTakeNodeContainer.h>
#include <fbxfilesdk/core/KFbxClassId.h>

namespace fbxsdk_2006_11_1 {

class KFbxPlug;
class KFbxSdkManager;

class KFbxDeformer : public KFbxTakeNodeContainer {
public:
    enum EDeformerType { eUNIDENTIFIED = 0, eSKIN = 1, eVERTEX_CACHE = 2 };

    // The class id of KFbxDeformer; null until the class is registered.
    static KFbxClassId ClassId;

    KFbxDeformer(KFbxSdkManager* manager, const char* name);
    ~KFbxDeformer() override;

    // A deformer of no particular kind; null when memory runs out.
    static KFbxPlug* CreateFn(KFbxSdkManager* manager, const char* name);

    KFbxClassId GetClassId() const override;
    // The twin of the class, KFbxDeformer_internal.
    KFbxObject_internal* NewInternalObject() override;
    // Deformers are stored under "Deformer::".
    int GetObjectTypeCode() const override;
    // A scene's switcher or producer camera is refused: it moves nothing.
    bool AcceptsSrcObject(KFbxObject& source, KFbxObject* askedOf, bool oneWay) override;

    virtual EDeformerType GetDeformerType() const;

    void SetMultiLayer(bool multiLayer) { mMultiLayer = multiLayer; }
    bool GetMultiLayer() const { return mMultiLayer; }

private:
    bool mMultiLayer = false;
};

}  // namespace fbxsdk_2006_11_1

#endif
