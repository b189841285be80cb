#include <fbxfilesdk/core/KProgress.h>

#include <gtest/gtest.h>

#include <string>

using namespace fbxsdk_2006_11_1;

TEST(KProgress, GlobalIsMadeOnceAndAcceptsTheCallersHooks) {
    IProgress* global = KProgress::GetGlobal();
    ASSERT_NE(global, nullptr);
    EXPECT_EQ(KProgress::GetGlobal(), global);
    EXPECT_TRUE(global->Start());
    EXPECT_TRUE(global->SetStepCount(3));
    EXPECT_TRUE(global->Step());
    global->Report(50.0f);
    global->Update(0, 0);
    EXPECT_TRUE(global->Finish());
}

TEST(KProgress, CancelIsSeenOnlyAfterItIsTested) {
    KProgress progress;
    EXPECT_FALSE(progress.TestCancel());
    progress.Reset();
    progress.RequestCancel();
    EXPECT_FALSE(progress.IsCancelSeen());
    EXPECT_TRUE(progress.TestCancel());
    EXPECT_TRUE(progress.IsCancelSeen());
    progress.Reset();
    EXPECT_FALSE(progress.IsCancelSeen());
    EXPECT_FALSE(progress.TestCancel());
    EXPECT_EQ(progress.GetStep(), 0);
}

TEST(KProgress, TitlesAndInterfaces) {
    KProgress* progress = new KProgress;
    progress->SetTitle(static_cast<const char*>(nullptr));
    EXPECT_TRUE(progress->GetTitle().IsEmpty());
    progress->SetTitle("Importing");
    EXPECT_STREQ(progress->GetTitle().Buffer(), "Importing");
    EXPECT_EQ(progress->GetInterface(0, nullptr), static_cast<IRegister*>(progress));
    EXPECT_EQ(progress->GetInterface(3, nullptr), static_cast<IRegister*>(progress));
    EXPECT_EQ(progress->GetInterface(12, nullptr), static_cast<IProgress*>(progress));
    EXPECT_EQ(progress->GetInterface(5, nullptr), nullptr);
    static_cast<IProgress*>(progress)->Release();
}

TEST(KProgress, ReleasingTheGlobalLetsANewOneBeMade) {
    IProgress* global = KProgress::GetGlobal();
    global->SetTitle("old");
    global->Release();
    IProgress* fresh = KProgress::GetGlobal();
    ASSERT_NE(fresh, nullptr);
    EXPECT_TRUE(fresh->GetTitle().IsEmpty());
}
