#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "LanguageFixture.h"
#include "lang/LanguageFile.h"
#include "lang/Translation.h"

namespace vx {
namespace {

using test::ReadBytes;
using test::WriteBytes;
using Names = std::vector<std::string>;

class LanguageListTest : public test::LanguageTest {
  protected:
    Names NamesOf(std::string_view fileText) {
        WriteBytes(languageFile_, fileText);
        const auto file = OpenLanguageFile(folders_, messages_);
        return file ? LanguageNames(*file) : Names{"not opened"};
    }
};

TEST_F(LanguageListTest, NamesUpToTheFirstMissingOne) {
    struct Case {
        std::string_view file;
        Names expected;
    };
    const Case cases[] = {
        {"", {"English"}},
        {"[LANGUAGE1]\nLanguage=Deutsch\n[language2]\nlanguage=Français\n",
         {"English", "Deutsch", "Français"}},
        {"[LANGUAGE1]\nLanguage=Deutsch\n[LANGUAGE3]\nLanguage=Polski\n", {"English", "Deutsch"}},
        {"[LANGUAGE1]\nMean value=Mittelwert\n[LANGUAGE2]\nLanguage=Polski\n", {"English"}},
        {"[LANGUAGE1]\nLanguage=\n[LANGUAGE2]\nLanguage=Polski\n", {"English"}},
        {"[LANGUAGE1]\nLanguage=#\n[LANGUAGE2]\nLanguage=Polski\n", {"English"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(NamesOf(c.file), c.expected) << c.file;
    }
    EXPECT_TRUE(messages_.Shown().empty());
}

TEST_F(LanguageListTest, OpeningTheFile) {
    // Missing: empty, and not created by opening.
    auto file = OpenLanguageFile(folders_, messages_);
    ASSERT_TRUE(file);
    EXPECT_EQ(LanguageNames(*file), Names{"English"});
    EXPECT_FALSE(std::filesystem::exists(languageFile_));
    EXPECT_TRUE(messages_.Shown().empty());

    std::filesystem::create_directory(languageFile_);
    EXPECT_FALSE(OpenLanguageFile(folders_, messages_));
    folders_.applicationData.reset();
    EXPECT_FALSE(OpenLanguageFile(folders_, messages_));
    EXPECT_EQ(messages_.Shown(),
              (std::vector{test::BadLanguageFile(languageFile_, "it is not a regular file"),
                           test::kNoAppData}));
}

TEST_F(LanguageListTest, SelectedItem) {
    EXPECT_EQ(LanguageListItem(0, 1), 0);
    EXPECT_EQ(LanguageListItem(2, 3), 2);
    EXPECT_EQ(LanguageListItem(3, 3), -1);
    EXPECT_EQ(LanguageListItem(-1, 3), -1);
}

// A Lang beyond the last language: English texts, no list item, and the file
// collects the texts in a section of that number.
TEST_F(LanguageListTest, LanguageBeyondTheLastOne) {
    EXPECT_EQ(NamesOf("[LANGUAGE1]\nLanguage=Deutsch\nMean value=Mittelwert\n").size(), 2U);
    EXPECT_EQ(LanguageListItem(5, 2), -1);
    EXPECT_EQ(TranslateText("Mean value", 5, folders_, messages_), "Mean value");
    EXPECT_EQ(ReadBytes(languageFile_),
              "[LANGUAGE1]\nLanguage=Deutsch\nMean value=Mittelwert\n\n"
              "[LANGUAGE5]\nMean value=Mean value\n\n");
}

}  // namespace
}  // namespace vx
