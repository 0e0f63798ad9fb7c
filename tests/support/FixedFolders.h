#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "base/Folders.h"

namespace vx::test {

// Folders as a test sets them; nullopt stands for a lookup that fails.
class FixedFolders final : public Folders {
  public:
    std::optional<std::filesystem::path> ApplicationDataFolder() const override {
        return applicationData;
    }
    std::optional<std::filesystem::path> ProgramsFolder() const override { return programs; }
    std::string WorkingDirectory() const override { return workingDirectory; }

    std::optional<std::filesystem::path> applicationData;
    std::optional<std::filesystem::path> programs;
    std::string workingDirectory;
};

// The application-data folder "config" and the programs folder "opt" under root, and
// the working directory given.
inline FixedFolders FoldersUnder(const std::filesystem::path& root, std::string workingDirectory) {
    FixedFolders folders;
    folders.applicationData = root / "config";
    folders.programs = root / "opt";
    folders.workingDirectory = std::move(workingDirectory);
    return folders;
}

}  // namespace vx::test
