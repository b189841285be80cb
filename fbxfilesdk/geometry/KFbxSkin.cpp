#include <fbxfilesdk/geometry/KFbxSkin.h>

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxCluster.h>
#include <fbxfilesdk/geometry/KFbxDeformer_internal.h>

#include <new>

namespace fbxsdk_2006_11_1 {


KFbxSkin::KFbxSkin(KFbxSdkManager* manager, const char* name) : KFbxDeformer(manager, name) {}

KFbxSkin::~KFbxSkin() = default;

KFbxSkin* KFbxSkin::Create(KFbxSdkManager* manager, const char* name) {
    KFbxPlug* plug = CreateObjectOfClass(manager, ClassId, name);
    return plug != nullptr && plug->Is(ClassId) ? static_cast<KFbxSkin*>(plug) : nullptr;
}

KFbxPlug* KFbxSkin::CreateFn(KFbxSdkManager* manager, const char* name) {
    auto* skin = new (std::nothrow) KFbxSkin(manager, name);
    if (skin != nullptr) {
        skin->CreateInternal();
    }
    return skin;
}

KFbxClassId KFbxSkin::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxSkin::NewInternalObject() { return new (std::nothrow) KFbxSkin_internal(this); }

const char* KFbxSkin::GetTypeName() const { return "Skin"; }

KFbxDeformer::EDeformerType KFbxSkin::GetDeformerType() const { return eSKIN; }

int KFbxSkin::AddCluster(KFbxCluster* cluster) {
    if (cluster == nullptr) {
        return -1;
    }
    if (!IsConnectedSrc(cluster) && !ConnectSrc(cluster)) {
        return -1;
    }
    for (int index = 0; index < GetClusterCount(); ++index) {
        if (GetCluster(index) == cluster) {
            return index;
        }
    }
    return -1;
}

int KFbxSkin::GetClusterCount() const { return GetSrcCount(KFbxCluster::ClassId); }

KFbxCluster* KFbxSkin::GetCluster(int index) const {
    return static_cast<KFbxCluster*>(GetSrc(index, KFbxCluster::ClassId));
}

}  // namespace fbxsdk_2006_11_1
