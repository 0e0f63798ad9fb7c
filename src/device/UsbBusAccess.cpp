#include "device/UsbBusAccess.h"

#include <dirent.h>
#include <fmt/core.h>

#include <cerrno>
#include <cstring>

namespace vx {

std::optional<std::string> UsbBusProblem(const std::string& folder) {
    DIR* dir = opendir(folder.c_str());
    if (dir != nullptr) {
        closedir(dir);
        return std::nullopt;
    }
    if (errno == ENOENT) {
        return fmt::format(
            "{} does not exist: this system gives programs no access to USB devices (in a "
            "container or sandbox, let it see {})",
            folder, folder);
    }
    return fmt::format(
        "{} cannot be read ({}): check its permissions, or run as a user who may "
        "read it",
        folder, std::strerror(errno));
}

}  // namespace vx
