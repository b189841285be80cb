// Writing a scene as an FBX 5 file with a writer of the test's own, so that
// its status can be looked at, and cutting records out of the ascii text.
#ifndef TESTS_FBX_FBX5WRITERSUPPORT_H
#define TESTS_FBX_FBX5WRITERSUPPORT_H

#include <fbxfilesdk/fbx/IFbxObject.h>
#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxStreamOptionsFbx.h>
#include <fbxfilesdk/fbx/KFbxWriterFbx.h>

#include "Fbx6WriterSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <sstream>
#include <string>

namespace fbxsdk_2006_11_1::fbx5test {

using fbx6test::ExpectGolden;
using fbx6test::ReadText;
using fbx6test::RecordsOf;

class Fbx5WriterTest : public writertest::WriterTest {
protected:
    void SetUp() override {
        WriterTest::SetUp();
        mOptions = KFbxStreamOptionsFbxWriter::Create(mManager, "");
        ASSERT_NE(mOptions, nullptr);
    }
    void TearDown() override {
        mOptions->Destroy();
        WriterTest::TearDown();
    }

    // Writes the scene with the options into the file; the write's result.
    bool WriteFile(const std::string& path, bool binary = false) {
        KFbxWriterFbx writer(*mManager, nullptr);
        writer.SetFileMode(binary ? KFbxWriterFbxCommon::eBINARY : KFbxWriterFbxCommon::eASCII);
        EXPECT_TRUE(writer.FileCreate(path.c_str())) << writer.GetLastErrorString();
        const bool written = writer.Write(mScene, mOptions);
        mLastErrorId = writer.GetLastErrorID();
        mLastError = writer.GetLastErrorString();
        EXPECT_TRUE(writer.FileClose());
        return written;
    }

    // The scene written in ascii: the file's records after its header.
    std::string Records() {
        EXPECT_TRUE(WriteFile(Path())) << mLastError;
        return RecordsOf(ReadText(Path()));
    }

    // Runs body on a writer between the creation and the close of an ascii
    // file; the file's records. The field file is closed by itself: the
    // writer keeps a file only after a write of its own.
    std::string WriteWith(const std::function<void(KFbxWriterFbx&)>& body) {
        KFbxWriterFbx writer(*mManager, nullptr);
        writer.SetFileMode(KFbxWriterFbxCommon::eASCII);
        EXPECT_TRUE(writer.FileCreate(Path().c_str()));
        if (writer.GetFieldFile() != nullptr) {
            body(writer);
            EXPECT_TRUE(writer.GetFieldFile()->FileClose());
        }
        return RecordsOf(ReadText(Path()));
    }

    std::string Path() const { return (mFolder.Path() / "scene.fbx").string(); }

    // The lines of the first record whose line starts with the head after
    // its indentation, up to the brace that closes it, unindented by that
    // much; "" when there is none.
    static std::string RecordText(const std::string& text, const std::string& head) {
        std::istringstream in(text);
        std::string out;
        std::string close;
        std::size_t indent = 0;
        for (std::string line; std::getline(in, line);) {
            if (close.empty()) {
                indent = line.find_first_not_of('\t');
                if (indent == std::string::npos || line.compare(indent, head.size(), head) != 0) continue;
                out = line.substr(indent) + "\n";
                if (line.back() != '{') return out;
                close = std::string(indent, '\t') + "}";
                continue;
            }
            out += (line.size() >= indent ? line.substr(indent) : line) + "\n";
            if (line == close) return out;
        }
        return out;
    }

    KFbxStreamOptionsFbxWriter* mOptions = nullptr;
};

}  // namespace fbxsdk_2006_11_1::fbx5test

#endif
