#include <fbxfilesdk/core/KSettingsFile.h>

#include <fbxfilesdk/core/KFbxSystemUtils.h>

#include "support/ScratchFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace fbxsdk_2006_11_1;

namespace {

// Points the settings folder at a scratch folder for one test.
class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override { KSettingsFile::SetSettingsFolder(mFolder.Path().c_str()); }
    void TearDown() override { KSettingsFile::SetSettingsFolder(nullptr); }

    std::string Value(KSettingsFile& file, const char* section, const char* key, const char* fallback = nullptr) {
        const char* value = file.GetValue(section, key, fallback);
        return value ? value : "<null>";
    }

    ScratchFolder mFolder;
};

}  // namespace

TEST_F(SettingsFileTest, PathsAreInTheSettingsFolder) {
    KSettingsFile plain("Application.txt", false);
    EXPECT_EQ(std::string(plain.GetPath().Buffer()), mFolder / "Application.txt");
    EXPECT_EQ(std::string(plain.GetBackupPath().Buffer()), mFolder / "backupfile.txt");

    char machine[256];
    KFbxGetComputerName(machine, sizeof machine);
    KSettingsFile perMachine("@Application.txt", false);
    EXPECT_EQ(std::string(perMachine.GetPath().Buffer()), mFolder / (std::string(machine) + ".Application.txt"));
    EXPECT_EQ(std::string(perMachine.GetBackupPath().Buffer()), mFolder / (std::string(machine) + ".backupfile.txt"));
}

TEST(SettingsFolder, DefaultIsTheWorkingFolderNeverTheRoot) {
    KSettingsFile::SetSettingsFolder(nullptr);
    EXPECT_EQ(std::string(KSettingsFile::GetSettingsFolder().Buffer()), ".");
    KSettingsFile file("Application.txt", false);
    EXPECT_EQ(std::string(file.GetPath().Buffer()), "./Application.txt");
    KSettingsFile::SetSettingsFolder("");
    EXPECT_EQ(std::string(KSettingsFile::GetSettingsFolder().Buffer()), ".");
}

TEST_F(SettingsFileTest, LookupsStraightFromTheFileMatchPrefixesWithoutCase) {
    mFolder.Write("app.txt", "; settings\n[NumericField]\nDecimal = 3 ; comment\n");
    KSettingsFile file("app.txt", false);
    EXPECT_EQ(Value(file, "numericfield", "decimal"), "3");
    EXPECT_EQ(Value(file, "numericfield", "Dec"), "3");
    EXPECT_EQ(Value(file, "Numeric", "decimal"), "3");
    EXPECT_EQ(Value(file, "Other", "decimal", "2"), "2");
    EXPECT_EQ(Value(file, "NumericField", "missing"), "<null>");
}

TEST_F(SettingsFileTest, MissingFileGivesTheDefaultOrNull) {
    KSettingsFile direct("absent.txt", false);
    EXPECT_EQ(Value(direct, "NumericField", "Decimal", "2"), "2");
    EXPECT_EQ(Value(direct, "NumericField", "Decimal"), "<null>");
    KSettingsFile loaded("absent.txt", true);
    const char* fallback = "2";
    EXPECT_EQ(loaded.GetValue("NumericField", "Decimal", fallback), fallback);
    EXPECT_EQ(loaded.GetValue(nullptr, "Decimal", nullptr), nullptr);
}

TEST_F(SettingsFileTest, LoadedLookupsNeedWholeNames) {
    mFolder.Write("app.txt", "[NumericField]\nDecimal = 3\n");
    KSettingsFile file("app.txt", true);
    EXPECT_EQ(Value(file, "NUMERICFIELD", "decimal"), "3");
    EXPECT_EQ(Value(file, "NumericField", "Dec"), "<null>");
    EXPECT_EQ(Value(file, "Numeric", "Decimal"), "<null>");
}

TEST_F(SettingsFileTest, SavingWritesSectionsInOrderThroughTheBackup) {
    mFolder.Write("app.txt", "[b]\nx=1\n");
    {
        KSettingsFile file("app.txt", true);
        EXPECT_TRUE(file.SetValue("A", "k2", "v 2"));
        EXPECT_TRUE(file.SetValue("A", "K1", "v1"));
        EXPECT_TRUE(file.SetValue("b", "y", "2"));
    }
    EXPECT_EQ(mFolder.Read("app.txt"), "[A]\nK1 = v1\nk2 = v 2\n\n[b]\nx = 1\ny = 2\n");
    EXPECT_FALSE(std::filesystem::exists(mFolder / "backupfile.txt"));

    KSettingsFile again("app.txt", true);
    EXPECT_EQ(Value(again, "a", "k2"), "v 2");
}

TEST_F(SettingsFileTest, SavingANewFileCreatesIt) {
    {
        KSettingsFile file("new.txt", true);
        EXPECT_TRUE(file.SetValue("S", "k", "v"));
    }
    EXPECT_EQ(mFolder.Read("new.txt"), "[S]\nk = v\n");
}

TEST_F(SettingsFileTest, UnchangedFilesAreNotRewritten) {
    mFolder.Write("app.txt", "[S]\nk=v ; kept as written\n");
    { KSettingsFile file("app.txt", true); }
    EXPECT_EQ(mFolder.Read("app.txt"), "[S]\nk=v ; kept as written\n");
}

TEST_F(SettingsFileTest, AFailedSaveLeavesThePreviousFileWhole) {
    mFolder.Write("app.txt", "[S]\nk = old\n");
    std::filesystem::create_directory(mFolder.Path() / "backupfile.txt");  // the backup cannot be written
    {
        KSettingsFile file("app.txt", true);
        EXPECT_TRUE(file.SetValue("S", "k", "new"));
    }
    EXPECT_EQ(mFolder.Read("app.txt"), "[S]\nk = old\n");
}

TEST_F(SettingsFileTest, AFailedRenameKeepsTheOriginalAndTheBackup) {
    std::filesystem::create_directories(mFolder.Path() / "app.txt" / "inside");  // cannot be replaced
    {
        KSettingsFile file("app.txt", true);
        EXPECT_TRUE(file.SetValue("S", "k", "new"));
    }
    EXPECT_TRUE(std::filesystem::is_directory(mFolder.Path() / "app.txt" / "inside"));
    EXPECT_EQ(mFolder.Read("backupfile.txt"), "[S]\nk = new\n");
}

TEST_F(SettingsFileTest, SetValueRefusesTextThatWouldNotReadBack) {
    KSettingsFile direct("app.txt", false);
    EXPECT_FALSE(direct.SetValue("S", "k", "v"));
    KSettingsFile file("app.txt", true);
    EXPECT_FALSE(file.SetValue("S", "k", "a;b"));
    EXPECT_FALSE(file.SetValue("S", "k=", "v"));
    EXPECT_FALSE(file.SetValue("S]", "k", "v"));
    EXPECT_FALSE(file.SetValue("S", "k", "line\nbreak"));
    EXPECT_FALSE(file.SetValue("S", "k", "[x]"));
    EXPECT_FALSE(file.SetValue("", "k", "v"));
    EXPECT_FALSE(file.SetValue("S", "", "v"));
    EXPECT_FALSE(file.SetValue("S", "k", std::string(5000, 'v').c_str()));
    EXPECT_FALSE(file.SetValue("S", "k", nullptr));
    EXPECT_EQ(file.GetValue("S", "k", nullptr), nullptr);
}

TEST_F(SettingsFileTest, BrokenLinesKeepTheGoodEntries) {
    // The tails of over-long lines would read as an entry and a section of their own.
    const std::string filler(4095, 'k');
    mFolder.Write("bad.txt",
                  "orphan = before any section\r\n"
                  "[Good]\r\n"
                  "first = 1\r\n"
                  "no equals sign here\r\n"
                  "= no key\r\n"
                  "second = 2\r" +
                      filler + "x = fake\n" + filler +
                      "[Fake]\n"
                      "y = 1\n"
                      "third\t=\t3\n"
                      "first = shadowed\n"
                      "]backwards[\n"
                      "lost = 1\n"
                      "[Mac]\rcr = only\r"
                      "[Last]\n"
                      "final = no newline");
    for (bool load : {false, true}) {
        KSettingsFile file("bad.txt", load);
        SCOPED_TRACE(load ? "loaded" : "direct");
        EXPECT_EQ(Value(file, "Good", "first"), "1");
        EXPECT_EQ(Value(file, "Good", "second"), "2");
        EXPECT_EQ(Value(file, "Good", "third"), "3");
        EXPECT_EQ(Value(file, "Good", "y"), "1");
        EXPECT_EQ(Value(file, "Good", "x"), "<null>");
        EXPECT_EQ(Value(file, "Fake", "y"), "<null>");
        EXPECT_EQ(Value(file, "Good", "orphan"), "<null>");
        EXPECT_EQ(Value(file, "Good", "lost"), "<null>");  // a broken section line ends the section
        EXPECT_EQ(Value(file, "Mac", "cr"), "only");
        EXPECT_EQ(Value(file, "Last", "final"), "no newline");
    }
}

TEST_F(SettingsFileTest, ValuesKeepInnerSpacesAndBytesAboveAscii) {
    mFolder.Write("u.txt", "[S]\nname ==  caf\xC3\xA9 au lait  \n");
    KSettingsFile file("u.txt", true);
    EXPECT_EQ(Value(file, "S", "name"), "caf\xC3\xA9 au lait");
}

TEST_F(SettingsFileTest, ANulByteLosesOnlyItsOwnLine) {
    using namespace std::string_literals;
    mFolder.Write("nul.txt", "[Good]\n"
                             "first = 1\n"
                             "damaged = a\0b\n"s
                             "second = 2\n"
                             "\0[Fake]\n"s
                             "third = 3\n"
                             "last = x\0"s);
    for (bool load : {false, true}) {
        KSettingsFile file("nul.txt", load);
        SCOPED_TRACE(load ? "loaded" : "direct");
        EXPECT_EQ(Value(file, "Good", "first"), "1");
        EXPECT_EQ(Value(file, "Good", "damaged"), "<null>");
        EXPECT_EQ(Value(file, "Good", "second"), "2");
        EXPECT_EQ(Value(file, "Good", "third"), "3");
        EXPECT_EQ(Value(file, "Fake", "third"), "<null>");
        EXPECT_EQ(Value(file, "Good", "last"), "<null>");
    }
}
