#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// A plain INI text file held in memory: read whole when loaded, written whole by
// UpdateFile(). Section and key names match without regard to (ASCII) letter case.
// Comments, lines outside sections and lines without "=" are not kept.
class IniFile {
  public:
    // An empty file that the first UpdateFile() creates.
    explicit IniFile(std::filesystem::path path = {}) : path_(std::move(path)) {}

    // A missing file gives an empty one; nullopt when the file exists but cannot be
    // read (a folder in its place, a read error).
    static std::optional<IniFile> Load(const std::filesystem::path& path);

    std::string ReadString(std::string_view section, std::string_view key,
                           std::string_view defaultValue) const;
    // A value that is not a whole decimal number (or does not fit) gives the default.
    int32_t ReadInteger(std::string_view section, std::string_view key, int32_t defaultValue) const;
    // Any whole number other than 0 is true.
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

    // A new key goes to the end of its section, a new section to the end of the file.
    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int32_t value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    // Writes the whole file as UTF-8 without byte-order mark; throws ProgramError
    // "Cannot create file " + path when it cannot be written.
    void UpdateFile() const;

    const std::filesystem::path& Path() const { return path_; }

  private:
    struct Entry {
        std::string key;
        std::string value;
    };
    struct Section {
        std::string name;
        std::vector<Entry> entries;
    };

    void Parse(std::string_view text);
    Section* FindSection(std::string_view name);
    const Section* FindSection(std::string_view name) const;
    const Entry* FindEntry(std::string_view section, std::string_view key) const;

    std::filesystem::path path_;
    std::vector<Section> sections_;
};

}  // namespace vx
