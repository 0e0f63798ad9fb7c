#pragma once

#include <cstdint>

#include "base/Folders.h"
#include "base/MessageSink.h"
#include "settings/Settings.h"

namespace vx {

// The chosen language, setting Lang (default 0, English). In working-directory mode
// Lang lives in section Config of the working directory's "418config.lng",
// otherwise in the per-user settings file. 0 after "Path to AppData not found" /
// "Error". A value without a language is kept: it shows English and selects no
// list item.
int32_t ReadLanguageIndex(const Settings& settings, const Folders& folders, MessageSink& messages);

// Stores a language chosen in the list under Lang, in the file that
// ReadLanguageIndex reads, and writes that file back. False, with nothing written,
// after "Path to AppData not found" / "Error"; throws ProgramError when the file
// cannot be read or written. On true the window tells the user and closes: the new
// language applies from the next start.
bool StoreLanguageIndex(int32_t languageIndex, const Settings& settings, const Folders& folders,
                        MessageSink& messages);

inline constexpr const char* kLanguageChangedText = "Language changed, please restart application";
inline constexpr const char* kLanguageChangedCaption = "INFORMATION";

}  // namespace vx
