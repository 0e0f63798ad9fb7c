#pragma once

#include <string>

namespace vx {

// Types text into the application that has the keyboard focus, then Enter.
class KeyboardOutput {
  public:
    virtual ~KeyboardOutput() = default;
    virtual void TypeText(const std::string& text) = 0;
};

}  // namespace vx
