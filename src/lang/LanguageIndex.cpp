#include "lang/LanguageIndex.h"

#include <filesystem>
#include <optional>

#include "base/ProgramError.h"

namespace vx {

namespace {

constexpr std::string_view kLanguageKey = "Lang";

std::optional<std::filesystem::path> LanguageIndexFilePath(const Settings& settings,
                                                           const Folders& folders,
                                                           MessageSink& messages) {
    if (settings.configInWorkingDir) {
        return std::filesystem::path(folders.WorkingDirectory()) / kLanguageFileName;
    }
    return SettingsFilePath(settings, folders, messages);
}

}  // namespace

int32_t ReadLanguageIndex(const Settings& settings, const Folders& folders, MessageSink& messages) {
    const auto path = LanguageIndexFilePath(settings, folders, messages);
    if (!path) {
        return 0;
    }
    // A file that cannot be read gives the default, as for every other setting.
    const auto file = IniFile::Load(*path);
    return file ? file->ReadInteger(kConfigSection, kLanguageKey, 0) : 0;
}

bool StoreLanguageIndex(int32_t languageIndex, const Settings& settings, const Folders& folders,
                        MessageSink& messages) {
    const auto path = LanguageIndexFilePath(settings, folders, messages);
    if (!path) {
        return false;
    }
    // Writing back a file that could not be read would lose everything else in it.
    std::string whyNot;
    auto file = IniFile::Load(*path, &whyNot);
    if (!file) {
        throw ProgramError("Cannot open file " + path->string() + ": " + whyNot);
    }
    file->WriteInteger(kConfigSection, kLanguageKey, languageIndex);
    file->UpdateFile();
    return true;
}

}  // namespace vx
