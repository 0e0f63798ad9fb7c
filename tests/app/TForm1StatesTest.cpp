#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <set>
#include <string>

#include "app/GuiTestSupport.h"
#include "app/TForm1.h"

namespace vx {
namespace {

using Names = std::set<std::string>;

// Every control a user can operate, by object name.
const std::vector<std::string> kOperable{"clrPeak",
                                         "Zero",
                                         "ClrLast",
                                         "ClrAll",
                                         "ButtonSingleShot",
                                         "Start",
                                         "Stop",
                                         "loadFromFile",
                                         "saveToFile",
                                         "ButtonExcel",
                                         "ButtonZoom",
                                         "Language",
                                         "ComboBoxSampleRate",
                                         "CheckBoxHiRes",
                                         "CheckBoxToKeyBuf",
                                         "CheckBoxAutoClrPeak",
                                         "RadioGroupGraficMode",
                                         "CheckBPeak1msUp",
                                         "CheckBPeakfilteredUp",
                                         "CheckBoxMean",
                                         "CheckBPeakfilteredDn",
                                         "CheckBPeak1msLo",
                                         "Init_USB_Device",
                                         "interface_off",
                                         "ButtonGetFirmware",
                                         "ButtonGetError",
                                         "clrDevError",
                                         "unZero"};

const Names kDisplayGroup{"RadioGroupGraficMode", "CheckBPeak1msUp",      "CheckBPeakfilteredUp",
                          "CheckBoxMean",         "CheckBPeakfilteredDn", "CheckBPeak1msLo"};

Names Usable(const TForm1& form) {
    Names usable;
    for (const std::string& name : kOperable) {
        const auto* control = form.findChild<QWidget*>(QString::fromStdString(name));
        EXPECT_NE(control, nullptr) << name;
        if (control != nullptr && control->isEnabled() && control->isVisible()) {
            usable.insert(name);
        }
    }
    return usable;
}

Names Join(Names a, const Names& b) {
    a.insert(b.begin(), b.end());
    return a;
}

void Startup(TForm1& f) {
    f.ApplyStartupControlState();
}
void Found(TForm1& f) {
    Startup(f);
    f.SetZemlometerKeys(true);
}
void Ready(TForm1& f) {
    Found(f);
    f.ApplyDeviceReadyState();
}
void AutoRun(TForm1& f) {
    Ready(f);
    f.ApplyAutoRunState();
}

struct StateCase {
    const char* name;
    std::function<void(TForm1&)> reach;
    Names usable;
};

void PrintTo(const StateCase& c, std::ostream* os) {
    *os << c.name;
}

class WindowStateTest : public ::testing::TestWithParam<StateCase> {
  protected:
    static void SetUpTestSuite() { test::EnsureApplication(); }
};

TEST_P(WindowStateTest, ExactlyTheseControlsAreUsable) {
    test::WindowHarness harness;
    TForm1& form = harness.form;
    form.show();
    GetParam().reach(form);
    EXPECT_EQ(Usable(form), GetParam().usable);
}

const Names kMeasuring{"ClrLast", "ClrAll", "ButtonSingleShot", "Start", "clrPeak", "Zero"};
const Names kFileAndChoice{"loadFromFile", "ButtonZoom", "ComboBoxSampleRate", "Language"};

INSTANTIATE_TEST_SUITE_P(
    States, WindowStateTest,
    ::testing::Values(
        StateCase{"Design", [](TForm1&) {}, Join(kFileAndChoice, kDisplayGroup)},
        StateCase{"Startup", Startup, Join({"ClrAll"}, kDisplayGroup)},
        StateCase{"DeviceNotFound",
                  [](TForm1& f) {
                      Startup(f);
                      f.ApplyDeviceNotFoundState();
                  },
                  Join(Join({"ClrAll", "ButtonExcel"}, kFileAndChoice), kDisplayGroup)},
        StateCase{"DeviceFound", Found, Join(kMeasuring, kDisplayGroup)},
        StateCase{"DeviceReady", Ready, Join(Join(kMeasuring, kFileAndChoice), kDisplayGroup)},
        StateCase{"AutomaticRun", AutoRun, {"Stop", "clrPeak", "Zero", "ButtonZoom"}},
        StateCase{"AutomaticRunEnded",
                  [](TForm1& f) {
                      AutoRun(f);
                      f.ApplyAutoRunEndedState();
                  },
                  Join(Join(kMeasuring, kFileAndChoice), {"saveToFile", "ButtonExcel"})},
        StateCase{"ConnectionLost",
                  [](TForm1& f) {
                      Ready(f);
                      f.SetZemlometerKeys(false);
                  },
                  Join(kFileAndChoice, kDisplayGroup)}),
    [](const auto& info) { return std::string(info.param.name); });

// "Clear peak auto", once shown, is part of the measurement group.
TEST(WindowGroupTest, ClearPeakAutoFollowsTheMeasurementGroup) {
    test::EnsureApplication();
    test::WindowHarness harness;
    TForm1& form = harness.form;
    form.show();
    form.CheckBoxAutoClrPeak->show();
    EXPECT_TRUE(form.CheckBoxAutoClrPeak->isEnabled());
    Startup(form);
    EXPECT_FALSE(form.CheckBoxAutoClrPeak->isEnabled());
    form.ApplyDeviceNotFoundState();
    EXPECT_FALSE(form.CheckBoxAutoClrPeak->isEnabled());
    Ready(form);
    EXPECT_TRUE(form.CheckBoxAutoClrPeak->isEnabled());
    form.SetZemlometerKeys(false);
    EXPECT_FALSE(form.CheckBoxAutoClrPeak->isEnabled());
    // The group switch changes nothing but the enabled state.
    EXPECT_TRUE(form.CheckBoxAutoClrPeak->isVisible());
    EXPECT_EQ(form.ClrAll->text(), "CL&R ALL MEASUREMENTS");
}

TEST(WindowGroupTest, DeviceNotFoundShowsItInTheStatusLine) {
    test::EnsureApplication();
    test::WindowHarness harness;
    TForm1& form = harness.form;
    EXPECT_EQ(form.ErrorString->text(), "Initialisation");
    form.ApplyDeviceNotFoundState();
    EXPECT_EQ(form.ErrorString->text(), "Device not found");
}

}  // namespace
}  // namespace vx
