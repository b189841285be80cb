#include <fbxfilesdk/core/KFbxObjectManager.h>
#include <fbxfilesdk/core/KTemporaryFileManager.h>

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace fbxsdk_2006_11_1 {
namespace {

namespace fs = std::filesystem;

class KTemporaryFileManagerTest : public ::testing::Test {
protected:
    void SetUp() override { Reset(); }
    void TearDown() override { Reset(); }
    static void Reset() {
        KTemporaryFileManager* manager = KTemporaryFileManager::GetInstance();
        manager->SetKeepFiles(true);
        manager->Clear();
    }
    static KTemporaryFileManager& Manager() { return *KTemporaryFileManager::GetInstance(); }
};

TEST_F(KTemporaryFileManagerTest, IsOneInstanceThatAnswersAsACallback) {
    KTemporaryFileManager* manager = KTemporaryFileManager::GetInstance();
    EXPECT_EQ(manager, KTemporaryFileManager::GetInstance());
    EXPECT_EQ(manager->GetInterface(2, nullptr), manager);
    EXPECT_EQ(manager->GetInterface(3, nullptr), nullptr);
    EXPECT_TRUE(manager->GetKeepFiles());
}

TEST_F(KTemporaryFileManagerTest, AddingAListedNameKeepsTheFirstEntry) {
    Manager().AddFile("media/a.png", true);
    Manager().AddFile("media/a.png", false);
    Manager().AddFile("media/A.png", false);  // names compare case-sensitively
    ASSERT_EQ(Manager().GetFileCount(), 2);
    EXPECT_EQ(Manager().GetFile(0)->GetFileName(), "media/a.png");
    EXPECT_TRUE(Manager().GetFile(0)->GetDeleteOnDestruction());
    EXPECT_FALSE(Manager().GetFile(1)->GetDeleteOnDestruction());
    EXPECT_EQ(Manager().GetFile(2), nullptr);
    EXPECT_EQ(Manager().GetFile(-1), nullptr);
}

TEST_F(KTemporaryFileManagerTest, ClearingWhileFilesAreKeptDeletesNothing) {
    ScratchFolder folder;
    fs::create_directory(folder.Path() / "media");
    const std::string file = folder.Write("media/a.png", "png");
    Manager().AddFile(file.c_str(), true);
    Manager().Clear();
    EXPECT_EQ(Manager().GetFileCount(), 0);
    EXPECT_TRUE(fs::exists(file));
}

TEST_F(KTemporaryFileManagerTest, ClearingWithoutKeepingDeletesMarkedFilesAndTheirEmptiedFolder) {
    ScratchFolder folder;
    fs::create_directory(folder.Path() / "media");
    fs::create_directory(folder.Path() / "other");
    const std::string marked = folder.Write("media/a.png", "a");
    const std::string markedToo = folder.Write("media/b.png", "b");
    const std::string unmarked = folder.Write("other/c.png", "c");
    Manager().AddFile(marked.c_str(), true);
    Manager().AddFile(unmarked.c_str(), false);
    Manager().AddFile(markedToo.c_str(), true);
    Manager().SetKeepFiles(false);
    Manager().Clear();
    EXPECT_FALSE(fs::exists(marked));
    EXPECT_FALSE(fs::exists(markedToo));
    EXPECT_FALSE(fs::exists(folder.Path() / "media"));  // emptied by the last one
    EXPECT_TRUE(fs::exists(unmarked));
    EXPECT_TRUE(fs::exists(folder.Path()));
}

TEST_F(KTemporaryFileManagerTest, FolderThatStillHoldsAnythingIsNeverEmptiedOnItsBehalf) {
    ScratchFolder folder;
    fs::create_directories(folder.Path() / "media" / "nested");
    const std::string marked = folder.Write("media/a.png", "a");
    const std::string inside = folder.Write("media/nested/keep.txt", "keep");
    { KTemporaryFileEntry entry(marked.c_str(), true); }
    EXPECT_FALSE(fs::exists(marked));
    EXPECT_TRUE(fs::exists(inside));

    // An empty folder below is content too: nothing recurses into it.
    fs::remove(inside);
    const std::string again = folder.Write("media/b.png", "b");
    { KTemporaryFileEntry entry(again.c_str(), true); }
    EXPECT_TRUE(fs::exists(folder.Path() / "media" / "nested"));

    // Back slashes name the same folders.
    const std::string third = folder.Write("media/nested/c.png", "c");
    const std::string windowsName = (folder.Path() / "media").string() + "\\nested\\c.png";
    { KTemporaryFileEntry entry(windowsName.c_str(), true); }
    EXPECT_FALSE(fs::exists(third));
    EXPECT_FALSE(fs::exists(folder.Path() / "media" / "nested"));
    EXPECT_TRUE(fs::exists(folder.Path() / "media"));
}

TEST_F(KTemporaryFileManagerTest, SystemTemporaryFolderIsNeverRemoved) {
    ScratchFolder folder;
    fs::create_directory(folder.Path() / "tmp");
    const std::string file = folder.Write("tmp/extracted.png", "x");
    const char* previous = std::getenv("TMPDIR");
    const std::string saved = previous != nullptr ? previous : "";
    setenv("TMPDIR", (folder / "tmp").c_str(), 1);
    { KTemporaryFileEntry entry(file.c_str(), true); }
    if (previous != nullptr) {
        setenv("TMPDIR", saved.c_str(), 1);
    } else {
        unsetenv("TMPDIR");
    }
    EXPECT_FALSE(fs::exists(file));
    EXPECT_TRUE(fs::exists(folder.Path() / "tmp"));
}

TEST_F(KTemporaryFileManagerTest, EntryWithoutTheDeleteFlagLeavesItsFile) {
    ScratchFolder folder;
    const std::string file = folder.Write("kept.png", "k");
    { KTemporaryFileEntry entry(file.c_str(), false); }
    EXPECT_TRUE(fs::exists(file));
}

TEST_F(KTemporaryFileManagerTest, ObjectMessageFifteenClearsTheList) {
    Manager().AddFile("x/one.png", false);
    KFbxObjectManager::Broadcast(16, 0);
    EXPECT_EQ(Manager().GetFileCount(), 1);
    KFbxObjectManager::Broadcast(KTemporaryFileManager::kClearMessage, 0);
    EXPECT_EQ(Manager().GetFileCount(), 0);
    Manager().AddFile("x/two.png", false);  // usable again afterwards
    EXPECT_EQ(Manager().GetFileCount(), 1);
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
