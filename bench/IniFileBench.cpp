// Settings and language files up to the 4 MB they may have: loading one with 50 000
// sections (3.5 MB) must take well under a second (100 000 sections took 12.8 s when
// every section was searched for linearly), and a translation looked up in a large language file
// that has not changed must not read it again (it took 0.4 s per lookup in a 50 MB file).
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "NullSeams.h"
#include "base/IniFile.h"
#include "lang/Translation.h"
#include "support/FixedFolders.h"
#include "support/TempFolder.h"

namespace {

// `sections` sections of three entries each, written a while ago.
void WriteIniFile(const std::filesystem::path& path, int sections) {
    std::string text;
    for (int n = 1; n <= sections; ++n) {
        text += "[LANGUAGE" + std::to_string(n) + "]\nLanguage=L" + std::to_string(n) +
                "\nMean value=Mittelwert\nNumbers=Nummern\n\n";
    }
    std::filesystem::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << text;
    const timespec lastYear[2] = {{1767225600, 0}, {1767225600, 0}};
    utimensat(AT_FDCWD, path.c_str(), lastYear, 0);
}

void BM_LoadIniFile(benchmark::State& state) {
    vx::test::TempFolder folder;
    const auto path = folder.Path() / "418config.lng";
    WriteIniFile(path, static_cast<int>(state.range(0)));
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
    for (auto _ : state) {
        const auto file = vx::IniFile::Load(path);
        benchmark::DoNotOptimize(file->ReadString("LANGUAGE1", "Numbers", "#"));
    }
}
BENCHMARK(BM_LoadIniFile)
    ->Arg(1000)
    ->Arg(50000)
    ->ArgName("sections")
    ->Unit(benchmark::kMillisecond);

void BM_TranslateInLargeLanguageFile(benchmark::State& state) {
    vx::test::TempFolder folder;
    vx::test::FixedFolders folders;
    folders.applicationData = folder.Path();
    WriteIniFile(folder.Path() / "Kelvorn/SoftwareVX212/418config.lng", 50000);
    vx::bench::NullMessages messages;
    int32_t language = 1;
    for (auto _ : state) {
        benchmark::DoNotOptimize(vx::TranslateText("Mean value", language, folders, messages));
        language = language % 50000 + 1;
    }
}
BENCHMARK(BM_TranslateInLargeLanguageFile)->Unit(benchmark::kMicrosecond);

}  // namespace
