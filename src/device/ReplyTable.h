#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "device/DeviceParameters.h"

namespace vx {

// What a reply's payload becomes.
enum class ReplyKind : uint8_t {
    FirmwareText,     // handed to the window's firmware label
    DeviceErrorText,  // handed to the window's device error label
    Number,           // a parameter of type double
    WholeNumber,      // a parameter of type int32_t, the number truncated
    Text,             // a text parameter
    LinCount,         // the first payload digit: how many linearisation points
    LinPoint,         // one entry of the linearisation table
};

struct ReplyRow {
    std::string_view code;
    ReplyKind kind;
    double DeviceParameters::*number = nullptr;
    int32_t DeviceParameters::*wholeNumber = nullptr;
    std::string DeviceParameters::*text = nullptr;
    size_t textBytes = 0;  // the longest payload a text keeps, in bytes
    int linIndex = 0;      // 1..5 outputs, 6..10 inputs
    uint32_t maskBit = 0;  // set in the parameter mask once the reply is in
};

// The replies of the start-up sequence, in its order: row i answers query i.
inline constexpr std::array<ReplyRow, 21> kReplyTable{{
    {.code = "#I05", .kind = ReplyKind::FirmwareText, .textBytes = 32},
    {.code = "#Y00", .kind = ReplyKind::DeviceErrorText, .textBytes = 32},
    {.code = "#Z16",
     .kind = ReplyKind::Number,
     .number = &DeviceParameters::calibScale,
     .maskBit = 0x2},
    {.code = "#Z17",
     .kind = ReplyKind::Number,
     .number = &DeviceParameters::calibOffset,
     .maskBit = 0x1},
    {.code = "#Z18",
     .kind = ReplyKind::Text,
     .text = &DeviceParameters::serialDevice,
     .textBytes = 20,
     .maskBit = 0x4},
    {.code = "#Z61",
     .kind = ReplyKind::Number,
     .number = &DeviceParameters::nominalValue,
     .maskBit = 0x40},
    {.code = "#Z62",
     .kind = ReplyKind::WholeNumber,
     .wholeNumber = &DeviceParameters::deviceParam62,
     .maskBit = 0x80},
    {.code = "#Z63",
     .kind = ReplyKind::WholeNumber,
     .wholeNumber = &DeviceParameters::deviceParam63,
     .maskBit = 0x100},
    // "#Z64".."#Z73" alternate between an output and an input point.
    {.code = "#Z64", .kind = ReplyKind::LinPoint, .linIndex = 1, .maskBit = 0x200},
    {.code = "#Z65", .kind = ReplyKind::LinPoint, .linIndex = 6, .maskBit = 0x400},
    {.code = "#Z66", .kind = ReplyKind::LinPoint, .linIndex = 2, .maskBit = 0x800},
    {.code = "#Z67", .kind = ReplyKind::LinPoint, .linIndex = 7, .maskBit = 0x1000},
    {.code = "#Z68", .kind = ReplyKind::LinPoint, .linIndex = 3, .maskBit = 0x2000},
    {.code = "#Z69", .kind = ReplyKind::LinPoint, .linIndex = 8, .maskBit = 0x4000},
    {.code = "#Z70", .kind = ReplyKind::LinPoint, .linIndex = 4, .maskBit = 0x8000},
    {.code = "#Z71", .kind = ReplyKind::LinPoint, .linIndex = 9, .maskBit = 0x10000},
    {.code = "#Z72", .kind = ReplyKind::LinPoint, .linIndex = 5, .maskBit = 0x20000},
    {.code = "#Z73", .kind = ReplyKind::LinPoint, .linIndex = 10, .maskBit = 0x40000},
    {.code = "#Z74", .kind = ReplyKind::LinCount, .maskBit = 0x80000},
    {.code = "#Z75",
     .kind = ReplyKind::Text,
     .text = &DeviceParameters::unitText,
     .textBytes = 8,
     .maskBit = 0x100000},
    {.code = "#Z76",
     .kind = ReplyKind::Text,
     .text = &DeviceParameters::serialSensor,
     .textBytes = 20,
     .maskBit = 0x200000},
}};

// What the start-up sequence sends: a query for every reply, then the zero-clear
// command, whose answer comes in the stream rather than on the reply pipe.
inline constexpr std::array<std::string_view, 22> kStartupCommands = {
    "#I05", "#Y00", "#Z16", "#Z17", "#Z18", "#Z61", "#Z62", "#Z63", "#Z64", "#Z65", "#Z66",
    "#Z67", "#Z68", "#Z69", "#Z70", "#Z71", "#Z72", "#Z73", "#Z74", "#Z75", "#Z76", "#A13"};

}  // namespace vx
