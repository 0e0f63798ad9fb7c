#include "base/Folders.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <vector>

namespace vx {

namespace {

const std::filesystem::path kCompanyFolder = "Kelvorn";
const std::filesystem::path kProductFolder = "SoftwareVX212";

std::optional<std::filesystem::path> AbsolutePathFromEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr || *value != '/') {
        return std::nullopt;
    }
    return std::filesystem::path(value);
}

}  // namespace

// The XDG rule: a relative or empty $XDG_CONFIG_HOME is ignored. Without it and
// without an absolute $HOME there is no application-data folder: a relative one
// would put the settings wherever the program happens to be started.
std::optional<std::filesystem::path> SystemFolders::ApplicationDataFolder() const {
    if (auto configHome = AbsolutePathFromEnvironment("XDG_CONFIG_HOME")) {
        return configHome;
    }
    if (auto home = AbsolutePathFromEnvironment("HOME")) {
        return *home / ".config";
    }
    return std::nullopt;
}

std::optional<std::filesystem::path> SystemFolders::ProgramsFolder() const {
    return std::filesystem::path(VX_PROGRAMS_FOLDER);
}

std::string SystemFolders::WorkingDirectory() const {
    std::vector<char> buffer(256);
    while (getcwd(buffer.data(), buffer.size()) == nullptr) {
        if (errno != ERANGE) {
            return {};
        }
        buffer.resize(buffer.size() * 2);
    }
    return buffer.data();
}

std::optional<std::filesystem::path> PerUserFolder(const Folders& folders) {
    const auto appData = folders.ApplicationDataFolder();
    if (!appData) {
        return std::nullopt;
    }
    return *appData / kCompanyFolder / kProductFolder;
}

std::optional<std::filesystem::path> PerUserFolder(const Folders& folders, MessageSink& messages) {
    auto perUser = PerUserFolder(folders);
    if (!perUser) {
        messages.Show("Path to AppData not found", "Error");
    }
    return perUser;
}

std::optional<std::filesystem::path> InstallFolder(const Folders& folders) {
    const auto programs = folders.ProgramsFolder();
    if (!programs) {
        return std::nullopt;
    }
    return *programs / kCompanyFolder / kProductFolder;
}

}  // namespace vx
