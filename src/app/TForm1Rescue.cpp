// The save that a data error or a lost connection forces: besides the file the user
// chooses, the data sets always go to a rescue file in the per-user folder.
#include <ctime>

#include "app/TForm1.h"
#include "base/Folders.h"
#include "datasets/RescueFile.h"

namespace vx {

void TForm1::ForcedSave(std::function<void()> afterMessage) {
    saveToFileClick();
    const std::vector<std::string> lines = DataLines();
    const std::filesystem::path folder =
        PerUserFolder(services_.folders).value_or(services_.folders.WorkingDirectory());
    const RescueOutcome rescue = WriteRescueFile(folder, lines, std::time(nullptr));
    if (rescue.message.text.empty()) {
        if (afterMessage) {
            afterMessage();
        }
        return;
    }
    services_.messages.Show(rescue.message.text, rescue.message.caption, MessageIcon::None,
                            std::move(afterMessage));
}

}  // namespace vx
