// The field file's output buffer over a stream: corrections that reach back
// into bytes already sent, at offsets past 4 GiB, and the cause it keeps
// when the stream fails.
#include <fbxfilesdk/core/KChainedFile.h>
#include <fbxfilesdk/fbx/FieldOutput.h>

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

namespace fbxsdk_2006_11_1 {
namespace {

// A stream that keeps no bytes, only its position and size and the writes
// made before its end; it takes at most `limit` bytes a write and then
// reports `error` as its system error.
class CountingLayer : public KChainedFile {
public:
    struct Rewrite {
        std::int64_t offset;
        std::string bytes;
    };

    CountingLayer() : KChainedFile(0, nullptr, eWRITE) {}

    std::int64_t Write(const void* buffer, std::int64_t count) override {
        const std::int64_t taken = count < limit ? count : limit;
        if (position < size) rewrites.push_back({position, std::string(static_cast<const char*>(buffer), taken)});
        position += taken;
        if (position > size) size = position;
        return taken;
    }
    void SetPosition(std::int64_t offset) override { position = offset; }
    std::int64_t Tell() override { return position; }
    bool IsOpen() override { return true; }
    int GetSystemError() override { return limit < INT64_MAX ? error : 0; }

    std::int64_t position = 0;
    std::int64_t size = 0;
    std::int64_t limit = INT64_MAX;
    int error = 0;
    std::vector<Rewrite> rewrites;
};

TEST(FieldOutput, CorrectionsReachBytesSentPastFourGiB) {
    CountingLayer layer;
    FieldOutput output;
    output.SetStream(&layer);
    constexpr std::uint64_t kFar = (std::uint64_t(4) << 30) + 5;
    while (output.Position() < kFar) {
        const std::uint64_t left = kFar - output.Position();
        output.Extend(left < FieldOutput::kFlushThreshold ? left : FieldOutput::kFlushThreshold);
        ASSERT_TRUE(output.Flush()) << output.GetFailureDetail();
    }
    output.AppendLittleEndian(0, 8);
    ASSERT_TRUE(output.Flush());
    output.AppendLittleEndian(0, 4);
    ASSERT_EQ(layer.size, static_cast<std::int64_t>(kFar + 8));

    ASSERT_TRUE(output.PatchLittleEndian(kFar, 0x8877665544332211u, 8));
    // Half sent, half still pending: each half goes where it is.
    ASSERT_TRUE(output.PatchLittleEndian(kFar + 6, 0xDDCCBBAA, 4));
    ASSERT_EQ(layer.rewrites.size(), 2u);
    EXPECT_EQ(layer.rewrites[0].offset, static_cast<std::int64_t>(kFar));
    EXPECT_EQ(layer.rewrites[0].bytes, std::string("\x11\x22\x33\x44\x55\x66\x77\x88", 8));
    EXPECT_EQ(layer.rewrites[1].offset, static_cast<std::int64_t>(kFar + 6));
    EXPECT_EQ(layer.rewrites[1].bytes, "\xAA\xBB");
    EXPECT_EQ(output.Pending()[0], 0xCC);
    EXPECT_EQ(output.Pending()[1], 0xDD);
    // The stream is back at its end for the bytes that follow.
    EXPECT_EQ(layer.position, static_cast<std::int64_t>(kFar + 8));
    EXPECT_FALSE(output.HasFailed());
    output.Reset();
}

TEST(FieldOutput, AShortWriteIsAWriteErrorAndOnlyENOSPCAFullDisk) {
    struct Case {
        int error;
        FieldOutput::EFailure failure;
        const char* cause;
    };
    const Case cases[] = {
        {0, FieldOutput::EFailure::eWriteError, "fewer bytes"},
        {EIO, FieldOutput::EFailure::eWriteError, std::strerror(EIO)},
        {ENOSPC, FieldOutput::EFailure::eDiskFull, std::strerror(ENOSPC)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        CountingLayer layer;
        FieldOutput output;
        output.SetStream(&layer);
        output.Append("first", 5);
        ASSERT_TRUE(output.Flush());
        layer.limit = 3;
        layer.error = c.error;
        output.Append("second", 6);
        EXPECT_FALSE(output.Flush());
        EXPECT_EQ(output.GetFailure(), c.failure);
        EXPECT_NE(output.GetFailureDetail().find("offset 5"), std::string::npos) << output.GetFailureDetail();
        EXPECT_NE(output.GetFailureDetail().find(c.cause), std::string::npos) << output.GetFailureDetail();
        // The first cause stays, and nothing more goes out.
        layer.limit = INT64_MAX;
        output.FailFormatLimit("later");
        EXPECT_EQ(output.GetFailure(), c.failure);
        EXPECT_FALSE(output.Flush());
        EXPECT_FALSE(output.PatchLittleEndian(0, 1, 1));
        EXPECT_TRUE(layer.rewrites.empty());
        output.Reset();
        EXPECT_FALSE(output.HasFailed());
    }
}

}  // namespace
}  // namespace fbxsdk_2006_11_1
