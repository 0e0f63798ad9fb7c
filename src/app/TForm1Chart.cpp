// The chart's display mode, the five display check boxes and "ZOOM ALL".
#include <string>

#include "app/TForm1.h"

namespace vx {

void TForm1::ConnectDisplayHandlers() {
    connect(RadioGroupGraficMode, &RadioGroup::ItemSelected, this,
            [this] { RadioGroupGraficModeClick(); });
    connect(CheckBPeak1msUp, &QCheckBox::toggled, this, [this] { CheckBPeak1msUpClick(); });
    connect(CheckBPeakfilteredUp, &QCheckBox::toggled, this,
            [this] { CheckBPeakfilteredUpClick(); });
    connect(CheckBoxMean, &QCheckBox::toggled, this, [this] { CheckBoxMeanClick(); });
    connect(CheckBPeakfilteredDn, &QCheckBox::toggled, this,
            [this] { CheckBPeakfilteredDnClick(); });
    connect(CheckBPeak1msLo, &QCheckBox::toggled, this, [this] { CheckBPeak1msLoClick(); });
    connect(ButtonZoom, &QPushButton::clicked, this, [this] { ButtonZoomClick(); });
}

void TForm1::InitSeriesType() {
    chart_.InitSeriesType(store_.values.graficMode);
}

void TForm1::setXAxis() {
    chart_.SetBottomAxis(BottomAxisFor(store_.values.graficMode));
}

void TForm1::SetGraficMode(bool on) {
    RadioGroupGraficMode->setEnabled(on);
    CheckBPeak1msUp->setEnabled(on);
    CheckBPeakfilteredUp->setEnabled(on);
    CheckBoxMean->setEnabled(on);
    CheckBPeakfilteredDn->setEnabled(on);
    CheckBPeak1msLo->setEnabled(on);
}

// Start-up selects the stored mode itself; only the user's choice is stored.
void TForm1::RadioGroupGraficModeClick() {
    if (!store_.values.startupDone) {
        return;
    }
    const int mode = RadioGroupGraficMode->ItemIndex();
    store_.values.graficMode = mode;
    InitSeriesType();
    setXAxis();
    store_.WriteConfigValue("graficMode", std::to_string(mode));
}

void TForm1::DisplayBoxClick(const QCheckBox* box, const char* key, QLabel* label) {
    if (!store_.values.startupDone) {
        return;
    }
    const bool checked = box->isChecked();
    // Shown as chosen, also when the settings file cannot take the choice.
    label->setVisible(checked);
    store_.WriteConfigValue(key, checked ? "1" : "0");
}

void TForm1::CheckBPeak1msUpClick() {
    DisplayBoxClick(CheckBPeak1msUp, "showPeakUp", pkMax);
}

void TForm1::CheckBPeakfilteredUpClick() {
    DisplayBoxClick(CheckBPeakfilteredUp, "showPeakUpFiltered", pkMaxAvr);
}

void TForm1::CheckBoxMeanClick() {
    DisplayBoxClick(CheckBoxMean, "showMean", meas300);
}

void TForm1::CheckBPeakfilteredDnClick() {
    DisplayBoxClick(CheckBPeakfilteredDn, "showPeakDnFiltered", pkMinAvr);
}

void TForm1::CheckBPeak1msLoClick() {
    DisplayBoxClick(CheckBPeak1msLo, "showPeakDn", pkMin);
}

void TForm1::ButtonZoomClick() {
    chart_.ZoomAll();
}

}  // namespace vx
