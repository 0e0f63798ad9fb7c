#include "lang/Translation.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <utility>

#include <string>
#include <vector>

#include "LanguageFixture.h"
#include "base/IniFile.h"
#include "base/ProgramError.h"
#include "support/FileSizeLimit.h"
#include "support/Utf16Bytes.h"

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
        "Software VX 212", "a = b = c",  "x==y", "[N]",
        "; note",          "two\nlines", "   ",  std::string_view("&\x02v\0D", 5),
        "L\xF6schen",
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

// A file saved as "Unicode" by a Windows editor, and one whose UTF-8 lines meet a
// Windows-1252 line: every translation reads right, the first write-back makes the
// file UTF-8 throughout, and a second lookup of the same text leaves it alone.
TEST_F(TranslationTest, Utf16AndMixedFilesReadRightAndSettleAfterOneWriteBack) {
    const std::string mixed =
        "[LANGUAGE1]\nClr &Peak=L\xC3\x96SCHEN\nZero .eq. 0=Null .eq. 0 \xE4\n";
    const std::vector<std::string> files = {
        mixed, test::Utf16Bytes(u"[LANGUAGE1]\r\nClr &Peak=L\u00d6SCHEN\r\n"
                                u"Zero .eq. 0=Null .eq. 0 \u00e4\r\n")};
    for (const std::string& bytes : files) {
        WriteBytes(languageFile_, bytes);
        EXPECT_EQ(Translate("Clr &Peak", 1), "LÖSCHEN");
        EXPECT_EQ(Translate("Zero = 0", 1), "Null = 0 ä");
        EXPECT_EQ(Translate("Numbers", 1), "Numbers");
        const std::string written = ReadBytes(languageFile_);
        EXPECT_EQ(written,
                  "[LANGUAGE1]\nClr &Peak=LÖSCHEN\nZero .eq. 0=Null .eq. 0 ä\nNumbers=Numbers\n\n");
        EXPECT_EQ(Translate("Numbers", 1), "Numbers");
        EXPECT_EQ(Translate("Clr &Peak", 1), "LÖSCHEN");
        EXPECT_EQ(ReadBytes(languageFile_), written);
    }
    EXPECT_TRUE(messages_.Shown().empty());
}

TEST_F(TranslationTest, FileThatIsNoTextOrTooLargeIsNeverWrittenBack) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {std::string("[LANGUAGE1]\nMean value=Mittel\0wert\n", 34),
         "it holds zero bytes and is no text (UTF-16 needs its byte-order mark)"},
        {"[LANGUAGE1]\nMean value=" + std::string(IniFile::kMaxFileBytes, 'M') + "\n",
         "it is larger than 4 MB"},
    };
    for (const auto& [bytes, reason] : cases) {
        SCOPED_TRACE(reason);
        WriteBytes(languageFile_, bytes);
        EXPECT_EQ(Translate("Numbers", 1), "");
        EXPECT_EQ(ReadBytes(languageFile_), bytes);
        ASSERT_FALSE(messages_.Shown().empty());
        EXPECT_EQ(messages_.Shown().back(), test::BadLanguageFile(languageFile_, reason));
    }
}

// Every lookup used to read and parse the whole file again.
TEST_F(TranslationTest, FileIsReadAgainOnlyWhenItChangedOnDisk) {
    const auto modified = [this] {
        struct stat st {};
        EXPECT_EQ(stat(languageFile_.c_str(), &st), 0);
        return st.st_mtim;
    };
    const auto setModified = [this](timespec when) {
        const timespec times[2] = {when, when};
        ASSERT_EQ(utimensat(AT_FDCWD, languageFile_.c_str(), times, 0), 0);
    };
    // Rewrites the file in place, then gives it back the modification time it had.
    const auto rewrite = [&](const std::string& from, const std::string& to) {
        const timespec before = modified();
        std::string bytes = ReadBytes(languageFile_);
        bytes.replace(bytes.find(from), from.size(), to);
        WriteBytes(languageFile_, bytes);
        setModified(before);
    };
    constexpr timespec kLastYear{1767225600, 0};  // 2026-01-01
    setModified(kLastYear);
    EXPECT_EQ(Translate("Mean value", 1), "Mittelwert");
    // Same size and time: taken as unchanged, so the kept file answers.
    rewrite("Mittelwert", "Mittelwerk");
    EXPECT_EQ(Translate("Mean value", 1), "Mittelwert");
    // A new time or a new size is a change.
    setModified({kLastYear.tv_sec + 1, 0});
    EXPECT_EQ(Translate("Mean value", 1), "Mittelwerk");
    rewrite("Mittelwerk", "Mittel");
    EXPECT_EQ(Translate("Mean value", 1), "Mittel");
    // A file changed just now is read at every lookup: a second change within the file
    // system's time resolution would not show in its stamp.
    WriteBytes(languageFile_, kGerman);
    EXPECT_EQ(Translate("Mean value", 1), "Mittelwert");
    rewrite("Mittelwert", "Mittelwerk");
    EXPECT_EQ(Translate("Mean value", 1), "Mittelwerk");
}

}  // namespace
}  // namespace vx
