#pragma once

#include <string>

namespace vx {

// What the window's display handlers need from the settings: the start-up flag, the
// display mode held in memory, and writing one key of section Config.
class WindowSettings {
  public:
    virtual ~WindowSettings() = default;
    virtual bool StartupDone() const = 0;
    virtual int GraficMode() const = 0;
    virtual void SetGraficMode(int mode) = 0;
    // Writes key=value into section Config of the settings file in use and writes the
    // file back. False, with the message already shown, when there is no settings
    // file to write.
    virtual bool WriteConfigValue(const std::string& key, const std::string& value) = 0;
};

}  // namespace vx
