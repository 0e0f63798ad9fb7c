// The window as a user sees it: readable in every language, nothing covering
// anything at any size, the red status line, sharp on high-resolution screens.
#include <gtest/gtest.h>
#include <QHeaderView>
#include <QScrollBar>

#include <filesystem>
#include <sstream>

#include "app/GuiTestSupport.h"
#include "app/WindowLook.h"
#include "lang/LanguageFile.h"
#include "lang/Translation.h"

namespace vx {
namespace {

std::string Joined(const std::vector<std::string>& lines) {
    std::ostringstream all;
    for (const std::string& line : lines) {
        all << "\n  " << line;
    }
    return all.str();
}

// The example language files, and those that VX_LANGUAGE_FILES names (paths joined
// by ':'), such as the delivered one.
std::vector<std::filesystem::path> LanguageFiles() {
    std::vector<std::filesystem::path> files{VX_APP_FIXTURES "/german.lng",
                                             VX_APP_FIXTURES "/long-words.lng"};
    std::stringstream extra(qEnvironmentVariable("VX_LANGUAGE_FILES").toStdString());
    for (std::string path; std::getline(extra, path, ':');) {
        if (!path.empty()) {
            files.emplace_back(path);
        }
    }
    return files;
}

class WindowLookTest : public ::testing::Test {
  protected:
    WindowLookTest() {
        harness.instrument.SetAbsent(true);
        form.show();
    }
    std::vector<std::string> Problems() {
        QApplication::processEvents();
        return test::LookProblems(form);
    }

    test::WindowHarness harness;
    TForm1& form = harness.form;
};

TEST_F(WindowLookTest, StatusLineIsDrawnInRed) {
    form.FormShow();  // "Device not found"
    for (const char* text : {"", "Initialisation", "BUSY by Calculation", "Busy, please wait",
                             "No connection to Device", "Samples lost in the measuring stream"}) {
        if (*text != '\0') {
            form.ErrorString->setText(text);
        }
        SCOPED_TRACE(form.ErrorString->text().toStdString());
        QApplication::processEvents();
        const QImage drawn = form.ErrorString->grab().toImage();
        int red = 0, dark = 0;
        for (int y = 0; y < drawn.height(); ++y) {
            for (int x = 0; x < drawn.width(); ++x) {
                const QColor c = drawn.pixelColor(x, y);
                red += c.red() > 180 && c.green() < 90 && c.blue() < 90;
                dark += c.red() < 90 && c.green() < 90 && c.blue() < 90;
            }
        }
        EXPECT_GT(red, 50);
        EXPECT_EQ(dark, 0);
    }
}

// Each language of each file at the design size, with the status texts the window
// shows at run time.
TEST_F(WindowLookTest, EveryTextFitsInEveryLanguage) {
    form.FormShow();
    EXPECT_EQ(Joined(Problems()), "") << "English";
    for (const std::filesystem::path& file : LanguageFiles()) {
        ASSERT_TRUE(std::filesystem::is_regular_file(file)) << file;
        const auto languages = IniFile::Load(file);
        ASSERT_TRUE(languages) << file;
        const std::vector<std::string> names = LanguageNames(*languages);
        for (std::size_t index = 1; index < names.size(); ++index) {
            test::WindowHarness translated;
            translated.instrument.SetAbsent(true);
            std::filesystem::copy_file(
                file, translated.temp.Path() / "config/Kelvorn/SoftwareVX212/418config.lng");
            translated.WriteSettingsFile("Lang=" + std::to_string(index) + "\n");
            translated.form.show();
            translated.form.FormShow();
            const std::string language = file.filename().string() + " " + names[index];
            for (const char* status :
                 {"Device not found", "No connection to Device", "BUSY by Calculation",
                  "Busy, please wait", "Instrument does not answer",
                  "Samples lost in the measuring stream", "No samples from the instrument"}) {
                translated.form.ErrorString->setText(QString::fromStdString(TranslateText(
                    status, static_cast<int32_t>(index), translated.folders, translated.messages)));
                QApplication::processEvents();
                EXPECT_EQ(Joined(test::LookProblems(translated.form)), "") << language;
            }
            EXPECT_TRUE(translated.messages.Shown().empty()) << language;
        }
    }
}

// A caption is drawn smaller only as far as it must, never below the floor; one that
// cannot fit even then is reported by its control.
TEST_F(WindowLookTest, CaptionsShrinkToTheirRoomDownToAFloor) {
    form.FormShow();
    form.ButtonExcel->setText("Zwischenablage + Tabell&e");
    form.Label9->setText("Geräteseriennummer:");
    QApplication::processEvents();
    // Both got smaller, and one pixel more would not fit.
    QFont larger = form.ButtonExcel->font();
    EXPECT_LT(larger.pixelSize(), 11);
    larger.setPixelSize(larger.pixelSize() + 1);
    QPushButton wider(form.ButtonExcel->text());
    wider.setFont(larger);
    EXPECT_GT(wider.sizeHint().width(), form.ButtonExcel->width());
    larger = form.Label9->font();
    EXPECT_LT(larger.pixelSize(), 11);
    larger.setPixelSize(larger.pixelSize() + 1);
    EXPECT_GT(QFontMetrics(larger).horizontalAdvance(form.Label9->text()),
              form.SerialDev->x() - form.Label9->x() - 4);
    // The radio group grows with a longer item, in the chart's right column.
    form.RadioGroupGraficMode->Item(2)->setText("Zeitachse mit Verbindungslinien");
    EXPECT_EQ(Joined(Problems()), "");

    form.ClrLast->setText("&DIESE BESCHRIFTUNG IST VIEL ZU LANG FUER IHRE SCHALTFLAECHE");
    const std::vector<std::string> problems = Problems();
    EXPECT_EQ(form.ClrLast->font().pixelSize(), 9);
    ASSERT_EQ(problems.size(), 1u) << Joined(problems);
    EXPECT_NE(problems[0].find("ClrLast \"&DIESE"), std::string::npos) << problems[0];
}

// The minimum size is the designed one; a larger window goes to chart and table.
TEST_F(WindowLookTest, NothingOverlapsAtAnySizeAndChartAndTableTakeTheSpace) {
    form.FormShow();
    EXPECT_EQ(form.minimumSize(), QSize(800, 562));
    for (const QSize size : {form.minimumSize(), QSize(800, 562), QSize(1600, 1000)}) {
        form.resize(size);
        EXPECT_EQ(Joined(Problems()), "") << size.width() << " x " << size.height();
    }
    EXPECT_EQ(form.Chart1->geometry(), QRect(308, 278, 484 + 800, 270 + 438));
    EXPECT_EQ(form.ListView1->geometry(), QRect(210, 97, 582 + 800, 117));
    EXPECT_FALSE(form.ListView1->horizontalScrollBar()->isVisible());
    const QRect group = form.RadioGroupGraficMode->geometry();
    const QPoint groupRight = form.RadioGroupGraficMode->mapTo(&form, QPoint(group.width(), 0));
    EXPECT_GT(groupRight.x(), 1500);  // in the chart's right column
}

// The controls that only settings reveal find their room too.
TEST_F(WindowLookTest, OptionalControlsFitBesideTheOthers) {
    harness.WriteSettingsFile(
        "ShowClrPeakCheckBox=1\nShowKeyBufCheckBox=1\nResolution=1\nshowMeanCompanyTolvik=1\n"
        "showPeakUpFiltered=1\nshowPeakDnFiltered=1\n");
    form.FormShow();
    ASSERT_TRUE(form.CheckBoxHiRes->isVisible());
    ASSERT_TRUE(form.TolvikCompany->isVisible());
    EXPECT_EQ(Joined(Problems()), "");
}

TEST_F(WindowLookTest, ChartShowsItsKeyboardFocus) {
    const auto frameColour = [this] {
        QApplication::processEvents();
        return form.Chart1->grab().toImage().pixelColor(0, form.Chart1->height() / 2);
    };
    const QColor highlight = form.palette().color(QPalette::Highlight);
    EXPECT_NE(frameColour(), highlight);
    form.Chart1->setFocus(Qt::TabFocusReason);
    ASSERT_TRUE(form.Chart1->focusProxy()->hasFocus());
    EXPECT_EQ(frameColour(), highlight);
    form.ButtonZoom->setFocus(Qt::TabFocusReason);
    EXPECT_NE(frameColour(), highlight);
}

// Also run with QT_SCALE_FACTOR=2: pictures are drawn for the screen, not enlarged.
TEST_F(WindowLookTest, HeaderAndIconAreDrawnForThePixelRatio) {
    const qreal ratio = form.devicePixelRatioF();
    if (qEnvironmentVariable("QT_SCALE_FACTOR") == "2") {
        EXPECT_EQ(ratio, 2.0);
    }
    EXPECT_EQ(form.Image3->pixmap().devicePixelRatio(), ratio);
    EXPECT_EQ(form.Image3->pixmap().size(), QSize(798, 59) * ratio);
    for (int side : {16, 32, 64, 128}) {
        const QPixmap icon = form.windowIcon().pixmap(QSize(side, side), ratio);
        EXPECT_EQ(icon.size(), QSize(side, side) * ratio) << side;
    }
}

}  // namespace
}  // namespace vx
