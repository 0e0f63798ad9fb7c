#include "device/CommandProtocol.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

#include "base/TextEncoding.h"

namespace vx {

namespace {

constexpr size_t kMaxCommandText = 30;
constexpr size_t kMaxBuiltCommand = 255;

constexpr bool MaskBitsAreDistinctAndComplete() {
    uint32_t all = 0;
    for (const ReplyRow& row : kReplyTable) {
        if ((all & row.maskBit) != 0) {
            return false;
        }
        all |= row.maskBit;
    }
    return all == CommandProtocol::kAllParameters;
}

// Reply i answers start-up query i: replyReceived_ is indexed by both.
constexpr bool RowsAnswerTheQueriesInOrder() {
    for (size_t i = 0; i < kReplyTable.size(); ++i) {
        if (kReplyTable[i].code != kStartupCommands[i]) {
            return false;
        }
    }
    return kStartupCommands.size() == kReplyTable.size() + 1;
}

constexpr bool RowsNameTheirDestination() {
    return std::all_of(kReplyTable.begin(), kReplyTable.end(), [](const ReplyRow& row) {
        switch (row.kind) {
            case ReplyKind::FirmwareText:
            case ReplyKind::DeviceErrorText:
                return row.textBytes > 0 && row.maskBit == 0;
            case ReplyKind::Number:
                return row.number != nullptr;
            case ReplyKind::WholeNumber:
                return row.wholeNumber != nullptr;
            case ReplyKind::Text:
                return row.text != nullptr && row.textBytes > 0;
            case ReplyKind::LinPoint:
                return row.linIndex >= 1 && row.linIndex <= 10;
            case ReplyKind::LinCount:
                return true;
        }
        return false;
    });
}

static_assert(MaskBitsAreDistinctAndComplete());
static_assert(RowsAnswerTheQueriesInOrder());
static_assert(RowsNameTheirDestination());

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
    for (size_t row = 0; row < kReplyTable.size(); ++row) {
        if (!CodeEquals(kReplyTable[row].code, frame)) {
            continue;
        }
        StoreParameter(frame, kReplyTable[row]);
        if (kReplyTable[row].maskBit != 0) {
            paramMask_.fetch_or(kReplyTable[row].maskBit, std::memory_order_release);
        }
        replyReceived_[row] = true;
        return;
    }
}

void CommandProtocol::StoreParameter(const Frame& frame, const ReplyRow& row) {
    switch (row.kind) {
        case ReplyKind::FirmwareText:
            events_.FirmwareTextReceived(TextPayload(frame, row.textBytes));
            break;
        case ReplyKind::DeviceErrorText:
            events_.DeviceErrorTextReceived(TextPayload(frame, row.textBytes));
            break;
        case ReplyKind::Number:
            params_.*row.number = ParseNumber(frame);
            break;
        case ReplyKind::WholeNumber:
            params_.*row.wholeNumber = TruncateToInt32(ParseNumber(frame));
            break;
        case ReplyKind::Text:
            params_.*row.text = TextPayload(frame, row.textBytes);
            break;
        case ReplyKind::LinCount:
            params_.linCount = static_cast<uint8_t>(frame[4] - '0');
            break;
        case ReplyKind::LinPoint:
            params_.linTable[row.linIndex] = ParseNumber(frame);
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
