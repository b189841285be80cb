#include "Ftk3dsTestSupport.h"

#include <string>
#include <thread>

namespace fbxsdk_2006_11_1::ftktest {
namespace {

class ErrorListTest : public Ftk3dsTest {};

TEST_F(ErrorListTest, NineteenEntriesThenTheOverflowKeepsTheTwentiethThenSaysErrorsWereLost) {
    for (int i = 0; i < 19; ++i) PushError3ds(static_cast<ErrorCode3ds>(1 + i % 19));
    EXPECT_EQ(ErrList3ds[18].errorid, 19);
    EXPECT_EQ(ErrList3ds[19].errorid, NO_FTK_ERRORS);
    EXPECT_EQ(ErrList3ds.Overflow().errorid, NO_FTK_ERRORS);

    PushError3ds(ERR_WRITING_FILE);
    EXPECT_EQ(ErrList3ds.Overflow().errorid, ERR_WRITING_FILE);
    EXPECT_STREQ(ErrList3ds.Overflow().desc, "ERR_WRITING_FILE: Error occured while writing file");

    PushError3ds(ERR_NO_MEM);
    EXPECT_EQ(ErrList3ds.Overflow().errorid, N_ERRORS);
    EXPECT_STREQ(ErrList3ds.Overflow().desc, "N_ERRORS: More errors were reported then could be recorded.");
    for (int i = 0; i < 19; ++i) EXPECT_EQ(ErrList3ds[i].errorid, 1 + i % 19) << i;
}

TEST_F(ErrorListTest, AnErrorNamesTheInnermostChunkBeingRead) {
    PushError3ds(ERR_NO_MEM);
    {
        ErrorChunkScope3ds outer(MDATA, 6);
        {
            ErrorChunkScope3ds inner(MAT_DIFFUSE, 1234);
            PushError3ds(ERR_UNFOUND_CHUNK);
        }
        PushError3ds(ERR_INVALID_CHUNK);
    }
    EXPECT_EQ(DescribeError3ds(ErrList3ds[0]), "ERR_NO_MEM: Not enough memory to complete operation");
    EXPECT_NE(DescribeError3ds(ErrList3ds[1]).find(": The database is missing important file chunks"),
              std::string::npos);
    EXPECT_TRUE(DescribeError3ds(ErrList3ds[1]).ends_with(" (chunk MAT_DIFFUSE 0xA020 at offset 1234)"));
    EXPECT_TRUE(DescribeError3ds(ErrList3ds[2]).ends_with(" (chunk MDATA 0x3D3D at offset 6)"));
    EXPECT_TRUE(DescribeError3ds({ERR_INVALID_CHUNK, nullptr, COLOR_F, 0})
                    .ends_with("(chunk COLOR_F 0x0010 at offset 0)"));
}

TEST_F(ErrorListTest, CodeZeroRecordsNothingAndEveryOtherCodeSetsThePendingFlag) {
    EXPECT_EQ(PushError3ds(NO_FTK_ERRORS), nullptr);
    EXPECT_FALSE(FtkErrorPending);
    EXPECT_STREQ(PushError3ds(ERR_INVALID_ARG),
                 "ERR_INVALID_ARG: The argument passed to the function is invalid.  Usually caused by a NULL "
                 "pointer or an out of range numeric argument.");
    EXPECT_TRUE(FtkErrorPending);
    EXPECT_TRUE(FtkErrorStops());
    EXPECT_EQ(ErrList3ds[0].errorid, ERR_INVALID_ARG);
}

TEST_F(ErrorListTest, TextsStandAsTheyAreAndCodesWithoutATextAreUnknown) {
    EXPECT_STREQ(ErrorCodeToString3ds(ERR_TOO_MANY_FILES),
                 "ERR_TOO_MANY_FILES: The toolkit has reached its maximum open file limit of 252 files.");
    EXPECT_STREQ(ErrorCodeToString3ds(NO_FTK_ERRORS), "NO_FTK_ERRORS: No errors are pending");
    EXPECT_STREQ(ErrorCodeToString3ds(static_cast<ErrorCode3ds>(20)), "Unknown error code was encountered");
    EXPECT_STREQ(ErrorCodeToString3ds(ERR_PUT_FAILED), "Unknown error code was encountered");
    EXPECT_STREQ(ErrorCodeToString3ds(static_cast<ErrorCode3ds>(-1)), "Unknown error code was encountered");
    EXPECT_STREQ(PushError3ds(ERR_PUT_FAILED), "Unknown error code was encountered");
    EXPECT_EQ(ErrList3ds[0].errorid, ERR_PUT_FAILED);
}

TEST_F(ErrorListTest, ClearingEmptiesTheListAndTheFlagSoTheNextOperationRuns) {
    for (int i = 0; i < 25; ++i) PushError3ds(ERR_READING_FILE);
    ClearErrorList3ds();
    EXPECT_FALSE(FtkErrorPending);
    EXPECT_TRUE(RecordedErrors().empty());
    PushError3ds(ERR_NO_MEM);
    EXPECT_EQ(ErrList3ds[0].errorid, ERR_NO_MEM);
}

TEST_F(ErrorListTest, IgnoringErrorsLetsTheTestPass) {
    PushError3ds(ERR_NO_MEM);
    FtkIgnoreErrors = true;
    EXPECT_FALSE(FtkErrorStops());
    FtkIgnoreErrors = false;
    EXPECT_TRUE(FtkErrorStops());
}

TEST_F(ErrorListTest, EachContextKeepsItsErrorsAndFilesInWhicheverThreadItIsCurrent) {
    PushError3ds(ERR_NO_MEM);
    const std::string path = Path("apart.3ds");
    ToolkitContext3ds other;
    file3ds* file = nullptr;
    {
        const ToolkitScope3ds scope(other);
        EXPECT_FALSE(FtkErrorPending);
        file = OpenFile3ds(path.c_str(), "wb");
        ASSERT_NE(file, nullptr);
        PushError3ds(ERR_INVALID_ARG);
    }
    EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_NO_MEM});
    EXPECT_EQ(FindFileByName3ds(path.c_str()), nullptr);
    std::thread([&] {
        EXPECT_FALSE(FtkErrorPending);
        const ToolkitScope3ds scope(other);
        EXPECT_EQ(FindFileByName3ds(path.c_str()), file);
        EXPECT_EQ(RecordedErrors(), std::vector<int>{ERR_INVALID_ARG});
    }).join();
}

}  // namespace
}  // namespace fbxsdk_2006_11_1::ftktest
