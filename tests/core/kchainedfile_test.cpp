#include <fbxfilesdk/core/KChainedFile.h>
#include <fbxfilesdk/core/SdkAlloc.h>

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

namespace fbxsdk_2006_11_1 {
namespace {

// A plain layer that tells when it is destroyed.
class WatchedLayer : public KChainedFile {
public:
    explicit WatchedLayer(bool* destroyed) : mDestroyed(destroyed) {}
    ~WatchedLayer() override { *mDestroyed = true; }

private:
    bool* mDestroyed;
};

TEST(KChainedFile, OpenModesFollowTheModeTextAndTheOpenMode) {
    ScratchFolder folder;
    const std::string path = folder.Write("data.bin", "abc");
    KChainedFile layer;
    EXPECT_EQ(layer.GetMode(), KChainedFile::eCLOSED);
    ASSERT_TRUE(layer.OpenWithModeString(path.c_str(), "rb"));
    EXPECT_EQ(layer.GetMode(), KChainedFile::eREAD);
    EXPECT_TRUE(layer.Close());
    EXPECT_EQ(layer.GetMode(), KChainedFile::eCLOSED);
    ASSERT_TRUE(layer.OpenWithModeString(path.c_str(), "ab"));  // no 'r': writing
    EXPECT_EQ(layer.GetMode(), KChainedFile::eWRITE);
    EXPECT_TRUE(layer.Close());
    ASSERT_TRUE(layer.Open(path.c_str(), 0, false));
    EXPECT_EQ(layer.GetMode(), KChainedFile::eREAD);
    layer.Close();
    ASSERT_TRUE(layer.Open(path.c_str(), 3, true));
    EXPECT_EQ(layer.GetMode(), KChainedFile::eWRITE);
    layer.Close();

    EXPECT_FALSE(layer.OpenWithModeString((folder / "missing").c_str(), "rb"));
    EXPECT_EQ(layer.GetMode(), KChainedFile::eCLOSED);
    ASSERT_TRUE(layer.Open(path.c_str(), 2, false));
    EXPECT_FALSE(layer.Open(path.c_str(), 7, false));  // no such open mode
    EXPECT_EQ(layer.GetMode(), KChainedFile::eCLOSED);
    EXPECT_FALSE(layer.IsOpen());  // the earlier file went with the failed open
    EXPECT_FALSE(layer.OpenWithModeString(nullptr, "rb"));
    EXPECT_FALSE(layer.OpenWithModeString(path.c_str(), nullptr));

    char buffer[4];
    ASSERT_TRUE(layer.OpenMemory(buffer, 4, false));
    EXPECT_EQ(layer.GetMode(), KChainedFile::eREAD);
    EXPECT_FALSE(layer.OpenMemory(nullptr, 4, false));
    EXPECT_EQ(layer.GetMode(), KChainedFile::eCLOSED);
}

TEST(KChainedFile, OwnFileOperationsGoThroughToTheDisk) {
    ScratchFolder folder;
    const std::string path = folder / "stream.bin";
    KChainedFile layer;
    ASSERT_TRUE(layer.Open(path.c_str(), 2, false));  // "w+b"
    EXPECT_EQ(layer.Write("hello\nworld", 11), 11);
    layer.Printf("<%d>", 7);
    EXPECT_EQ(layer.Tell(), 14);
    layer.SetPosition(0);
    char line[16];
    EXPECT_STREQ(layer.ReadString(line, sizeof line), "hello\n");
    layer.Seek(1, 2);
    char two[2];
    EXPECT_EQ(layer.Read(two, 2), 2);
    EXPECT_EQ(std::string(two, 2), "rl");
    layer.Seek(2, -3);
    EXPECT_EQ(layer.Read(line, 16), 3);
    EXPECT_EQ(std::string(line, 3), "<7>");
    EXPECT_EQ(layer.Read(line, 1), 0);
    EXPECT_TRUE(layer.Eof());
    EXPECT_EQ(layer.Error(), 0);
    EXPECT_EQ(layer.SetSize(5), 0);
    layer.Flush();
    EXPECT_EQ(layer.GetMemoryBuffer(nullptr), nullptr);  // a disk file has none
    EXPECT_TRUE(layer.Close());
    EXPECT_EQ(folder.Read("stream.bin"), "hello");
}

TEST(KChainedFile, LayerOverAnOpenChainWorksAtOnceAndForwardsEverything) {
    char content[] = "0123456789";
    KChainedFile bottom;
    ASSERT_TRUE(bottom.OpenMemory(content, 10, false));
    bottom.SetPosition(4);

    KChainedFile top(0, &bottom, bottom.GetMode(), false);
    EXPECT_TRUE(top.IsOpen());
    EXPECT_EQ(top.Tell(), 4);
    char out[3];
    EXPECT_EQ(top.Read(out, 3), 3);
    EXPECT_EQ(std::string(out, 3), "456");
    EXPECT_EQ(bottom.Tell(), 7);
    // The top layer has no own file, so it has no memory buffer to show.
    EXPECT_EQ(top.GetMemoryBuffer(nullptr), nullptr);
    std::int64_t size = 0;
    EXPECT_EQ(bottom.GetMemoryBuffer(&size), content);
    EXPECT_EQ(size, 10);

    top.Close();
    EXPECT_FALSE(bottom.IsOpen());
    EXPECT_FALSE(top.IsOpen());
}

TEST(KChainedFile, OpensThroughTheInnerLayerAndPrintsThroughIt) {
    KChainedFile bottom;
    KChainedFile top(0, &bottom, KChainedFile::eCLOSED, false);
    void* block = SdkMalloc(2);
    ASSERT_TRUE(top.OpenMemory(block, 2, true));
    EXPECT_EQ(top.GetMode(), KChainedFile::eREAD);
    EXPECT_EQ(bottom.GetMode(), KChainedFile::eREAD);
    top.Printf("%s:%03d", "id", 5);
    EXPECT_EQ(bottom.Tell(), 6);
    char* buffer = static_cast<char*>(bottom.GetMemoryBuffer(nullptr));
    EXPECT_EQ(std::string(buffer, 6), "id:005");
    SdkFree(buffer);
    top.Close();
}

TEST(KChainedFile, DestroyingAnOwningLayerDestroysTheChainBelow) {
    bool destroyed = false;
    {
        KChainedFile top(0, new WatchedLayer(&destroyed), KChainedFile::eCLOSED, true);
    }
    EXPECT_TRUE(destroyed);

    destroyed = false;
    char content[] = "abc";
    WatchedLayer bottom(&destroyed);
    ASSERT_TRUE(bottom.OpenMemory(content, 3, false));
    {
        KChainedFile top(0, &bottom, bottom.GetMode(), false);
    }
    EXPECT_FALSE(destroyed);
    EXPECT_TRUE(bottom.IsOpen());  // not closed either
    char out[3];
    EXPECT_EQ(bottom.Read(out, 3), 3);
}

TEST(KChainedFile, LayerWithNothingBelowAnswersHarmlessly) {
    KChainedFile layer;
    char buffer[4] = {'x', 'x', 'x', 0};
    EXPECT_EQ(layer.Read(buffer, 3), 0);
    EXPECT_EQ(layer.ReadString(buffer, 4), nullptr);
    EXPECT_EQ(layer.Write(buffer, 3), 0);
    layer.Printf("%s", "nothing");
    EXPECT_EQ(layer.SetSize(3), -1);  // not 0: nothing was resized
    EXPECT_FALSE(layer.Close());
    EXPECT_STREQ(buffer, "xxx");
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
