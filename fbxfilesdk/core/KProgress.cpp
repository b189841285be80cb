#include <fbxfilesdk/core/KProgress.h>

namespace fbxsdk_2006_11_1 {

namespace {

KProgress* gGlobalProgress = nullptr;

// Ends the global reporter with the process, so that it is never reported as leaked.
struct GlobalProgressOwner {
    ~GlobalProgressOwner() { delete gGlobalProgress; }
} gGlobalProgressOwner;

}  // namespace

KProgress::KProgress() { Reset(); }

KProgress::~KProgress() {
    if (gGlobalProgress == this) gGlobalProgress = nullptr;
}

IProgress* KProgress::GetGlobal() {
    if (!gGlobalProgress) gGlobalProgress = new KProgress;
    return static_cast<IProgress*>(gGlobalProgress->GetInterface(12, nullptr));
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
