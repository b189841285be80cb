// Type identity of the internal plug classes. Each class has one record with
// its name, its base class's record and a filter that tells whether a plug is
// of the class; records live in one table indexed by type id. Connections are
// accepted or refused, and filtered views are keyed, by these filters.
#ifndef FBXFILESDK_CORE_KPLUGCLASSREGISTRY_H
#define FBXFILESDK_CORE_KPLUGCLASSREGISTRY_H

#include <array>

namespace fbxsdk_2006_11_1 {

class KPlug;
class KPlugHandlePool;

class KPlugFilter {
public:
    // The id is read through the slot at every use, so a filter follows the
    // registration of its class.
    constexpr explicit KPlugFilter(const int* idSlot) : mIdSlot(idSlot) {}
    constexpr virtual ~KPlugFilter() {}

    // True for a plug of the filter's class or of a class derived from it; the
    // filter of id -1 ("None") accepts every plug, a null one included.
    virtual bool Match(KPlug* plug) const;
    virtual bool HasId(int id) const;
    // Filters are the same when their ids are; false for null.
    virtual bool IsEqual(const KPlugFilter* other) const;
    virtual int GetId() const;

private:
    const int* mIdSlot;
};

class KPlugClassInfo {
public:
    // Constant-initialisable, so records exist before any static initialiser runs.
    constexpr KPlugClassInfo(int* idSlot, const char* className, const KPlugClassInfo* parent)
        : mIdSlot(idSlot), mParent(parent), mFilter(idSlot), mClassName(className) {}

    KPlugClassInfo(const KPlugClassInfo&) = delete;
    KPlugClassInfo& operator=(const KPlugClassInfo&) = delete;

    // The class's type id (the value in its id slot, once the classes are registered).
    int GetId() const;
    int* GetIdSlot() const { return mIdSlot; }
    const KPlugClassInfo* GetParent() const { return mParent; }
    const KPlugFilter* GetFilter() const { return &mFilter; }
    const char* GetClassName() const { return mClassName; }

    // True when this class or one of its bases has the type id.
    bool IsA(int typeId) const;

    // A record allocated with new by the code that registers it; the last
    // KPlugClassRegistry::Release deletes such records.
    bool IsMadeAtRunTime() const { return mMadeAtRunTime; }
    void MarkMadeAtRunTime() { mMadeAtRunTime = true; }

private:
    int* mIdSlot;
    const KPlugClassInfo* mParent;
    KPlugFilter mFilter;
    const char* mClassName;
    bool mMadeAtRunTime = false;
};

// The class table (type ids -1 to 698) and the id counter.
class KPlugClassRegistry {
public:
    static constexpr int kFirstTypeId = -1;
    static constexpr int kLastTypeId = 698;
    static constexpr int kFirstCountedTypeId = 3;

    // Entries -1 ("None"), 1 (KObject) and 2 (KPlug) are fixed; the counter starts at 3.
    KPlugClassRegistry();

    // Stores the record at id; id -1 takes the counter's next free id. Returns
    // the id, or -1 (nothing stored) for a null record, an id outside [1, 698],
    // an entry already held by another record, or a full table.
    int Register(KPlugClassInfo* record, int id);
    // Null for an empty entry or an id outside [-1, 698].
    KPlugClassInfo* GetClassInfo(int id) const;
    const KPlugFilter* GetFilter(int id) const;
    // The id the next counted registration would take.
    int GetCounter() const { return mCounter; }
    // Deletes the records made at run time and empties their entries.
    void DestroyRunTimeRecords();

    // The process's registry; its first use registers the SDK's internal plug
    // classes, in their fixed order.
    static KPlugClassRegistry& GetProcess();

    // Use count of the plug layer: the first AddRef creates the handle pool, the
    // last Release deletes run-time records and destroys the pool.
    static void AddRef();
    static void Release();
    static int GetUseCount();
    // Null while the use count is 0.
    static KPlugHandlePool* GetHandlePool();

private:
    static constexpr int kTableSize = kLastTypeId - kFirstTypeId + 1;

    std::array<KPlugClassInfo*, kTableSize> mTable{};
    int mCounter = kFirstCountedTypeId;
};

// The process registry's Register and GetFilter.
int RegisterPlugClass(KPlugClassInfo* record, int id);
const KPlugFilter* GetPlugClassFilter(int id);

}  // namespace fbxsdk_2006_11_1

#endif
