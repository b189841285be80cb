#include <fbxfilesdk/geometry/KFbxPatch.h>

#include <fbxfilesdk/geometry/KFbxNurbsGrid.h>
#include <fbxfilesdk/geometry/KFbxParametricGeometry_internal.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

#include <new>

namespace fbxsdk_2006_11_1 {


KFbxPatch::KFbxPatch(KFbxSdkManager* manager, const char* name) : KFbxGeometry(manager, name) {}

KFbxPatch::~KFbxPatch() = default;

KFbxPatch* KFbxPatch::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxPatch>(manager, ClassId, name);
}

KFbxPlug* KFbxPatch::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxPatch>(manager, name);
}

KFbxClassId KFbxPatch::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxPatch::NewInternalObject() { return new (std::nothrow) KFbxPatch_internal(this); }

const char* KFbxPatch::GetTypeName() const { return "Patch"; }

void KFbxPatch::Copy(const KFbxObject& other) {
    const auto* patch = dynamic_cast<const KFbxPatch*>(&other);
    if (patch == nullptr || patch == this || !CopyGeometry(*patch)) {
        return;
    }
    mSurfaceMode = patch->mSurfaceMode;
    mUCount = patch->mUCount;
    mVCount = patch->mVCount;
    mUType = patch->mUType;
    mVType = patch->mVType;
    mUStep = patch->mUStep;
    mVStep = patch->mVStep;
    mUClosed = patch->mUClosed;
    mVClosed = patch->mVClosed;
    mUCappedBottom = patch->mUCappedBottom;
    mUCappedTop = patch->mUCappedTop;
    mVCappedBottom = patch->mVCappedBottom;
    mVCappedTop = patch->mVCappedTop;
}

KFbxNodeAttribute* KFbxPatch::Clone(int mode) const { return KFbxCloneWithContents(*this, mode); }

bool KFbxPatch::InitControlPoints(int uCount, EPatchType uType, int vCount, EPatchType vType) {
    if (uCount < 0 || vCount < 0 ||
        static_cast<long long>(uCount) * static_cast<long long>(vCount) > KFbxNurbsGrid::kMaxControlPoints) {
        return false;
    }
    mUCount = uCount;
    mVCount = vCount;
    mUType = uType;
    mVType = vType;
    KFbxNurbsGrid::InitUnitPoints(*this, uCount * vCount);
    return true;
}

void KFbxPatch::SetStep(int uStep, int vStep) {
    mUStep = uStep;
    mVStep = vStep;
}

void KFbxPatch::SetClosed(bool u, bool v) {
    mUClosed = u;
    mVClosed = v;
}

void KFbxPatch::SetUCapped(bool bottom, bool top) {
    mUCappedBottom = bottom;
    mUCappedTop = top;
}

void KFbxPatch::SetVCapped(bool bottom, bool top) {
    mVCappedBottom = bottom;
    mVCappedTop = top;
}

}  // namespace fbxsdk_2006_11_1
