#include <fbxfilesdk/core/KFbxUserNotification.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace fbxsdk_2006_11_1;

namespace {

// A presenting notification: records its hooks and can hold entries.
class Recorder : public KFbxUserNotification {
public:
    Recorder() : KFbxUserNotification("first", "second") {}
    using KFbxUserNotification::AddEntry;
    using KFbxUserNotification::MarkSetUp;

    bool ProcessItem(bool, int code, int detail) override {
        mCalls.push_back(std::to_string(code) + ":" + std::to_string(detail));
        return code != 13;
    }

    std::vector<std::string> mCalls;

protected:
    void AboutToReset() override { mCalls.push_back("about"); }
    void CloseLog() override { mCalls.push_back("close"); }
    bool Output() override {
        mCalls.push_back("output");
        return false;
    }
};

}  // namespace

TEST(KFbxUserNotification, ProcessingSkipsWhenTheFlagIsClear) {
    Recorder notification;
    EXPECT_TRUE(notification.ProcessPairs(false, {{1, 2}, {13, 0}}));
    EXPECT_TRUE(notification.ProcessItems(false, {13}));
    EXPECT_TRUE(notification.ProcessPairs(true, {}));
    EXPECT_TRUE(notification.mCalls.empty());
}

TEST(KFbxUserNotification, ProcessingVisitsEveryItemAndAndsTheResults) {
    Recorder notification;
    EXPECT_FALSE(notification.ProcessPairs(true, {{13, 4}, {2, 5}}));
    EXPECT_TRUE(notification.ProcessItems(true, {7, 8}));
    EXPECT_EQ(notification.mCalls, (std::vector<std::string>{"13:4", "2:5", "7:-1", "8:-1"}));
    KFbxUserNotification plain("a", "b");
    EXPECT_TRUE(plain.ProcessPairs(true, {{13, 4}}));
}

TEST(KFbxUserNotification, DetailsGoToTheirEntryAndCountRecords) {
    Recorder notification;
    EXPECT_EQ(notification.AddDetail(-1, "x"), -1);
    EXPECT_EQ(notification.AddDetail(6, "x"), -1);
    EXPECT_EQ(notification.GetDetailRecordCount(), 0);
    ASSERT_TRUE(notification.AddEntry(6, "Errors", "COLLADA"));
    EXPECT_FALSE(notification.AddEntry(6, "again", ""));
    EXPECT_FALSE(notification.AddEntry(-2, "negative", ""));
    KFbxUserNotificationEntry* entry = notification.GetEntry(6);
    ASSERT_NE(entry, nullptr);
    entry->SetFlag(true);
    EXPECT_EQ(notification.AddDetail(6, "ERROR: one"), 0);
    EXPECT_FALSE(entry->GetFlag());
    EXPECT_EQ(notification.AddDetail(6, ""), 1);  // a record without text
    EXPECT_EQ(notification.AddDetail(6, "Warning: two"), 2);
    ASSERT_EQ(entry->GetDetails().size(), 2u);
    EXPECT_STREQ(entry->GetDetails()[1].Buffer(), "Warning: two");
    EXPECT_EQ(notification.GetDetailRecordCount(), 3);
}

TEST(KFbxUserNotification, ResetActsOnlyWhenSetUp) {
    Recorder notification;
    notification.AddEntry(6, "e", "");
    notification.AddDetail(6, "d");
    notification.Reset();
    EXPECT_TRUE(notification.mCalls.empty());
    EXPECT_NE(notification.GetEntry(6), nullptr);

    notification.MarkSetUp();
    notification.Reset();
    EXPECT_EQ(notification.mCalls, (std::vector<std::string>{"about", "close", "output"}));
    EXPECT_EQ(notification.GetEntry(6), nullptr);
    EXPECT_EQ(notification.GetDetailRecordCount(), 0);
    EXPECT_FALSE(notification.GetOutputResult());
    notification.Reset();  // set up only once
    EXPECT_EQ(notification.mCalls.size(), 3u);
}
