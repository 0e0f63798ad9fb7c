#pragma once

#include <atomic>
#include <cstdint>
#include <span>

#include "base/MessageSink.h"
#include "device/LinkEvents.h"
#include "device/UsbBackend.h"

namespace vx {

// The two link states every transfer looks at before it starts.
class LinkGuard {
  public:
    virtual bool LinkActive() const = 0;
    virtual bool ConnectionLost() const = 0;

  protected:
    ~LinkGuard() = default;
};

// The transport: the program's five operations on the instrument, with their time
// limits, refusals and messages, over whatever backend drives the device.
class UnitUSB {
  public:
    static constexpr auto kR1Timeout = std::chrono::milliseconds(1000);
    static constexpr auto kR2Timeout = std::chrono::milliseconds(750);
    static constexpr auto kS1Timeout = std::chrono::milliseconds(1500);

    UnitUSB(UsbBackend& backend, MessageSink& messages, LinkEvents& events, const LinkGuard& guard);

    // User-interface thread.
    bool OpenDevice();
    void WriteS1(std::span<const uint8_t, 16> halfFrame);
    void CloseDevice();

    // Command thread. A reply that does not come in time reads as "#NOP" and succeeds.
    bool ReadR1(std::span<uint8_t, 16> buffer);

    // Measuring thread. bytesReceived, when given, tells how much of the packet arrived.
    bool ReadR2(std::span<uint8_t, 32> buffer, int* bytesReceived = nullptr);

    // Set for the rest of the run once a stream read or a command write has not
    // completed in time; from then on both are refused.
    bool DataError() const { return dataError_.load(std::memory_order_acquire); }

  private:
    void ReportDataError(const char* caption, bool exitAfterSave);

    UsbBackend& backend_;
    MessageSink& messages_;
    LinkEvents& events_;
    const LinkGuard& guard_;
    bool open_ = false;
    std::atomic<bool> dataError_{false};
};

}  // namespace vx
