#pragma once

#include "app/Folders.h"
#include "app/MessageSink.h"
#include "app/Settings.h"
#include "app/WindowSettings.h"

namespace vx {

// The settings in memory together with the way to write one of them at the moment
// of change: what the window's handlers work with.
class SettingsStore final : public WindowSettings {
  public:
    SettingsStore(Settings& settings, const Folders& folders, MessageSink& messages)
        : values(settings), folders(folders), messages(messages) {}

    bool StartupDone() const override { return values.startupDone; }
    int GraficMode() const override { return values.graficMode; }
    void SetGraficMode(int mode) override { values.graficMode = mode; }
    bool WriteConfigValue(const std::string& key, const std::string& value) override;
    // Writes several keys in one go; false, with nothing written, when there is no
    // settings file to write.
    bool Write(const std::function<void(IniFile&)>& writeKeys);

    Settings& values;
    const Folders& folders;
    MessageSink& messages;
};

}  // namespace vx
