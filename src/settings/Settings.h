#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "base/Folders.h"
#include "base/IniFile.h"
#include "base/LocaleFormat.h"
#include "base/MessageSink.h"

namespace vx {

inline constexpr std::string_view kConfigSection = "Config";

// The settings as the rest of the program reads them, named by their keys in
// section Config. The initial values are those that apply when LoadSettings never
// runs (no application-data folder): the keys' defaults, except 0 for SampleRate,
// the two key timings and an empty DecimalSeparator; TimerClrPeakMs keeps the
// design interval of its timer.
struct Settings {
    int32_t SampleRate = 0;
    int32_t Resolution = 0;
    bool useSelKeySingleShot = false;
    std::string extProgramm;
    std::string extParameter;
    int32_t graficMode = 0;
    bool showPeakUp = true;
    bool showPeakDn = true;
    bool showPeakUpFiltered = false;
    bool showPeakDnFiltered = false;
    bool showMean = true;
    bool showMeanCompanyTolvik = false;
    bool ClrPeakAfterSingleShot = false;
    int32_t TimerClrPeakMs = 250;
    bool ShowClrPeakCheckBox = false;
    // The first character of the setting (one UTF-8 character); empty when the
    // setting is empty.
    std::string DecimalSeparator;
    bool WriteToKeyBuffer = false;
    bool ShowKeyBufCheckBox = false;
    int32_t KeyDebounceTimeMs = 0;
    int32_t KeyBufDelayTimeMs = 0;
    // Ask before data sets that have not been saved are discarded (edited by hand).
    bool ConfirmDiscard = true;
    // Hand-edited: how values are typed, "auto" (by the session type), "x11" or "portal".
    std::string KeyboardOutput = "auto";
    // The desktop portal's token that restores the user's consent to typing.
    std::string PortalRestoreToken;
    // "VVVV:PPPP", the instrument's vendor and product id when it offers no OS 2.0
    // descriptors; edited by hand, as written (the device link parses it).
    std::string UsbId;

    // Settings come from and go to the working directory's settings file: the program
    // was not started in its install folder. Decided once by LoadSettings.
    bool configInWorkingDir = false;
    // Set as the last step of the start-up sequence.
    bool startupDone = false;
    LocaleFormat localeFormat;
};

// Makes sure the per-user folder exists; only when it has to be created are the
// delivered settings and language files copied into it from the install folder.
// False after "Path to AppData not found" / "Error" when there is no
// application-data folder; throws ProgramError "Cannot create " + path when a
// folder cannot be created.
bool PrepareSettingsFolder(const Folders& folders, MessageSink& messages);

// Takes the locale formats, decides configInWorkingDir and reads every key from
// the settings file in use, each with its default. Writes nothing.
void LoadSettings(Settings& settings, const Folders& folders, MessageSink& messages,
                  LocaleFormat localeFormat);

// The settings file in use, derived anew at each call; nullopt after "Path to
// AppData not found" / "Error" when the per-user folder cannot be located.
std::optional<std::filesystem::path> SettingsFilePath(const Settings& settings,
                                                      const Folders& folders,
                                                      MessageSink& messages);

// How a handler stores a change at the moment it makes it: opens the settings file
// in use, lets writeKeys set its key(s) (section kConfigSection) and writes the
// file back. False, with nothing written, when SettingsFilePath finds no file;
// throws ProgramError when the file cannot be read or written.
bool WriteSettings(const Settings& settings, const Folders& folders, MessageSink& messages,
                   const std::function<void(IniFile&)>& writeKeys);

}  // namespace vx
