#include <fbxfilesdk/core/KPlug.h>

#include <fbxfilesdk/core/KPlugClassRegistry.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/core/KPlugConnectionList.h>
#include <fbxfilesdk/core/KPlugHandlePool.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include <algorithm>
#include <atomic>
#include <iterator>
#include <new>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1 {

namespace {

std::atomic<int> gLiveCount{0};

// Appends to one of a plug's link lists; false, the list unchanged and the
// shortage noted, when memory runs out.
template <class List, class Item>
bool Appended(List& list, Item&& item) {
    try {
        list.push_back(std::forward<Item>(item));
    } catch (const std::bad_alloc&) {
        SdkNoteAllocationFailure();
        return false;
    }
    return true;
}

enum CallbackKind { kValueKind, kObjectKind, kConnectionKind };

}  // namespace

// Made with a plug's first connection and freed with its last: recycled.
struct KPlug::Links : KRecycledBlocks {
    KPlugConnectionList mSrcs;
    KPlugConnectionList mDsts;
    std::vector<KPlug*> mViews;
    // The plugs this one is a one-way source of, once a link. Listed by no
    // call, as the link is not, but known here so that the link goes with
    // this plug instead of leaving its destination a freed source.
    std::vector<KPlug*> mOneWayDsts;
    std::vector<CallbackRecord> mCallbacks;
    // Few plugs are held by handle.
    KPlugHandleEntry* mHandle = nullptr;
    int mDeliveryDepth = 0;
    // Connections being made that reserved room here: what their
    // announcements take away leaves that room for the link.
    int mPendingLinks = 0;

    bool Empty() const {
        return mSrcs.Empty() && mDsts.Empty() && mViews.empty() && mOneWayDsts.empty() && mCallbacks.empty() &&
               mHandle == nullptr &&
               mDeliveryDepth == 0 && mPendingLinks == 0;
    }
};

KPlug::KPlug() : mFilter(GetPlugClassFilter(-1)) { gLiveCount.fetch_add(1, std::memory_order_relaxed); }

KPlug::~KPlug() {
    if (mLinks) {
        DisconnectEverything(true);
        DropViews();
    }
    // A view deleted by someone other than its parent leaves the parent's list.
    if (mParent != nullptr && (mFlags & kIsView) != 0) {
        KPlug::SetParent(nullptr);
    }
    if (mLinks && mLinks->mHandle != nullptr) {
        if (KPlugHandlePool* pool = KPlugClassRegistry::GetHandlePool()) {
            pool->Release(mLinks->mHandle, this);
        }
        mLinks->mHandle = nullptr;
    }
    gLiveCount.fetch_sub(1, std::memory_order_relaxed);
}

int KPlug::GetLiveCount() { return gLiveCount.load(std::memory_order_relaxed); }

void* KPlug::GetInterface(std::uint32_t id, void*) {
    return id == 0 || id == 2 || id == kInterfaceKPlug ? this : nullptr;
}

void KPlug::Release() { delete this; }

void KPlug::AttachToWorld(KWorld*) {}

void KPlug::Destroy() {
    EmitObjectEvent(nullptr, kKPlugObjectEventDestroyed, this, 0, 0, 0);
    mFlags |= kBeingDestroyed;
    if (mLinks) {
        DisconnectEverything(true);
        DropViews();
    }
}

void KPlug::Finalize() {}

bool KPlug::IsType(int typeId) const {
    const KPlugClassInfo* info = GetClassInfo();
    return info != nullptr && info->IsA(typeId);
}

int KPlug::GetTypeId() const {
    const KPlugClassInfo* info = GetClassInfo();
    return info != nullptr ? info->GetId() : 0;
}

const char* KPlug::GetClassName() const {
    const KPlugClassInfo* info = GetClassInfo();
    return info != nullptr ? info->GetClassName() : "";
}

const KPlugClassInfo* KPlug::GetClassInfo() const { return &gKPlugClassInfo; }

int KPlug::GetTypeIdCopy() const { return GetTypeId(); }

const char* KPlug::GetTypeName() const { return ""; }

KPlug* KPlug::NewPlug(const KPlugFilter*) {
    KPlug* plug = new (std::nothrow) KPlug();
    if (plug != nullptr) {
        plug->AttachToWorld(nullptr);
    }
    return plug;
}

bool KPlug::IsPairPending(KPlug* a, KPlug* b) { return mParent != nullptr && mParent->IsPairPending(a, b); }

bool KPlug::HasParent() const { return mParent != nullptr; }

bool KPlug::EmitWordEvent(int kind, const KPlugEventChain* chain, int code, KPlug* sender, KEventWord a,
                          KEventWord b, KEventWord c) {
    if (mParent != nullptr && (mFlags & kViewOnDemand) == 0) {
        return kind == kValueKind ? mParent->EmitValueEvent(chain, code, sender, a, b, c)
                                  : mParent->EmitObjectEvent(chain, code, sender, a, b, c);
    }
    if (HasCallbacks()) {
        Deliver(kind, chain, code, sender, a, b, c, -1, nullptr, 0);
    }
    return true;
}

bool KPlug::EmitValueEvent(const KPlugEventChain* chain, int code, KPlug* sender, KEventWord a, KEventWord b,
                           KEventWord c) {
    return EmitWordEvent(kValueKind, chain, code, sender, a, b, c);
}

bool KPlug::EmitObjectEvent(const KPlugEventChain* chain, int code, KPlug* sender, KEventWord a, KEventWord b,
                            KEventWord c) {
    return EmitWordEvent(kObjectKind, chain, code, sender, a, b, c);
}

bool KPlug::EmitConnectionEvent(const KPlugEventChain* chain, int code, KPlug* sender, int index, KPlug* other,
                                std::uint8_t type, KEventWord extra) {
    if (mParent != nullptr && (mFlags & kViewOnDemand) == 0) {
        const KPlugEventChain link{chain, this};
        return mParent->EmitConnectionEvent(&link, code, sender, index, other, type, extra);
    }
    // Most plugs have no callbacks: the delivery is not even called then.
    if (HasCallbacks()) {
        Deliver(kConnectionKind, chain, code, sender, extra, 0, 0, index, other, type);
    }
    return true;
}

void KPlug::CleanUpAfterDisconnect(KPlug* plug) {
    if (mParent != nullptr) {
        mParent->CleanUpAfterDisconnect(plug);
    }
}

bool KPlug::SetParent(KPlug* parent) {
    if (parent == mParent) {
        return false;
    }
    const bool isView = (mFlags & kIsView) != 0;
    if (parent != nullptr) {
        // Events climb the parent chain: a plug under itself would pass them on forever.
        for (const KPlug* above = parent; above != nullptr; above = above->mParent) {
            if (above == this) {
                return false;
            }
        }
        // Mirroring reaches only the views of a real plug, so a view of a view
        // would keep connections its parent has lost.
        if (isView && (parent->ViewCount() >= kMaxViews || (parent->mFlags & kIsView) != 0)) {
            return false;
        }
        KPlug::SetParent(nullptr);
        if (isView) {
            Links* parentLinks = parent->MakeLinks();
            if (parentLinks == nullptr) {
                return false;
            }
            if (!Appended(parentLinks->mViews, this)) {
                parent->DropLinksIfEmpty();
                return false;
            }
        }
        mParent = parent;
        if (isView) {
            CopyAcceptedConnectionsOf(parent);
        }
        return true;
    }
    if (isView && mParent->mLinks) {
        std::vector<KPlug*>& views = mParent->mLinks->mViews;
        views.erase(std::remove(views.begin(), views.end(), this), views.end());
        mParent->DropLinksIfEmpty();
        // A detached view mirrors nothing; keeping the entries would keep
        // pointers to plugs that no longer tell it when they go.
        ClearConnections();
    }
    mParent = nullptr;
    return true;
}

bool KPlug::AddChild(KPlug* child) {
    if (child == nullptr || child->mParent == this) {
        return false;
    }
    return child->SetParent(this);
}

bool KPlug::RemoveChild(KPlug* child) {
    if (child == nullptr || child->mParent != this) {
        return false;
    }
    child->SetParent(nullptr);
    return true;
}

void KPlug::BeginUpdate() { EmitConnectionEvent(nullptr, eKPlugBeginUpdate, this, -1, nullptr, 0, 0); }

void KPlug::EndUpdate() { EmitConnectionEvent(nullptr, eKPlugEndUpdate, this, -1, nullptr, 0, 0); }

void KPlug::OnBeginConnectionChange() {}

void KPlug::OnEndConnectionChange() {}

// ---- lists ----------------------------------------------------------------

const KPlugConnectionList* KPlug::List(Side side) const {
    if (!mLinks) {
        return nullptr;
    }
    return side == Side::Src ? &mLinks->mSrcs : &mLinks->mDsts;
}

int KPlug::ListCount(Side side) const {
    const KPlugConnectionList* list = List(side);
    return list != nullptr ? list->Size() : 0;
}

KPlug* KPlug::PlugAt(Side side, int index) const {
    const KPlugConnectionList* list = List(side);
    return list != nullptr && index >= 0 && index < list->Size() ? (*list)[index].mPlug : nullptr;
}

std::uint8_t KPlug::TypeAt(Side side, int index) const {
    const KPlugConnectionList* list = List(side);
    return list != nullptr && index >= 0 && index < list->Size() ? (*list)[index].mType : 0;
}

int KPlug::GetSrcCount() const { return ListCount(Side::Src); }

int KPlug::GetDstCount() const { return ListCount(Side::Dst); }

KPlug* KPlug::GetSrc(int index) const { return PlugAt(Side::Src, index); }

KPlug* KPlug::GetDst(int index) const { return PlugAt(Side::Dst, index); }

std::uint8_t KPlug::GetSrcType(int index) const { return TypeAt(Side::Src, index); }

std::uint8_t KPlug::GetDstType(int index) const { return TypeAt(Side::Dst, index); }

int KPlug::FindIndex(Side side, const KPlug* plug) const {
    const KPlugConnectionList* list = List(side);
    return list != nullptr ? list->FindLast(plug) : -1;
}

int KPlug::FindSrcIndex(const KPlug* plug) const { return FindIndex(Side::Src, plug); }

int KPlug::FindDstIndex(const KPlug* plug) const { return FindIndex(Side::Dst, plug); }

bool KPlug::Accepts(Side side, KPlug* plug) const {
    const std::uint32_t flag = side == Side::Src ? kAcceptsSrc : kAcceptsDst;
    return (mFlags & flag) != 0 && (mFilter == nullptr || mFilter->Match(plug));
}

bool KPlug::AcceptsSrc(KPlug* plug) const { return Accepts(Side::Src, plug); }

bool KPlug::AcceptsDst(KPlug* plug) const { return Accepts(Side::Dst, plug); }

bool KPlug::CanConnectSrc(KPlug* plug, std::uint8_t type) {
    return AcceptsSrc(plug) &&
           EmitConnectionEvent(nullptr, eKPlugDstMayTakeSrc, this, -1, plug, type, reinterpret_cast<KEventWord>(this));
}

bool KPlug::CanConnectDst(KPlug* plug, std::uint8_t type) {
    return AcceptsDst(plug) &&
           EmitConnectionEvent(nullptr, eKPlugSrcMayTakeDst, this, -1, plug, type, reinterpret_cast<KEventWord>(this));
}

KPlug::Links* KPlug::MakeLinks() {
    if (!mLinks) {
        mLinks.reset(new (std::nothrow) Links());
        if (!mLinks) {
            SdkNoteAllocationFailure();
        }
    }
    return mLinks.get();
}

void KPlug::DropLinksIfEmpty() {
    if (mLinks && mLinks->Empty()) {
        mLinks.reset();
    }
}

void KPlug::Insert(Side side, int index, KPlug* plug, std::uint8_t type) {
    Links* links = MakeLinks();
    if (links != nullptr) {
        (side == Side::Src ? links->mSrcs : links->mDsts).Insert(index, plug, type);
    }
}

bool KPlug::ReserveOneMore(Side side) {
    Links* links = MakeLinks();
    if (links == nullptr) {
        return false;
    }
    if (!(side == Side::Src ? links->mSrcs : links->mDsts).ReserveOneMore()) {
        DropLinksIfEmpty();
        return false;
    }
    return true;
}

void KPlug::RemoveAt(Side side, int index) {
    (side == Side::Src ? mLinks->mSrcs : mLinks->mDsts).Erase(index);
    DropLinksIfEmpty();
}

void KPlug::ClearConnections() {
    if (mLinks) {
        mLinks->mSrcs.Clear();
        mLinks->mDsts.Clear();
        DropLinksIfEmpty();
    }
}

void KPlug::CopyAcceptedConnectionsOf(const KPlug* parent) {
    ClearConnections();
    for (Side side : {Side::Src, Side::Dst}) {
        for (int i = 0; i < parent->ListCount(side); ++i) {
            KPlug* plug = parent->PlugAt(side, i);
            if (Accepts(side, plug)) {
                Insert(side, ListCount(side), plug, parent->TypeAt(side, i));
            }
        }
    }
}

void KPlug::SetFlags(std::uint32_t flags) { mFlags = (flags & ~kIsView) | (mFlags & kIsView); }

// ---- connecting -----------------------------------------------------------

KPlug* KPlug::ResolveView(KPlug* plug) {
    while (plug != nullptr && (plug->mFlags & kIsView) != 0 && plug->mParent != nullptr) {
        plug = plug->mParent;
    }
    return plug;
}

bool KPlug::Emit(int code, int index, KPlug* other, std::uint8_t type, KEventWord extra) {
    return EmitConnectionEvent(nullptr, code, this, index, other, type, extra);
}

int KPlug::MirroredPosition(Side side, int parentPosition) const {
    const int count = ListCount(side);
    if (mParent == nullptr || count == 0 || parentPosition >= mParent->ListCount(side)) {
        return count;
    }
    // The view's list is a subsequence of the parent's: count its entries that
    // lie before the parent's position.
    const KPlugConnectionList& theirs = *mParent->List(side);
    const KPlugConnectionList& mine = *List(side);
    int matched = 0;
    for (int i = 0; i < parentPosition && matched < count; ++i) {
        if (mine[matched].mPlug == theirs[i].mPlug && mine[matched].mType == theirs[i].mType) {
            ++matched;
        }
    }
    return matched;
}

const KPlug* KPlug::EntryAfter(Side side, const KPlug* plug) const {
    const int index = plug != nullptr ? FindIndex(side, plug) : -1;
    return index != -1 ? PlugAt(side, index + 1) : nullptr;
}

int KPlug::PositionBefore(Side side, const KPlug* before, const KPlug* next) const {
    for (const KPlug* plug : {before, next}) {
        if (const int index = plug != nullptr ? FindIndex(side, plug) : -1; index != -1) {
            return index;
        }
    }
    return ListCount(side);
}

int KPlug::CollectViewsForAdd(Side side, KPlug* plug, std::uint8_t type, KEventWord askedOf, int position,
                              ViewSlot* slots) {
    const int code = side == Side::Src ? eKPlugDstMayTakeSrc : eKPlugSrcMayTakeDst;
    int count = 0;
    for (int i = 0; i < ViewCount() && count < kMaxViews; ++i) {
        KPlug* view = ViewAt(i);
        if (view->Accepts(side, plug) && view->Emit(code, -1, plug, type, askedOf)) {
            slots[count++] = ViewSlot{view, view->MirroredPosition(side, position)};
        }
    }
    return count;
}

int KPlug::CollectViewsHolding(Side side, KPlug* plug, ViewSlot* slots) const {
    if (!mLinks) {
        return 0;
    }
    int count = 0;
    for (KPlug* view : mLinks->mViews) {
        if (count == kMaxViews) {
            break;
        }
        const int index = view->FindIndex(side, plug);
        if (index != -1) {
            slots[count++] = ViewSlot{view, index};
        }
    }
    return count;
}

bool KPlug::Connect(KPlug* src, KPlug* dst, KPlug* beforeInSrcDsts, KPlug* beforeInDstSrcs, std::uint8_t type,
                    KPlug* requester) {
    const auto askedOf = reinterpret_cast<KEventWord>(ResolveView(requester));
    // Each level, from the plugs given down to the real plugs behind views,
    // must agree before anything changes.
    for (;;) {
        if (src == nullptr || dst == nullptr) {
            return false;
        }
        if ((dst->mFlags & kOneWay) != 0) {
            type |= kConnectionOneWay;
        }
        if (src == dst) {
            // Refused whatever the plug answers; asked all the same (the plug
            // behind a view), so that it can leave its error where the caller
            // looks.
            KPlug* self = ResolveView(dst);
            self->Emit(eKPlugDstMayTakeSrc, -1, self, type, askedOf);
            return false;
        }
        if (!dst->Accepts(Side::Src, src) || !dst->Emit(eKPlugDstMayTakeSrc, -1, src, type, askedOf)) {
            return false;
        }
        if ((type & kConnectionOneWay) == 0 &&
            (!src->Accepts(Side::Dst, dst) || !src->Emit(eKPlugSrcMayTakeDst, -1, dst, type, askedOf))) {
            return false;
        }
        KPlug* realSrc = (src->mFlags & kIsView) != 0 && src->mParent != nullptr ? src->mParent : src;
        KPlug* realDst = (dst->mFlags & kIsView) != 0 && dst->mParent != nullptr ? dst->mParent : dst;
        if (realSrc == src && realDst == dst) {
            break;
        }
        src = realSrc;
        dst = realDst;
    }
    const bool oneWay = (type & kConnectionOneWay) != 0;
    if (!dst->ReserveOneMore(Side::Src)) {
        return false;
    }
    if (!oneWay && !src->ReserveOneMore(Side::Dst)) {
        dst->DropLinksIfEmpty();
        return false;
    }
    // An announcement may take an end's last connection away (a node leaving
    // its parent for this one): its room stays reserved all the same.
    ++dst->mLinks->mPendingLinks;
    if (!oneWay) {
        ++src->mLinks->mPendingLinks;
    }

    const KPlug* dstNext = dst->EntryAfter(Side::Src, beforeInDstSrcs);
    const KPlug* srcNext = oneWay ? nullptr : src->EntryAfter(Side::Dst, beforeInSrcDsts);
    dst->Emit(eKPlugSrcAboutToBeAdded, -1, src, type);
    if (!oneWay) {
        src->Emit(eKPlugDstAboutToBeAdded, -1, dst, type);
    }

    int dstPosition = dst->PositionBefore(Side::Src, beforeInDstSrcs, dstNext);
    int srcPosition = oneWay ? -1 : src->PositionBefore(Side::Dst, beforeInSrcDsts, srcNext);

    ViewSlot dstViews[kMaxViews];
    ViewSlot srcViews[kMaxViews];
    const int dstViewCount = dst->CollectViewsForAdd(Side::Src, src, type, askedOf, dstPosition, dstViews);
    const int srcViewCount =
        oneWay ? 0 : src->CollectViewsForAdd(Side::Dst, dst, type, askedOf, srcPosition, srcViews);
    for (int i = 0; i < dstViewCount; ++i) {
        dstViews[i].mView->Emit(eKPlugSrcAboutToBeAdded, -1, src, type);
    }
    for (int i = 0; i < srcViewCount; ++i) {
        srcViews[i].mView->Emit(eKPlugDstAboutToBeAdded, -1, dst, type);
    }

    if (oneWay && !src->RecordOneWayDst(dst)) {
        --dst->mLinks->mPendingLinks;
        dst->DropLinksIfEmpty();
        return false;
    }
    // The announcements above may have changed the lists: positions are kept
    // inside the current counts.
    dstPosition = std::min(dstPosition, dst->ListCount(Side::Src));
    dst->Insert(Side::Src, dstPosition, src, type);
    --dst->mLinks->mPendingLinks;
    if (!oneWay) {
        srcPosition = std::min(srcPosition, src->ListCount(Side::Dst));
        src->Insert(Side::Dst, srcPosition, dst, type);
        --src->mLinks->mPendingLinks;
    }
    for (int i = 0; i < dstViewCount; ++i) {
        ViewSlot& slot = dstViews[i];
        slot.mIndex = std::min(slot.mIndex, slot.mView->ListCount(Side::Src));
        slot.mView->Insert(Side::Src, slot.mIndex, src, type);
    }
    for (int i = 0; i < srcViewCount; ++i) {
        ViewSlot& slot = srcViews[i];
        slot.mIndex = std::min(slot.mIndex, slot.mView->ListCount(Side::Dst));
        slot.mView->Insert(Side::Dst, slot.mIndex, dst, type);
    }

    dst->Emit(eKPlugSrcAdded, dstPosition, src, type);
    if (!oneWay) {
        src->Emit(eKPlugDstAdded, srcPosition, dst, type);
    }
    for (int i = 0; i < dstViewCount; ++i) {
        dstViews[i].mView->Emit(eKPlugSrcAdded, dstViews[i].mIndex, src, type);
    }
    for (int i = 0; i < srcViewCount; ++i) {
        srcViews[i].mView->Emit(eKPlugDstAdded, srcViews[i].mIndex, dst, type);
    }
    return true;
}

bool KPlug::Disconnect(KPlug* src, KPlug* dst, bool force) {
    src = ResolveView(src);
    dst = ResolveView(dst);
    if (src == nullptr || dst == nullptr || src == dst) {
        return false;
    }
    const int dstIndex = dst->FindIndex(Side::Src, src);
    int srcIndex = src->FindIndex(Side::Dst, dst);
    if (dstIndex == -1 && srcIndex == -1) {
        return false;
    }
    const std::uint8_t type = dstIndex != -1 ? dst->TypeAt(Side::Src, dstIndex) : src->TypeAt(Side::Dst, srcIndex);
    // A one-way link is in the destination's list alone, whatever else
    // links the two.
    const bool oneWay = dstIndex != -1 && (type & kConnectionOneWay) != 0;
    if (oneWay) {
        srcIndex = -1;
    }
    // The source of a one-way connection was never asked to take it, so its
    // consent is not needed to let it go either.
    if (!force && (!dst->Accepts(Side::Src, src) || (!oneWay && !src->Accepts(Side::Dst, dst)))) {
        return false;
    }

    ViewSlot dstViews[kMaxViews];
    ViewSlot srcViews[kMaxViews];
    const int dstViewCount = dstIndex != -1 ? dst->CollectViewsHolding(Side::Src, src, dstViews) : 0;
    const int srcViewCount = srcIndex != -1 ? src->CollectViewsHolding(Side::Dst, dst, srcViews) : 0;

    dst->OnBeginConnectionChange();
    src->OnBeginConnectionChange();
    if (dstIndex != -1) {
        dst->Emit(eKPlugSrcAboutToBeRemoved, dstIndex, src, type);
    }
    if (srcIndex != -1) {
        src->Emit(eKPlugDstAboutToBeRemoved, srcIndex, dst, type);
    }
    for (int i = 0; i < dstViewCount; ++i) {
        dstViews[i].mView->Emit(eKPlugSrcAboutToBeRemoved, dstViews[i].mIndex, src, type);
    }
    for (int i = 0; i < srcViewCount; ++i) {
        srcViews[i].mView->Emit(eKPlugDstAboutToBeRemoved, srcViews[i].mIndex, dst, type);
    }

    // Searched again: the announcements may have moved the entries.
    const int dstFormer = dst->FindIndex(Side::Src, src);
    if (dstFormer != -1) {
        dst->RemoveAt(Side::Src, dstFormer);
    }
    const int srcFormer = oneWay ? -1 : src->FindIndex(Side::Dst, dst);
    if (srcFormer != -1) {
        src->RemoveAt(Side::Dst, srcFormer);
    }
    if (oneWay && dstFormer != -1) {
        src->ForgetOneWayDst(dst);
    }
    for (int i = 0; i < dstViewCount; ++i) {
        ViewSlot& slot = dstViews[i];
        slot.mIndex = slot.mView->FindIndex(Side::Src, src);
        if (slot.mIndex != -1) {
            slot.mView->RemoveAt(Side::Src, slot.mIndex);
        }
    }
    for (int i = 0; i < srcViewCount; ++i) {
        ViewSlot& slot = srcViews[i];
        slot.mIndex = slot.mView->FindIndex(Side::Dst, dst);
        if (slot.mIndex != -1) {
            slot.mView->RemoveAt(Side::Dst, slot.mIndex);
        }
    }

    if (dstFormer != -1) {
        dst->Emit(eKPlugSrcRemoved, dstFormer, src, type);
    }
    if (srcFormer != -1) {
        src->Emit(eKPlugDstRemoved, srcFormer, dst, type);
    }
    for (int i = 0; i < dstViewCount; ++i) {
        if (dstViews[i].mIndex != -1) {
            dstViews[i].mView->Emit(eKPlugSrcRemoved, dstViews[i].mIndex, src, type);
        }
    }
    for (int i = 0; i < srcViewCount; ++i) {
        if (srcViews[i].mIndex != -1) {
            srcViews[i].mView->Emit(eKPlugDstRemoved, srcViews[i].mIndex, dst, type);
        }
    }
    dst->OnEndConnectionChange();
    src->OnEndConnectionChange();

    if (!src->IsPairPending(dst, src)) {
        dst->CleanUpAfterDisconnect(dst);
        src->CleanUpAfterDisconnect(src);
    }
    return true;
}

bool KPlug::ConnectSrc(KPlug* src, std::uint8_t type) { return Connect(src, this, nullptr, nullptr, type, this); }

bool KPlug::ConnectDst(KPlug* dst, std::uint8_t type) { return Connect(this, dst, nullptr, nullptr, type, this); }

bool KPlug::ConnectSrcAt(int index, KPlug* src, std::uint8_t type) {
    return Connect(src, this, nullptr, GetSrc(index), type, this);
}

bool KPlug::ConnectDstAt(int index, KPlug* dst, std::uint8_t type) {
    return Connect(this, dst, GetDst(index), nullptr, type, this);
}

bool KPlug::DisconnectSrc(KPlug* src) { return Disconnect(src, this, false); }

bool KPlug::DisconnectDst(KPlug* dst) { return Disconnect(this, dst, false); }

bool KPlug::DisconnectSrcAt(int index) {
    KPlug* src = GetSrc(index);
    return src != nullptr && Disconnect(src, this, false);
}

bool KPlug::DisconnectDstAt(int index) {
    KPlug* dst = GetDst(index);
    return dst != nullptr && Disconnect(this, dst, false);
}

void KPlug::DisconnectAllSrc() {
    for (int i = GetSrcCount() - 1; i >= 0; i = std::min(i - 1, GetSrcCount() - 1)) {
        DisconnectSrcAt(i);
    }
}

void KPlug::DisconnectAllDst() {
    for (int i = GetDstCount() - 1; i >= 0; i = std::min(i - 1, GetDstCount() - 1)) {
        DisconnectDstAt(i);
    }
}

void KPlug::DisconnectAll() {
    DisconnectAllSrc();
    DisconnectAllDst();
}

void KPlug::DisconnectEverything(bool force) {
    // A view's lists only mirror its parent's.
    if ((mFlags & kIsView) != 0) {
        return;
    }
    for (int i = GetSrcCount() - 1; i >= 0; i = std::min(i - 1, GetSrcCount() - 1)) {
        Disconnect(GetSrc(i), this, force);
    }
    for (int i = GetDstCount() - 1; i >= 0; i = std::min(i - 1, GetDstCount() - 1)) {
        Disconnect(this, GetDst(i), force);
    }
    while (mLinks && !mLinks->mOneWayDsts.empty()) {
        KPlug* dst = mLinks->mOneWayDsts.back();
        if (!Disconnect(this, dst, force)) {
            // Not linked after all: the record alone goes.
            ForgetOneWayDst(dst);
        }
    }
}

bool KPlug::RecordOneWayDst(KPlug* dst) {
    Links* links = MakeLinks();
    if (links == nullptr) {
        return false;
    }
    if (!Appended(links->mOneWayDsts, dst)) {
        DropLinksIfEmpty();
        return false;
    }
    return true;
}

void KPlug::ForgetOneWayDst(const KPlug* dst) {
    if (!mLinks) {
        return;
    }
    std::vector<KPlug*>& dsts = mLinks->mOneWayDsts;
    const auto found = std::find(dsts.rbegin(), dsts.rend(), dst);
    if (found != dsts.rend()) {
        dsts.erase(std::next(found).base());
        DropLinksIfEmpty();
    }
}

void KPlug::DropViews() {
    while (mLinks && !mLinks->mViews.empty()) {
        KPlug* view = mLinks->mViews.back();
        mLinks->mViews.pop_back();
        // Unlinked first, so that neither a deleted view nor one that lives on
        // keeps a pointer to this plug.
        view->mParent = nullptr;
        view->ClearConnections();
        if ((view->mFlags & kViewOnDemand) != 0) {
            view->mFlags |= kBeingDestroyed;
            view->Release();
        }
    }
    DropLinksIfEmpty();
}

// ---- replacing ------------------------------------------------------------

void KPlug::AnnounceReplace(Side side, KPlug* other, std::uint8_t type, bool end) {
    // The plug whose source is replaced hears 10 / 11, the other end 12 / 13,
    // and the other way round for a replaced destination.
    const int srcSideCode = end ? eKPlugEndReplaceSrc : eKPlugBeginReplaceSrc;
    const int dstSideCode = end ? eKPlugEndReplaceDst : eKPlugBeginReplaceDst;
    const int ownCode = side == Side::Src ? srcSideCode : dstSideCode;
    const int otherCode = side == Side::Src ? dstSideCode : srcSideCode;
    const Side otherSide = side == Side::Src ? Side::Dst : Side::Src;

    Emit(ownCode, -1, other, type);
    other->Emit(otherCode, -1, this, type);
    for (int i = 0; i < ViewCount(); ++i) {
        if (ViewAt(i)->Accepts(side, other)) {
            ViewAt(i)->Emit(ownCode, -1, other, type);
        }
    }
    for (int i = 0; i < other->ViewCount(); ++i) {
        if (other->ViewAt(i)->Accepts(otherSide, this)) {
            other->ViewAt(i)->Emit(otherCode, -1, this, type);
        }
    }
    if (end) {
        CleanUpAfterDisconnect(this);
        other->CleanUpAfterDisconnect(other);
    }
}

bool KPlug::Replace(Side side, KPlug* oldPlug, KPlug* newPlug, int indexInNew) {
    KPlug* self = ResolveView(this);
    const int index = self->FindIndex(side, ResolveView(oldPlug));
    if (index == -1) {
        return false;
    }
    oldPlug = self->PlugAt(side, index);
    const std::uint8_t type = self->TypeAt(side, index);
    const Side newSide = side == Side::Src ? Side::Dst : Side::Src;

    // Where the connection sits in the old plug's own list, to put it back
    // should the new plug refuse.
    const int indexInOld = oldPlug->FindIndex(newSide, self);

    self->AnnounceReplace(side, oldPlug, type, false);
    const bool removed =
        side == Side::Src ? Disconnect(oldPlug, self, false) : Disconnect(self, oldPlug, false);
    if (!removed) {
        self->AnnounceReplace(side, oldPlug, type, true);
        return false;
    }
    // The new plug goes where the old one was: before the entry that now sits
    // at its index.
    KPlug* beforeInSelf = self->PlugAt(side, index);
    KPlug* realNew = ResolveView(newPlug);
    KPlug* beforeInNew = realNew != nullptr ? realNew->PlugAt(newSide, indexInNew) : nullptr;
    const bool connected = side == Side::Src ? Connect(newPlug, self, beforeInNew, beforeInSelf, type, self)
                                             : Connect(self, newPlug, beforeInSelf, beforeInNew, type, self);
    if (!connected) {
        // A refused replacement leaves the old connection where it was.
        KPlug* beforeInOld = oldPlug->PlugAt(newSide, indexInOld);
        if (side == Side::Src) {
            Connect(oldPlug, self, beforeInOld, beforeInSelf, type, self);
        } else {
            Connect(self, oldPlug, beforeInSelf, beforeInOld, type, self);
        }
    }
    self->AnnounceReplace(side, oldPlug, type, true);
    return connected;
}

bool KPlug::ReplaceSrc(KPlug* oldSrc, KPlug* newSrc, int indexInNewDsts) {
    return Replace(Side::Src, oldSrc, newSrc, indexInNewDsts);
}

bool KPlug::ReplaceDst(KPlug* oldDst, KPlug* newDst, int indexInNewSrcs) {
    return Replace(Side::Dst, oldDst, newDst, indexInNewSrcs);
}

bool KPlug::SetSrcAt(int index, KPlug* plug) {
    if (index < 0 || index >= GetSrcCount()) {
        return ConnectSrc(plug);
    }
    return ReplaceSrc(GetSrc(index), plug);
}

bool KPlug::SetDstAt(int index, KPlug* plug) {
    if (index < 0 || index >= GetDstCount()) {
        return ConnectDst(plug);
    }
    return ReplaceDst(GetDst(index), plug);
}

// ---- views ----------------------------------------------------------------

KPlug* KPlug::FindView(const KPlugFilter* filter) {
    // The entry of "None" is fixed: its record is at hand without the table.
    if (filter == nullptr || filter->IsEqual(gNoneClassInfo.GetFilter()) ||
        filter->IsEqual(gKPlugClassInfo.GetFilter())) {
        return this;
    }
    // The same filter object is equal to itself: no need to ask it.
    for (int i = ViewCount(); i-- > 0;) {
        const KPlugFilter* viewFilter = ViewAt(i)->mFilter;
        if (viewFilter == filter || filter->IsEqual(viewFilter)) {
            return ViewAt(i);
        }
    }
    return nullptr;
}

KPlug* KPlug::GetView(const KPlugFilter* filter) {
    if (KPlug* view = FindView(filter)) {
        return view;
    }
    if ((mFlags & kIsView) != 0 || ViewCount() >= kMaxViews) {
        return nullptr;
    }
    KPlug* view = NewPlug(filter);
    if (view == nullptr) {
        return nullptr;
    }
    AddChild(view);
    view->SetClassInfo(filter, kIsView);
    if (view->mParent != this) {
        view->Release();
        return nullptr;
    }
    view->mFlags |= kViewOnDemand;
    return view;
}

int KPlug::ViewCount() const { return mLinks ? static_cast<int>(mLinks->mViews.size()) : 0; }

KPlug* KPlug::ViewAt(int index) const { return mLinks->mViews[static_cast<std::size_t>(index)]; }

int KPlug::GetViewCount() const { return ViewCount(); }

bool KPlug::ScansFor(Side side) const {
    // Most objects hold a handful of connections: a scan of so few costs less
    // than the view would cost to make and to keep up to date.
    constexpr int kScannedUpTo = 8;
    return (mFlags & kIsView) == 0 && ListCount(side) <= kScannedUpTo;
}

int KPlug::FilteredCount(Side side, const KPlugFilter* filter) {
    KPlug* view = FindView(filter);
    if (view == nullptr && ScansFor(side)) {
        int count = 0;
        for (int i = 0; i < ListCount(side); ++i) {
            count += filter->Match(PlugAt(side, i)) ? 1 : 0;
        }
        return count;
    }
    if (view == nullptr) {
        view = GetView(filter);
    }
    return view != nullptr ? view->ListCount(side) : 0;
}

KPlug* KPlug::FilteredAt(Side side, const KPlugFilter* filter, int index) {
    KPlug* view = FindView(filter);
    if (view == nullptr && ScansFor(side)) {
        for (int i = 0; i < ListCount(side); ++i) {
            KPlug* plug = PlugAt(side, i);
            if (filter->Match(plug) && index-- == 0) {
                return plug;
            }
        }
        return nullptr;
    }
    if (view == nullptr) {
        view = GetView(filter);
    }
    return view != nullptr ? view->PlugAt(side, index) : nullptr;
}

int KPlug::GetSrcCount(const KPlugFilter* filter) { return FilteredCount(Side::Src, filter); }

int KPlug::GetDstCount(const KPlugFilter* filter) { return FilteredCount(Side::Dst, filter); }

KPlug* KPlug::GetSrc(int index, const KPlugFilter* filter) { return FilteredAt(Side::Src, filter, index); }

KPlug* KPlug::GetDst(int index, const KPlugFilter* filter) { return FilteredAt(Side::Dst, filter, index); }

KPlug* KPlug::GetViewAt(int index) const {
    return index >= 0 && index < ViewCount() ? ViewAt(index) : nullptr;
}

void KPlug::SetClassInfo(const KPlugFilter* filter, std::uint32_t viewFlag) {
    KPlug* parent = mParent;
    if (parent != nullptr) {
        KPlug::SetParent(nullptr);
    }
    mFilter = filter;
    mFlags = (mFlags & ~kIsView) | (viewFlag & kIsView);
    if (parent != nullptr) {
        KPlug::SetParent(parent);
    }
}

// ---- handle and callbacks -------------------------------------------------

KPlugHandleEntry* KPlug::GetHandle() {
    if (mLinks && mLinks->mHandle != nullptr) {
        return mLinks->mHandle;
    }
    KPlugHandlePool* pool = KPlugClassRegistry::GetHandlePool();
    Links* links = pool != nullptr ? MakeLinks() : nullptr;
    if (links == nullptr) {
        return nullptr;
    }
    links->mHandle = pool->Acquire(this);
    KPlugHandleEntry* handle = links->mHandle;
    DropLinksIfEmpty();
    return handle;
}

void KPlug::AddCallbacks(void* context, KPlugValueCallback value, KPlugObjectCallback object,
                         KPlugConnectionCallback connection) {
    Links* links = MakeLinks();
    if (links == nullptr) {
        return;
    }
    if (!Appended(links->mCallbacks, CallbackRecord{context, value, object, connection, true})) {
        DropLinksIfEmpty();
    }
}

void KPlug::RemoveCallbacks(void* context) {
    if (!mLinks) {
        return;
    }
    for (CallbackRecord& record : mLinks->mCallbacks) {
        if (record.mContext == context) {
            record.mActive = false;
        }
    }
    if (mLinks->mDeliveryDepth == 0) {
        DropInactiveCallbacks();
    }
}

void KPlug::DropInactiveCallbacks() {
    std::vector<CallbackRecord>& records = mLinks->mCallbacks;
    records.erase(std::remove_if(records.begin(), records.end(),
                                 [](const CallbackRecord& record) { return !record.mActive; }),
                  records.end());
    DropLinksIfEmpty();
}

bool KPlug::HasCallbacks() const { return mLinks && !mLinks->mCallbacks.empty(); }

void KPlug::Deliver(int kind, const KPlugEventChain* chain, int code, KPlug* sender, KEventWord a, KEventWord b,
                    KEventWord c, int index, KPlug* other, std::uint8_t type) {
    // The block holds records, and records stay until the delivery ends, so
    // it outlives the loop.
    Links& links = *mLinks;
    ++links.mDeliveryDepth;
    // Records added during the delivery wait for the next event.
    const std::size_t count = links.mCallbacks.size();
    for (std::size_t i = 0; i < count && i < links.mCallbacks.size(); ++i) {
        // A copy: a callback may add records and move the array.
        const CallbackRecord record = links.mCallbacks[i];
        if (!record.mActive) {
            continue;
        }
        if (kind == kValueKind && record.mValue != nullptr) {
            record.mValue(record.mContext, chain, code, sender, a, b, c);
        } else if (kind == kObjectKind && record.mObject != nullptr) {
            record.mObject(record.mContext, chain, code, sender, a, b, c);
        } else if (kind == kConnectionKind && record.mConnection != nullptr) {
            record.mConnection(record.mContext, chain, code, sender, index, other, type, a);
        }
    }
    if (--links.mDeliveryDepth == 0) {
        DropInactiveCallbacks();
    }
}

}  // namespace fbxsdk_2006_11_1
