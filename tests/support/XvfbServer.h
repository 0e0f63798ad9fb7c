#pragma once

#include <string>

#include "support/AnnouncingDaemon.h"

namespace vx::test {

// An Xvfb server of this test process on a display number it picks itself; Display()
// is empty when it did not come up within ten seconds.
class XvfbServer {
  public:
    const std::string& Display() const { return display_; }

  private:
    // No reset when the last client leaves: a connection made during the reset would be
    // refused.
    AnnouncingDaemon daemon_{
        {"Xvfb", "-displayfd", "3", "-noreset", "-nolisten", "tcp", "-screen", "0", "640x480x24"}};
    std::string display_ = daemon_.Line().empty() ? "" : ":" + daemon_.Line();
};

}  // namespace vx::test
