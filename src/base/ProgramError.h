#pragma once

#include <stdexcept>

namespace vx {

// An error that ends the action in progress and reaches the application's general
// error report, which shows what() in a message box.
class ProgramError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace vx
