#include "base/IniFile.h"

#include <algorithm>
#include <fstream>

#include "base/FileReplace.h"
#include "base/ProgramError.h"
#include "base/TextFileDecoding.h"
#include "base/TextParse.h"

namespace vx {

namespace {

std::string Lowered(std::string_view name) {
    std::string lowered(name);
    for (char& c : lowered) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return lowered;
}

// The file's bytes, at most kMaxFileBytes of them; nullopt with the reason otherwise.
std::optional<std::string> ReadBytes(const std::filesystem::path& path, std::string& whyNot) {
    std::error_code error;
    const auto status = std::filesystem::status(path, error);
    if (error || status.type() != std::filesystem::file_type::regular) {
        whyNot = "it is not a regular file";
        return std::nullopt;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        whyNot = "it cannot be opened";
        return std::nullopt;
    }
    // Read with a limit: the size may change between a look at it and the read.
    std::string bytes(IniFile::kMaxFileBytes + 1, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (in.bad()) {
        whyNot = "it cannot be read";
        return std::nullopt;
    }
    bytes.resize(static_cast<size_t>(in.gcount()));
    if (bytes.size() > IniFile::kMaxFileBytes) {
        whyNot = "it is larger than " + std::string(IniFile::kMaxFileSizeText);
        return std::nullopt;
    }
    return bytes;
}

}  // namespace

std::optional<IniFile> IniFile::Load(const std::filesystem::path& path, std::string* whyNot) {
    IniFile file(path);
    std::error_code error;
    if (std::filesystem::status(path, error).type() == std::filesystem::file_type::not_found) {
        return file;
    }
    std::string reason;
    std::optional<std::string> text;
    if (const auto bytes = ReadBytes(path, reason)) {
        text = DecodeTextFile(*bytes, reason);
    }
    if (!text) {
        if (whyNot != nullptr) {
            *whyNot = reason;
        }
        return std::nullopt;
    }
    file.Parse(*text);
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
            current = &FindOrAddSection(Trim(line.substr(1, line.size() - 2)));
            continue;
        }
        const size_t equals = line.find('=');
        if (current == nullptr || equals == std::string_view::npos) {
            continue;
        }
        AddEntry(*current, std::string(Trim(line.substr(0, equals))),
                 std::string(Trim(line.substr(equals + 1))));
    }
}

void IniFile::AddEntry(Section& section, std::string key, std::string value) {
    // A repeated key keeps its line, but the first one is the one that counts.
    section.keyIndex.try_emplace(Lowered(key), section.entries.size());
    section.entries.push_back({std::move(key), std::move(value)});
}

IniFile::Section* IniFile::FindSection(std::string_view name) {
    const auto found = sectionIndex_.find(Lowered(name));
    return found == sectionIndex_.end() ? nullptr : &sections_[found->second];
}

const IniFile::Section* IniFile::FindSection(std::string_view name) const {
    return const_cast<IniFile*>(this)->FindSection(name);
}

IniFile::Section& IniFile::FindOrAddSection(std::string_view name) {
    const auto [found, added] = sectionIndex_.try_emplace(Lowered(name), sections_.size());
    if (added) {
        sections_.push_back(Section{std::string(name), {}, {}});
    }
    return sections_[found->second];
}

const IniFile::Entry* IniFile::FindEntry(std::string_view section, std::string_view key) const {
    const Section* found = FindSection(section);
    if (found == nullptr) {
        return nullptr;
    }
    const auto entry = found->keyIndex.find(Lowered(key));
    return entry == found->keyIndex.end() ? nullptr : &found->entries[entry->second];
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
    Section& target = FindOrAddSection(section);
    const auto entry = target.keyIndex.find(Lowered(key));
    if (entry != target.keyIndex.end()) {
        target.entries[entry->second].value = value;
    } else {
        AddEntry(target, std::string(key), std::string(value));
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
    if (const auto failure = ReplaceFileContents(path_.string(), text)) {
        throw ProgramError("Cannot create file " + path_.string() + ": " + failure->reason);
    }
}

}  // namespace vx
