#include <gtest/gtest.h>

#include "device/UsbBusAccess.h"
#include "support/TempFolder.h"

namespace vx {
namespace {

TEST(UsbBusAccessTest, SaysInOneLineWhyTheBusCannotBeLookedAt) {
    test::TempFolder temp;
    const std::string missing = (temp.Path() / "usb").string();
    const std::string file = (temp.Path() / "file").string();
    test::WriteBytes(file, "not a folder");

    EXPECT_EQ(UsbBusProblem(temp.Path().string()), std::nullopt);
    const auto gone = UsbBusProblem(missing);
    ASSERT_TRUE(gone);
    EXPECT_TRUE(gone->starts_with(missing + " does not exist: ")) << *gone;
    const auto unreadable = UsbBusProblem(file);
    ASSERT_TRUE(unreadable);
    EXPECT_TRUE(unreadable->starts_with(file + " cannot be read (Not a directory): "))
        << *unreadable;
    for (const auto& line : {*gone, *unreadable}) {
        EXPECT_EQ(line.find('\n'), std::string::npos);
    }
}

}  // namespace
}  // namespace vx
