#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/Folders.h"
#include "base/MessageSink.h"

namespace vx {

// Never looked up: the title reads the same in every language.
inline constexpr std::string_view kApplicationTitle = "Software VX 212";

// The text in language index (0 or less: English). Looks in the language file as it
// is on disk (OpenLanguageFile keeps it between calls); a text the language lacks is added with
// itself as translation and the file written back at once, so that the file collects every text for
// the translator. Empty after "Path to AppData not found" / "Error" or the language file's error /
// "WARNING". Throws ProgramError when the file cannot be written back.
std::string TranslateText(std::string_view text, int32_t index, const Folders& folders,
                          MessageSink& messages);

// One translatable text of the window: a caption, a radio group item, a series title.
struct TranslatableText {
    std::string text;
    std::function<void(const std::string&)> setText;
};

// Translates the texts in the order given, which is the order in which missing
// texts are appended to the language file.
void TranslateComponents(const std::vector<TranslatableText>& texts, int32_t languageIndex,
                         const Folders& folders, MessageSink& messages);

}  // namespace vx
