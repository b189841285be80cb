// A manager and a scene to export, and the written file as text lines or as
// a field file to read back.
#ifndef TESTS_FBX_FBXWRITERTESTSUPPORT_H
#define TESTS_FBX_FBXWRITERTESTSUPPORT_H

#include <fbxfilesdk/core/KFbxSdkManager.h>
#include <fbxfilesdk/fbx/KFbx.h>
#include <fbxfilesdk/fbx/KFbxExporter.h>
#include <fbxfilesdk/fbx/KFbxFileFormatRegistry.h>
#include <fbxfilesdk/fbx/KFbxStreamOptions.h>
#include <fbxfilesdk/scene/KFbxNode.h>
#include <fbxfilesdk/scene/KFbxScene.h>

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1::writertest {

class WriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        mManager = CreateSdkManager();
        ASSERT_NE(mManager, nullptr);
        mScene = KFbxScene::Create(mManager, "scene");
        ASSERT_NE(mScene, nullptr);
    }
    void TearDown() override { delete mManager; }

    KFbxNode* AddNode(const char* name, KFbxNode* parent = nullptr) {
        KFbxNode* node = KFbxNode::Create(mManager, name);
        (parent != nullptr ? parent : mScene->GetRootNode())->AddChild(node);
        return node;
    }

    // Exports the scene in a writer format; the exporter's status on failure.
    bool Export(const std::string& path, int format, KFbxStreamOptions* options = nullptr) {
        KFbxExporter* exporter = KFbxExporter::Create(mManager, "");
        if (exporter == nullptr || !exporter->Initialize(path.c_str())) {
            return false;
        }
        exporter->SetFileFormat(format);
        const bool exported = exporter->Export(mScene, options);
        mLastError = exporter->GetLastErrorString();
        exporter->GetMessageText(mExportMessage);
        mLastErrorId = exporter->GetLastErrorID();
        exporter->Destroy();
        return exported;
    }

    // The scene written in ascii, line by line.
    std::vector<std::string> AsciiLines(KFbxStreamOptions* options = nullptr) {
        const std::string path = mFolder / "scene.fbx";
        EXPECT_TRUE(Export(path, KFbxFileFormatRegistry::eFBX_ASCII_WRITER, options)) << mLastError;
        return ReadLines(path);
    }

    static std::vector<std::string> ReadLines(const std::string& path) {
        std::ifstream in(path);
        std::vector<std::string> lines;
        for (std::string line; std::getline(in, line);) {
            lines.push_back(line);
        }
        return lines;
    }

    // The lines of the first record that begins with the head (after its
    // indentation), up to its closing brace; empty when there is none.
    static std::vector<std::string> Record(const std::vector<std::string>& lines, const std::string& head) {
        for (size_t i = 0; i < lines.size(); ++i) {
            const size_t indent = lines[i].find_first_not_of('\t');
            if (indent == std::string::npos || lines[i].compare(indent, head.size(), head) != 0) {
                continue;
            }
            std::vector<std::string> record{lines[i]};
            if (lines[i].back() != '{') {
                return record;
            }
            const std::string close = std::string(indent, '\t') + "}";
            for (size_t j = i + 1; j < lines.size(); ++j) {
                record.push_back(lines[j]);
                if (lines[j] == close) {
                    break;
                }
            }
            return record;
        }
        return {};
    }

    static bool Contains(const std::vector<std::string>& lines, const std::string& line) {
        for (const std::string& candidate : lines) {
            if (candidate.find_first_not_of('\t') != std::string::npos &&
                candidate.substr(candidate.find_first_not_of('\t')) == line) {
                return true;
            }
        }
        return false;
    }

    static int Count(const std::vector<std::string>& lines, const std::string& head) {
        int count = 0;
        for (const std::string& line : lines) {
            const size_t indent = line.find_first_not_of('\t');
            if (indent != std::string::npos && line.compare(indent, head.size(), head) == 0) {
                ++count;
            }
        }
        return count;
    }

    ScratchFolder mFolder;
    KFbxSdkManager* mManager = nullptr;
    KFbxScene* mScene = nullptr;
    std::string mLastError;
    int mLastErrorId = -1;
    // The last export's message text.
    KString mExportMessage;
};

}  // namespace fbxsdk_2006_11_1::writertest

#endif
