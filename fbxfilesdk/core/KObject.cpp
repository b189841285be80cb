#include <fbxfilesdk/core/KObject.h>

#include <fbxfilesdk/core/KObjectNotifier.h>
#include <fbxfilesdk/core/KPlugClassRegistry.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/core/KProperty.h>
#include <fbxfilesdk/core/KWorld.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <algorithm>
#include <atomic>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

// Process-wide source of state stamps; the first stamp taken is 2.
std::atomic<std::uint32_t> gStateCounter{1};

KEventWord Word(const void* pointer) { return reinterpret_cast<KEventWord>(pointer); }

bool IsBlankText(const char* text) {
    for (; *text != '\0'; ++text) {
        if (*text != ' ' && *text != '\t') {
            return false;
        }
    }
    return true;
}

// A namespace segment joined under its enclosing path.
KString JoinNameSpace(const KString& path, const KString& segment) {
    const char* s = segment.Buffer();
    KString joined;
    if (path.IsEmpty()) {
        joined = s[0] == ':' ? s + 1 : s;
    } else if (segment.Find((path + ":").Buffer()) != -1) {
        joined = s[0] == ':' ? s + 1 : s;
    } else if (segment.IsEmpty()) {
        joined = path;
    } else if (s[0] == ':') {
        joined = path + segment;
    } else {
        joined = path + ":" + segment;
    }
    const int length = joined.GetLen();
    if (length > 0 && joined[length - 1] == ':') {
        joined = joined.Left(length - 1);
    }
    return joined;
}

}  // namespace

KObject::KObject() = default;

KObject::~KObject() {
    mNotifier.reset();
    // Objects feeding this one let go now; other sources stay until the plug
    // part disconnects everything.
    for (int i = KPlug::GetSrcCount() - 1; i >= 0; i = std::min(i - 1, KPlug::GetSrcCount() - 1)) {
        KPlug* src = KPlug::GetSrc(i);
        if (AsKObject(src) != nullptr) {
            DisconnectSrc(src);
        }
    }
    if (KObject* owner = GetOwner()) {
        DisconnectDst(owner);
    }
    // An object deleted without Destroy still must not leave its properties
    // pointing at it, nor its world holding it.
    ReleaseRemainingProperties();
    LeaveWorld();
    while (!mOwnedBlocks.empty()) {
        void* block = mOwnedBlocks.back();
        mOwnedBlocks.pop_back();
        OnBlockReleased(block);
        SdkFree(block);
    }
}

// ---- plug operations ------------------------------------------------------

void* KObject::GetInterface(std::uint32_t id, void* argument) {
    if (id == kInterfaceKObject) {
        return this;
    }
    return KPlug::GetInterface(id, argument);
}

void KObject::AttachToWorld(KWorld* world) {
    if (world == nullptr || world == mWorld) {
        return;
    }
    LeaveWorld();
    const int id = world->AddObject(this);
    if (id == -1) {
        return;
    }
    mWorld = world;
    mWorldIndex = id;
    for (KProperty* property : mProperties) {
        EnterWorldIndex(property);
    }
}

void KObject::EnterWorldIndex(KProperty* property) {
    if (mWorld != nullptr && property->TestFlag(KPropertyInfo::kWorldIndexed) && property->GetWorldIndex() == -1) {
        property->SetWorldIndex(mWorld->AddProperty(property));
    }
}

void KObject::LeaveWorldIndex(KProperty* property) {
    if (mWorld != nullptr && property->GetWorldIndex() != -1) {
        mWorld->RemoveProperty(property->GetWorldIndex());
        property->SetWorldIndex(-1);
    }
}

void KObject::LeaveWorld() {
    if (mWorld == nullptr) {
        return;
    }
    for (KProperty* property : mProperties) {
        LeaveWorldIndex(property);
    }
    mWorld->RemoveObject(mWorldIndex);
    mWorld = nullptr;
    mWorldIndex = kDetached;
}

void KObject::Destroy() {
    // Properties never made need no tearing down.
    mPropertiesPending = false;
    mLifeFlags |= kLifeBeingDestroyed;
    if (GetOwner() != nullptr) {
        Notify(eKObjectNotifyDestroying, 0, 0, -1);
    }
    DisconnectAllConnections();
    RemoveAllProperties();
    LeaveWorld();
    KPlug::Destroy();
}

void KObject::Finalize() {
    if (GetOwner() != nullptr) {
        SetState(mState & ~kStateSelected);
    }
}

const KPlugClassInfo* KObject::GetClassInfo() const { return &gKObjectClassInfo; }

bool KObject::IsPairPending(KPlug* a, KPlug* b) {
    for (const PendingPair& pair : mPendingPairs) {
        if ((pair.mA == a && pair.mB == b) || (pair.mA == b && pair.mB == a)) {
            return true;
        }
    }
    return KPlug::IsPairPending(a, b);
}

void KObject::RemovePendingPair(KPlug* a, KPlug* b, std::uint8_t side) {
    // The two ends of a replacement record the pair each from their own side;
    // either order closes it.
    for (auto it = mPendingPairs.begin(); it != mPendingPairs.end(); ++it) {
        if (it->mSide == side && ((it->mA == a && it->mB == b) || (it->mA == b && it->mB == a))) {
            mPendingPairs.erase(it);
            return;
        }
    }
}

bool KObject::EmitValueEvent(const KPlugEventChain* chain, int code, KPlug* sender, KEventWord a, KEventWord b,
                             KEventWord c) {
    if (KObject* owner = GetOwner()) {
        owner->OnOwnedValueEvent(this, chain, code, sender, a, b, c);
    }
    return KPlug::EmitValueEvent(chain, code, sender, a, b, c);
}

bool KObject::EmitObjectEvent(const KPlugEventChain* chain, int code, KPlug* sender, KEventWord a, KEventWord b,
                              KEventWord c) {
    if (KObject* owner = GetOwner()) {
        owner->OnOwnedObjectEvent(this, chain, code, sender, a, b, c);
    }
    return KPlug::EmitObjectEvent(chain, code, sender, a, b, c);
}

// Apart from the events that carry them: replacements are rare, and the
// record's allocation would weigh on every event's frame.
[[gnu::noinline]] void KObject::TrackPendingPair(int code, KPlug* sender, KPlug* other, KEventWord extra) {
    try {
        if (code == eKPlugBeginReplaceSrc) {
            mPendingPairs.push_back(PendingPair{sender, other, extra, 1});
        } else if (code == eKPlugBeginReplaceDst) {
            mPendingPairs.push_back(PendingPair{sender, other, extra, 0});
        }
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        // Without the record the clean-up may run during the replacement;
        // nothing is lost but a reference property that the replacement keeps.
    }
    if (code == eKPlugEndReplaceSrc) {
        RemovePendingPair(sender, other, 1);
    } else if (code == eKPlugEndReplaceDst) {
        RemovePendingPair(sender, other, 0);
    }
}

bool KObject::EmitConnectionEvent(const KPlugEventChain* chain, int code, KPlug* sender, int index, KPlug* other,
                                  std::uint8_t type, KEventWord extra) {
    if (code >= eKPlugBeginReplaceSrc && code <= eKPlugEndReplaceDst) {
        TrackPendingPair(code, sender, other, extra);
    }

    bool result = true;
    KObject* k = AsKObject(other);
    if (k != nullptr && sender == this) {
        switch (code) {
            case eKPlugSrcAboutToBeAdded:
                ConnectionNotify(this, eKObjectAboutToConnect, k, index);
                result = OnSrcConnectionChange(eKObjectAboutToConnect, k, index);
                break;
            case eKPlugSrcAdded:
                ConnectionNotify(this, eKObjectConnected, k, index);
                result = OnSrcConnectionChange(eKObjectConnected, k, index);
                break;
            case eKPlugSrcAboutToBeRemoved:
                ConnectionNotify(this, eKObjectAboutToDisconnect, k, index);
                result = OnSrcConnectionChange(eKObjectAboutToDisconnect, k, index);
                break;
            case eKPlugSrcRemoved:
                ConnectionNotify(this, eKObjectDisconnected, k, index);
                result = OnSrcConnectionChange(eKObjectDisconnected, k, index);
                break;
            case eKPlugDstAboutToBeAdded:
                result = OnDstConnectionChange(eKObjectAboutToConnect, k, index);
                break;
            case eKPlugDstAdded:
                result = OnDstConnectionChange(eKObjectConnected, k, index);
                break;
            case eKPlugDstAboutToBeRemoved:
                result = OnDstConnectionChange(eKObjectAboutToDisconnect, k, index);
                break;
            case eKPlugDstRemoved:
                result = OnDstConnectionChange(eKObjectDisconnected, k, index);
                break;
            case eKObjectConnectionCode14:
            case eKObjectConnectionCode15:
                result = OnSrcConnectionChange(code, k, index);
                break;
            default:
                break;
        }
    } else if (k != nullptr) {
        // Passed up from one of the object's properties.
        switch (code) {
            case eKPlugSrcAboutToBeAdded:
                result = ConnectionNotify(sender, eKObjectAboutToConnect, k, index);
                break;
            case eKPlugSrcAdded:
                result = ConnectionNotify(sender, eKObjectConnected, k, index);
                break;
            case eKPlugSrcAboutToBeRemoved:
                result = ConnectionNotify(sender, eKObjectAboutToDisconnect, k, index);
                break;
            case eKPlugSrcRemoved:
                if (!IsBeingDestroyed()) {
                    result = ConnectionNotify(sender, eKObjectDisconnected, k, index);
                }
                break;
            default:
                break;
        }
    }
    if (code == eKPlugBeginUpdate) {
        result = ConnectionNotify(sender, eKObjectBeginUpdate, nullptr, index);
    } else if (code == eKPlugEndUpdate) {
        result = ConnectionNotify(sender, eKObjectEndUpdate, nullptr, index);
    }
    if (!result) {
        return false;
    }
    if (KObject* owner = GetOwner()) {
        if (!owner->OnOwnedConnectionEvent(this, chain, code, sender, index, other, type, extra)) {
            return false;
        }
    }
    return KPlug::EmitConnectionEvent(chain, code, sender, index, other, type, extra);
}

// ---- object operations ----------------------------------------------------

bool KObject::IsUnused(int flag) {
    if (flag != 0 || KPlug::GetSrcCount() > 0) {
        return false;
    }
    const int dstCount = KPlug::GetDstCount();
    if (dstCount > 1 || (dstCount == 1 && GetOwner() == nullptr)) {
        return false;
    }
    for (const KProperty* property : mProperties) {
        if (property->GetSrcCount() > 0 || property->GetDstCount() > 0) {
            return false;
        }
    }
    return true;
}

void KObject::DisconnectAllConnections() {
    for (int i = GetPropertyCount() - 1; i >= 0; i = std::min(i - 1, GetPropertyCount() - 1)) {
        DisconnectProperty(mProperties[i]);
    }
    DisconnectAllSrc();
    for (int i = KPlug::GetDstCount() - 1; i >= 0; i = std::min(i - 1, KPlug::GetDstCount() - 1)) {
        KPlug* dst = KPlug::GetDst(i);
        if (dst != GetOwner()) {
            DisconnectDst(dst);
        }
    }
}

void KObject::DisconnectProperty(KProperty* property) {
    for (int i = property->GetSrcCount() - 1; i >= 0; i = std::min(i - 1, property->GetSrcCount() - 1)) {
        property->DisconnectSrcAt(i);
        if (IndexOfProperty(property) == -1) {
            return;
        }
    }
    for (int i = property->GetDstCount() - 1; i >= 0; i = std::min(i - 1, property->GetDstCount() - 1)) {
        property->DisconnectDstAt(i);
        if (IndexOfProperty(property) == -1) {
            return;
        }
    }
}

void KObject::ClearSelection() { SetState(mState & ~kStateSelected); }

void KObject::SetOwner(KObject* owner) { mOwner = owner != nullptr ? HdlKObject(owner) : HdlKObject(); }

// Asked on every event that climbs through the object; most objects have no owner.
KObject* KObject::GetOwner() const { return mOwner.IsEmpty() ? nullptr : AsKObject(mOwner.Resolve()); }

// ---- names ----------------------------------------------------------------

bool KObject::SetName(const char* name) {
    if (name == nullptr || IsBlankText(name)) {
        name = "1";
    }
    return RenameTo(name, true, eKObjectNotifyRenaming, eKObjectNotifyRenamed);
}

bool KObject::SetNameRaw(const char* name) {
    return RenameTo(name != nullptr ? name : "", false, eKObjectNotifyRawRenaming, eKObjectNotifyRawRenamed);
}

bool KObject::RenameTo(const char* name, bool given, int beginKind, int endKind) {
    if (mName == name) {
        return false;
    }
    const KString text(name);
    const KString old(mName);
    Notify(beginKind, 0, Word(text.Buffer()), -1);
    EmitObjectEvent(nullptr, kKObjectEventRenaming, this, Word(text.Buffer()), Word(old.Buffer()), 0);
    mName = text;
    if (given) {
        mGivenName = text;
    }
    SetFullNameDirty(false);
    Notify(endKind, 0, Word(text.Buffer()), -1);
    EmitObjectEvent(nullptr, kKObjectEventRenamed, this, Word(text.Buffer()), Word(old.Buffer()), 0);
    return true;
}

const char* KObject::GetName() const { return mName.Buffer(); }

const char* KObject::GetGivenName() const { return mGivenName.Buffer(); }

const char* KObject::GetNameSpace() const { return mNameSpace.Buffer(); }

int KObject::GetOwnerClassId() const { return -1; }

void KObject::SetFullNameDirty(bool recursive) {
    mFullNameDirty = true;
    if (recursive) {
        for (KObject* object : CollectNameSpaceTree()) {
            object->mFullNameDirty = true;
        }
    }
}

KString KObject::GetNameSpacePath() {
    // From this object out through the enclosing objects; each object once.
    std::vector<KObject*> chain;
    try {
        chain.push_back(this);
        for (KObject* current = this;;) {
            const int classId = current->GetOwnerClassId();
            KObject* enclosing = classId != -1 ? current->GetDstObject(0, classId) : nullptr;
            if (enclosing == nullptr || std::find(chain.begin(), chain.end(), enclosing) != chain.end()) {
                break;
            }
            chain.push_back(enclosing);
            current = enclosing;
        }
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return mNameSpace;
    }
    KString path = chain.back()->mNameSpace;
    for (std::size_t i = chain.size() - 1; i-- > 0;) {
        path = JoinNameSpace(path, chain[i]->mNameSpace);
    }
    return path;
}

const char* KObject::GetFullName() {
    if (mFullNameDirty) {
        const char* typeName = GetTypeName();
        const KString path = GetNameSpacePath();
        KString full;
        if (typeName != nullptr && typeName[0] != '\0') {
            full += typeName;
            full += "::";
        }
        if (!path.IsEmpty()) {
            full += path;
            full += ":";
        }
        full += mName;
        mFullName = full;
        mFullNameDirty = false;
    }
    return mFullName.Buffer();
}

// ---- notifications --------------------------------------------------------

void KObject::Notify(int kind, KEventWord a, KEventWord b, int index) {
    if (kind == eKObjectNotifyDestroying) {
        EmitObjectEvent(nullptr, kKObjectEventDestroyed, this, 0, 0, 0);
    }
    if (KObject* owner = GetOwner()) {
        owner->OnOwnedNotify(this, kind, a, b, index);
    }
    // By index, re-checked: a listener may change the connections. Only
    // objects are told, which AsKObject picks out.
    for (int i = 0; i < KPlug::GetDstCount(); ++i) {
        if (KObject* dst = AsKObject(KPlug::GetDst(i))) {
            dst->OnNotify(kind, this, a, b);
        }
    }
}

bool KObject::OnNotify(int, KObject*, KEventWord, KEventWord) { return false; }

void KObject::BeginNotifyBatch() { Notify(eKObjectNotifyBatchBegin, 0, 0, -1); }

void KObject::EndNotifyBatch() { Notify(eKObjectNotifyBatchEnd, 0, 0, -1); }

bool KObject::SetState(std::uint32_t state) {
    if (state == mState) {
        if ((state & kStateSelected) != 0) {
            Notify(eKObjectNotifySelectionRefreshed, 0, 0, -1);
            EmitObjectEvent(nullptr, kKObjectEventSelectionRefreshed, this, 0, 0, 0);
        }
        return false;
    }
    const std::uint32_t old = mState;
    mState = state;
    const bool wasSelected = (old & kStateSelected) != 0;
    const bool isSelected = (state & kStateSelected) != 0;
    if (isSelected && !wasSelected) {
        mStateStamp = ++gStateCounter;
        Notify(eKObjectNotifySelected, 0, 0, -1);
        EmitObjectEvent(nullptr, kKObjectEventSelected, this, 0, 0, 0);
    } else if (!isSelected && wasSelected) {
        Notify(eKObjectNotifyUnselected, 0, 0, -1);
        EmitObjectEvent(nullptr, kKObjectEventUnselected, this, 0, 0, 0);
    } else if (isSelected) {
        mStateStamp = ++gStateCounter;
        Notify(eKObjectNotifySelectionRefreshed, 0, 0, -1);
        EmitObjectEvent(nullptr, kKObjectEventSelectionRefreshed, this, 0, 0, 0);
    }
    if (((old ^ state) & kStateBit2) != 0) {
        Notify((state & kStateBit2) != 0 ? eKObjectNotifyStateBit2Set : eKObjectNotifyStateBit2Cleared, 0, 0, -1);
    }
    return true;
}

bool KObject::ConnectionNotify(KPlug* sender, int kind, KObject* other, int) {
    if (sender != this || mNotifier == nullptr) {
        return true;
    }
    KObjectConnectionRecord record;
    record.mSender = sender;
    const HdlKObject self(this);
    record.mObjectId = self.mId;
    record.mObjectEntry = self.mEntry;
    if (other != nullptr) {
        const HdlKObject handle(other);
        record.mOtherId = handle.mId;
        record.mOtherEntry = handle.mEntry;
    }
    record.mKind = kind;
    mNotifier->Offer(record);
    return true;
}

bool KObject::OnSrcConnectionChange(int kind, KObject* other, int index) {
    const KEventWord a = Word(other);
    switch (kind) {
        case eKObjectAboutToConnect:
            if (other != nullptr) {
                Notify(eKObjectNotifySrcAboutToBeAdded, a, 0, -1);
            }
            break;
        case eKObjectAboutToDisconnect:
            if (other != nullptr) {
                Notify(eKObjectNotifySrcAboutToBeRemoved, a, 0, -1);
            }
            break;
        case eKObjectConnected:
            Notify(eKObjectNotifySrcAdded, a, 0, index);
            RederiveNameSpaceOf(other);
            Notify(eKObjectNotifySrcListChanged, a, 0, index);
            break;
        case eKObjectDisconnected:
            Notify(eKObjectNotifySrcRemoved, a, 0, -1);
            Notify(eKObjectNotifySrcListChanged, a, 0, index);
            break;
        case eKObjectConnectionCode14:
            if (other != nullptr) {
                Notify(eKObjectNotifyConnection14, a, 0, index);
            }
            break;
        case eKObjectConnectionCode15:
            if (other != nullptr) {
                Notify(eKObjectNotifyConnection15, a, 0, index);
            }
            break;
        default:
            break;
    }
    return true;
}

bool KObject::OnDstConnectionChange(int, KObject*, int) { return true; }

bool KObject::OnPropertyListChange(int, KProperty*, bool) { return true; }

bool KObject::OnBlockReleased(void*) { return true; }

void KObject::OnOwnedValueEvent(KObject*, const KPlugEventChain*, int, KPlug*, KEventWord, KEventWord, KEventWord) {}

void KObject::OnOwnedObjectEvent(KObject*, const KPlugEventChain*, int, KPlug*, KEventWord, KEventWord,
                                 KEventWord) {}

void KObject::OnOwnedNotify(KObject*, int, KEventWord, KEventWord, int) {}

bool KObject::OnOwnedConnectionEvent(KObject*, const KPlugEventChain*, int, KPlug*, int, KPlug*, std::uint8_t,
                                     KEventWord) {
    return true;
}

// ---- queries --------------------------------------------------------------

KPlug* KObject::PlugForClass(int classId) {
    if (classId == -1 || classId == gKPlugTypeId) {
        return this;
    }
    const KPlugFilter* filter = GetPlugClassFilter(classId);
    return filter != nullptr ? GetView(filter) : nullptr;
}

int KObject::GetSrcCount(int classId) {
    const KPlug* plug = PlugForClass(classId);
    return plug != nullptr ? plug->GetSrcCount() : 0;
}

KPlug* KObject::GetSrc(int index, int classId) {
    const KPlug* plug = PlugForClass(classId);
    return plug != nullptr ? plug->GetSrc(index) : nullptr;
}

int KObject::GetDstCount(int classId) {
    const KPlug* plug = PlugForClass(classId);
    return plug != nullptr ? plug->GetDstCount() : 0;
}

KPlug* KObject::GetDst(int index, int classId) {
    const KPlug* plug = PlugForClass(classId);
    return plug != nullptr ? plug->GetDst(index) : nullptr;
}

KObject* KObject::GetSrcObject(int index, int classId) { return AsKObject(GetSrc(index, classId)); }

KObject* KObject::GetDstObject(int index, int classId) { return AsKObject(GetDst(index, classId)); }

KObject* KObject::AsKObject(KPlug* plug) { return plug != nullptr ? plug->AsObject() : nullptr; }

KObject* KObject::RootObjectOf(KPlug* plug) {
    while (plug != nullptr && plug->GetParent() != nullptr) {
        plug = plug->GetParent();
    }
    return AsKObject(plug);
}

KObject* KObject::GetRootObject() { return RootObjectOf(this); }

void KObject::SetNotifier(std::unique_ptr<KObjectNotifier> notifier) { mNotifier = std::move(notifier); }

bool KObject::AddOwnedBlock(void* block) {
    if (block == nullptr) {
        return false;
    }
    try {
        mOwnedBlocks.push_back(block);
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    return true;
}

}  // namespace fbxsdk_2006_11_1
