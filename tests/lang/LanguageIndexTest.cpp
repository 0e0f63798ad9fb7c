#include "lang/LanguageIndex.h"

#include <gtest/gtest.h>

#include "LanguageFixture.h"
#include "base/ProgramError.h"

namespace vx {
namespace {

using test::ReadBytes;
using test::WriteBytes;

class LanguageIndexTest : public test::LanguageTest {
  protected:
    LanguageIndexTest() {
        WriteBytes(settingsFile_, "[Config]\nSampleRate=3\nLang=2\n");
        WriteBytes(workingSettings_, "[Config]\nLang=4\n");
    }

    Settings InMode(bool configInWorkingDir) {
        Settings settings;
        settings.configInWorkingDir = configInWorkingDir;
        return settings;
    }

    int32_t Read(bool configInWorkingDir) {
        return ReadLanguageIndex(InMode(configInWorkingDir), folders_, messages_);
    }

    bool Store(int32_t index, bool configInWorkingDir) {
        return StoreLanguageIndex(index, InMode(configInWorkingDir), folders_, messages_);
    }

    // In working-directory mode Lang lives beside the working settings, in a
    // language file of its own.
    std::filesystem::path workingLanguage_ = workingDirectory_ / "418config.lng";
    std::filesystem::path workingSettings_ = workingDirectory_ / "418config.ini";
};

TEST_F(LanguageIndexTest, ReadFromTheFileOfTheMode) {
    EXPECT_EQ(Read(false), 2);
    EXPECT_EQ(Read(true), 0);
    WriteBytes(workingLanguage_, "[Config]\nLang=1\n");
    EXPECT_EQ(Read(true), 1);
    WriteBytes(settingsFile_, "[Config]\nLang=7\n");
    EXPECT_EQ(Read(false), 7);

    // Without an application-data folder only the working-directory mode finds it.
    folders_.applicationData.reset();
    EXPECT_EQ(Read(true), 1);
    EXPECT_EQ(Read(false), 0);
    EXPECT_EQ(messages_.Shown(), std::vector{test::kNoAppData});
}

TEST_F(LanguageIndexTest, UnreadableValuesAndFilesGiveEnglish) {
    for (const std::string_view text : {"[Config]\nLang=two\n", "[Config]\n", ""}) {
        WriteBytes(settingsFile_, text);
        EXPECT_EQ(Read(false), 0) << text;
    }
    std::filesystem::create_directory(workingLanguage_);
    EXPECT_EQ(Read(true), 0);
    EXPECT_TRUE(messages_.Shown().empty());
}

TEST_F(LanguageIndexTest, ChoiceGoesToTheFileOfTheModeOnly) {
    // Working directory: its language file is created, nothing else touched.
    ASSERT_TRUE(Store(3, true));
    EXPECT_EQ(ReadBytes(workingLanguage_), "[Config]\nLang=3\n\n");
    EXPECT_EQ(Read(true), 3);
    EXPECT_EQ(ReadBytes(settingsFile_), "[Config]\nSampleRate=3\nLang=2\n");
    EXPECT_EQ(ReadBytes(workingSettings_), "[Config]\nLang=4\n");

    // Per-user settings: the other keys stay.
    ASSERT_TRUE(Store(1, false));
    EXPECT_EQ(ReadBytes(settingsFile_), "[Config]\nSampleRate=3\nLang=1\n\n");
    EXPECT_EQ(ReadBytes(workingLanguage_), "[Config]\nLang=3\n\n");
    EXPECT_FALSE(std::filesystem::exists(perUser_ / "418config.lng"));
    EXPECT_TRUE(messages_.Shown().empty());
}

TEST_F(LanguageIndexTest, ChoiceThatCannotBeStored) {
    folders_.applicationData.reset();
    EXPECT_FALSE(Store(1, false));
    EXPECT_EQ(messages_.Shown(), std::vector{test::kNoAppData});

    // A file that cannot be read is not overwritten.
    std::filesystem::create_directory(workingLanguage_);
    EXPECT_THROW(Store(1, true), ProgramError);
    EXPECT_TRUE(std::filesystem::is_directory(workingLanguage_));
}

}  // namespace
}  // namespace vx
