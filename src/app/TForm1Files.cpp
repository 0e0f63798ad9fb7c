// Saving the data sets to a file and loading a file back.
#include <algorithm>

#include "app/TForm1.h"
#include "datasets/DataSetFileFormat.h"
#include "datasets/DataSetFileReader.h"
#include "datasets/DataSetFileSave.h"

namespace vx {

void TForm1::saveToFileClick() {
    SaveDataSets();
}

std::vector<std::string> TForm1::DataLines() {
    std::vector<std::string> lines;
    BuildDataLines(lines, tableRows_.Captions(), WindowSamples(store_.values.SampleRate),
                   link_.MeasData());
    return lines;
}

bool TForm1::SaveDataSets() {
    const std::optional<std::string> path = services_.dialogs.AskSaveName(lastSaveName_);
    if (!path) {
        return false;
    }
    lastSaveName_ = *path;
    if (const std::optional<FileMessage> failure = SaveDataLines(*path, DataLines())) {
        services_.messages.Show(failure->text, failure->caption);
        return false;
    }
    savedAtCount_ = processor_.recordedCount;
    return true;
}

int64_t TForm1::UnsavedDataSets() const {
    const TMeasData* meas = link_.MeasData();
    if (meas == nullptr) {
        return 0;
    }
    const int64_t stored =
        meas->IsDataWrapped() ? meas->GetDataListSize() : meas->GetDataIndex() + 1;
    return std::min(processor_.recordedCount - savedAtCount_, stored);
}

bool TForm1::ConfirmDiscardUnsaved() {
    const int64_t unsaved = UnsavedDataSets();
    if (unsaved <= 0 || !store_.values.ConfirmDiscard) {
        return true;
    }
    switch (services_.askBeforeDiscard(std::to_string(unsaved) +
                                       " data sets have not been saved. Save them now?")) {
        case DiscardAnswer::Save:
            return SaveDataSets();  // a cancelled or failed save cancels the action
        case DiscardAnswer::Discard:
            return true;
        case DiscardAnswer::Cancel:
            break;
    }
    return false;
}

void TForm1::loadFromFileClick() {
    ShowStatus("Busy, please wait");
    ErrorString->repaint();
    // Every load ends with an empty status line, also one that an error ends.
    struct ClearStatus {
        QLabel* status;
        ~ClearStatus() { status->clear(); }
    } clearStatus{ErrorString};

    if (!ConfirmDiscardUnsaved()) {
        return;
    }
    const std::optional<std::string> path = services_.dialogs.AskOpenName(lastOpenName_);
    if (!path) {
        return;
    }
    lastOpenName_ = *path;
    const DataSetLoadOptions options{store_.values.graficMode, ShownSeries(),
                                     store_.values.localeFormat,
                                     std::string(ProcessDecimalSeparator())};
    // Cleared only once the file has opened and starts as a data-set file.
    if (const std::optional<FileMessage> failure = LoadDataSetFile(
            *path,
            {tableRows_, chart_, link_.MeasData(), loadedDataShown, [this] { ClrAllClick(); }},
            options)) {
        services_.messages.Show(failure->text, failure->caption);
        return;
    }
    ListView1->scrollToBottom();
    ButtonZoomClick();
    RadioGroupGraficMode->setEnabled(false);
    ButtonExcel->setEnabled(true);
}

}  // namespace vx
