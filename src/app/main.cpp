// softwarevx212: the program on the instrument's USB link.
#include "app/ProgramEntry.h"
#include "device/LibusbBackend.h"
#include "settings/Settings.h"

namespace {

class SilentMessages final : public vx::MessageSink {
  public:
    void Show(const std::string&, const std::string&, vx::MessageIcon,
              std::function<void()>) override {}
};

// The hand-edited UsbId of the settings file in use. Read before the window exists;
// any problem with the file is reported later by the window's own start-up.
std::optional<vx::UsbId> ReadUsbIdSetting() {
    vx::SystemFolders folders;
    SilentMessages silent;
    vx::Settings settings;
    vx::LoadSettings(settings, folders, silent, vx::LocaleFormat{});
    const auto path = vx::SettingsFilePath(settings, folders, silent);
    const auto file = path ? vx::IniFile::Load(*path) : std::nullopt;
    if (!file) {
        return std::nullopt;
    }
    return vx::ParseUsbId(file->ReadString(vx::kConfigSection, "UsbId", ""));
}

}  // namespace

int main(int argc, char** argv) {
    vx::LibusbBackend usb(ReadUsbIdSetting());
    return vx::RunProgram(argc, argv, usb);
}
