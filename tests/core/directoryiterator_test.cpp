#include <fbxfilesdk/core/DirectoryIterator.h>

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

using namespace fbxsdk_2006_11_1;

TEST(DirectoryIsEmpty, OnlyAListedFolderWithNothingInIt) {
    ScratchFolder folder;
    EXPECT_TRUE(DirectoryIsEmpty(folder.Path().c_str()));
    EXPECT_TRUE(DirectoryIsEmpty((folder.Path().string() + "/").c_str()));
    folder.Write(".hidden", "");
    EXPECT_FALSE(DirectoryIsEmpty(folder.Path().c_str()));
    EXPECT_FALSE(DirectoryIsEmpty((folder / "missing").c_str()));
    EXPECT_FALSE(DirectoryIsEmpty(""));
    EXPECT_FALSE(DirectoryIsEmpty(nullptr));
}

TEST(DeleteDirectoryTree, RemovesAnEmptyFolder) {
    ScratchFolder folder;
    const std::string target = folder / "tmp\\media";
    std::filesystem::create_directories(folder.Path() / "tmp/media");
    DirectoryIterator iterator;
    EXPECT_TRUE(DeleteDirectoryTree(iterator, (target + "\\").c_str()));
    iterator.CloseIfOpen();
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "tmp/media"));
    EXPECT_TRUE(std::filesystem::exists(folder.Path() / "tmp"));
}

TEST(DeleteDirectoryTree, NeverDeletesWhatAFolderHolds) {
    ScratchFolder folder;
    std::filesystem::create_directories(folder.Path() / "t/sub");
    folder.Write("t/keep.txt", "data");
    DirectoryIterator iterator;
    EXPECT_FALSE(DeleteDirectoryTree(iterator, (folder / "t").c_str()));
    EXPECT_EQ(folder.Read("t/keep.txt"), "data");
    EXPECT_TRUE(std::filesystem::is_directory(folder.Path() / "t/sub"));
}

TEST(DeleteDirectoryTree, NamesWithoutAFolderDeleteNothing) {
    DirectoryIterator iterator;
    EXPECT_FALSE(DeleteDirectoryTree(iterator, ""));
    EXPECT_FALSE(DeleteDirectoryTree(iterator, nullptr));
}

TEST(DeleteDirectoryTree, AFileIsNotAFolder) {
    ScratchFolder folder;
    const std::string file = folder.Write("plain", "data");
    DirectoryIterator iterator;
    EXPECT_FALSE(DirectoryIsEmpty(file.c_str()));
    EXPECT_FALSE(DeleteDirectoryTree(iterator, file.c_str()));
    EXPECT_EQ(folder.Read("plain"), "data");
}

TEST(DeleteDirectoryTree, AFolderThatCannotBeListedIsLeft) {
    if (geteuid() == 0) GTEST_SKIP() << "the superuser lists every folder";
    ScratchFolder folder;
    const std::string locked = folder / "locked";
    std::filesystem::create_directory(locked);
    chmod(locked.c_str(), 0300);  // writable and searchable, not listable
    DirectoryIterator iterator;
    EXPECT_FALSE(DirectoryIsEmpty(locked.c_str()));
    EXPECT_FALSE(DeleteDirectoryTree(iterator, locked.c_str()));
    EXPECT_TRUE(std::filesystem::exists(locked));
    chmod(locked.c_str(), 0700);
}
