#include <fbxfilesdk/geometry/KFbxVertexCacheDeformer.h>

#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxDeformer_internal.h>

#include <new>

namespace fbxsdk_2006_11_1 {


KFbxVertexCacheDeformer::KFbxVertexCacheDeformer(KFbxSdkManager* manager, const char* name)
    : KFbxDeformer(manager, name) {
    // Its own twin first, so that the properties bind to it.
    CreateInternal();
    // The object destroys the handles with itself.
    if (auto* channel = new (std::nothrow) KFbxProperty(this, "Channel", gKFbxDataTypeKString, "")) {
        mChannel = *channel;
    }
    if (auto* active = new (std::nothrow) KFbxProperty(this, "Active", gKFbxDataTypeBool, "")) {
        mActive = *active;
    }
    SetCacheChannel("");
    SetActive(false);
}

KFbxVertexCacheDeformer::~KFbxVertexCacheDeformer() = default;

KFbxVertexCacheDeformer* KFbxVertexCacheDeformer::Create(KFbxSdkManager* manager, const char* name) {
    KFbxPlug* plug = CreateObjectOfClass(manager, ClassId, name);
    return plug != nullptr && plug->Is(ClassId) ? static_cast<KFbxVertexCacheDeformer*>(plug) : nullptr;
}

KFbxPlug* KFbxVertexCacheDeformer::CreateFn(KFbxSdkManager* manager, const char* name) {
    auto* deformer = new (std::nothrow) KFbxVertexCacheDeformer(manager, name);
    if (deformer != nullptr) {
        deformer->CreateInternal();
    }
    return deformer;
}

KFbxClassId KFbxVertexCacheDeformer::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxVertexCacheDeformer::NewInternalObject() { return new (std::nothrow) KFbxVertexCacheDeformer_internal(this); }

const char* KFbxVertexCacheDeformer::GetTypeName() const { return "VertexCache"; }

KFbxDeformer::EDeformerType KFbxVertexCacheDeformer::GetDeformerType() const { return eVERTEX_CACHE; }

void KFbxVertexCacheDeformer::SetCacheChannel(const char* name) {
    const KString value(name != nullptr ? name : "");
    mChannel.Set(&value, eFbxValueString);
}

KString KFbxVertexCacheDeformer::GetCacheChannel() const { return mChannel.GetString(); }

void KFbxVertexCacheDeformer::SetActive(bool active) { mActive.Set(&active, eFbxValueBool); }

bool KFbxVertexCacheDeformer::IsActive() const {
    bool active = false;
    mActive.Get(&active, eFbxValueBool);
    return active;
}

}  // namespace fbxsdk_2006_11_1
