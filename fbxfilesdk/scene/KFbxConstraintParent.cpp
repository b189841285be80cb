#include <fbxfilesdk/scene/KFbxConstraintParent.h>

#include <fbxfilesdk/scene/KFbxConstraint_internal.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kTranslationOffset = ".Offset T";
const char* const kRotationOffset = ".Offset R";
const char* const kAffectScalingNames[3] = {"AffectScalingX", "AffectScalingY", "AffectScalingZ"};

bool AxisOf(const KFbxTypedProperty<bool>& x, const KFbxTypedProperty<bool>& y, const KFbxTypedProperty<bool>& z,
            int axis) {
    switch (axis) {
        case 0:
            return x.Get();
        case 1:
            return y.Get();
        case 2:
            return z.Get();
        default:
            return false;
    }
}

}  // namespace


KFbxConstraintParent::KFbxConstraintParent(KFbxSdkManager* manager, const char* name)
    : KFbxConstraint(manager, name) {
    ConstructTwin();
    InitBoolHandle(Lock, "Lock", false);
    InitBoolHandle(Active, "Active", true);
    InitBoolHandle(AffectTranslationX, "AffectTranslationX", true);
    InitBoolHandle(AffectTranslationY, "AffectTranslationY", true);
    InitBoolHandle(AffectTranslationZ, "AffectTranslationZ", true);
    InitBoolHandle(AffectRotationX, "AffectRotationX", true);
    InitBoolHandle(AffectRotationY, "AffectRotationY", true);
    InitBoolHandle(AffectRotationZ, "AffectRotationZ", true);
    InitNumberHandle(Weight, "Weight", gKFbxDataTypeWeight, 100.0);
    InitObjectHandle(ConstrainedObject, "Constrained object (Child)");
    InitObjectHandle(ConstraintSources, "Source (Parent)");
    SetListHandles(&ConstrainedObject, &ConstraintSources);
}

KFbxConstraintParent* KFbxConstraintParent::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxConstraintParent>(manager, ClassId, name);
}

KFbxPlug* KFbxConstraintParent::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxConstraintParent>(manager, name);
}

KFbxClassId KFbxConstraintParent::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxConstraintParent::NewInternalObject() {
    return new (std::nothrow) KFbxConstraintParent_internal(this);
}

bool KFbxConstraintParent::AddConstraintSource(KFbxObject* source, double weight) {
    if (!KFbxConstraint::AddConstraintSource(source, weight)) {
        return false;
    }
    MakeSourceProperty(source, kTranslationOffset, gKFbxDataTypeVector);
    MakeSourceProperty(source, kRotationOffset, gKFbxDataTypeVector);
    return true;
}

KFbxVector4 KFbxConstraintParent::GetTranslationOffset(const KFbxObject* source) const {
    return ReadVector(FindSourceProperty(source, kTranslationOffset));
}

KFbxVector4 KFbxConstraintParent::GetRotationOffset(const KFbxObject* source) const {
    return ReadVector(FindSourceProperty(source, kRotationOffset));
}

void KFbxConstraintParent::SetRotationOffset(const KFbxObject* source, const KFbxVector4& offset) {
    WriteSourceOffset(source, kRotationOffset, offset);
}

void KFbxConstraintParent::SetTranslationOffset(const KFbxObject* source, const KFbxVector4& offset) {
    WriteSourceOffset(source, kTranslationOffset, offset);
}

void KFbxConstraintParent::WriteSourceOffset(const KFbxObject* source, const char* suffix,
                                             const KFbxVector4& offset) {
    KFbxTypedProperty<fbxDouble3> property = FindSourceProperty(source, suffix);
    if (property.IsValid()) {
        WriteVector(property, offset);
    }
}

bool KFbxConstraintParent::GetAffectTranslation(int axis) const {
    return AxisOf(AffectTranslationX, AffectTranslationY, AffectTranslationZ, axis);
}

bool KFbxConstraintParent::GetAffectRotation(int axis) const {
    return AxisOf(AffectRotationX, AffectRotationY, AffectRotationZ, axis);
}

bool KFbxConstraintParent::GetAffectScaling(int axis) const {
    if (axis < 0 || axis > 2) {
        return false;
    }
    const KFbxTypedProperty<bool> property = FindProperty(kAffectScalingNames[axis], true);
    return property.IsValid() && property.Get();
}

}  // namespace fbxsdk_2006_11_1
