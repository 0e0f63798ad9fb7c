// Entry of the tests on the emulated USB bus: they need umockdev's preload library,
// so outside umockdev-wrapper they report themselves skipped to CTest.
#include <gtest/gtest.h>

#include <cstdio>

#include "EmulatedUsbInstrument.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (!vx::test::UnderUmockdev() && !GTEST_FLAG_GET(list_tests)) {
        std::fputs("not run under umockdev-wrapper: skipped\n", stderr);
        return 77;
    }
    return RUN_ALL_TESTS();
}
