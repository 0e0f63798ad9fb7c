#pragma once

#include "device/UsbBackend.h"

namespace vx {

// A bus without the instrument: every open finds nothing.
class NoUsbBackend final : public UsbBackend {
  public:
    OpenOutcome Open() override { return OpenOutcome::NotFound; }
    TransferResult Transfer(Pipe, std::span<uint8_t>, std::chrono::milliseconds) override {
        return {TransferOutcome::StartFailed, 0};
    }
    void Close() override {}
};

}  // namespace vx
