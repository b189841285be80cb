#include <fbxfilesdk/geometry/KFbxDeformer.h>

#include <fbxfilesdk/geometry/KFbxDeformer_internal.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr int kDeformerTypeCode = 18;

}  // namespace


KFbxDeformer::KFbxDeformer(KFbxSdkManager* manager, const char* name) : KFbxTakeNodeContainer(manager, name) {
    // The twin comes with the final class: the create function, or the
    // constructor of a kind with properties of its own, makes it.
    CreateDefaultTakeNode();
}

KFbxDeformer::~KFbxDeformer() { ClearTakeNodes(); }

KFbxPlug* KFbxDeformer::CreateFn(KFbxSdkManager* manager, const char* name) {
    auto* deformer = new (std::nothrow) KFbxDeformer(manager, name);
    if (deformer != nullptr) {
        deformer->CreateInternal();
    }
    return deformer;
}

KFbxClassId KFbxDeformer::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxDeformer::NewInternalObject() { return new (std::nothrow) KFbxDeformer_internal(this); }

int KFbxDeformer::GetObjectTypeCode() const { return kDeformerTypeCode; }

bool KFbxDeformer::AcceptsSrcObject(KFbxObject& source, KFbxObject* askedOf, bool oneWay) {
    return !KFbxNode::IsKeptOutOfTree(source) && KFbxTakeNodeContainer::AcceptsSrcObject(source, askedOf, oneWay);
}

KFbxDeformer::EDeformerType KFbxDeformer::GetDeformerType() const { return eUNIDENTIFIED; }

}  // namespace fbxsdk_2006_11_1
