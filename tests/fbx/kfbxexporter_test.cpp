// The exporter's road from a file name to a closed file: the writer it picks,
// the sections an empty scene gets in every mode, and the status of each way
// an export can fail.
#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxExporter.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/fbx/KFbxIO.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>

#include "fbx/FbxWriterTestSupport.h"

#include <cerrno>
#include <cstdint>
#include <csignal>
#include <cstring>
#include <filesystem>

#include <sys/resource.h>

using namespace fbxsdk_2006_11_1;
using namespace fbxsdk_2006_11_1::writertest;

namespace {

class KFbxExporterTest : public WriterTest {};

// Reads the top-level record's "Count" child; -1 when absent.
int ReadCount(KFbx& fbx, const char* record) {
    if (!fbx.FieldReadBegin(record)) {
        return -1;
    }
    int count = -1;
    if (fbx.FieldReadBlockBegin()) {
        count = fbx.FieldReadIDefault("Count", -1);
        fbx.FieldReadBlockEnd();
    }
    fbx.FieldReadEnd();
    return count;
}

// How many children of each name the top-level record has; each entry of
// the list gets its count.
std::vector<int> CountChildren(KFbx& fbx, const char* record, const std::vector<const char*>& children) {
    std::vector<int> counts(children.size(), 0);
    if (fbx.FieldReadBegin(record)) {
        if (fbx.FieldReadBlockBegin()) {
            for (size_t i = 0; i < children.size(); ++i) {
                while (fbx.FieldReadBegin(children[i])) {
                    ++counts[i];
                    fbx.FieldReadEnd();
                }
            }
            fbx.FieldReadBlockEnd();
        }
        fbx.FieldReadEnd();
    }
    return counts;
}

TEST_F(KFbxExporterTest, AnEmptySceneHasEverySectionInEveryMode) {
    for (int format : {KFbxFileFormatRegistry::eFBX_BINARY_WRITER, KFbxFileFormatRegistry::eFBX_ASCII_WRITER,
                       KFbxFileFormatRegistry::eFBX_ENCRYPTED_WRITER}) {
        SCOPED_TRACE(format);
        const std::string path = mFolder / ("empty" + std::to_string(format) + ".fbx");
        ASSERT_TRUE(Export(path, format)) << mLastError;

        KFbx fbx;
        ASSERT_TRUE(fbx.FileOpen(path.c_str())) << fbx.GetLastErrorText();
        EXPECT_EQ(fbx.IsBinary(), format != KFbxFileFormatRegistry::eFBX_ASCII_WRITER);
        EXPECT_EQ(fbx.IsEncrypted(), format == KFbxFileFormatRegistry::eFBX_ENCRYPTED_WRITER);
        EXPECT_EQ(fbx.GetFileHeaderInfo().mFileVersion, 6100);
        ASSERT_EQ(fbx.GetSectionCount(), 2);

        // The switcher node of every scene and the seven producer cameras.
        EXPECT_EQ(ReadCount(fbx, "Definitions"), 8);
        EXPECT_EQ(CountChildren(fbx, "Objects", {"Model", "GlobalSettings"}), (std::vector<int>{8, 1}));
        EXPECT_EQ(CountChildren(fbx, "Relations", {"Model"}), std::vector<int>{8});
        EXPECT_TRUE(fbx.FieldReadBegin("Connections"));
        fbx.FieldReadEnd();
        EXPECT_TRUE(fbx.FieldReadBegin("Takes"));
        fbx.FieldReadEnd();
        EXPECT_TRUE(fbx.FieldReadBegin("Version5"));
        fbx.FieldReadEnd();
        EXPECT_FALSE(fbx.FieldReadBegin("Summary"));

        ASSERT_TRUE(fbx.SelectSection(1));
        ASSERT_TRUE(fbx.FieldReadBegin("Summary"));
        ASSERT_TRUE(fbx.FieldReadBlockBegin());
        EXPECT_EQ(fbx.FieldReadIDefault("Version", 0), 101);
        EXPECT_EQ(fbx.FieldReadIDefault("PasswordProtection", -1), 0);
        fbx.FieldReadBlockEnd();
        fbx.FieldReadEnd();
        EXPECT_TRUE(fbx.FileClose());
    }
}

TEST_F(KFbxExporterTest, APasswordProtectsTheFile) {
    KFbxStreamOptionsFbxWriter* options = KFbxStreamOptionsFbxWriter::Create(mManager, "");
    ASSERT_NE(options, nullptr);
    options->SetOption("PASSWORD ENABLE", true);
    options->SetOption("PASSWORD", "secret");
    const std::string path = mFolder / "protected.fbx";
    ASSERT_TRUE(Export(path, KFbxFileFormatRegistry::eFBX_ENCRYPTED_WRITER, options)) << mLastError;
    {
        KFbx fbx;
        EXPECT_FALSE(fbx.FileOpen(path.c_str(), "wrong"));
    }
    KFbx fbx;
    ASSERT_TRUE(fbx.FileOpen(path.c_str(), "secret")) << fbx.GetLastErrorText();
    ASSERT_TRUE(fbx.SelectSection(1));
    ASSERT_TRUE(fbx.FieldReadBegin("Summary"));
    ASSERT_TRUE(fbx.FieldReadBlockBegin());
    EXPECT_EQ(fbx.FieldReadIDefault("PasswordProtection", -1), 1);
    options->Destroy();
}

TEST_F(KFbxExporterTest, WithoutSceneTheSectionsAreEmpty) {
    const std::string path = mFolder / "noscene.fbx";
    KFbxExporter* exporter = KFbxExporter::Create(mManager, "");
    ASSERT_NE(exporter, nullptr);
    ASSERT_TRUE(exporter->Initialize(path.c_str()));
    exporter->SetFileFormat(KFbxFileFormatRegistry::eFBX_ASCII_WRITER);
    ASSERT_TRUE(exporter->Export(nullptr)) << exporter->GetLastErrorString();
    const std::vector<std::string> lines = ReadLines(path);
    EXPECT_EQ(Record(lines, "Objects:"), (std::vector<std::string>{"Objects:  {", "}"}));
    EXPECT_FALSE(Record(lines, "Summary:").empty());
}

TEST_F(KFbxExporterTest, TheSectionsComeInTheirOrder) {
    KFbxNode* child = AddNode("Child");
    ASSERT_NE(child, nullptr);
    const std::vector<std::string> lines = AsciiLines();
    std::vector<std::string> topLevel;
    for (const std::string& line : lines) {
        if (!line.empty() && line[0] != '\t' && line[0] != ';' && line[0] != '}') {
            topLevel.push_back(line.substr(0, line.find(':')));
        }
    }
    const std::vector<std::string> expected = {"FBXHeaderExtension", "Definitions", "Objects", "Relations",
                                               "Connections", "Takes", "Version5", "Section", "Summary"};
    EXPECT_EQ(topLevel, expected);
    EXPECT_TRUE(Contains(lines, "Connect: \"OO\",\"Model::Child\",\"Model::Scene\""));
    // The root keeps its own name.
    EXPECT_STRNE(mScene->GetRootNode()->GetName(), "Scene");
}

TEST_F(KFbxExporterTest, TheWriterComesFromTheExtensionUnlessAFormatIsChosen) {
    const std::string path = mFolder / "byname.FBX";
    KFbxExporter* exporter = KFbxExporter::Create(mManager, "");
    ASSERT_NE(exporter, nullptr);
    ASSERT_TRUE(exporter->Initialize(path.c_str()));
    EXPECT_EQ(exporter->GetFileFormat(), -1);
    ASSERT_TRUE(exporter->Export(mScene));
    KFbx fbx;
    ASSERT_TRUE(fbx.FileOpen(path.c_str()));
    EXPECT_TRUE(fbx.IsBinary());
    EXPECT_FALSE(fbx.IsEncrypted());

    ASSERT_TRUE(exporter->Initialize((mFolder / "unknown.xyz").c_str()));
    EXPECT_FALSE(exporter->Export(mScene));
    EXPECT_EQ(exporter->GetLastErrorID(), KFbxIO::eINVALID_PARAMETER);
    EXPECT_EQ(std::string(exporter->GetLastErrorString()), "No writer handles the format of " + mFolder / "unknown.xyz");
    EXPECT_FALSE(std::filesystem::exists(mFolder / "unknown.xyz"));

    // A format known by name whose writer is not linked in.
    KFbxFileFormatRegistry& registry = KFbxFileFormatRegistry::Get();
    constexpr int kUnlinked = 9000;
    ASSERT_TRUE(registry.RegisterWriter(kUnlinked, "unl", "Unlinked (*.unl)", nullptr));
    exporter->SetFileFormat(kUnlinked);
    EXPECT_FALSE(exporter->Export(mScene));
    EXPECT_EQ(exporter->GetLastErrorID(), KFbxIO::eUNIDENTIFIED_ERROR);
    EXPECT_EQ(std::string(exporter->GetLastErrorString()), "No writer handles file format 9000 (Unlinked (*.unl))");
}

TEST_F(KFbxExporterTest, AnExportNeedsAFileName) {
    KFbxExporter* exporter = KFbxExporter::Create(mManager, "");
    ASSERT_NE(exporter, nullptr);
    EXPECT_FALSE(exporter->Export(mScene));
    EXPECT_EQ(exporter->GetLastErrorID(), KFbxIO::eUNINITIALIZED_FILENAME);
    EXPECT_FALSE(exporter->Initialize(""));
}

TEST_F(KFbxExporterTest, AFileThatCannotBeCreatedIsReported) {
    EXPECT_FALSE(Export(mFolder / "missing-folder/scene.fbx", KFbxFileFormatRegistry::eFBX_ASCII_WRITER));
    EXPECT_EQ(mLastErrorId, KFbxIO::eFILE_NOT_CREATED);
    EXPECT_EQ(mLastError,
              "File not created (" + (mFolder / "missing-folder/scene.fbx") + ": " + std::strerror(ENOENT) + ")");
    // The status names the file as it was given, separators and all, and
    // the message does not say it again.
    mFolder.Write("plain", "");
    const std::string under = mFolder / "plain/scene.fbx";
    KFbxExporter* exporter = KFbxExporter::Create(mManager, "");
    ASSERT_TRUE(exporter->Initialize(under.c_str()));
    EXPECT_FALSE(exporter->Export(mScene));
    KString message;
    exporter->GetMessageText(message);
    EXPECT_EQ(std::string(exporter->GetLastErrorString()),
              "File not created (" + under + ": " + std::strerror(ENOTDIR) + ")");
    EXPECT_STREQ(message.Buffer(), "");
    exporter->Destroy();
}

TEST_F(KFbxExporterTest, AFullDiskIsReported) {
    if (!std::filesystem::exists("/dev/full")) {
        GTEST_SKIP() << "no /dev/full";
    }
    for (int format : {KFbxFileFormatRegistry::eFBX_BINARY_WRITER, KFbxFileFormatRegistry::eFBX_ASCII_WRITER,
                       KFbxFileFormatRegistry::eFBX_ENCRYPTED_WRITER}) {
        SCOPED_TRACE(format);
        EXPECT_FALSE(Export("/dev/full", format));
        EXPECT_EQ(mLastErrorId, KFbxIO::eOUT_OF_DISK_SPACE);
        // The path, and the system's reason after what was being written.
        EXPECT_EQ(mLastError.rfind("Out of disk space (/dev/full: ", 0), 0u) << mLastError;
        EXPECT_TRUE(mLastError.ends_with(std::string(": ") + std::strerror(ENOSPC) + ")")) << mLastError;
    }
}

// While it lives, files of this process cannot grow past a few bytes: writes
// beyond stop short with EFBIG (the signal that would end the process is
// ignored meanwhile), on a disk that has all the room it needs.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        mSignal = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &mSaved);
        rlimit limit = mSaved;
        limit.rlim_cur = bytes;
        mSet = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &mSaved);
        std::signal(SIGXFSZ, mSignal);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool IsSet() const { return mSet; }

private:
    rlimit mSaved{};
    void (*mSignal)(int) = SIG_DFL;
    bool mSet = false;
};

TEST_F(KFbxExporterTest, AShortWriteIsAWriteErrorNotAFullDisk) {
    for (int format : {KFbxFileFormatRegistry::eFBX_BINARY_WRITER, KFbxFileFormatRegistry::eFBX_ASCII_WRITER,
                       KFbxFileFormatRegistry::eFBX_ENCRYPTED_WRITER, KFbxFileFormatRegistry::eFBX5_BINARY_WRITER,
                       KFbxFileFormatRegistry::eFBX5_ASCII_WRITER}) {
        SCOPED_TRACE(format);
        const std::string path = mFolder / ("short" + std::to_string(format) + ".fbx");
        bool exported = false;
        {
            FileSizeLimit limit(512);
            if (!limit.IsSet()) {
                GTEST_SKIP() << "the file size limit cannot be set";
            }
            exported = Export(path, format);
        }
        EXPECT_FALSE(exported);
        EXPECT_EQ(mLastErrorId, KFbxIO::eUNIDENTIFIED_ERROR);
        EXPECT_EQ(mLastError.rfind("Write error (" + path + ": ", 0), 0u) << mLastError;
        EXPECT_TRUE(mLastError.ends_with(std::string(": ") + std::strerror(EFBIG) + ")")) << mLastError;
        EXPECT_EQ(mLastError.find("disk space"), std::string::npos) << mLastError;
    }
}

TEST_F(KFbxExporterTest, ANestedSceneWrittenIntoAFailedFileGetsItsWriteError) {
    FileSizeLimit limit(512);
    if (!limit.IsSet()) {
        GTEST_SKIP() << "the file size limit cannot be set";
    }
    const std::string path = mFolder / "outer.fbx";
    KFbxStreamOptionsFbxWriter* options = KFbxStreamOptionsFbxWriter::Create(mManager, "");
    KFbxExporter* exporter = KFbxExporter::Create(mManager, "");
    IFbxObject* outer = IFbxObject::Create();
    ASSERT_TRUE(options != nullptr && exporter != nullptr && outer != nullptr);
    EXPECT_TRUE(outer->FileCreate(path.c_str(), false, false, nullptr));
    // More than the field file keeps back: it goes out now, and stops short.
    const std::vector<double> values(1 << 18, 0.5);
    outer->FieldWriteBegin("Outer");
    outer->FieldWriteArrayD(values.data(), static_cast<std::int64_t>(values.size()));
    outer->FieldWriteEnd();
    EXPECT_FALSE(exporter->WriteWithFbxWriter(mScene, options, outer));
    EXPECT_EQ(exporter->GetLastErrorID(), KFbxIO::eUNIDENTIFIED_ERROR);
    const std::string text = exporter->GetLastErrorString();
    EXPECT_EQ(text.rfind("Write error (" + path + ": ", 0), 0u) << text;
    outer->FileClose();
    outer->Destroy();
    exporter->Destroy();
    options->Destroy();
}

TEST_F(KFbxExporterTest, OptionsOfAnotherKindAreRefusedAndTheFileStillCloses) {
    KFbxStreamOptions* options = KFbxStreamOptionsFbxReader::Create(mManager, "");
    ASSERT_NE(options, nullptr);
    const std::string path = mFolder / "refused.fbx";
    EXPECT_FALSE(Export(path, KFbxFileFormatRegistry::eFBX_BINARY_WRITER, options));
    EXPECT_EQ(mLastErrorId, KFbxIO::eSTREAM_OPTIONS_NOT_SET);
    EXPECT_EQ(mLastError, "Stream options not set");
    // Closed, and given up: no file where there was none.
    EXPECT_FALSE(std::filesystem::exists(path));
    options->Destroy();
}

}  // namespace
