#pragma once

#include <optional>
#include <string>
#include <vector>

#include "datasets/FileMessage.h"

namespace vx {

// Writes the lines that BuildDataLines made to the file the user chose; `path` is
// the name as the dialog returned it (UTF-8). An existing file is replaced without a
// question, and stays as it was when the write fails. Returns the message to show:
// "No valid data sets available" when there is no data line (nothing is written), or
// one that names the file and the system's reason when it could not be written, and
// says whether the file that was there is unchanged; nullopt when the file was written.
std::optional<FileMessage> SaveDataLines(const std::string& path,
                                         const std::vector<std::string>& lines);

}  // namespace vx
