#include "device/Recording.h"

#include <fmt/core.h>

#include <charconv>
#include <fstream>
#include <istream>
#include <ostream>

namespace vx {

namespace {

constexpr std::string_view kProgramKey = "# program: ";
constexpr std::string_view kBackendKey = "# backend: ";

int HexDigit(char c) {
    if (c >= '0' && c <= '9') {
        return c - '0';
    }
    if (c >= 'a' && c <= 'f') {
        return c - 'a' + 10;
    }
    if (c >= 'A' && c <= 'F') {
        return c - 'A' + 10;
    }
    return -1;
}

std::vector<std::string_view> Fields(std::string_view line) {
    std::vector<std::string_view> fields;
    size_t pos = 0;
    while (pos < line.size()) {
        const size_t start = line.find_first_not_of(" \t", pos);
        if (start == std::string_view::npos) {
            break;
        }
        const size_t end = std::min(line.find_first_of(" \t", start), line.size());
        fields.push_back(line.substr(start, end - start));
        pos = end;
    }
    return fields;
}

// Milliseconds with up to three decimals, as whole microseconds.
bool ParseMillis(std::string_view text, int64_t& micros) {
    const size_t dot = text.find('.');
    const std::string_view whole = text.substr(0, dot);
    const std::string_view decimals =
        dot == std::string_view::npos ? std::string_view{} : text.substr(dot + 1);
    if (whole.empty() || whole.size() > 12 || decimals.size() > 3 ||
        (dot != std::string_view::npos && decimals.empty())) {
        return false;
    }
    int64_t ms = 0;
    if (std::from_chars(whole.begin(), whole.end(), ms).ptr != whole.end() || whole[0] == '-') {
        return false;
    }
    int64_t fraction = 0;
    for (size_t i = 0; i < 3; ++i) {
        const int digit = i < decimals.size() ? HexDigit(decimals[i]) : 0;
        if (digit < 0 || digit > 9) {
            return false;
        }
        fraction = fraction * 10 + digit;
    }
    micros = ms * 1000 + fraction;
    return true;
}

bool ParsePipe(std::string_view text, Pipe& pipe) {
    for (Pipe p : {Pipe::S1, Pipe::R1, Pipe::R2}) {
        if (text == PipeName(p)) {
            pipe = p;
            return true;
        }
    }
    return false;
}

// Why a transfer line is refused, or empty when it is sound.
std::string ParseTransfer(std::string_view line, RecordedTransfer& transfer) {
    const std::vector<std::string_view> fields = Fields(line);
    if (fields.size() < 3) {
        return "a transfer needs a time, a pipe, a length and its bytes";
    }
    if (!ParseMillis(fields[0], transfer.micros)) {
        return fmt::format("bad time \"{}\" (milliseconds, up to three decimals)", fields[0]);
    }
    if (!ParsePipe(fields[1], transfer.pipe)) {
        return fmt::format("unknown pipe \"{}\" (S1, R1 or R2)", fields[1]);
    }
    size_t length = 0;
    const std::string_view lengthText = fields[2];
    if (std::from_chars(lengthText.begin(), lengthText.end(), length).ptr != lengthText.end() ||
        length > kRecordingMaxBytes) {
        return fmt::format("bad length \"{}\" (0 to {})", lengthText, kRecordingMaxBytes);
    }
    transfer.bytes.clear();
    for (size_t f = 3; f < fields.size(); ++f) {
        const std::string_view hex = fields[f];
        if (hex.size() % 2 != 0) {
            return fmt::format("bad hex \"{}\": an odd number of digits", hex);
        }
        for (size_t i = 0; i < hex.size(); i += 2) {
            const int high = HexDigit(hex[i]), low = HexDigit(hex[i + 1]);
            if (high < 0 || low < 0) {
                return fmt::format("bad hex \"{}\"", hex.substr(i, 2));
            }
            transfer.bytes.push_back(static_cast<uint8_t>(high << 4 | low));
        }
    }
    if (transfer.bytes.size() != length) {
        return fmt::format("{} bytes where the length says {}", transfer.bytes.size(), length);
    }
    return {};
}

}  // namespace

std::string_view PipeName(Pipe pipe) {
    switch (pipe) {
        case Pipe::S1:
            return "S1";
        case Pipe::R1:
            return "R1";
        case Pipe::R2:
            return "R2";
    }
    return "??";
}

void WriteRecording(std::ostream& out, const Recording& recording) {
    out << kRecordingMagic << '\n'
        << kProgramKey << recording.program << '\n'
        << kBackendKey << recording.backend << '\n'
        << "# time_ms pipe length bytes\n";
    for (const RecordedTransfer& t : recording.transfers) {
        std::string hex;
        for (uint8_t b : t.bytes) {
            hex += fmt::format("{:02x}", b);
        }
        out << fmt::format("{}.{:03} {} {}{}{}\n", t.micros / 1000, t.micros % 1000,
                           PipeName(t.pipe), t.bytes.size(), hex.empty() ? "" : " ", hex);
    }
}

std::variant<Recording, std::string> ParseRecording(std::istream& in) {
    Recording recording;
    std::string line;
    size_t number = 0;
    int64_t last = 0;
    const auto refuse = [&](const std::string& why) {
        return fmt::format("line {}: {}", number, why);
    };
    // getline stops at the buffer's end, so a line of any length costs no more than that.
    std::vector<char> buffer(kRecordingMaxLine + 2);
    while (in.getline(buffer.data(), static_cast<std::streamsize>(buffer.size())) ||
           in.gcount() > 0) {
        ++number;
        std::string_view text(buffer.data());
        if ((in.fail() && !in.eof()) || text.size() > kRecordingMaxLine) {
            return refuse(fmt::format("longer than {} characters", kRecordingMaxLine));
        }
        if (!text.empty() && text.back() == '\r') {
            text.remove_suffix(1);
        }
        if (number == 1 && text != kRecordingMagic) {
            return refuse(fmt::format("not a session recording: the first line must be \"{}\"",
                                      kRecordingMagic));
        }
        if (text.starts_with(kProgramKey)) {
            recording.program = text.substr(kProgramKey.size());
        } else if (text.starts_with(kBackendKey)) {
            recording.backend = text.substr(kBackendKey.size());
        }
        if (text.starts_with('#') || text.find_first_not_of(" \t") == std::string_view::npos) {
            continue;
        }
        RecordedTransfer transfer;
        if (const std::string why = ParseTransfer(text, transfer); !why.empty()) {
            return refuse(why);
        }
        if (transfer.micros < last) {
            return refuse(fmt::format("time goes backwards ({:.3f} ms after {:.3f} ms)",
                                      static_cast<double>(transfer.micros) / 1000.0,
                                      static_cast<double>(last) / 1000.0));
        }
        last = transfer.micros;
        recording.transfers.push_back(std::move(transfer));
    }
    if (number == 0) {
        return "line 1: the file is empty";
    }
    if (recording.transfers.empty()) {
        return refuse("no transfers recorded");
    }
    return recording;
}

std::variant<Recording, std::string> ReadRecordingFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        return fmt::format("{}: cannot be read", path);
    }
    auto result = ParseRecording(file);
    if (auto* why = std::get_if<std::string>(&result)) {
        *why = path + ": " + *why;
    }
    return result;
}

}  // namespace vx
