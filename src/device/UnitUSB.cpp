#include "device/UnitUSB.h"

#include <algorithm>

#include "device/Frame.h"

namespace vx {

namespace {
constexpr const char* kDataErrorText = "Data error, save data and repower device";
}  // namespace

UnitUSB::UnitUSB(UsbBackend& backend, MessageSink& messages, LinkEvents& events,
                 const LinkGuard& guard)
    : backend_(backend), messages_(messages), events_(events), guard_(guard) {}

bool UnitUSB::OpenDevice() {
    switch (backend_.Open()) {
        case OpenOutcome::Opened:
            open_ = true;
            return true;
        case OpenOutcome::ListRefused:
            messages_.Show("Invalid Device Handle", "Error");
            return false;
        case OpenOutcome::InUse:
            messages_.Show("device in use?", "Error");
            return false;
        case OpenOutcome::AccessDenied:
            messages_.Show(
                "device in use?\n\nThis user may not open the instrument. Install the "
                "softwarevx212 package, whose udev rule gives the user at the seat access, "
                "then unplug the instrument and plug it in again.",
                "Error");
            return false;
        case OpenOutcome::NotFound:
        case OpenOutcome::SetupFailed:
            return false;
    }
    return false;
}

void UnitUSB::CloseDevice() {
    if (open_) {
        backend_.Close();
        open_ = false;
    }
}

bool UnitUSB::ReadR1(std::span<uint8_t, 16> buffer) {
    if (!guard_.LinkActive() || guard_.ConnectionLost()) {
        return false;
    }
    switch (backend_.Transfer(Pipe::R1, buffer, kR1Timeout).outcome) {
        case TransferOutcome::Completed:
            return true;
        case TransferOutcome::NotCompleted: {
            // No reply in time is an empty answer, not an error.
            constexpr uint8_t kNop[] = {'#', 'N', 'O', 'P', kEndOfFrame, 0x00};
            std::copy(std::begin(kNop), std::end(kNop), buffer.begin());
            return true;
        }
        case TransferOutcome::StartFailed:
            messages_.Show("Error WinUsb_ReadPipe in UnitUSB", "WARNING");
            return false;
    }
    return false;
}

bool UnitUSB::ReadR2(std::span<uint8_t, 32> buffer, int* bytesReceived) {
    if (!guard_.LinkActive() || guard_.ConnectionLost() || DataError()) {
        return false;
    }
    const TransferResult result = backend_.Transfer(Pipe::R2, buffer, kR2Timeout);
    switch (result.outcome) {
        case TransferOutcome::Completed:
            if (bytesReceived != nullptr) {
                *bytesReceived = result.bytes;
            }
            return true;
        case TransferOutcome::NotCompleted:
            ReportDataError("WARNING", true);
            return false;
        case TransferOutcome::StartFailed:
            messages_.Show("R2: Error WinUsb_ReadPipe in UnitUSB", "WARNING");
            return false;
    }
    return false;
}

void UnitUSB::WriteS1(std::span<const uint8_t, 16> halfFrame) {
    if (!guard_.LinkActive() || guard_.ConnectionLost() || DataError()) {
        return;
    }
    // The backend takes a writable span for every pipe; a write leaves it untouched.
    uint8_t copy[16];
    std::copy(halfFrame.begin(), halfFrame.end(), copy);
    switch (backend_.Transfer(Pipe::S1, copy, kS1Timeout).outcome) {
        case TransferOutcome::Completed:
            return;
        case TransferOutcome::NotCompleted:
            ReportDataError("ERROR", false);
            return;
        case TransferOutcome::StartFailed:
            messages_.Show("S1: Error WinUsb_WritePipe in UnitUSB", "WARNING");
            return;
    }
}

void UnitUSB::ReportDataError(const char* caption, bool exitAfterSave) {
    // Both pipes may time out at once; only the first one reports.
    if (!dataError_.exchange(true, std::memory_order_acq_rel)) {
        events_.DataErrorOccurred({kDataErrorText, caption, exitAfterSave});
    }
}

}  // namespace vx
