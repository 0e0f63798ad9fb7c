#include <gtest/gtest.h>

#include <functional>

#include "device/CommandProtocol.h"
#include "support/LinkParts.h"
#include "support/Recorders.h"
#include "support/ScriptedBackend.h"

namespace vx {
namespace {

using test::ReplyFrame;

Frame ToFrame(const std::vector<uint8_t>& bytes) {
    Frame frame{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), frame.size()), frame.begin());
    return frame;
}

class CommandProtocolTest : public ::testing::Test, protected test::LinkParts {
  protected:
    std::vector<uint8_t> Written(size_t i) const {
        std::vector<std::vector<uint8_t>> writes;
        for (const auto& l : backend.Log()) {
            if (l.pipe == Pipe::S1) {
                writes.push_back(l.bytes);
            }
        }
        return writes.at(i);
    }
};

TEST_F(CommandProtocolTest, CommandGoesOutAsTwoHalfFrames) {
    protocol.SendCommand("#I05");

    ASSERT_EQ(backend.Transfers(Pipe::S1), 2u);
    const std::vector<uint8_t> first = Written(0);
    const std::vector<uint8_t> expectedStart = {'#', 'I', '0', '5', 0x00, 0xA7};
    EXPECT_TRUE(std::equal(expectedStart.begin(), expectedStart.end(), first.begin()));
    EXPECT_EQ(Written(1).size(), 16u);  // the padding half goes out all the same
    EXPECT_EQ(backend.Log()[0].timeout, std::chrono::milliseconds(1500));
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(CommandProtocolTest, OverlongTextIsCutToThirtyWithWarning) {
    const std::string text = "#X01abcdefghijklmnopqrstuvwxyz!";  // 31 characters
    ASSERT_EQ(text.size(), 31u);
    protocol.SendFrame(text);

    std::vector<uint8_t> frame = Written(0);
    const std::vector<uint8_t> second = Written(1);
    frame.insert(frame.end(), second.begin(), second.end());
    EXPECT_EQ(std::string(frame.begin(), frame.begin() + 30), text.substr(0, 30));
    EXPECT_EQ(frame[30], 0x00);
    EXPECT_EQ(frame[31], 0xA7);
    EXPECT_EQ(messages.Shown(),
              (std::vector<test::ShownMessage>{{"Command String too long, cut", "WARNING"}}));
}

TEST_F(CommandProtocolTest, SendCommandTurnsFirstCommaIntoPoint) {
    protocol.SendCommand("#Z61", "2,5,0");
    const std::vector<uint8_t> first = Written(0);
    EXPECT_EQ(std::string(first.begin(), first.begin() + 9), "#Z612.5,0");
}

struct ReplyCase {
    std::string reply;
    int replyIndex;
    uint32_t maskBit;
    std::function<void(const DeviceParameters&, const test::RecordingLinkEvents&)> check;
};

TEST_F(CommandProtocolTest, EveryReplyCodeLandsInItsPlace) {
    const std::vector<ReplyCase> cases = {
        {"#I05FW 2.14", 0, 0, [](auto&, auto& e) { EXPECT_EQ(e.Firmware().back(), "FW 2.14"); }},
        {"#Y00Overload", 1, 0,
         [](auto&, auto& e) { EXPECT_EQ(e.DeviceErrors().back(), "Overload"); }},
        {"#Z16588.5", 2, 0x2, [](auto& p, auto&) { EXPECT_DOUBLE_EQ(p.calibScale, 588.5); }},
        {"#Z17-0,125", 3, 0x1, [](auto& p, auto&) { EXPECT_DOUBLE_EQ(p.calibOffset, -0.125); }},
        {"#Z18ABCDEFGHIJKLMNOPQRSTUVWXY", 4, 0x4,
         [](auto& p, auto&) { EXPECT_EQ(p.serialDevice, "ABCDEFGHIJKLMNOPQRST"); }},
        {"#Z612,5", 5, 0x40, [](auto& p, auto&) { EXPECT_DOUBLE_EQ(p.nominalValue, 2.5); }},
        {"#Z612.5", 5, 0x40, [](auto& p, auto&) { EXPECT_DOUBLE_EQ(p.nominalValue, 2.5); }},
        {"#Z627.9", 6, 0x80, [](auto& p, auto&) { EXPECT_EQ(p.deviceParam62, 7); }},
        {"#Z63-7.9", 7, 0x100, [](auto& p, auto&) { EXPECT_EQ(p.deviceParam63, -7); }},
        {"#Z641.5", 8, 0x200, [](auto& p, auto&) { EXPECT_DOUBLE_EQ(p.linTable[1], 1.5); }},
        {"#Z656.5", 9, 0x400, [](auto& p, auto&) { EXPECT_DOUBLE_EQ(p.linTable[6], 6.5); }},
        {"#Z662", 10, 0x800, [](auto& p, auto&) { EXPECT_DOUBLE_EQ(p.linTable[2], 2); }},
        {"#Z677", 11, 0x1000, [](auto& p, auto&) { EXPECT_DOUBLE_EQ(p.linTable[7], 7); }},
        {"#Z683", 12, 0x2000, [](auto& p, auto&) { EXPECT_DOUBLE_EQ(p.linTable[3], 3); }},
        {"#Z698", 13, 0x4000, [](auto& p, auto&) { EXPECT_DOUBLE_EQ(p.linTable[8], 8); }},
        {"#Z704", 14, 0x8000, [](auto& p, auto&) { EXPECT_DOUBLE_EQ(p.linTable[4], 4); }},
        {"#Z719", 15, 0x10000, [](auto& p, auto&) { EXPECT_DOUBLE_EQ(p.linTable[9], 9); }},
        {"#Z725", 16, 0x20000, [](auto& p, auto&) { EXPECT_DOUBLE_EQ(p.linTable[5], 5); }},
        {"#Z7310", 17, 0x40000, [](auto& p, auto&) { EXPECT_DOUBLE_EQ(p.linTable[10], 10); }},
        {"#Z744", 18, 0x80000, [](auto& p, auto&) { EXPECT_EQ(p.linCount, 4); }},
        {"#Z75Newton-m", 19, 0x100000, [](auto& p, auto&) { EXPECT_EQ(p.unitText, "Newton-m"); }},
        {"#Z75kilonewton", 19, 0x100000, [](auto& p, auto&) { EXPECT_EQ(p.unitText, "kilonewt"); }},
        {"#Z75\xB5m", 19, 0x100000, [](auto& p, auto&) { EXPECT_EQ(p.unitText, "\u00B5m"); }},
        {"#Z76S-4711", 20, 0x200000, [](auto& p, auto&) { EXPECT_EQ(p.serialSensor, "S-4711"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.reply);
        CommandProtocol fresh{usb, messages, events};
        fresh.DecodeReply(ToFrame(ReplyFrame(c.reply)));
        events.ApplyReplies(fresh);
        c.check(fresh.Parameters(), events);
        EXPECT_EQ(fresh.ParamMask(), c.maskBit);
        for (int i = 0; i < CommandProtocol::kStartupQueries; ++i) {
            EXPECT_EQ(fresh.ReplyReceived(i), i == c.replyIndex) << "reply flag " << i;
        }
    }
}

TEST_F(CommandProtocolTest, AllNineteenParametersCompleteTheMask) {
    const char* codes[] = {"#Z16", "#Z17", "#Z18", "#Z61", "#Z62", "#Z63", "#Z64",
                           "#Z65", "#Z66", "#Z67", "#Z68", "#Z69", "#Z70", "#Z71",
                           "#Z72", "#Z73", "#Z74", "#Z75", "#Z76"};
    for (const char* code : codes) {
        EXPECT_NE(protocol.ParamMask(), CommandProtocol::kAllParameters);
        protocol.DecodeReply(ToFrame(ReplyFrame(std::string(code) + "1")));
        events.ApplyReplies(protocol);
    }
    EXPECT_EQ(protocol.ParamMask(), 0x3FFFC7u);
}

TEST_F(CommandProtocolTest, UnknownCodesChangeNothing) {
    protocol.DecodeReply(ToFrame(ReplyFrame("#Q991")));
    protocol.DecodeReply(ToFrame(ReplyFrame("#Z6")));  // three characters do not match "#Z61"
    events.ApplyReplies(protocol);
    EXPECT_EQ(protocol.ParamMask(), 0u);
    for (int i = 0; i < CommandProtocol::kStartupQueries; ++i) {
        EXPECT_FALSE(protocol.ReplyReceived(i));
    }
}

TEST(ParseNumberTest, ReadsPayloadWhateverItsDecimalMark) {
    const std::vector<std::pair<std::string, double>> cases = {
        {"#Z612,5", 2.5},       {"#Z612.5", 2.5}, {"#Z61  -1.5e2", -150.0}, {"#Z61+3", 3.0},
        {"#Z61abc", 0.0},       {"#Z61", 0.0},    {"#Z6112.5kg", 12.5},     {"#Z611,234.5", 1.234},
        {"#Z611.234,5", 1.234}, {"#Z61+-5", 0.0}, {"#Z61--5", 0.0},         {"#Z61-+5", 0.0},
        {"#Z61 -5", -5.0},
    };
    for (const auto& [reply, expected] : cases) {
        EXPECT_DOUBLE_EQ(CommandProtocol::ParseNumber(ToFrame(ReplyFrame(reply))), expected)
            << reply;
    }
}

TEST(ParseNumberTest, PayloadWithoutTerminatorStopsAtFrameEnd) {
    Frame frame;
    frame.fill('9');
    std::copy_n("#Z61", 4, frame.begin());
    EXPECT_DOUBLE_EQ(CommandProtocol::ParseNumber(frame), 9999999999999999999999999999.0);
}

TEST_F(CommandProtocolTest, SecondReadOnlyWhenFirstHalfHasNoEndMarker) {
    // "#Z18" + 12 characters: the end marker lies in the second half.
    const std::vector<uint8_t> longReply = ReplyFrame("#Z18ZM418-000123");
    backend.QueueRead(Pipe::R1, {longReply.begin(), longReply.begin() + 16});
    backend.QueueRead(Pipe::R1, {longReply.begin() + 16, longReply.end()});
    ASSERT_TRUE(protocol.ReadReply());
    events.ApplyReplies(protocol);
    EXPECT_EQ(backend.Transfers(Pipe::R1), 2u);
    EXPECT_EQ(protocol.Parameters().serialDevice, "ZM418-000123");

    // An end marker anywhere in bytes 0..15 is the whole reply.
    std::vector<uint8_t> shortReply(16, 'x');
    std::copy_n("#Z61", 4, shortReply.begin());
    shortReply[4] = '7';
    shortReply[5] = 0;
    shortReply[15] = 0xA7;
    backend.QueueRead(Pipe::R1, shortReply);
    ASSERT_TRUE(protocol.ReadReply());
    events.ApplyReplies(protocol);
    EXPECT_EQ(backend.Transfers(Pipe::R1), 3u);
    EXPECT_DOUBLE_EQ(protocol.Parameters().nominalValue, 7.0);
}

TEST_F(CommandProtocolTest, NopChangesNothingButEndsTheWait) {
    protocol.commandPending = true;
    ASSERT_TRUE(protocol.ReadReply());  // nothing queued: the transport delivers "#NOP"
    events.ApplyReplies(protocol);
    EXPECT_FALSE(protocol.commandPending);
    EXPECT_EQ(protocol.ParamMask(), 0u);
    EXPECT_TRUE(events.Firmware().empty());
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(CommandProtocolTest, FailedReadEndsTheCommandThreadsWork) {
    guard.active = false;
    protocol.commandPending = true;
    EXPECT_FALSE(protocol.ReadReply());
    EXPECT_TRUE(protocol.commandPending);
}

}  // namespace
}  // namespace vx
