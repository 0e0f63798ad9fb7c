#pragma once

#include <optional>
#include <string>

namespace vx {

// Where libusb finds the devices of the USB bus.
inline constexpr const char* kUsbBusFolder = "/dev/bus/usb";

// Why the devices of the USB bus cannot be looked at through folder, as one line
// that says what to do; nothing when the folder can be read.
std::optional<std::string> UsbBusProblem(const std::string& folder = kUsbBusFolder);

}  // namespace vx
