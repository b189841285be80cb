#include <fbxfilesdk/core/KProgress.h>

#include <atomic>

namespace fbxsdk_2006_11_1 {

namespace {

// Asked for by readers and writers of every thread.
constinit std::atomic<KProgress*> gGlobalProgress{nullptr};

// Ends the global reporter with the process, so that it is never reported as leaked.
struct GlobalProgressOwner {
    ~GlobalProgressOwner() { delete gGlobalProgress.load(std::memory_order_acquire); }
} gGlobalProgressOwner;

}  // namespace

KProgress::KProgress() { Reset(); }

KProgress::~KProgress() {
    KProgress* self = this;
    gGlobalProgress.compare_exchange_strong(self, nullptr, std::memory_order_acq_rel);
}

IProgress* KProgress::GetGlobal() {
    KProgress* global = gGlobalProgress.load(std::memory_order_acquire);
    if (global == nullptr) {
        // Of threads that find none at once, one makes it; the others' go.
        auto* made = new KProgress;
        if (gGlobalProgress.compare_exchange_strong(global, made, std::memory_order_acq_rel)) {
            global = made;
        } else {
            delete made;
        }
    }
    return static_cast<IProgress*>(global->GetInterface(12, nullptr));
}

void* KProgress::GetInterface(std::uint32_t id, void*) {
    if (id == 0 || id == 3) return static_cast<IRegister*>(this);
    if (id == 12) return static_cast<IProgress*>(this);
    return nullptr;
}

void KProgress::Release() { delete this; }

bool KProgress::Start() { return true; }
bool KProgress::SetStepCount(int) { return true; }
bool KProgress::Step() { return true; }
bool KProgress::Finish() { return true; }
void KProgress::Report(float) {}
void KProgress::Update(int, int) {}

const KString& KProgress::GetTitle() const { return mTitle; }
const KString& KProgress::GetStatus() const { return mStatus; }
int KProgress::GetStep() const { return mStep; }
const char* KProgress::GetEmptyText() const { return ""; }

void KProgress::Reset() {
    mStep = 0;
    mCancelRequested = false;
    mCancelSeen = false;
}

bool KProgress::TestCancel() {
    mCancelSeen = true;
    return mCancelRequested;
}

bool KProgress::IsCancelSeen() const { return mCancelSeen; }

void KProgress::RequestCancel() { mCancelRequested = true; }

void KProgress::SetTitle(const KString& title) {
    mTitle = title;
    mStatus.Clear();
}

void KProgress::SetTitle(const char* title) { SetTitle(KString(title ? title : "")); }

void KProgress::ClearTexts() {
    mTitle.Clear();
    mStatus.Clear();
}

}  // namespace fbxsdk_2006_11_1
