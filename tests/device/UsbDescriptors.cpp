#include "UsbDescriptors.h"

namespace vx::test {

namespace {

void Put16(Bytes& b, uint16_t v) {
    b.push_back(static_cast<uint8_t>(v & 0xFF));
    b.push_back(static_cast<uint8_t>(v >> 8));
}

void Set16(Bytes& b, size_t at, size_t v) {
    b[at] = static_cast<uint8_t>(v & 0xFF);
    b[at + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
}

void Append(Bytes& to, const Bytes& part) {
    to.insert(to.end(), part.begin(), part.end());
}

Bytes Utf16(const std::string& text) {
    Bytes b;
    for (char c : text) {
        Put16(b, static_cast<uint8_t>(c));
    }
    return b;
}

}  // namespace

Bytes DeviceAndConfigDescriptors(const DeviceLook& look) {
    Bytes b = {18, 1};
    Put16(b, look.bcdUsb);
    b.insert(b.end(), {0, 0, 0, 64});
    Put16(b, look.vendor);
    Put16(b, look.product);
    Put16(b, 0x0100);
    b.insert(b.end(), {0, 0, 0, 1});
    const size_t config = b.size();
    b.insert(b.end(), {9, 2, 0, 0, 1, 1, 0, 0x80, 50});
    b.insert(b.end(), {9, 4, 0, 0, static_cast<uint8_t>(look.endpoints.size()), 0xFF, 0, 0, 0});
    for (const EndpointInfo& ep : look.endpoints) {
        b.insert(b.end(), {7, 5, ep.address, ep.attributes, 64, 0, 1});
    }
    Set16(b, config + 2, b.size() - config);
    return b;
}

Bytes BosDescriptor(const DeviceLook& look) {
    Bytes b = {5, 0x0F, 0, 0, 1};
    b.insert(b.end(), {28,   0x10, 5,    0,    0xDF, 0x60, 0xDD, 0xD8, 0x89, 0x45, 0xC7, 0x4C,
                       0x9C, 0xD2, 0x65, 0x9D, 0x9E, 0x64, 0x8A, 0x9F, 0x00, 0x00, 0x03, 0x06});
    Put16(b, static_cast<uint16_t>(MsOs20DescriptorSet(look.interfaceGuid).size()));
    b.insert(b.end(), {look.vendorCode, 0});
    Set16(b, 2, b.size());
    return b;
}

Bytes RegistryProperty(const std::string& name, const std::vector<std::string>& texts, bool multi) {
    const Bytes nameBytes = Utf16(name + '\0');
    std::string data;
    for (const std::string& text : texts) {
        data += text + '\0';
    }
    if (multi) {
        data += '\0';
    }
    const Bytes dataBytes = Utf16(data);
    Bytes b = {0, 0, 4, 0};
    Put16(b, multi ? 7 : 1);
    Put16(b, static_cast<uint16_t>(nameBytes.size()));
    Append(b, nameBytes);
    Put16(b, static_cast<uint16_t>(dataBytes.size()));
    Append(b, dataBytes);
    Set16(b, 0, b.size());
    return b;
}

Bytes DescriptorSet(const std::vector<Bytes>& parts) {
    Bytes b = {10, 0, 0, 0, 0x00, 0x00, 0x03, 0x06, 0, 0};
    for (const Bytes& part : parts) {
        Append(b, part);
    }
    Set16(b, 8, b.size());
    return b;
}

Bytes FunctionSubset(uint8_t firstInterface, const std::vector<Bytes>& parts) {
    Bytes b = {8, 0, 2, 0, firstInterface, 0, 0, 0};
    for (const Bytes& part : parts) {
        Append(b, part);
    }
    Set16(b, 6, b.size());
    return b;
}

Bytes MsOs20DescriptorSet(const std::string& guid) {
    const Bytes compatibleId = {20, 0, 3, 0, 'W', 'I', 'N', 'U', 'S', 'B',
                                0,  0, 0, 0, 0,   0,   0,   0,   0,   0};
    return DescriptorSet({compatibleId, RegistryProperty("DeviceInterfaceGUIDs", {guid}, true)});
}

}  // namespace vx::test
