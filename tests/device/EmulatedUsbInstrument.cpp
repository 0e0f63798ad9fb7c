#include "EmulatedUsbInstrument.h"

#include <fmt/core.h>
#include <linux/ioctl.h>
#include <linux/usbdevice_fs.h>
#include <umockdev.h>

#include <algorithm>
#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "device/Frame.h"

namespace vx::test {

namespace {

using namespace std::chrono_literals;

constexpr uint8_t kS1 = 0x01, kR1 = 0x81, kR2 = 0x82;

std::string Hex(const Bytes& bytes) {
    std::string text;
    for (uint8_t b : bytes) {
        text += fmt::format("{:02x}", b);
    }
    return text;
}

void Release(const auto& urb) {
    if (urb.buffer != nullptr) {
        g_object_unref(urb.buffer);
    }
    g_object_unref(urb.data);
}

UMockdevIoctlData* ResolveBuffer(UMockdevIoctlData* urbData, const usbdevfs_urb& urb) {
    return umockdev_ioctl_data_resolve(urbData, offsetof(usbdevfs_urb, buffer),
                                       static_cast<gsize>(urb.buffer_length), nullptr);
}

}  // namespace

bool UnderUmockdev() {
    // umockdev_in_mock_environment() only answers true once a testbed exists.
    const char* preload = std::getenv("LD_PRELOAD");
    return preload != nullptr && std::strstr(preload, "libumockdev-preload") != nullptr;
}

EmulatedUsbInstrument::EmulatedUsbInstrument(UMockdevTestbed* testbed, int devnum, DeviceLook look)
    : testbed_(testbed),
      devnode_(fmt::format("/dev/bus/usb/001/{:03}", devnum)),
      syspath_(fmt::format("/sys/devices/usb1/1-{}", devnum)),
      look_(std::move(look)),
      realStart_(std::chrono::steady_clock::now()) {
    instrument_.Open();
    handler_ = umockdev_ioctl_base_new();
    g_signal_connect_after(handler_, "handle-ioctl", G_CALLBACK(HandleIoctl), this);
    // The handler first, so that the device answers as soon as it appears.
    umockdev_testbed_attach_ioctl(testbed_, devnode_.c_str(), handler_, nullptr);
    const std::string device = fmt::format(
        "P: /devices/usb1/1-{0}\n"
        "N: bus/usb/001/{0:03}\n"
        "E: SUBSYSTEM=usb\n"
        "E: DEVTYPE=usb_device\n"
        "E: DEVNAME=/dev/bus/usb/001/{0:03}\n"
        "E: BUSNUM=001\n"
        "E: DEVNUM={0:03}\n"
        "A: busnum=1\\n\n"
        "A: devnum={0}\\n\n"
        "A: bConfigurationValue=1\\n\n"
        "A: speed=480\\n\n"
        "H: descriptors={1}\n",
        devnum, Hex(DeviceAndConfigDescriptors(look_)));
    umockdev_testbed_add_from_string(testbed_, device.c_str(), nullptr);
}

EmulatedUsbInstrument::~EmulatedUsbInstrument() {
    umockdev_testbed_detach_ioctl(testbed_, devnode_.c_str(), nullptr);
    g_object_unref(handler_);
    {
        // The handler ran on umockdev's thread: take its last writes under the lock.
        std::lock_guard lock(mutex_);
        for (auto* list : {&pending_, &ready_}) {
            for (Urb& urb : *list) {
                Release(urb);
            }
        }
    }
    umockdev_testbed_remove_device(testbed_, syspath_.c_str());
}

void EmulatedUsbInstrument::SetPacing(Pacing pacing) {
    std::lock_guard lock(mutex_);
    pacing_ = pacing;
    realStart_ = std::chrono::steady_clock::now() - clock_;
}

void EmulatedUsbInstrument::SetReplyPackets(ReplyPackets packets) {
    std::lock_guard lock(mutex_);
    replyPackets_ = packets;
}

std::vector<size_t> EmulatedUsbInstrument::ReplyPacketSizes() const {
    std::lock_guard lock(mutex_);
    return replyPacketSizes_;
}

bool EmulatedUsbInstrument::ReplyHeld() const {
    std::lock_guard lock(mutex_);
    return heldCount_ > 0;
}

std::optional<Bytes> EmulatedUsbInstrument::NextReplyPacket() {
    // The simulated instrument gives a reply in 16-byte halves, padded after its marker.
    uint8_t half[16];
    if (replyPackets_ == ReplyPackets::Halves) {
        if (instrument_.Transfer(Pipe::R1, half, 0ms).outcome != TransferOutcome::Completed) {
            return std::nullopt;
        }
        return Bytes(half, half + 16);
    }
    const size_t wanted = replyPackets_ == ReplyPackets::Pairs ? 2 : 1;
    while (static_cast<size_t>(heldCount_) < wanted) {
        Bytes reply;
        for (;;) {
            if (instrument_.Transfer(Pipe::R1, half, 0ms).outcome != TransferOutcome::Completed) {
                if (reply.empty()) {
                    return std::nullopt;
                }
                break;  // a truncated reply ends where it was cut
            }
            const auto marker = std::find(half, half + 16, kEndOfFrame);
            if (marker == half + 16) {
                reply.insert(reply.end(), half, half + 16);
                continue;
            }
            // A whole reply ends at its marker; a pair keeps each reply's padding.
            reply.insert(reply.end(), half,
                         replyPackets_ == ReplyPackets::WholeReply ? marker + 1 : half + 16);
            break;
        }
        heldReplies_.insert(heldReplies_.end(), reply.begin(), reply.end());
        ++heldCount_;
    }
    Bytes packet;
    packet.swap(heldReplies_);
    heldCount_ = 0;
    return packet;
}

void EmulatedUsbInstrument::SetHeldByOther(bool held) {
    std::lock_guard lock(mutex_);
    heldByOther_ = held;
}

void EmulatedUsbInstrument::Unplug() {
    {
        std::lock_guard lock(mutex_);
        gone_ = true;
        for (Urb& urb : pending_) {
            urb.status = -ENODEV;
            ready_.push_back(std::move(urb));
        }
        pending_.clear();
    }
    umockdev_testbed_uevent(testbed_, syspath_.c_str(), "remove");
}

int64_t EmulatedUsbInstrument::LostPackets() const {
    std::lock_guard lock(mutex_);
    return lost_;
}

int64_t EmulatedUsbInstrument::PacketsDelivered() const {
    std::lock_guard lock(mutex_);
    return delivered_;
}

bool EmulatedUsbInstrument::StreamReadPending() const {
    std::lock_guard lock(mutex_);
    return std::any_of(pending_.begin(), pending_.end(),
                       [](const Urb& urb) { return urb.endpoint == kR2; });
}

int EmulatedUsbInstrument::HandleIoctl(UMockdevIoctlBase*, UMockdevIoctlClient* client,
                                       void* self) {
    return static_cast<EmulatedUsbInstrument*>(self)->Handle(client) ? TRUE : FALSE;
}

bool EmulatedUsbInstrument::Handle(UMockdevIoctlClient* client) {
    std::lock_guard lock(mutex_);
    Pump();
    switch (umockdev_ioctl_client_get_request(client)) {
        case USBDEVFS_GET_CAPABILITIES: {
            UMockdevIoctlData* caps = umockdev_ioctl_data_resolve(
                umockdev_ioctl_client_get_arg(client), 0, sizeof(guint32), nullptr);
            const guint32 value = USBDEVFS_CAP_BULK_CONTINUATION | USBDEVFS_CAP_NO_PACKET_SIZE_LIM |
                                  USBDEVFS_CAP_REAP_AFTER_DISCONNECT;
            std::memcpy(caps->data, &value, sizeof value);
            umockdev_ioctl_client_complete(client, 0, 0);
            g_object_unref(caps);
            return true;
        }
        case USBDEVFS_CLAIMINTERFACE:
            umockdev_ioctl_client_complete(client, heldByOther_ ? -1 : 0, heldByOther_ ? EBUSY : 0);
            return true;
        case USBDEVFS_RELEASEINTERFACE:
        case USBDEVFS_SETINTERFACE:
        case USBDEVFS_CLEAR_HALT:
        case USBDEVFS_RESET:
        case USBDEVFS_RESETEP:
            umockdev_ioctl_client_complete(client, gone_ ? -1 : 0, gone_ ? ENODEV : 0);
            return true;
        case USBDEVFS_GETDRIVER:
            umockdev_ioctl_client_complete(client, -1, ENODATA);
            return true;
        case USBDEVFS_SUBMITURB:
            Submit(client);
            return true;
        case USBDEVFS_REAPURB:
        case USBDEVFS_REAPURBNDELAY:
            Reap(client);
            return true;
        case USBDEVFS_DISCARDURB:
            Discard(client);
            return true;
        default:
            return false;
    }
}

void EmulatedUsbInstrument::Submit(UMockdevIoctlClient* client) {
    if (gone_) {
        umockdev_ioctl_client_complete(client, -1, ENODEV);
        return;
    }
    Urb urb;
    urb.data = umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client), 0,
                                           sizeof(usbdevfs_urb), nullptr);
    const auto& request = *reinterpret_cast<const usbdevfs_urb*>(urb.data->data);
    urb.endpoint = request.endpoint;
    if (request.type == USBDEVFS_URB_TYPE_CONTROL) {
        urb.buffer = ResolveBuffer(urb.data, request);
        // A silent device leaves the request pending until libusb discards it.
        const bool answered = look_.controlAnswers != ControlAnswers::Never;
        if (answered) {
            AnswerControl(urb, urb.buffer->data);
        }
        (answered ? ready_ : pending_).push_back(std::move(urb));
    } else if (request.type == USBDEVFS_URB_TYPE_BULK && request.endpoint == kS1) {
        UMockdevIoctlData* buffer = ResolveBuffer(urb.data, request);
        std::vector<uint8_t> halfFrame(buffer->data, buffer->data + request.buffer_length);
        g_object_unref(buffer);
        // A stalled command pipe leaves the write pending until libusb gives up.
        const bool taken =
            instrument_.Transfer(Pipe::S1, halfFrame, 0ms).outcome == TransferOutcome::Completed;
        (taken ? ready_ : pending_).push_back(std::move(urb));
    } else {
        urb.buffer = ResolveBuffer(urb.data, request);
        pending_.push_back(std::move(urb));
    }
    umockdev_ioctl_client_complete(client, 0, 0);
    Pump();
}

void EmulatedUsbInstrument::AnswerControl(Urb& urb, const uint8_t* setup) {
    const uint8_t requestType = setup[0], request = setup[1];
    const uint16_t value = static_cast<uint16_t>(setup[2] | setup[3] << 8);
    const uint16_t index = static_cast<uint16_t>(setup[4] | setup[5] << 8);
    const size_t length = static_cast<size_t>(setup[6] | setup[7] << 8);
    const bool hasBos = look_.osDescriptors && look_.bcdUsb >= 0x0201;
    Bytes answer;
    if (requestType == 0x80 && request == 6 && value >> 8 == 0x0F && hasBos) {
        answer = BosDescriptor(look_);
    } else if (requestType == 0xC0 && request == look_.vendorCode && index == 7 && hasBos &&
               look_.controlAnswers != ControlAnswers::VendorRequestStalls) {
        answer = MsOs20DescriptorSet(look_.interfaceGuid);
    } else {
        urb.status = -EPIPE;
        return;
    }
    answer.resize(std::min(answer.size(), length));
    urb.reply = std::move(answer);
    urb.replyOffset = 8;
}

void EmulatedUsbInstrument::Reap(UMockdevIoctlClient* client) {
    if (ready_.empty()) {
        umockdev_ioctl_client_complete(client, -1, gone_ ? ENODEV : EAGAIN);
        return;
    }
    Urb urb = std::move(ready_.front());
    ready_.pop_front();
    auto& done = *reinterpret_cast<usbdevfs_urb*>(urb.data->data);
    done.status = urb.status;
    if (urb.endpoint & 0x80 || done.type == USBDEVFS_URB_TYPE_CONTROL) {
        done.actual_length = static_cast<int>(urb.reply.size());
        // Into umockdev's copy of the buffer, which it hands back with the reap.
        std::copy(urb.reply.begin(), urb.reply.end(), urb.buffer->data + urb.replyOffset);
    } else {
        done.actual_length = urb.status == 0 ? done.buffer_length : 0;
    }
    UMockdevIoctlData* pointer = umockdev_ioctl_data_resolve(umockdev_ioctl_client_get_arg(client),
                                                             0, sizeof(gpointer), nullptr);
    umockdev_ioctl_data_set_ptr(pointer, 0, urb.data);
    umockdev_ioctl_client_complete(client, 0, 0);
    g_object_unref(pointer);
    Release(urb);
}

void EmulatedUsbInstrument::Discard(UMockdevIoctlClient* client) {
    const auto address = reinterpret_cast<gulong>(
        *reinterpret_cast<void**>(umockdev_ioctl_client_get_arg(client)->data));
    for (auto it = pending_.begin(); it != pending_.end(); ++it) {
        if (it->data->client_addr == address) {
            it->status = -ENOENT;
            ready_.push_back(std::move(*it));
            pending_.erase(it);
            umockdev_ioctl_client_complete(client, 0, 0);
            return;
        }
    }
    umockdev_ioctl_client_complete(client, -1, EINVAL);
}

// Moves the device on: the clock, the packet it holds, and every read it can answer.
void EmulatedUsbInstrument::Pump() {
    if (gone_) {
        return;
    }
    if (pacing_ == Pacing::RealTime) {
        const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
            std::chrono::steady_clock::now() - realStart_);
        if (now > clock_) {
            instrument_.AdvanceClock(now - clock_);
            clock_ = now;
        }
        // The device keeps one packet. When the next one is due and a read waits, the
        // read has taken it at its time; with no read waiting it is overwritten.
        const int64_t due = clock_ / 10ms;
        for (int64_t made = instrument_.SamplesSent() / 10; due - made > 1; ++made) {
            const auto read = std::find_if(pending_.begin(), pending_.end(),
                                           [](const Urb& urb) { return urb.endpoint == kR2; });
            uint8_t data[32];
            const TransferResult result = instrument_.Transfer(Pipe::R2, data, 0ms);
            if (result.outcome != TransferOutcome::Completed) {
                break;  // a stalled stream makes nothing
            }
            if (read != pending_.end()) {
                read->reply.assign(data, data + result.bytes);
                ready_.push_back(std::move(*read));
                pending_.erase(read);
                ++delivered_;
            } else {
                // Packets made before the first read are no loss of the link.
                lost_ += delivered_ > 0;
            }
        }
    }
    for (auto it = pending_.begin(); it != pending_.end();) {
        uint8_t data[32];
        TransferResult result;
        if (it->endpoint == kR1) {
            const std::optional<Bytes> packet = NextReplyPacket();
            if (!packet) {
                ++it;
                continue;
            }
            replyPacketSizes_.push_back(packet->size());
            it->reply = *packet;
            ready_.push_back(std::move(*it));
            it = pending_.erase(it);
            continue;
        } else if (it->endpoint == kR2) {
            if (pacing_ == Pacing::AsFastAsRead) {
                instrument_.AdvanceClock(10ms);
                clock_ += 10ms;
            }
            result = instrument_.Transfer(Pipe::R2, data, 0ms);
        }
        if (result.outcome != TransferOutcome::Completed) {
            ++it;
            continue;
        }
        delivered_ += it->endpoint == kR2;
        it->reply.assign(data, data + result.bytes);
        ready_.push_back(std::move(*it));
        it = pending_.erase(it);
    }
}

UsbTestbed::UsbTestbed() : testbed_(umockdev_testbed_new()) {}

UsbTestbed::~UsbTestbed() {
    devices_.clear();
    g_object_unref(testbed_);
}

EmulatedUsbInstrument& UsbTestbed::Add(DeviceLook look) {
    devices_.push_back(std::make_unique<EmulatedUsbInstrument>(
        testbed_, static_cast<int>(devices_.size()) + 2, std::move(look)));
    return *devices_.back();
}

}  // namespace vx::test
