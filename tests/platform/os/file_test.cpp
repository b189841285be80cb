#include <platform/os/File.h>
#include <platform/os/FileFolder.h>
#include <platform/os/Folder.h>
#include <platform/os/ReadOnlyFile.h>

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <utility>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace qalimor::os;

TEST(OsFile, BackslashesBecomeSlashes) {
    EXPECT_EQ(NativePath("a\\b/c\\"), "a/b/c/");
    EXPECT_EQ(NativePath(""), "");
}

TEST(OsFile, OpensByNameWithEitherSeparator) {
    ScratchFolder folder;
    std::filesystem::create_directory(folder.Path() / "sub");
    folder.Write("sub/f.txt", "xyz");
    const std::string windowsStyle = folder.Path().string() + "\\sub\\f.txt";
    std::FILE* stream = OpenFile(windowsStyle.c_str(), "rt");
    ASSERT_NE(stream, nullptr);
    char bytes[4] = {};
    EXPECT_EQ(std::fread(bytes, 1, 3, stream), 3u);
    EXPECT_STREQ(bytes, "xyz");
    std::fclose(stream);
}

TEST(OsFile, RefusesFoldersUnknownModesAndNull) {
    ScratchFolder folder;
    errno = 0;
    EXPECT_EQ(OpenFile(folder.Path().c_str(), "rb"), nullptr);
    EXPECT_EQ(errno, EISDIR);
    const std::string name = folder / "f";
    EXPECT_EQ(OpenFile(name.c_str(), "wx"), nullptr);
    EXPECT_EQ(OpenFile(name.c_str(), "q"), nullptr);
    EXPECT_EQ(OpenFile(name.c_str(), nullptr), nullptr);
    EXPECT_EQ(OpenFile(nullptr, "r"), nullptr);
    EXPECT_FALSE(std::filesystem::exists(name));
}

TEST(OsFile, OpensOnlyRegularFilesForReadingAndNeverBlocks) {
    ScratchFolder folder;
    folder.Write("f.txt", "abc");
    const std::string file = folder / "f.txt";
    const std::string fifo = folder / "pipe";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_TRUE(CanReadRegularFile(file.c_str()));
    EXPECT_TRUE(OpensAsRegularFile(file.c_str()));
    std::FILE* stream = OpenRegularFile(file.c_str());
    ASSERT_NE(stream, nullptr);
    char bytes[4] = {};
    EXPECT_EQ(std::fread(bytes, 1, 3, stream), 3u);
    EXPECT_STREQ(bytes, "abc");
    std::fclose(stream);
    struct Case { std::string path; int error; const char* text; };
    for (const Case& c : {Case{fifo, EINVAL, "not a regular file"},
                          Case{folder.Path().string(), EISDIR, nullptr},
                          Case{folder.Path().string() + "/", EISDIR, nullptr},
                          Case{"/dev/zero", EINVAL, "not a regular file"},
                          Case{folder / "missing", ENOENT, nullptr}}) {
        errno = 0;
        EXPECT_EQ(OpenRegularFile(c.path.c_str()), nullptr) << c.path;
        EXPECT_EQ(errno, c.error) << c.path;
        // The same by the path's last name in its folder.
        Folder holder;
        std::string name;
        ASSERT_TRUE(holder.OpenHolderOf(c.path.c_str(), name)) << c.path;
        std::uint64_t size = 0;
        errno = 0;
        EXPECT_EQ(holder.OpenRegularDescriptor(name.c_str(), size), -1) << c.path;
        EXPECT_EQ(errno, c.error) << c.path;
        errno = 0;
        EXPECT_FALSE(CanReadRegularFile(c.path.c_str())) << c.path;
        EXPECT_EQ(errno, c.error) << c.path;
        errno = 0;
        EXPECT_FALSE(OpensAsRegularFile(c.path.c_str())) << c.path;
        EXPECT_EQ(errno, c.error) << c.path;
        if (c.text) {
            EXPECT_EQ(OpenFailureText(errno), c.text);
        }
    }
}

TEST(OsFile, NewFilesTakeOnlyPlainNamesAndWholeReadsStopAtTheirLimit) {
    ScratchFolder folder;
    Folder scratch;
    Folder media;
    ASSERT_TRUE(scratch.Open(folder.Path().c_str()));
    ASSERT_TRUE(media.OpenOrMakeIn(scratch, "media", 0777, getegid()));
    for (const char* name : {"", ".", "..", "a/b", "a\\b"}) {
        EXPECT_EQ(media.CreateNewFile(name), nullptr) << name;
        EXPECT_EQ(errno, EINVAL) << name;
    }
    std::string bytes;
    EXPECT_FALSE(ReadRegularFile(folder.Write("f", "four").c_str(), 3, bytes));
    EXPECT_EQ(errno, EFBIG);
}

TEST(OsFolder, ReplacesAndComparesFilesWithoutFollowingLinks) {
    ScratchFolder folder;
    Folder scratch;
    Folder media;
    ASSERT_TRUE(scratch.Open(folder.Path().c_str()));
    ASSERT_TRUE(media.OpenOrMakeIn(scratch, "media", 0777, getegid()));
    folder.Write("outside", "new");
    std::filesystem::create_symlink(folder / "outside", folder / "media/name");
    EXPECT_EQ(media.KindOf("name"), NameKind::eLink);
    // A file is read by its name in its folder, a link there followed to
    // the file it leads to, and the folder it was read from is held.
    ReadOnlyFile outside;
    ASSERT_TRUE(outside.Open(scratch, "outside"));
    ReadOnlyFile linked;
    ASSERT_TRUE(linked.Open(media, "name"));
    EXPECT_EQ(linked.Identity().inode, outside.Identity().inode);
    EXPECT_EQ(linked.Size(), 3u);
    // Unless the name is to be read only where it is no link.
    ReadOnlyFile unlinked;
    EXPECT_FALSE(unlinked.OpenWithoutFollowing(media, "name"));
    EXPECT_EQ(errno, ELOOP);
    ASSERT_TRUE(unlinked.OpenWithoutFollowing(scratch, "outside"));
    EXPECT_EQ(unlinked.Identity().size, 3u);
    EXPECT_EQ(unlinked.Size(), 3u);
    EXPECT_EQ(linked.Identity().group, static_cast<std::uint32_t>(getegid()));
    FileFolder beside;
    Folder read;
    ASSERT_TRUE(read.OpenSame(media));
    beside.Take(std::move(read), linked.Identity());
    EXPECT_TRUE(beside.IsHeld());
    EXPECT_EQ(beside.Held().KindOf("name"), NameKind::eLink);
    EXPECT_FALSE(media.HoldsExactly("name", "new", 3));
    std::string temporary;
    std::FILE* stream = media.CreateTemporaryFile("name", temporary);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(std::fwrite("new", 1, 3, stream), 3u);
    ASSERT_TRUE(media.FinishNewFile(stream, temporary.c_str(), true, "name"));
    // The link gave its name up; what it led to is as it was.
    EXPECT_EQ(folder.Read("outside"), "new");
    EXPECT_EQ(media.KindOf("name"), NameKind::eRegularFile);
    EXPECT_EQ(media.KindOf(temporary.c_str()), NameKind::eNone);
    for (const char* other : {"ne", "new!", "old"}) {
        EXPECT_FALSE(media.HoldsExactly("name", other, std::strlen(other))) << other;
    }
    EXPECT_TRUE(media.HoldsExactly("name", "new", 3));
    // Only where free: the name taken keeps what has it.
    for (const auto& [target, taken] : {std::pair{"name", true}, std::pair{"free", false}}) {
        stream = media.CreateTemporaryFile(target, temporary);
        ASSERT_NE(stream, nullptr);
        EXPECT_EQ(std::fwrite("old", 1, 3, stream), 3u);
        EXPECT_EQ(media.FinishNewFile(stream, temporary.c_str(), true, target, Takeover::eOnlyWhereFree), !taken);
        EXPECT_EQ(media.HoldsExactly(target, taken ? "new" : "old", 3), true) << target;
        EXPECT_EQ(media.KindOf(temporary.c_str()), NameKind::eNone);
    }
    // Against another file's bytes, as far as they match, that file left
    // where it was.
    for (const auto& [other, same] :
         {std::pair{"new", true}, std::pair{"newer", false}, std::pair{"now", false}, std::pair{"", false}}) {
        const int descriptor = open(folder.Write("other", other).c_str(), O_RDONLY | O_CLOEXEC);
        ASSERT_GE(descriptor, 0);
        EXPECT_EQ(media.HoldsSameAs("name", descriptor), same) << other;
        EXPECT_EQ(lseek(descriptor, 0, SEEK_CUR), 0);
        close(descriptor);
    }
    EXPECT_FALSE(media.HoldsSameAs("name", -1));
}
