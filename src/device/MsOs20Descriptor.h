#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vx {

// The device interface class the instrument announces in its OS 2.0 descriptors.
inline constexpr std::string_view kInstrumentInterfaceGuid =
    "{D76DB6D7-355B-4BEA-85C5-DFDB5E33D106}";

// Where a device keeps its Microsoft OS 2.0 descriptor set: the vendor request code
// and the set's length, read from the platform capability of its BOS descriptor.
struct MsOs20SetLocation {
    uint8_t vendorCode = 0;
    uint16_t totalLength = 0;
};

// wIndex of the vendor request that returns the descriptor set.
inline constexpr uint16_t kMsOs20DescriptorIndex = 7;

// The location from a whole BOS descriptor (header and capabilities); nullopt when
// it has no OS 2.0 platform capability or is malformed.
std::optional<MsOs20SetLocation> FindMsOs20Set(std::span<const uint8_t> bos);

// The DeviceInterfaceGUID(s) properties that apply to interface 0: those of the
// whole device and those of a function whose first interface is 0. Walking stops
// at the first malformed descriptor; what was read before it counts.
std::vector<std::string> InterfaceZeroGuids(std::span<const uint8_t> descriptorSet);

// True when one of the texts is guid, letters in either case.
bool ListsGuid(const std::vector<std::string>& guids, std::string_view guid);

}  // namespace vx
