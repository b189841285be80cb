// The public base of every SDK object and property. A public plug keeps no
// connections itself: each one owns or is bound to an internal plug, and
// connecting two public plugs links their internal plugs after both public
// ends have been asked and told. Connections are directed, from a source to
// the destination that takes it.
#ifndef FBXFILESDK_CORE_KFBXPLUG_H
#define FBXFILESDK_CORE_KFBXPLUG_H

#include <fbxfilesdk/core/KBlockRecycler.h>
#include <fbxfilesdk/core/KFbxClassId.h>

namespace fbxsdk_2006_11_1 {

class KFbxObject;
class KFbxObject_internal;
class KFbxSdkManager;
class KPlug;

// Codes of public connection events, in the order a connect or a disconnect
// announces them. Only the "may" codes can refuse.
enum EKFbxConnectEvent {
    eKFbxDstMayTakeSrc = 0,
    eKFbxDstAboutToTakeSrc = 1,
    eKFbxDstTookSrc = 2,
    eKFbxSrcMayTakeDst = 3,
    eKFbxSrcAboutToTakeDst = 4,
    eKFbxSrcTookDst = 5,
    eKFbxDstMayLeaveSrc = 6,
    eKFbxDstAboutToLeaveSrc = 7,
    eKFbxDstLeftSrc = 8,
    eKFbxSrcMayLeaveDst = 9,
    eKFbxSrcAboutToLeaveDst = 10,
    eKFbxSrcLeftDst = 11
};

// Both ends of one connection get the same source and destination.
struct KFbxConnectEvent {
    int mCode;
    KFbxPlug* mSrc;
    KFbxPlug* mDst;
};

// How a destroyed plug leaves the manager that made it; the SDK manager
// installs it. False when the manager does not hold the plug.
using KFbxRemoveFromManagerFn = bool (*)(KFbxSdkManager* manager, KFbxPlug* plug);

// Objects and property handles are made and freed by the thousand: their
// blocks are recycled.
class KFbxPlug : public KRecycledBlocks {
public:
    // The class id of KFbxPlug; null until the SDK classes are registered.
    static KFbxClassId ClassId;

    KFbxPlug() = default;
    KFbxPlug(const KFbxPlug&) = default;
    KFbxPlug& operator=(const KFbxPlug&) = default;

    virtual KFbxClassId GetClassId() const;
    // Leaves the manager (a failure there does not stop it), destroys the
    // contents, then deletes the plug. The flags are passed to DestroyContents.
    virtual void Destroy(bool recursive = false, bool dependents = false);
    virtual KFbxSdkManager* GetSdkManager() const;
    // GetClassId / GetRuntimeClassId is the class or derives from it.
    virtual bool Is(const KFbxClassId& classId) const;
    virtual bool IsRuntime(const KFbxClassId& classId) const;
    // False: a plain plug keeps no run-time class.
    virtual bool SetRuntimeClassId(const KFbxClassId& classId);
    virtual KFbxClassId GetRuntimeClassId() const;
    // A pointer-sized word for the caller.
    virtual void SetUserData(void* data);
    virtual void* GetUserData() const;
    // Told of every connection step of this plug; false refuses at a "may" step.
    virtual bool ConnectNotify(const KFbxConnectEvent& event);
    virtual ~KFbxPlug();
    // Makes the internal twin; nothing at this level.
    virtual KPlug* CreateInternal();
    virtual void DestroyContents(bool recursive, bool dependents);
    // The internal plug connections are made and read on; null at this level.
    virtual KPlug* GetInternalPlug() const;

    // this is the destination, the argument the source. False for null, a
    // refusal at code 0 or 3 (nothing else is sent then), or a failed link.
    bool ConnectSrc(KFbxPlug* src);
    bool ConnectDst(KFbxPlug* dst);
    bool DisconnectSrc(KFbxPlug* src);
    bool DisconnectDst(KFbxPlug* dst);
    bool IsConnectedSrc(const KFbxPlug* src) const;
    bool IsConnectedDst(const KFbxPlug* dst) const;

    // Sources and destinations whose run-time class is the class or derives
    // from it; 0 / null for the null class id, a plug without internal plug
    // or an index out of range.
    int GetSrcCount(const KFbxClassId& classId) const;
    KFbxPlug* GetSrc(int index, const KFbxClassId& classId) const;
    int GetDstCount(const KFbxClassId& classId) const;
    KFbxPlug* GetDst(int index, const KFbxClassId& classId) const;
    // From the start index up, the first such source that is an object whose
    // current name is the name, byte for byte; null when none.
    KFbxObject* FindSrcByName(const char* name, const KFbxClassId& classId, int startIndex = 0) const;

    static void SetRemoveFromManagerFn(KFbxRemoveFromManagerFn fn);

private:
    friend KFbxObject* KFbxCastToObject(KFbxPlug* plug);

    // this is the destination; askedOfSrc when the caller asked the source.
    bool ChangeConnection(KFbxPlug* src, bool connect, bool askedOfSrc);
    // Null here, the object itself in an object: the answer of a dynamic cast,
    // which walks the class names and is asked on every connection.
    virtual KFbxObject* ObjectSelf() { return nullptr; }
};

// The plug when it is an object (what a dynamic cast gives), else null.
KFbxObject* KFbxCastToObject(KFbxPlug* plug);
const KFbxObject* KFbxCastToObject(const KFbxPlug* plug);

// The public plug of an internal plug: the public object of an object twin,
// the handle that made any other public plug twin; null otherwise.
KFbxPlug* KFbxGetPublicPlug(KPlug* internalPlug);
// The plug when it is an object twin, else null.
KFbxObject_internal* KFbxCastToObjectInternal(KPlug* internalPlug);

}  // namespace fbxsdk_2006_11_1

#endif
