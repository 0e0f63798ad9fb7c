#include "device/InstrumentGuidCheck.h"

#include <libusb.h>

#include <vector>

#include "device/MsOs20Descriptor.h"

namespace vx {

namespace {

// Device to host: standard request to the device, vendor request to the device.
constexpr uint8_t kStandardDeviceIn = 0x80;
constexpr uint8_t kVendorDeviceIn = 0xC0;
constexpr uint16_t kBosDescriptorValue = LIBUSB_DT_BOS << 8;

int ControlIn(libusb_device_handle* handle, uint8_t requestType, uint8_t request, uint16_t value,
              uint16_t index, std::vector<uint8_t>& buffer, std::chrono::milliseconds timeout) {
    const int read = libusb_control_transfer(handle, requestType, request, value, index,
                                             buffer.data(), static_cast<uint16_t>(buffer.size()),
                                             static_cast<unsigned>(timeout.count()));
    if (read >= 0) {
        buffer.resize(static_cast<size_t>(read));
    }
    return read;
}

}  // namespace

GuidVerdict ReadInstrumentGuid(libusb_device_handle* handle, uint16_t bcdUsb,
                               std::chrono::milliseconds timeout) {
    // Only devices of USB 2.01 and later have a BOS descriptor to ask for.
    if (bcdUsb < 0x0201) {
        return GuidVerdict::NoOsDescriptors;
    }
    std::vector<uint8_t> header(5);
    if (ControlIn(handle, kStandardDeviceIn, LIBUSB_REQUEST_GET_DESCRIPTOR, kBosDescriptorValue, 0,
                  header, timeout) < 5) {
        return GuidVerdict::NoOsDescriptors;
    }
    std::vector<uint8_t> bos(header[2] | (header[3] << 8));
    if (ControlIn(handle, kStandardDeviceIn, LIBUSB_REQUEST_GET_DESCRIPTOR, kBosDescriptorValue, 0,
                  bos, timeout) < 0) {
        return GuidVerdict::NoOsDescriptors;
    }
    const auto location = FindMsOs20Set(bos);
    if (!location) {
        return GuidVerdict::NoOsDescriptors;
    }
    std::vector<uint8_t> set(location->totalLength);
    if (ControlIn(handle, kVendorDeviceIn, location->vendorCode, 0, kMsOs20DescriptorIndex, set,
                  timeout) < 0) {
        return GuidVerdict::SetUnreadable;
    }
    return ListsGuid(InterfaceZeroGuids(set), kInstrumentInterfaceGuid) ? GuidVerdict::Instrument
                                                                        : GuidVerdict::OtherGuid;
}

}  // namespace vx
