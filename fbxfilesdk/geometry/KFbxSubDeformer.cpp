#include <fbxfilesdk/geometry/KFbxSubDeformer.h>

#include <fbxfilesdk/geometry/KFbxDeformer_internal.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr int kSubDeformerTypeCode = 19;

}  // namespace


KFbxSubDeformer::KFbxSubDeformer(KFbxSdkManager* manager, const char* name)
    : KFbxTakeNodeContainer(manager, name) {
    // The twin comes with the final class: the create function, or the
    // constructor of a kind with properties of its own, makes it.
    CreateDefaultTakeNode();
}

KFbxSubDeformer::~KFbxSubDeformer() { ClearTakeNodes(); }

KFbxPlug* KFbxSubDeformer::CreateFn(KFbxSdkManager* manager, const char* name) {
    auto* subDeformer = new (std::nothrow) KFbxSubDeformer(manager, name);
    if (subDeformer != nullptr) {
        subDeformer->CreateInternal();
    }
    return subDeformer;
}

KFbxClassId KFbxSubDeformer::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxSubDeformer::NewInternalObject() { return new (std::nothrow) KFbxSubDeformer_internal(this); }

int KFbxSubDeformer::GetObjectTypeCode() const { return kSubDeformerTypeCode; }

bool KFbxSubDeformer::AcceptsSrcObject(KFbxObject& source, KFbxObject* askedOf, bool oneWay) {
    return !KFbxNode::IsKeptOutOfTree(source) && KFbxTakeNodeContainer::AcceptsSrcObject(source, askedOf, oneWay);
}

KFbxSubDeformer::ESubDeformerType KFbxSubDeformer::GetSubDeformerType() const { return eUNIDENTIFIED; }

}  // namespace fbxsdk_2006_11_1
