// For every writer: an export that fails, is given up or is ended midway
// leaves the file it was to replace as it was, and makes none where there was
// none; one through links replaces the file they lead to, which keeps its
// permissions, owner and group, its access lists and other attributes. Links
// and files another user put in a sticky folder open to all are refused,
// and every refusal says why; files that cannot be replaced as they are are
// written in place, and a file that cannot take its name at the end says why
// and leaves its material library as it was, as does one whose library is
// itself under another name.
#include <fbxfilesdk/fbxfilesdk.h>

#include "formats/FormatsTestSupport.h"
#include "support/BoundedRun.h"
#include "support/FolderSwap.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <bitset>
#include <chrono>
#include <csignal>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <string_view>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include <fcntl.h>
#include <grp.h>
#include <linux/fs.h>
#include <pthread.h>
#include <sched.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

using namespace fbxsdk_2006_11_1;

// The calls that change a folder or put a file on the disk: the one
// numbered gEndAt (none when 0) ends the process, and a swap of two names
// fails where gNoExchange says the file system has none.
static int gEndAt = 0;
static int gCalls = 0;
static bool gNoExchange = false;
#define ENDS_HERE(name, parameters, arguments, refused)                    \
    extern "C" int __real_##name parameters;                               \
    extern "C" int __wrap_##name parameters {                              \
        if (gEndAt > 0 && ++gCalls == gEndAt) raise(SIGKILL);              \
        return (refused) ? (errno = EINVAL, -1) : __real_##name arguments; \
    }
ENDS_HERE(fsync, (int f), (f), false)
ENDS_HERE(fdatasync, (int f), (f), false)
ENDS_HERE(ftruncate, (int f, off_t l), (f, l), false)
ENDS_HERE(renameat, (int a, const char* b, int c, const char* d), (a, b, c, d), false)
ENDS_HERE(renameat2, (int a, const char* b, int c, const char* d, unsigned e), (a, b, c, d, e),
          gNoExchange && (e & RENAME_EXCHANGE) != 0)
ENDS_HERE(unlinkat, (int a, const char* b, int c), (a, b, c), false)
#undef ENDS_HERE
// Runs before (true) and after (false) the link that sets an earlier file
// aside under a hidden name, as another export taking the name then would.
static std::function<void(bool)> gAroundSetAside;
extern "C" int __real_linkat(int from, const char* name, int to, const char* link, int flags);
extern "C" int __wrap_linkat(int from, const char* name, int to, const char* link, int flags) {
    if (gEndAt > 0 && ++gCalls == gEndAt) raise(SIGKILL);
    const bool aside = gAroundSetAside && std::string_view(link).ends_with(".earlier");
    if (aside) gAroundSetAside(true);
    const int linked = __real_linkat(from, name, to, link, flags);
    const int failure = errno;
    if (aside) gAroundSetAside(false);
    errno = failure;
    return linked;
}

namespace {

// The unprivileged user an export runs as in a child process, and another
// user with a group the first is not in.
constexpr uid_t kExporter = 65534;
constexpr gid_t kExporterGroup = 65534;
constexpr uid_t kOther = 1234;
constexpr gid_t kOtherGroup = 4321;

struct Row {
    const char* mName;
    int mWriter;
    const char* mExtension;
    friend void PrintTo(const Row& row, std::ostream* out) { *out << row.mName; }
};

// A triangle with a material, so that an OBJ file has its library.
KFbxScene* TriangleScene(KFbxSdkManager& manager) {
    KFbxScene* scene = KFbxScene::Create(&manager, "");
    KFbxMesh* mesh = formatstest::MakePlainTriangle(manager);
    mesh->AddMaterial(KFbxSurfacePhong::Create(&manager, "Red"));
    KFbxNode* node = KFbxNode::Create(&manager, "Tri");
    node->SetNodeAttribute(mesh);
    scene->GetRootNode()->AddChild(node);
    return scene;
}

// Runs work(worker) for each worker, in a process of its own or in threads
// of one, started at once; how many failed, or -1 when one waited for ever
// (ended by its alarm, which leaves a slow disk's syncs under a loaded
// machine ample time, and ends twice within the test's own limit).
int AllAtOnce(int workers, bool threads, const std::function<bool(int)>& work) {
    // Each waits until the test closes its end of the pipe.
    int start[2];
    if (pipe(start) != 0) return -1;
    std::vector<pid_t> children;
    for (int worker = 0; worker < (threads ? 1 : workers); ++worker) {
        if (children.emplace_back(fork()) == 0) {
            close(start[1]);
            alarm(100);
            char go;
            std::atomic<int> failed = read(start[0], &go, 1) != 0 || (!threads && !work(worker));
            std::vector<std::jthread> running;
            for (int thread = 0; threads && thread < workers; ++thread) {
                running.emplace_back([&, thread] { failed += work(thread) ? 0 : 1; });
            }
            running.clear();
            _exit(failed);
        }
    }
    close(start[0]);
    close(start[1]);
    int failed = 0;
    for (const pid_t child : children) {
        int status = 0;
        waitpid(child, &status, 0);
        failed = failed < 0 || !WIFEXITED(status) ? -1 : failed + WEXITSTATUS(status);
    }
    return failed;
}

class ExportReplacement : public ::testing::TestWithParam<Row> {
protected:
    void SetUp() override {
        mManager.reset(CreateSdkManager());
        mScene = TriangleScene(*mManager);
    }

    std::string Path(const std::string& stem) const { return mFolder / (stem + GetParam().mExtension); }
    std::unique_ptr<KFbxWriter> Writer() const {
        return std::unique_ptr<KFbxWriter>(
            KFbxFileFormatRegistry::Get().CreateWriter(GetParam().mWriter, *mManager, nullptr));
    }
    // Keeps the exporter's error and message texts.
    bool Export(const std::string& path) { return ExportWith(*mManager, mScene, path, mError); }
    bool ExportWith(KFbxSdkManager& manager, KFbxScene* scene, const std::string& path, std::string& error) const {
        KFbxExporter* exporter = KFbxExporter::Create(&manager, "");
        exporter->SetFileFormat(GetParam().mWriter);
        const bool exported = exporter->Initialize(path.c_str()) && exporter->Export(scene);
        KString message;
        exporter->GetMessageText(message);
        error = std::string(exporter->GetLastErrorString()) + "\n" + message.Buffer();
        exporter->Destroy();
        return exported;
    }
    // Exports the triangle the given number of times with a manager of its
    // own, as another thread may.
    bool ExportAnew(const std::string& path, int times) const {
        const std::unique_ptr<KFbxSdkManager> manager(CreateSdkManager());
        KFbxScene* scene = TriangleScene(*manager);
        std::string error;
        for (int round = 0; round < times; ++round) {
            if (!ExportWith(*manager, scene, path, error)) return false;
        }
        return true;
    }
    // Runs work in a child process as the unprivileged exporter, in its own
    // group only, which may take back root's rights for a moment; what work
    // returns.
    static std::string AsExporter(const std::function<std::string()>& work) {
        int ends[2];
        if (pipe(ends) != 0) return "no pipe";
        boundedrun::Run(
            [&] {
                close(ends[0]);
                const gid_t groups[] = {kExporterGroup};
                std::string text = "not unprivileged";
                if (setgroups(1, groups) == 0 && setegid(kExporterGroup) == 0 && seteuid(kExporter) == 0) {
                    text = work();
                }
                return write(ends[1], text.data(), text.size()) == static_cast<ssize_t>(text.size()) ? 0 : 1;
            },
            boundedrun::SecondsFor(0));
        close(ends[1]);
        std::string text;
        char block[4096];
        for (ssize_t got; (got = read(ends[0], block, sizeof block)) > 0;) text.append(block, static_cast<std::size_t>(got));
        close(ends[0]);
        return text;
    }
    std::string Extension() const { return GetParam().mExtension; }
    bool Obj() const { return GetParam().mWriter == KFbxFileFormatRegistry::eOBJ_WRITER; }
    // The status of an export refused at the file's opening, which names
    // the path and the system's reason.
    std::string Refused(const std::string& path, int error) const {
        return std::string(Extension() == ".fbx" ? "File not created" : "File not opened") + " (" + path + ": " +
               std::strerror(error) + ")";
    }
    // Whether the text is what an export wrote, but for the moment or the
    // random key a format may hold, which keep its length.
    static bool IsLike(const std::string& text, const std::string& exported) {
        return text.size() == exported.size() && (text == exported || text.find("eeeeeeee") == std::string::npos);
    }
    // A file of the folder, and its library, of earlier bytes and two names
    // each.
    void WriteLinked(const std::string& folder, const std::string& earlier) {
        std::filesystem::create_directories(mFolder / folder);
        for (const std::string& file : {"scene" + Extension(), std::string("scene.mtl")}) {
            std::filesystem::create_hard_link(mFolder.Write(folder + "/" + file, earlier), mFolder / (folder + "/" + file + ".second"));
        }
    }
    // Hidden files too.
    std::ptrdiff_t Count(const std::string& folder) const {
        return std::distance(std::filesystem::directory_iterator(mFolder / folder), {});
    }
    std::string Names(const std::string& folder) const {
        std::string names;
        for (const auto& entry : std::filesystem::directory_iterator(mFolder / folder)) {
            names += entry.path().filename().string() + " ";
        }
        return names;
    }

    std::unique_ptr<KFbxSdkManager> mManager;
    KFbxScene* mScene = nullptr;
    ScratchFolder mFolder;
    std::string mError;
};

// The status an export's error text starts with, before its message.
std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

// Whether the status is the fixed text with the path, what was being done
// (if anything), and the system's reason for the error.
bool NamesFailure(const std::string& text, const std::string& fixed, const std::string& path, int error) {
    const std::string status = FirstLine(text);
    return status.starts_with(fixed + " (" + path + ": ") && status.ends_with(std::string(std::strerror(error)) + ")");
}

struct stat StatusOf(const std::string& path) {
    struct stat info {};
    lstat(path.c_str(), &info);
    return info;
}

// Every extended attribute of the file by name.
std::map<std::string, std::string> AttributesOf(const std::string& path) {
    std::map<std::string, std::string> attributes;
    std::string names(4096, '\0');
    names.resize(static_cast<std::size_t>(std::max<ssize_t>(0, listxattr(path.c_str(), names.data(), names.size()))));
    for (std::size_t at = 0; at < names.size(); at += std::strlen(names.c_str() + at) + 1) {
        std::string value(4096, '\0');
        value.resize(static_cast<std::size_t>(
            std::max<ssize_t>(0, getxattr(path.c_str(), names.c_str() + at, value.data(), value.size()))));
        attributes[names.c_str() + at] = value;
    }
    return attributes;
}

// An access list as the system keeps it: the owner may read and write, and
// so may the other user; the group may read, anyone else nothing.
std::string AccessList() {
    std::string list;
    const auto add = [&list](std::uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i) list += static_cast<char>(value >> (8 * i) & 0xFF);
    };
    add(2, 4);
    const std::uint32_t anyone = 0xFFFFFFFF;
    for (const auto& [tag, permissions, id] : {std::tuple{0x01u, 6u, anyone}, std::tuple{0x02u, 6u, std::uint32_t{kOther}},
                                                std::tuple{0x04u, 4u, anyone}, std::tuple{0x10u, 6u, anyone},
                                                std::tuple{0x20u, 0u, anyone}}) {
        add(tag, 2);
        add(permissions, 2);
        add(id, 4);
    }
    return list;
}

// Mounts a small disk of the size at the folder for the calling process (a
// child) alone; false where the system does not let it.
bool MountSmallDisk(const std::string& folder, const char* size) {
    return unshare(CLONE_NEWNS) == 0 && mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0 &&
           mount("qalimor", folder.c_str(), "tmpfs", 0, size) == 0;
}

void FillDisk(const std::string& filler) {
    std::ofstream file(filler, std::ios::binary);
    const std::string block(4096, 'x');
    while (file.write(block.data(), static_cast<std::streamsize>(block.size())) && file.flush()) {
    }
}

// Does what the README tells a user to do with the hidden files of their own
// an export ended midway left in the folder: ".<file>.<ten letters>.earlier"
// is copied over its file as cp copies (a library's only while its OBJ file
// has a hidden file too), then every such hidden file goes.
void FollowTheAdvice(const std::filesystem::path& folder) {
    std::vector<std::string> hidden;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (entry.path().filename().string()[0] == '.' && StatusOf(entry.path()).st_uid == geteuid()) {
            hidden.push_back(entry.path().filename());
        }
    }
    for (const std::string& name : hidden) {
        const std::string file = name.size() > 20 && name.ends_with(".earlier") ? name.substr(1, name.size() - 20) : "";
        // The OBJ file's are those of the library's name but for its extension.
        const std::string obj = "." + file.substr(0, file.size() - 3);
        const auto objs = [&](const std::string& h) { return h.starts_with(obj) && !h.starts_with("." + file + "."); };
        std::error_code same;
        if (!file.empty() && !std::filesystem::equivalent(folder / name, folder / file, same) &&
            (!file.ends_with(".mtl") || std::any_of(hidden.begin(), hidden.end(), objs))) {
            std::ifstream from(folder / name, std::ios::binary);
            std::ofstream(folder / file, std::ios::binary) << from.rdbuf();
        }
        std::filesystem::remove(folder / name);
    }
}

// Makes the folder keep every name (append-only) while it lives, where the
// file system lets the test.
class KeepingEveryName {
public:
    explicit KeepingEveryName(const std::string& folder)
        : mFolder(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)) {
        mKept = ioctl(mFolder, FS_IOC_GETFLAGS, &mFlags) == 0 &&
                (mFlags |= FS_APPEND_FL, ioctl(mFolder, FS_IOC_SETFLAGS, &mFlags) == 0);
    }
    ~KeepingEveryName() {
        mFlags &= ~FS_APPEND_FL;
        if (mKept) ioctl(mFolder, FS_IOC_SETFLAGS, &mFlags);
        close(mFolder);
    }
    bool Kept() const { return mKept; }

private:
    int mFolder;
    int mFlags = 0;
    bool mKept = false;
};

// Whether the process waits for a lock on a file.
bool WaitsForLock(pid_t process) {
    std::ifstream locks("/proc/locks");
    for (std::string line; std::getline(locks, line);) {
        if (line.find("->") != std::string::npos && line.find(" " + std::to_string(process) + " ") != std::string::npos) return true;
    }
    return false;
}

TEST_P(ExportReplacement, FailedGivenUpOrEndedExportsLeaveTheEarlierFileAndMakeNone) {
    std::filesystem::create_directories(mFolder / "out");
    const std::string earlier = mFolder.Write("out/scene" + std::string(GetParam().mExtension), "earlier");
    mFolder.Write("out/scene.mtl", "earlier library");
    // Written in place, for its second name.
    const std::string linked = mFolder.Write("out/linked" + Extension(), "earlier");
    std::filesystem::create_hard_link(linked, mFolder / "out/second");
    const std::string fresh = Path("out/fresh");
    const std::ptrdiff_t before = Count("out");
    const auto unchanged = [&] {
        for (const char* name : {"out/scene", "out/linked"}) EXPECT_EQ(mFolder.Read(name + Extension()), "earlier");
        EXPECT_EQ(mFolder.Read("out/second"), "earlier");
        EXPECT_EQ(mFolder.Read("out/scene.mtl"), "earlier library");
        EXPECT_FALSE(std::filesystem::exists(fresh));
    };
    // Created and closed with no write between, or with one the writer
    // refused.
    for (const std::string& path : {earlier, fresh, linked}) {
        for (const bool refused : {false, true}) {
            const std::unique_ptr<KFbxWriter> writer = Writer();
            ASSERT_TRUE(writer->FileCreate(path.c_str())) << writer->GetLastErrorString();
            EXPECT_FALSE(refused && writer->Write(nullptr, nullptr));
            EXPECT_TRUE(writer->FileClose() || refused);
        }
    }
    unchanged();
    EXPECT_EQ(Count("out"), before);
    // A folder the process may not write in fails the export at once.
    std::filesystem::permissions(mFolder / "out", std::filesystem::perms(0555));
    const boundedrun::Outcome locked = boundedrun::Run(
        [&] {
            const std::unique_ptr<KFbxWriter> writer = Writer();
            const bool unprivileged = geteuid() != 0 || (setgid(65534) == 0 && setuid(65534) == 0);
            return unprivileged && !writer->FileCreate(fresh.c_str()) ? 0 : 1;
        },
        boundedrun::SecondsFor(0));
    EXPECT_EQ(locked.mValue, 0);
    std::filesystem::permissions(mFolder / "out", std::filesystem::perms(0755));
    EXPECT_EQ(Count("out"), before);
    // Files limited to fewer bytes than any format's file holds: the write
    // fails and ends nothing, whether the caller ignores SIGXFSZ, leaves it
    // to end the process, catches it or keeps one waiting, and finds it as
    // it left it.
    static volatile std::sig_atomic_t caught = 0;
    void (*const catching)(int) = [](int) { caught = 1; };
    // The last three block it, one waiting: raised in the exporting thread,
    // or sent to the process by itself (exporting from another thread) or by
    // another process. Another thread lets in none but the process's, which
    // comes from its sender.
    enum Waiting { eNone, eRaised, eKilled, eKilledElsewhere };
    for (const auto& [handling, sent] : {std::pair{SIG_IGN, eNone}, {SIG_DFL, eNone}, {catching, eNone},
                                         {SIG_DFL, eRaised}, {SIG_DFL, eKilled}, {SIG_DFL, eKilledElsewhere}}) {
        const bool waiting = sent != eNone;
        for (const std::string& path : {earlier, fresh, linked}) {
            SCOPED_TRACE(path + (waiting                 ? ", one of kind " + std::to_string(sent) + " waiting"
                                 : handling == catching ? ", caught"
                                                        : ""));
            const boundedrun::Outcome outcome = boundedrun::Run(
                [&] {
                    sigset_t mask;
                    sigemptyset(&mask);
                    sigaddset(&mask, SIGXFSZ);
                    if (waiting && sigprocmask(SIG_BLOCK, &mask, nullptr) != 0) return 3;
                    const pid_t sender = sent == eKilledElsewhere ? fork() : getpid();
                    if (sender == 0) _exit(kill(getppid(), SIGXFSZ));
                    if (sent == eRaised) raise(SIGXFSZ);
                    if (sent == eKilled) kill(sender, SIGXFSZ);
                    if (sent == eKilledElsewhere) waitpid(sender, nullptr, 0);
                    std::signal(SIGXFSZ, handling);
                    const rlimit limit{32, RLIM_INFINITY};
                    setrlimit(RLIMIT_FSIZE, &limit);
                    // The status names the file and the cause, whichever writer.
                    bool exported = false;
                    std::thread([&] { exported = sent == eKilled && Export(path); }).join();
                    if (exported || (sent != eKilled && Export(path))) return 1;
                    if (!NamesFailure(mError, "Write error", path, EFBIG)) return 4;
                    sigset_t blocked, pending;
                    const bool asLeft = sigprocmask(SIG_BLOCK, nullptr, &blocked) == 0 && sigpending(&pending) == 0 &&
                                        sigismember(&blocked, SIGXFSZ) == waiting &&
                                        sigismember(&pending, SIGXFSZ) == waiting &&
                                        std::signal(SIGXFSZ, SIG_DFL) == handling;
                    siginfo_t info{};
                    const timespec now{};
                    int taken = 0;
                    std::thread([&] { taken = sigtimedwait(&mask, &info, &now); }).join();
                    const bool forProcess = waiting && sent != eRaised;
                    const bool where = taken == (forProcess ? SIGXFSZ : -1) && (!forProcess || info.si_pid == sender);
                    return !asLeft || caught != 0 ? 2 : where ? 0 : 5;
                },
                boundedrun::SecondsFor(0));
            EXPECT_EQ(outcome.mReturned ? outcome.mValue : -outcome.mSignal, 0);
        }
        unchanged();
        EXPECT_EQ(Count("out"), before);
    }
    // A full disk, where the test may mount a small one of its own.
    const std::string full = mFolder / "full";
    std::filesystem::create_directories(full);
    const boundedrun::Outcome disk = boundedrun::Run(
        [&] {
            if (!MountSmallDisk(full, "size=64k")) return 77;
            for (const char* name : {"full/scene", "full/linked"}) mFolder.Write(name + Extension(), "earlier");
            std::filesystem::create_hard_link(Path("full/linked"), mFolder / "full/second");
            FillDisk(mFolder / "full/filler");
            for (const char* name : {"full/scene", "full/linked"}) {
                if (Export(Path(name)) || !NamesFailure(mError, "Out of disk space", Path(name), ENOSPC)) return 1;
                if (mFolder.Read(name + Extension()) != "earlier" || mFolder.Read("full/second") != "earlier") return 2;
            }
            return 0;
        },
        boundedrun::SecondsFor(0));
    EXPECT_TRUE(disk.mValue == 0 || disk.mValue == 77) << disk.mValue;
}

TEST_P(ExportReplacement, AnExportThroughLinksReplacesTheFileTheyLeadToAndKeepsWhoMayUseIt) {
    std::filesystem::create_directories(mFolder / "real");
    std::filesystem::create_directories(mFolder / "links");
    const std::string target = Path("real/scene");
    mFolder.Write("real/scene" + std::string(GetParam().mExtension), "earlier");
    // Only a privileged process may give a file away.
    const bool owner = geteuid() == 0 && chown(target.c_str(), 1234, 4321) == 0;
    ASSERT_EQ(chmod(target.c_str(), 0640), 0);
    // Each relative to the folder of its link.
    std::filesystem::create_symlink("../real/scene" + std::string(GetParam().mExtension), Path("links/hop"));
    std::filesystem::create_symlink("links/hop" + std::string(GetParam().mExtension), Path("scene"));
    ASSERT_TRUE(Export(Path("scene")));
    EXPECT_TRUE(std::filesystem::is_symlink(Path("scene")));
    EXPECT_TRUE(std::filesystem::is_symlink(Path("links/hop")));
    EXPECT_EQ(Count("real"), 1);
    // The export's bytes, in place of the 7 it replaced.
    EXPECT_GT(std::filesystem::file_size(target), 7u);
    struct stat written;
    ASSERT_EQ(stat(target.c_str(), &written), 0);
    EXPECT_EQ(written.st_mode & 07777, 0640u);
    EXPECT_TRUE(!owner || (written.st_uid == 1234 && written.st_gid == 4321));
    // A new file is made as any other.
    const mode_t mask = umask(027);
    ASSERT_TRUE(Export(Path("new")));
    umask(mask);
    ASSERT_EQ(stat(Path("new").c_str(), &written), 0);
    EXPECT_EQ(written.st_mode & 07777, 0640u);
}

TEST_P(ExportReplacement, LinksAndFilesOfAnotherUserInAFolderOpenToAllAreRefused) {
    if (geteuid() != 0) GTEST_SKIP() << "only a privileged process can give files to another user";
    const std::string extension = Extension();
    std::filesystem::create_directories(mFolder / "shared");
    std::filesystem::create_directories(mFolder / "private");
    ASSERT_EQ(chmod((mFolder / "shared").c_str(), 01777), 0);
    ASSERT_EQ(chmod((mFolder / "private").c_str(), 0700), 0);
    const std::string secret = mFolder.Write("private/secret" + extension, "secret");
    ASSERT_EQ(chmod(secret.c_str(), 0600), 0);
    // Put there by the other user: links to the root-only file and to a new
    // one beside it, and a file of theirs.
    std::filesystem::create_symlink("../private/secret" + extension, Path("shared/planted"));
    std::filesystem::create_symlink("../private/made" + extension, Path("shared/dangling"));
    const std::string theirs = mFolder.Write("shared/theirs" + extension, "theirs");
    for (const char* stem : {"shared/planted", "shared/dangling", "shared/theirs"}) {
        ASSERT_EQ(lchown(Path(stem).c_str(), kOther, kOther), 0);
    }
    ASSERT_EQ(chmod(theirs.c_str(), 0666), 0);
    for (const char* stem : {"shared/planted", "shared/dangling", "shared/theirs"}) {
        SCOPED_TRACE(stem);
        EXPECT_FALSE(Export(Path(stem)));
        EXPECT_NE(mError.find(std::strerror(EACCES)), std::string::npos) << mError;
        EXPECT_EQ(FirstLine(mError), Refused(Path(stem), EACCES));
    }
    EXPECT_EQ(mFolder.Read("private/secret" + extension), "secret");
    EXPECT_EQ(Count("private"), 1);
    EXPECT_EQ(mFolder.Read("shared/theirs" + extension), "theirs");
    EXPECT_EQ(StatusOf(theirs).st_uid, kOther);
    EXPECT_EQ(Count("shared"), 3);
    // A second name of the root-only file, put there where the system lets
    // users link files they do not own: the name is replaced, not written
    // through, and where the exporter may not take it, refused.
    std::filesystem::create_hard_link(secret, Path("shared/hard"));
    EXPECT_TRUE(Export(Path("shared/hard"))) << mError;
    EXPECT_EQ(mFolder.Read("private/secret" + extension), "secret");
    EXPECT_EQ(StatusOf(Path("shared/hard")).st_mode & 07777, 0600u);
    const std::string roots = mFolder.Write("shared/roots" + extension, "roots");
    ASSERT_EQ(chmod(roots.c_str(), 0666), 0);
    std::filesystem::create_hard_link(roots, mFolder / "shared/roots.second");
    // The exporter's own file of two names, of a group it is not in, can be
    // neither replaced as it is nor written through; a file it may not
    // write is refused as anywhere.
    const std::string grouped = mFolder.Write("shared/grouped" + extension, "grouped");
    std::filesystem::create_hard_link(grouped, mFolder / "shared/grouped.second");
    ASSERT_EQ(chown(grouped.c_str(), kExporter, kOtherGroup), 0);
    const std::string locked = mFolder.Write("shared/locked" + extension, "locked");
    ASSERT_EQ(chmod(locked.c_str(), 0644), 0);
    const std::string refused = AsExporter([&] {
        std::string statuses;
        for (const std::string& path : {roots, grouped, locked}) {
            statuses += (Export(path) ? std::string("exported") : FirstLine(mError)) + "\n";
        }
        return statuses;
    });
    EXPECT_NE(refused.find(std::strerror(EPERM)), std::string::npos) << refused;
    EXPECT_EQ(refused, Refused(roots, EPERM) + "\n" + Refused(grouped, EPERM) + "\n" + Refused(locked, EACCES) + "\n");
    EXPECT_EQ(mFolder.Read("shared/roots" + extension), "roots");
    EXPECT_EQ(mFolder.Read("shared/roots.second"), "roots");
    EXPECT_EQ(mFolder.Read("shared/grouped" + extension), "grouped");
    EXPECT_EQ(mFolder.Read("shared/grouped.second"), "grouped");
    EXPECT_EQ(StatusOf(grouped).st_gid, kOtherGroup);
    EXPECT_EQ(mFolder.Read("shared/locked" + extension), "locked");
    // Hidden files the other user put beside a file as an export ended
    // midway would leave them are not the exporter's: the README's advice
    // puts none of their bytes back.
    const std::string pair = ".pair" + extension + ".abcdefghij";
    for (const std::string& name : {std::string(".pair.mtl.abcdefghij.earlier"), pair + ".earlier", pair}) {
        ASSERT_EQ(lchown(mFolder.Write("shared/" + name, "theirs").c_str(), kOther, kOther), 0);
    }
    EXPECT_TRUE(Export(Path("shared/pair"))) << mError;
    FollowTheAdvice(mFolder / "shared");
    EXPECT_NE(mFolder.Read("shared/pair" + extension), "theirs");
    EXPECT_NE(mFolder.Read("shared/pair.mtl"), "theirs");
    // A link of the process's own is followed.
    std::filesystem::create_symlink("../private/secret" + extension, Path("shared/own"));
    EXPECT_TRUE(Export(Path("shared/own"))) << mError;
    EXPECT_GT(std::filesystem::file_size(secret), 6u);
}

TEST_P(ExportReplacement, AnObjFileWhoseLibraryCannotBeMadeFailsAndStaysAsItWas) {
    const bool library = Obj();
    const std::string path = mFolder.Write("scene" + Extension(), "earlier");
    std::filesystem::create_directories(mFolder / "scene.mtl");
    EXPECT_EQ(Export(path), !library) << mError;
    EXPECT_EQ(mFolder.Read("scene" + Extension()) == "earlier", library);
    EXPECT_TRUE(!library || mError.find("Write error (" + (mFolder / "scene.mtl") + ": " + std::strerror(EISDIR) +
                                        ")") != std::string::npos) << mError;
    // A library that is the OBJ file under another name: a second name, a
    // link, or a link to the OBJ file's name still free; or under its own,
    // an OBJ file named as its library would be.
    for (const std::string kind : {"second", "link", "free", "itself"}) {
        SCOPED_TRACE(kind);
        std::filesystem::create_directories(mFolder / kind);
        const std::string name = kind + (kind == "itself" ? std::string("/scene.mtl") : "/scene" + Extension());
        const std::string scene = mFolder / name;
        const std::string linked = mFolder / (kind + "/scene.mtl");
        if (kind != "free") mFolder.Write(name, "earlier");
        if (kind == "second") std::filesystem::create_hard_link(scene, linked);
        if (kind == "link" || kind == "free") std::filesystem::create_symlink("scene" + Extension(), linked);
        EXPECT_EQ(Export(scene), !library) << mError;
        if (!library) continue;
        EXPECT_EQ(FirstLine(mError), "Write error (" + linked + ": the same file as " + scene + ")");
        EXPECT_TRUE(kind == "free" ? !std::filesystem::exists(scene) : mFolder.Read(kind + "/scene.mtl") == "earlier");
        EXPECT_EQ(Count(kind), kind == "free" || kind == "itself" ? 1 : 2);
    }
    if (geteuid() != 0) GTEST_SKIP() << "only a privileged process can give files to another user";
    // A library the exporter may not write, and another user's in a sticky
    // folder open to all.
    for (const char* folder : {"own", "shared"}) {
        std::filesystem::create_directories(mFolder / folder);
        ASSERT_EQ(chown((mFolder / folder).c_str(), kExporter, kExporterGroup), 0);
    }
    ASSERT_EQ(chmod((mFolder / "shared").c_str(), 01777), 0);
    for (const char* name : {"own/scene", "shared/scene"}) {
        const std::string earlier = mFolder.Write(name + Extension(), "earlier");
        const std::string earlierLibrary = mFolder.Write(name + std::string(".mtl"), "earlier library");
        ASSERT_EQ(chown(earlier.c_str(), kExporter, kExporterGroup), 0);
        ASSERT_EQ(chown(earlierLibrary.c_str(), name[0] == 'o' ? kExporter : kOther, kExporterGroup), 0);
        ASSERT_EQ(chmod(earlierLibrary.c_str(), name[0] == 'o' ? 0444 : 0666), 0);
    }
    const std::string outcome = AsExporter([&] {
        std::string errors;
        for (const char* name : {"own/scene", "shared/scene"}) errors += Export(Path(name)) ? "exported\n" : mError;
        return errors;
    });
    EXPECT_EQ(outcome.find("exported"), library ? std::string::npos : 0u) << outcome;
    for (const char* name : {"own/scene", "shared/scene"}) {
        EXPECT_EQ(mFolder.Read(name + Extension()) == "earlier", library) << name;
        EXPECT_EQ(mFolder.Read(name + std::string(".mtl")), "earlier library");
        const std::string cause = (mFolder / (name + std::string(".mtl"))) + ": " + std::strerror(EACCES);
        EXPECT_TRUE(!library || outcome.find(cause) != std::string::npos) << outcome;
    }
}

TEST_P(ExportReplacement, AccessListsAndOtherAttributesStayWithTheFile) {
    const std::string path = mFolder.Write("listed" + Extension(), "earlier");
    ASSERT_EQ(chmod(path.c_str(), 0640), 0);
    const std::string list = AccessList();
    // Where the file system keeps no access list, the other attribute alone.
    setxattr(path.c_str(), "system.posix_acl_access", list.data(), list.size(), 0);
    ASSERT_EQ(setxattr(path.c_str(), "user.origin", "kept", 4, 0), 0);
    const std::map<std::string, std::string> attributes = AttributesOf(path);
    const mode_t mode = StatusOf(path).st_mode;
    ASSERT_TRUE(Export(Path("listed"))) << mError;
    EXPECT_GT(std::filesystem::file_size(path), 7u);
    EXPECT_EQ(AttributesOf(path), attributes);
    EXPECT_EQ(StatusOf(path).st_mode, mode);
}

TEST_P(ExportReplacement, FilesThatCannotBeReplacedAsTheyAreAreWrittenInPlace) {
    // Both names of a file see what is written through one.
    const std::string first = mFolder.Write("first" + Extension(), "earlier");
    const std::string second = mFolder / "second";
    std::filesystem::create_hard_link(first, second);
    ASSERT_TRUE(Export(first)) << mError;
    EXPECT_GT(std::filesystem::file_size(first), 7u);
    EXPECT_EQ(StatusOf(first).st_ino, StatusOf(second).st_ino);
    // The earlier bytes kept aside meanwhile went with the export.
    EXPECT_EQ(Count(""), Obj() ? 3 : 2);
    if (geteuid() != 0) GTEST_SKIP() << "only a privileged process can give files to another user";
    // A file of a group the exporter is not in, and two of another user, one
    // the exporter may write but not read, in a folder open to all, which an
    // unprivileged exporter cannot give.
    std::filesystem::create_directories(mFolder / "shared");
    ASSERT_EQ(chmod((mFolder / "shared").c_str(), 0777), 0);
    const std::string grouped = mFolder.Write("shared/grouped" + Extension(), "earlier");
    const std::string theirs = mFolder.Write("shared/theirs" + Extension(), "earlier");
    const std::string writeOnly = mFolder.Write("shared/writeonly" + Extension(), "earlier");
    ASSERT_EQ(chown(grouped.c_str(), kExporter, kOtherGroup), 0);
    ASSERT_EQ(chmod(grouped.c_str(), 0660), 0);
    for (const std::string& path : {theirs, writeOnly}) ASSERT_EQ(chown(path.c_str(), kOther, kOtherGroup), 0);
    ASSERT_EQ(chmod(theirs.c_str(), 0666), 0);
    ASSERT_EQ(chmod(writeOnly.c_str(), 0622), 0);
    EXPECT_EQ(AsExporter([&] {
                  std::string errors;
                  for (const std::string& path : {grouped, theirs, writeOnly}) errors += Export(path) ? "" : mError;
                  return errors;
              }),
              "");
    for (const std::string& path : {grouped, theirs, writeOnly}) {
        SCOPED_TRACE(path);
        EXPECT_GT(std::filesystem::file_size(path), 7u);
        EXPECT_EQ(StatusOf(path).st_uid, path == grouped ? kExporter : kOther);
        EXPECT_EQ(StatusOf(path).st_gid, kOtherGroup);
        EXPECT_EQ(StatusOf(path).st_mode & 0777, path == grouped ? 0660u : path == theirs ? 0666u : 0622u);
    }
}

TEST_P(ExportReplacement, AFileThatCannotTakeItsNameSaysWhyAndLeavesTheLibraryAsItWas) {
    if (geteuid() != 0) GTEST_SKIP() << "only a privileged process can give files to another user";
    // Sticky, for its group only: the exporter may replace its own files
    // there, not another user's.
    std::filesystem::create_directories(mFolder / "sticky");
    ASSERT_EQ(chown((mFolder / "sticky").c_str(), 0, kExporterGroup), 0);
    ASSERT_EQ(chmod((mFolder / "sticky").c_str(), 01770), 0);
    const std::string path = Path("sticky/scene");
    const std::string library = mFolder / "sticky/scene.mtl";
    // No library, one, and one of two names, written in place and put back.
    for (const int libraries : {1, 0, 2}) {
        SCOPED_TRACE(libraries);
        const bool earlierLibrary = libraries > 0;
        std::filesystem::remove(library);
        std::filesystem::remove(mFolder / "sticky/library");
        mFolder.Write("sticky/scene" + Extension(), "earlier");
        ASSERT_EQ(chown(path.c_str(), kExporter, kExporterGroup), 0);
        if (earlierLibrary) {
            mFolder.Write("sticky/scene.mtl", "earlier library");
            ASSERT_EQ(chown(library.c_str(), kExporter, kExporterGroup), 0);
        }
        if (libraries == 2) std::filesystem::create_hard_link(library, mFolder / "sticky/library");
        const std::string outcome = AsExporter([&] {
            const std::unique_ptr<KFbxWriter> writer = Writer();
            if (!writer->FileCreate(path.c_str())) return std::string("not created: ") + writer->GetLastErrorString();
            // Given to another user meanwhile.
            if (seteuid(0) != 0 || chown(path.c_str(), kOther, static_cast<gid_t>(-1)) != 0 || seteuid(kExporter) != 0) {
                return std::string("not given away");
            }
            KFbxStreamOptions* options = writer->GetWriteOptions();
            const bool written = writer->Write(mScene, options);
            const bool closed = writer->FileClose();
            options->Destroy();
            KString message;
            writer->GetMessageText(message);
            return std::string(written && closed ? "kept\n" : "failed\n") + writer->GetLastErrorString() + "\n" +
                   message.Buffer();
        });
        EXPECT_EQ(outcome.rfind("failed\n", 0), 0u) << outcome;
        EXPECT_NE(outcome.find(std::strerror(EPERM)), std::string::npos) << outcome;
        EXPECT_EQ(outcome.find("Out of disk space"), std::string::npos) << outcome;
        EXPECT_EQ(mFolder.Read("sticky/scene" + Extension()), "earlier");
        EXPECT_EQ(std::filesystem::exists(library), earlierLibrary);
        EXPECT_TRUE(!earlierLibrary || mFolder.Read("sticky/scene.mtl") == "earlier library");
        EXPECT_TRUE(libraries < 2 || mFolder.Read("sticky/library") == "earlier library");
        EXPECT_EQ(Count("sticky"), 1 + libraries);
    }
}

TEST_P(ExportReplacement, AFileWrittenInPlaceKeepsItsEarlierBytesWhereNoCopyOfThemCanBeNamedOrMade) {
    // More than any new content.
    const std::string earlier(1 << 20, 'e');
    const auto written = [&](const std::string& folder) {
        return mFolder.Read(folder + "/scene" + Extension()) != earlier && Count(folder) == 4;
    };
    // Whoever watches the folder takes, at the first file made there, each
    // hidden name it shows with ".earlier" after it.
    WriteLinked("watched", earlier);
    folderswap::AtNextCreate([&] {
        for (const auto& entry : std::filesystem::directory_iterator(mFolder / "watched")) {
            if (entry.path().filename().string()[0] == '.') mFolder.Write("watched/" + entry.path().filename().string() + ".earlier", "");
        }
    });
    EXPECT_TRUE(Export(Path("watched/scene"))) << mError;
    folderswap::Disarm();
    EXPECT_TRUE(written("watched"));
    // A file-size limit below the earlier file, above the new content.
    WriteLinked("limited", earlier);
    const boundedrun::Outcome limited = boundedrun::Run(
        [&] {
            const folderswap::FileSizeLimit limit(1 << 19, true);
            return Export(Path("limited/scene")) ? 0 : 1;
        },
        boundedrun::SecondsFor(0));
    EXPECT_TRUE(limited.mReturned && limited.mValue == 0) << limited.mSignal;
    EXPECT_TRUE(written("limited"));
    // A full disk, where the earlier file has room for the new content.
    std::filesystem::create_directories(mFolder / "full");
    const boundedrun::Outcome full = boundedrun::Run(
        [&] {
            if (!MountSmallDisk(mFolder / "full", "size=4m,mode=0755")) return 77;
            WriteLinked("full", earlier);
            FillDisk(mFolder / "full/filler");
            const bool exported = Export(Path("full/scene"));
            std::filesystem::remove(mFolder / "full/filler");
            return exported && written("full") ? 0 : 1;
        },
        boundedrun::SecondsFor(0));
    EXPECT_TRUE(full.mValue == 0 || full.mValue == 77) << full.mValue;
    // A folder that keeps every name, where the system lets the test make
    // one.
    WriteLinked("kept", earlier);
    const KeepingEveryName kept(mFolder / "kept");
    if (kept.Kept()) {
        EXPECT_TRUE(Export(Path("kept/scene"))) << mError;
        EXPECT_TRUE(written("kept"));
    }
}

TEST_P(ExportReplacement, AnExportInAFolderThatKeepsEveryNameLeavesNothingBehind) {
    std::filesystem::create_directories(mFolder / "kept");
    const std::string scene = mFolder.Write("kept/scene" + Extension(), "earlier");
    mFolder.Write("kept/scene.mtl", "earlier library");
    const KeepingEveryName kept(mFolder / "kept");
    if (!kept.Kept()) GTEST_SKIP() << "the file system keeps no folder append-only";
    // A file of one name, written in place, and a new one, with its library.
    const bool obj = Obj();
    EXPECT_TRUE(Export(scene)) << mError;
    EXPECT_GT(std::filesystem::file_size(scene), 7u);
    EXPECT_NE(mFolder.Read("kept/scene.mtl") == "earlier library", obj);
    EXPECT_EQ(Count("kept"), 2);
    const mode_t mask = umask(027);
    EXPECT_TRUE(Export(Path("kept/new"))) << mError;
    umask(mask);
    EXPECT_EQ(StatusOf(Path("kept/new")).st_mode & 07777, 0640u);
    EXPECT_EQ(Count("kept"), obj ? 4 : 3);
    // A name another file took while the new one was written stays its
    // (a writer that ends its file in Write has taken it first).
    const std::unique_ptr<KFbxWriter> writer = Writer();
    ASSERT_TRUE(writer->FileCreate(Path("kept/taken").c_str()));
    KFbxStreamOptions* options = writer->GetWriteOptions();
    EXPECT_TRUE(writer->Write(mScene, options));
    options->Destroy();
    mFolder.Write("kept/taken" + Extension(), "theirs");
    EXPECT_NE(writer->FileClose(), Extension() != ".3ds");
    EXPECT_EQ(mFolder.Read("kept/taken" + Extension()), "theirs");
    EXPECT_EQ(Count("kept"), obj ? 5 : 4);
    // Exports that fail, at a writer's refusal or at a file-size limit, to
    // both.
    const std::string exported = mFolder.Read("kept/scene" + Extension());
    const std::ptrdiff_t before = Count("kept");
    const std::string fresh = Path("kept/fresh");
    for (const std::string& path : {scene, fresh}) {
        const std::unique_ptr<KFbxWriter> writer = Writer();
        ASSERT_TRUE(writer->FileCreate(path.c_str())) << writer->GetLastErrorString();
        EXPECT_FALSE(writer->Write(nullptr, nullptr));
        writer->FileClose();
        const boundedrun::Outcome limited = boundedrun::Run(
            [&] {
                const folderswap::FileSizeLimit limit(32);
                return Export(path) ? 1 : 0;
            },
            boundedrun::SecondsFor(0));
        EXPECT_EQ(limited.mValue, 0) << path;
    }
    EXPECT_EQ(mFolder.Read("kept/scene" + Extension()), exported);
    EXPECT_FALSE(std::filesystem::exists(fresh));
    EXPECT_EQ(Count("kept"), before);
}

TEST_P(ExportReplacement, AnExportEndedAtAnyStepLeavesWhatTheReadmeTurnsBackIntoOneWholeExport) {
    const bool obj = Obj();
    // Longer than any new content, so that one cut short shows.
    const std::string earlier(1 << 15, 'e');
    const std::string earlierLibrary(1 << 14, 'm');
    std::filesystem::create_directories(mFolder / "whole");
    ASSERT_TRUE(Export(Path("whole/scene"))) << mError;
    const std::string whole = mFolder.Read("whole/scene" + Extension());
    const std::string wholeLibrary = obj ? mFolder.Read("whole/scene.mtl") : earlierLibrary;
    // Bit 0: the file has a second name; bit 1: its library has; bit 2: the
    // file system cannot swap two names.
    for (unsigned layout = 0; layout < (obj ? 8u : 2u); ++layout) {
        for (int end = 1;; ++end) {
            boundedrun::Outcome outcome;
            // The advice followed at once, and after an export that finished
            // since, which leaves it nothing stale to put back.
            for (const bool exportedSince : {false, true}) {
                SCOPED_TRACE("layout " + std::to_string(layout) + ", ended at call " + std::to_string(end) +
                             (exportedSince ? ", exported since" : ""));
                std::filesystem::remove_all(mFolder / "out");
                std::filesystem::create_directories(mFolder / "out");
                const std::string path = mFolder.Write("out/scene" + Extension(), earlier);
                mFolder.Write("out/scene.mtl", earlierLibrary);
                if ((layout & 1) != 0) std::filesystem::create_hard_link(path, mFolder / "out/second");
                if ((layout & 2) != 0) std::filesystem::create_hard_link(mFolder / "out/scene.mtl", mFolder / "out/library");
                outcome = boundedrun::Run(
                    [&] {
                        gEndAt = end;
                        gNoExchange = (layout & 4) != 0;
                        return Export(path) ? 0 : 1;
                    },
                    boundedrun::SecondsFor(0));
                EXPECT_TRUE(!exportedSince || Export(path)) << mError;
                FollowTheAdvice(mFolder / "out");
                const std::string file = mFolder.Read("out/scene" + Extension());
                EXPECT_TRUE(exportedSince ? IsLike(file, whole) : file == earlier || IsLike(file, whole));
                EXPECT_TRUE(mFolder.Read("out/scene.mtl") == (file == earlier ? earlierLibrary : wholeLibrary));
                EXPECT_EQ(Count("out"), static_cast<std::ptrdiff_t>(2 + std::bitset<2>(layout).count()));
            }
            if (outcome.mReturned || end == 100) {
                EXPECT_EQ(outcome.mValue, 0);
                break;
            }
        }
    }
}

TEST_P(ExportReplacement, AFinishedExportRemovesOnlyTheCopiesItsOwnFileLeft) {
    // A name of exactly as many bytes as a hidden name keeps of it, and a
    // longer one that starts with it, of two names so that it is written
    // in place.
    const std::string exact = std::string(64 - Extension().size(), 'n') + Extension();
    const std::string longer = exact + ".longer" + Extension();
    std::filesystem::create_hard_link(mFolder.Write(longer, std::string(1 << 15, 'e')), mFolder / "second");
    const auto copies = [&] {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(mFolder / "")) {
            if (entry.path().filename().string().ends_with(".earlier")) names.push_back(entry.path().filename());
        }
        std::sort(names.begin(), names.end());
        return names;
    };
    for (int end = 1; copies().empty() && end < 100; ++end) {
        boundedrun::Run([&] { return gEndAt = end, Export(mFolder / longer) ? 0 : 1; }, boundedrun::SecondsFor(0));
    }
    const std::vector<std::string> killed = copies();
    ASSERT_FALSE(killed.empty());
    // The user's own files of the copies' shape, one held open without a
    // lock by another program.
    const std::vector<std::string> users = {".scene" + Extension() + ".backup0001",
                                            ".scene" + Extension() + ".abcdefghij.earlier"};
    for (const std::string& name : users) mFolder.Write(name, "mine");
    const int open = ::open((mFolder / users[1]).c_str(), O_RDONLY | O_CLOEXEC);
    ASSERT_TRUE(Export(mFolder / exact)) << mError;
    ASSERT_TRUE(Export(Path("scene"))) << mError;
    close(open);
    EXPECT_EQ(copies().size(), killed.size() + 1);
    for (const std::string& name : users) EXPECT_EQ(mFolder.Read(name), "mine");
    // Its own file's export still removes them.
    ASSERT_TRUE(Export(mFolder / longer)) << mError;
    EXPECT_EQ(copies(), std::vector<std::string>{users[1]});
}

TEST_P(ExportReplacement, AnExportInPlaceWaitsForAnotherOfTheSameFile) {
    const std::string path = mFolder.Write("held" + Extension(), "earlier");
    std::filesystem::create_hard_link(path, mFolder / "second");
    // Then again with a SIGXFSZ that another process sends while it waits:
    // it reaches the export's caller, whose handler runs once, or ends it.
    static volatile std::sig_atomic_t caught = 0;
    void (*const catching)(int) = [](int) { caught = caught + 1; };
    for (void (*handling)(int) : {SIG_ERR, catching, SIG_DFL}) {
        // Held by the test as by another export, until this one waits for it.
        const int held = open(path.c_str(), O_RDWR | O_CLOEXEC);
        ASSERT_EQ(flock(held, LOCK_EX), 0);
        const pid_t child = fork();
        if (child == 0) {
            close(held);
            alarm(60);
            if (handling != SIG_ERR) std::signal(SIGXFSZ, handling);
            _exit(Export(path) && caught == (handling == SIG_ERR ? 0 : 1) ? 0 : 1);
        }
        siginfo_t ended{};
        while (!WaitsForLock(child) &&
               waitid(P_PID, static_cast<id_t>(child), &ended, WEXITED | WNOHANG | WNOWAIT) == 0 &&
               ended.si_pid != child) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        if (handling == SIG_ERR) EXPECT_EQ(mFolder.Read("held" + Extension()), "earlier");
        if (handling != SIG_ERR) EXPECT_EQ(sigqueue(child, SIGXFSZ, sigval{}), 0);
        close(held);
        int status = 0;
        waitpid(child, &status, 0);
        if (handling == SIG_DFL) {
            EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGXFSZ) << status;
        } else {
            EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
        }
    }
    // And with one that another of its caller's threads sends the exporting
    // thread while it waits: the handler finds the code it was sent with.
    static volatile std::sig_atomic_t code = 0;
    const boundedrun::Outcome outcome = boundedrun::Run(
        [&] {
            struct sigaction noting {};
            noting.sa_sigaction = [](int, siginfo_t* info, void*) { code = info->si_code; };
            noting.sa_flags = SA_SIGINFO | SA_RESTART;
            const int held = open(path.c_str(), O_RDWR | O_CLOEXEC);
            if (sigaction(SIGXFSZ, &noting, nullptr) != 0 || flock(held, LOCK_EX) != 0) return 2;
            bool exported = false;
            std::thread exporter([&] { exported = Export(path); });
            while (!WaitsForLock(getpid())) std::this_thread::sleep_for(std::chrono::milliseconds(1));
            pthread_kill(exporter.native_handle(), SIGXFSZ);
            close(held);
            exporter.join();
            return exported && code == SI_TKILL ? 0 : 1;
        },
        boundedrun::SecondsFor(0));
    EXPECT_EQ(outcome.mValue, 0);
    EXPECT_GT(std::filesystem::file_size(path), 7u);
}

TEST_P(ExportReplacement, ExportsOfOneFileAtOnceAllSucceedAndLeaveOneWholeExport) {
    const bool obj = Obj();
    std::filesystem::create_directories(mFolder / "whole");
    ASSERT_TRUE(Export(Path("whole/scene"))) << mError;
    if (obj) {
        // While the earlier library is set aside, other exports give its
        // name a library that another export holds set aside under a second
        // name, then a newer one.
        std::filesystem::create_directories(mFolder / "taken");
        mFolder.Write("taken/scene.mtl", "earlier library");
        const std::string other = mFolder.Write("taken/other.mtl", "other library");
        std::filesystem::create_hard_link(other, mFolder / "taken/.other.earlier");
        mFolder.Write("taken/newer.mtl", "newer library");
        int links = 0;
        gAroundSetAside = [&](bool before) {
            if (++links <= 2) std::filesystem::rename(mFolder / (before ? "taken/other.mtl" : "taken/newer.mtl"), mFolder / "taken/scene.mtl");
        };
        EXPECT_TRUE(Export(Path("taken/scene"))) << mError;
        gAroundSetAside = nullptr;
        EXPECT_EQ(Count("taken"), 3) << Names("taken");
        EXPECT_EQ(std::filesystem::hard_link_count(mFolder / "taken/.other.earlier"), 1u);
    }
    const std::string whole = mFolder.Read("whole/scene" + Extension());
    const std::string wholeLibrary = obj ? mFolder.Read("whole/scene.mtl") : "";
    std::filesystem::create_directories(mFolder / "out");
    // Eight processes, then eight threads of one, of ten exports each.
    for (const bool threads : {false, true}) {
        SCOPED_TRACE(threads ? "threads" : "processes");
        EXPECT_EQ(AllAtOnce(8, threads, [&](int) { return ExportAnew(Path("out/scene"), 10); }), 0);
        EXPECT_TRUE(IsLike(mFolder.Read("out/scene" + Extension()), whole));
        EXPECT_TRUE(!obj || mFolder.Read("out/scene.mtl") == wholeLibrary);
        EXPECT_EQ(Count("out"), obj ? 2 : 1) << Names("out");
    }
}

TEST_P(ExportReplacement, PairsLinkedCrosswiseAndExportedAtOnceBothFinish) {
    // b's file is a second name of a's library, and b's library of a's file.
    std::filesystem::create_directories(mFolder / "crossed");
    const std::string a = mFolder.Write("crossed/a" + Extension(), "earlier");
    std::filesystem::create_hard_link(mFolder.Write("crossed/a.mtl", "earlier library"), Path("crossed/b"));
    std::filesystem::create_hard_link(a, mFolder / "crossed/b.mtl");
    for (const bool threads : {false, true}) {
        SCOPED_TRACE(threads ? "threads" : "processes");
        EXPECT_EQ(AllAtOnce(2, threads, [&](int worker) { return ExportAnew(Path(worker == 0 ? "crossed/a" : "crossed/b"), 5); }),
                  0);
    }
    EXPECT_EQ(StatusOf(a).st_ino, StatusOf(mFolder / "crossed/b.mtl").st_ino);
    EXPECT_EQ(Count("crossed"), 4);
}

INSTANTIATE_TEST_SUITE_P(
    EveryWriter, ExportReplacement,
    ::testing::Values(Row{"Fbx6Binary", KFbxFileFormatRegistry::eFBX_BINARY_WRITER, ".fbx"},
                      Row{"Fbx6Ascii", KFbxFileFormatRegistry::eFBX_ASCII_WRITER, ".fbx"},
                      Row{"Fbx6Encrypted", KFbxFileFormatRegistry::eFBX_ENCRYPTED_WRITER, ".fbx"},
                      Row{"Fbx5Binary", KFbxFileFormatRegistry::eFBX5_BINARY_WRITER, ".fbx"},
                      Row{"Fbx5Ascii", KFbxFileFormatRegistry::eFBX5_ASCII_WRITER, ".fbx"},
                      Row{"ThreeDs", KFbxFileFormatRegistry::e3DS_WRITER, ".3ds"},
                      Row{"Dxf", KFbxFileFormatRegistry::eDXF_WRITER, ".dxf"},
                      Row{"Obj", KFbxFileFormatRegistry::eOBJ_WRITER, ".obj"},
                      Row{"ObjInCapitals", KFbxFileFormatRegistry::eOBJ_WRITER, ".OBJ"},
                      Row{"ObjWithoutExtension", KFbxFileFormatRegistry::eOBJ_WRITER, ""},
                      Row{"Collada", KFbxFileFormatRegistry::eCOLLADA_WRITER, ".dae"}),
    [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.mName); });

}  // namespace
