#include <fbxfilesdk/scene/KFbxSkeleton.h>

#include <fbxfilesdk/core/KFbxDataType.h>
#include <fbxfilesdk/core/KFbxPropertyValue.h>
#include <fbxfilesdk/core/KProperty.h>
#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>
#include <fbxfilesdk/scene/KFbxSkeleton_internal.h>

#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

// The bound property's own flag that marks a limb length as the skeleton's own.
constexpr std::uint32_t kLimbLengthOwnFlag = 0x01;

bool IsLimbKind(KFbxSkeleton::ESkeletonType type) {
    return type == KFbxSkeleton::eLIMB || type == KFbxSkeleton::eLIMB_NODE;
}

}  // namespace


KFbxSkeleton::KFbxSkeleton(KFbxSdkManager* manager, const char* name) : KFbxNodeAttribute(manager, name) {
    InitProperties();
    Reset();
}

void KFbxSkeleton::InitProperties() {
    Size.InitOnObject(this, "Size", gKFbxDataTypeNumber, "");
    LimbLength.InitOnObject(this, "LimbLength", gKFbxDataTypeNumber, "");
}

KPlug* KFbxSkeleton::CreateInternal() {
    KPlug* twin = KFbxNodeAttribute::CreateInternal();
    ApplyPropertyFlags();
    return twin;
}

void KFbxSkeleton::ApplyPropertyFlags() {
    if (KProperty* bound = LimbLength.GetKProperty()) {
        bound->SetFlag(kLimbLengthOwnFlag, true);
    }
    SetColorSkipped(!IsLimbKind(mType));
}

KFbxSkeleton* KFbxSkeleton::Create(KFbxSdkManager* manager, const char* name) {
    return KFbxCreateObjectOfClass<KFbxSkeleton>(manager, ClassId, name);
}

KFbxPlug* KFbxSkeleton::CreateFn(KFbxSdkManager* manager, const char* name) {
    return KFbxConstructObject<KFbxSkeleton>(manager, name);
}

KFbxClassId KFbxSkeleton::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxSkeleton::NewInternalObject() { return new (std::nothrow) KFbxSkeleton_internal(this); }

const char* KFbxSkeleton::GetTypeName() const {
    switch (mType) {
    case eROOT:
    case eEFFECTOR:
        return "Root";
    case eLIMB:
        return "Limb";
    case eLIMB_NODE:
        return "LimbNode";
    default:
        return "";
    }
}

void KFbxSkeleton::GetTypeFlags(KStringList& flags) const {
    flags.Clear();
    switch (mType) {
    case eROOT:
    case eEFFECTOR:
        flags.Add(KString("Null"));
        flags.Add(KString("Skeleton"));
        flags.Add(KString("Root"));
        break;
    case eLIMB:
    case eLIMB_NODE:
        flags.Add(KString("Skeleton"));
        break;
    default:
        break;
    }
}

KFbxNodeAttribute* KFbxSkeleton::Clone(int mode) const { return KFbxCloneByCopy(*this, mode, ""); }

void KFbxSkeleton::Reset() {
    mType = eROOT;
    StoreColor(GetDefaultLimbNodeColor());
    SetColorSkipped(true);
    Size.Set(GetDefaultSize());
    LimbLength.Set(GetDefaultLimbLength());
    mLimbLengthSet = false;
    mSizeSet = false;
    mLimbNodeColorSet = false;
    mTypeSet = false;
}

void KFbxSkeleton::CopyFrom(const KFbxSkeleton& other) {
    Reset();
    SetSkeletonType(other.mType);
    SetSize(other.GetSize());
    if (other.mType == eLIMB) {
        SetLimbLength(other.GetLimbLength());
    }
    if (IsLimbKind(other.mType)) {
        SetLimbNodeColor(other.GetLimbNodeColor());
    }
    mLimbLengthSet = other.mLimbLengthSet;
    mSizeSet = other.mSizeSet;
    mLimbNodeColorSet = other.mLimbNodeColorSet;
    mTypeSet = other.mTypeSet;
}

void KFbxSkeleton::SetSkeletonType(ESkeletonType type) {
    mType = type;
    mTypeSet = true;
    SetColorSkipped(!IsLimbKind(type));
}

bool KFbxSkeleton::SetLimbLength(double length) {
    if (mType != eLIMB) {
        return false;
    }
    LimbLength.Set(length);
    mLimbLengthSet = true;
    return true;
}

void KFbxSkeleton::SetSize(double size) {
    Size.Set(size);
    mSizeSet = true;
}

bool KFbxSkeleton::SetLimbNodeColor(const KFbxColor& color) {
    if (!IsLimbKind(mType)) {
        return false;
    }
    StoreColor(color);
    mLimbNodeColorSet = true;
    return true;
}

KFbxColor KFbxSkeleton::GetLimbNodeColor() const {
    const fbxDouble3 value = Color.GetDouble3();
    return KFbxColor(value[0], value[1], value[2], 1.0);
}

void KFbxSkeleton::StoreColor(const KFbxColor& color) {
    const fbxDouble3 value(color.mRed, color.mGreen, color.mBlue);
    Color.Set(&value, eFbxValueDouble3);
}

void KFbxSkeleton::SetColorSkipped(bool skipped) {
    if (KProperty* bound = Color.GetKProperty()) {
        bound->SetFlag(KProperty::kOwnSkipInOldBlock, skipped);
    }
}

}  // namespace fbxsdk_2006_11_1
