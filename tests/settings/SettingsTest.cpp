#include "settings/Settings.h"

#include <gtest/gtest.h>

#include "base/ProgramError.h"
#include "support/FixedFolders.h"
#include "support/Recorders.h"
#include "support/TempFolder.h"

namespace vx {
namespace {

using test::ReadBytes;
using test::ShownMessage;
using test::WriteBytes;

const ShownMessage kNoAppData{"Path to AppData not found", "Error", MessageIcon::None};

class SettingsTest : public ::testing::Test {
  protected:
    SettingsTest() {
        folders_ = test::FoldersUnder(root_.Path(), install_.string());
        WriteBytes(install_ / "418config.ini", "[Config]\nSampleRate=3\n");
        WriteBytes(install_ / "418config.lng", "[LANGUAGE1]\nLanguage=Deutsch\n");
    }

    std::string PrepareError() {
        try {
            PrepareSettingsFolder(folders_, messages_);
        } catch (const ProgramError& error) {
            return error.what();
        }
        return "no error";
    }

    Settings Load() {
        Settings settings;
        LocaleFormat format;
        format.decimalSeparator = ",";
        LoadSettings(settings, folders_, messages_, format);
        return settings;
    }

    test::TempFolder root_;
    std::filesystem::path install_ = root_.Path() / "opt/Kelvorn/SoftwareVX212";
    std::filesystem::path perUser_ = root_.Path() / "config/Kelvorn/SoftwareVX212";
    test::FixedFolders folders_;
    test::RecordingMessages messages_;
};

TEST_F(SettingsTest, FirstRunCopiesDeliveredFilesAndLaterRunsNever) {
    // The application-data folder itself need not exist yet.
    EXPECT_TRUE(PrepareSettingsFolder(folders_, messages_));
    EXPECT_EQ(ReadBytes(perUser_ / "418config.ini"), "[Config]\nSampleRate=3\n");
    EXPECT_EQ(ReadBytes(perUser_ / "418config.lng"), "[LANGUAGE1]\nLanguage=Deutsch\n");

    std::filesystem::remove(perUser_ / "418config.ini");
    std::filesystem::remove(perUser_ / "418config.lng");
    EXPECT_TRUE(PrepareSettingsFolder(folders_, messages_));
    EXPECT_FALSE(std::filesystem::exists(perUser_ / "418config.ini"));
    EXPECT_FALSE(std::filesystem::exists(perUser_ / "418config.lng"));
    EXPECT_TRUE(messages_.Shown().empty());
}

TEST_F(SettingsTest, CompanyFolderPresentStillGetsTheCopies) {
    WriteBytes(perUser_.parent_path() / "OtherProduct/418config.ini", "[Config]\nSampleRate=1\n");
    EXPECT_TRUE(PrepareSettingsFolder(folders_, messages_));
    EXPECT_EQ(ReadBytes(perUser_ / "418config.ini"), "[Config]\nSampleRate=3\n");
    EXPECT_EQ(ReadBytes(perUser_ / "418config.lng"), "[LANGUAGE1]\nLanguage=Deutsch\n");
}

TEST_F(SettingsTest, MissingDeliveredFilesAreIgnored) {
    std::filesystem::remove_all(install_);
    EXPECT_TRUE(PrepareSettingsFolder(folders_, messages_));
    EXPECT_TRUE(std::filesystem::is_directory(perUser_));
    EXPECT_TRUE(std::filesystem::is_empty(perUser_));

    folders_.programs.reset();
    std::filesystem::remove_all(perUser_);
    EXPECT_TRUE(PrepareSettingsFolder(folders_, messages_));
    EXPECT_TRUE(std::filesystem::is_directory(perUser_));
}

TEST_F(SettingsTest, NoApplicationDataFolderIsReportedAndNothingIsMade) {
    folders_.applicationData.reset();
    EXPECT_FALSE(PrepareSettingsFolder(folders_, messages_));
    EXPECT_EQ(messages_.Shown(), std::vector<ShownMessage>{kNoAppData});
    EXPECT_FALSE(std::filesystem::exists(root_.Path() / "config"));
}

TEST_F(SettingsTest, FolderThatCannotBeMadeEndsWithItsPath) {
    // A regular file where a folder should be stops even root.
    const std::filesystem::path appData = root_.Path() / "config";
    struct Case {
        std::filesystem::path file;
        std::filesystem::path folder;
    };
    const Case cases[] = {
        {appData, appData / "Kelvorn"},
        {appData / "Kelvorn", appData / "Kelvorn"},
        {appData / "Kelvorn/SoftwareVX212", appData / "Kelvorn/SoftwareVX212"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(appData);
        WriteBytes(c.file, "not a folder");
        EXPECT_EQ(PrepareError(), "Cannot create " + c.folder.string()) << c.file;
    }
    EXPECT_TRUE(messages_.Shown().empty());
}

TEST_F(SettingsTest, WorkingDirectoryDecidesWhichSettingsFileIsUsed) {
    const std::string install = install_.string();
    std::string otherCase = install;
    otherCase.replace(otherCase.find("Kelvorn"), 7, "KELVORN");
    struct Case {
        std::string workingDirectory;
        bool inWorkingDir;
    };
    const Case cases[] = {
        {install, false},
        {root_.Path() / "elsewhere", true},
        {otherCase, true},
        {install + "/", true},
    };
    WriteBytes(perUser_ / "418config.ini", "[Config]\nSampleRate=1\n");
    for (const Case& c : cases) {
        WriteBytes(std::filesystem::path(c.workingDirectory) / "418config.ini",
                   "[Config]\nSampleRate=2\n");
        folders_.workingDirectory = c.workingDirectory;
        const Settings settings = Load();
        EXPECT_EQ(settings.configInWorkingDir, c.inWorkingDir) << c.workingDirectory;
        EXPECT_EQ(settings.SampleRate, c.inWorkingDir ? 2 : 1) << c.workingDirectory;
        EXPECT_EQ(SettingsFilePath(settings, folders_, messages_),
                  c.inWorkingDir ? std::filesystem::path(c.workingDirectory) / "418config.ini"
                                 : perUser_ / "418config.ini");
    }
    EXPECT_TRUE(messages_.Shown().empty());
}

TEST_F(SettingsTest, EmptyFileGivesEveryDefault) {
    WriteBytes(perUser_ / "418config.ini", "");
    const Settings s = Load();
    EXPECT_EQ(s.SampleRate, 6);
    EXPECT_EQ(s.Resolution, 0);
    EXPECT_FALSE(s.useSelKeySingleShot);
    EXPECT_EQ(s.extProgramm, "");
    EXPECT_EQ(s.extParameter, "");
    EXPECT_EQ(s.graficMode, 0);
    EXPECT_TRUE(s.showPeakUp);
    EXPECT_TRUE(s.showPeakDn);
    EXPECT_FALSE(s.showPeakUpFiltered);
    EXPECT_FALSE(s.showPeakDnFiltered);
    EXPECT_TRUE(s.showMean);
    EXPECT_FALSE(s.showMeanCompanyTolvik);
    EXPECT_FALSE(s.ClrPeakAfterSingleShot);
    EXPECT_EQ(s.TimerClrPeakMs, 250);
    EXPECT_FALSE(s.ShowClrPeakCheckBox);
    EXPECT_EQ(s.DecimalSeparator, ",");
    EXPECT_FALSE(s.WriteToKeyBuffer);
    EXPECT_FALSE(s.ShowKeyBufCheckBox);
    EXPECT_EQ(s.KeyDebounceTimeMs, 70);
    EXPECT_EQ(s.KeyBufDelayTimeMs, 10);
    EXPECT_EQ(s.KeyboardOutput, "auto");
    EXPECT_EQ(s.PortalRestoreToken, "");
    EXPECT_FALSE(s.configInWorkingDir);
    EXPECT_EQ(s.localeFormat.decimalSeparator, ",");
}

TEST_F(SettingsTest, EveryKeyIsReadUnderItsOwnName) {
    WriteBytes(perUser_ / "418config.ini",
               "[config]\n"
               "SampleRate=12\nResolution=1\nuseSelKeySingleShot=1\n"
               "extProgramm=/usr/bin/gnumeric\nextParameter=--value %1\ngraficMode=2\n"
               "showPeakUp=0\nshowPeakDn=0\nshowPeakUpFiltered=1\nshowPeakDnFiltered=1\n"
               "showMean=0\nshowMeanCompanyTolvik=1\nClrPeakAfterSingleShot=1\n"
               "TimerClrPeakMs=500\nShowClrPeakCheckBox=1\nDecimalSeparator=;.\n"
               "WriteToKeyBuffer=1\nShowKeyBufCheckBox=1\nKeyDebounceTimeMs=0\n"
               "KeyBufDelayTimeMs=25\nKeyboardOutput=portal\nPortalRestoreToken=3f2a-77\n"
               "UsbId=16c0:05dc\n");
    const Settings s = Load();
    EXPECT_EQ(s.SampleRate, 12);
    EXPECT_EQ(s.Resolution, 1);
    EXPECT_TRUE(s.useSelKeySingleShot);
    EXPECT_EQ(s.extProgramm, "/usr/bin/gnumeric");
    EXPECT_EQ(s.extParameter, "--value %1");
    EXPECT_EQ(s.graficMode, 2);
    EXPECT_FALSE(s.showPeakUp);
    EXPECT_FALSE(s.showPeakDn);
    EXPECT_TRUE(s.showPeakUpFiltered);
    EXPECT_TRUE(s.showPeakDnFiltered);
    EXPECT_FALSE(s.showMean);
    EXPECT_TRUE(s.showMeanCompanyTolvik);
    EXPECT_TRUE(s.ClrPeakAfterSingleShot);
    EXPECT_EQ(s.TimerClrPeakMs, 500);
    EXPECT_TRUE(s.ShowClrPeakCheckBox);
    EXPECT_EQ(s.DecimalSeparator, ";");
    EXPECT_TRUE(s.WriteToKeyBuffer);
    EXPECT_TRUE(s.ShowKeyBufCheckBox);
    EXPECT_EQ(s.KeyDebounceTimeMs, 0);
    EXPECT_EQ(s.KeyBufDelayTimeMs, 25);
    EXPECT_EQ(s.KeyboardOutput, "portal");
    EXPECT_EQ(s.PortalRestoreToken, "3f2a-77");
    EXPECT_EQ(s.UsbId, "16c0:05dc");
}

TEST_F(SettingsTest, ValuesOutsideTheirRangeReadAsDefault) {
    struct Case {
        const char* line;
        int32_t Settings::*field;
        int32_t expected;
    };
    const Case cases[] = {
        {"SampleRate=-1", &Settings::SampleRate, 6},
        {"SampleRate=13", &Settings::SampleRate, 6},
        {"SampleRate=0", &Settings::SampleRate, 0},
        {"graficMode=3", &Settings::graficMode, 0},
        {"graficMode=-1", &Settings::graficMode, 0},
        {"graficMode=1", &Settings::graficMode, 1},
        {"TimerClrPeakMs=-5", &Settings::TimerClrPeakMs, 250},
        {"TimerClrPeakMs=60001", &Settings::TimerClrPeakMs, 250},
        {"TimerClrPeakMs=60000", &Settings::TimerClrPeakMs, 60000},
        {"KeyDebounceTimeMs=-1", &Settings::KeyDebounceTimeMs, 70},
        {"KeyDebounceTimeMs=2147483647", &Settings::KeyDebounceTimeMs, 70},
        {"KeyDebounceTimeMs=10000", &Settings::KeyDebounceTimeMs, 10000},
        {"KeyBufDelayTimeMs=-1", &Settings::KeyBufDelayTimeMs, 10},
        {"KeyBufDelayTimeMs=60000", &Settings::KeyBufDelayTimeMs, 10},
        {"KeyBufDelayTimeMs=1000", &Settings::KeyBufDelayTimeMs, 1000},
        {"KeyBufDelayTimeMs=0", &Settings::KeyBufDelayTimeMs, 0},
    };
    for (const Case& c : cases) {
        WriteBytes(perUser_ / "418config.ini", std::string("[Config]\n") + c.line + "\n");
        EXPECT_EQ(Load().*c.field, c.expected) << c.line;
    }
}

TEST_F(SettingsTest, DecimalSeparatorKeepsOneWholeCharacter) {
    struct Case {
        const char* file;
        const char* expected;
    };
    const Case cases[] = {
        {"[Config]\nDecimalSeparator=.\n", "."},
        {"[Config]\nDecimalSeparator=\n", ""},
        {"[Config]\nDecimalSeparator=\xD9\xAB\xD9\xAB\n", "\xD9\xAB"},  // Arabic separator
        {"[Config]\n", ","},                                            // the locale's
    };
    for (const Case& c : cases) {
        WriteBytes(perUser_ / "418config.ini", c.file);
        EXPECT_EQ(Load().DecimalSeparator, c.expected) << c.file;
    }
}

TEST_F(SettingsTest, WriterStoresItsKeyInTheFileInUse) {
    WriteBytes(perUser_ / "418config.ini", "[Config]\nSampleRate=3\n");
    Settings settings = Load();
    const auto writeMode = [](IniFile& file) {
        file.WriteInteger(kConfigSection, "graficMode", 2);
    };

    EXPECT_TRUE(WriteSettings(settings, folders_, messages_, writeMode));
    EXPECT_EQ(ReadBytes(perUser_ / "418config.ini"), "[Config]\nSampleRate=3\ngraficMode=2\n\n");

    const std::filesystem::path workingDirectory = root_.Path() / "elsewhere";
    std::filesystem::create_directories(workingDirectory);
    folders_.workingDirectory = workingDirectory.string();
    settings = Load();
    EXPECT_TRUE(WriteSettings(settings, folders_, messages_, writeMode));
    EXPECT_EQ(ReadBytes(workingDirectory / "418config.ini"), "[Config]\ngraficMode=2\n\n");
    EXPECT_TRUE(messages_.Shown().empty());
}

TEST_F(SettingsTest, WriterWithoutApplicationDataFolderWritesNothing) {
    Settings settings;
    folders_.applicationData.reset();
    bool called = false;
    EXPECT_FALSE(WriteSettings(settings, folders_, messages_, [&](IniFile&) { called = true; }));
    EXPECT_FALSE(called);
    EXPECT_EQ(messages_.Shown(), std::vector<ShownMessage>{kNoAppData});
}

TEST_F(SettingsTest, WriterRefusesAFileItCannotRead) {
    const std::filesystem::path path = perUser_ / "418config.ini";
    std::filesystem::create_directories(path);
    Settings settings;
    EXPECT_THROW(
        WriteSettings(settings, folders_, messages_,
                      [](IniFile& file) { file.WriteBool(kConfigSection, "showMean", 0); }),
        ProgramError);
    EXPECT_TRUE(std::filesystem::is_directory(path));
}

}  // namespace
}  // namespace vx
