#pragma once

#include <array>
#include <chrono>
#include <vector>

#include "device/Recording.h"
#include "device/UsbBackend.h"

namespace vx {

// Records every transfer that completes on another backend, with its time since
// Open. Each pipe is used by one thread and has a log of its own, so recording takes
// no lock; the logs are merged once the link has stopped and its threads have ended.
class SessionRecorder final : public UsbBackend {
  public:
    explicit SessionRecorder(UsbBackend& device) : device_(device) {}

    OpenOutcome Open() override;
    TransferResult Transfer(Pipe pipe, std::span<uint8_t> buffer,
                            std::chrono::milliseconds timeout) override;
    void Close() override;

    // After Close: all transfers in the order of their times, the pipes' own orders kept.
    std::vector<RecordedTransfer> Transfers() const;

  private:
    UsbBackend& device_;
    std::chrono::steady_clock::time_point opened_;
    std::array<std::vector<RecordedTransfer>, 3> logs_;  // by pipe
};

}  // namespace vx
