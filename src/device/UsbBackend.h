#pragma once

#include <chrono>
#include <cstdint>
#include <span>

namespace vx {

// The instrument's three bulk pipes.
enum class Pipe : uint8_t {
    S1,  // bulk OUT: command half-frames
    R1,  // bulk IN at endpoint index 1: command replies
    R2,  // bulk IN at endpoint index 2: measuring stream
};

enum class OpenOutcome {
    Opened,
    NotFound,      // no instrument on the bus
    ListRefused,   // the bus could not be enumerated at all
    InUse,         // found, but another program holds it
    AccessDenied,  // found, but the user may not open it
    SetupFailed,   // opened, but its interface is not the instrument's
};

enum class TransferOutcome {
    Completed,     // the transfer finished within its time limit
    NotCompleted,  // it was started but did not finish successfully in time
    StartFailed,   // it could not even be started
};

struct TransferResult {
    TransferOutcome outcome = TransferOutcome::StartFailed;
    int bytes = 0;  // bytes that arrived or left
};

// What lies under the transport: a real device on USB, or the simulated instrument.
// Open and Close run on the user-interface thread; each pipe is used by one thread.
class UsbBackend {
  public:
    virtual ~UsbBackend() = default;
    virtual OpenOutcome Open() = 0;
    virtual TransferResult Transfer(Pipe pipe, std::span<uint8_t> buffer,
                                    std::chrono::milliseconds timeout) = 0;
    virtual void Close() = 0;
};

}  // namespace vx
