#include <fbxfilesdk/core/KInternedText.h>

#include <fbxfilesdk/core/SdkAlloc.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <new>
#include <string_view>
#include <unordered_set>

namespace fbxsdk_2006_11_1 {

struct KInternedText::Entry {
    // Holders; a holder that copies itself adds one without the pool lock, so
    // only the drop to zero, taken under the lock, can meet a look-up.
    std::atomic<std::size_t> mHolders{1};
    std::size_t mLength = 0;
    char* Text() { return reinterpret_cast<char*>(this + 1); }
};

namespace {

using Entry = KInternedText::Entry;

std::string_view ViewOf(Entry* entry) { return {entry->Text(), entry->mLength}; }

void DeleteEntry(Entry* entry) {
    entry->~Entry();
    ::operator delete(entry);
}

struct EntryHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const { return std::hash<std::string_view>{}(text); }
    std::size_t operator()(Entry* entry) const { return (*this)(ViewOf(entry)); }
};

struct EntryEqual {
    using is_transparent = void;
    static std::string_view View(std::string_view text) { return text; }
    static std::string_view View(Entry* entry) { return ViewOf(entry); }
    template <class A, class B>
    bool operator()(const A& a, const B& b) const {
        return View(a) == View(b);
    }
};

// A text whose last holder goes stays in the pool without holders, so the
// next object of the same class finds its names instead of allocating and
// hashing them in again; those kept texts are swept out together once they
// outnumber both the held ones and a floor, which bounds what they keep.
constexpr std::size_t kKeptUnheldFloor = 1024;

struct Pool {
    std::mutex mLock;
    std::unordered_set<Entry*, EntryHash, EntryEqual> mEntries;
    std::size_t mUnheld = 0;

    std::size_t Held() const { return mEntries.size() - mUnheld; }

    void SweepUnheld() {
        for (auto it = mEntries.begin(); it != mEntries.end();) {
            Entry* entry = *it;
            if (entry->mHolders.load(std::memory_order_relaxed) == 0) {
                it = mEntries.erase(it);
                DeleteEntry(entry);
            } else {
                ++it;
            }
        }
        mUnheld = 0;
    }
};

// Never destroyed: holders in static objects may outlive every other static.
Pool& ThePool() {
    static Pool* const pool = new Pool;
    return *pool;
}

Entry* NewEntry(std::string_view text) {
    void* block = ::operator new(sizeof(Entry) + text.size() + 1, std::nothrow);
    if (block == nullptr) {
        return nullptr;
    }
    auto* entry = new (block) Entry;
    entry->mLength = text.size();
    std::memcpy(entry->Text(), text.data(), text.size());
    entry->Text()[text.size()] = '\0';
    return entry;
}

Entry* Intern(const char* text) {
    if (text == nullptr || text[0] == '\0') {
        return nullptr;
    }
    const std::string_view view(text);
    Pool& pool = ThePool();
    const std::lock_guard<std::mutex> guard(pool.mLock);
    const auto found = pool.mEntries.find(view);
    if (found != pool.mEntries.end()) {
        if ((*found)->mHolders.fetch_add(1, std::memory_order_relaxed) == 0) {
            --pool.mUnheld;
        }
        return *found;
    }
    Entry* entry = NewEntry(view);
    if (entry == nullptr) {
        SdkNoteAllocationFailure();
        return nullptr;
    }
    try {
        pool.mEntries.insert(entry);
    } catch (const std::bad_alloc&) {
        DeleteEntry(entry);
        SdkNoteAllocationFailure();
        return nullptr;
    }
    return entry;
}

}  // namespace

KInternedText::KInternedText(const char* text) : mEntry(Intern(text)) {}

KInternedText::KInternedText(const KInternedText& other) : mEntry(other.mEntry) {
    if (mEntry != nullptr) {
        mEntry->mHolders.fetch_add(1, std::memory_order_relaxed);
    }
}

KInternedText& KInternedText::operator=(const KInternedText& other) {
    if (mEntry != other.mEntry) {
        KInternedText copy(other);
        *this = std::move(copy);
    }
    return *this;
}

KInternedText& KInternedText::operator=(KInternedText&& other) noexcept {
    if (this != &other) {
        Release();
        mEntry = other.mEntry;
        other.mEntry = nullptr;
    }
    return *this;
}

KInternedText& KInternedText::operator=(const char* text) {
    // Taken before the old text is let go: the new text may be the old one.
    Entry* entry = Intern(text);
    Release();
    mEntry = entry;
    return *this;
}

const char* KInternedText::Get() const { return mEntry != nullptr ? mEntry->Text() : ""; }

void KInternedText::Release() {
    Entry* entry = mEntry;
    mEntry = nullptr;
    if (entry == nullptr) {
        return;
    }
    // Not the last holder: no look-up can be reviving the entry.
    std::size_t holders = entry->mHolders.load(std::memory_order_relaxed);
    while (holders > 1) {
        if (entry->mHolders.compare_exchange_weak(holders, holders - 1, std::memory_order_acq_rel)) {
            return;
        }
    }
    Pool& pool = ThePool();
    const std::lock_guard<std::mutex> guard(pool.mLock);
    if (entry->mHolders.fetch_sub(1, std::memory_order_acq_rel) == 1 &&
        ++pool.mUnheld > std::max(kKeptUnheldFloor, pool.Held())) {
        pool.SweepUnheld();
    }
}

std::size_t KInternedText::GetPoolSize() {
    Pool& pool = ThePool();
    const std::lock_guard<std::mutex> guard(pool.mLock);
    return pool.Held();
}

std::size_t KInternedText::GetKeptUnheldCount() {
    Pool& pool = ThePool();
    const std::lock_guard<std::mutex> guard(pool.mLock);
    return pool.mUnheld;
}

}  // namespace fbxsdk_2006_11_1
