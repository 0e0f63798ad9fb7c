#include "datasets/DataSetFileSave.h"

#include "base/FileReplace.h"
#include "datasets/DataSetFileFormat.h"

namespace vx {

std::optional<FileMessage> SaveDataLines(const std::string& path,
                                         const std::vector<std::string>& lines) {
    if (lines.size() < 2) {
        return FileMessage{"No valid data sets available", "Error"};
    }
    if (const auto failure = ReplaceFileContents(path, EncodeDataLines(lines))) {
        std::string text = "The file " + path + " could not be written: " + failure->reason;
        if (failure->oldFile == OldFile::Unchanged) {
            text += ". The old file is unchanged.";
        } else if (failure->oldFile == OldFile::Damaged) {
            text += ". The old file is incomplete now.";
        }
        return FileMessage{text, "Error"};
    }
    return std::nullopt;
}

}  // namespace vx
