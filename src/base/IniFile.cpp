#include "base/IniFile.h"

#include <algorithm>
#include <fstream>
#include <iterator>

#include "base/FileReplace.h"
#include "base/ProgramError.h"
#include "base/TextEncoding.h"
#include "base/TextParse.h"

namespace vx {

namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

char AsciiLower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameName(std::string_view a, std::string_view b) {
    return std::ranges::equal(a, b, [](char x, char y) { return AsciiLower(x) == AsciiLower(y); });
}

// Settings and language files are UTF-8; files copied from a Windows installation
// may still be Windows-1252.
std::string DecodeFileText(std::string_view bytes) {
    if (bytes.starts_with(kByteOrderMark)) {
        bytes.remove_prefix(kByteOrderMark.size());
    }
    return IsValidUtf8(bytes) ? std::string(bytes) : Cp1252ToUtf8(bytes);
}

}  // namespace

std::optional<IniFile> IniFile::Load(const std::filesystem::path& path) {
    IniFile file(path);
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (status.type() == std::filesystem::file_type::not_found) {
        return file;
    }
    if (error || status.type() != std::filesystem::file_type::regular) {
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        return std::nullopt;
    }
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) {
        return std::nullopt;
    }
    file.Parse(DecodeFileText(bytes));
    return file;
}

void IniFile::Parse(std::string_view text) {
    Section* current = nullptr;
    while (!text.empty()) {
        const size_t end = std::min(text.find('\n'), text.size());
        const std::string_view line = Trim(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));

        if (line.empty() || line.front() == ';') {
            continue;
        }
        if (line.front() == '[' && line.back() == ']' && line.size() >= 2) {
            const std::string_view name = Trim(line.substr(1, line.size() - 2));
            current = FindSection(name);
            if (current == nullptr) {
                current = &sections_.emplace_back(Section{std::string(name), {}});
            }
            continue;
        }
        const size_t equals = line.find('=');
        if (current == nullptr || equals == std::string_view::npos) {
            continue;
        }
        current->entries.push_back({std::string(Trim(line.substr(0, equals))),
                                    std::string(Trim(line.substr(equals + 1)))});
    }
}

IniFile::Section* IniFile::FindSection(std::string_view name) {
    const auto found = std::ranges::find_if(
        sections_, [&](const Section& section) { return SameName(section.name, name); });
    return found == sections_.end() ? nullptr : &*found;
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
    return const_cast<IniFile*>(this)->FindSection(name);
}

const IniFile::Entry* IniFile::FindEntry(std::string_view section, std::string_view key) const {
    const Section* found = FindSection(section);
    if (found == nullptr) {
        return nullptr;
    }
    const auto entry = std::ranges::find_if(
        found->entries, [&](const Entry& candidate) { return SameName(candidate.key, key); });
    return entry == found->entries.end() ? nullptr : &*entry;
}

std::string IniFile::ReadString(std::string_view section, std::string_view key,
                                std::string_view defaultValue) const {
    const Entry* entry = FindEntry(section, key);
    return std::string(entry != nullptr ? std::string_view(entry->value) : defaultValue);
}

int32_t IniFile::ReadInteger(std::string_view section, std::string_view key,
                             int32_t defaultValue) const {
    const Entry* entry = FindEntry(section, key);
    if (entry == nullptr) {
        return defaultValue;
    }
    return ParseWholeNumber(entry->value).value_or(defaultValue);
}

bool IniFile::ReadBool(std::string_view section, std::string_view key, bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::WriteString(std::string_view section, std::string_view key, std::string_view value) {
    Section* target = FindSection(section);
    if (target == nullptr) {
        target = &sections_.emplace_back(Section{std::string(section), {}});
    }
    const auto entry = std::ranges::find_if(
        target->entries, [&](const Entry& candidate) { return SameName(candidate.key, key); });
    if (entry != target->entries.end()) {
        entry->value = value;
    } else {
        target->entries.push_back({std::string(key), std::string(value)});
    }
}

void IniFile::WriteInteger(std::string_view section, std::string_view key, int32_t value) {
    WriteString(section, key, std::to_string(value));
}

void IniFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

void IniFile::UpdateFile() const {
    std::string text;
    for (const Section& section : sections_) {
        text += '[' + section.name + "]\n";
        for (const Entry& entry : section.entries) {
            text += entry.key + '=' + entry.value + '\n';
        }
        text += '\n';
    }
    // Replaced only once the new contents are completely written: a failed write never
    // leaves a half-written file behind.
    if (ReplaceFileContents(path_.string(), text)) {
        throw ProgramError("Cannot create file " + path_.string());
    }
}

}  // namespace vx
