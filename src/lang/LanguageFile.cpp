#include "lang/LanguageFile.h"

namespace vx {

std::string LanguageSection(int32_t index) {
    return "LANGUAGE" + std::to_string(index);
}

std::optional<IniFile> OpenLanguageFile(const Folders& folders, MessageSink& messages) {
    const auto perUser = PerUserFolder(folders, messages);
    if (!perUser) {
        return std::nullopt;
    }
    auto file = IniFile::Load(*perUser / kLanguageFileName);
    if (!file) {
        messages.Show("Error Language File", "WARNING");
    }
    return file;
}

std::vector<std::string> LanguageNames(const IniFile& languageFile) {
    std::vector<std::string> names;
    std::string name = "English";
    while (!name.empty() && name != kMissingMarker) {
        names.push_back(name);
        name = languageFile.ReadString(LanguageSection(static_cast<int32_t>(names.size())),
                                       "Language", kMissingMarker);
    }
    return names;
}

int LanguageListItem(int32_t languageIndex, size_t languageCount) {
    const bool listed = languageIndex >= 0 && static_cast<size_t>(languageIndex) < languageCount;
    return listed ? static_cast<int>(languageIndex) : -1;
}

}  // namespace vx
