// The program as started: a file-size limit fails a save instead of ending the program.
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstring>
#include <filesystem>

#include "app/ProgramEntry.h"
#include "datasets/DataSetFileSave.h"
#include "device/SimulatedInstrument.h"
#include "support/TempFolder.h"

namespace vx {
namespace {

// Runs in a child process: the program starts with the signal's default action, as
// any program does, under a limit of 4096 bytes per file.
int SaveUnderAFileSizeLimit(const std::filesystem::path& folder) {
    std::signal(SIGXFSZ, SIG_DFL);
    const rlimit limit{4096, RLIM_INFINITY};
    setrlimit(RLIMIT_FSIZE, &limit);
    const std::filesystem::path file = folder / "run.txt";
    SimulatedInstrument instrument;
    instrument.SetAbsent(true);
    static char name[] = "softwarevx212";
    static char* argv[] = {name, nullptr};
    int argc = 1;
    Settings settings;
    return RunProgram(argc, argv, settings, instrument, [&](TForm1&) {
        std::vector<std::string> lines(2000, std::string(40, '1'));
        const auto failure = SaveDataLines(file.string(), lines);
        const bool named = failure &&
                           failure->text.find(std::strerror(EFBIG)) != std::string::npos &&
                           failure->text.find("The old file is unchanged") != std::string::npos;
        const bool intact = test::ReadBytes(file) == std::string(3000, 'o');
        const bool alone = std::distance(std::filesystem::directory_iterator(folder),
                                         std::filesystem::directory_iterator()) == 1;
        _exit(named && intact && alone ? 0 : 1);
    });
}

TEST(ProgramEntryTest, SaveBeyondTheFileSizeLimitFailsWithItsReasonAndTheProgramLives) {
    test::TempFolder folder;
    test::WriteBytes(folder.Path() / "run.txt", std::string(3000, 'o'));
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        _exit(SaveUnderAFileSizeLimit(folder.Path()) == 0 ? 2 : 3);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_FALSE(WIFSIGNALED(status)) << "ended by signal " << WTERMSIG(status);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0)
        << "1: message, old file or folder not as they should be; 2, 3: the save never ran";
}

}  // namespace
}  // namespace vx
