// Finding and opening the instrument with the real libusb on an emulated bus.
#include <gtest/gtest.h>

#include "EmulatedUsbInstrument.h"
#include "device/LibusbBackend.h"

namespace vx {
namespace {

using test::DeviceLook;

DeviceLook WithoutOsDescriptors(uint16_t vendor, uint16_t product) {
    DeviceLook look;
    look.vendor = vendor;
    look.product = product;
    look.bcdUsb = 0x0200;
    look.osDescriptors = false;
    return look;
}

DeviceLook WithGuid(const std::string& guid) {
    DeviceLook look;
    look.interfaceGuid = guid;
    return look;
}

TEST(LibusbRecognitionTest, TakesTheFirstDeviceWithTheInstrumentGuid) {
    test::UsbTestbed bed;
    bed.Add(WithoutOsDescriptors(0x046d, 0xc077));
    bed.Add(WithGuid("{00000000-1111-2222-3333-444444444444}"));
    bed.Add(WithGuid("{d76db6d7-355b-4bea-85c5-dfdb5e33d106}"));  // letters in either case
    bed.Add();
    LibusbBackend usb;
    ASSERT_EQ(usb.Open(), OpenOutcome::Opened);
    const std::vector<std::string> expected = {
        "bus 001 device 002 id 046d:c077: no OS 2.0 descriptors",
        "bus 001 device 003 id 1209:4180: no OS 2.0 GUID of the instrument",
        "bus 001 device 004 id 1209:4180: taken (OS 2.0 GUID)",
    };
    EXPECT_EQ(usb.LastScan(), expected);
    usb.Close();
    usb.Close();  // closing twice is harmless
    bed.Clear();
}

TEST(LibusbRecognitionTest, UsbIdNamesADeviceWithoutOsDescriptors) {
    test::UsbTestbed bed;
    bed.Add(WithoutOsDescriptors(0x0403, 0x6001));
    bed.Add(WithoutOsDescriptors(0x16c0, 0x05dc));
    {
        LibusbBackend usb(UsbId{0x16c0, 0x05dc});
        EXPECT_EQ(usb.Open(), OpenOutcome::Opened);
        EXPECT_EQ(usb.LastScan().back(), "bus 001 device 003 id 16c0:05dc: taken (UsbId)");
    }
    {
        LibusbBackend usb;
        EXPECT_EQ(usb.Open(), OpenOutcome::NotFound);
        EXPECT_EQ(usb.LastScan().size(), 2u);
    }
    {
        // The id is read at each open: settings read after the backend was made count.
        std::string setting;
        LibusbBackend usb([&] { return ParseUsbId(setting); });
        EXPECT_EQ(usb.Open(), OpenOutcome::NotFound);
        setting = "0403:6001";
        EXPECT_EQ(usb.Open(), OpenOutcome::Opened);
        EXPECT_EQ(usb.LastScan().back(), "bus 001 device 002 id 0403:6001: taken (UsbId)");
    }
    bed.Clear();
}

TEST(LibusbRecognitionTest, OpenFailsOnAWrongLayoutOrAClaimedInterface) {
    struct Case {
        const char* name;
        std::vector<EndpointInfo> endpoints;
        bool heldByOther;
        OpenOutcome expected;
        const char* scan;
    };
    const Case cases[] = {
        {"isochronous",
         {{0x01, 2}, {0x81, 2}, {0x82, 2}, {0x83, 1}},
         false,
         OpenOutcome::SetupFailed,
         "wrong endpoints: isochronous endpoint at index 3"},
        {"control",
         {{0x00, 0}, {0x81, 2}, {0x82, 2}, {0x01, 2}},
         false,
         OpenOutcome::SetupFailed,
         "wrong endpoints: control endpoint at index 0"},
        {"R2 missing",
         {{0x01, 2}, {0x81, 2}},
         false,
         OpenOutcome::SetupFailed,
         "wrong endpoints: no bulk OUT, bulk IN at index 1 and bulk IN at index 2"},
        {"claimed",
         {{0x01, 2}, {0x81, 2}, {0x82, 2}},
         true,
         OpenOutcome::InUse,
         "in use by another program"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::UsbTestbed bed;
        DeviceLook look;
        look.endpoints = c.endpoints;
        bed.Add(look).SetHeldByOther(c.heldByOther);
        bed.Add();  // a proper instrument later on the bus is not taken
        LibusbBackend usb;
        EXPECT_EQ(usb.Open(), c.expected);
        ASSERT_EQ(usb.LastScan().size(), 1u);
        EXPECT_EQ(usb.LastScan()[0], std::string("bus 001 device 002 id 1209:4180: ") + c.scan);
        usb.Close();
        bed.Clear();
    }
}

TEST(LibusbRecognitionTest, AnEmptyBusFindsNothingAndTransfersFailToStart) {
    test::UsbTestbed bed;
    LibusbBackend usb;
    EXPECT_EQ(usb.Open(), OpenOutcome::NotFound);
    EXPECT_TRUE(usb.LastScan().empty());
    uint8_t buffer[16];
    EXPECT_EQ(usb.Transfer(Pipe::R1, buffer, std::chrono::milliseconds(10)).outcome,
              TransferOutcome::StartFailed);
}

}  // namespace
}  // namespace vx
