#include <gtest/gtest.h>

#include "device/UnitUSB.h"
#include "support/Recorders.h"
#include "support/ScriptedBackend.h"

namespace vx {
namespace {

using test::ShownMessage;
using Shown = std::vector<ShownMessage>;

class UnitUSBTest : public ::testing::Test {
  protected:
    test::ScriptedBackend backend;
    test::RecordingMessages messages;
    test::RecordingLinkEvents events;
    test::FakeGuard guard;
    UnitUSB usb{backend, messages, events, guard};
    std::array<uint8_t, 16> half{};
    std::array<uint8_t, 32> packet{};
};

TEST_F(UnitUSBTest, OpenOutcomesAndTheirMessages) {
    struct Case {
        OpenOutcome outcome;
        bool opened;
        std::string text;  // empty: no message
    };
    const std::vector<Case> cases = {
        {OpenOutcome::Opened, true, ""},
        {OpenOutcome::NotFound, false, ""},
        {OpenOutcome::SetupFailed, false, ""},
        {OpenOutcome::ListRefused, false, "Invalid Device Handle"},
        {OpenOutcome::InUse, false, "device in use?"},
    };
    for (const auto& c : cases) {
        test::RecordingMessages shown;
        UnitUSB fresh{backend, shown, events, guard};
        backend.openOutcome = c.outcome;
        EXPECT_EQ(fresh.OpenDevice(), c.opened);
        const Shown expected = c.text.empty() ? Shown{} : Shown{{c.text, "Error"}};
        EXPECT_EQ(shown.Shown(), expected);
    }
}

TEST_F(UnitUSBTest, AccessDeniedSaysWhatToDo) {
    backend.openOutcome = OpenOutcome::AccessDenied;
    EXPECT_FALSE(usb.OpenDevice());
    ASSERT_EQ(messages.Shown().size(), 1u);
    EXPECT_EQ(messages.Shown()[0].caption, "Error");
    EXPECT_EQ(messages.Shown()[0].text.rfind("device in use?", 0), 0u);
    EXPECT_NE(messages.Shown()[0].text.find("udev rule"), std::string::npos);
}

TEST_F(UnitUSBTest, CloseReleasesOnlyAnOpenDevice) {
    usb.CloseDevice();
    EXPECT_EQ(backend.closes, 0);
    ASSERT_TRUE(usb.OpenDevice());
    usb.CloseDevice();
    usb.CloseDevice();
    EXPECT_EQ(backend.closes, 1);
}

TEST_F(UnitUSBTest, ReplyThatDoesNotComeReadsAsNop) {
    EXPECT_TRUE(usb.ReadR1(half));
    const std::array<uint8_t, 6> nop = {'#', 'N', 'O', 'P', 0xA7, 0x00};
    EXPECT_TRUE(std::equal(nop.begin(), nop.end(), half.begin()));
    EXPECT_EQ(backend.Log().back().timeout, std::chrono::milliseconds(1000));
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(UnitUSBTest, TransfersThatCannotStartAreReported) {
    backend.Queue(Pipe::R1, {TransferOutcome::StartFailed, {}});
    backend.Queue(Pipe::R2, {TransferOutcome::StartFailed, {}});
    backend.Queue(Pipe::S1, {TransferOutcome::StartFailed, {}});
    EXPECT_FALSE(usb.ReadR1(half));
    EXPECT_FALSE(usb.ReadR2(packet));
    usb.WriteS1(half);
    EXPECT_EQ(messages.Shown(), (Shown{{"Error WinUsb_ReadPipe in UnitUSB", "WARNING"},
                                       {"R2: Error WinUsb_ReadPipe in UnitUSB", "WARNING"},
                                       {"S1: Error WinUsb_WritePipe in UnitUSB", "WARNING"}}));
    EXPECT_FALSE(usb.DataError());
}

TEST_F(UnitUSBTest, StoppedOrLostLinkRefusesEveryTransfer) {
    for (auto [active, lost] : {std::pair{false, false}, std::pair{true, true}}) {
        guard.active = active;
        guard.lost = lost;
        EXPECT_FALSE(usb.ReadR1(half));
        EXPECT_FALSE(usb.ReadR2(packet));
        usb.WriteS1(half);
    }
    EXPECT_TRUE(backend.Log().empty());
}

TEST_F(UnitUSBTest, CommandWriteTimeOutStopsStreamAndCommandsButNotReplies) {
    backend.Queue(Pipe::S1, {TransferOutcome::NotCompleted, {}});
    usb.WriteS1(half);
    ASSERT_TRUE(usb.DataError());
    ASSERT_EQ(events.DataErrors().size(), 1u);
    EXPECT_EQ(events.DataErrors()[0].text, "Data error, save data and repower device");
    EXPECT_EQ(events.DataErrors()[0].caption, "ERROR");
    EXPECT_FALSE(events.DataErrors()[0].exitAfterSave);

    const size_t before = backend.Log().size();
    usb.WriteS1(half);
    EXPECT_FALSE(usb.ReadR2(packet));
    EXPECT_EQ(backend.Log().size(), before);  // neither reached the device

    EXPECT_TRUE(usb.ReadR1(half));
    EXPECT_EQ(backend.Transfers(Pipe::R1), 1u);
    EXPECT_EQ(events.DataErrors().size(), 1u);
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(UnitUSBTest, StreamTimeOutAsksForSaveAndExitOnce) {
    backend.Queue(Pipe::R2, {TransferOutcome::NotCompleted, {}});
    EXPECT_FALSE(usb.ReadR2(packet));
    EXPECT_EQ(backend.Log().back().timeout, std::chrono::milliseconds(750));
    EXPECT_FALSE(usb.ReadR2(packet));
    usb.WriteS1(half);
    ASSERT_EQ(events.DataErrors().size(), 1u);
    EXPECT_EQ(events.DataErrors()[0].caption, "WARNING");
    EXPECT_TRUE(events.DataErrors()[0].exitAfterSave);
    EXPECT_EQ(backend.Log().size(), 1u);
}

TEST_F(UnitUSBTest, StreamReadTellsHowManyBytesArrived) {
    backend.QueueRead(Pipe::R2, std::vector<uint8_t>(16, 0x30));
    int received = -1;
    EXPECT_TRUE(usb.ReadR2(packet, &received));
    EXPECT_EQ(received, 16);
}

}  // namespace
}  // namespace vx
