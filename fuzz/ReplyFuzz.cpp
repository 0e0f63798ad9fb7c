// Replies from a hostile instrument: half-frames of any length and outcome read by
// ReadReply through a scripted device, each frame decoded, and every number read
// twice. Input: records of one control byte (outcome, length) and that many bytes.
#include <cmath>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "base/TextEncoding.h"
#include "device/CommandProtocol.h"
#include "support/LinkParts.h"

namespace {

using vx::fuzz::Check;

// The payload as the protocol reads it: from byte 4 to the first zero byte.
std::string PayloadOf(const vx::Frame& frame) {
    std::string text;
    for (size_t i = 4; i < frame.size() && frame[i] != 0; ++i) {
        text += static_cast<char>(frame[i]);
    }
    return text;
}

// A plain decimal number: optional sign, digits, at most one '.' or ',' with digits.
bool IsPlainDecimal(const std::string& text) {
    size_t i = (!text.empty() && (text[0] == '-' || text[0] == '+')) ? 1 : 0;
    size_t digits = 0;
    bool mark = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if ((c == '.' || c == ',') && !mark) {
            mark = true;
        } else {
            return false;
        }
    }
    return digits > 0 && digits < 20;
}

void CheckNumber(const vx::Frame& frame) {
    const double value = vx::CommandProtocol::ParseNumber(frame);
    Check(std::isnan(value) || value == vx::CommandProtocol::ParseNumber(frame),
          "ParseNumber reads the same frame alike");
    std::string payload = PayloadOf(frame);
    if (!IsPlainDecimal(payload)) {
        return;
    }
    if (const size_t comma = payload.find(','); comma != std::string::npos) {
        payload[comma] = '.';
    }
    // strtod follows the C locale here: libFuzzer never switches it.
    Check(value == std::strtod(payload.c_str(), nullptr), "a plain decimal reads as its value",
          payload);
}

void CheckParameters(const vx::DeviceParameters& p) {
    for (const std::string* text : {&p.serialDevice, &p.unitText, &p.serialSensor}) {
        Check(vx::IsValidUtf8(*text), "text parameters are UTF-8", *text);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vx::fuzz::Input in(data, size);
    vx::test::LinkParts link;
    size_t reads = 0;
    while (!in.Empty()) {
        const uint8_t control = in.Byte();
        const std::string_view bytes = in.Bytes(control % 17);
        // Mostly completed reads; now and then one that times out or cannot start.
        const auto outcome = control >= 0xF0   ? vx::TransferOutcome::StartFailed
                             : control >= 0xE0 ? vx::TransferOutcome::NotCompleted
                                               : vx::TransferOutcome::Completed;
        link.backend.Queue(vx::Pipe::R1,
                           {outcome, std::vector<uint8_t>(bytes.begin(), bytes.end())});
        ++reads;
    }
    // Every read consumes one scripted step at least; with the script used up the
    // device would answer "#NOP" for ever.
    while (link.backend.Transfers(vx::Pipe::R1) < reads) {
        if (!link.protocol.ReadReply()) {
            break;
        }
    }
    CheckParameters(link.protocol.Parameters());

    // The same bytes as whole frames, straight into the decoder and the number parser.
    vx::fuzz::Input frames(data, size);
    while (!frames.Empty()) {
        vx::Frame frame{};
        const std::string_view bytes = frames.Bytes(frame.size());
        std::copy(bytes.begin(), bytes.end(), frame.begin());
        link.protocol.DecodeReply(frame);
        CheckNumber(frame);
    }
    CheckParameters(link.protocol.Parameters());
    return 0;
}
