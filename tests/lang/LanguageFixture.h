#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "support/FixedFolders.h"
#include "support/Recorders.h"
#include "support/TempFolder.h"

namespace vx::test {

inline const ShownMessage kNoAppData{"Path to AppData not found", "Error", MessageIcon::None};
// The language file's message when it cannot be used.
inline ShownMessage BadLanguageFile(const std::filesystem::path& file, const std::string& whyNot) {
    return {"Error Language File\n" + file.string() + " cannot be used: " + whyNot, "WARNING",
            MessageIcon::None};
}

// Temporary application-data, programs and working folders, none of them the
// install folder, so that the working-directory mode is the test's choice.
class LanguageTest : public ::testing::Test {
  protected:
    LanguageTest() {
        folders_ = FoldersUnder(root_.Path(), workingDirectory_.string());
        std::filesystem::create_directories(perUser_);
        std::filesystem::create_directories(workingDirectory_);
    }

    TempFolder root_;
    std::filesystem::path perUser_ = root_.Path() / "config/Kelvorn/SoftwareVX212";
    std::filesystem::path languageFile_ = perUser_ / "418config.lng";
    std::filesystem::path settingsFile_ = perUser_ / "418config.ini";
    std::filesystem::path workingDirectory_ = root_.Path() / "work";
    FixedFolders folders_;
    RecordingMessages messages_;
};

}  // namespace vx::test
