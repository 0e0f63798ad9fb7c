#include "settings/Settings.h"

#include <algorithm>
#include <cstdint>
#include <system_error>

#include "base/ProgramError.h"
#include "base/TextEncoding.h"

namespace vx {

namespace {

constexpr int32_t kDefaultSampleRate = 6;
constexpr int32_t kLastSampleRate = 12;
constexpr int32_t kLastGraficMode = 2;

void EnsureFolder(const std::filesystem::path& folder) {
    std::error_code error;
    if (std::filesystem::is_directory(folder, error)) {
        return;
    }
    // The application-data folder itself may not exist yet on a fresh account
    // (~/.config is made by the first program that needs it), so it is made too.
    std::filesystem::create_directories(folder, error);
    if (!std::filesystem::is_directory(folder, error)) {
        throw ProgramError("Cannot create " + folder.string());
    }
}

// Values outside a setting's range would select nothing, or stall the program for
// a negative time: they read as the default.
int32_t ReadInRange(const IniFile& file, std::string_view key, int32_t defaultValue, int32_t lowest,
                    int32_t highest) {
    const int32_t value = file.ReadInteger(kConfigSection, key, defaultValue);
    return (value < lowest || value > highest) ? defaultValue : value;
}

// The longest sensible value of each timing: a pause of a second between typed
// characters, ten seconds between two key presses, a minute before the peaks clear.
// Larger values would freeze the typing or disable the key for days.
constexpr int32_t kLongestTypingPauseMs = 1000;
constexpr int32_t kLongestKeyDebounceMs = 10000;
constexpr int32_t kLongestClrPeakDelayMs = 60000;

// One whole UTF-8 character, so that a separator such as "٫" is not cut in half.
std::string FirstCharacter(std::string_view text) {
    if (text.empty()) {
        return {};
    }
    char32_t c = 0;
    return std::string(text.substr(0, std::max<size_t>(DecodeUtf8(text, 0, c), 1)));
}

void ReadKeys(Settings& settings, const IniFile& file) {
    const std::string_view c = kConfigSection;
    settings.SampleRate = ReadInRange(file, "SampleRate", kDefaultSampleRate, 0, kLastSampleRate);
    settings.Resolution = file.ReadInteger(c, "Resolution", 0);
    settings.useSelKeySingleShot = file.ReadBool(c, "useSelKeySingleShot", false);
    settings.extProgramm = file.ReadString(c, "extProgramm", "");
    settings.extParameter = file.ReadString(c, "extParameter", "");
    settings.graficMode = ReadInRange(file, "graficMode", 0, 0, kLastGraficMode);
    settings.showPeakUp = file.ReadBool(c, "showPeakUp", true);
    settings.showPeakDn = file.ReadBool(c, "showPeakDn", true);
    settings.showPeakUpFiltered = file.ReadBool(c, "showPeakUpFiltered", false);
    settings.showPeakDnFiltered = file.ReadBool(c, "showPeakDnFiltered", false);
    settings.showMean = file.ReadBool(c, "showMean", true);
    settings.showMeanCompanyTolvik = file.ReadBool(c, "showMeanCompanyTolvik", false);
    settings.ClrPeakAfterSingleShot = file.ReadBool(c, "ClrPeakAfterSingleShot", false);
    settings.TimerClrPeakMs = ReadInRange(file, "TimerClrPeakMs", 250, 0, kLongestClrPeakDelayMs);
    settings.ShowClrPeakCheckBox = file.ReadBool(c, "ShowClrPeakCheckBox", false);
    settings.DecimalSeparator = FirstCharacter(file.ReadString(
        c, "DecimalSeparator", FirstCharacter(settings.localeFormat.decimalSeparator)));
    settings.WriteToKeyBuffer = file.ReadBool(c, "WriteToKeyBuffer", false);
    settings.ShowKeyBufCheckBox = file.ReadBool(c, "ShowKeyBufCheckBox", false);
    settings.KeyDebounceTimeMs =
        ReadInRange(file, "KeyDebounceTimeMs", 70, 0, kLongestKeyDebounceMs);
    settings.KeyBufDelayTimeMs =
        ReadInRange(file, "KeyBufDelayTimeMs", 10, 0, kLongestTypingPauseMs);
    settings.ConfirmDiscard = file.ReadBool(c, "ConfirmDiscard", true);
    settings.KeyboardOutput = file.ReadString(c, "KeyboardOutput", "auto");
    settings.PortalRestoreToken = file.ReadString(c, "PortalRestoreToken", "");
    settings.UsbId = file.ReadString(c, "UsbId", "");
}

}  // namespace

bool PrepareSettingsFolder(const Folders& folders, MessageSink& messages) {
    const auto perUser = PerUserFolder(folders, messages);
    if (!perUser) {
        return false;
    }
    EnsureFolder(perUser->parent_path());
    std::error_code error;
    if (std::filesystem::is_directory(*perUser, error)) {
        return true;
    }
    EnsureFolder(*perUser);
    // Only a newly made folder gets the delivered files, so that files the user has
    // deleted since do not come back.
    if (const auto install = InstallFolder(folders)) {
        for (const char* name : {kSettingsFileName, kLanguageFileName}) {
            std::filesystem::copy_file(*install / name, *perUser / name,
                                       std::filesystem::copy_options::overwrite_existing, error);
        }
    }
    return true;
}

void LoadSettings(Settings& settings, const Folders& folders, MessageSink& messages,
                  LocaleFormat localeFormat) {
    settings.localeFormat = std::move(localeFormat);
    // Exact, case-sensitive texts: any other spelling of the install folder counts
    // as another working directory.
    const auto install = InstallFolder(folders);
    if (!install || folders.WorkingDirectory() != install->string()) {
        settings.configInWorkingDir = true;
    }
    std::optional<IniFile> file;
    if (const auto path = SettingsFilePath(settings, folders, messages)) {
        file = IniFile::Load(*path);
    }
    // A file that cannot be found or read gives every default.
    ReadKeys(settings, file.value_or(IniFile()));
}

std::optional<std::filesystem::path> SettingsFilePath(const Settings& settings,
                                                      const Folders& folders,
                                                      MessageSink& messages) {
    if (settings.configInWorkingDir) {
        return std::filesystem::path(folders.WorkingDirectory()) / kSettingsFileName;
    }
    const auto perUser = PerUserFolder(folders, messages);
    if (!perUser) {
        return std::nullopt;
    }
    return *perUser / kSettingsFileName;
}

bool WriteSettings(const Settings& settings, const Folders& folders, MessageSink& messages,
                   const std::function<void(IniFile&)>& writeKeys) {
    const auto path = SettingsFilePath(settings, folders, messages);
    if (!path) {
        return false;
    }
    // Writing back a file that could not be read would lose every other setting.
    std::string whyNot;
    std::optional<IniFile> file = IniFile::Load(*path, &whyNot);
    if (!file) {
        throw ProgramError("Cannot open file " + path->string() + ": " + whyNot);
    }
    writeKeys(*file);
    file->UpdateFile();
    return true;
}

}  // namespace vx
