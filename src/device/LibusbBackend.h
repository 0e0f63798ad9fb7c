#pragma once

#include <optional>
#include <string>
#include <vector>

#include "device/InstrumentEndpoints.h"
#include "device/UsbBackend.h"
#include "device/UsbId.h"

struct libusb_context;
struct libusb_device;
struct libusb_device_handle;

namespace vx {

// The instrument on USB through libusb-1.0. Open takes the first device that
// carries the instrument's interface GUID in its OS 2.0 descriptors, or has the
// vendor and product id given here, checks interface 0 and claims it. Each
// transfer is synchronous and bounded by its time-out; an unplugged device makes
// transfers fail, never hang.
class LibusbBackend final : public UsbBackend {
  public:
    explicit LibusbBackend(std::optional<UsbId> usbId = std::nullopt);
    ~LibusbBackend() override;
    LibusbBackend(const LibusbBackend&) = delete;
    LibusbBackend& operator=(const LibusbBackend&) = delete;

    OpenOutcome Open() override;
    TransferResult Transfer(Pipe pipe, std::span<uint8_t> buffer,
                            std::chrono::milliseconds timeout) override;
    // Releases the interface, closes the device and ends libusb; harmless when closed.
    void Close() override;

    // One line per device the last Open looked at: where it is, its ids, and
    // whether it was taken or why not.
    const std::vector<std::string>& LastScan() const { return scan_; }

  private:
    enum class Verdict { Taken, NotInstrument, Denied, Refused };
    Verdict Examine(libusb_device* device, std::string& why, OpenOutcome& refusal);
    bool IsInstrument(libusb_device_handle* handle, uint16_t bcdUsb, std::string& why);

    const std::optional<UsbId> usbId_;
    libusb_context* context_ = nullptr;
    libusb_device_handle* handle_ = nullptr;
    bool claimed_ = false;
    InstrumentPipes pipes_;
    std::vector<std::string> scan_;
};

}  // namespace vx
