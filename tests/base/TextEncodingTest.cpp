#include "base/TextEncoding.h"

#include <gtest/gtest.h>

namespace vx {
namespace {

TEST(TextEncodingTest, Utf8IsDecodedAndMalformedBytesAreDropped) {
    EXPECT_EQ(Utf8CodePoints(" 12,35"), U" 12,35");
    EXPECT_EQ(Utf8CodePoints("1\xC2\xB5\xE2\x82\xAC"), U"1\u00B5\u20AC");
    // A stray continuation byte, a lead byte without its continuation, a cut-off end,
    // an overlong form and a surrogate.
    EXPECT_EQ(Utf8CodePoints("a\x80"
                             "b\xC2"
                             "c\xE2\x82"
                             "d\xC0\xAF"
                             "e\xED\xA0\x80"),
              U"abcde");
    EXPECT_TRUE(Utf8CodePoints("").empty());
}

}  // namespace
}  // namespace vx
