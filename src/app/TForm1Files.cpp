// Saving the data sets to a file and loading a file back.
#include "app/TForm1.h"
#include "datasets/DataSetFileFormat.h"
#include "datasets/DataSetFileReader.h"
#include "datasets/DataSetFileSave.h"

namespace vx {

void TForm1::saveToFileClick() {
    const std::optional<std::string> path = services_.dialogs.AskSaveName(lastSaveName_);
    if (!path) {
        return;
    }
    lastSaveName_ = *path;
    std::vector<std::string> lines;
    BuildDataLines(lines, tableRows_.Captions(), WindowSamples(store_.values.SampleRate),
                   link_.MeasData());
    if (const std::optional<FileMessage> failure = SaveDataLines(*path, lines)) {
        services_.messages.Show(failure->text, failure->caption);
    }
}

void TForm1::loadFromFileClick() {
    ShowStatus("Busy, please wait");
    ErrorString->repaint();
    // Every load ends with an empty status line, also one that an error ends.
    struct ClearStatus {
        QLabel* status;
        ~ClearStatus() { status->clear(); }
    } clearStatus{ErrorString};

    const std::optional<std::string> path = services_.dialogs.AskOpenName(lastOpenName_);
    if (!path) {
        return;
    }
    lastOpenName_ = *path;
    ClrAllClick();
    const DataSetLoadOptions options{store_.values.graficMode, ShownSeries(),
                                     store_.values.localeFormat,
                                     std::string(ProcessDecimalSeparator())};
    if (const std::optional<FileMessage> failure = LoadDataSetFile(
            *path, {tableRows_, chart_, link_.MeasData(), loadedDataShown}, options)) {
        services_.messages.Show(failure->text, failure->caption);
        return;
    }
    ListView1->scrollToBottom();
    ButtonZoomClick();
    RadioGroupGraficMode->setEnabled(false);
    ButtonExcel->setEnabled(true);
}

}  // namespace vx
