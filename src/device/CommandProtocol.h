#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

#include "app/MessageSink.h"
#include "device/LinkEvents.h"
#include "device/UnitUSB.h"

namespace vx {

using Frame = std::array<uint8_t, 32>;

// The instrument's identity and calibration, as its replies deliver them. Written
// only by the reply decoder on the command thread while the start-up sequence runs;
// read on the user-interface thread once ParamMask() says all of them are in.
struct DeviceParameters {
    double calibScale = 0.0;
    double calibOffset = 0.0;
    std::string serialDevice;
    double nominalValue = 0.0;
    int32_t deviceParam62 = 0;
    int32_t deviceParam63 = 0;
    std::array<double, 11> linTable{};  // 1..5 outputs, 6..10 inputs; 0 unused
    uint8_t linCount = 0;
    std::string unitText;
    std::string serialSensor;
};

// Command frames out on S1, reply frames in on R1, and the start-up sequence that
// asks the instrument for its identity and calibration one query at a time.
class CommandProtocol {
  public:
    static constexpr uint32_t kAllParameters = 0x3FFFC7;
    static constexpr int kStartupQueries = 21;

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
    void DecodeReply(const Frame& frame);

    static double ParseNumber(const Frame& frame);
    static bool CodeEquals(std::string_view code, const Frame& frame);

    uint32_t ParamMask() const { return paramMask_.load(std::memory_order_acquire); }
    bool ReplyReceived(int step) const { return replyReceived_[step].load(); }
    const DeviceParameters& Parameters() const { return params_; }

    // Called by the device initialisation once the device is open.
    void BeginLink();

    std::atomic<bool> linkActive{false};
    std::atomic<bool> commandPending{false};

  private:
    void StoreParameter(const Frame& frame, int row);

    UnitUSB& usb_;
    MessageSink& messages_;
    LinkEvents& events_;
    DeviceParameters params_;
    std::atomic<uint32_t> paramMask_{0};
    std::array<std::atomic<bool>, kStartupQueries> replyReceived_{};
    int32_t initStep_ = 0;
    int32_t initDelayTicks_ = 0;  // counts once per program run
    int32_t replyWaitTicks_ = 0;
};

}  // namespace vx
