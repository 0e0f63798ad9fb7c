#pragma once

#include <optional>
#include <string>
#include <vector>

namespace vx {

// Starts argv[0] (a path, or a name looked up on PATH) with the given arguments in a
// session of its own, without a shell and without waiting for it; the child is reaped
// when it ends, so it never stays behind as a zombie. 0, or the error number of the
// failed start.
int SpawnDetached(const std::vector<std::string>& argv);

// Runs argv to its end and returns what it wrote to its standard output; nullopt when
// it could not be started or did not end with status 0.
std::optional<std::string> RunForOutput(const std::vector<std::string>& argv);

}  // namespace vx
