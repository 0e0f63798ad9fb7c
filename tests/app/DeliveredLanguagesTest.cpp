// The delivered language file over the real window: every text the window looks up has
// an entry in every language, and captions shown together keep distinct accelerator
// letters.
#include <gtest/gtest.h>

#include <QKeySequence>

#include <map>
#include <set>
#include <sstream>

#include "app/GuiTestSupport.h"

namespace vx {
namespace {

const std::filesystem::path kDeliveredFile = VX_DELIVERED_LANGUAGE_FILE;
const std::vector<std::string> kLanguageNames = {"English", "Deutsch", "Français", "Español",
                                                 "Italiano"};

// Accelerator letter -> the controls whose visible captions carry it.
using Accelerators = std::map<QString, std::vector<std::string>>;

struct WindowRun {
    std::string languageFileAfter;
    Accelerators accelerators;
    std::string singleShotCaption;
};

// Runs the instrument's start-up sequence and the poll, then the instrument reports the
// loss of its connection to the next poll.
void LoseConnection(test::WindowHarness& harness) {
    using namespace std::chrono_literals;
    TForm1& form = harness.form;
    TMeasData* meas = form.Link().MeasData();
    ASSERT_NE(meas, nullptr);
    for (int tick = 0; tick < 200 && !meas->IsInitDone(); ++tick) {
        harness.timers.Tick();
        ASSERT_TRUE(harness.instrument.WaitForIdleReader(10s));
        QCoreApplication::sendPostedEvents();  // the decoded replies, handed over
    }
    ASSERT_TRUE(meas->IsInitDone());
    form.TimerInit2Timer();
    harness.instrument.LoseConnection();
    harness.instrument.AdvanceClock(100ms);
    const auto deadline = std::chrono::steady_clock::now() + 10s;
    while (!meas->IsConnectionLost()) {
        ASSERT_LT(std::chrono::steady_clock::now(), deadline);
        form.TimerGetMeasTimer();
        std::this_thread::yield();
    }
}

// The instrument's start-up waits for a reply that does not come until the status
// line says so, then completes; the stream then brings short packets, and then none.
void ShowInstrumentFaults(test::WindowHarness& harness) {
    using namespace std::chrono_literals;
    TForm1& form = harness.form;
    const auto tick = [&] {
        harness.timers.Tick();
        ASSERT_TRUE(harness.instrument.WaitForIdleReader(10s));
        QCoreApplication::sendPostedEvents();
        form.TimerInit2Timer();
    };
    for (int k = 0; k < TForm1::kStartupPatienceTicks; ++k) {
        tick();
    }
    harness.instrument.SetReplyFault("#Z16", SimulatedInstrument::ReplyFault::None);
    for (int k = 0; k < 200 && !form.TimerGetMeas->isActive(); ++k) {
        tick();
    }
    ASSERT_TRUE(form.TimerGetMeas->isActive());
    harness.Poll(100);
    harness.instrument.SetPacketBytes(16);
    harness.PollShortPackets(100, 5);
    harness.instrument.SetPacketBytes(0);
    for (int k = 0; k < StreamWatch::kSilentPolls; ++k) {
        harness.PollShortPackets(100, 0);
    }
    harness.instrument.SetPacketBytes(32);
}

// Starts the window in language `index` over the delivered file, with every optional
// control shown, then puts each status text through the lookup: the load's, the end
// of an automatic run's and, with the instrument, those of its faults and of the lost
// connection.
WindowRun StartInLanguage(int index, bool instrumentPresent) {
    test::WindowHarness harness;
    harness.instrument.SetAbsent(!instrumentPresent);
    harness.instrument.SetReplyFault("#Z16", SimulatedInstrument::ReplyFault::Unanswered);
    harness.WriteSettingsFile("Lang=" + std::to_string(index) +
                              "\nShowClrPeakCheckBox=1\nShowKeyBufCheckBox=1\nResolution=1\n"
                              "showMeanCompanyTolvik=1\n");
    const auto languageFile = harness.temp.Path() / "config/Kelvorn/SoftwareVX212/418config.lng";
    test::WriteBytes(languageFile, test::ReadBytes(kDeliveredFile));
    TForm1& form = harness.form;
    form.show();
    form.FormShow();

    std::vector<std::string> listed;
    for (int i = 0; i < form.Language->count(); ++i) {
        listed.push_back(form.Language->itemText(i).toStdString());
    }
    EXPECT_EQ(listed, kLanguageNames);

    form.loadFromFileClick();  // the dialog is cancelled
    form.StopClick();
    if (instrumentPresent) {
        ShowInstrumentFaults(harness);
        LoseConnection(harness);
    }

    WindowRun run;
    for (QAbstractButton* button : form.findChildren<QAbstractButton*>()) {
        const QString key = QKeySequence::mnemonic(button->text()).toString();
        if (button->isVisibleTo(&form) && !key.isEmpty()) {
            run.accelerators[key].push_back(button->objectName().toStdString());
        }
    }
    run.singleShotCaption = form.ButtonSingleShot->text().toStdString();
    harness.Close();
    run.languageFileAfter = test::ReadBytes(languageFile);
    return run;
}

// The lines of an INI text, each prefixed with its section: "[LANGUAGE1]Value=Wert".
std::set<std::string> LinesBySection(const std::string& text) {
    std::set<std::string> lines;
    std::istringstream in(text);
    std::string section;
    for (std::string line; std::getline(in, line);) {
        if (line.starts_with('[')) {
            section = line;
        } else if (!line.empty()) {
            lines.insert(section + line);
        }
    }
    return lines;
}

// The entries of `after` that `before` does not have.
std::vector<std::string> AddedLines(const std::string& before, const std::string& after) {
    const std::set<std::string> known = LinesBySection(before);
    std::vector<std::string> added;
    for (const std::string& line : LinesBySection(after)) {
        if (!known.count(line)) {
            added.push_back(line);
        }
    }
    return added;
}

// A text the file lacks would be appended to it by the lookup.
TEST(DeliveredLanguagesTest, EveryTextTheWindowLooksUpHasAnEntryInEveryLanguage) {
    const std::string delivered = test::ReadBytes(kDeliveredFile);
    for (int index = 1; index < static_cast<int>(kLanguageNames.size()); ++index) {
        for (const bool instrumentPresent : {false, true}) {
            SCOPED_TRACE(kLanguageNames[index] + (instrumentPresent ? " with" : " without") +
                         " instrument");
            const WindowRun run = StartInLanguage(index, instrumentPresent);
            EXPECT_NE(run.singleShotCaption, "S&INGLE SHOT");  // the language was applied
            EXPECT_EQ(AddedLines(delivered, run.languageFileAfter), std::vector<std::string>{});
        }
    }
}

TEST(DeliveredLanguagesTest, CaptionsShownTogetherHaveDistinctAcceleratorLetters) {
    const Accelerators english = StartInLanguage(0, false).accelerators;
    std::vector<std::string> englishControls;
    for (const auto& [key, controls] : english) {
        englishControls.insert(englishControls.end(), controls.begin(), controls.end());
    }
    ASSERT_EQ(englishControls.size(), 11u);
    // The designed English captions share one letter, E; language files are keyed by
    // those captions, so they stay as designed.
    EXPECT_EQ(english.at("Alt+E"), (std::vector<std::string>{"Zero", "ButtonExcel"}));

    for (int index = 1; index < static_cast<int>(kLanguageNames.size()); ++index) {
        SCOPED_TRACE(kLanguageNames[index]);
        std::vector<std::string> translatedControls;
        for (const auto& [key, controls] : StartInLanguage(index, false).accelerators) {
            EXPECT_EQ(controls.size(), 1u) << key.toStdString() << " is shared";
            translatedControls.insert(translatedControls.end(), controls.begin(), controls.end());
        }
        std::sort(translatedControls.begin(), translatedControls.end());
        std::sort(englishControls.begin(), englishControls.end());
        EXPECT_EQ(translatedControls, englishControls);  // no accelerator dropped
    }
}

}  // namespace
}  // namespace vx
