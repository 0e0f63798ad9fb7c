#pragma once

#include <functional>
#include <memory>

#include "base/MessageSink.h"
#include "base/Timer.h"
#include "device/CommandProtocol.h"
#include "device/LinkEvents.h"
#include "device/ThreadCommand.h"
#include "device/ThreadMeasuring.h"
#include "device/UnitUSB.h"
#include "measurement/MeasData.h"

namespace vx {

// The device side of the program: the transport, the protocol, the shared
// measurement object and the two worker threads, started and stopped in order.
class DeviceLink final : private LinkGuard {
  public:
    DeviceLink(UsbBackend& backend, MessageSink& messages, LinkEvents& events,
               TimerFactory& timers);
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // Stops any running link, builds a new TMeasData, opens the device and starts the
    // command thread, then the measuring thread. False when no device could be opened;
    // the new TMeasData exists either way.
    bool Start(int32_t samplesPerValue, double startTime = NowAsDateTime());

    // Refuses every further transfer, waits for both threads, then closes the device.
    // Returns once a pending reply wait has run out (up to about two seconds).
    void Stop();

    // Stops the link and destroys the measurement object.
    void Shutdown();

    void SetStartupCompleteHandler(std::function<void()> handler);

    TMeasData* MeasData() const { return measData_.get(); }
    CommandProtocol& Protocol() { return protocol_; }
    UnitUSB& Usb() { return usb_; }
    const TDataThread* CommandThread() const { return commandThread_.get(); }
    const TdataThread2* MeasuringThread() const { return measuringThread_.get(); }

  private:
    bool LinkActive() const override { return protocol_.linkActive.load(); }
    bool ConnectionLost() const override;

    MessageSink& messages_;
    TimerFactory& timers_;
    UnitUSB usb_;
    CommandProtocol protocol_;
    std::function<void()> onStartupComplete_;
    // Replaced only while no worker thread exists.
    std::unique_ptr<TMeasData> measData_;
    std::unique_ptr<TDataThread> commandThread_;
    std::unique_ptr<TdataThread2> measuringThread_;
};

}  // namespace vx
