// Any bytes as the settings file: loaded, one setting stored, loaded again.
// Properties: every setting reads within its range; storing a setting writes exactly
// the file as read with that key set (every other key stays), and changes no other
// setting.
#include <string>
#include <tuple>

#include "FuzzSupport.h"
#include "base/ProgramError.h"
#include "settings/Settings.h"
#include "support/FixedFolders.h"
#include "support/TempFolder.h"

namespace {

using vx::fuzz::Check;

// Every setting LoadSettings reads, but SampleRate.
auto OtherSettings(const vx::Settings& s) {
    return std::tie(s.Resolution, s.useSelKeySingleShot, s.extProgramm, s.extParameter,
                    s.graficMode, s.showPeakUp, s.showPeakDn, s.showPeakUpFiltered,
                    s.showPeakDnFiltered, s.showMean, s.showMeanCompanyTolvik,
                    s.ClrPeakAfterSingleShot, s.TimerClrPeakMs, s.ShowClrPeakCheckBox,
                    s.DecimalSeparator, s.WriteToKeyBuffer, s.ShowKeyBufCheckBox,
                    s.KeyDebounceTimeMs, s.KeyBufDelayTimeMs, s.ConfirmDiscard);
}

void CheckRanges(const vx::Settings& s) {
    Check(s.SampleRate >= 0 && s.SampleRate <= 12, "SampleRate in range");
    Check(s.graficMode >= 0 && s.graficMode <= 2, "graficMode in range");
    Check(s.TimerClrPeakMs >= 0 && s.KeyDebounceTimeMs >= 0 && s.KeyBufDelayTimeMs >= 0,
          "no negative time");
    Check(s.DecimalSeparator.size() <= 4, "the separator is one character");
}

struct Scratch {
    vx::test::TempFolder root;
    vx::test::FixedFolders folders =
        vx::test::FoldersUnder(root.Path(), (root.Path() / "work").string());
    std::filesystem::path copy = root.Path() / "copy.ini";
    Scratch() { std::filesystem::create_directories(root.Path() / "work"); }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static Scratch scratch;
    vx::fuzz::CountingMessages messages;
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const vx::LocaleFormat locale{"%d.%m.%Y", "%H:%M:%S", ",", nullptr};

    vx::Settings settings;
    settings.configInWorkingDir = true;
    const std::filesystem::path path = *vx::SettingsFilePath(settings, scratch.folders, messages);
    vx::test::WriteBytes(path, input);
    vx::LoadSettings(settings, scratch.folders, messages, locale);
    CheckRanges(settings);
    if (!vx::IniFile::Load(path)) {
        return 0;  // unreadable: never written back
    }

    // A rate other than the one read, so that the file must change.
    const int32_t rate = settings.SampleRate == 3 ? 4 : 3;
    const auto store = [&](vx::IniFile& file) { file.WriteInteger("Config", "SampleRate", rate); };
    try {
        vx::WriteSettings(settings, scratch.folders, messages, store);
    } catch (const vx::ProgramError& e) {
        vx::fuzz::Fail("a read settings file can be written back", e.what());
    }

    vx::test::WriteBytes(scratch.copy, input);
    std::optional<vx::IniFile> expected = vx::IniFile::Load(scratch.copy);
    store(*expected);
    expected->UpdateFile();
    Check(vx::test::ReadBytes(path) == vx::test::ReadBytes(scratch.copy),
          "storing a setting writes the file as read with that key set");

    vx::Settings reread;
    vx::LoadSettings(reread, scratch.folders, messages, locale);
    Check(reread.SampleRate == rate, "the stored setting reads back");
    Check(OtherSettings(reread) == OtherSettings(settings), "storing a setting changes no other");
    return 0;
}
