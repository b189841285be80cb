#include <fbxfilesdk/scene/KFbxConstraint.h>

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/core/KProperty.h>
#include <fbxfilesdk/scene/KFbxConstraint_internal.h>
#include <fbxfilesdk/scene/KFbxSceneObjectFactory.h>

#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

const char* const kMessages[] = {"Error"};
constexpr std::uint32_t kValueFlags = KFbxProperty::kAnimatable | KFbxProperty::kPublicFlag8;
constexpr std::uint32_t kCopiedFlags[] = {KFbxProperty::kAnimatable, KFbxProperty::kUser, KFbxProperty::kPublicFlag4,
                                          KFbxProperty::kPublicFlag8};

KFbxObject* ObjectAt(const KFbxPlug* plug, bool sources, int index) {
    if (plug == nullptr) {
        return nullptr;
    }
    return KFbxCastToObject(sources ? plug->GetSrc(index, KFbxObject::ClassId)
                                             : plug->GetDst(index, KFbxObject::ClassId));
}

int ObjectCount(const KFbxPlug* plug, bool sources) {
    if (plug == nullptr) {
        return 0;
    }
    return sources ? plug->GetSrcCount(KFbxObject::ClassId) : plug->GetDstCount(KFbxObject::ClassId);
}

}  // namespace


KFbxConstraint::KFbxConstraint(KFbxSdkManager* manager, const char* name)
    : KFbxTakeNodeContainer(manager, name, &mError), mError(kMessages, 1) {}

KFbxConstraint::~KFbxConstraint() {
    // The take nodes go while the error holder they report to still exists.
    ClearTakeNodes();
}

KFbxPlug* KFbxConstraint::CreateFn(KFbxSdkManager* manager, const char* name) {
    KFbxPlug* plug = KFbxConstructObject<KFbxConstraint>(manager, name);
    if (plug != nullptr) {
        static_cast<KFbxConstraint*>(plug)->ConstructTwin();
    }
    return plug;
}

KFbxClassId KFbxConstraint::GetClassId() const { return ClassId; }

KFbxObject_internal* KFbxConstraint::NewInternalObject() { return new (std::nothrow) KFbxConstraint_internal(this); }

bool KFbxConstraint::ConnectNotify(const KFbxConnectEvent& event) {
    if (event.mCode == eKFbxDstMayTakeSrc || event.mCode == eKFbxSrcMayTakeDst) {
        const bool listIsDst = event.mCode == eKFbxDstMayTakeSrc;
        const KFbxPlug* list = listIsDst ? event.mDst : event.mSrc;
        const KFbxPlug* other = listIsDst ? event.mSrc : event.mDst;
        bool itemsAreSources = false;
        const int limit = ListLimitOf(list, itemsAreSources);
        if (limit > 0 && itemsAreSources == listIsDst && KFbxCastToObject(other) != nullptr &&
            ObjectCount(list, itemsAreSources) >= limit) {
            return false;
        }
    }
    return KFbxTakeNodeContainer::ConnectNotify(event);
}

int KFbxConstraint::ListLimitOf(const KFbxPlug* plug, bool& itemsAreSources) const {
    const auto* handle = dynamic_cast<const KFbxProperty*>(plug);
    const auto* twin = dynamic_cast<const KFbxConstraint_internal*>(GetInternalObject());
    if (handle == nullptr || twin == nullptr || handle->GetObject() != this) {
        return 0;
    }
    int limit = 0;
    if (!twin->GetListLimit(handle->GetKProperty(), limit, itemsAreSources)) {
        return 0;
    }
    return limit;
}

void KFbxConstraint::FillTakeNodeTemplate(KFbxTakeNode& takeNode) {
    KFbxObject_internal* twin = GetInternalObject();
    if (twin == nullptr) {
        return;
    }
    for (int i = 0; i < twin->GetPropertyCount(); ++i) {
        KProperty* property = twin->GetPropertyAt(i);
        if (property == nullptr || !property->IsAnimatable()) {
            continue;
        }
        if (KFbxProperty* handle = FindPropertyByInternal(property)) {
            CreateChannelForProperty(*handle, takeNode);
        }
    }
}

void KFbxConstraint::SetOffset(const KFbxVector4&) {}

KFbxConstraint* KFbxConstraint::Clone(int mode) const {
    if (mode != 2) {
        return nullptr;
    }
    KFbxPlug* plug = CreateObjectOfClass(GetSdkManager(), GetClassId(), GetName());
    auto* copy = dynamic_cast<KFbxConstraint*>(plug);
    if (copy == nullptr) {
        if (plug != nullptr) {
            plug->Destroy();
        }
        return nullptr;
    }
    copy->CopyFrom(*this);
    return copy;
}

KFbxConstraint& KFbxConstraint::CopyFrom(const KFbxConstraint& other) {
    if (this == &other) {
        return *this;
    }
    KFbxTakeNodeContainer::CopyFrom(other);
    // Code, text and message table alike.
    mError = other.mError;
    CopyPropertiesFrom(other);
    return *this;
}

void KFbxConstraint::CopyPropertiesFrom(const KFbxConstraint& other) {
    for (int i = 0; i < other.GetPropertyCount(); ++i) {
        KFbxProperty source = other.GetPropertyAt(i);
        if (!source.IsValid()) {
            continue;
        }
        KFbxProperty target = FindProperty(source.GetName(), true);
        if (!target.IsValid()) {
            // A per-source property of the other constraint: made here alike.
            const char* label = source.GetLabel();
            const bool ownLabel = std::strcmp(label, source.GetName()) != 0;
            target = KFbxProperty::Create(this, source.GetName(), source.GetPropertyDataType(), ownLabel ? label : "");
            if (!target.IsValid()) {
                continue;
            }
            for (const std::uint32_t flag : kCopiedFlags) {
                target.ModifyFlag(flag, source.GetFlag(flag));
            }
        }
        if (source.GetPropertyDataType() != gKFbxDataTypeObject) {
            target.CopyValue(source);
            continue;
        }
        // Lists hold connections, not values: the copy ties the same objects.
        for (int j = 0; j < ObjectCount(&source, true); ++j) {
            KFbxObject* object = ObjectAt(&source, true, j);
            if (!target.IsConnectedSrc(object)) {
                target.ConnectSrc(object);
            }
        }
        for (int j = 0; j < ObjectCount(&source, false); ++j) {
            KFbxObject* object = ObjectAt(&source, false, j);
            if (!target.IsConnectedDst(object)) {
                target.ConnectDst(object);
            }
        }
    }
}

// ---- constrained and driving objects ------------------------------------------

int KFbxConstraint::GetConstraintSourceCount() const { return ObjectCount(mSourceList, true); }

KFbxObject* KFbxConstraint::GetConstraintSource(int index) const { return ObjectAt(mSourceList, true, index); }

bool KFbxConstraint::AddConstraintSource(KFbxObject* source, double weight) {
    if (source == nullptr || mSourceList == nullptr || mSourceList->IsConnectedSrc(source) ||
        !mSourceList->ConnectSrc(source)) {
        return false;
    }
    KFbxProperty property = MakeSourceProperty(source, ".Weight", gKFbxDataTypeWeight);
    if (property.IsValid()) {
        property.Set(&weight, eFbxValueDouble);
    }
    return true;
}

double KFbxConstraint::GetSourceWeight(const KFbxObject* source) const {
    KFbxProperty property = FindSourceProperty(source, ".Weight");
    return property.IsValid() ? property.GetDouble() : 100.0;
}

bool KFbxConstraint::SetSourceWeight(const KFbxObject* source, double weight) {
    KFbxProperty property = FindSourceProperty(source, ".Weight");
    return property.IsValid() && property.Set(&weight, eFbxValueDouble);
}

KFbxObject* KFbxConstraint::GetConstrainedObject() const { return ObjectAt(mConstrainedList, false, 0); }

bool KFbxConstraint::SetConstrainedObject(KFbxObject* object) {
    if (mConstrainedList == nullptr) {
        return false;
    }
    for (int i = ObjectCount(mConstrainedList, false) - 1; i >= 0; --i) {
        mConstrainedList->DisconnectDst(ObjectAt(mConstrainedList, false, i));
    }
    return object == nullptr || mConstrainedList->ConnectDst(object);
}

KString KFbxConstraint::GetSourcePropertyName(const KFbxObject* source, const char* suffix) {
    if (source == nullptr) {
        return KString();
    }
    KString name(source->GetInitialName());
    const KString prefix = source->GetTypePrefix();
    if (!prefix.IsEmpty()) {
        name.FindAndReplace(prefix.Buffer(), "");
    }
    name += suffix != nullptr ? suffix : "";
    return name;
}

KFbxProperty KFbxConstraint::FindSourceProperty(const KFbxObject* source, const char* suffix) const {
    if (source == nullptr) {
        return KFbxProperty();
    }
    return FindProperty(GetSourcePropertyName(source, suffix).Buffer(), true);
}

// ---- construction helpers -------------------------------------------------------

void KFbxConstraint::ConstructTwin() {
    CreateInternal();
    CreateDefaultTakeNode();
    WrapInternalProperties();
}

void KFbxConstraint::InitBoolHandle(KFbxTypedProperty<bool>& handle, const char* name, bool value) {
    handle.InitOnObject(this, name, gKFbxDataTypeBool, "");
    handle.Set(value);
}

void KFbxConstraint::InitNumberHandle(KFbxTypedProperty<double>& handle, const char* name,
                                      const KFbxDataType& dataType, double value) {
    handle.InitOnObject(this, name, dataType, "");
    handle.Set(value);
    handle.ModifyFlag(kValueFlags, true);
}

void KFbxConstraint::InitVectorHandle(KFbxTypedProperty<fbxDouble3>& handle, const char* name,
                                      const fbxDouble3& value) {
    handle.InitOnObject(this, name, gKFbxDataTypeVector, "");
    handle.Set(value);
    handle.ModifyFlag(kValueFlags, true);
}

void KFbxConstraint::InitObjectHandle(KFbxProperty& handle, const char* name) {
    handle.InitOnObject(this, name, gKFbxDataTypeObject, "");
}

void KFbxConstraint::InitEnumHandle(KFbxProperty& handle, const char* name) {
    handle.InitOnObject(this, name, gKFbxDataTypeEnum, "");
}

void KFbxConstraint::SetListHandles(KFbxProperty* constrainedList, KFbxProperty* sourceList) {
    mConstrainedList = constrainedList;
    mSourceList = sourceList;
}

void KFbxConstraint::WriteVector(KFbxTypedProperty<fbxDouble3>& handle, const KFbxVector4& value) {
    handle.Set(fbxDouble3(value[0], value[1], value[2]));
}

KFbxVector4 KFbxConstraint::ReadVector(const KFbxProperty& property) {
    if (!property.IsValid()) {
        return KFbxVector4(0.0, 0.0, 0.0, 1.0);
    }
    const fbxDouble3 value = property.GetDouble3();
    return KFbxVector4(value[0], value[1], value[2], 1.0);
}

int KFbxConstraint::ReadEnum(const KFbxProperty& property) {
    int value = 0;
    property.Get(&value, eFbxValueEnum);
    return value;
}

void KFbxConstraint::WriteEnum(KFbxProperty& property, int value) { property.Set(&value, eFbxValueEnum); }

KFbxProperty KFbxConstraint::MakeSourceProperty(const KFbxObject* source, const char* suffix,
                                                const KFbxDataType& dataType) {
    if (source == nullptr) {
        return KFbxProperty();
    }
    const KString name = GetSourcePropertyName(source, suffix);
    KFbxProperty property = FindProperty(name.Buffer(), true);
    if (property.IsValid()) {
        return property;
    }
    property = KFbxProperty::Create(this, name.Buffer(), dataType, "");
    if (property.IsValid()) {
        property.ModifyFlag(kValueFlags, true);
    }
    return property;
}

}  // namespace fbxsdk_2006_11_1
