#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "device/InstrumentEndpoints.h"
#include "device/UsbBackend.h"
#include "device/UsbId.h"

struct libusb_context;
struct libusb_device;
struct libusb_device_handle;
struct libusb_transfer;

namespace vx {

// The instrument on USB through libusb-1.0. Open takes the first device that
// carries the instrument's interface GUID in its OS 2.0 descriptors, or has the
// vendor and product id given here, checks interface 0 and claims it. Each
// transfer is bounded by its time-out; an unplugged device makes transfers fail,
// never hang. S1 runs one transfer per call. R1 reads whole packets of the endpoint's
// size and hands them out 16 bytes at most per call (see ReadReply). The stream pipe keeps
// kStreamReads reads in flight, so that reads always wait in the device while the caller handles
// the packets before, or while a busy computer does not run it: the device holds a single packet
// and drops it when the next is due.
class LibusbBackend final : public UsbBackend {
  public:
    // Half a second of the stream at one packet per 10 ms: a busy computer may leave
    // the measuring thread unscheduled for longer than a tenth of a second.
    static constexpr size_t kStreamReads = 50;

    // usbId is asked for at every Open: the settings that hold it are read later
    // than the backend is made.
    explicit LibusbBackend(std::function<std::optional<UsbId>()> usbId);
    explicit LibusbBackend(std::optional<UsbId> usbId = std::nullopt);
    ~LibusbBackend() override;
    LibusbBackend(const LibusbBackend&) = delete;
    LibusbBackend& operator=(const LibusbBackend&) = delete;

    OpenOutcome Open() override;
    TransferResult Transfer(Pipe pipe, std::span<uint8_t> buffer,
                            std::chrono::milliseconds timeout) override;
    // Cancels and reaps the stream reads, releases the interface, closes the device
    // and ends libusb; harmless when closed.
    void Close() override;

    // One line per device the last Open looked at: where it is, its ids, and
    // whether it was taken or why not.
    const std::vector<std::string>& LastScan() const { return scan_; }

  private:
    enum class Verdict { Taken, NotInstrument, Denied, Refused };
    Verdict Examine(libusb_device* device, std::string& why, OpenOutcome& refusal);
    bool IsInstrument(libusb_device_handle* handle, uint16_t bcdUsb, std::string& why);

    // One of the stream reads. It stays in place while in flight: its done flag is
    // the transfer's user data.
    struct StreamRead {
        libusb_transfer* transfer = nullptr;
        std::vector<uint8_t> buffer;
        int done = 0;
        bool inFlight = false;
        uint64_t submitted = 0;  // submission order: packets leave in this order
    };
    TransferResult OneTransfer(uint8_t endpoint, std::span<uint8_t> buffer,
                               std::chrono::milliseconds timeout);
    TransferResult ReadReply(std::span<uint8_t> buffer, std::chrono::milliseconds timeout);
    TransferResult HandOutReply(std::span<uint8_t> buffer);
    TransferResult ReadStream(std::span<uint8_t> buffer, std::chrono::milliseconds timeout);
    bool SubmitStreamRead(StreamRead& read, size_t length);
    void EndStream();

    const std::function<std::optional<UsbId>()> usbIdSource_;
    std::optional<UsbId> usbId_;  // for the Open under way
    libusb_context* context_ = nullptr;
    libusb_device_handle* handle_ = nullptr;
    bool claimed_ = false;
    InstrumentPipes pipes_;
    size_t replyPacketSize_ = 0;
    // Command thread while the link runs; dropped by Close, after the threads ended.
    std::vector<uint8_t> replyRest_;
    std::array<StreamRead, kStreamReads> stream_;
    uint64_t streamSubmissions_ = 0;
    std::vector<std::string> scan_;
};

}  // namespace vx
