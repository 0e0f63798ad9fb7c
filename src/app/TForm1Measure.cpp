// Single shots, the measuring options and the clearing of the data-set table.
#include "app/TForm1.h"

namespace vx {

void TForm1::ButtonSingleShotClick() {
    if (loadedDataShown) {
        // Data sets taken with the instrument's key since the load would go with it.
        if (!ConfirmDiscardUnsaved()) {
            return;
        }
        ClrAllClick();
    }
    if (!link_.Protocol().linkActive) {
        return;
    }
    link_.MeasData()->RequestSingleShot();
    ApplyDataSetTakenState();
    // A second click before the delay has run out neither restarts nor doubles it.
    if (store_.values.ClrPeakAfterSingleShot && !TimerZeroSingle->isActive()) {
        TimerZeroSingle->start();
    }
}

void TForm1::TimerZeroSingleTimer() {
    TimerZeroSingle->stop();
    clrPeakClick();
}

// The settings handlers make their change first and store it afterwards: a settings
// file that cannot be written (reported by the store) must not undo what the user
// sees chosen in the window.
void TForm1::CheckBoxAutoClrPeakClick() {
    const bool checked = CheckBoxAutoClrPeak->isChecked();
    store_.values.ClrPeakAfterSingleShot = checked;
    store_.Write(
        [&](IniFile& ini) { ini.WriteBool(kConfigSection, "ClrPeakAfterSingleShot", checked); });
}

void TForm1::CheckBoxToKeyBufClick() {
    Settings& s = store_.values;
    s.WriteToKeyBuffer = CheckBoxToKeyBuf->isChecked();
    // The key buffer on also lets the instrument's key take data sets.
    s.useSelKeySingleShot = s.WriteToKeyBuffer;
    store_.Write([&](IniFile& ini) {
        ini.WriteBool(kConfigSection, "WriteToKeyBuffer", s.WriteToKeyBuffer);
        ini.WriteBool(kConfigSection, "useSelKeySingleShot", s.useSelKeySingleShot);
    });
    // A way that needs the user's consent asks now, not in the middle of typing a value.
    if (s.WriteToKeyBuffer) {
        services_.keyboard.Prepare();
    }
}

void TForm1::CheckBoxHiResClick() {
    formatter_.hiRes = CheckBoxHiRes->isChecked();
}

void TForm1::ComboBoxSampleRateChange(int index) {
    // Only the thirteen items have a window; anything else keeps the one in use.
    if (index < 0 || index >= ComboBoxSampleRate->count()) {
        return;
    }
    store_.values.SampleRate = index;
    if (link_.Protocol().linkActive) {
        link_.MeasData()->SetSamplesPerValue(WindowSamples(index));
    }
    store_.Write([&](IniFile& ini) { ini.WriteInteger(kConfigSection, "SampleRate", index); });
}

void TForm1::ClrLastClick() {
    TMeasData* meas = link_.MeasData();
    if (!link_.Protocol().linkActive || meas == nullptr) {
        return;
    }
    if (meas->GetDataIndex() < 0) {
        saveToFile->setEnabled(false);
        ButtonExcel->setEnabled(false);
        return;
    }
    // Rows, points and store indexes coincide while data sets are listed one by one;
    // a row or point that is not there (a box was off) is simply skipped.
    const int i = meas->GetDataIndex();
    tableRows_.Remove(i);
    const std::array<bool, kSeriesCount> shown = ShownSeries();
    for (int k = 0; k < kSeriesCount; ++k) {
        if (shown[k]) {
            chart_.DeletePoint(static_cast<SeriesRole>(k), static_cast<size_t>(i));
        }
    }
    meas->DropLastDataIndex();
    // The last data set is the newest: if any was unsaved, it was.
    if (processor_.recordedCount > savedAtCount_) {
        ++savedAtCount_;
    }
    if (meas->GetDataIndex() < 0) {
        saveToFile->setEnabled(false);
        ButtonExcel->setEnabled(false);
    }
}

// Also ends the display of a loaded file: a later single shot must not clear the
// data sets measured after it. The store is emptied with the table also without an
// active link, so that a load that follows replaces it completely.
void TForm1::ClrAllClick() {
    loadedDataShown = false;
    savedAtCount_ = processor_.recordedCount;
    if (link_.MeasData() != nullptr) {
        link_.MeasData()->ClearDataIndex();
    }
    chart_.ClearPoints();
    tableRows_.Clear();
    State->clear();
    SetGraficMode(true);
    saveToFile->setEnabled(false);
    ButtonExcel->setEnabled(false);
    processor_.ClearMeanOfMeans();
}

void TForm1::StartClick() {
    if (!link_.Protocol().linkActive || !ConfirmDiscardUnsaved()) {
        return;
    }
    ClrAllClick();
    ApplyAutoRunState();
    link_.MeasData()->SetAutoMode(true);
}

void TForm1::StopClick() {
    Stop->setEnabled(false);
    if (link_.Protocol().linkActive) {
        link_.MeasData()->SetAutoMode(false);
    }
    // The next poll lists the run's data sets and clears this text.
    ShowStatus("BUSY by Calculation");
    chart_.ClearPoints();
}

void TForm1::TimerSaveOffTimer() {
    TimerSaveOff->stop();
    if (Stop->isEnabled()) {
        StopClick();
    }
    saveToFileClick();
}

}  // namespace vx
