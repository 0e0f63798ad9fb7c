#pragma once

#include <string>

namespace vx {

// Why a program or document could not be opened.
enum class OpenFailure {
    None,
    FileNotFound,
    PathNotFound,
    OutOfMemory,
    BadFormat,
    AccessDenied,
    UnknownFileType,
    Other,
};

// Opens `program` without waiting for it: an executable file (a path, or a name on
// PATH) is started with the arguments of `parameters`, never through a shell; any
// other existing file is handed to the desktop's default application, provided one
// is registered for its type. A bare name that is not on PATH is looked for in the
// current folder.
OpenFailure OpenProgram(const std::string& program, const std::string& parameters);

// The message box text of a failure; `program` as the setting holds it.
std::string OpenFailureText(OpenFailure failure, const std::string& program);

}  // namespace vx
