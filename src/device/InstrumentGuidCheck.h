#pragma once

#include <chrono>
#include <cstdint>

struct libusb_device_handle;

namespace vx {

// What an opened device says about itself in its Microsoft OS 2.0 descriptors.
enum class GuidVerdict {
    Instrument,       // interface 0 carries the instrument's DeviceInterfaceGUID
    NoOsDescriptors,  // no BOS descriptor, or one without the OS 2.0 capability
    SetUnreadable,    // the vendor request for the descriptor set failed or timed out
    OtherGuid,        // the set names no instrument GUID for interface 0
};

// Reads the BOS descriptor and the OS 2.0 descriptor set over the default control
// pipe, each request bounded by `timeout`: at most three requests, and none for a
// device older than USB 2.01. Needs no claimed interface.
GuidVerdict ReadInstrumentGuid(libusb_device_handle* handle, uint16_t bcdUsb,
                               std::chrono::milliseconds timeout);

}  // namespace vx
