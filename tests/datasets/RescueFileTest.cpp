#include <gtest/gtest.h>

#include "datasets/DataSetFileFormat.h"
#include "datasets/RescueFile.h"
#include "support/TempFolder.h"

namespace vx {
namespace {

const std::vector<std::string> kLines = {"Number\t[Date]", "1\t08.12.2026"};

// 8 December 2026, 14:03:27 in the process's time zone.
std::time_t Moment() {
    std::tm local{};
    local.tm_year = 2026 - 1900;
    local.tm_mon = 11;
    local.tm_mday = 8;
    local.tm_hour = 14;
    local.tm_min = 3;
    local.tm_sec = 27;
    local.tm_isdst = -1;
    return std::mktime(&local);
}

TEST(RescueFileTest, NewFileEachTimeInAFolderMadeOnTheWay) {
    test::TempFolder temp;
    const auto folder = temp.Path() / "per-user";
    const RescueOutcome first = WriteRescueFile(folder, kLines, Moment());
    const RescueOutcome second = WriteRescueFile(folder, kLines, Moment());
    ASSERT_TRUE(first.written);
    ASSERT_TRUE(second.written);
    EXPECT_EQ(first.file, folder / "rescue-2026-12-08-140327.txt");
    EXPECT_EQ(second.file, folder / "rescue-2026-12-08-140327-2.txt");
    EXPECT_EQ(test::ReadBytes(second.file), EncodeDataLines(kLines));
    EXPECT_EQ(first.message, (FileMessage{"The data sets have also been saved to the rescue file " +
                                              first.file.string(),
                                          "INFORMATION"}));
}

TEST(RescueFileTest, NothingToRescueOrNoPlaceForIt) {
    test::TempFolder temp;
    const RescueOutcome empty = WriteRescueFile(temp.Path(), {"Number\t[Date]"}, Moment());
    EXPECT_FALSE(empty.written);
    EXPECT_EQ(empty.message.text, "");
    EXPECT_TRUE(std::filesystem::is_empty(temp.Path()));

    test::WriteBytes(temp.Path() / "file", "");  // a file where the folder should be
    const RescueOutcome failed = WriteRescueFile(temp.Path() / "file", kLines, Moment());
    EXPECT_FALSE(failed.written);
    EXPECT_EQ(failed.message.caption, "ERROR");
    EXPECT_TRUE(failed.message.text.starts_with(
        "The data sets could not be written to the rescue file " + failed.file.string() + ": "))
        << failed.message.text;
}

}  // namespace
}  // namespace vx
