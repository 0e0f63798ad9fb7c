// softwarevx212-probe BUSNUM DEVNUM: run by udev for an added USB device with a
// vendor-specific interface. Prints "1" when the device is the instrument (its OS 2.0
// descriptors carry the instrument's interface GUID), else "0"; the udev rule then
// grants the user at the seat access. udev cannot read those descriptors itself.
#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>

#include "device/UdevProbe.h"

namespace {

std::optional<uint8_t> DecimalByte(const char* text) {
    unsigned value = 0;
    const char* end = text + std::strlen(text);
    const auto [last, error] = std::from_chars(text, end, value);
    if (error != std::errc() || last != end || value > 255) {
        return std::nullopt;
    }
    return static_cast<uint8_t>(value);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fputs("usage: softwarevx212-probe BUSNUM DEVNUM\n", stderr);
        return 2;
    }
    const auto bus = DecimalByte(argv[1]);
    const auto address = DecimalByte(argv[2]);
    if (!bus || !address) {
        std::fputs("softwarevx212-probe: BUSNUM and DEVNUM are decimal numbers up to 255\n",
                   stderr);
        return 2;
    }
    std::puts(vx::ProbeForInstrument(*bus, *address) ? "1" : "0");
    return 0;
}
