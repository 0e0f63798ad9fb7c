#include "settings/SettingsStore.h"

namespace vx {

bool SettingsStore::WriteConfigValue(const std::string& key, const std::string& value) {
    return Write([&](IniFile& ini) { ini.WriteString(kConfigSection, key, value); });
}

bool SettingsStore::Write(const std::function<void(IniFile&)>& writeKeys) {
    return WriteSettings(values, folders, messages, writeKeys);
}

}  // namespace vx
