#pragma once

#include "base/Folders.h"
#include "base/MessageSink.h"
#include "settings/Settings.h"

namespace vx {

// The settings in memory together with the way to write one of them at the moment
// of change: what the window's handlers work with.
class SettingsStore {
  public:
    SettingsStore(Settings& settings, const Folders& folders, MessageSink& messages)
        : values(settings), folders(folders), messages(messages) {}

    // Writes key=value into section Config of the settings file in use; false, with
    // the message shown, when there is no settings file to write.
    bool WriteConfigValue(const std::string& key, const std::string& value);
    // Writes several keys in one go; false, with nothing written, when there is no
    // settings file to write.
    bool Write(const std::function<void(IniFile&)>& writeKeys);

    Settings& values;
    const Folders& folders;
    MessageSink& messages;
};

}  // namespace vx
