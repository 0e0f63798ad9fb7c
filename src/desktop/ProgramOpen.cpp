#include "desktop/ProgramOpen.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <optional>

#include "desktop/CommandLine.h"
#include "desktop/ProcessSpawn.h"

namespace vx {

namespace {

OpenFailure FailureOfErrno(int error) {
    switch (error) {
        case 0:
            return OpenFailure::None;
        case ENOENT:
            return OpenFailure::FileNotFound;
        case ENOTDIR:
            return OpenFailure::PathNotFound;
        case ENOMEM:
            return OpenFailure::OutOfMemory;
        case ENOEXEC:
            return OpenFailure::BadFormat;
        case EACCES:
        case EPERM:
            return OpenFailure::AccessDenied;
        default:
            return OpenFailure::Other;
    }
}

std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find('\n'));
}

// Whether the desktop has an application for the file's type; nullopt when that
// cannot be told. Looked up first because xdg-open reports a missing one only after
// it has been started.
std::optional<bool> HasDefaultApplication(const std::string& path) {
    const std::optional<std::string> type = RunForOutput({"xdg-mime", "query", "filetype", path});
    if (!type) {
        return std::nullopt;
    }
    const std::string mimeType = FirstLine(*type);
    if (mimeType.empty()) {
        return false;
    }
    const std::optional<std::string> desktopEntry =
        RunForOutput({"xdg-mime", "query", "default", mimeType});
    return desktopEntry && !FirstLine(*desktopEntry).empty();
}

OpenFailure OpenDocument(const std::string& path) {
    if (HasDefaultApplication(path) == false) {
        return OpenFailure::UnknownFileType;
    }
    return SpawnDetached({"xdg-open", path}) == 0 ? OpenFailure::None : OpenFailure::Other;
}

OpenFailure StartExecutable(const std::string& path, const std::string& parameters) {
    std::vector<std::string> argv = SplitArguments(parameters);
    argv.insert(argv.begin(), path);
    return FailureOfErrno(SpawnDetached(argv));
}

// The file is missing: its folder, or the folder's own path, may be missing too.
OpenFailure MissingFile(const std::string& path) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::path(path).parent_path();
    return folder.empty() || std::filesystem::is_directory(folder, error)
               ? OpenFailure::FileNotFound
               : OpenFailure::PathNotFound;
}

}  // namespace

OpenFailure OpenProgram(const std::string& program, const std::string& parameters) {
    if (program.empty()) {
        return OpenFailure::FileNotFound;
    }
    std::string path = program;
    if (program.find('/') == std::string::npos) {
        const OpenFailure onPath = StartExecutable(program, parameters);
        if (onPath != OpenFailure::FileNotFound || access(program.c_str(), F_OK) != 0) {
            return onPath;
        }
        path = "./" + program;
    }
    struct stat status {};
    if (stat(path.c_str(), &status) != 0) {
        return errno == ENOENT ? MissingFile(path) : FailureOfErrno(errno);
    }
    if (S_ISREG(status.st_mode) && access(path.c_str(), X_OK) == 0) {
        return StartExecutable(path, parameters);
    }
    return OpenDocument(path);
}

std::string OpenFailureText(OpenFailure failure, const std::string& program) {
    switch (failure) {
        case OpenFailure::None:
            return "";
        case OpenFailure::FileNotFound:
            return "File '" + program + "' not found!";
        case OpenFailure::PathNotFound:
            return "Path to File '" + program + "' not found!";
        case OpenFailure::OutOfMemory:
            return "out of memory!";
        case OpenFailure::BadFormat:
            return "Invalid or bad format of application!";
        case OpenFailure::AccessDenied:
            return "access to file '" + program + "' denied!";
        case OpenFailure::UnknownFileType:
            return "unknown filetype!";
        case OpenFailure::Other:
            break;
    }
    return "File '" + program + "' could not be opend!";
}

}  // namespace vx
