#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "device/InstrumentEndpoints.h"

namespace vx::test {

using Bytes = std::vector<uint8_t>;

// How an emulated device answers the descriptor requests on its control pipe.
enum class ControlAnswers {
    Normal,
    VendorRequestStalls,  // the BOS comes, the request for the OS 2.0 set stalls
    Never,                // no request is ever answered
};

// What an emulated device looks like on the bus.
struct DeviceLook {
    uint16_t vendor = 0x1209;
    uint16_t product = 0x4180;
    uint16_t bcdUsb = 0x0201;  // 0x0200: no BOS descriptor
    // The instrument's layout; tests put other endpoints in.
    std::vector<EndpointInfo> endpoints = {{0x01, 2}, {0x81, 2}, {0x82, 2}, {0x83, 3}};
    bool osDescriptors = true;  // BOS with the OS 2.0 platform capability
    std::string interfaceGuid = "{D76DB6D7-355B-4BEA-85C5-DFDB5E33D106}";
    uint8_t vendorCode = 0x20;
    ControlAnswers controlAnswers = ControlAnswers::Normal;
};

Bytes DeviceAndConfigDescriptors(const DeviceLook& look);
Bytes BosDescriptor(const DeviceLook& look);
// A descriptor set with WINUSB as compatible id and the interface GUID as a
// DeviceInterfaceGUIDs property, for the whole device.
Bytes MsOs20DescriptorSet(const std::string& guid);
// A registry property descriptor; name and texts are ASCII, each text is
// zero-terminated and REG_MULTI_SZ gets a final zero.
Bytes RegistryProperty(const std::string& name, const std::vector<std::string>& texts, bool multi);
// Header and the given descriptors, with wTotalLength filled in.
Bytes DescriptorSet(const std::vector<Bytes>& parts);
// A function subset for firstInterface around the given descriptors.
Bytes FunctionSubset(uint8_t firstInterface, const std::vector<Bytes>& parts);

}  // namespace vx::test
