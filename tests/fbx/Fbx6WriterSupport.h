// Running record writers of the FBX 6 writer on small scenes: the records go
// into an ascii (or binary) file of a scratch folder, which the tests compare
// with golden texts or open again with the field file.
#ifndef TESTS_FBX_FBX6WRITERSUPPORT_H
#define TESTS_FBX_FBX6WRITERSUPPORT_H

#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx6.h>

#include "FbxWriterTestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <string>

namespace fbxsdk_2006_11_1::fbx6test {

inline std::filesystem::path GoldenFolder() { return std::filesystem::path(__FILE__).parent_path() / "golden"; }

inline std::string ReadText(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The records of an ascii file, from its first line that starts a record at
// the top level after the file header: the header's lines (version, creator)
// are not the records' to test.
inline std::string RecordsOf(const std::string& text) {
    const std::size_t header = text.find("FBXHeaderExtension:");
    std::size_t from = 0;
    if (header != std::string::npos) {
        // The header block ends at the first closing brace at the line start.
        const std::size_t close = text.find("\n}", header);
        from = close == std::string::npos ? text.size() : text.find('\n', close + 1);
        from = from == std::string::npos ? text.size() : from + 1;
    }
    return text.substr(from);
}

// Compares with golden/<name>.txt; with QALIMOR_UPDATE_GOLDEN set the golden
// file is written instead (to be read and checked by hand before it is kept).
inline void ExpectGolden(const std::string& actual, const std::string& name) {
    const std::filesystem::path path = GoldenFolder() / (name + ".txt");
    if (std::getenv("QALIMOR_UPDATE_GOLDEN") != nullptr) {
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary) << actual;
        return;
    }
    ASSERT_TRUE(std::filesystem::exists(path)) << path;
    EXPECT_EQ(actual, ReadText(path)) << "golden " << name;
}

// A manager, a scene and an FBX 6 writer over a file of a scratch folder.
class Fbx6WriterTest : public writertest::WriterTest {
protected:
    void SetUp() override {
        WriterTest::SetUp();
        mWriter = std::make_unique<KFbxWriterFbx6>(*mManager, nullptr);
    }
    void TearDown() override {
        mWriter.reset();
        WriterTest::TearDown();
    }

    // Runs body between the file's creation and its close (ascii unless
    // binary); the file's text. The field file is closed by itself: the
    // writer keeps a file only after a write of its own.
    std::string Write(const std::function<void(KFbxWriterFbx6&)>& body, bool binary = false) {
        mWriter->SetFileMode(binary ? KFbxWriterFbxCommon::eBINARY : KFbxWriterFbxCommon::eASCII);
        EXPECT_TRUE(mWriter->FileCreate(Path().c_str()));
        if (mWriter->GetFieldFile() != nullptr) {
            body(*mWriter);
            EXPECT_TRUE(File().FileClose());
        }
        return ReadText(Path());
    }
    std::string WriteRecords(const std::function<void(KFbxWriterFbx6&)>& body) { return RecordsOf(Write(body)); }

    // Opens the file last written for reading at its top level.
    bool Open(KFbx& file) { return file.FileOpen(Path().c_str()); }

    std::string Path() const { return (mFolder.Path() / "records.fbx").string(); }
    KFbx& File() { return *mWriter->GetFieldFile(); }

    std::unique_ptr<KFbxWriterFbx6> mWriter;
};

}  // namespace fbxsdk_2006_11_1::fbx6test

#endif
