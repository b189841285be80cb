// For every writer: an export that fails, is given up or is ended midway
// leaves the file it was to replace as it was, and makes none where there was
// none; one through links replaces the file they lead to, which keeps its
// permissions, owner and group.
#include <fbxfilesdk/fbxfilesdk.h>

#include "formats/FormatsTestSupport.h"
#include "support/BoundedRun.h"
#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <iterator>
#include <memory>
#include <ostream>
#include <string>

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace fbxsdk_2006_11_1;

namespace {

struct Row {
    const char* mName;
    int mWriter;
    const char* mExtension;
    friend void PrintTo(const Row& row, std::ostream* out) { *out << row.mName; }
};

class ExportReplacement : public ::testing::TestWithParam<Row> {
protected:
    void SetUp() override {
        mManager.reset(CreateSdkManager());
        mScene = KFbxScene::Create(mManager.get(), "");
        KFbxMesh* mesh = formatstest::MakePlainTriangle(*mManager);
        // A material, so that an OBJ file has its library.
        mesh->AddMaterial(KFbxSurfacePhong::Create(mManager.get(), "Red"));
        KFbxNode* node = KFbxNode::Create(mManager.get(), "Tri");
        node->SetNodeAttribute(mesh);
        mScene->GetRootNode()->AddChild(node);
    }

    std::string Path(const std::string& stem) const { return mFolder / (stem + GetParam().mExtension); }
    std::unique_ptr<KFbxWriter> Writer() const {
        return std::unique_ptr<KFbxWriter>(
            KFbxFileFormatRegistry::Get().CreateWriter(GetParam().mWriter, *mManager, nullptr));
    }
    bool Export(const std::string& path) {
        KFbxExporter* exporter = KFbxExporter::Create(mManager.get(), "");
        exporter->SetFileFormat(GetParam().mWriter);
        const bool exported = exporter->Initialize(path.c_str()) && exporter->Export(mScene);
        exporter->Destroy();
        return exported;
    }
    // Hidden files too.
    std::ptrdiff_t Count(const std::string& folder) const {
        return std::distance(std::filesystem::directory_iterator(mFolder / folder), {});
    }

    std::unique_ptr<KFbxSdkManager> mManager;
    KFbxScene* mScene = nullptr;
    ScratchFolder mFolder;
};

TEST_P(ExportReplacement, FailedGivenUpOrEndedExportsLeaveTheEarlierFileAndMakeNone) {
    std::filesystem::create_directories(mFolder / "out");
    const std::string earlier = mFolder.Write("out/scene" + std::string(GetParam().mExtension), "earlier");
    mFolder.Write("out/scene.mtl", "earlier library");
    const std::string fresh = Path("out/fresh");
    const std::ptrdiff_t before = Count("out");
    const auto unchanged = [&] {
        EXPECT_EQ(mFolder.Read("out/scene" + std::string(GetParam().mExtension)), "earlier");
        EXPECT_EQ(mFolder.Read("out/scene.mtl"), "earlier library");
        EXPECT_FALSE(std::filesystem::exists(fresh));
    };
    // Created and closed with no write between.
    for (const std::string& path : {earlier, fresh}) {
        const std::unique_ptr<KFbxWriter> writer = Writer();
        ASSERT_TRUE(writer->FileCreate(path.c_str())) << writer->GetLastErrorString();
        EXPECT_TRUE(writer->FileClose());
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
    // fails, or ends the process.
    for (const bool killed : {false, true}) {
        for (const std::string& path : {earlier, fresh}) {
            SCOPED_TRACE(path + (killed ? ", killed" : ", cut short"));
            const boundedrun::Outcome outcome = boundedrun::Run(
                [&] {
                    std::signal(SIGXFSZ, killed ? SIG_DFL : SIG_IGN);
                    const rlimit limit{32, RLIM_INFINITY};
                    setrlimit(RLIMIT_FSIZE, &limit);
                    return Export(path) ? 1 : 0;
                },
                boundedrun::SecondsFor(0));
            EXPECT_EQ(outcome.mReturned ? outcome.mValue : outcome.mSignal, killed ? SIGXFSZ : 0);
        }
        unchanged();
        // Only an export ended midway leaves its hidden file behind.
        EXPECT_TRUE(killed || Count("out") == before);
    }
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

INSTANTIATE_TEST_SUITE_P(
    EveryWriter, ExportReplacement,
    ::testing::Values(Row{"Fbx6Binary", KFbxFileFormatRegistry::eFBX_BINARY_WRITER, ".fbx"},
                      Row{"Fbx6Ascii", KFbxFileFormatRegistry::eFBX_ASCII_WRITER, ".fbx"},
                      Row{"Fbx6Encrypted", KFbxFileFormatRegistry::eFBX_ENCRYPTED_WRITER, ".fbx"},
                      Row{"Fbx5Binary", KFbxFileFormatRegistry::eFBX5_BINARY_WRITER, ".fbx"},
                      Row{"ThreeDs", KFbxFileFormatRegistry::e3DS_WRITER, ".3ds"},
                      Row{"Dxf", KFbxFileFormatRegistry::eDXF_WRITER, ".dxf"},
                      Row{"Obj", KFbxFileFormatRegistry::eOBJ_WRITER, ".obj"},
                      Row{"Collada", KFbxFileFormatRegistry::eCOLLADA_WRITER, ".dae"}),
    [](const ::testing::TestParamInfo<Row>& info) { return std::string(info.param.mName); });

}  // namespace
