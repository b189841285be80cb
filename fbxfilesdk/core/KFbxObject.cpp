#include <fbxfilesdk/core/KFbxObject.h>

#include <fbxfilesdk/core/KFbxObject_internal.h>
#include <fbxfilesdk/core/KFbxProperty_internal.h>
#include <fbxfilesdk/core/KListFind.h>
#include <fbxfilesdk/core/KListGrowth.h>
#include <fbxfilesdk/core/KStringList.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <algorithm>
#include <cstring>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

KFbxSceneClassIds gSceneClassIds;

const char* OrEmpty(const char* text) { return text != nullptr ? text : ""; }

// A null class id in the object forms means objects of any class.
KFbxClassId ObjectClassOr(const KFbxClassId& classId) {
    return classId == KFbxClassId() ? KFbxObject::ClassId : classId;
}

bool IsOf(const KFbxObject* object, const KFbxClassId& classId) {
    return classId != KFbxClassId() && object->IsRuntime(classId);
}

bool SameName(const char* a, const char* b, bool caseSensitive) {
    return caseSensitive ? std::strcmp(a, b) == 0 : KString(a).CompareNoCase(b) == 0;
}

// The objects that a SetScene under way on this thread has still to bring
// into its scene. Each object joining sets off a SetScene of its own, from
// its connection; that one leaves its object to the walk under way, so that
// a hierarchy of any depth joins in a loop instead of a call per level.
struct SceneWalk {
    KFbxObject* mScene;
    std::vector<KFbxObject*> mPending;
};
thread_local SceneWalk* gSceneWalk = nullptr;

}  // namespace


void KFbxSetSceneClassIds(const KFbxSceneClassIds& classIds) { gSceneClassIds = classIds; }

const char* KFbxPropertyNameOf(const KFbxProperty* property) { return property->GetName(); }

const KFbxSceneClassIds& KFbxGetSceneClassIds() { return gSceneClassIds; }

KFbxObject::KFbxObject(KFbxSdkManager* manager, const char* name) : mNameRecord(OrEmpty(name)), mManager(manager) {}

KFbxObject::~KFbxObject() {
    DestroyProperties();
    DestroyInternal();
}

KFbxPlug* KFbxObject::CreateFn(KFbxSdkManager* manager, const char* name) {
    auto* object = new (std::nothrow) KFbxObject(manager, name);
    if (object != nullptr) {
        object->CreateInternal();
    }
    return object;
}

// ---- plug operations --------------------------------------------------------

KFbxClassId KFbxObject::GetClassId() const { return ClassId; }

bool KFbxObject::SetRuntimeClassId(const KFbxClassId& classId) {
    mRuntimeClassId = classId;
    return true;
}

KFbxClassId KFbxObject::GetRuntimeClassId() const {
    return mRuntimeClassId != KFbxClassId() ? mRuntimeClassId : GetClassId();
}

bool KFbxObject::ConnectNotify(const KFbxConnectEvent& event) { return KFbxPlug::ConnectNotify(event); }

bool KFbxObject::AcceptsSrcObject(KFbxObject&, KFbxObject*, bool) { return true; }

void KFbxObject::DstObjectAboutToLink(KFbxObject&) {}

void KFbxObject::DstObjectLinked(KFbxObject& destination, bool linked) {
    // Told only of a link that exists, by whatever call it was made.
    if (!linked) {
        return;
    }
    if (IsOf(&destination, gSceneClassIds.mScene)) {
        // The walk that connects this object goes on to its sources itself.
        if (gSceneWalk == nullptr || gSceneWalk->mScene != &destination) {
            SetScene(&destination);
        }
        return;
    }
    KFbxObject* scene = destination.GetScene();
    if (scene == nullptr) {
        return;
    }
    // A node belongs to the scene whose tree holds it: linked under a node
    // of another scene, it moves there with its subtree and what they carry.
    // Another object moves when nothing of its scene holds it any more.
    KFbxObject* current = GetScene();
    const bool underNode = IsOf(this, gSceneClassIds.mNode) && IsOf(&destination, gSceneClassIds.mNode);
    if (current != scene && (underNode || (current != nullptr && !IsHeldIn(*current)))) {
        BringIntoScene(*scene);
    } else if (!underNode) {
        SetScene(scene);
    }
}

KPlug* KFbxObject::CreateInternal() {
    if (mInternal == nullptr) {
        mInternal = NewInternalObject();
        MirrorNames();
        if (mInternal != nullptr && mDeferredPropertyCount != 0) {
            mInternal->SetPropertiesPending(true);
        }
    }
    return mInternal;
}

KFbxObject_internal* KFbxObject::NewInternalObject() { return new (std::nothrow) KFbxObject_internal(this); }

void KFbxObject::Destroy(bool recursive, bool dependents) {
    if (mBeingDestroyed) {
        return;
    }
    mBeingDestroyed = true;
    KFbxPlug::Destroy(recursive, dependents);
}

void KFbxObject::DestroyContents(bool recursive, bool dependents) {
    for (int i = 0; i < GetSrcObjectCount();) {
        KFbxObject* src = GetSrcObject(KFbxClassId(), i);
        const int count = GetSrcObjectCount();
        if (src != nullptr && KFbxIsOwnedSource(this, src, recursive)) {
            src->Destroy(recursive, dependents);
            // A source that stayed connected is not looked at again.
            if (GetSrcObjectCount() < count) {
                continue;
            }
        }
        ++i;
    }
    DestroyProperties();
    DestroyInternal();
}

void KFbxObject::DestroyProperties() {
    DropDeferredProperties();
    // Bindings never carried out are dropped, not carried out by the first
    // look the teardown takes at the twin.
    if (mBindingsDeferred) {
        mBindingsDeferred = false;
        for (KFbxProperty* property : mProperties) {
            if (property->IsBindingDeferred()) {
                property->Unbind();
            }
        }
        if (mInternal != nullptr) {
            mInternal->SetPropertiesPending(false);
        }
    }
    // The object is going: its list empties from the end and its twin's goes
    // with it, so both name indexes let go at once instead of taking each
    // name out.
    mPropertyIndex.Reset();
    if (mInternal != nullptr) {
        mInternal->ForgetPropertyNames();
    }
    while (!mProperties.empty()) {
        const std::size_t count = mProperties.size();
        mProperties.back()->Destroy(true, false);
        if (mProperties.size() == count) {
            mPropertyIndex.Removing(count - 1, mProperties.back());
            mProperties.pop_back();
        }
    }
}

void KFbxObject::DestroyInternal() {
    KFbxObject_internal* internal = mInternal;
    if (internal == nullptr) {
        return;
    }
    internal->Destroy();
    mInternal = nullptr;
    internal->mPublicObject = nullptr;
    internal->Release();
}

void KFbxObject::ForgetInternal(const KFbxObject_internal* internal) {
    if (mInternal == internal) {
        mInternal = nullptr;
    }
}

KPlug* KFbxObject::GetInternalPlug() const { return mInternal; }

// ---- object operations ------------------------------------------------------

int KFbxObject::GetObjectTypeCode() const { return 0; }

void KFbxObject::PropertyChanged(KFbxProperty& property) {
    KFbxObject* container = GetTakeNodeContainer();
    if (container != nullptr && container != this) {
        container->PropertyChanged(property);
    }
}

void KFbxObject::ConstructProperties() {}

KFbxObject* KFbxObject::GetTakeNodeContainer() { return nullptr; }

const char* KFbxObject::GetTypeName() const { return ""; }

void KFbxObject::GetTypeFlags(KStringList& flags) const { flags.Clear(); }

void KFbxObject::AddProperty(KFbxProperty* property) {
    if (property == nullptr || !property->IsValid()) {
        return;
    }
    property->SetObject(this);
    BindWhenNeeded(*property);
}

void KFbxObject::BindWhenNeeded(KFbxProperty& property) {
    if (property.DeferBinding()) {
        mBindingsDeferred = true;
        mInternal->SetPropertiesPending(true);
    } else if (!property.IsBindingDeferred()) {
        property.BindToObject();
    }
}

void KFbxObject::BindDeferredProperties() {
    if (!mBindingsDeferred) {
        return;
    }
    mBindingsDeferred = false;
    // The list keeps the order of registration, which the twin's would have had.
    for (std::size_t index = 0; index < mProperties.size(); ++index) {
        if (mProperties[index]->IsBindingDeferred()) {
            mProperties[index]->BindToObject();
        }
    }
}

void KFbxObject::RemoveProperty(KFbxProperty* property) {
    if (property != nullptr && property->IsValid()) {
        property->Unbind();
        property->SetObject(nullptr);
    }
}

void KFbxObject::Copy(const KFbxObject&) {}

void KFbxObject::SetScene(KFbxObject* scene) {
    KFbxObject* current = GetScene();
    if (scene == nullptr) {
        if (current != nullptr) {
            current->DisconnectSrc(this);
        }
        return;
    }
    if (current != nullptr && current != scene) {
        return;
    }
    BringIntoScene(*scene);
}

void KFbxObject::BringIntoScene(KFbxObject& scene) {
    if (gSceneWalk != nullptr && gSceneWalk->mScene == &scene) {
        try {
            gSceneWalk->mPending.push_back(this);
        } catch (const std::bad_alloc&) {
            SdkNoteAllocationFailure();
        }
        return;
    }
    SceneWalk* const outer = gSceneWalk;
    try {
        SceneWalk walk{&scene, {this}};
        gSceneWalk = &walk;
        while (!walk.mPending.empty()) {
            KFbxObject* object = walk.mPending.back();
            walk.mPending.pop_back();
            object->JoinScene(scene, walk.mPending);
        }
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
    }
    gSceneWalk = outer;
}

bool KFbxObject::IsHeldIn(const KFbxObject& scene) const {
    for (int i = 0; i < GetDstObjectCount(); ++i) {
        const KFbxObject* dst = GetDstObject(KFbxClassId(), i);
        if (dst != nullptr && !IsOf(dst, gSceneClassIds.mScene) && dst->GetScene() == &scene) {
            return true;
        }
    }
    return false;
}

void KFbxObject::JoinScene(KFbxObject& scene, std::vector<KFbxObject*>& pending) {
    KFbxObject* current = GetScene();
    if (current != &scene) {
        // Connecting again would add a second link and announce it, which
        // would come back here without end. An object the scene refuses
        // stays where it was with its sources.
        if (!IsConnectedDst(&scene) && !scene.ConnectSrc(this)) {
            return;
        }
        // Brought from another scene (see below), it is that scene's no more.
        if (current != nullptr) {
            current->DisconnectSrc(this);
        }
    }
    // Last first, so that the sources join in their order, each before the
    // sources of the next. Those of another scene come along when nothing of
    // that scene holds them any more, and a node's children always do: its
    // subtree is in the tree it is in.
    const bool node = IsOf(this, gSceneClassIds.mNode);
    for (int i = GetSrcObjectCount() - 1; i >= 0; --i) {
        KFbxObject* src = GetSrcObject(KFbxClassId(), i);
        if (src == nullptr || src == &scene) {
            continue;
        }
        const KFbxObject* srcScene = src->GetScene();
        if (srcScene == nullptr ||
            (srcScene != &scene && ((node && IsOf(src, gSceneClassIds.mNode)) || !src->IsHeldIn(*srcScene)))) {
            pending.push_back(src);
        }
    }
}

// ---- names ------------------------------------------------------------------

void KFbxObject::SetName(const char* name, bool withPrefix) {
    if (withPrefix) {
        mNameRecord.SetCurrentName(KFbxReplaceTypePrefix(GetTypePrefix(), KString(OrEmpty(name))).Buffer());
    } else {
        mNameRecord.SetCurrentName(name);
    }
    MirrorNames();
}

void KFbxObject::SetInitialName(const char* name) {
    mNameRecord.SetInitialName(name);
    MirrorNames();
}

KString KFbxObject::GetTypePrefix() const { return KString(KFbxGetObjectTypePrefix(GetObjectTypeCode())); }

KString KFbxObject::GetNameWithTypePrefix() const { return GetTypePrefix() + GetName(); }

void KFbxObject::CopyNameIfSameType(const KFbxObject& other) {
    if (GetObjectTypeCode() == other.GetObjectTypeCode()) {
        mNameRecord = other.mNameRecord;
        MirrorNames();
    }
}

void KFbxObject::SetNameSpace(const char* nameSpace) {
    mNameRecord.SetNameSpace(nameSpace);
    MirrorNames();
}

void KFbxObject::MirrorNames() {
    if (mInternal == nullptr) {
        return;
    }
    mInternal->SetNameRaw(mNameRecord.GetCurrentName());
    if (std::strcmp(mInternal->GetNameSpace(), mNameRecord.GetNameSpace()) != 0) {
        mInternal->SetNameSpace(mNameRecord.GetNameSpace());
    }
}

// ---- properties -------------------------------------------------------------

void KFbxObject::DeferProperties(int count) {
    mDeferredPropertyCount = count;
    if (mInternal != nullptr) {
        mInternal->SetPropertiesPending(count != 0 || mBindingsDeferred);
    }
}

void KFbxObject::MakeDeferredProperties() {}

void KFbxObject::DropDeferredProperties() { DeferProperties(0); }

void KFbxObject::MakeDeferredPropertiesNow() {
    // Lifted first: the making itself works on the ordinary lists.
    DropDeferredProperties();
    MakeDeferredProperties();
}

void KFbxObject::RegisterProperty(KFbxProperty* property) {
    if (property == nullptr) {
        return;
    }
    MakeProperties();
    const bool known = std::any_of(mProperties.begin(), mProperties.end(),
                                   [&](const KFbxProperty* p) { return *p == *property; });
    if (known) {
        AddProperty(property);
    } else {
        RegisterNewProperty(property);
    }
}

void KFbxObject::RegisterNewProperty(KFbxProperty* property) {
    if (property == nullptr) {
        return;
    }
    MakeProperties();
    try {
        KReserveOneMore(mProperties);
        mProperties.push_back(property);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return;
    }
    AddProperty(property);
}

void KFbxObject::ReserveProperties(int count) {
    if (count <= 0) {
        return;
    }
    KReserveMore(mProperties, static_cast<std::size_t>(count));
    if (mInternal != nullptr) {
        mInternal->ReserveProperties(count);
    }
}

void KFbxObject::UnregisterProperty(KFbxProperty* property) {
    if (property == nullptr) {
        return;
    }
    MakeProperties();
    // A property is registered once, most often by the handle that made it,
    // which is found without a look at each handle's property.
    const KFbxProperty_internal* internal = property->GetInternal();
    const auto* maker = internal != nullptr ? static_cast<const KFbxProperty*>(internal->GetPublicPlug()) : nullptr;
    int index = maker != nullptr ? KFindFromEnds(mProperties, maker) : -1;
    if (index == -1) {
        const auto found = std::find_if(mProperties.rbegin(), mProperties.rend(),
                                        [&](const KFbxProperty* p) { return *p == *property; });
        if (found == mProperties.rend()) {
            return;
        }
        index = static_cast<int>(mProperties.rend() - found) - 1;
    }
    const auto at = mProperties.begin() + index;
    mPropertyIndex.Removing(static_cast<std::size_t>(index), *at);
    mProperties.erase(at);
    RemoveProperty(property);
}

KFbxProperty KFbxObject::GetPropertyAt(int index) const {
    MakeProperties();
    if (index < 0 || index >= GetPropertyCount()) {
        return KFbxProperty();
    }
    return *mProperties[static_cast<std::size_t>(index)];
}

const KFbxProperty* KFbxObject::FindIndexed(const char* name, bool& answered) const {
    answered = false;
    if (name == nullptr) {
        return nullptr;
    }
    // The index answers while the names are unique: the property it finds is
    // then the first, and only, of the name. An invalid handle is left to the
    // search of the list, which passes over it.
    const KFbxProperty* indexed = mPropertyIndex.Find(mProperties, name, answered);
    if (indexed != nullptr && !indexed->IsValid()) {
        answered = false;
    }
    return answered ? indexed : nullptr;
}

KFbxProperty KFbxObject::FindProperty(const char* name, bool caseSensitive) const {
    MakeProperties();
    bool answered = false;
    const KFbxProperty* indexed = caseSensitive ? FindIndexed(name, answered) : nullptr;
    if (answered) {
        return indexed != nullptr ? *indexed : KFbxProperty();
    }
    if (name != nullptr) {
        for (const KFbxProperty* property : mProperties) {
            if (property->IsValid() && SameName(property->GetName(), name, caseSensitive)) {
                return *property;
            }
        }
    }
    return KFbxProperty();
}

KFbxProperty KFbxObject::FindPropertyOfType(const char* name, const KFbxDataType& dataType,
                                            bool caseSensitive) const {
    MakeProperties();
    bool answered = false;
    const KFbxProperty* indexed = caseSensitive ? FindIndexed(name, answered) : nullptr;
    if (answered) {
        return indexed != nullptr && indexed->GetPropertyDataType() == dataType ? *indexed : KFbxProperty();
    }
    if (name != nullptr) {
        for (const KFbxProperty* property : mProperties) {
            if (property->IsValid() && property->GetPropertyDataType() == dataType &&
                SameName(property->GetName(), name, caseSensitive)) {
                return *property;
            }
        }
    }
    return KFbxProperty();
}

KFbxProperty KFbxObject::FindPropertyFrom(const char* name, int startIndex, int count) const {
    if (name == nullptr || startIndex < 0 || startIndex >= count) {
        return KFbxProperty();
    }
    MakeProperties();
    int index = startIndex;
    do {
        if (index < GetPropertyCount()) {
            const KFbxProperty* property = mProperties[static_cast<std::size_t>(index)];
            if (property->IsValid() && std::strcmp(property->GetName(), name) == 0) {
                return *property;
            }
        }
        index = index + 1 < count ? index + 1 : 0;
    } while (index != startIndex);
    return KFbxProperty();
}

KFbxProperty* KFbxObject::FindPropertyByInternal(const KProperty* property) const {
    if (property == nullptr) {
        return nullptr;
    }
    MakeProperties();
    for (KFbxProperty* handle : mProperties) {
        if (handle->IsLinkedTo(property)) {
            return handle;
        }
    }
    return nullptr;
}

void KFbxObject::WrapInternalProperties() {
    if (mInternal == nullptr) {
        return;
    }
    MakeProperties();
    for (int i = 0; i < mInternal->GetPropertyCount(); ++i) {
        KProperty* property = mInternal->GetPropertyAt(i);
        if (FindPropertyByInternal(property) == nullptr) {
            RegisterNewProperty(KFbxProperty::CreateForKProperty(mManager, property));
        }
    }
}

// ---- scene and connections --------------------------------------------------

KFbxObject* KFbxObject::GetScene() const { return GetDstObject(gSceneClassIds.mScene, 0); }

int KFbxObject::GetSrcObjectCount(const KFbxClassId& classId) const { return GetSrcCount(ObjectClassOr(classId)); }

KFbxObject* KFbxObject::GetSrcObject(const KFbxClassId& classId, int index) const {
    return KFbxCastToObject(GetSrc(index, ObjectClassOr(classId)));
}

KFbxObject* KFbxObject::FindSrcObject(const KFbxClassId& classId, const char* name, int startIndex) const {
    return FindSrcByName(name, ObjectClassOr(classId), startIndex);
}

int KFbxObject::GetDstObjectCount(const KFbxClassId& classId) const { return GetDstCount(ObjectClassOr(classId)); }

KFbxObject* KFbxObject::GetDstObject(const KFbxClassId& classId, int index) const {
    return KFbxCastToObject(GetDst(index, ObjectClassOr(classId)));
}

bool KFbxObject::DisconnectAllSrcObject(const KFbxClassId& classId) {
    for (int i = GetSrcObjectCount(classId) - 1; i >= 0; --i) {
        DisconnectSrc(GetSrcObject(classId, i));
    }
    return true;
}

// ---- free functions ---------------------------------------------------------

const char* KFbxGetObjectTypePrefix(int typeCode) {
    switch (typeCode) {
        case 1:
            return "Model::";
        case 2:
            return "Texture::";
        case 3:
            return "Material::";
        case 4:
        case 5:
            return "Video::";
        case 6:
        case 8:
        case 13:
            return "Constraint::";
        case 7:
            return "MarkerSet::";
        case 9:
        case 11:
            return "Pose::";
        case 12:
            return "ControlSetPlug::";
        case 14:
            return "Geometry::";
        case 16:
            return "GeometryWeightedMap::";
        case 17:
            return "Scene::";
        case 18:
            return "Deformer::";
        case 19:
            return "SubDeformer::";
        case 21:
            return "Cache::";
        default:
            return "";
    }
}

KString KFbxStripTypePrefixString(const KString& text) {
    const int at = text.Find("::");
    return at == -1 ? text : text.Mid(at + 2);
}

const char* KFbxStripTypePrefix(const char* text) {
    if (text == nullptr) {
        return nullptr;
    }
    const char* at = std::strstr(text, "::");
    return at != nullptr ? at + 2 : text;
}

KString KFbxReplaceTypePrefix(const KString& prefix, const KString& name) {
    KString stripped = KFbxStripTypePrefixString(name);
    if (!stripped.IsEmpty() && !prefix.IsEmpty()) {
        return prefix + stripped;
    }
    return stripped;
}

bool KFbxIsOwnedSource(const KFbxObject* owner, const KFbxObject* source, bool recursive) {
    if (owner == nullptr || source == nullptr) {
        return false;
    }
    const KFbxSceneClassIds& ids = gSceneClassIds;
    if (IsOf(owner, ids.mNode)) {
        return (recursive && IsOf(source, ids.mNode)) || IsOf(source, ids.mNodeAttribute) ||
               IsOf(source, ids.mConstraint) || IsOf(source, ids.mDeformer);
    }
    if (IsOf(owner, ids.mNodeAttribute)) {
        return IsOf(owner, ids.mGeometry) && (IsOf(source, ids.mDeformer) || IsOf(source, ids.mGeometryWeightedMap));
    }
    if (IsOf(owner, ids.mDeformer)) {
        return IsOf(owner, ids.mSkin) && IsOf(source, ids.mCluster);
    }
    return IsOf(owner, ids.mScene);
}

}  // namespace fbxsdk_2006_11_1
