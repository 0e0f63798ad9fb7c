// Start-up in the chosen language and its failure paths.
#include <gtest/gtest.h>

#include "app/GuiTestSupport.h"
#include "base/ProgramError.h"

namespace vx {
namespace {

class WindowStartupTest : public ::testing::Test {
  protected:
    WindowStartupTest() {
        harness.instrument.SetAbsent(true);
        form.show();
    }
    std::filesystem::path LanguageFile() const {
        return harness.temp.Path() / "config/Kelvorn/SoftwareVX212/418config.lng";
    }
    std::string Text(const QWidget* w) const {
        if (auto* label = qobject_cast<const QLabel*>(w)) {
            return label->text().toStdString();
        }
        return static_cast<const QAbstractButton*>(w)->text().toStdString();
    }

    test::WindowHarness harness;
    TForm1& form = harness.form;
};

TEST_F(WindowStartupTest, CaptionsAndStatusTextsComeInTheChosenLanguage) {
    harness.WriteSettingsFile("Lang=1\n");
    test::WriteBytes(LanguageFile(),
                     "[LANGUAGE1]\nLanguage=Deutsch\nMean value=Mittelwert\n"
                     "S&INGLE SHOT=&EINZELMESSUNG\nDevice not found=Gerät nicht gefunden\n"
                     "number=Nummer\nValue=Wert\nBUSY by Calculation=Rechnet\n"
                     "[LANGUAGE2]\nLanguage=Français\n");
    form.FormShow();
    EXPECT_EQ(form.languageIndex, 1);
    EXPECT_EQ(Text(form.CheckBoxMean), "Mittelwert");
    EXPECT_EQ(Text(form.ButtonSingleShot), "&EINZELMESSUNG");
    EXPECT_EQ(Text(form.ErrorString), "Gerät nicht gefunden");
    EXPECT_EQ(form.RadioGroupGraficMode->Item(0)->text().toStdString(), "Nummer");
    EXPECT_EQ(form.Chart().Series(SeriesValue)->Title(), "Wert");
    EXPECT_EQ(form.windowTitle(), "ZEMLOVIEW 418 USB (Version: 1.1.0.48)");  // never translated
    ASSERT_EQ(form.Language->count(), 3);
    EXPECT_EQ(form.Language->itemText(2).toStdString(), "Français");
    EXPECT_EQ(form.Language->currentIndex(), 1);

    // Every caption not yet in the file was added with itself as translation.
    const auto lng = IniFile::Load(LanguageFile());
    ASSERT_TRUE(lng);
    EXPECT_EQ(lng->ReadString("LANGUAGE1", "Maximum", "#"), "Maximum");
    EXPECT_EQ(lng->ReadString("LANGUAGE1", "Zero .eq. 0", "#"), "Zero .eq. 0");
    EXPECT_EQ(lng->ReadString("LANGUAGE1", "Software VX 212", "#"), "#");

    // Start-up's own selections ran no handler: nothing stored, the window stays.
    EXPECT_EQ(harness.StoredValue("SampleRate"), "");
    EXPECT_EQ(harness.StoredValue("Lang"), "1");
    EXPECT_TRUE(form.isVisible());

    form.StopClick();  // a status text set at run time
    EXPECT_EQ(Text(form.ErrorString), "Rechnet");
}

TEST_F(WindowStartupTest, ChoosingALanguageStoresItAndClosesAfterTheMessage) {
    test::WriteBytes(LanguageFile(), "[LANGUAGE1]\nLanguage=Deutsch\n");
    form.FormShow();
    const std::string caption = Text(form.CheckBoxMean);
    form.LanguageChange(1);
    EXPECT_EQ(harness.StoredValue("Lang"), "1");
    ASSERT_EQ(harness.messages.Shown().size(), 1u);
    EXPECT_EQ(harness.messages.Shown()[0],
              (test::ShownMessage{"Language changed, please restart application", "INFORMATION"}));
    EXPECT_EQ(Text(form.CheckBoxMean), caption);
    EXPECT_TRUE(form.isVisible());
    harness.messages.CloseAll();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(WindowStartupTest, WithoutApplicationDataFolderStartupStillEnds) {
    harness.folders.applicationData.reset();
    form.FormShow();
    EXPECT_EQ(harness.messages.Shown(),
              (std::vector<test::ShownMessage>{{"Path to AppData not found", "Error"}}));
    EXPECT_EQ(form.Link().MeasData(), nullptr);  // no device initialisation
    EXPECT_EQ(form.Chart().Series(SeriesValue), nullptr);
    EXPECT_TRUE(form.loadFromFile->isEnabled());  // as designed
    EXPECT_EQ(form.windowTitle(), "ZEMLOVIEW 418 USB (Version: 1.1.0.48)");
    EXPECT_TRUE(harness.settings.startupDone);
    form.ClrAllClick();  // plotting and clearing are safe without series
    form.ButtonZoomClick();
    test::WriteBytes(harness.temp.Path() / "one.txt",
                     "Number\t[Date]\t[Time]\t[Diff] = ms\t[Value] = N\t[Min] = N\t[Max] = N\t"
                     "[MinFilt] = N\t[MaxFilt] = N\t(100ms)\r\n"
                     "1\t08.12.2026\t14:03:27\t250\t 12.35\t 1\t 2\t 3\t 4\r\n");
    harness.dialogs.openAnswers = {(harness.temp.Path() / "one.txt").string()};
    form.loadFromFileClick();  // the table alone is filled
    EXPECT_EQ(form.TableRows().Count(), 2);
    // Its status text looked for a translation, and said again what it missed.
    EXPECT_EQ(harness.messages.Shown(),
              (std::vector<test::ShownMessage>{{"Path to AppData not found", "Error"},
                                               {"Path to AppData not found", "Error"}}));
}

TEST_F(WindowStartupTest, MeanOfMeansDisplayRearrangesTheWindow) {
    harness.WriteSettingsFile("showMeanCompanyTolvik=1\n");
    form.FormShow();
    for (const QWidget* shown : std::initializer_list<const QWidget*>{
             form.Label7, form.TolvikCompany, form.Label13, form.Label14}) {
        EXPECT_TRUE(shown->isVisible()) << shown->objectName().toStdString();
    }
    EXPECT_EQ(form.meas300->font().pixelSize(), 32);
    EXPECT_EQ(form.Chart1->x(), 375);
    EXPECT_EQ(form.Chart1->width(), 400);
}

TEST_F(WindowStartupTest, UnreadableLanguageFileEndsStartupBeforeTheCaption) {
    std::filesystem::create_directories(LanguageFile());  // a folder where the file should be
    form.FormShow();
    EXPECT_EQ(harness.messages.Shown(),
              (std::vector<test::ShownMessage>{{"Error Language File\n" + LanguageFile().string() +
                                                    " cannot be used: it is not a regular file",
                                                "WARNING"}}));
    EXPECT_EQ(form.windowTitle(), "ZEMLOVIEW 418 USB");
    EXPECT_FALSE(harness.settings.startupDone);
    EXPECT_EQ(form.Chart().Series(SeriesValue), nullptr);
}

TEST_F(WindowStartupTest, UncreatableFolderEndsStartupWithItsPath) {
    test::WriteBytes(harness.temp.Path() / "config2/Kelvorn", "");  // a file in the folder's place
    harness.folders.applicationData = harness.temp.Path() / "config2";
    try {
        form.FormShow();
        FAIL() << "start-up went on";
    } catch (const ProgramError& error) {
        EXPECT_EQ(std::string(error.what()),
                  "Cannot create " + (harness.temp.Path() / "config2/Kelvorn").string());
    }
    EXPECT_FALSE(harness.settings.startupDone);
}

}  // namespace
}  // namespace vx
