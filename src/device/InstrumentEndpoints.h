#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <variant>

namespace vx {

// One endpoint of interface 0, alternate setting 0, in descriptor order.
struct EndpointInfo {
    uint8_t address = 0;     // bit 7 set: IN
    uint8_t attributes = 0;  // bits 0-1: control, isochronous, bulk, interrupt
};

// The endpoint addresses of the instrument's three pipes.
struct InstrumentPipes {
    uint8_t s1 = 0;
    uint8_t r1 = 0;
    uint8_t r2 = 0;
};

// The instrument's layout: bulk IN at index 1 is R1, at index 2 R2, the last bulk OUT
// is S1, interrupt endpoints are allowed and unused; a control or isochronous
// endpoint, or a missing pipe, is not the instrument. The error names the reason.
std::variant<InstrumentPipes, std::string> ClassifyEndpoints(std::span<const EndpointInfo> eps);

}  // namespace vx
