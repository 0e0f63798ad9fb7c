#include "datasets/RescueFile.h"

#include <fmt/format.h>

#include <system_error>

#include "base/FileReplace.h"
#include "datasets/DataSetFileFormat.h"

namespace vx {

std::string RescueFileName(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    return fmt::format("rescue-{:04}-{:02}-{:02}-{:02}{:02}{:02}.txt", local.tm_year + 1900,
                       local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
}

RescueOutcome WriteRescueFile(const std::filesystem::path& folder,
                              const std::vector<std::string>& lines, std::time_t when) {
    RescueOutcome outcome;
    if (lines.size() < 2) {
        return outcome;
    }
    const std::filesystem::path name = RescueFileName(when);
    outcome.file = folder / name;
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    // Anything already there, a link included, keeps its name; a folder that cannot be
    // looked into fails at the write and says why.
    const auto taken = [&] {
        const auto type = std::filesystem::symlink_status(outcome.file, error).type();
        return type != std::filesystem::file_type::not_found &&
               type != std::filesystem::file_type::none;
    };
    for (int n = 2; taken(); ++n) {
        outcome.file = folder / (name.stem().string() + "-" + std::to_string(n) + ".txt");
    }
    if (const auto failure = ReplaceFileContents(outcome.file.string(), EncodeDataLines(lines))) {
        outcome.message = {"The data sets could not be written to the rescue file " +
                               outcome.file.string() + ": " + failure->reason,
                           "ERROR"};
        return outcome;
    }
    outcome.written = true;
    outcome.message = {
        "The data sets have also been saved to the rescue file " + outcome.file.string(),
        "INFORMATION"};
    return outcome;
}

}  // namespace vx
