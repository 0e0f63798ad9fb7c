#include "device/MsOs20Descriptor.h"

#include <algorithm>
#include <array>
#include <cctype>

namespace vx {

namespace {

constexpr uint8_t kBosType = 0x0F;
constexpr uint8_t kDeviceCapabilityType = 0x10;
constexpr uint8_t kPlatformCapability = 0x05;
// {D8DD60DF-4589-4CC7-9CD2-659D9E648A9F} as it lies in the descriptor.
constexpr std::array<uint8_t, 16> kMsOs20PlatformUuid = {
    0xDF, 0x60, 0xDD, 0xD8, 0x89, 0x45, 0xC7, 0x4C, 0x9C, 0xD2, 0x65, 0x9D, 0x9E, 0x64, 0x8A, 0x9F};

constexpr uint16_t kSetHeader = 0x00;
constexpr uint16_t kFunctionSubsetHeader = 0x02;
constexpr uint16_t kRegistryProperty = 0x04;
constexpr uint16_t kRegSz = 1;
constexpr uint16_t kRegMultiSz = 7;

uint16_t Le16(std::span<const uint8_t> d, size_t at) {
    return static_cast<uint16_t>(d[at] | (d[at + 1] << 8));
}

// UTF-16LE to text; the GUIDs and names looked at are plain ASCII.
std::string Narrow(std::span<const uint8_t> utf16) {
    std::string text;
    for (size_t i = 0; i + 1 < utf16.size(); i += 2) {
        const uint16_t unit = Le16(utf16, i);
        text.push_back(unit < 0x80 ? static_cast<char>(unit) : '?');
    }
    return text;
}

// Splits at the zero characters; empty pieces (the terminators) are dropped.
void AppendStrings(const std::string& data, std::vector<std::string>& out) {
    size_t start = 0;
    while (start < data.size()) {
        size_t end = data.find('\0', start);
        if (end == std::string::npos) {
            end = data.size();
        }
        if (end > start) {
            out.push_back(data.substr(start, end - start));
        }
        start = end + 1;
    }
}

// One registry property descriptor; appends its strings when it is an interface GUID.
void ReadProperty(std::span<const uint8_t> d, std::vector<std::string>& out) {
    if (d.size() < 10) {
        return;
    }
    const uint16_t dataType = Le16(d, 4);
    const uint16_t nameLength = Le16(d, 6);
    if (8u + nameLength + 2u > d.size()) {
        return;
    }
    std::string name = Narrow(d.subspan(8, nameLength));
    while (!name.empty() && name.back() == '\0') {
        name.pop_back();
    }
    const uint16_t dataLength = Le16(d, 8 + nameLength);
    const size_t dataAt = 10u + nameLength;
    if (dataAt + dataLength > d.size()) {
        return;
    }
    const bool guidName = name == "DeviceInterfaceGUID" || name == "DeviceInterfaceGUIDs";
    if (guidName && (dataType == kRegSz || dataType == kRegMultiSz)) {
        AppendStrings(Narrow(d.subspan(dataAt, dataLength)), out);
    }
}

}  // namespace

std::optional<MsOs20SetLocation> FindMsOs20Set(std::span<const uint8_t> bos) {
    if (bos.size() < 5 || bos[0] < 5 || bos[1] != kBosType) {
        return std::nullopt;
    }
    const size_t total = std::min<size_t>(Le16(bos, 2), bos.size());
    size_t at = bos[0];
    while (at + 3 <= total) {
        const size_t length = bos[at];
        if (length < 3 || at + length > total) {
            return std::nullopt;
        }
        const auto cap = bos.subspan(at, length);
        // Type, platform, reserved, UUID, then one 8-byte set information entry.
        if (cap[1] == kDeviceCapabilityType && cap[2] == kPlatformCapability && length >= 28 &&
            std::equal(kMsOs20PlatformUuid.begin(), kMsOs20PlatformUuid.end(), cap.begin() + 4)) {
            const MsOs20SetLocation location{cap[26], Le16(cap, 24)};
            if (location.totalLength < 10) {
                return std::nullopt;
            }
            return location;
        }
        at += length;
    }
    return std::nullopt;
}

std::vector<std::string> InterfaceZeroGuids(std::span<const uint8_t> set) {
    std::vector<std::string> guids;
    if (set.size() < 10 || Le16(set, 0) != 10 || Le16(set, 2) != kSetHeader) {
        return guids;
    }
    const size_t total = std::min<size_t>(Le16(set, 8), set.size());
    size_t functionEnd = 0;  // end of the function subset being read, 0 outside one
    bool functionIsZero = true;
    size_t at = 10;
    while (at + 4 <= total) {
        const size_t length = Le16(set, at);
        const uint16_t type = Le16(set, at + 2);
        if (length < 4 || at + length > total) {
            break;
        }
        if (functionEnd != 0 && at >= functionEnd) {
            functionEnd = 0;
            functionIsZero = true;
        }
        if (type == kFunctionSubsetHeader && length >= 8) {
            functionIsZero = set[at + 4] == 0;
            functionEnd = at + Le16(set, at + 6);
        } else if (type == kRegistryProperty && functionIsZero) {
            ReadProperty(set.subspan(at, length), guids);
        }
        at += length;
    }
    return guids;
}

bool ListsGuid(const std::vector<std::string>& guids, std::string_view guid) {
    const auto sameText = [guid](const std::string& text) {
        return std::equal(text.begin(), text.end(), guid.begin(), guid.end(), [](char a, char b) {
            return std::tolower(static_cast<unsigned char>(a)) ==
                   std::tolower(static_cast<unsigned char>(b));
        });
    };
    return std::any_of(guids.begin(), guids.end(), sameText);
}

}  // namespace vx
