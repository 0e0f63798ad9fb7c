#pragma once

#include <cstdint>
#include <filesystem>
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

// The per-user language file "418config.lng". It is read in full once and kept; it
// is read again only when its size, modification time or identity on disk changed,
// or when it was modified so shortly before it was read that a change within the
// file system's time resolution could have gone unseen. A missing file opens as
// empty. nullptr after "Path to AppData not found" / "Error" when there is no
// application-data folder, or after the message of LanguageFileError / "WARNING"
// when the file exists but cannot be used (IniFile::Load). The file stays valid until
// the next call.
IniFile* OpenLanguageFile(const Folders& folders, MessageSink& messages);

// The file that OpenLanguageFile gave differs from the disk (its write-back failed):
// the next call reads it again.
void ForgetLanguageFile();

// "Error Language File", then on a line of its own the file and why it cannot be used.
std::string LanguageFileError(const std::filesystem::path& path, const std::string& whyNot);

// The entries of the Language list: "English", then the names of languages 1, 2,
// ... up to the first one that is missing, empty or "#", so that list position and
// language index agree.
std::vector<std::string> LanguageNames(const IniFile& languageFile);

// The list item that shows the chosen language; -1 (no item) for an index that has
// no entry.
int LanguageListItem(int32_t languageIndex, size_t languageCount);

}  // namespace vx
