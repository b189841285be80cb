#include <fbxfilesdk/geometry/KFbxDeformer.h>

#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr int kDeformerTypeCode = 18;

}  // namespace

KFbxClassId KFbxDeformer::ClassId;

KFbxDeformer::KFbxDeformer(KFbxSdkManager* manager, const char* name) : KFbxTakeNodeContainer(manager, name) {
    CreateInternal();
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

int KFbxDeformer::GetObjectTypeCode() const { return kDeformerTypeCode; }

KFbxDeformer::EDeformerType KFbxDeformer::GetDeformerType() const { return eUNIDENTIFIED; }

}  // namespace fbxsdk_2006_11_1
