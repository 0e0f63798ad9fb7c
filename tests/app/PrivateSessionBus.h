#pragma once

#include <string>

#include "support/AnnouncingDaemon.h"
#include "support/TempFolder.h"

namespace vx::test {

// A session bus of this test process: a dbus-daemon with a session configuration of its
// own that activates no services, so nothing answers on it but what the test puts there.
// Address() is empty when the daemon did not come up within ten seconds.
class PrivateSessionBus {
  public:
    const std::string& Address() const { return daemon_.Line(); }

  private:
    // Writes the bus's configuration into the folder; gives the option that names it.
    static std::string ConfigOption(const TempFolder& folder) {
        const std::filesystem::path config = folder.Path() / "bus.conf";
        WriteBytes(config,
                   "<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration "
                   "1.0//EN\" \"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                   "<busconfig><type>session</type>"
                   "<listen>unix:dir=" +
                       folder.Path().string() +
                       "</listen><auth>EXTERNAL</auth>"
                       "<policy context=\"default\"><allow send_destination=\"*\" "
                       "eavesdrop=\"true\"/><allow eavesdrop=\"true\"/><allow own=\"*\"/>"
                       "</policy></busconfig>\n");
        return "--config-file=" + config.string();
    }

    TempFolder folder_;
    AnnouncingDaemon daemon_{
        {"dbus-daemon", "--nofork", "--print-address=3", ConfigOption(folder_)}};
};

}  // namespace vx::test
