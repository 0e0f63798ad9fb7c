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
    paramMask_ = 0;
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
    // One sign only: from_chars would take a second '-' as the number's own.
    if (p != end && (*p == '+' || *p == '-')) {
        return 0.0;
    }
    double value = 0.0;
    if (std::from_chars(p, end, value).ec != std::errc{}) {
        return 0.0;
    }
    return negative ? -value : value;
}

std::optional<DecodedReply> CommandProtocol::DecodeFrame(const Frame& frame) {
    if (CodeEquals("#NOP", frame)) {
        return std::nullopt;
    }
    for (size_t index = 0; index < kReplyTable.size(); ++index) {
        const ReplyRow& row = kReplyTable[index];
        if (!CodeEquals(row.code, frame)) {
            continue;
        }
        DecodedReply reply{.row = static_cast<uint8_t>(index), .value = {}};
        switch (row.kind) {
            case ReplyKind::FirmwareText:
            case ReplyKind::DeviceErrorText:
            case ReplyKind::Text:
                reply.value = TextPayload(frame, row.textBytes);
                break;
            case ReplyKind::Number:
            case ReplyKind::LinPoint:
                reply.value = ParseNumber(frame);
                break;
            case ReplyKind::WholeNumber:
                reply.value = TruncateToInt32(ParseNumber(frame));
                break;
            case ReplyKind::LinCount:
                reply.value = static_cast<uint8_t>(frame[4] - '0');
                break;
        }
        return reply;
    }
    return std::nullopt;
}

void CommandProtocol::DecodeReply(const Frame& frame) {
    const std::optional<DecodedReply> reply = DecodeFrame(frame);
    if (!reply) {
        return;
    }
    switch (kReplyTable[reply->row].kind) {
        case ReplyKind::FirmwareText:
            events_.FirmwareTextReceived(std::get<std::string>(reply->value));
            break;
        case ReplyKind::DeviceErrorText:
            events_.DeviceErrorTextReceived(std::get<std::string>(reply->value));
            break;
        default:
            break;
    }
    events_.ReplyDecoded(*reply);
}

void CommandProtocol::ApplyReply(const DecodedReply& reply) {
    if (reply.row >= kReplyTable.size()) {
        return;
    }
    const ReplyRow& row = kReplyTable[reply.row];
    StoreParameter(reply, row);
    paramMask_ |= row.maskBit;
    replyReceived_[reply.row] = true;
}

// The value has the type DecodeFrame gives the row's kind.
void CommandProtocol::StoreParameter(const DecodedReply& reply, const ReplyRow& row) {
    switch (row.kind) {
        case ReplyKind::FirmwareText:
        case ReplyKind::DeviceErrorText:
            break;  // their texts went to the labels
        case ReplyKind::Number:
            params_.*row.number = std::get<double>(reply.value);
            break;
        case ReplyKind::WholeNumber:
            params_.*row.wholeNumber = std::get<int32_t>(reply.value);
            break;
        case ReplyKind::Text:
            params_.*row.text = std::get<std::string>(reply.value);
            break;
        case ReplyKind::LinCount:
            params_.linCount = std::get<uint8_t>(reply.value);
            break;
        case ReplyKind::LinPoint:
            params_.linTable[row.linIndex] = std::get<double>(reply.value);
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
