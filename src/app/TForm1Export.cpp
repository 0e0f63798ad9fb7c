// The data sets to the clipboard, for pasting into a spreadsheet program.
#include "app/TForm1.h"
#include "datasets/DataSetFileFormat.h"

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
    // LibreOffice Calc under either name; when neither starts, nothing is said.
    if (services_.startDetached({"localc"}) != 0) {
        services_.startDetached({"libreoffice", "--calc"});
    }
}

}  // namespace vx
