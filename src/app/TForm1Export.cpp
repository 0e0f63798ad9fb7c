// The data sets to the clipboard, for pasting into a spreadsheet program.
#include "app/TForm1.h"
#include "datasets/DataSetFileFormat.h"
#include "desktop/Spreadsheet.h"

namespace vx {

void TForm1::ButtonExcelClick() {
    std::vector<std::string> lines;
    BuildDataLines(lines, tableRows_.Captions(), WindowSamples(store_.values.SampleRate),
                   link_.MeasData());
    std::string text;
    for (const std::string& line : lines) {
        text += line;
        text += "\r\n";
    }
    services_.clipboard.SetText(text);
    StartSpreadsheet(services_.startDetached);
}

}  // namespace vx
