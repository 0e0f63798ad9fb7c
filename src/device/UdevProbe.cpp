#include "device/UdevProbe.h"

#include <libusb.h>

#include "device/InstrumentGuidCheck.h"

namespace vx {

namespace {

libusb_device* FindDevice(libusb_device** devices, ssize_t count, uint8_t bus, uint8_t address) {
    for (ssize_t i = 0; i < count; ++i) {
        if (libusb_get_bus_number(devices[i]) == bus &&
            libusb_get_device_address(devices[i]) == address) {
            return devices[i];
        }
    }
    return nullptr;
}

bool IsInstrument(libusb_device* device, std::chrono::milliseconds requestTimeout) {
    libusb_device_descriptor desc{};
    if (libusb_get_device_descriptor(device, &desc) != 0) {
        return false;
    }
    libusb_device_handle* handle = nullptr;
    if (libusb_open(device, &handle) != 0) {
        return false;
    }
    const bool instrument =
        ReadInstrumentGuid(handle, desc.bcdUSB, requestTimeout) == GuidVerdict::Instrument;
    libusb_close(handle);
    return instrument;
}

}  // namespace

bool ProbeForInstrument(uint8_t bus, uint8_t address, std::chrono::milliseconds requestTimeout) {
    libusb_context* context = nullptr;
    if (libusb_init(&context) != 0) {
        return false;
    }
    libusb_device** devices = nullptr;
    const ssize_t count = libusb_get_device_list(context, &devices);
    bool instrument = false;
    if (count >= 0) {
        if (libusb_device* device = FindDevice(devices, count, bus, address)) {
            instrument = IsInstrument(device, requestTimeout);
        }
        libusb_free_device_list(devices, 1);
    }
    libusb_exit(context);
    return instrument;
}

}  // namespace vx
