#pragma once

#include <chrono>
#include <cstdint>

namespace vx {

// Each control request of the probe waits at most this long: udev runs the probe
// while it handles the device's add event, and a device that never answers must not
// hold that up.
inline constexpr std::chrono::milliseconds kProbeRequestTimeout{250};

// Whether the USB device at bus number and device address is the instrument, by the
// DeviceInterfaceGUID in its OS 2.0 descriptors. Reads descriptors over the default
// control pipe only: claims no interface and disturbs no driver. False for a device
// that is absent, cannot be opened, has no such descriptors, stalls or does not answer.
bool ProbeForInstrument(uint8_t bus, uint8_t address,
                        std::chrono::milliseconds requestTimeout = kProbeRequestTimeout);

}  // namespace vx
