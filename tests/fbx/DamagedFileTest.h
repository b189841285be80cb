// Damaged copies of a small file, imported into a scene that holds a marker
// node alone before each import: every truncation and every single-byte
// change is either refused with a status, the scene left as it was, or read
// into the scene (the sanitizers watch every access); and a whole or cut
// file imported twice leaves nothing behind with the manager; and a file,
// with or without a password, that another program saves anew or renames
// another file over between the importer's Initialize and Import is read as
// Initialize saw it or refused as cut short or changed. A test names the
// small file and the writer format it is made in.
#ifndef QALIMOR_TESTS_FBX_DAMAGEDFILETEST_H
#define QALIMOR_TESTS_FBX_DAMAGEDFILETEST_H

#include "ReaderTestSupport.h"
#include "support/BoundedRun.h"
#include "support/ImportLeftovers.h"

#include <fbxfilesdk/geometry/KFbxMesh.h>
#include <fbxfilesdk/scene/KFbxNode.h>

#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace fbxsdk_2006_11_1::readertest {

class DamagedFileTest : public ReaderTest, public ::testing::WithParamInterface<int> {
protected:
    // The small file's bytes, in the writer format of the test's parameter.
    virtual std::string SmallFile() = 0;

    // A mesh node of the points, in that format, protected by the password
    // when there is one; 100000 points make arrays past a megabyte.
    std::string PointsFile(int points, const char* name = "Points", const char* password = nullptr) {
        KFbxScene* scene = KFbxScene::Create(mManager, "points");
        KFbxNode* node = KFbxNode::Create(mManager, name);
        KFbxMesh* mesh = KFbxMesh::Create(mManager, "");
        mesh->InitControlPoints(points);
        for (int i = 0; i < mesh->GetControlPointsCount(); ++i) {
            mesh->GetControlPoints()[i] = KFbxVector4(i * 0.25, -i, i % 977, 0);
        }
        node->SetNodeAttribute(mesh);
        scene->GetRootNode()->AddChild(node);
        KFbxStreamOptionsFbxWriter* options = password != nullptr ? WriterOptionsWithPassword(password) : nullptr;
        EXPECT_TRUE(Export(scene, Path("points.fbx"), GetParam(), options));
        if (options != nullptr) options->Destroy();
        scene->Destroy(true);
        return mFolder.Read("points.fbx");
    }

    void ImportEveryTruncation() {
        const std::string bytes = SmallFile();
        ASSERT_FALSE(bytes.empty());
        for (std::size_t size = 0; size < bytes.size(); ++size) {
            ImportDamaged(bytes.substr(0, size), "truncated to " + std::to_string(size));
        }
    }

    void ImportEverySingleByteChange() {
        const std::string bytes = SmallFile();
        ASSERT_FALSE(bytes.empty());
        for (std::size_t at = 0; at < bytes.size(); ++at) {
            ImportDamaged(WithByteChanged(bytes, at), "byte " + std::to_string(at) + " changed");
        }
    }

    void ExpectImportsLeaveNothingBehind() {
        const std::string bytes = SmallFile();
        for (const std::string& file : {bytes, bytes.substr(0, bytes.size() / 2)}) {
            EXPECT_EQ(importleftovers::LeftByTwoImports(*mManager, mFolder.Write("leftovers.fbx", file)), "")
                << file.size() << " of " << bytes.size() << " bytes";
        }
    }

    // The small file, and one whose large arrays are given back once parsed
    // and read from the file again by the import, are saved anew in each
    // way, or another file is renamed over their name; so are the two with
    // a password, in a format that has one. Each import runs in a child
    // process, so that a fault shows as its signal. The import reads the
    // file as Initialize saw it, or fails with the text given.
    void ImportSavedAnewAfterInitialize() {
        constexpr int kLarge = 100000;
        const bool protectable = GetParam() != KFbxFileFormatRegistry::eFBX_ASCII_WRITER &&
                                 GetParam() != KFbxFileFormatRegistry::eFBX5_ASCII_WRITER;
        std::vector<std::pair<std::string, const char*>> files = {{SmallFile(), nullptr},
                                                                  {PointsFile(kLarge), nullptr}};
        if (protectable) {
            files.emplace_back(PointsFile(10, "Points", "pass"), "pass");
            files.emplace_back(PointsFile(kLarge, "Points", "pass"), "pass");
        }
        const std::string another = PointsFile(10, "Another");
        for (const auto& [bytes, password] : files) {
            std::string other = bytes;
            for (std::size_t i = bytes.size() / 2; i < bytes.size(); ++i) other[i] = static_cast<char>(other[i] ^ 0x55);
            struct Saving {
                std::string bytes;
                const char* failure;
                // Written to another name and renamed over the file's.
                bool renamed = false;
            };
            const Saving savings[] = {
                {"", "cut short"},
                {bytes.substr(0, bytes.size() / 2), "cut short"},
                {"; FBX 6.1.0 project file\nFBXHeaderExtension:  {\n\tFBXVersion: 6100\n}\n", "cut short"},
                {other, "changed on disk"},
                {bytes + std::string(bytes.size(), '\n'), "none"},
                {another, "changed on disk", true},
                {other, "changed on disk", true}};
            KFbxStreamOptionsFbxReader* options = password != nullptr ? ReaderOptions() : nullptr;
            if (options != nullptr) options->SetOption("PASSWORD", password);
            KFbxScene* whole = KFbxScene::Create(mManager, "whole");
            if (password != nullptr) {
                EXPECT_FALSE(Import(mFolder.Write("whole.fbx", bytes), whole));
                EXPECT_EQ(mLastErrorId, KFbxIO::eWRONG_PASSWORD) << mLastError;
            }
            ASSERT_TRUE(Import(mFolder.Write("whole.fbx", bytes), whole, options)) << mLastError;
            for (const Saving& saving : savings) {
                const std::string path = mFolder.Write("saved.fbx", bytes);
                const boundedrun::Outcome outcome = boundedrun::Run(
                    [&] {
                        KFbxImporter* importer = KFbxImporter::Create(mManager, "");
                        KFbxScene* read = KFbxScene::Create(mManager, "read");
                        if (!importer->Initialize(path.c_str())) return 2;
                        if (!saving.renamed) {
                            mFolder.Write("saved.fbx", saving.bytes);
                        } else if (std::rename(mFolder.Write("new.fbx", saving.bytes).c_str(), path.c_str()) != 0) {
                            return 5;
                        }
                        if (importer->Import(read, options)) {
                            return scenecompare::SceneComparison::Compare(*whole, *read).empty() ? 0 : 3;
                        }
                        const bool named =
                            std::string(importer->GetLastErrorString()).find(saving.failure) != std::string::npos;
                        return named && read->GetRootNode()->GetChildCount() == 0 ? 1 : 4;
                    },
                    boundedrun::SecondsFor(static_cast<std::int64_t>(bytes.size())));
                EXPECT_TRUE(outcome.mReturned && outcome.mValue <= 1)
                    << bytes.size() << " bytes" << (password != nullptr ? " with a password" : "")
                    << (saving.renamed ? ", another file of " : " saved as ") << saving.bytes.size()
                    << (saving.renamed ? " renamed over it" : "") << ": signal " << outcome.mSignal << ", ending "
                    << outcome.mValue;
            }
            whole->Destroy(true);
            if (options != nullptr) options->Destroy();
        }
    }

private:
    void ImportDamaged(const std::string& bytes, const std::string& what) {
        const std::string path = mFolder.Write("damaged.fbx", bytes);
        if (mTarget == nullptr) {
            mTarget = KFbxScene::Create(mManager, "target");
            mOptions = ReaderOptions();
        }
        if (mMarker == nullptr) {
            mMarker = KFbxNode::Create(mManager, "Marker");
            mTarget->GetRootNode()->AddChild(mMarker);
        }
        if (Import(path, mTarget, mOptions)) {
            ASSERT_NE(mTarget->GetRootNode(), nullptr) << what;
            // The read replaced what the scene held.
            mTarget->Clear();
            mMarker = nullptr;
        } else {
            EXPECT_GE(mLastErrorId, 0) << what;
            EXPECT_FALSE(mLastError.empty()) << what;
            ASSERT_EQ(mTarget->GetRootNode()->GetChildCount(), 1) << what;
            EXPECT_EQ(mTarget->GetRootNode()->GetChild(0), mMarker) << what;
        }
    }

    KFbxScene* mTarget = nullptr;
    KFbxStreamOptionsFbxReader* mOptions = nullptr;
    KFbxNode* mMarker = nullptr;
};

}  // namespace fbxsdk_2006_11_1::readertest

#endif
