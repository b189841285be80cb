#include <fbxfilesdk/core/KPlugClassRegistry.h>

#include <fbxfilesdk/core/KPlug.h>
#include <fbxfilesdk/core/KPlugClassTable.h>
#include <fbxfilesdk/core/KPlugHandlePool.h>

#include <atomic>
#include <new>

namespace fbxsdk_2006_11_1 {

namespace {

int gUseCount = 0;
KPlugHandlePool* gHandlePool = nullptr;

int SlotOf(int id) { return id - KPlugClassRegistry::kFirstTypeId; }

// Set once the process registry has given every class record its id: the
// id look-ups, which run on every connection, then skip the call.
std::atomic<bool> gProcessRegistryBuilt{false};

void EnsureProcessRegistry() {
    if (!gProcessRegistryBuilt.load(std::memory_order_acquire)) {
        KPlugClassRegistry::GetProcess();
    }
}

bool InTable(int id) {
    return id >= KPlugClassRegistry::kFirstTypeId && id <= KPlugClassRegistry::kLastTypeId;
}

}  // namespace

bool KPlugFilter::Match(KPlug* plug) const {
    // "None", every plug's own filter, is asked before any class is looked at.
    const int id = GetId();
    return id == -1 || (plug != nullptr && plug->IsType(id));
}

bool KPlugFilter::HasId(int id) const { return GetId() == id; }

bool KPlugFilter::IsEqual(const KPlugFilter* other) const {
    return other != nullptr && other->GetId() == GetId();
}

int KPlugFilter::GetId() const {
    EnsureProcessRegistry();
    return *mIdSlot;
}

int KPlugClassInfo::GetId() const {
    EnsureProcessRegistry();
    return *mIdSlot;
}

bool KPlugClassInfo::IsA(int typeId) const {
    EnsureProcessRegistry();
    for (const KPlugClassInfo* record = this; record != nullptr; record = record->mParent) {
        if (*record->mIdSlot == typeId) {
            return true;
        }
    }
    return false;
}

KPlugClassRegistry::KPlugClassRegistry() {
    mTable[SlotOf(-1)] = &gNoneClassInfo;
    mTable[SlotOf(1)] = &gKObjectClassInfo;
    mTable[SlotOf(2)] = &gKPlugClassInfo;
}

int KPlugClassRegistry::Register(KPlugClassInfo* record, int id) {
    if (record == nullptr) {
        return -1;
    }
    if (id == -1) {
        // Skips entries taken by registrations with an explicit id.
        while (mCounter <= kLastTypeId && mTable[SlotOf(mCounter)] != nullptr) {
            ++mCounter;
        }
        if (mCounter > kLastTypeId) {
            return -1;
        }
        id = mCounter++;
    } else if (id < 1 || id > kLastTypeId ||
               (mTable[SlotOf(id)] != nullptr && mTable[SlotOf(id)] != record)) {
        return -1;
    }
    mTable[SlotOf(id)] = record;
    return id;
}

KPlugClassInfo* KPlugClassRegistry::GetClassInfo(int id) const {
    return InTable(id) ? mTable[SlotOf(id)] : nullptr;
}

const KPlugFilter* KPlugClassRegistry::GetFilter(int id) const {
    const KPlugClassInfo* record = GetClassInfo(id);
    return record != nullptr ? record->GetFilter() : nullptr;
}

void KPlugClassRegistry::DestroyRunTimeRecords() {
    for (int id = kLastTypeId; id >= kFirstTypeId; --id) {
        KPlugClassInfo*& entry = mTable[SlotOf(id)];
        if (entry != nullptr && entry->IsMadeAtRunTime()) {
            delete entry;
            entry = nullptr;
        }
    }
}

KPlugClassRegistry& KPlugClassRegistry::GetProcess() {
    // Built on first use rather than by a static initialiser, so the ids do not
    // depend on the order in which files are initialised.
    static KPlugClassRegistry registry = [] {
        KPlugClassRegistry built;
        RegisterInternalPlugClasses(built);
        return built;
    }();
    gProcessRegistryBuilt.store(true, std::memory_order_release);
    return registry;
}

void KPlugClassRegistry::AddRef() {
    if (gUseCount++ == 0) {
        gHandlePool = new (std::nothrow) KPlugHandlePool();
    }
}

void KPlugClassRegistry::Release() {
    if (gUseCount == 0) {
        return;
    }
    if (--gUseCount == 0) {
        GetProcess().DestroyRunTimeRecords();
        delete gHandlePool;
        gHandlePool = nullptr;
    }
}

int KPlugClassRegistry::GetUseCount() { return gUseCount; }

KPlugHandlePool* KPlugClassRegistry::GetHandlePool() { return gHandlePool; }

int RegisterPlugClass(KPlugClassInfo* record, int id) { return KPlugClassRegistry::GetProcess().Register(record, id); }

const KPlugFilter* GetPlugClassFilter(int id) { return KPlugClassRegistry::GetProcess().GetFilter(id); }

}  // namespace fbxsdk_2006_11_1
