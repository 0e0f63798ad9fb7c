#pragma once

#include <string>

namespace vx {

// Types text into the application that has the keyboard focus, then Enter.
class KeyboardOutput {
  public:
    virtual ~KeyboardOutput() = default;
    virtual void TypeText(const std::string& text) = 0;
    // Typing has been switched on: a way that needs the user's consent asks for it now,
    // rather than when the first value is typed.
    virtual void Prepare() {}
};

}  // namespace vx
