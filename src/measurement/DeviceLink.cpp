#include "measurement/DeviceLink.h"

#include <system_error>

namespace vx {

DeviceLink::DeviceLink(UsbBackend& backend, MessageSink& messages, LinkEvents& events,
                       TimerFactory& timers)
    : messages_(messages),
      timers_(timers),
      usb_(backend, messages, events, *this),
      protocol_(usb_, messages, events) {}

DeviceLink::~DeviceLink() {
    Shutdown();
}

bool DeviceLink::ConnectionLost() const {
    return measData_ != nullptr && measData_->IsConnectionLost();
}

void DeviceLink::SetStartupCompleteHandler(std::function<void()> handler) {
    onStartupComplete_ = std::move(handler);
}

bool DeviceLink::Start(int32_t samplesPerValue, double startTime) {
    Stop();
    measData_.reset();
    measData_ = std::make_unique<TMeasData>(
        samplesPerValue, protocol_, usb_, timers_,
        [this] {
            if (onStartupComplete_) {
                onStartupComplete_();
            }
        },
        startTime);
    if (!usb_.OpenDevice()) {
        return false;
    }
    protocol_.BeginLink();
    try {
        commandThread_ = std::make_unique<TDataThread>(protocol_);
    } catch (const std::system_error&) {
        messages_.Show("Can not create command thread", "Error");
    }
    try {
        measuringThread_ = std::make_unique<TdataThread2>([this] {
            // The pointer is read anew on every pass.
            TMeasData* measData = measData_.get();
            return measData != nullptr ? measData->FetchMeasBlock() : FetchOutcome::ReadFailed;
        });
    } catch (const std::system_error&) {
        messages_.Show("Can not create measuring thread", "Error");
    }
    return true;
}

void DeviceLink::Stop() {
    protocol_.linkActive = false;
    commandThread_.reset();
    measuringThread_.reset();
    usb_.CloseDevice();
}

void DeviceLink::Shutdown() {
    Stop();
    measData_.reset();
}

}  // namespace vx
