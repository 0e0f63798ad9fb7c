// Any text as a hand-written USB id. Properties: it is accepted exactly when it is
// four hex digits, a colon and four hex digits with only blanks and tabs around; an
// accepted id written out again reads as the same id.
#include <cstdio>
#include <string>

#include "FuzzSupport.h"
#include "device/UsbId.h"

namespace {

using vx::fuzz::Check;

bool IsHex(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

bool LooksLikeUsbId(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    if (text.size() != 9 || text[4] != ':') {
        return false;
    }
    for (const size_t i : {0, 1, 2, 3, 5, 6, 7, 8}) {
        if (!IsHex(text[i])) {
            return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const std::optional<vx::UsbId> id = vx::ParseUsbId(text);
    Check(id.has_value() == LooksLikeUsbId(text), "accepted exactly in the form VVVV:PPPP");
    if (id) {
        char written[16];
        std::snprintf(written, sizeof written, "%04x:%04X", id->vendor, id->product);
        Check(vx::ParseUsbId(written) == id, "an id written out reads as itself");
    }
    return 0;
}
