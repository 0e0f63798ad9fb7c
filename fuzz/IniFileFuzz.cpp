// Any bytes as an INI file: read, written back, read again. Properties: every
// "key=value" line inside a section of a UTF-8 file can be looked up; the rewrite
// keeps every key with its value; a second rewrite writes the very same bytes.
#include <string>

#include "FuzzSupport.h"
#include "base/IniFile.h"
#include "base/ProgramError.h"
#include "base/TextEncoding.h"
#include "base/TextParse.h"
#include "support/TempFolder.h"

namespace {

using vx::fuzz::Check;

constexpr std::string_view kAbsent =
    "\x01"
    "absent";

struct Key {
    std::string section, key;
};

// The section and key of every entry line, as a reader of INI files sees them.
std::vector<Key> EntryLines(std::string_view text) {
    std::vector<Key> keys;
    std::optional<std::string> section;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = vx::Trim(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.size() >= 2 && line.front() == '[' && line.back() == ']') {
            section = std::string(vx::Trim(line.substr(1, line.size() - 2)));
        } else if (section && !line.empty() && line.front() != ';' &&
                   line.find('=') != std::string_view::npos) {
            keys.push_back({*section, std::string(vx::Trim(line.substr(0, line.find('='))))});
        }
    }
    return keys;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static vx::test::TempFolder folder;
    const std::filesystem::path path = folder.Path() / "file.ini";
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    vx::test::WriteBytes(path, input);

    const std::optional<vx::IniFile> first = vx::IniFile::Load(path);
    if (!first) {
        return 0;  // refused as unreadable: nothing is written back
    }
    const std::vector<Key> inputKeys = vx::IsValidUtf8(input) && !input.starts_with("\xEF\xBB\xBF")
                                           ? EntryLines(input)
                                           : std::vector<Key>{};
    for (const Key& k : inputKeys) {
        Check(first->ReadString(k.section, k.key, kAbsent) != kAbsent, "an entry line is read",
              k.key);
    }

    try {
        first->UpdateFile();
    } catch (const vx::ProgramError& e) {
        vx::fuzz::Fail("a read file can be written back", e.what());
    }
    const std::string written = vx::test::ReadBytes(path);
    const std::optional<vx::IniFile> second = vx::IniFile::Load(path);
    Check(second.has_value(), "the written file reads");
    for (const Key& k : EntryLines(written)) {
        Check(first->ReadString(k.section, k.key, kAbsent) ==
                  second->ReadString(k.section, k.key, kAbsent),
              "the rewrite keeps every key with its value", k.key);
    }
    for (const Key& k : inputKeys) {
        Check(second->ReadString(k.section, k.key, kAbsent) != kAbsent,
              "the rewrite keeps every entry line of the file", k.key);
    }
    second->UpdateFile();
    Check(vx::test::ReadBytes(path) == written, "a second rewrite changes nothing");
    return 0;
}
