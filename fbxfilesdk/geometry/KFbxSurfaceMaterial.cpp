#include <fbxfilesdk/geometry/KFbxSurfaceMaterial.h>

#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/geometry/KFbxLayerElementObjectArray.h>
#include <fbxfilesdk/core/KString.h>
#include <fbxfilesdk/geometry/KFbxSurfaceMaterial_internal.h>

#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

constexpr int kMaterialTypeCode = 3;
constexpr int kCloneCopy = 2;

}  // namespace


KFbxSurfaceMaterial::KFbxSurfaceMaterial(KFbxSdkManager* manager, const char* name)
    : KFbxSurfaceMaterial(manager, name, "") {}

KFbxSurfaceMaterial::KFbxSurfaceMaterial(KFbxSdkManager* manager, const char* name, const char* shadingModel)
    : KFbxTakeNodeContainer(manager, name) {
    // The material's twin, which Lambert and Phong share, before any
    // property: each binds to it and reports its changes to the channels.
    // The default take is built the first time something reaches it.
    CreateInternal();
    DeferDefaultTakeNode();
    // A new property holds the empty text, false or zero: only other values
    // are written.
    mShadingModel = MakeProperty("ShadingModel", gKFbxDataTypeKString);
    if (shadingModel != nullptr && shadingModel[0] != '\0') {
        KString model(shadingModel);
        mShadingModel.Set(&model, eFbxValueString);
    }
    mMultiLayer = MakeProperty("MultiLayer", gKFbxDataTypeBool);
    KFbxLayerElementObjectArray<KFbxSurfaceMaterial>::ObjectMade(this);
}

KFbxSurfaceMaterial::~KFbxSurfaceMaterial() {
    // The take nodes go before the properties, so that no channel is rebuilt
    // for a property that is leaving.
    ClearTakeNodes();
    KFbxLayerElementObjectArray<KFbxSurfaceMaterial>::ObjectGone(this);
}

KFbxSurfaceMaterial* KFbxSurfaceMaterial::Create(KFbxSdkManager* manager, const char* name) {
    KFbxPlug* plug = CreateObjectOfClass(manager, ClassId, name);
    return plug != nullptr && plug->Is(ClassId) ? static_cast<KFbxSurfaceMaterial*>(plug) : nullptr;
}

KFbxPlug* KFbxSurfaceMaterial::CreateFn(KFbxSdkManager* manager, const char* name) {
    auto* material = new (std::nothrow) KFbxSurfaceMaterial(manager, name);
    if (material != nullptr) {
        material->CreateInternal();
    }
    return material;
}

KFbxClassId KFbxSurfaceMaterial::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxSurfaceMaterial::NewInternalObject() { return new (std::nothrow) KFbxSurfaceMaterial_internal(this); }

int KFbxSurfaceMaterial::GetObjectTypeCode() const { return kMaterialTypeCode; }

KFbxSurfaceMaterial* KFbxSurfaceMaterial::Clone(int mode) const { return CloneAs(ClassId, mode); }

KFbxSurfaceMaterial* KFbxSurfaceMaterial::CloneAs(const KFbxClassId& classId, int mode) const {
    if (mode != kCloneCopy) {
        return nullptr;
    }
    KFbxPlug* plug = CreateObjectOfClass(GetSdkManager(), classId, GetName());
    if (plug == nullptr) {
        return nullptr;
    }
    if (!plug->Is(classId)) {
        plug->Destroy();
        return nullptr;
    }
    auto* copy = static_cast<KFbxSurfaceMaterial*>(plug);
    for (int index = 0; index < GetPropertyCount(); ++index) {
        const KFbxProperty source = GetPropertyAt(index);
        KFbxProperty target = copy->FindProperty(source.GetName());
        if (!target.IsValid() || target.GetPropertyDataType() != source.GetPropertyDataType()) {
            target = KFbxProperty::Create(copy, source.GetName(), source.GetPropertyDataType(), source.GetLabel(),
                                          target.IsValid());
        }
        if (target.IsValid()) {
            target.CopyValue(source);
        }
    }
    return copy;
}

KFbxProperty KFbxSurfaceMaterial::MakeProperty(const char* name, const KFbxDataType& dataType) {
    // The object destroys the handle with itself.
    auto* handle = new (std::nothrow) KFbxProperty(this, name, dataType, "");
    return handle != nullptr ? KFbxProperty(*handle) : KFbxProperty();
}

KFbxProperty KFbxSurfaceMaterial::MakeColor(const char* name, double red, double green, double blue) {
    KFbxProperty property = MakeProperty(name, gKFbxDataTypeColor);
    if (red != 0.0 || green != 0.0 || blue != 0.0) {
        const fbxDouble3 value(red, green, blue);
        property.Set(&value, eFbxValueDouble3);
    }
    return property;
}

KFbxProperty KFbxSurfaceMaterial::MakeFactor(const char* name, double value) {
    KFbxProperty property = MakeProperty(name, gKFbxDataTypeNumber);
    if (value != 0.0) {
        property.Set(&value, eFbxValueDouble);
    }
    return property;
}

}  // namespace fbxsdk_2006_11_1
