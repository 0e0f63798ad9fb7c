#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Folders.h"
#include "base/IniFile.h"
#include "base/MessageSink.h"

namespace vx {

// The value of a missing key: never a language name or a translation.
inline constexpr std::string_view kMissingMarker = "#";

// Section of language n (n = 1, 2, ...); English is built in as language 0.
std::string LanguageSection(int32_t index);

// The per-user language file "418config.lng", read in full. A missing file opens
// as empty. nullopt after "Path to AppData not found" / "Error" when there is no
// application-data folder, or after "Error Language File" / "WARNING" when the file
// exists but cannot be read.
std::optional<IniFile> OpenLanguageFile(const Folders& folders, MessageSink& messages);

// The entries of the Language list: "English", then the names of languages 1, 2,
// ... up to the first one that is missing, empty or "#", so that list position and
// language index agree.
std::vector<std::string> LanguageNames(const IniFile& languageFile);

// The list item that shows the chosen language; -1 (no item) for an index that has
// no entry.
int LanguageListItem(int32_t languageIndex, size_t languageCount);

}  // namespace vx
