// The window's start-up: settings, control states, device, chart, caption.
#include "app/TForm1.h"
#include "lang/LanguageFile.h"
#include "lang/LanguageIndex.h"

namespace vx {

std::string TForm1::GetVersionText() {
    return VX_VERSION_TEXT;
}

void TForm1::FormCreate() {
    Label10->setText("Software VX 212");
    Image1->hide();
}

void TForm1::FormShow() {
    Settings& s = store_.values;
    if (PrepareSettingsFolder(store_.folders, services_.messages)) {
        LoadSettings(s, store_.folders, services_.messages, services_.localeFormat());
        FitTableColumns();  // dates and times in the locale's formats
        TimerZeroSingle->setInterval(s.TimerClrPeakMs);
        if (s.ClrPeakAfterSingleShot) {
            CheckBoxAutoClrPeak->setChecked(true);
        }
        CheckBoxAutoClrPeak->setVisible(s.ShowClrPeakCheckBox);
        if (s.ShowClrPeakCheckBox) {
            ButtonSingleShot->resize(ButtonSingleShot->width(), 30);
        }
        ApplyStartupControlState();
        RadioGroupGraficMode->SetItemIndex(s.graficMode);
        setXAxis();
        const std::array<std::tuple<QCheckBox*, QLabel*, bool>, 5> displays = {{
            {CheckBPeak1msUp, pkMax, s.showPeakUp},
            {CheckBPeak1msLo, pkMin, s.showPeakDn},
            {CheckBPeakfilteredUp, pkMaxAvr, s.showPeakUpFiltered},
            {CheckBPeakfilteredDn, pkMinAvr, s.showPeakDnFiltered},
            {CheckBoxMean, meas300, s.showMean},
        }};
        for (const auto& [box, label, on] : displays) {
            box->setChecked(on);
            label->setVisible(on);
        }
        if (s.Resolution != 0) {
            CheckBoxHiRes->show();
        }
        if (s.ShowKeyBufCheckBox) {
            CheckBoxToKeyBuf->setChecked(s.WriteToKeyBuffer);
            CheckBoxToKeyBuf->show();
            CheckBoxToKeyBuf->move(CheckBoxToKeyBuf->x(), 100);
            for (auto [label, value, top] : {std::tuple{Label2, Label1, 120},
                                             {Label9, SerialDev, 140},
                                             {Label11, SerialSens, 160},
                                             {Label4, NomVal, 180},
                                             {Label12, State, 200}}) {
                label->move(label->x(), top);
                value->move(value->x(), top);
            }
        }
        Init_USB_DeviceClick();
        languageIndex = ReadLanguageIndex(s, store_.folders, services_.messages);
        ComboBoxSampleRate->setCurrentIndex(s.SampleRate);
        const IniFile* languageFile = OpenLanguageFile(store_.folders, services_.messages);
        if (languageFile == nullptr) {
            return;  // the message is out; the caption keeps no version
        }
        FillLanguageList(*languageFile);
        InitSeriesType();
        if (s.showMeanCompanyTolvik) {
            for (QWidget* w : {static_cast<QWidget*>(Label7), static_cast<QWidget*>(TolvikCompany),
                               static_cast<QWidget*>(Label13), static_cast<QWidget*>(Label14)}) {
                w->show();
            }
            QFont font = meas300->font();
            font.setPixelSize(32);  // 24 points
            meas300->setFont(font);
            Chart1->setGeometry(375, Chart1->y(), 400, Chart1->height());
        }
        TranslateComponents();
    }
    setWindowTitle(windowTitle() + " (Version: " + QString::fromStdString(GetVersionText()) + ")");
    s.startupDone = true;
}

}  // namespace vx
