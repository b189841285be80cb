// Damaged copies of a small file, imported into a scene that holds a marker
// node alone before each import: every truncation and every single-byte
// change is either refused with a status, the scene left as it was, or read
// into the scene (the sanitizers watch every access); and a whole or cut
// file imported twice leaves nothing behind with the manager. A test names
// the small file and the writer format it is made in.
#ifndef QALIMOR_TESTS_FBX_DAMAGEDFILETEST_H
#define QALIMOR_TESTS_FBX_DAMAGEDFILETEST_H

#include "ReaderTestSupport.h"
#include "support/ImportLeftovers.h"

#include <fbxfilesdk/scene/KFbxNode.h>

#include <string>

namespace fbxsdk_2006_11_1::readertest {

class DamagedFileTest : public ReaderTest, public ::testing::WithParamInterface<int> {
protected:
    // The small file's bytes, in the writer format of the test's parameter.
    virtual std::string SmallFile() = 0;

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
