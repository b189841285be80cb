#include <fbxfilesdk/geometry/KFbxShape.h>

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxGeometry_internal.h>

#include <new>

namespace fbxsdk_2006_11_1 {


KFbxShape::KFbxShape(KFbxSdkManager* manager, const char* name) : KFbxGeometryBase(manager, name) {}

KFbxShape::~KFbxShape() = default;

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

}  // namespace fbxsdk_2006_11_1
