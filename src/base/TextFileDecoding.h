#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace vx {

// The text of a settings or language file, as UTF-8. Editors write these files as
// UTF-8 (with or without byte-order mark), as UTF-16 with its byte-order mark
// ("Unicode" on Windows), or, copied from an older installation, as Windows-1252;
// a file edited by both may mix UTF-8 and Windows-1252 lines. Each line that is not
// valid UTF-8 is taken as Windows-1252, so that the valid lines stay as they are.
// nullopt, with the reason in whyNot, for bytes that are no such text: zero bytes
// (binary data, or UTF-16 without its mark) or broken UTF-16.
std::optional<std::string> DecodeTextFile(std::string_view bytes, std::string& whyNot);

}  // namespace vx
