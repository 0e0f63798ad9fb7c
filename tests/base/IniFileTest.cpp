#include "base/IniFile.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "base/ProgramError.h"
#include "support/TempFolder.h"
#include "support/Utf16Bytes.h"

namespace vx {
namespace {

using test::ReadBytes;
using test::TempFolder;
using test::WriteBytes;

class IniFileTest : public ::testing::Test {
  protected:
    IniFile LoadText(std::string_view bytes) {
        WriteBytes(path_, bytes);
        auto file = IniFile::Load(path_);
        EXPECT_TRUE(file.has_value());
        return file.value_or(IniFile());
    }

    TempFolder folder_;
    std::filesystem::path path_ = folder_.Path() / "418config.ini";
};

TEST_F(IniFileTest, NamesMatchWithoutCaseAndLinesAreTrimmed) {
    const IniFile file = LoadText(
        "SampleRate=1\n"  // before any section: ignored
        "  [ config ]  \r\n"
        "  ; SampleRate=2\r\n"
        "\tsamplerate = 3 \r\n"
        "extProgramm = /usr/bin/calc = fast \r\n");
    EXPECT_EQ(file.ReadInteger("Config", "SampleRate", 6), 3);
    EXPECT_EQ(file.ReadInteger("CONFIG", "SAMPLERATE", 6), 3);
    EXPECT_EQ(file.ReadString("Config", "extProgramm", ""), "/usr/bin/calc = fast");
    EXPECT_EQ(file.ReadString("Config", "missing", "dflt"), "dflt");
    EXPECT_EQ(file.ReadString("Other", "SampleRate", "dflt"), "dflt");
}

TEST_F(IniFileTest, LeadingByteOrderMarkIsSkipped) {
    const IniFile file = LoadText("\xEF\xBB\xBF[Config]\nUnit=\xC2\xB5m\n");
    EXPECT_EQ(file.ReadString("Config", "Unit", ""), "\xC2\xB5m");
}

TEST_F(IniFileTest, Windows1252FileIsReadAndWrittenBackAsUtf8) {
    IniFile file = LoadText(
        "[Config]\r\nUnit=\xB0"
        "C\r\nSmall=\xB5m\r\n");
    EXPECT_EQ(file.ReadString("Config", "Unit", ""),
              "\xC2\xB0"
              "C");
    EXPECT_EQ(file.ReadString("Config", "Small", ""), "\xC2\xB5m");

    file.UpdateFile();
    EXPECT_EQ(ReadBytes(path_),
              "[Config]\nUnit=\xC2\xB0"
              "C\nSmall=\xC2\xB5m\n\n");
}

TEST_F(IniFileTest, IntegersAndBooleansReadOnlyWholeNumbers) {
    struct Case {
        const char* text;
        int32_t integer;  // read with default 7
        bool boolean;     // read with default true
    };
    const Case cases[] = {
        {"1", 1, true},     {"0", 0, false},   {"2", 2, true},           {"-1", -1, true},
        {"+5", 5, true},    {"yes", 7, true},  {"1.5", 7, true},         {"", 7, true},
        {"12abc", 7, true}, {"0x10", 7, true}, {"99999999999", 7, true}, {"-", 7, true},
        {"+-1", 7, true},
    };
    for (const Case& c : cases) {
        const IniFile file = LoadText(std::string("[Config]\nKey=") + c.text + "\n");
        EXPECT_EQ(file.ReadInteger("Config", "Key", 7), c.integer) << "'" << c.text << "'";
        EXPECT_EQ(file.ReadBool("Config", "Key", true), c.boolean) << "'" << c.text << "'";
    }
    // "yes" is no number: the default decides, whichever it is.
    EXPECT_FALSE(LoadText("[Config]\nKey=yes\n").ReadBool("Config", "Key", false));
}

TEST_F(IniFileTest, WriteBackKeepsOrderAndDropsCommentsAndStrayLines) {
    IniFile file = LoadText(
        "; delivered settings\n"
        "stray before sections\n"
        "[Config]\n"
        "SampleRate=6\n"
        "; comment inside\n"
        "no equals sign here\n"
        "showMean=1\n"
        "[LANGUAGE1]\n"
        "Language=Deutsch\n");
    file.WriteInteger("config", "samplerate", 9);   // stored spelling stays
    file.WriteBool("Config", "showPeakUp", false);  // new key: end of its section
    file.WriteString("Extra", "Key", "Value");      // new section: end of the file
    file.UpdateFile();

    EXPECT_EQ(ReadBytes(path_),
              "[Config]\n"
              "SampleRate=9\n"
              "showMean=1\n"
              "showPeakUp=0\n"
              "\n"
              "[LANGUAGE1]\n"
              "Language=Deutsch\n"
              "\n"
              "[Extra]\n"
              "Key=Value\n"
              "\n");
}

TEST_F(IniFileTest, MissingFileReadsEmptyAndFirstWriteCreatesIt) {
    auto file = IniFile::Load(path_);
    ASSERT_TRUE(file.has_value());
    EXPECT_EQ(file->ReadInteger("Config", "SampleRate", 6), 6);
    EXPECT_FALSE(std::filesystem::exists(path_));

    file->WriteBool("Config", "showMean", true);
    file->UpdateFile();
    EXPECT_EQ(ReadBytes(path_), "[Config]\nshowMean=1\n\n");
    EXPECT_EQ(IniFile::Load(path_)->ReadBool("Config", "showMean", false), true);
}

// A settings file kept elsewhere through a link, or made private, stays so.
TEST_F(IniFileTest, WriteBackKeepsALinkAndThePermissionBits) {
    const std::filesystem::path target = folder_.Path() / "shared.ini";
    WriteBytes(target, "[Config]\nshowMean=0\n");
    std::filesystem::permissions(
        target, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
    std::filesystem::create_symlink(target, path_);

    auto file = IniFile::Load(path_);
    ASSERT_TRUE(file.has_value());
    file->WriteBool("Config", "showMean", true);
    file->UpdateFile();

    EXPECT_TRUE(std::filesystem::is_symlink(path_));
    EXPECT_EQ(ReadBytes(target), "[Config]\nshowMean=1\n\n");
    EXPECT_EQ(std::filesystem::status(target).permissions() & std::filesystem::perms::all,
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write);
}

TEST_F(IniFileTest, FolderInPlaceOfTheFileCannotBeReadOrWritten) {
    std::filesystem::create_directories(path_);
    EXPECT_FALSE(IniFile::Load(path_).has_value());

    IniFile file(path_);
    file.WriteBool("Config", "showMean", true);
    try {
        file.UpdateFile();
        FAIL() << "no error";
    } catch (const ProgramError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create file " + path_.string() + ": " + std::strerror(EISDIR));
    }
    EXPECT_TRUE(std::filesystem::is_directory(path_));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_.Path()),
                            std::filesystem::directory_iterator()),
              1)
        << "nothing left beside it";
}

TEST_F(IniFileTest, EveryEncodingAnEditorWritesIsRead) {
    const std::u16string text = u"[Config]\r\nName=M\u00fcller \U0001D11E\r\nOther=x\r\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {test::Utf16Bytes(text, false), "Müller 𝄞"},
        {test::Utf16Bytes(text, true), "Müller 𝄞"},
        {"\xEF\xBB\xBF[Config]\nName=M\xC3\xBCller\nOther=x\n", "Müller"},
        // One Windows-1252 line leaves the UTF-8 lines as they are.
        {"[Config]\nName=M\xC3\xBCller\nOther=M\xFCller\n", "Müller"},
    };
    for (const auto& [bytes, name] : cases) {
        SCOPED_TRACE(name);
        const IniFile file = LoadText(bytes);
        EXPECT_EQ(file.ReadString("Config", "Name", ""), name);
        EXPECT_NE(file.ReadString("Config", "Other", ""), "");
    }
    EXPECT_EQ(LoadText("[Config]\nName=M\xC3\xBCller\nOther=M\xFCller\n")
                  .ReadString("Config", "Other", ""),
              "Müller");
}

TEST_F(IniFileTest, FilesThatAreNoTextOrTooLargeAreRefusedWithTheReason) {
    const std::string noText =
        "it holds zero bytes and is no text (UTF-16 needs its byte-order mark)";
    const std::string tooLarge =
        "[Config]\nName=" + std::string(IniFile::kMaxFileBytes, 'x') + "\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {std::string("[Config]\nName=\0x\n", 16), noText},
        {std::string("[\0C\0o\0n\0f\0i\0g\0]\0", 16), noText},  // UTF-16 without its mark
        {std::string("\xFF\xFE[\0C\0o", 7), "it is not valid UTF-16 text"},   // odd length
        {std::string("\xFF\xFE\x00\xDC", 4), "it is not valid UTF-16 text"},  // half a pair
        {tooLarge, "it is larger than 4 MB"},
    };
    for (const auto& [bytes, reason] : cases) {
        SCOPED_TRACE(reason);
        WriteBytes(path_, bytes);
        std::string whyNot;
        EXPECT_FALSE(IniFile::Load(path_, &whyNot).has_value());
        EXPECT_EQ(whyNot, reason);
    }
}

}  // namespace
}  // namespace vx
