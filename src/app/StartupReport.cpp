#include "app/StartupReport.h"

#include <fstream>

#include "app/TForm1.h"

namespace vx {

bool WriteStartupReport(const TForm1& window, const std::string& path) {
    std::ofstream report(path, std::ios::binary | std::ios::trunc);
    report << "caption=" << window.windowTitle().toStdString() << '\n';
    report << "status=" << window.ErrorString->text().toStdString() << '\n';
    for (int i = 0; i < window.Language->count(); ++i) {
        report << "language=" << window.Language->itemText(i).toStdString() << '\n';
    }
    report.close();
    return !report.fail();
}

}  // namespace vx
