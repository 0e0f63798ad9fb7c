// Any bytes as a device's BOS descriptor and its Microsoft OS 2.0 descriptor set.
// Properties: a found set is at least as long as its header; the interface GUIDs are
// non-empty texts without zero characters; bytes behind the set's declared length
// change nothing.
//
// Input: the length of the BOS descriptor, the BOS descriptor, then the set.
#include <vector>

#include "FuzzSupport.h"
#include "device/MsOs20Descriptor.h"

namespace {

using vx::fuzz::Check;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    vx::fuzz::Input in(data, size);
    const std::string_view bos = in.Bytes(in.Byte());
    const std::string_view set = in.Rest();

    const auto location =
        vx::FindMsOs20Set(std::span(reinterpret_cast<const uint8_t*>(bos.data()), bos.size()));
    Check(!location || location->totalLength >= 10, "a set holds at least its header");

    const std::vector<uint8_t> bytes(set.begin(), set.end());
    const std::vector<std::string> guids = vx::InterfaceZeroGuids(bytes);
    for (const std::string& guid : guids) {
        Check(!guid.empty() && guid.find('\0') == std::string::npos, "GUIDs are plain texts");
    }
    vx::ListsGuid(guids, vx::kInstrumentInterfaceGuid);

    if (bytes.size() >= 10 && bytes.size() >= static_cast<size_t>(bytes[8] | (bytes[9] << 8))) {
        std::vector<uint8_t> longer = bytes;
        longer.insert(longer.end(), {0x0A, 0x00, 0x04, 0x00, 0x07, 0x00});
        Check(vx::InterfaceZeroGuids(longer) == guids, "bytes behind the set change nothing");
    }
    return 0;
}
