// Feeds arbitrary bytes to the session recording reader; what it accepts must write
// out and read back the same, and replay its commands without a fault.
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>

#include "device/Recording.h"
#include "device/ReplayBackend.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const auto read = vx::ParseRecording(in);
    const auto* recording = std::get_if<vx::Recording>(&read);
    if (recording == nullptr) {
        const std::string& why = std::get<std::string>(read);
        if (!why.starts_with("line ")) {
            std::abort();  // every refusal names its line
        }
        return 0;
    }
    std::stringstream text;
    vx::WriteRecording(text, *recording);
    const auto again = vx::ParseRecording(text);
    const auto* same = std::get_if<vx::Recording>(&again);
    if (same == nullptr || same->transfers != recording->transfers) {
        std::abort();
    }
    // Every recorded command written again gets its recorded answers, or none.
    vx::ReplayBackend replay(*recording, vx::ReplayBackend::Pacing::AsFastAsRead);
    replay.Open();
    for (const vx::RecordedTransfer& t : recording->transfers) {
        if (t.pipe == vx::Pipe::S1) {
            std::vector<uint8_t> half = t.bytes;
            replay.Transfer(vx::Pipe::S1, half, std::chrono::milliseconds(0));
        }
    }
    uint8_t buffer[32];
    while (replay.Transfer(vx::Pipe::R1, std::span(buffer, 16), std::chrono::milliseconds(0))
               .outcome == vx::TransferOutcome::Completed) {
    }
    replay.Transfer(vx::Pipe::R2, buffer, std::chrono::milliseconds(0));
    replay.Close();
    return 0;
}
