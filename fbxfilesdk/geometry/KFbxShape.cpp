#include <fbxfilesdk/geometry/KFbxShape.h>

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxGeometry_internal.h>

#include <new>

namespace fbxsdk_2006_11_1 {


KFbxShape::KFbxShape(KFbxSdkManager* manager, const char* name) : KFbxGeometryBase(manager, name) {}

KFbxShape::~KFbxShape() {
    LeaveHolders();
    gKFbxShapeDestructions.fetch_add(1, std::memory_order_release);
}

KFbxShape* KFbxShape::Create(KFbxSdkManager* manager, const char* name) {
    KFbxPlug* plug = CreateObjectOfClass(manager, ClassId, name);
    return plug != nullptr && plug->Is(ClassId) ? static_cast<KFbxShape*>(plug) : nullptr;
}

KFbxPlug* KFbxShape::CreateFn(KFbxSdkManager* manager, const char* name) {
    auto* shape = new (std::nothrow) KFbxShape(manager, name);
    if (shape != nullptr) {
        shape->CreateInternal();
    }
    return shape;
}

KFbxClassId KFbxShape::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxShape::NewInternalObject() { return new (std::nothrow) KFbxShape_internal(this); }

const char* KFbxShape::GetTypeName() const { return "Shape"; }

void KFbxShape::DestroyContents(bool recursive, bool dependents) {
    // At once rather than at the holders' next look, so that no call on a
    // holder meanwhile sees the weight of no shape.
    LeaveHolders();
    KFbxGeometryBase::DestroyContents(recursive, dependents);
}

bool KFbxShape::NoteHolder(KFbxGeometry& geometry) {
    try {
        mHolders.insert(&geometry);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    return true;
}

void KFbxShape::ForgetHolder(KFbxGeometry& geometry) { mHolders.erase(&geometry); }

void KFbxShape::LeaveHolders() {
    std::unordered_set<KFbxGeometry*> holders;
    holders.swap(mHolders);
    for (KFbxGeometry* geometry : holders) {
        geometry->ShapeGone(*this);
    }
}

}  // namespace fbxsdk_2006_11_1
