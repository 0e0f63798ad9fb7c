#pragma once

#include <filesystem>
#include <optional>
#include <string>

#include "base/MessageSink.h"

namespace vx {

// The platform folders the settings depend on; tests put temporary folders in.
class Folders {
  public:
    virtual ~Folders() = default;
    // The user's application-data folder; nullopt when none can be found.
    virtual std::optional<std::filesystem::path> ApplicationDataFolder() const = 0;
    // The folder under which programs are installed; nullopt when none can be found.
    virtual std::optional<std::filesystem::path> ProgramsFolder() const = 0;
    // The current working directory, as the platform reports it.
    virtual std::string WorkingDirectory() const = 0;
};

// The folders of this system: $XDG_CONFIG_HOME (or ~/.config), the programs folder
// chosen at build time, and the process's working directory.
class SystemFolders final : public Folders {
  public:
    std::optional<std::filesystem::path> ApplicationDataFolder() const override;
    std::optional<std::filesystem::path> ProgramsFolder() const override;
    std::string WorkingDirectory() const override;
};

inline constexpr const char* kSettingsFileName = "418config.ini";
inline constexpr const char* kLanguageFileName = "418config.lng";

// application data + Kelvorn/SoftwareVX212: holds both files in normal operation.
std::optional<std::filesystem::path> PerUserFolder(const Folders& folders);
// The same, but when there is none it says "Path to AppData not found" first.
std::optional<std::filesystem::path> PerUserFolder(const Folders& folders, MessageSink& messages);
// programs folder + Kelvorn/SoftwareVX212: holds the delivered copies of both files.
std::optional<std::filesystem::path> InstallFolder(const Folders& folders);

}  // namespace vx
