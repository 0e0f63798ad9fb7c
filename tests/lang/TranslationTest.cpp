#include "lang/Translation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LanguageFixture.h"
#include "base/ProgramError.h"
#include "support/FileSizeLimit.h"

namespace vx {
namespace {

using test::ReadBytes;
using test::WriteBytes;

constexpr std::string_view kGerman =
    "[LANGUAGE1]\n"
    "Language=Deutsch\n"
    "Mean value=Mittelwert\n"
    "Clr &Peak=Spitze &löschen\n"
    "Zero .eq. 0=Null .eq. 0\n"
    "Maximum=\n"
    "\n"
    "[LANGUAGE2]\n"
    "Language=Français\n"
    "\n";

class TranslationTest : public test::LanguageTest {
  protected:
    TranslationTest() { WriteBytes(languageFile_, kGerman); }

    std::string Translate(std::string_view text, int32_t index) {
        return TranslateText(text, index, folders_, messages_);
    }
};

TEST_F(TranslationTest, EnglishIsTheTrimmedTextAndNeverWrites) {
    for (const int32_t index : {0, -1}) {
        EXPECT_EQ(Translate("  Mean value\t ", index), "Mean value");
        EXPECT_EQ(Translate("Zero = 0", index), "Zero = 0");
    }
    EXPECT_EQ(ReadBytes(languageFile_), kGerman);

    std::filesystem::remove(languageFile_);
    EXPECT_EQ(Translate("Numbers", 0), "Numbers");
    EXPECT_FALSE(std::filesystem::exists(languageFile_));
    EXPECT_TRUE(messages_.Shown().empty());
}

TEST_F(TranslationTest, PresentTranslations) {
    struct Case {
        std::string_view text;
        std::string_view expected;
    };
    const Case cases[] = {
        {"Mean value", "Mittelwert"},
        {"Clr &Peak", "Spitze &löschen"},
        {"Zero = 0", "Null = 0"},
        // Only the blanks at either end come back, each run up to its first other
        // character.
        {"  Mean value", "  Mittelwert"},
        {"Mean value   ", "Mittelwert   "},
        {"\tMean value", "Mittelwert"},
        {" \tMean value\t ", " Mittelwert "},
        // An empty translation empties the caption.
        {"Maximum", ""},
        {"  Maximum ", "   "},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Translate(c.text, 1), c.expected) << c.text;
    }
    EXPECT_EQ(ReadBytes(languageFile_), kGerman);
    EXPECT_TRUE(messages_.Shown().empty());
}

TEST_F(TranslationTest, MissingTextIsAddedOnceWithItselfAsTranslation) {
    EXPECT_EQ(Translate("  Zero = 0", 2), "  Zero = 0");
    const std::string once = ReadBytes(languageFile_);
    // The new entry ends the last section, LANGUAGE2.
    EXPECT_EQ(once,
              std::string(kGerman.substr(0, kGerman.size() - 1)) + "Zero .eq. 0=Zero .eq. 0\n\n");
    EXPECT_EQ(Translate("Zero = 0", 2), "Zero = 0");
    EXPECT_EQ(ReadBytes(languageFile_), once);

    // A language without a section gets one; a missing file is created.
    std::filesystem::remove(languageFile_);
    EXPECT_EQ(Translate("Numbers", 3), "Numbers");
    EXPECT_EQ(Translate("Time", 3), "Time");
    EXPECT_EQ(ReadBytes(languageFile_), "[LANGUAGE3]\nNumbers=Numbers\nTime=Time\n\n");
    EXPECT_TRUE(messages_.Shown().empty());
}

// Texts whose entry could never be read back come back untranslated and are never
// added, so the file does not grow, nor lose entries, at every lookup.
TEST_F(TranslationTest, TextsThatCannotBeStoredLeaveTheFileAlone) {
    const std::string_view texts[] = {
        "Software VX 212", "a = b = c", "x==y", "[N]", "; note", "two\nlines", "   ",
    };
    for (const std::string_view text : texts) {
        for (int lookup = 0; lookup < 2; ++lookup) {
            EXPECT_EQ(Translate(text, 1), Translate(text, 0)) << text;
        }
    }
    EXPECT_EQ(ReadBytes(languageFile_), kGerman);
}

TEST_F(TranslationTest, WindowsFileIsReadAndWrittenBackAsUtf8) {
    WriteBytes(languageFile_, "[LANGUAGE1]\nClr &Peak=Spitze &l\xF6schen\n");
    EXPECT_EQ(Translate("Clr &Peak", 1), "Spitze &löschen");
    EXPECT_EQ(Translate("Numbers", 1), "Numbers");
    EXPECT_EQ(ReadBytes(languageFile_),
              "[LANGUAGE1]\nClr &Peak=Spitze &löschen\nNumbers=Numbers\n\n");
}

TEST_F(TranslationTest, FailuresGiveAnEmptyTextAtEveryLookup) {
    std::filesystem::remove(languageFile_);
    std::filesystem::create_directory(languageFile_);
    EXPECT_EQ(Translate("Mean value", 1), "");
    EXPECT_EQ(Translate("Mean value", 0), "");

    folders_.applicationData.reset();
    EXPECT_EQ(Translate("Mean value", 1), "");
    EXPECT_EQ(Translate("Mean value", 0), "");
    const auto folderInPlace = test::BadLanguageFile(languageFile_, "it is not a regular file");
    EXPECT_EQ(messages_.Shown(),
              (std::vector{folderInPlace, folderInPlace, test::kNoAppData, test::kNoAppData}));
}

TEST_F(TranslationTest, FileThatCannotBeWrittenBackIsAnError) {
    std::filesystem::remove_all(perUser_);
    EXPECT_THROW(Translate("Numbers", 1), ProgramError);
    // Found texts need no write.
    WriteBytes(languageFile_, kGerman);
    {
        const test::FileSizeLimit full(kGerman.size());
        EXPECT_EQ(Translate("Mean value", 1), "Mittelwert");
        EXPECT_THROW(Translate("Numbers", 1), ProgramError);
    }
    EXPECT_EQ(ReadBytes(languageFile_), kGerman);
}

TEST_F(TranslationTest, ComponentsAreTranslatedAndCollectedInTheirOrder) {
    std::vector<std::string> captions = {"Numbers", "Mean value", "Time", "Software VX 212"};
    std::vector<TranslatableText> texts;
    for (std::string& caption : captions) {
        texts.push_back({caption, [&caption](const std::string& text) { caption = text; }});
    }
    TranslateComponents(texts, 1, folders_, messages_);
    EXPECT_EQ(captions,
              (std::vector<std::string>{"Numbers", "Mittelwert", "Time", "Software VX 212"}));
    const std::string file = ReadBytes(languageFile_);
    EXPECT_NE(file.find("Maximum=\nNumbers=Numbers\nTime=Time\n\n[LANGUAGE2]"), std::string::npos)
        << file;
}

}  // namespace
}  // namespace vx
