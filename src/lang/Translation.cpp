#include "lang/Translation.h"

#include "base/TextEncoding.h"
#include "base/TextParse.h"
#include "lang/LanguageFile.h"

namespace vx {

namespace {

// The language file splits a line at its first "=", so a text's first "=" is
// stored as ".eq.".
constexpr std::string_view kEquals = "=";
constexpr std::string_view kEncodedEquals = ".eq.";

// Built by appending: std::string::replace draws a false -Werror=restrict from GCC 12.
std::string ReplaceFirst(std::string_view text, std::string_view from, std::string_view to) {
    const size_t at = text.find(from);
    if (at == std::string_view::npos) {
        return std::string(text);
    }
    std::string result;
    result.reserve(text.size() - from.size() + to.size());
    result.append(text.substr(0, at)).append(to).append(text.substr(at + from.size()));
    return result;
}

// Whether the line key + "=" + key reads back as that very entry. A key that still
// holds an "=", a line break, a leading ";" (a comment) or the form "[...]" (a
// section) would not: such an entry could never be found, so it would be added
// again at every lookup, and a section line would carry the entries after it away.
// A zero byte would make the whole file count as no text, bytes that are not UTF-8
// would make it read as Windows-1252: such texts are never added.
bool ReadsBackAsEntry(std::string_view key) {
    const bool section = key.front() == '[' && key.back() == ']';
    return key.find_first_of(std::string_view("=\r\n\0", 4)) == std::string_view::npos &&
           key.front() != ';' && !section && IsValidUtf8(key);
}

size_t LeadingSpaces(std::string_view text) {
    const size_t first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? text.size() : first;
}

size_t TrailingSpaces(std::string_view text) {
    const size_t last = text.find_last_not_of(' ');
    return last == std::string_view::npos ? text.size() : text.size() - last - 1;
}

}  // namespace

std::string TranslateText(std::string_view text, int32_t index, const Folders& folders,
                          MessageSink& messages) {
    IniFile* file = OpenLanguageFile(folders, messages);
    if (file == nullptr) {
        return {};
    }
    const std::string_view trimmed = Trim(text);
    if (index <= 0 || trimmed.empty() || trimmed == kApplicationTitle) {
        return std::string(trimmed);
    }
    const std::string key = ReplaceFirst(trimmed, kEquals, kEncodedEquals);
    const std::string section = LanguageSection(index);
    std::string translation = file->ReadString(section, key, kMissingMarker);
    if (translation == kMissingMarker) {
        // A text that could not be stored comes back untranslated and leaves the
        // file alone.
        if (ReadsBackAsEntry(key)) {
            file->WriteString(section, key, key);
            try {
                file->UpdateFile();
            } catch (...) {
                ForgetLanguageFile();
                throw;
            }
        }
        translation = key;
    }
    translation = ReplaceFirst(translation, kEncodedEquals, kEquals);
    // Only the blanks come back: a caption may be padded with them on purpose.
    std::string result(LeadingSpaces(text), ' ');
    result.append(translation).append(TrailingSpaces(text), ' ');
    return result;
}

void TranslateComponents(const std::vector<TranslatableText>& texts, int32_t languageIndex,
                         const Folders& folders, MessageSink& messages) {
    for (const TranslatableText& entry : texts) {
        entry.setText(TranslateText(entry.text, languageIndex, folders, messages));
    }
}

}  // namespace vx
