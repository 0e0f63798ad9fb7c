#include <gtest/gtest.h>
#include <QAbstractButton>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QTest>

#include <string>

#include "app/GuiTestSupport.h"
#include "app/TForm1.h"

namespace vx {
namespace {

class WindowDesignTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { test::EnsureApplication(); }
    void SetUp() override { form.show(); }

    QWidget* Control(const char* name) const { return form.findChild<QWidget*>(name); }

    test::WindowHarness harness;
    TForm1& form = harness.form;
};

QString Caption(const QWidget* control) {
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        return label->text();
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(control)) {
        return button->text();
    }
    if (const auto* group = qobject_cast<const QGroupBox*>(control)) {
        return group->title();
    }
    if (const auto* combo = qobject_cast<const QComboBox*>(control)) {
        return combo->placeholderText();
    }
    return {};
}

struct Designed {
    const char* name;
    QRect bounds;  // width 0: the width follows the text
    const char* caption;
    bool visible;
};

// A sample of each kind of control, the hidden ones and those with shared letters.
const Designed kDesigned[] = {
    {"Label10", {282, 58, 0, 0}, "Software VX 212", true},  // set at creation
    {"ErrorString", {536, 62, 0, 0}, "Initialisation", true},
    {"Label9", {8, 122, 0, 0}, "Serial No. Device:", true},
    {"State", {120, 197, 0, 0}, "-", true},
    {"CheckBPeak1msUp", {8, 285, 200, 17}, "Maximum", true},
    {"pkMaxAvr", {8, 357, 0, 0}, "-", false},
    {"pkMinAvr", {8, 475, 0, 0}, "-", true},
    {"meas300", {8, 410, 0, 0}, "-", true},
    {"CheckBPeak1msLo", {8, 515, 200, 17}, "Minimum", true},
    {"LabelOverflow", {276, 379, 0, 0}, "!", false},
    {"Label13", {190, 341, 0, 0}, "Numbers", false},
    {"TolvikCompany", {190, 410, 0, 0}, "---", false},
    {"clrPeak", {10, 222, 100, 22}, "Clr &Peak", true},
    {"Zero", {10, 250, 100, 22}, "Z&ero", true},
    {"ClrAll", {116, 250, 129, 22}, "CL&R ALL MEASUREMENTS", true},
    {"ButtonSingleShot", {250, 222, 120, 50}, "S&INGLE SHOT", true},
    {"Stop", {375, 250, 140, 22}, "ST&OP AUTO", true},
    {"ButtonExcel", {645, 222, 147, 22}, "Clipboard + &Excel", true},
    {"ButtonZoom", {645, 250, 147, 22}, "&ZOOM ALL", true},
    {"Language", {8, 62, 91, 19}, "Language", true},
    {"ComboBoxSampleRate", {112, 62, 154, 21}, "---", true},
    {"CheckBoxHiRes", {8, 82, 64, 17}, "Hi. Res.", false},
    {"CheckBoxToKeyBuf", {8, 106, 196, 17}, "Mean to key buffer", false},
    {"CheckBoxAutoClrPeak", {251, 255, 118, 17}, "Clear peak auto", false},
    {"RadioGroupGraficMode", {}, "grafic mode", true},  // placed by the chart
    {"ListView1", {210, 97, 582, 117}, "", true},
    {"Chart1", {308, 278, 484, 270}, "", true},
    {"Image3", {0, -3, 798, 59}, "", true},
    {"Init_USB_Device", {}, "Init Device", false},
    {"interface_off", {}, "remove device", false},
    {"unZero", {}, "Zero = 0", false},
};

TEST_F(WindowDesignTest, ControlsStandWhereDesignedWithTheirCaptions) {
    EXPECT_EQ(form.windowTitle(), "ZEMLOVIEW 418 USB");
    EXPECT_EQ(form.size(), QSize(800, 562));
    EXPECT_FALSE(form.windowIcon().isNull());
    for (const Designed& d : kDesigned) {
        SCOPED_TRACE(d.name);
        const QWidget* control = Control(d.name);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(Caption(control), d.caption);
        EXPECT_EQ(control->isVisible(), d.visible);
        if (d.bounds.isNull()) {
            continue;
        }
        EXPECT_EQ(control->pos(), d.bounds.topLeft());
        if (d.bounds.width() > 0) {
            EXPECT_EQ(control->size(), d.bounds.size());
        }
    }
}

TEST_F(WindowDesignTest, FontsAndLists) {
    EXPECT_EQ(form.font().family(), "DejaVu Sans");
    EXPECT_EQ(form.font().pixelSize(), 11);
    const struct {
        const QWidget* control;
        const char* family;
        int pixels;
        bool bold;
    } fonts[] = {{form.meas300, "DejaVu Sans Mono", 48, true},
                 {form.pkMin, "DejaVu Sans Mono", 32, true},
                 {form.Label14, "DejaVu Sans Mono", 32, true},
                 {form.Label10, "DejaVu Sans", 27, false},
                 {form.ErrorString, "DejaVu Sans", 19, false},
                 {form.LabelOverflow, "DejaVu Sans", 96, false},
                 {form.ComboBoxSampleRate, "DejaVu Sans Mono", 9, false},
                 {form.Language, "DejaVu Sans", 9, false},
                 {form.Label2, "DejaVu Sans", 11, false}};
    for (const auto& f : fonts) {
        SCOPED_TRACE(f.control->objectName().toStdString());
        EXPECT_EQ(f.control->font().family(), f.family);
        EXPECT_EQ(f.control->font().pixelSize(), f.pixels);
        EXPECT_EQ(f.control->font().bold(), f.bold);
    }
    EXPECT_EQ(form.ErrorString->palette().color(QPalette::WindowText), QColor(Qt::red));

    ASSERT_EQ(form.ComboBoxSampleRate->count(), 13);
    EXPECT_EQ(form.ComboBoxSampleRate->currentIndex(), -1);
    EXPECT_EQ(form.ComboBoxSampleRate->itemText(0), "  1 ms | 1000 Hz");
    EXPECT_EQ(form.ComboBoxSampleRate->itemText(6), "100 ms |   10 Hz");
    EXPECT_EQ(form.ComboBoxSampleRate->itemText(12), "  10 s |  0,1 Hz");
    EXPECT_EQ(form.RadioGroupGraficMode->ItemIndex(), 0);
    EXPECT_EQ(form.RadioGroupGraficMode->Item(2)->text(), "time with lines");

    for (const QTimer* timer :
         {form.TimerInit2, form.TimerGetMeas, form.TimerZeroSingle, form.TimerSaveOff}) {
        EXPECT_FALSE(timer->isActive());
    }
    EXPECT_EQ(form.TimerInit2->interval(), 10);
    EXPECT_EQ(form.TimerGetMeas->interval(), 100);
    EXPECT_EQ(form.TimerZeroSingle->interval(), 250);
    EXPECT_EQ(form.TimerSaveOff->interval(), 200);
}

TEST_F(WindowDesignTest, TabVisitsTheUsableControlsInDesignOrder) {
    form.ApplyDeviceReadyState();
    form.Stop->setEnabled(true);
    form.saveToFile->setEnabled(true);
    form.ButtonExcel->setEnabled(true);
    const std::vector<QWidget*> expected{form.clrPeak,
                                         form.Zero,
                                         form.ComboBoxSampleRate,
                                         form.ListView1,
                                         form.ButtonSingleShot,
                                         form.ClrAll,
                                         form.ClrLast,
                                         form.Start,
                                         form.Stop,
                                         form.saveToFile,
                                         form.Chart1->focusProxy(),
                                         form.loadFromFile,
                                         form.ButtonZoom,
                                         form.Language,
                                         form.CheckBPeak1msUp,
                                         form.CheckBPeakfilteredUp,
                                         form.CheckBoxMean,
                                         form.CheckBPeakfilteredDn,
                                         form.CheckBPeak1msLo,
                                         form.RadioGroupGraficMode->Item(0),
                                         form.ButtonExcel};
    // Tab from each control, as the user presses it.
    expected.front()->setFocus(Qt::TabFocusReason);
    std::vector<QWidget*> visited;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        visited.push_back(form.focusWidget());
        QTest::keyClick(form.focusWidget(), Qt::Key_Tab);
    }
    EXPECT_EQ(visited, expected);
}

// The radio group stands in the chart's right column, where it was designed (right
// aligned with the legend), and never smaller than designed.
TEST_F(WindowDesignTest, ChartTableAndRadioGroupFollowTheEdges) {
    const auto groupCorner = [this] {
        QApplication::processEvents();
        const QRect group(form.RadioGroupGraficMode->mapTo(&form, QPoint(0, 0)),
                          form.RadioGroupGraficMode->size());
        return form.Chart1->geometry().bottomRight() - group.bottomRight();
    };
    EXPECT_GE(form.RadioGroupGraficMode->width(), 111);
    EXPECT_GE(form.RadioGroupGraficMode->height(), 63);
    const QPoint designed = groupCorner();
    EXPECT_EQ(designed.y(), 547 - (395 + 63 - 1));
    EXPECT_LE(designed.x(), 791 - (667 + 111 - 1));

    form.resize(1000, 700);
    EXPECT_EQ(form.Chart1->geometry(), QRect(308, 278, 684, 408));
    EXPECT_EQ(groupCorner(), designed);
    EXPECT_EQ(form.ListView1->geometry(), QRect(210, 97, 782, 117));

    // Moved by code, the chart keeps its new distance to the edges.
    form.Chart1->setGeometry(375, 278, 400, 408);
    form.resize(900, 650);
    EXPECT_EQ(form.Chart1->geometry(), QRect(375, 278, 300, 358));
    EXPECT_EQ(groupCorner(), designed);
}

TEST_F(WindowDesignTest, LiveValueLabelsGrowWithTheirText) {
    const int narrow = form.meas300->width();
    form.meas300->setText(" 1234,567 N");
    QApplication::processEvents();
    EXPECT_GT(form.meas300->width(), narrow * 5);
    EXPECT_EQ(form.meas300->width(), form.meas300->sizeHint().width());
}

// The designed face is narrower than DejaVu Sans: a caption that does not fit its
// button is drawn smaller, also after it was changed.
TEST_F(WindowDesignTest, CaptionsFitTheirButtons) {
    form.ClrLast->setText("&EFFACER LA DERNIERE");
    QApplication::processEvents();
    form.CheckBoxHiRes->show();
    for (const QAbstractButton* button : form.findChildren<QAbstractButton*>()) {
        SCOPED_TRACE(button->objectName().toStdString());
        if (button->isVisible()) {
            EXPECT_LE(button->sizeHint().width(), button->width());
        }
    }
    EXPECT_EQ(form.ButtonZoom->font().pixelSize(), 11);
    EXPECT_LT(form.ClrLast->font().pixelSize(), 11);
}

TEST_F(WindowDesignTest, HeaderPicturesHaveTheDesignedSize) {
    for (const QLabel* image : {form.Image3, form.Image1}) {
        EXPECT_EQ(image->pixmap().size(), QSize(798, 59));
    }
    EXPECT_NE(form.Image1->pixmap().toImage(), form.Image3->pixmap().toImage());
}

}  // namespace
}  // namespace vx
