// Run-time identity of the public SDK classes. Each class is described by one
// record (its name, its parent class, how to create an object of it, and the
// object type names under which files store it); code passes classes around
// as KFbxClassId handles to those records. Records are made once per class and
// are never freed, so a class id stays valid for the life of the process.
#ifndef FBXFILESDK_CORE_KFBXCLASSID_H
#define FBXFILESDK_CORE_KFBXCLASSID_H

#include <fbxfilesdk/core/KPlugClassRegistry.h>
#include <fbxfilesdk/core/KString.h>

namespace fbxsdk_2006_11_1 {

class KFbxClassId;
class KFbxClassIdInfo;
class KFbxPlug;
class KFbxSdkManager;
class KPlug;

// Constructs an object of a class for the manager; null when it cannot.
using KFbxPlugCreateFn = KFbxPlug* (*)(KFbxSdkManager* manager, const char* name);

// Selects the connections whose other end is a public plug of the record's
// class, for the class-filtered views of internal plugs.
class KClassIdInfoFilter : public KPlugFilter {
public:
    explicit KClassIdInfoFilter(KFbxClassIdInfo* classInfo);
    ~KClassIdInfoFilter() override;
    KClassIdInfoFilter(const KClassIdInfoFilter&) = delete;
    KClassIdInfoFilter& operator=(const KClassIdInfoFilter&) = delete;

    bool Match(KPlug* plug) const override { return IsValid(plug); }
    // A class filter is known by its class, never by a type id.
    bool HasId(int id) const override;
    // Only the same filter object.
    bool IsEqual(const KPlugFilter* other) const override;

    // The internal plug has a public plug whose run-time class is the class
    // or derives from it.
    bool IsValid(KPlug* internalPlug) const;
    KFbxClassIdInfo* GetClassInfo() const { return mClassInfo; }

private:
    KFbxClassIdInfo* mClassInfo;
};

class KFbxClassIdInfo {
public:
    KFbxClassIdInfo(const KFbxClassIdInfo&) = delete;
    KFbxClassIdInfo& operator=(const KFbxClassIdInfo&) = delete;

    // A record with empty object type names that lives until the process
    // ends; null when memory runs out. A null name counts as "".
    static KFbxClassIdInfo* New(const char* className, KFbxClassIdInfo* parent, KFbxPlugCreateFn createFn);

    // Through the class's own create function or that of its nearest ancestor
    // with one; null when no class in the chain has one.
    KFbxPlug* Create(KFbxSdkManager* manager, const char* name) const;
    // True when record is this record or one of its ancestors.
    bool IsA(const KFbxClassIdInfo* record) const;

    const KString& GetName() const { return mName; }
    KFbxClassIdInfo* GetParent() const { return mParent; }
    KFbxPlugCreateFn GetCreateFn() const { return mCreateFn; }
    KClassIdInfoFilter* GetFilter() { return &mFilter; }
    const KString& GetObjectTypeName() const { return mObjectTypeName; }
    const KString& GetObjectSubTypeName() const { return mObjectSubTypeName; }
    // False when memory runs out. Null counts as "".
    bool SetObjectTypeName(const char* text);
    bool SetObjectSubTypeName(const char* text);

private:
    KFbxClassIdInfo(const char* className, KFbxClassIdInfo* parent, KFbxPlugCreateFn createFn);

    KString mName;
    KFbxClassIdInfo* mParent;
    KFbxPlugCreateFn mCreateFn;
    KClassIdInfoFilter mFilter;
    KString mObjectTypeName;
    KString mObjectSubTypeName;
    // Every allocated record stays reachable from one process-wide list.
    KFbxClassIdInfo* mNextAllocated = nullptr;
};

// A handle to a class record; the null class id names no class, and every
// operation on it answers without failing.
class KFbxClassId {
public:
    constexpr KFbxClassId() : mClassInfo(nullptr) {}
    constexpr explicit KFbxClassId(KFbxClassIdInfo* classInfo) : mClassInfo(classInfo) {}
    // A new record of the class; the null class id when memory runs out.
    KFbxClassId(const char* className, const KFbxClassId& parent, KFbxPlugCreateFn createFn);

    // "" for the null class id.
    const char* GetName() const;
    // True when other is this class or one of its ancestors; false for the
    // null class id on either side.
    bool Is(const KFbxClassId& other) const;
    KFbxPlug* Create(KFbxSdkManager* manager, const char* name) const;

    // False for the null class id (and when memory runs out).
    bool SetObjectTypeName(const char* text);
    bool SetObjectSubTypeName(const char* text);
    // Copies, since the texts may be set again; "" for the null class id.
    KString GetObjectTypeName() const;
    KString GetObjectSubTypeName() const;

    // Null for the null class id.
    KPlugFilter* GetFilter() const;
    KFbxClassIdInfo* GetClassIdInfo() const { return mClassInfo; }

    bool operator==(const KFbxClassId& other) const { return mClassInfo == other.mClassInfo; }
    bool operator!=(const KFbxClassId& other) const { return mClassInfo != other.mClassInfo; }

private:
    KFbxClassIdInfo* mClassInfo;
};

}  // namespace fbxsdk_2006_11_1

#endif
