#pragma once

#include <string>

namespace vx {

// Opens the external program with its parameter text, without waiting for it.
class ProgramLauncher {
  public:
    virtual ~ProgramLauncher() = default;
    virtual void StartExternalProgram(const std::string& program,
                                      const std::string& parameters) = 0;
};

}  // namespace vx
