#pragma once

#include <array>
#include <cstdint>

namespace vx {

// A command or reply frame: ASCII text, a zero byte, then the end marker. It travels
// as two 16-byte halves.
using Frame = std::array<uint8_t, 32>;

constexpr uint8_t kEndOfFrame = 0xA7;

}  // namespace vx
