// Reading the OS 2.0 descriptors that tell the instrument from other devices.
#include <gtest/gtest.h>

#include "UsbDescriptors.h"
#include "device/InstrumentEndpoints.h"
#include "device/MsOs20Descriptor.h"
#include "device/UsbId.h"

namespace vx {
namespace {

using test::Bytes;

const std::string kGuid(kInstrumentInterfaceGuid);

TEST(MsOs20DescriptorTest, FindsTheSetNamedByThePlatformCapability) {
    test::DeviceLook look;
    look.vendorCode = 0x42;
    const Bytes bos = test::BosDescriptor(look);
    const auto location = FindMsOs20Set(bos);
    ASSERT_TRUE(location);
    EXPECT_EQ(location->vendorCode, 0x42);
    EXPECT_EQ(location->totalLength, test::MsOs20DescriptorSet(kGuid).size());

    // Another platform capability (one UUID byte changed), a cut descriptor, a
    // capability running past the end: none names a set.
    Bytes otherUuid = bos;
    otherUuid[9] ^= 1;
    Bytes lengthPastEnd = bos;
    lengthPastEnd[5] = 60;
    for (const Bytes& bad : {otherUuid, Bytes(bos.begin(), bos.begin() + 20), lengthPastEnd,
                             Bytes{5, 0x0F, 5, 0, 0}, Bytes{}}) {
        EXPECT_FALSE(FindMsOs20Set(bad));
    }
}

TEST(MsOs20DescriptorTest, InterfaceGuidsOfTheDeviceAndOfFunctionZeroOnly) {
    using test::DescriptorSet;
    using test::FunctionSubset;
    using test::RegistryProperty;
    const Bytes other = RegistryProperty("DeviceInterfaceGUIDs", {"{OTHER}"}, true);
    const Bytes single = RegistryProperty("DeviceInterfaceGUID", {kGuid}, false);
    const Bytes multi = RegistryProperty("DeviceInterfaceGUIDs", {"{A}", kGuid}, true);
    const Bytes wrongName = RegistryProperty("FriendlyName", {kGuid}, false);
    struct Case {
        const char* name;
        Bytes set;
        std::vector<std::string> guids;
    };
    const Case cases[] = {
        {"whole device, REG_SZ", DescriptorSet({single}), {kGuid}},
        {"whole device, REG_MULTI_SZ", DescriptorSet({multi}), {"{A}", kGuid}},
        {"other property", DescriptorSet({wrongName}), {}},
        {"function 0", DescriptorSet({FunctionSubset(0, {single})}), {kGuid}},
        {"function 1 only",
         DescriptorSet({FunctionSubset(1, {single}), FunctionSubset(0, {other})}),
         {"{OTHER}"}},
        {"after function 1 ends", DescriptorSet({FunctionSubset(1, {other}), single}), {kGuid}},
        {"cut property", DescriptorSet({Bytes(single.begin(), single.end() - 4)}), {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(InterfaceZeroGuids(c.set), c.guids) << c.name;
    }
    Bytes cut = DescriptorSet({single});
    cut.resize(cut.size() - 1);  // the property runs past the end
    EXPECT_TRUE(InterfaceZeroGuids(cut).empty());
    EXPECT_TRUE(InterfaceZeroGuids(Bytes{10, 0, 1, 0, 0, 0, 3, 6, 10, 0}).empty());
    EXPECT_TRUE(ListsGuid({"{a}", "{d76db6d7-355b-4bea-85c5-dfdb5e33d106}"}, kGuid));
    EXPECT_FALSE(ListsGuid({kGuid + "x"}, kGuid));
}

TEST(MsOs20DescriptorTest, EndpointLayoutOfTheInstrument) {
    const auto pipes = std::get<InstrumentPipes>(ClassifyEndpoints(std::vector<EndpointInfo>{
        {0x02, 2}, {0x81, 2}, {0x83, 2}, {0x84, 3}, {0x05, 2}, {0x86, 2}}));
    EXPECT_EQ(pipes.s1, 0x05);  // the later bulk OUT replaces the earlier one
    EXPECT_EQ(pipes.r1, 0x81);
    EXPECT_EQ(pipes.r2, 0x83);
    // R1 must sit at index 1: an interrupt endpoint there leaves no R1.
    EXPECT_TRUE(std::holds_alternative<std::string>(
        ClassifyEndpoints(std::vector<EndpointInfo>{{0x01, 2}, {0x81, 3}, {0x82, 2}})));
    EXPECT_TRUE(std::holds_alternative<std::string>(ClassifyEndpoints({})));
}

TEST(MsOs20DescriptorTest, UsbIdText) {
    EXPECT_EQ(ParseUsbId("16c0:05DC"), (UsbId{0x16c0, 0x05dc}));
    EXPECT_EQ(ParseUsbId("  1209:4180 "), (UsbId{0x1209, 0x4180}));
    for (const char* bad : {"", "16c0", "16c0:5dc", "16c0-05dc", "0x16:05dc", "16c0:05dcx",
                            "g6c0:05dc", "16c0:+5dc", "16c0 :05dc"}) {
        EXPECT_FALSE(ParseUsbId(bad)) << bad;
    }
}

}  // namespace
}  // namespace vx
