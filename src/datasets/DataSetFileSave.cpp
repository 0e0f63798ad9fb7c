#include "datasets/DataSetFileSave.h"

#include "base/FileReplace.h"
#include "datasets/DataSetFileFormat.h"

namespace vx {

std::optional<FileMessage> SaveDataLines(const std::string& path,
                                         const std::vector<std::string>& lines) {
    if (lines.size() < 2) {
        return FileMessage{"No valid data sets available", "Error"};
    }
    if (const auto reason = ReplaceFileContents(path, EncodeDataLines(lines))) {
        return FileMessage{"The file " + path + " could not be written: " + *reason, "Error"};
    }
    return std::nullopt;
}

}  // namespace vx
