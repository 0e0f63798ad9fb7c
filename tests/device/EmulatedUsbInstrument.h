#pragma once

#include <chrono>
#include <cstdint>
#include <deque>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "UsbDescriptors.h"
#include "device/SimulatedInstrument.h"

typedef struct _UMockdevTestbed UMockdevTestbed;
typedef struct _UMockdevIoctlBase UMockdevIoctlBase;
typedef struct _UMockdevIoctlClient UMockdevIoctlClient;
typedef struct _UMockdevIoctlData UMockdevIoctlData;

namespace vx::test {

// True when the test runs under umockdev-wrapper, which the emulated bus needs.
bool UnderUmockdev();

// An instrument on an emulated USB bus: umockdev's testbed holds its sysfs entry and
// device node, and this handler answers the usbdevfs requests libusb sends (submit,
// non-blocking reap, discard, claim, capabilities). Behind the bulk pipes sits the
// simulated instrument on a clock this device moves, so the real command protocol
// and 32-byte measuring packets travel over libusb.
class EmulatedUsbInstrument {
  public:
    enum class Pacing {
        AsFastAsRead,  // every stream read gets the next packet at once
        RealTime,      // a packet every 10 ms; the device holds one, a later one is lost
    };

    // How replies travel in packets of the reply pipe (64 bytes at most).
    enum class ReplyPackets {
        Halves,      // one 16-byte half-frame per packet
        WholeReply,  // a reply in one packet, up to and with its end marker
        Pairs,       // two replies in one packet: a lone reply waits for the next
    };

    EmulatedUsbInstrument(UMockdevTestbed* testbed, int devnum, DeviceLook look);
    ~EmulatedUsbInstrument();
    EmulatedUsbInstrument(const EmulatedUsbInstrument&) = delete;
    EmulatedUsbInstrument& operator=(const EmulatedUsbInstrument&) = delete;

    SimulatedInstrument& Instrument() { return instrument_; }
    void SetPacing(Pacing pacing);
    void SetReplyPackets(ReplyPackets packets);
    // Sizes of the reply packets sent so far.
    std::vector<size_t> ReplyPacketSizes() const;
    // True while a reply waits in the device for another to share its packet.
    bool ReplyHeld() const;
    // Another program has claimed interface 0.
    void SetHeldByOther(bool held);
    // Pending requests end with "no device", then the bus reports the removal.
    void Unplug();
    // RealTime pacing: packets the device had to drop, once streaming, because no
    // read took them in time.
    int64_t LostPackets() const;
    int64_t PacketsDelivered() const;
    // True while a stream read waits in the device.
    bool StreamReadPending() const;

  private:
    struct Urb {
        UMockdevIoctlData* data = nullptr;    // one reference held
        UMockdevIoctlData* buffer = nullptr;  // IN data go here, written back at reap
        uint8_t endpoint = 0;
        int status = 0;
        std::vector<uint8_t> reply;  // IN data to copy at reap
        size_t replyOffset = 0;      // 8 for control transfers: after the setup packet
    };

    static int HandleIoctl(UMockdevIoctlBase* base, UMockdevIoctlClient* client, void* self);
    bool Handle(UMockdevIoctlClient* client);
    void Submit(UMockdevIoctlClient* client);
    void AnswerControl(Urb& urb, const uint8_t* setup);
    void Reap(UMockdevIoctlClient* client);
    void Discard(UMockdevIoctlClient* client);
    void Pump();
    // The next reply packet, or nothing while none is complete.
    std::optional<Bytes> NextReplyPacket();

    UMockdevTestbed* testbed_;
    std::string devnode_;
    std::string syspath_;
    UMockdevIoctlBase* handler_ = nullptr;
    const DeviceLook look_;
    SimulatedInstrument instrument_{SimulatedInstrument::ClockMode::Manual};

    mutable std::mutex mutex_;
    Pacing pacing_ = Pacing::AsFastAsRead;
    std::chrono::steady_clock::time_point realStart_;
    std::chrono::milliseconds clock_{0};
    bool heldByOther_ = false;
    bool gone_ = false;
    std::deque<Urb> pending_;
    std::deque<Urb> ready_;
    int64_t lost_ = 0;
    int64_t delivered_ = 0;
    ReplyPackets replyPackets_ = ReplyPackets::Halves;
    Bytes heldReplies_;  // complete replies waiting for a packet
    int heldCount_ = 0;
    std::vector<size_t> replyPacketSizes_;
};

// The testbed for one test: made before libusb starts, removed after the devices.
class UsbTestbed {
  public:
    UsbTestbed();
    ~UsbTestbed();
    UsbTestbed(const UsbTestbed&) = delete;
    UsbTestbed& operator=(const UsbTestbed&) = delete;

    EmulatedUsbInstrument& Add(DeviceLook look = {});
    // Removes every device; call once libusb has ended.
    void Clear() { devices_.clear(); }

  private:
    UMockdevTestbed* testbed_;
    std::vector<std::unique_ptr<EmulatedUsbInstrument>> devices_;
};

}  // namespace vx::test
