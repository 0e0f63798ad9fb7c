#include "device/CommandProtocol.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "lang/Cp1252.h"

namespace vx {

namespace {

constexpr uint8_t kEndOfFrame = 0xA7;
constexpr size_t kMaxCommandText = 30;
constexpr size_t kMaxBuiltCommand = 255;

constexpr std::array<const char*, 22> kStartupCommands = {
    "#I05", "#Y00", "#Z16", "#Z17", "#Z18", "#Z61", "#Z62", "#Z63", "#Z64", "#Z65", "#Z66",
    "#Z67", "#Z68", "#Z69", "#Z70", "#Z71", "#Z72", "#Z73", "#Z74", "#Z75", "#Z76", "#A13"};

// Reply codes in start-up order: row i answers start-up step i and sets bit kMaskBits[i].
constexpr std::array<uint32_t, CommandProtocol::kStartupQueries> kMaskBits = {
    0,      0,      0x2,    0x1,    0x4,     0x40,    0x80,    0x100,   0x200,    0x400,   0x800,
    0x1000, 0x2000, 0x4000, 0x8000, 0x10000, 0x20000, 0x40000, 0x80000, 0x100000, 0x200000};

// The 8-bit payload from byte 4 up to the first zero byte, never beyond the frame.
std::string_view Payload(const Frame& frame) {
    const auto* begin = reinterpret_cast<const char*>(frame.data()) + 4;
    const auto* end = reinterpret_cast<const char*>(frame.data()) + frame.size();
    return {begin, static_cast<size_t>(std::find(begin, end, '\0') - begin)};
}

std::string TextPayload(const Frame& frame, size_t maxBytes) {
    return Cp1252ToUtf8(Payload(frame).substr(0, maxBytes));
}

int32_t TruncateToInt32(double x) {
    if (std::isnan(x)) {
        return 0;
    }
    const double t = std::trunc(x);
    return static_cast<int32_t>(std::clamp(t, double{std::numeric_limits<int32_t>::min()},
                                           double{std::numeric_limits<int32_t>::max()}));
}

}  // namespace

CommandProtocol::CommandProtocol(UnitUSB& usb, MessageSink& messages, LinkEvents& events)
    : usb_(usb), messages_(messages), events_(events) {}

void CommandProtocol::BeginLink() {
    commandPending = true;
    linkActive = true;
    paramMask_.store(0, std::memory_order_release);
}

void CommandProtocol::SendCommand(std::string_view code, std::string_view parameter) {
    std::string text(code);
    text.append(parameter);
    text.resize(std::min(text.size(), kMaxBuiltCommand));
    if (const auto comma = text.find(','); comma != std::string::npos) {
        text[comma] = '.';
    }
    SendFrame(text);
}

void CommandProtocol::SendFrame(std::string_view text) {
    Frame frame{};
    if (text.size() > kMaxCommandText) {
        text = text.substr(0, kMaxCommandText);
        messages_.Show("Command String too long, cut", "WARNING");
    }
    std::copy(text.begin(), text.end(), frame.begin());
    frame[text.size()] = 0x00;
    frame[text.size() + 1] = kEndOfFrame;
    usb_.WriteS1(std::span(frame).first<16>());
    usb_.WriteS1(std::span(frame).last<16>());
}

bool CommandProtocol::ReadReply() {
    Frame frame{};
    if (!usb_.ReadR1(std::span(frame).first<16>())) {
        return false;
    }
    const auto firstHalfEnd = frame.begin() + 16;
    if (std::find(frame.begin(), firstHalfEnd, kEndOfFrame) == firstHalfEnd) {
        usb_.ReadR1(std::span(frame).last<16>());
    }
    DecodeReply(frame);
    commandPending = false;
    return true;
}

bool CommandProtocol::CodeEquals(std::string_view code, const Frame& frame) {
    return code.size() >= 4 && std::equal(code.begin(), code.begin() + 4, frame.begin());
}

double CommandProtocol::ParseNumber(const Frame& frame) {
    // A '.' and a ',' both mark the decimals, whatever the user's locale says.
    std::string text(Payload(frame));
    if (const auto comma = text.find(','); comma != std::string::npos) {
        text[comma] = '.';
    }
    const char* p = text.data();
    const char* end = p + text.size();
    while (p != end && (*p == ' ' || (*p >= '\t' && *p <= '\r'))) {
        ++p;
    }
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    double value = 0.0;
    if (std::from_chars(p, end, value).ec != std::errc{}) {
        return 0.0;
    }
    return negative ? -value : value;
}

void CommandProtocol::DecodeReply(const Frame& frame) {
    if (CodeEquals("#NOP", frame)) {
        return;
    }
    for (int row = 0; row < kStartupQueries; ++row) {
        if (!CodeEquals(kStartupCommands[row], frame)) {
            continue;
        }
        StoreParameter(frame, row);
        if (kMaskBits[row] != 0) {
            paramMask_.fetch_or(kMaskBits[row], std::memory_order_release);
        }
        replyReceived_[row] = true;
        return;
    }
}

void CommandProtocol::StoreParameter(const Frame& frame, int row) {
    // Rows 8..17 ("#Z64".."#Z73") alternate between an output and an input point.
    static constexpr std::array<int, 10> kLinIndex = {1, 6, 2, 7, 3, 8, 4, 9, 5, 10};
    switch (row) {
        case 0:
            events_.FirmwareTextReceived(TextPayload(frame, 32));
            break;
        case 1:
            events_.DeviceErrorTextReceived(TextPayload(frame, 32));
            break;
        case 2:
            params_.calibScale = ParseNumber(frame);
            break;
        case 3:
            params_.calibOffset = ParseNumber(frame);
            break;
        case 4:
            params_.serialDevice = TextPayload(frame, 20);
            break;
        case 5:
            params_.nominalValue = ParseNumber(frame);
            break;
        case 6:
            params_.deviceParam62 = TruncateToInt32(ParseNumber(frame));
            break;
        case 7:
            params_.deviceParam63 = TruncateToInt32(ParseNumber(frame));
            break;
        case 18:
            params_.linCount = static_cast<uint8_t>(frame[4] - '0');
            break;
        case 19:
            params_.unitText = TextPayload(frame, 8);
            break;
        case 20:
            params_.serialSensor = TextPayload(frame, 20);
            break;
        default:
            params_.linTable[kLinIndex[row - 8]] = ParseNumber(frame);
            break;
    }
}

bool CommandProtocol::StartupStep() {
    if (initStep_ >= 0 && initStep_ < static_cast<int32_t>(kStartupCommands.size())) {
        SendCommand(kStartupCommands[initStep_]);
        ++initStep_;
        return false;
    }
    initStep_ = 0;
    for (const auto& received : replyReceived_) {
        if (!received) {
            return false;  // the whole pass starts again
        }
    }
    commandPending = false;
    return true;
}

bool CommandProtocol::OnInitTick() {
    if (!linkActive) {
        return false;
    }
    if (initDelayTicks_ < 25) {
        ++initDelayTicks_;
        return false;
    }
    if (++replyWaitTicks_ > 10) {
        commandPending = false;
    }
    if (commandPending) {
        return false;
    }
    commandPending = true;
    replyWaitTicks_ = 0;
    return StartupStep();
}

}  // namespace vx
