// The root of the internal object layer. A plug keeps an ordered list of
// connections (sources first, then destinations) and makes and breaks them so
// that both ends agree, announcing every step to both ends, which may refuse
// the connection before anything changes. A plug may have a parent (the object
// owning a property, or the plug of which it is a filtered view) to which it
// passes its events, and it keeps filtered views of itself that mirror only the
// connections whose other end passes the view's class filter.
//
// Connection work is single-threaded (the caller's thread); only the handle
// pool behind GetHandle is shared between threads.
#ifndef FBXFILESDK_CORE_KPLUG_H
#define FBXFILESDK_CORE_KPLUG_H

#include <fbxfilesdk/core/ICallback.h>
#include <fbxfilesdk/core/KBlockRecycler.h>

#include <cstdint>
#include <memory>

namespace fbxsdk_2006_11_1 {

class KFbxPlug_internal;
class KObject;
class KPlug;
class KPlugClassInfo;
class KPlugConnectionList;
class KPlugFilter;
class KWorld;
struct KPlugHandleEntry;

// A pointer-sized event argument.
using KEventWord = std::intptr_t;

// Events that a plug passes to its parent carry the path they came by: each
// plug that forwards one links {the chain it received, itself}.
struct KPlugEventChain {
    const KPlugEventChain* mPrevious;
    KPlug* mPlug;
};

// Codes of connection events (EmitConnectionEvent). Each step of a connection
// change is told to the plug concerned, which is the event's sender. The two
// "may take" events of a connection carry in their extra word the plug the
// change was asked of (a view's parent for a view), so that an end that
// refuses can leave its error where the caller looks; 0 when asked of none.
enum EKPlugConnectionEvent {
    eKPlugDstMayTakeSrc = 0,      // to the destination; false refuses
    eKPlugSrcMayTakeDst = 1,      // to the source; false refuses
    eKPlugSrcAboutToBeAdded = 2,  // to the destination
    eKPlugDstAboutToBeAdded = 3,  // to the source
    eKPlugSrcAdded = 4,           // to the destination, with the new index
    eKPlugDstAdded = 5,           // to the source, with the new index
    eKPlugSrcAboutToBeRemoved = 6,
    eKPlugDstAboutToBeRemoved = 7,
    eKPlugSrcRemoved = 8,  // with the former index
    eKPlugDstRemoved = 9,
    eKPlugBeginReplaceSrc = 10,  // to the destination whose source is replaced
    eKPlugEndReplaceSrc = 11,
    eKPlugBeginReplaceDst = 12,  // to the source whose destination is replaced
    eKPlugEndReplaceDst = 13,
    eKPlugBeginUpdate = 16,
    eKPlugEndUpdate = 17
};

// Object event sent by Destroy before anything is disconnected.
constexpr int kKPlugObjectEventDestroyed = 23;

// Callbacks a plug without parent delivers its events to.
using KPlugValueCallback = void (*)(void* context, const KPlugEventChain* chain, int code, KPlug* sender,
                                    KEventWord a, KEventWord b, KEventWord c);
using KPlugObjectCallback = KPlugValueCallback;
using KPlugConnectionCallback = void (*)(void* context, const KPlugEventChain* chain, int code, KPlug* sender,
                                         int index, KPlug* other, std::uint8_t type, KEventWord extra);

// Every object brings a twin and a few dozen properties, made and freed
// together by the thousand: their blocks are recycled.
class KPlug : public ICallback, public IKObject, public KRecycledBlocks {
public:
    // Flags.
    static constexpr std::uint32_t kAcceptsSrc = 0x01;
    static constexpr std::uint32_t kAcceptsDst = 0x02;
    // Connections into this plug are one-way (not recorded on the source side).
    static constexpr std::uint32_t kOneWay = 0x04;
    static constexpr std::uint32_t kIsView = 0x08;
    // A view the parent made on demand: owned by it, passes no events up.
    static constexpr std::uint32_t kViewOnDemand = 0x10;
    static constexpr std::uint32_t kConstructed = 0x20;
    static constexpr std::uint32_t kBeingDestroyed = 0x40;
    static constexpr std::uint32_t kInitialFlags = kAcceptsSrc | kAcceptsDst | kConstructed;

    // Connection type bit: listed only in the destination's sources; the
    // source is neither asked nor told, but keeps it apart, unlisted, so that
    // either end going undoes it.
    static constexpr std::uint8_t kConnectionOneWay = 0x02;

    // Interface ids GetInterface answers with this plug (a KPlug*).
    static constexpr std::uint32_t kInterfaceKPlug = 0xDE1947F3;

    // A plug has at most this many views.
    static constexpr int kMaxViews = 256;

    KPlug();
    ~KPlug() override;
    KPlug(const KPlug&) = delete;
    KPlug& operator=(const KPlug&) = delete;

    // This plug (as KPlug*) for ids 0, 2 and kInterfaceKPlug, else null.
    void* GetInterface(std::uint32_t id, void* argument) override;
    // Deletes the plug.
    virtual void Release();
    virtual void AttachToWorld(KWorld* world);
    // The orderly end: object event 23, flag kBeingDestroyed, every connection
    // broken, views dropped.
    virtual void Destroy();
    virtual void Finalize();

    // Type identity; subclasses override GetClassInfo, the others follow from it.
    virtual bool IsType(int typeId) const;
    virtual int GetTypeId() const;
    virtual const char* GetClassName() const;
    virtual const KPlugClassInfo* GetClassInfo() const;
    virtual int GetTypeIdCopy() const;
    virtual const char* GetTypeName() const;
    // This plug as an object, or null. The same answer as IsType of the object
    // class, without walking the class records: events ask it of every plug
    // they pass.
    virtual KObject* AsObject() { return nullptr; }
    // The same for the twin of a public plug that is not an object.
    virtual KFbxPlug_internal* AsPlugInternal() { return nullptr; }

    // A fresh plain plug for a view of this plug's kind.
    virtual KPlug* NewPlug(const KPlugFilter* filter);
    // Whether (a, b) is a connection being replaced; asks the parent.
    virtual bool IsPairPending(KPlug* a, KPlug* b);
    virtual bool HasParent() const;

    // Pass the event to the parent (unless this is a view made on demand), or
    // deliver it to the active callbacks and return true. For connection codes
    // 0 and 1 the result accepts or refuses the connection.
    virtual bool EmitValueEvent(const KPlugEventChain* chain, int code, KPlug* sender, KEventWord a,
                                KEventWord b, KEventWord c);
    virtual bool EmitObjectEvent(const KPlugEventChain* chain, int code, KPlug* sender, KEventWord a,
                                 KEventWord b, KEventWord c);
    virtual bool EmitConnectionEvent(const KPlugEventChain* chain, int code, KPlug* sender, int index,
                                     KPlug* other, std::uint8_t type, KEventWord extra);
    // Called on each end after a disconnection that is not part of a replacement.
    virtual void CleanUpAfterDisconnect(KPlug* plug);

    // Links this plug under the parent (null unlinks). A view joins the
    // parent's views and mirrors its accepted connections. False when the
    // parent is already this one, or when it already has kMaxViews views.
    virtual bool SetParent(KPlug* parent);
    virtual bool AddChild(KPlug* child);
    virtual bool RemoveChild(KPlug* child);
    virtual void BeginUpdate();
    virtual void EndUpdate();
    virtual void OnBeginConnectionChange();
    virtual void OnEndConnectionChange();

    // Connecting. Src is a plug this plug takes input from. An index out of
    // range means append; inserting before a plug not in the list appends.
    // A plug linked to itself is refused, once asked (code 0) so that it can
    // leave its error.
    bool ConnectSrc(KPlug* src, std::uint8_t type = 0);
    bool ConnectDst(KPlug* dst, std::uint8_t type = 0);
    bool ConnectSrcAt(int index, KPlug* src, std::uint8_t type = 0);
    bool ConnectDstAt(int index, KPlug* dst, std::uint8_t type = 0);
    bool DisconnectSrc(KPlug* src);
    bool DisconnectDst(KPlug* dst);
    // False for an index out of range.
    bool DisconnectSrcAt(int index);
    bool DisconnectDstAt(int index);
    void DisconnectAllSrc();
    void DisconnectAllDst();
    void DisconnectAll();
    // Swap one end of a connection, keeping its place. The index is where the
    // new plug takes the connection in its own list (out of range: append).
    bool ReplaceSrc(KPlug* oldSrc, KPlug* newSrc, int indexInNewDsts = -1);
    bool ReplaceDst(KPlug* oldDst, KPlug* newDst, int indexInNewSrcs = -1);
    // Past the end: connect; else replace the plug at the index.
    bool SetSrcAt(int index, KPlug* plug);
    bool SetDstAt(int index, KPlug* plug);

    // Searched from the end; -1 when absent.
    int FindSrcIndex(const KPlug* plug) const;
    int FindDstIndex(const KPlug* plug) const;
    bool HasSrc(const KPlug* plug) const { return FindSrcIndex(plug) != -1; }
    bool HasDst(const KPlug* plug) const { return FindDstIndex(plug) != -1; }
    bool AcceptsSrc(KPlug* plug) const;
    bool AcceptsDst(KPlug* plug) const;
    // Accepts, and the plug's may-take event (code 0 / 1) answers true.
    bool CanConnectSrc(KPlug* plug, std::uint8_t type = 0);
    bool CanConnectDst(KPlug* plug, std::uint8_t type = 0);

    int GetSrcCount() const;
    int GetDstCount() const;
    // Null / 0 out of range.
    KPlug* GetSrc(int index) const;
    KPlug* GetDst(int index) const;
    std::uint8_t GetSrcType(int index) const;
    std::uint8_t GetDstType(int index) const;

    // This plug for the "None" or KPlug filter (or null); else the last view
    // with an equal filter, or null.
    KPlug* FindView(const KPlugFilter* filter);
    // FindView, making the view on demand; null when kMaxViews views exist.
    KPlug* GetView(const KPlugFilter* filter);
    int GetViewCount() const;
    KPlug* GetViewAt(int index) const;
    // The connections whose plug passes the filter, as the filter's view has
    // them: through the view where there is one or where the list is long,
    // else read off the list, so that a plug asked once about a class does
    // not carry a view of it, mirroring every change, for the rest of its
    // life. Null / 0 out of range, or where no view can be made.
    int GetSrcCount(const KPlugFilter* filter);
    int GetDstCount(const KPlugFilter* filter);
    KPlug* GetSrc(int index, const KPlugFilter* filter);
    KPlug* GetDst(int index, const KPlugFilter* filter);

    // Sets the class filter and the view flag (kIsView or 0). A plug with a
    // parent is linked again, so a view mirrors what its new filter accepts.
    void SetClassInfo(const KPlugFilter* filter, std::uint32_t viewFlag);
    const KPlugFilter* GetFilter() const { return mFilter; }
    KPlug* GetParent() const { return mParent; }
    std::uint32_t GetFlags() const { return mFlags; }
    // Sets the flags; kIsView stays as it is (it changes through SetClassInfo).
    void SetFlags(std::uint32_t flags);

    // The plug's handle entry, made on first call; null without a handle pool.
    KPlugHandleEntry* GetHandle();

    // Callback records: delivered to while active. Removing only marks a
    // record inactive; inactive records are dropped after each delivery.
    void AddCallbacks(void* context, KPlugValueCallback value, KPlugObjectCallback object,
                      KPlugConnectionCallback connection);
    void RemoveCallbacks(void* context);

    // Plugs constructed and not yet destroyed, process-wide.
    static int GetLiveCount();

private:
    struct CallbackRecord {
        void* mContext;
        KPlugValueCallback mValue;
        KPlugObjectCallback mObject;
        KPlugConnectionCallback mConnection;
        bool mActive;
    };
    // What few plugs have: connections, views, callbacks, a handle. Made on
    // first use and dropped once empty, so that a plug without them stays
    // small and goes away without looking at anything.
    struct Links;
    // A view taking part in one connection change, with its position.
    struct ViewSlot {
        KPlug* mView;
        int mIndex;
    };
    enum class Side { Src, Dst };

    static KPlug* ResolveView(KPlug* plug);
    // The requester is the plug the change was asked of.
    static bool Connect(KPlug* src, KPlug* dst, KPlug* beforeInSrcDsts, KPlug* beforeInDstSrcs,
                        std::uint8_t type, KPlug* requester);
    // force skips the acceptance test: a plug going away must let go whatever
    // its flags or filter have become.
    static bool Disconnect(KPlug* src, KPlug* dst, bool force);
    bool Replace(Side side, KPlug* oldPlug, KPlug* newPlug, int indexInNew);
    void AnnounceReplace(Side side, KPlug* other, std::uint8_t type, bool end);

    // Null when the plug has no links block.
    const KPlugConnectionList* List(Side side) const;
    int ListCount(Side side) const;
    KPlug* PlugAt(Side side, int index) const;
    std::uint8_t TypeAt(Side side, int index) const;
    int FindIndex(Side side, const KPlug* plug) const;
    bool Accepts(Side side, KPlug* plug) const;
    void Insert(Side side, int index, KPlug* plug, std::uint8_t type);
    void RemoveAt(Side side, int index);
    // Room for one more connection, so that the insert that follows cannot
    // fail halfway through a change; false when memory is short.
    bool ReserveOneMore(Side side);
    // The links block, made when missing; null when memory is short.
    Links* MakeLinks();
    // Drops the links block once it holds nothing and no delivery runs.
    void DropLinksIfEmpty();
    int ViewCount() const;
    KPlug* ViewAt(int index) const;
    int FilteredCount(Side side, const KPlugFilter* filter);
    KPlug* FilteredAt(Side side, const KPlugFilter* filter, int index);
    // Whether a class is looked for in the side's own list, without a view.
    bool ScansFor(Side side) const;
    // The entry that follows the plug in the side's list; null when none.
    const KPlug* EntryAfter(Side side, const KPlug* plug) const;
    // Where a plug inserted before the entry goes. The announcements of the
    // link may have taken that entry away (the plug being linked leaving its
    // place in this very list, to be linked again): it then goes before the
    // entry that followed it. At the end for neither.
    int PositionBefore(Side side, const KPlug* before, const KPlug* next) const;
    // Position in this view's list that mirrors position in the parent's list.
    int MirroredPosition(Side side, int parentPosition) const;
    // Views of this plug that take part in adding plug on the side; their count.
    int CollectViewsForAdd(Side side, KPlug* plug, std::uint8_t type, KEventWord askedOf, int position,
                           ViewSlot* slots);
    int CollectViewsHolding(Side side, KPlug* plug, ViewSlot* slots) const;
    // A connection event told to this plug (it is the sender).
    bool Emit(int code, int index, KPlug* other, std::uint8_t type, KEventWord extra = 0);

    // Every link of a plug going away, the one-way links it is the source
    // of among them.
    void DisconnectEverything(bool force);
    // The one-way links this plug is the source of; false when memory is short.
    bool RecordOneWayDst(KPlug* dst);
    void ForgetOneWayDst(const KPlug* dst);
    void DropViews();
    void ClearConnections();
    void CopyAcceptedConnectionsOf(const KPlug* parent);
    // Removed records go once no delivery walks them.
    void DropInactiveCallbacks();
    // Value and object events: to the parent, or to the callbacks of the kind.
    bool EmitWordEvent(int kind, const KPlugEventChain* chain, int code, KPlug* sender, KEventWord a, KEventWord b,
                       KEventWord c);
    bool HasCallbacks() const;
    // Only for a plug that HasCallbacks.
    void Deliver(int kind, const KPlugEventChain* chain, int code, KPlug* sender, KEventWord a, KEventWord b,
                 KEventWord c, int index, KPlug* other, std::uint8_t type);

    KPlug* mParent = nullptr;
    const KPlugFilter* mFilter;
    std::unique_ptr<Links> mLinks;
    std::uint32_t mFlags = kInitialFlags;
};

}  // namespace fbxsdk_2006_11_1

#endif
