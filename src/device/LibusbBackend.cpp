#include "device/LibusbBackend.h"

#include <fmt/core.h>
#include <libusb.h>

#include <algorithm>
#include <atomic>
#include <utility>

#include "device/InstrumentGuidCheck.h"

namespace vx {

namespace {

constexpr std::chrono::milliseconds kDescriptorTimeout{1000};
// The most the transport takes from the reply pipe in one call.
constexpr int kReplyPart = 16;

std::string Where(libusb_device* device, const libusb_device_descriptor& desc) {
    return fmt::format("bus {:03} device {:03} id {:04x}:{:04x}", libusb_get_bus_number(device),
                       libusb_get_device_address(device), desc.idVendor, desc.idProduct);
}

// The pipes of interface 0, alternate setting 0, from the descriptors the system
// keeps; needs no access to the device itself.
std::variant<InstrumentPipes, std::string> ReadLayout(libusb_device* device) {
    libusb_config_descriptor* config = nullptr;
    if (libusb_get_active_config_descriptor(device, &config) != 0) {
        return std::string("no active configuration");
    }
    std::variant<InstrumentPipes, std::string> layout = std::string("no interface 0");
    for (int i = 0; i < config->bNumInterfaces; ++i) {
        const libusb_interface& interface = config->interface[i];
        for (int a = 0; a < interface.num_altsetting; ++a) {
            const libusb_interface_descriptor& setting = interface.altsetting[a];
            if (setting.bInterfaceNumber != 0 || setting.bAlternateSetting != 0) {
                continue;
            }
            std::vector<EndpointInfo> endpoints;
            for (int e = 0; e < setting.bNumEndpoints; ++e) {
                endpoints.push_back(
                    {setting.endpoint[e].bEndpointAddress, setting.endpoint[e].bmAttributes});
            }
            layout = ClassifyEndpoints(endpoints);
        }
    }
    libusb_free_config_descriptor(config);
    return layout;
}

// The flag is written by whichever thread handles the events and read by the thread
// that waits: atomic in this code, read by libusb under its own lock.
void LIBUSB_CALL MarkDone(libusb_transfer* transfer) {
    std::atomic_ref<int>(*static_cast<int*>(transfer->user_data))
        .store(1, std::memory_order_release);
}

// Waits for a submitted transfer as libusb's own synchronous calls do: whichever
// waiting thread handles events completes the others' transfers too.
void WaitForCompletion(libusb_context* context, libusb_transfer* transfer, int& done) {
    while (std::atomic_ref<int>(done).load(std::memory_order_acquire) == 0) {
        const int result = libusb_handle_events_completed(context, &done);
        if (result < 0 && result != LIBUSB_ERROR_INTERRUPTED) {
            libusb_cancel_transfer(transfer);
        }
    }
}

// The same until the deadline; a transfer not done by then is cancelled, and it ends
// with its status "cancelled" once libusb has taken it back.
void WaitForCompletionUntil(libusb_context* context, libusb_transfer* transfer, int& done,
                            std::chrono::steady_clock::time_point deadline) {
    while (std::atomic_ref<int>(done).load(std::memory_order_acquire) == 0) {
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            libusb_cancel_transfer(transfer);
            WaitForCompletion(context, transfer, done);
            return;
        }
        timeval wait{static_cast<time_t>(left.count() / 1'000'000),
                     static_cast<suseconds_t>(left.count() % 1'000'000)};
        const int result = libusb_handle_events_timeout_completed(context, &wait, &done);
        if (result < 0 && result != LIBUSB_ERROR_INTERRUPTED) {
            libusb_cancel_transfer(transfer);
        }
    }
}

}  // namespace

LibusbBackend::LibusbBackend(std::function<std::optional<UsbId>()> usbId)
    : usbIdSource_(std::move(usbId)) {}

LibusbBackend::LibusbBackend(std::optional<UsbId> usbId)
    : LibusbBackend([usbId] { return usbId; }) {}

LibusbBackend::~LibusbBackend() {
    Close();
}

OpenOutcome LibusbBackend::Open() {
    Close();
    scan_.clear();
    usbId_ = usbIdSource_();
    if (libusb_init(&context_) != 0) {
        context_ = nullptr;
        return OpenOutcome::ListRefused;
    }
    libusb_device** devices = nullptr;
    const ssize_t count = libusb_get_device_list(context_, &devices);
    if (count < 0) {
        Close();
        return OpenOutcome::ListRefused;
    }
    // libusb lists devices in no fixed order; by bus and address "the first" stays the same.
    std::sort(devices, devices + count, [](libusb_device* a, libusb_device* b) {
        return std::pair(libusb_get_bus_number(a), libusb_get_device_address(a)) <
               std::pair(libusb_get_bus_number(b), libusb_get_device_address(b));
    });
    OpenOutcome outcome = OpenOutcome::NotFound;
    bool deniedLookalike = false;
    for (ssize_t i = 0; i < count; ++i) {
        std::string why;
        OpenOutcome refusal = OpenOutcome::SetupFailed;
        const Verdict verdict = Examine(devices[i], why, refusal);
        libusb_device_descriptor desc{};
        libusb_get_device_descriptor(devices[i], &desc);
        scan_.push_back(Where(devices[i], desc) + ": " + why);
        if (verdict == Verdict::Taken) {
            outcome = OpenOutcome::Opened;
            break;
        }
        // The first device that is the instrument decides, usable or not.
        if (verdict == Verdict::Refused) {
            outcome = refusal;
            break;
        }
        deniedLookalike |= verdict == Verdict::Denied;
    }
    libusb_free_device_list(devices, 1);
    // A device that may be the instrument but cannot be looked at is most likely
    // the instrument without its udev rule.
    if (outcome == OpenOutcome::NotFound && deniedLookalike) {
        outcome = OpenOutcome::AccessDenied;
    }
    if (outcome != OpenOutcome::Opened) {
        Close();
    }
    return outcome;
}

LibusbBackend::Verdict LibusbBackend::Examine(libusb_device* device, std::string& why,
                                              OpenOutcome& refusal) {
    libusb_device_descriptor desc{};
    if (libusb_get_device_descriptor(device, &desc) != 0) {
        why = "no device descriptor";
        return Verdict::NotInstrument;
    }
    const bool byId =
        usbId_ && usbId_->vendor == desc.idVendor && usbId_->product == desc.idProduct;
    const auto layout = ReadLayout(device);
    libusb_device_handle* handle = nullptr;
    const int opened = libusb_open(device, &handle);
    if (opened == LIBUSB_ERROR_ACCESS) {
        why = "access denied";
        if (byId) {
            refusal = OpenOutcome::AccessDenied;
            return Verdict::Refused;
        }
        return std::holds_alternative<InstrumentPipes>(layout) ? Verdict::Denied
                                                               : Verdict::NotInstrument;
    }
    if (opened != 0) {
        why = fmt::format("cannot be opened ({})", libusb_error_name(opened));
        refusal = OpenOutcome::InUse;
        return byId ? Verdict::Refused : Verdict::NotInstrument;
    }
    if (!byId && !IsInstrument(handle, desc.bcdUSB, why)) {
        libusb_close(handle);
        return Verdict::NotInstrument;
    }
    if (const auto* error = std::get_if<std::string>(&layout)) {
        why = "wrong endpoints: " + *error;
        libusb_close(handle);
        refusal = OpenOutcome::SetupFailed;
        return Verdict::Refused;
    }
    const int claimed = libusb_claim_interface(handle, 0);
    if (claimed != 0) {
        why = claimed == LIBUSB_ERROR_BUSY ? "in use by another program"
              : claimed == LIBUSB_ERROR_ACCESS
                  ? "access denied"
                  : fmt::format("interface 0 not claimed ({})", libusb_error_name(claimed));
        refusal = claimed == LIBUSB_ERROR_BUSY     ? OpenOutcome::InUse
                  : claimed == LIBUSB_ERROR_ACCESS ? OpenOutcome::AccessDenied
                                                   : OpenOutcome::SetupFailed;
        libusb_close(handle);
        return Verdict::Refused;
    }
    handle_ = handle;
    claimed_ = true;
    pipes_ = std::get<InstrumentPipes>(layout);
    const int packetSize = libusb_get_max_packet_size(device, pipes_.r1);
    replyPacketSize_ = static_cast<size_t>(std::max(packetSize, kReplyPart));
    why = byId ? "taken (UsbId)" : "taken (OS 2.0 GUID)";
    return Verdict::Taken;
}

bool LibusbBackend::IsInstrument(libusb_device_handle* handle, uint16_t bcdUsb, std::string& why) {
    switch (ReadInstrumentGuid(handle, bcdUsb, kDescriptorTimeout)) {
        case GuidVerdict::Instrument:
            return true;
        case GuidVerdict::NoOsDescriptors:
            why = "no OS 2.0 descriptors";
            return false;
        case GuidVerdict::SetUnreadable:
            why = "OS 2.0 descriptor set not readable";
            return false;
        case GuidVerdict::OtherGuid:
            why = "no OS 2.0 GUID of the instrument";
            return false;
    }
    return false;
}

TransferResult LibusbBackend::Transfer(Pipe pipe, std::span<uint8_t> buffer,
                                       std::chrono::milliseconds timeout) {
    if (handle_ == nullptr) {
        return {TransferOutcome::StartFailed, 0};
    }
    switch (pipe) {
        case Pipe::S1:
            return OneTransfer(pipes_.s1, buffer, timeout);
        case Pipe::R1:
            return ReadReply(buffer, timeout);
        case Pipe::R2:
            return ReadStream(buffer, timeout);
    }
    return {TransferOutcome::StartFailed, 0};
}

TransferResult LibusbBackend::OneTransfer(uint8_t endpoint, std::span<uint8_t> buffer,
                                          std::chrono::milliseconds timeout) {
    libusb_transfer* transfer = libusb_alloc_transfer(0);
    if (transfer == nullptr) {
        return {TransferOutcome::StartFailed, 0};
    }
    int done = 0;
    libusb_fill_bulk_transfer(transfer, handle_, endpoint, buffer.data(),
                              static_cast<int>(buffer.size()), MarkDone, &done,
                              static_cast<unsigned>(timeout.count()));
    if (libusb_submit_transfer(transfer) != 0) {
        libusb_free_transfer(transfer);
        return {TransferOutcome::StartFailed, 0};
    }
    WaitForCompletion(context_, transfer, done);
    // A time-out, a stall and an unplugged device all end a started transfer unfinished.
    const TransferResult result{transfer->status == LIBUSB_TRANSFER_COMPLETED
                                    ? TransferOutcome::Completed
                                    : TransferOutcome::NotCompleted,
                                transfer->actual_length};
    libusb_free_transfer(transfer);
    return result;
}

// A device may send a reply longer than 16 bytes, or two replies, in one packet; a
// read shorter than the packet would overflow and lose it. So the whole packet is
// read and kept, and each call hands out its next 16 bytes at most, as a partial read
// of the pipe would. The rest of a packet is handed out before another read starts.
TransferResult LibusbBackend::ReadReply(std::span<uint8_t> buffer,
                                        std::chrono::milliseconds timeout) {
    if (replyRest_.empty()) {
        std::vector<uint8_t> packet(replyPacketSize_);
        const TransferResult result = OneTransfer(pipes_.r1, packet, timeout);
        if (result.outcome != TransferOutcome::Completed || result.bytes == 0) {
            return {result.outcome, 0};
        }
        packet.resize(static_cast<size_t>(result.bytes));
        replyRest_ = std::move(packet);
    }
    return HandOutReply(buffer);
}

TransferResult LibusbBackend::HandOutReply(std::span<uint8_t> buffer) {
    const size_t bytes = std::min(buffer.size(), replyRest_.size());
    std::copy_n(replyRest_.begin(), bytes, buffer.begin());
    replyRest_.erase(replyRest_.begin(), replyRest_.begin() + static_cast<ptrdiff_t>(bytes));
    return {TransferOutcome::Completed, static_cast<int>(bytes)};
}

TransferResult LibusbBackend::ReadStream(std::span<uint8_t> buffer,
                                         std::chrono::milliseconds timeout) {
    // A read that ended unfinished was left idle; it goes back in behind the one
    // still in flight, so the order of packets stays the order of submission.
    for (StreamRead& read : stream_) {
        if (!read.inFlight) {
            SubmitStreamRead(read, buffer.size());
        }
    }
    StreamRead* oldest = nullptr;
    for (StreamRead& read : stream_) {
        if (read.inFlight && (oldest == nullptr || read.submitted < oldest->submitted)) {
            oldest = &read;
        }
    }
    if (oldest == nullptr) {
        return {TransferOutcome::StartFailed, 0};
    }
    // The time limit counts from this call, not from the submission: a read waits
    // behind the others for its packet.
    WaitForCompletionUntil(context_, oldest->transfer, oldest->done,
                           std::chrono::steady_clock::now() + timeout);
    oldest->inFlight = false;
    // A time-out, a stall and an unplugged device all end a started transfer unfinished.
    const bool completed = oldest->transfer->status == LIBUSB_TRANSFER_COMPLETED;
    const size_t bytes =
        std::min(static_cast<size_t>(oldest->transfer->actual_length), buffer.size());
    std::copy_n(oldest->buffer.begin(), bytes, buffer.begin());
    // A failed read is not repeated at once: a stalled or vanished device would only
    // fail it again, and the caller decides whether to read on.
    if (completed) {
        SubmitStreamRead(*oldest, buffer.size());
    }
    return {completed ? TransferOutcome::Completed : TransferOutcome::NotCompleted,
            static_cast<int>(bytes)};
}

bool LibusbBackend::SubmitStreamRead(StreamRead& read, size_t length) {
    if (read.transfer == nullptr) {
        read.transfer = libusb_alloc_transfer(0);
        if (read.transfer == nullptr) {
            return false;
        }
    }
    read.buffer.resize(length);
    read.done = 0;
    // No time limit of its own: it may wait behind the others for a while.
    libusb_fill_bulk_transfer(read.transfer, handle_, pipes_.r2, read.buffer.data(),
                              static_cast<int>(length), MarkDone, &read.done, 0);
    if (libusb_submit_transfer(read.transfer) != 0) {
        return false;
    }
    read.inFlight = true;
    read.submitted = ++streamSubmissions_;
    return true;
}

// All reads are cancelled before any is waited for, so that Close waits for none of
// them to run out. A vanished device ends them with "no device".
void LibusbBackend::EndStream() {
    for (StreamRead& read : stream_) {
        if (read.inFlight) {
            libusb_cancel_transfer(read.transfer);
        }
    }
    for (StreamRead& read : stream_) {
        if (read.inFlight) {
            WaitForCompletion(context_, read.transfer, read.done);
            read.inFlight = false;
        }
        libusb_free_transfer(read.transfer);
        read.transfer = nullptr;
    }
}

void LibusbBackend::Close() {
    if (handle_ != nullptr) {
        EndStream();
        if (claimed_) {
            libusb_release_interface(handle_, 0);
        }
        libusb_close(handle_);
        handle_ = nullptr;
        claimed_ = false;
    }
    replyRest_.clear();
    if (context_ != nullptr) {
        libusb_exit(context_);
        context_ = nullptr;
    }
}

}  // namespace vx
