// Enable states of the controls that several handlers share.
#include "app/TForm1.h"

namespace vx {

void TForm1::SetZemlometerKeys(bool on) {
    for (QWidget* control : {static_cast<QWidget*>(ClrLast), static_cast<QWidget*>(ClrAll),
                             static_cast<QWidget*>(ButtonSingleShot), static_cast<QWidget*>(Start),
                             static_cast<QWidget*>(clrPeak), static_cast<QWidget*>(Zero),
                             static_cast<QWidget*>(CheckBoxAutoClrPeak)}) {
        control->setEnabled(on);
    }
}

// Until the device link has been tried, only "CL&R ALL MEASUREMENTS" is usable.
void TForm1::ApplyStartupControlState() {
    CheckBoxAutoClrPeak->setEnabled(false);
    saveToFile->setEnabled(false);
    loadFromFile->setEnabled(false);
    SetZemlometerKeys(false);
    ClrAll->setEnabled(true);
    ButtonZoom->setEnabled(false);
    ComboBoxSampleRate->setEnabled(false);
    Language->setEnabled(false);
    ButtonExcel->setEnabled(false);
}

// Without an instrument files can still be loaded, viewed and exported.
void TForm1::ApplyDeviceNotFoundState() {
    ErrorString->setText("Device not found");
    loadFromFile->setEnabled(true);
    Stop->setEnabled(false);
    CheckBoxAutoClrPeak->setEnabled(false);
    ButtonZoom->setEnabled(true);
    ComboBoxSampleRate->setEnabled(true);
    Language->setEnabled(true);
    saveToFile->setEnabled(false);
    ButtonExcel->setEnabled(true);
}

// The instrument's start-up has not completed in time: files and languages stay
// usable, the measurement commands wait for the start-up, which goes on.
void TForm1::ApplyNoAnswerState() {
    ShowStatus("Instrument does not answer");
    loadFromFile->setEnabled(true);
    ButtonZoom->setEnabled(true);
    Language->setEnabled(true);
    ButtonExcel->setEnabled(true);
}

// The instrument's start-up sequence has completed.
void TForm1::ApplyDeviceReadyState() {
    SetZemlometerKeys(true);
    loadFromFile->setEnabled(true);
    CheckBoxAutoClrPeak->setEnabled(true);
    ButtonZoom->setEnabled(true);
    ComboBoxSampleRate->setEnabled(true);
    Language->setEnabled(true);
}

// A data set was taken by hand (the button or the instrument's key): it can be saved
// and copied, and the display mode stays as it was plotted in.
void TForm1::ApplyDataSetTakenState() {
    SetGraficMode(false);
    ButtonExcel->setEnabled(true);
    saveToFile->setEnabled(true);
}

// While an automatic run records, only the peaks, the zero, the zoom and the stop
// stay usable.
void TForm1::ApplyAutoRunState() {
    for (QWidget* control :
         {static_cast<QWidget*>(ClrLast), static_cast<QWidget*>(ClrAll),
          static_cast<QWidget*>(saveToFile), static_cast<QWidget*>(loadFromFile),
          static_cast<QWidget*>(ButtonSingleShot), static_cast<QWidget*>(Start)}) {
        control->setEnabled(false);
    }
    Stop->setEnabled(true);
    ComboBoxSampleRate->setEnabled(false);
    Language->setEnabled(false);
    ButtonExcel->setEnabled(false);
    SetGraficMode(false);
}

// The run's data sets are listed: the commands are usable again.
void TForm1::ApplyAutoRunEndedState() {
    for (QWidget* control :
         {static_cast<QWidget*>(saveToFile), static_cast<QWidget*>(loadFromFile),
          static_cast<QWidget*>(ButtonSingleShot), static_cast<QWidget*>(Start)}) {
        control->setEnabled(true);
    }
    Stop->setEnabled(false);
    for (QWidget* control : {static_cast<QWidget*>(ClrLast), static_cast<QWidget*>(ClrAll),
                             static_cast<QWidget*>(ComboBoxSampleRate),
                             static_cast<QWidget*>(Language), static_cast<QWidget*>(ButtonExcel)}) {
        control->setEnabled(true);
    }
}

}  // namespace vx
