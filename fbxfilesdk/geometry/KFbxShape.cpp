#include <fbxfilesdk/geometry/KFbxShape.h>

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/SdkAlloc.h>
#include <fbxfilesdk/geometry/KFbxGeometry.h>
#include <fbxfilesdk/geometry/KFbxGeometry_internal.h>

#include <algorithm>
#include <new>

namespace fbxsdk_2006_11_1 {


KFbxShape::KFbxShape(KFbxSdkManager* manager, const char* name) : KFbxGeometryBase(manager, name) {}

KFbxShape::~KFbxShape() {
    // Deleted without Destroy, its twin goes after this: the holders look
    // at their next shape call.
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
    KFbxGeometryBase::DestroyContents(recursive, dependents);
    gKFbxShapeDestructions.fetch_add(1, std::memory_order_release);
    // The twin is gone: each holder now finds the shape's handle dead and
    // drops the entry with its weight, at once rather than at its next look,
    // so that no call on the holder meanwhile sees the weight of no shape.
    for (const HdlKObject& holder : mHolders) {
        auto* geometry = static_cast<KFbxGeometry*>(KFbxGetPublicPlug(holder.Resolve()));
        if (geometry != nullptr && !geometry->IsBeingDestroyed()) {
            geometry->ForgetDestroyedShapes();
        }
    }
}

bool KFbxShape::NoteHolder(const KFbxGeometry& geometry) {
    const HdlKObject holder(geometry.GetInternalPlug());
    if (holder.IsEmpty()) {
        return false;
    }
    if (std::find(mHolders.begin(), mHolders.end(), holder) != mHolders.end()) {
        return true;
    }
    try {
        mHolders.push_back(holder);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    return true;
}

}  // namespace fbxsdk_2006_11_1
