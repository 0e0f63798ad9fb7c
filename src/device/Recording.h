#pragma once

#include <cstdint>
#include <iosfwd>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "device/UsbBackend.h"

namespace vx {

// One transfer of a session as it went over a pipe: the half-frame written to S1, the
// bytes one R1 read handed out, or one R2 packet.
struct RecordedTransfer {
    int64_t micros = 0;  // since the device was opened
    Pipe pipe = Pipe::S1;
    std::vector<uint8_t> bytes;
    bool operator==(const RecordedTransfer&) const = default;
};

// A recorded session with the instrument, as a text file of lines:
//
//   # VX212 session recording, format 1
//   # program: zemlometer-check 1.1.0.48
//   # backend: libusb, bus 001 device 004 id 1234:5678
//   # time_ms pipe length bytes
//   250.125 S1 16 23493035 00a7000000000000000000000000
//   251.310 R1 16 23493035565832313220465720322e31
//
// Each transfer line holds the time in milliseconds since the device was opened (three
// decimals), the pipe (S1, R1 or R2), the number of bytes, and the bytes as pairs of
// hexadecimal digits (blanks between pairs allowed; none when the length is 0). Times
// never go backwards. Lines starting with '#' are comments; the first line names the
// format, the program and backend lines say what made the recording.
struct Recording {
    std::string program;
    std::string backend;
    std::vector<RecordedTransfer> transfers;
};

inline constexpr std::string_view kRecordingMagic = "# VX212 session recording, format 1";
// Longer lines are refused before they are looked at: a transfer line is well below.
inline constexpr size_t kRecordingMaxLine = 1024;
inline constexpr size_t kRecordingMaxBytes = 256;

void WriteRecording(std::ostream& out, const Recording& recording);

// The recording, or why not: "line N: ..." naming the first line at fault.
std::variant<Recording, std::string> ParseRecording(std::istream& in);
std::variant<Recording, std::string> ReadRecordingFile(const std::string& path);

std::string_view PipeName(Pipe pipe);

}  // namespace vx
