#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace vx {

// The instrument's identity and calibration, as its replies deliver them. Decoded on
// the command thread, handed over, and stored and read on the user-interface thread
// only; processing uses them once the parameter mask says all of them are in.
struct DeviceParameters {
    double calibScale = 0.0;
    double calibOffset = 0.0;
    std::string serialDevice;
    double nominalValue = 0.0;
    int32_t deviceParam62 = 0;
    int32_t deviceParam63 = 0;
    std::array<double, 11> linTable{};  // 1..5 outputs, 6..10 inputs; 0 unused
    uint8_t linCount = 0;
    std::string unitText;
    std::string serialSensor;
};

// Where the device parameters are read.
class DeviceParameterSource {
  public:
    virtual const DeviceParameters& Parameters() const = 0;
    // True once every parameter of the start-up sequence has arrived: no sample is
    // processed before.
    virtual bool AllParametersIn() const = 0;

  protected:
    ~DeviceParameterSource() = default;
};

}  // namespace vx
