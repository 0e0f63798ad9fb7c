#pragma once

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "datasets/FileMessage.h"

namespace vx {

// Where the data sets went when a data error or a lost connection forced a save: the
// rescue file, written whatever became of the save the user was asked for.
struct RescueOutcome {
    std::filesystem::path file;
    // The message that names the file, or says why it could not be written.
    FileMessage message;
    bool written = false;
};

// The rescue file's name for a moment of the computer's clock:
// "rescue-YYYY-MM-DD-HHMMSS.txt".
std::string RescueFileName(std::time_t when);

// Writes the lines that BuildDataLines made, in the data-set file format, to a new
// rescue file in `folder` (made when missing); a name already taken gets "-2", "-3"...
// before its extension. Lines without a data line write nothing: written stays false
// and the message text is empty.
RescueOutcome WriteRescueFile(const std::filesystem::path& folder,
                              const std::vector<std::string>& lines, std::time_t when);

}  // namespace vx
