#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace vx {

// A plain INI text file held in memory: read whole when loaded, written whole by
// UpdateFile(). Section and key names match without regard to (ASCII) letter case;
// both are indexed, so that files with many of them load and answer quickly.
// Comments, lines outside sections and lines without "=" are not kept.
class IniFile {
  public:
    // Settings and language files are a few kilobytes; a larger one is refused rather
    // than read and written back at every change.
    static constexpr uintmax_t kMaxFileBytes = 4 * 1024 * 1024;
    static constexpr std::string_view kMaxFileSizeText = "4 MB";

    // An empty file that the first UpdateFile() creates.
    explicit IniFile(std::filesystem::path path = {}) : path_(std::move(path)) {}

    // A missing file gives an empty one. nullopt when the file exists but cannot be
    // used: a folder in its place, a read error, more than kMaxFileBytes, or bytes that
    // are no text (DecodeTextFile); whyNot, when given, then tells why. Such a file
    // must not be written back: that would lose its contents.
    static std::optional<IniFile> Load(const std::filesystem::path& path,
                                       std::string* whyNot = nullptr);

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
    // "Cannot create file " + path + ": " + the reason when it cannot be written.
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
        // Lower-case key -> its first entry.
        std::unordered_map<std::string, size_t> keyIndex;
    };

    void Parse(std::string_view text);
    Section* FindSection(std::string_view name);
    const Section* FindSection(std::string_view name) const;
    Section& FindOrAddSection(std::string_view name);
    const Entry* FindEntry(std::string_view section, std::string_view key) const;
    static void AddEntry(Section& section, std::string key, std::string value);

    std::filesystem::path path_;
    std::vector<Section> sections_;
    // Lower-case section name -> its place in sections_.
    std::unordered_map<std::string, size_t> sectionIndex_;
};

}  // namespace vx
