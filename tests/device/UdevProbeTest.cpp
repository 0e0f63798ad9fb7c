// The udev probe's verdicts over devices on an emulated bus.
#include <gtest/gtest.h>

#include <chrono>

#include "EmulatedUsbInstrument.h"
#include "device/UdevProbe.h"

namespace vx {
namespace {

using namespace std::chrono_literals;
using test::ControlAnswers;
using test::DeviceLook;

// The emulated bus numbers devices from 2 on, in the order they were added.
constexpr uint8_t kBus = 1;
constexpr uint8_t kFirstAddress = 2;

TEST(UdevProbeTest, AnswersByTheGuidInTheOsDescriptors) {
    struct Case {
        const char* name;
        DeviceLook look;
        bool instrument;
    };
    DeviceLook otherGuid;
    otherGuid.interfaceGuid = "{00000000-1111-2222-3333-444444444444}";
    DeviceLook lowerCase;
    lowerCase.interfaceGuid = "{d76db6d7-355b-4bea-85c5-dfdb5e33d106}";
    DeviceLook usb20;  // no BOS descriptor to ask for
    usb20.bcdUsb = 0x0200;
    usb20.osDescriptors = false;
    DeviceLook noCapability;  // a BOS without the OS 2.0 platform capability
    noCapability.osDescriptors = false;
    DeviceLook stalls;
    stalls.controlAnswers = ControlAnswers::VendorRequestStalls;
    const Case cases[] = {
        {"instrument", DeviceLook{}, true},
        {"GUID in lower case", lowerCase, true},
        {"other GUID", otherGuid, false},
        {"USB 2.0, no BOS", usb20, false},
        {"BOS without OS 2.0", noCapability, false},
        {"vendor request stalls", stalls, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        test::UsbTestbed bed;
        bed.Add(c.look);
        EXPECT_EQ(ProbeForInstrument(kBus, kFirstAddress), c.instrument);
        bed.Clear();
    }
}

// The probe reads over the control pipe only, so a program that holds the interface
// does not change its answer; it looks at the one device it is asked about.
TEST(UdevProbeTest, NeedsNoInterfaceAndLooksOnlyAtTheDeviceNamed) {
    test::UsbTestbed bed;
    DeviceLook other;
    other.interfaceGuid = "{00000000-1111-2222-3333-444444444444}";
    bed.Add(other);
    bed.Add().SetHeldByOther(true);
    EXPECT_FALSE(ProbeForInstrument(kBus, kFirstAddress));
    EXPECT_TRUE(ProbeForInstrument(kBus, kFirstAddress + 1));
    EXPECT_FALSE(ProbeForInstrument(kBus, kFirstAddress + 2));  // nothing there
    EXPECT_FALSE(ProbeForInstrument(kBus + 1, kFirstAddress));
    bed.Clear();
}

// A device that never answers costs one request time-out: its BOS request is the
// first, and nothing is asked after it failed.
TEST(UdevProbeTest, ADeviceThatNeverAnswersEndsTheProbeAfterOneTimeOut) {
    test::UsbTestbed bed;
    DeviceLook silent;
    silent.controlAnswers = ControlAnswers::Never;
    bed.Add(silent);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_FALSE(ProbeForInstrument(kBus, kFirstAddress, 100ms));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, 100ms);
    EXPECT_LT(took, 2s);
    bed.Clear();
}

}  // namespace
}  // namespace vx
