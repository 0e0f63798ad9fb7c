#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "base/MessageSink.h"
#include "device/DecodedReply.h"
#include "device/DeviceParameters.h"
#include "device/Frame.h"
#include "device/LinkEvents.h"
#include "device/ReplyTable.h"
#include "device/UnitUSB.h"

namespace vx {

// Command frames out on S1, reply frames in on R1, and the start-up sequence that
// asks the instrument for its identity and calibration one query at a time.
class CommandProtocol final : public DeviceParameterSource {
  public:
    static constexpr uint32_t kAllParameters = 0x3FFFC7;
    static constexpr int kStartupQueries = static_cast<int>(kReplyTable.size());

    CommandProtocol(UnitUSB& usb, MessageSink& messages, LinkEvents& events);

    // User-interface thread.
    void SendCommand(std::string_view code, std::string_view parameter = {});
    void SendFrame(std::string_view text);
    bool StartupStep();
    // One 10 ms tick of the start-up sequence; true on the tick that completes it.
    bool OnInitTick();

    // Command thread: one reply read and decoded. False when the read failed and the
    // thread is to end.
    bool ReadReply();
    // Command thread: hands a reply of the table, decoded, to the user-interface thread
    // (LinkEvents::ReplyDecoded), together with its label text if it has one.
    void DecodeReply(const Frame& frame);
    // The decoding alone: nothing for "#NOP" and codes outside the table.
    static std::optional<DecodedReply> DecodeFrame(const Frame& frame);

    // User-interface thread: stores a decoded reply, then sets its parameter mask bit
    // and its reply flag. The device parameters, the mask and the flags are written
    // and read on this thread only, so the command thread never races a reader.
    void ApplyReply(const DecodedReply& reply);

    static double ParseNumber(const Frame& frame);
    static bool CodeEquals(std::string_view code, const Frame& frame);

    uint32_t ParamMask() const { return paramMask_; }
    bool ReplyReceived(int step) const { return replyReceived_[step]; }
    const DeviceParameters& Parameters() const override { return params_; }
    bool AllParametersIn() const override { return ParamMask() == kAllParameters; }

    // Called by the device initialisation once the device is open.
    void BeginLink();

    std::atomic<bool> linkActive{false};
    std::atomic<bool> commandPending{false};

  private:
    void StoreParameter(const DecodedReply& reply, const ReplyRow& row);

    UnitUSB& usb_;
    MessageSink& messages_;
    LinkEvents& events_;
    // User-interface thread only.
    DeviceParameters params_;
    uint32_t paramMask_ = 0;
    std::array<bool, kStartupQueries> replyReceived_{};
    int32_t initStep_ = 0;
    int32_t initDelayTicks_ = 0;  // counts once per program run
    int32_t replyWaitTicks_ = 0;
};

}  // namespace vx
