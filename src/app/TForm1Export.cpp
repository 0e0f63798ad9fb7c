// The data sets to the clipboard, for pasting into a spreadsheet program.
#include "app/TForm1.h"
#include "desktop/Spreadsheet.h"

namespace vx {

void TForm1::ButtonExcelClick() {
    std::string text;
    for (const std::string& line : DataLines()) {
        text += line;
        text += "\r\n";
    }
    services_.clipboard.SetText(text);
    StartSpreadsheet(services_.startDetached);
}

}  // namespace vx
