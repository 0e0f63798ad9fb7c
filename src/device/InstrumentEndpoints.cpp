#include "device/InstrumentEndpoints.h"

namespace vx {

namespace {
constexpr uint8_t kTypeMask = 0x03;
constexpr uint8_t kControl = 0, kIsochronous = 1, kBulk = 2;
constexpr uint8_t kIn = 0x80;
}  // namespace

std::variant<InstrumentPipes, std::string> ClassifyEndpoints(std::span<const EndpointInfo> eps) {
    std::optional<uint8_t> s1, r1, r2;
    for (size_t i = 0; i < eps.size(); ++i) {
        const uint8_t type = eps[i].attributes & kTypeMask;
        if (type == kControl || type == kIsochronous) {
            return std::string(type == kControl ? "control" : "isochronous") +
                   " endpoint at index " + std::to_string(i);
        }
        if (type != kBulk) {
            continue;  // interrupt
        }
        if ((eps[i].address & kIn) == 0) {
            s1 = eps[i].address;
        } else if (i == 1) {
            r1 = eps[i].address;
        } else if (i == 2) {
            r2 = eps[i].address;
        }
    }
    if (!s1 || !r1 || !r2) {
        return std::string("no bulk OUT, bulk IN at index 1 and bulk IN at index 2");
    }
    return InstrumentPipes{*s1, *r1, *r2};
}

}  // namespace vx
