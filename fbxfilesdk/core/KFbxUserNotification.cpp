#include <fbxfilesdk/core/KFbxUserNotification.h>

#include <platform/os/System.h>

namespace fbxsdk_2006_11_1 {

KFbxUserNotificationEntry::KFbxUserNotificationEntry(const KString& text1, const KString& text2)
    : mText1(text1), mText2(text2) {}

const std::vector<KString>& KFbxUserNotificationEntry::GetDetails() const { return mDetails; }
std::vector<KString>& KFbxUserNotificationEntry::GetDetails() { return mDetails; }
void KFbxUserNotificationEntry::SetFlag(bool flag) { mFlag = flag; }
bool KFbxUserNotificationEntry::GetFlag() const { return mFlag; }
const KString& KFbxUserNotificationEntry::GetText1() const { return mText1; }
const KString& KFbxUserNotificationEntry::GetText2() const { return mText2; }

KFbxUserNotification::KFbxUserNotification(KString text1, KString text2) : mText1(text1), mText2(text2) {}

KFbxUserNotification::~KFbxUserNotification() = default;

void KFbxUserNotification::GetTempPath(KString& out) { out = qalimor::os::TemporaryDirectory().c_str(); }

bool KFbxUserNotification::ProcessItem(bool, int, int) { return true; }

bool KFbxUserNotification::ProcessPairs(bool flag, const std::vector<ItemPair>& pairs) {
    if (!flag || pairs.empty()) return true;
    bool all = true;
    for (const ItemPair& pair : pairs) all = ProcessItem(flag, pair.code, pair.detail) && all;
    return all;
}

bool KFbxUserNotification::ProcessItems(bool flag, const std::vector<int>& codes) {
    if (!flag || codes.empty()) return true;
    bool all = true;
    for (int code : codes) all = ProcessItem(flag, code, -1) && all;
    return all;
}

int KFbxUserNotification::AddDetail(int code, KString detail) {
    KFbxUserNotificationEntry* entry = GetEntry(code);
    if (!entry) return -1;
    entry->SetFlag(false);
    int detailIndex = -1;
    if (!detail.IsEmpty()) {
        entry->GetDetails().push_back(detail);
        detailIndex = static_cast<int>(entry->GetDetails().size()) - 1;
    }
    mDetailRecords.push_back({entry, detailIndex});
    return static_cast<int>(mDetailRecords.size()) - 1;
}

void KFbxUserNotification::Reset() {
    if (!mSetUp) return;
    AboutToReset();
    CloseLog();
    ClearDetailRecords();
    ClearAccumulator();
    mOutputResult = Output();
    mSetUp = false;
}

KFbxUserNotificationEntry* KFbxUserNotification::GetEntry(int code) const {
    if (code < 0) return nullptr;
    const auto found = mAccumulator.find(code);
    return found == mAccumulator.end() ? nullptr : found->second.get();
}

int KFbxUserNotification::GetDetailRecordCount() const { return static_cast<int>(mDetailRecords.size()); }

bool KFbxUserNotification::GetOutputResult() const { return mOutputResult; }

void KFbxUserNotification::AboutToReset() {}
void KFbxUserNotification::CloseLog() {}
bool KFbxUserNotification::Output() { return true; }

bool KFbxUserNotification::AddEntry(int code, const KString& text1, const KString& text2) {
    if (code < 0 || mAccumulator.count(code) != 0) return false;
    mAccumulator.emplace(code, std::make_unique<KFbxUserNotificationEntry>(text1, text2));
    return true;
}

void KFbxUserNotification::MarkSetUp() { mSetUp = true; }

void KFbxUserNotification::ClearDetailRecords() { mDetailRecords.clear(); }

void KFbxUserNotification::ClearAccumulator() {
    // Records point at entries: never leave one behind its entry.
    mDetailRecords.clear();
    mAccumulator.clear();
}

}  // namespace fbxsdk_2006_11_1
