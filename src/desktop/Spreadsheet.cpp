#include "desktop/Spreadsheet.h"

namespace vx {

void StartSpreadsheet(const DetachedStart& startDetached) {
    if (startDetached({"localc"}) != 0) {
        startDetached({"libreoffice", "--calc"});
    }
}

}  // namespace vx
