#include <fbxfilesdk/core/KFbxPlug.h>

#include <fbxfilesdk/core/KFbxObject.h>
#include <fbxfilesdk/core/KFbxObject_internal.h>
#include <fbxfilesdk/core/KFbxPlug_internal.h>
#include <fbxfilesdk/core/KPlug.h>

#include <atomic>
#include <cstring>

namespace fbxsdk_2006_11_1 {

namespace {

// Set by every manager made, read by every object's destruction, in any thread.
constinit std::atomic<KFbxRemoveFromManagerFn> gRemoveFromManager{nullptr};

// The internal plug, with the class's filter; null for the null class id.
KPlug* FilteredPlug(const KFbxPlug& plug, const KFbxClassId& classId, const KPlugFilter*& filter) {
    filter = classId.GetFilter();
    return filter != nullptr ? plug.GetInternalPlug() : nullptr;
}

}  // namespace


KFbxPlug::~KFbxPlug() = default;

KFbxClassId KFbxPlug::GetClassId() const { return ClassId; }

void KFbxPlug::Destroy(bool recursive, bool dependents) {
    const KFbxRemoveFromManagerFn removeFromManager = gRemoveFromManager.load(std::memory_order_acquire);
    if (KFbxSdkManager* manager = GetSdkManager(); manager != nullptr && removeFromManager != nullptr) {
        removeFromManager(manager, this);
    }
    DestroyContents(recursive, dependents);
    delete this;
}

KFbxSdkManager* KFbxPlug::GetSdkManager() const { return nullptr; }

bool KFbxPlug::Is(const KFbxClassId& classId) const { return GetClassId().Is(classId); }

bool KFbxPlug::IsRuntime(const KFbxClassId& classId) const { return GetRuntimeClassId().Is(classId); }

bool KFbxPlug::SetRuntimeClassId(const KFbxClassId&) { return false; }

KFbxClassId KFbxPlug::GetRuntimeClassId() const { return GetClassId(); }

void KFbxPlug::SetUserData(void*) {}

void* KFbxPlug::GetUserData() const { return nullptr; }

bool KFbxPlug::ConnectNotify(const KFbxConnectEvent&) { return true; }

KPlug* KFbxPlug::CreateInternal() { return nullptr; }

void KFbxPlug::DestroyContents(bool, bool) {}

KPlug* KFbxPlug::GetInternalPlug() const { return nullptr; }

void KFbxPlug::SetRemoveFromManagerFn(KFbxRemoveFromManagerFn fn) {
    gRemoveFromManager.store(fn, std::memory_order_release);
}

bool KFbxPlug::ChangeConnection(KFbxPlug* src, bool connect, bool askedOfSrc) {
    if (src == nullptr) {
        return false;
    }
    const int base = connect ? eKFbxDstMayTakeSrc : eKFbxDstMayLeaveSrc;
    // Codes run base (destination) and base + 3 (source): may, about to, done.
    auto tell = [&](KFbxPlug* to, int code) { return to->ConnectNotify(KFbxConnectEvent{code, src, this}); };
    if (!tell(this, base) || !tell(src, base + 3)) {
        return false;
    }
    KPlug* internalDst = GetInternalPlug();
    KPlug* internalSrc = src->GetInternalPlug();
    tell(this, base + 1);
    tell(src, base + 4);
    bool linked = false;
    if (internalDst != nullptr && internalSrc != nullptr) {
        // Made on the end the caller asked, which hears of a refusal.
        if (!connect) {
            linked = internalDst->DisconnectSrc(internalSrc);
        } else {
            linked = askedOfSrc ? internalSrc->ConnectDst(internalDst, 0) : internalDst->ConnectSrc(internalSrc, 0);
        }
    }
    tell(this, base + 2);
    tell(src, base + 5);
    return linked;
}

bool KFbxPlug::ConnectSrc(KFbxPlug* src) { return ChangeConnection(src, true, false); }

bool KFbxPlug::ConnectDst(KFbxPlug* dst) { return dst != nullptr && dst->ChangeConnection(this, true, true); }

bool KFbxPlug::DisconnectSrc(KFbxPlug* src) { return ChangeConnection(src, false, false); }

bool KFbxPlug::DisconnectDst(KFbxPlug* dst) { return dst != nullptr && dst->DisconnectSrc(this); }

bool KFbxPlug::IsConnectedSrc(const KFbxPlug* src) const {
    const KPlug* internal = GetInternalPlug();
    const KPlug* other = src != nullptr ? src->GetInternalPlug() : nullptr;
    return internal != nullptr && other != nullptr && internal->HasSrc(other);
}

bool KFbxPlug::IsConnectedDst(const KFbxPlug* dst) const {
    const KPlug* internal = GetInternalPlug();
    const KPlug* other = dst != nullptr ? dst->GetInternalPlug() : nullptr;
    return internal != nullptr && other != nullptr && internal->HasDst(other);
}

int KFbxPlug::GetSrcCount(const KFbxClassId& classId) const {
    const KPlugFilter* filter = nullptr;
    KPlug* internal = FilteredPlug(*this, classId, filter);
    return internal != nullptr ? internal->GetSrcCount(filter) : 0;
}

KFbxPlug* KFbxPlug::GetSrc(int index, const KFbxClassId& classId) const {
    const KPlugFilter* filter = nullptr;
    KPlug* internal = FilteredPlug(*this, classId, filter);
    return internal != nullptr ? KFbxGetPublicPlug(internal->GetSrc(index, filter)) : nullptr;
}

int KFbxPlug::GetDstCount(const KFbxClassId& classId) const {
    const KPlugFilter* filter = nullptr;
    KPlug* internal = FilteredPlug(*this, classId, filter);
    return internal != nullptr ? internal->GetDstCount(filter) : 0;
}

KFbxPlug* KFbxPlug::GetDst(int index, const KFbxClassId& classId) const {
    const KPlugFilter* filter = nullptr;
    KPlug* internal = FilteredPlug(*this, classId, filter);
    return internal != nullptr ? KFbxGetPublicPlug(internal->GetDst(index, filter)) : nullptr;
}

KFbxObject* KFbxPlug::FindSrcByName(const char* name, const KFbxClassId& classId, int startIndex) const {
    if (name == nullptr) {
        return nullptr;
    }
    for (int i = startIndex < 0 ? 0 : startIndex; i < GetSrcCount(classId); ++i) {
        auto* object = KFbxCastToObject(GetSrc(i, classId));
        if (object != nullptr && std::strcmp(object->GetName(), name) == 0) {
            return object;
        }
    }
    return nullptr;
}

KFbxPlug* KFbxGetPublicPlug(KPlug* internalPlug) {
    if (internalPlug == nullptr) {
        return nullptr;
    }
    if (KFbxObject_internal* object = KFbxCastToObjectInternal(internalPlug)) {
        return object->GetPublicObject();
    }
    if (KFbxPlug_internal* plug = internalPlug->AsPlugInternal()) {
        return plug->GetPublicPlug();
    }
    return nullptr;
}

KFbxObject* KFbxCastToObject(KFbxPlug* plug) { return plug != nullptr ? plug->ObjectSelf() : nullptr; }

const KFbxObject* KFbxCastToObject(const KFbxPlug* plug) { return KFbxCastToObject(const_cast<KFbxPlug*>(plug)); }

KFbxObject_internal* KFbxCastToObjectInternal(KPlug* internalPlug) {
    KObject* object = KObject::AsKObject(internalPlug);
    return object != nullptr ? object->AsObjectInternal() : nullptr;
}

}  // namespace fbxsdk_2006_11_1
