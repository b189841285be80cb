// Notices for the user, collected during import and export: accumulator
// entries by numeric code, each with its detail texts. This system presents
// nothing: the presentation hooks are empty and may be overridden.
#ifndef FBXFILESDK_CORE_KFBXUSERNOTIFICATION_H
#define FBXFILESDK_CORE_KFBXUSERNOTIFICATION_H

#include <fbxfilesdk/core/KString.h>

#include <map>
#include <memory>
#include <vector>

namespace fbxsdk_2006_11_1 {

class KFbxUserNotificationEntry {
public:
    KFbxUserNotificationEntry(const KString& text1, const KString& text2);

    const std::vector<KString>& GetDetails() const;
    std::vector<KString>& GetDetails();
    void SetFlag(bool flag);
    bool GetFlag() const;
    const KString& GetText1() const;
    const KString& GetText2() const;

private:
    bool mFlag = false;
    KString mText1;
    KString mText2;
    std::vector<KString> mDetails;
};

class KFbxUserNotification {
public:
    struct ItemPair {
        int code;
        int detail;
    };

    KFbxUserNotification(KString text1, KString text2);
    virtual ~KFbxUserNotification();
    KFbxUserNotification(const KFbxUserNotification&) = delete;
    KFbxUserNotification& operator=(const KFbxUserNotification&) = delete;

    // The system's folder for temporary files.
    virtual void GetTempPath(KString& out);

    // Each item true here; a presenting subclass tells whether it was shown.
    virtual bool ProcessItem(bool flag, int code, int detail);
    // True when flag is false or there is nothing to process; else every pair
    // through ProcessItem, in order, and true when all of them were.
    virtual bool ProcessPairs(bool flag, const std::vector<ItemPair>& pairs);
    // As ProcessPairs, each code with detail -1.
    virtual bool ProcessItems(bool flag, const std::vector<int>& codes);

    // Adds a detail to the entry of code. -1 when code is negative or has no
    // entry; otherwise the index of the new detail record. An empty detail adds
    // a record that refers to no text.
    int AddDetail(int code, KString detail);

    // Run by the SDK manager before it destroys the object: when set up,
    // empties the details and entries and closes the log.
    void Reset();

    // The entry of a code, null when none.
    KFbxUserNotificationEntry* GetEntry(int code) const;
    int GetDetailRecordCount() const;
    bool GetOutputResult() const;

protected:
    // Presentation hooks, called by Reset: AboutToReset first, then CloseLog,
    // and Output last (its result is kept).
    virtual void AboutToReset();
    virtual void CloseLog();
    virtual bool Output();

    // For presenting subclasses: entries exist only where they are made.
    // False when the code is negative or already has an entry.
    bool AddEntry(int code, const KString& text1, const KString& text2);
    void MarkSetUp();

private:
    struct DetailRecord {
        KFbxUserNotificationEntry* entry;
        int detail;
    };

    void ClearDetailRecords();
    void ClearAccumulator();

    KString mText1;
    KString mText2;
    bool mSetUp = false;
    bool mOutputResult = false;
    std::map<int, std::unique_ptr<KFbxUserNotificationEntry>> mAccumulator;
    std::vector<DetailRecord> mDetailRecords;
};

}  // namespace fbxsdk_2006_11_1

#endif
