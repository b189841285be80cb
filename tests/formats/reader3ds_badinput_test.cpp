// The 3DS reader on damaged files: every cut and every changed byte of a
// small file with each kind of record ends in an error or a scene, never in
// a crash, a stray read or an allocation the file cannot fill.
#include "3dsftk/Ftk3dsTestSupport.h"
#include "formats/Reader3dsTestSupport.h"

#include <fbxfilesdk/core/SdkAlloc.h>

#include "support/ImportLeftovers.h"

#include <algorithm>
#include <cstdlib>
#include <iterator>

namespace fbxsdk_2006_11_1::reader3dstest {
namespace {

// Far below what any count of a 16-bit or 32-bit field could ask for.
constexpr std::size_t kLargestBlockAllowed = 256 * 1024;

class Reader3dsBadInputTest : public Reader3dsTest {
protected:
    void SetUp() override {
        Reader3dsTest::SetUp();
        ASSERT_TRUE(WriteSmallScene(Path("small.3ds")));
        mSample = mFolder.Read("small.3ds");
        ASSERT_GT(mSample.size(), 200u);
        ASSERT_TRUE(SdkSetAllocators(&ftktest::LargestBlock::Malloc, &ftktest::LargestBlock::Calloc, &ftktest::LargestBlock::Realloc,
                                     &std::free));
        ftktest::LargestBlock::largest = 0;
    }
    void TearDown() override {
        EXPECT_LT(ftktest::LargestBlock::largest, kLargestBlockAllowed);
        Reader3dsTest::TearDown();
        ASSERT_TRUE(SdkSetAllocators(&std::malloc, &std::calloc, &std::realloc, &std::free));
    }

    // Imports the bytes into an empty scene: a failure must say why, and
    // the reader's file is closed either way.
    bool ImportBytes(const std::string& bytes, std::size_t at) {
        if (mScene->GetRootNode()->GetChildCount() > 0) {
            mScene->Clear();
        }
        const std::string path = mFolder.Write("bad.3ds", bytes);
        const bool imported = Import(path);
        if (!imported) {
            EXPECT_NE(mLastErrorId, -1) << at;
        }
        EXPECT_EQ(FindFileByName3ds(path.c_str()), nullptr) << at;
        return imported;
    }

    std::string mSample;
};

TEST_F(Reader3dsBadInputTest, TheWholeFileReads) {
    ASSERT_TRUE(ImportBytes(mSample, 0)) << mLastError;
    EXPECT_EQ(ChildNames(Node("Quad")), (std::vector<std::string>{"Quad.B", "Cam", "Cam.Target"}));
    EXPECT_NE(Node("Spot.Target"), nullptr);
}

TEST_F(Reader3dsBadInputTest, AFileCutAnywhereIsAnError) {
    for (std::size_t length = 0; length < mSample.size(); ++length) {
        EXPECT_FALSE(ImportBytes(mSample.substr(0, length), length));
        EXPECT_EQ(mScene->GetRootNode()->GetChildCount(), 0) << length;
    }
}

TEST_F(Reader3dsBadInputTest, AFileCutAnywhereWithItsTopLengthMendedReadsWhatItHolds) {
    int read = 0;
    for (std::size_t length = 6; length < mSample.size(); ++length) {
        std::string cut = mSample.substr(0, length);
        cut.replace(2, 4, ftktest::Le32(static_cast<std::uint32_t>(length)));
        read += ImportBytes(cut, length) ? 1 : 0;
    }
    // Cuts between whole chunks leave a smaller file that still reads.
    EXPECT_GT(read, 0);
}

// The bytes are shared out among instances that run side by side.
constexpr int kByteShares = 4;

class Reader3dsChangedByteTest : public Reader3dsBadInputTest, public ::testing::WithParamInterface<int> {};

TEST_P(Reader3dsChangedByteTest, EveryByteChangedReadsOrFails) {
    int read = 0;
    for (std::size_t at = static_cast<std::size_t>(GetParam()); at < mSample.size(); at += kByteShares) {
        for (unsigned char flip : {0xFF, 0x01}) {
            std::string changed = mSample;
            changed[at] = static_cast<char>(changed[at] ^ flip);
            read += ImportBytes(changed, at) ? 1 : 0;
        }
    }
    EXPECT_GT(read, 0);
}

INSTANTIATE_TEST_SUITE_P(Shares, Reader3dsChangedByteTest, ::testing::Range(0, kByteShares));

// The sample with the length of its first chunk of the tag cut to the
// chunk's header.
std::string CutToItsHeader(std::string bytes, std::uint32_t tag) {
    return bytes.replace(bytes.find(ftktest::Le16(tag), 6) + 2, 4, ftktest::Le32(6));
}

// A file that reads says so when it holds nothing; one that fails says why.
TEST_F(Reader3dsBadInputTest, FilesOfNoContentReadNothing) {
    ASSERT_TRUE(File().Material("Red").Write(Path("materials.3ds")));
    const std::pair<std::string, const char*> files[] = {
        {std::string(), ""},
        {std::string("\x4d\x4d", 2), ""},
        {ftktest::Chunk(M3DMAGIC), "holds no scene content"},
        {ftktest::Chunk(MLIBMAGIC), "holds no scene content"},
        {mFolder.Read("materials.3ds"), "holds no scene content"},
        {CutToItsHeader(mSample, MDATA),
         "stands outside it: the file is damaged (chunk MESH_VERSION 0x3D3E at offset 22)"},
        {CutToItsHeader(mSample, KFDATA), "stands outside it"},
    };
    for (const auto& [bytes, says] : files) {
        const bool read = ImportBytes(bytes, bytes.size());
        EXPECT_EQ(mScene->GetRootNode()->GetChildCount(), 0) << says;
        EXPECT_NE((read ? std::string(mMessage.Buffer()) : mLastError).find(says), std::string::npos)
            << says << " / " << mMessage.Buffer() << mLastError;
    }
}

TEST_F(Reader3dsBadInputTest, FilesOfAnotherKindAreRefused) {
    // The signature and header chunk of a PNG image.
    static constexpr char kPngStart[] = "\x89PNG\r\n\x1a\n\0\0\0\x0dIHDR\0\0\0\x01\0\0\0\x01\x08\x02\0\0\0";
    std::string renamed = mSample;
    renamed[0] = '\x34';
    const std::string others[] = {
        ftktest::Chunk(0x1234, "abc"),
        std::string("v 1 2 3\nv 4 5 6\nf 1 2 3\n"),
        std::string(std::begin(kPngStart), std::end(kPngStart) - 1),
        renamed,
    };
    for (const std::string& bytes : others) {
        EXPECT_FALSE(ImportBytes(bytes, bytes.size()));
        EXPECT_EQ(mScene->GetRootNode()->GetChildCount(), 0);
        EXPECT_EQ(mLastErrorId, KFbxIO::eFILE_CORRUPTED) << mLastError;
        EXPECT_NE(mLastError.find("Not a 3DS file"), std::string::npos) << mLastError;
    }
    EXPECT_NE(mLastError.find("0x4D34"), std::string::npos) << "the top chunk's tag: " << mLastError;
}

TEST_F(Reader3dsBadInputTest, AMeshInstancedManyTimesIsSharedByItsNodes) {
    ASSERT_TRUE(WriteInstancedScene(Path("instanced.3ds"), 200));
    ASSERT_TRUE(Import(Path("instanced.3ds"))) << mLastError;
    EXPECT_EQ(mScene->GetRootNode()->GetChildCount(true), 201);
    const KFbxMesh* mesh = MeshOf(Node("Quad"));
    ASSERT_NE(mesh, nullptr);
    EXPECT_EQ(MeshOf(Node("Quad.I199")), mesh);
    EXPECT_EQ(mManager->GetObjectCount(KFbxMesh::ClassId), 1);
}

TEST_F(Reader3dsBadInputTest, ImportsLeaveNothingBehind) {
    std::string renamed = mSample;
    renamed[0] = '\x34';
    ASSERT_TRUE(WriteInstancedScene(Path("instanced.3ds"), 200));
    const std::pair<std::string, std::string> files[] = {
        {"the whole file", mSample},
        {"a mesh instanced many times", mFolder.Read("instanced.3ds")},
        {"the file cut in half", mSample.substr(0, mSample.size() / 2)},
        {"a top chunk of another kind", renamed},
    };
    for (const auto& [what, bytes] : files) {
        EXPECT_EQ(importleftovers::LeftByTwoImports(*mManager, mFolder.Write("leftovers.3ds", bytes)), "") << what;
    }
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::reader3dstest
