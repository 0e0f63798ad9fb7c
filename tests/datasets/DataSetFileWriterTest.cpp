#include <gtest/gtest.h>

#include "datasets/DataSetFileFixture.h"
#include "datasets/DataSetFileFormat.h"
#include "datasets/DataSetFileSave.h"
#include "support/TempFolder.h"

namespace vx {
namespace {

using test::kCaptionsN;

class DataSetFileWriterTest : public ::testing::Test {
  protected:
    std::vector<std::string> Lines(int windowMs = 100) {
        std::vector<std::string> lines = {"left over"};
        BuildDataLines(lines, captions, windowMs, &m.meas);
        return lines;
    }

    test::MeasFixture m;
    std::array<std::string, 9> captions = kCaptionsN;
    test::TempFolder folder;
};

TEST_F(DataSetFileWriterTest, DocumentedExampleByteForByte) {
    test::StoreTexts(m.meas, 0, test::kExample1);
    test::StoreTexts(m.meas, 1, test::kExample2);
    m.meas.dataIndex = 1;
    const auto path = (folder.Path() / "example.txt").string();

    EXPECT_EQ(SaveDataLines(path, Lines()), std::nullopt);
    EXPECT_EQ(test::ReadBytes(path), test::kExampleFile);
}

// Each data line's date field holds its store index, so the order shows.
TEST_F(DataSetFileWriterTest, DataLinesOldestFirstNumberedFromOne) {
    struct Case {
        int newest;
        bool wrapped;
        std::vector<std::pair<int, int>> expected;  // (line, store index) spot checks
        size_t dataLines;
    };
    const std::vector<Case> cases = {
        {5, true, {{1, 6}, {10234, 10239}, {10235, 0}, {10240, 5}}, 10240},
        {10239, true, {{1, 0}, {10240, 10239}}, 10240},
        {2, false, {{1, 0}, {3, 2}}, 3},
    };
    for (int i = 0; i < m.meas.GetDataListSize(); ++i) {
        m.meas.dataList[i].date = std::to_string(i);
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.newest);
        m.meas.dataIndex = c.newest;
        m.meas.dataWrapped = c.wrapped;
        const auto lines = Lines();
        ASSERT_EQ(lines.size(), c.dataLines + 1);
        for (size_t line = 1; line < lines.size(); ++line) {
            ASSERT_EQ(lines[line].substr(0, lines[line].find('\t')), std::to_string(line));
        }
        for (const auto& [line, index] : c.expected) {
            EXPECT_EQ(lines[line],
                      std::to_string(line) + "\t" + std::to_string(index) + "\t\t\t\t\t\t\t");
        }
    }
}

TEST_F(DataSetFileWriterTest, FieldsAsStoredAndHeaderFromCurrentState) {
    // Captions rebuilt by a load have no blanks; a 12-hour time keeps its blanks.
    captions[3] = "[Diff]=ms";
    captions[4] = "[Value]=N";
    test::StoreTexts(m.meas, 0,
                     {"12/08/26", "02:03:27 PM", "005", "-1.5", "", " x ", "  12.10", "0"});
    m.meas.dataIndex = 0;
    const auto lines = Lines(10000);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0],
              "Number\t[Date]\t[Time]\t[Diff]=ms\t[Value]=N\t[Min] = N\t[Max] = N\t"
              "[MinFilt] = N\t[MaxFilt] = N\t(10000ms)");
    EXPECT_EQ(lines[1], "1\t12/08/26\t02:03:27 PM\t005\t-1.5\t\t x \t  12.10\t0");
}

TEST_F(DataSetFileWriterTest, EightBitCharactersAndReplacement) {
    captions[4] = "[Value] = µm";
    test::StoreTexts(m.meas, 0, {"8 déc. 2026", "14:03:27", "250", "€", "Ω", "✓", "°", "ÿ"});
    m.meas.dataIndex = 0;
    const auto path = (folder.Path() / "eight-bit.txt").string();

    EXPECT_EQ(SaveDataLines(path, Lines()), std::nullopt);
    const std::string bytes = test::ReadBytes(path);
    EXPECT_EQ(bytes.substr(0, 6), "Number");  // no byte-order mark
    EXPECT_NE(bytes.find("[Value] = \xB5m\t"), std::string::npos);
    EXPECT_NE(bytes.find("\r\n1\t8 d\xE9"
                         "c. 2026\t14:03:27\t250\t\x80\t?\t?\t\xB0\t\xFF\r\n"),
              std::string::npos);
}

TEST_F(DataSetFileWriterTest, NoDataSetsWritesNothing) {
    const auto fresh = (folder.Path() / "fresh.txt").string();
    const auto existing = (folder.Path() / "existing.txt").string();
    test::WriteBytes(existing, "keep me");
    const FileMessage noData{"No valid data sets available", "Error"};

    EXPECT_EQ(Lines().size(), 1u);
    EXPECT_EQ(SaveDataLines(fresh, Lines()), noData);
    EXPECT_EQ(SaveDataLines(existing, Lines()), noData);
    EXPECT_FALSE(std::filesystem::exists(fresh));
    EXPECT_EQ(test::ReadBytes(existing), "keep me");

    std::vector<std::string> lines;
    BuildDataLines(lines, captions, 100, nullptr);
    EXPECT_EQ(lines.size(), 1u);
}

TEST_F(DataSetFileWriterTest, ExistingFileReplacedAndFailureNamesTheFile) {
    test::StoreTexts(m.meas, 0, test::kExample1);
    m.meas.dataIndex = 0;
    const auto path = (folder.Path() / "old.txt").string();
    test::WriteBytes(path, std::string(5000, 'x'));

    EXPECT_EQ(SaveDataLines(path, Lines()), std::nullopt);
    EXPECT_EQ(test::ReadBytes(path), EncodeDataLines(Lines()));

    const auto blocked = (folder.Path() / "old.txt" / "new.txt").string();
    EXPECT_EQ(
        SaveDataLines(blocked, Lines()),
        (FileMessage{"The file " + blocked + " could not be written: Not a directory", "Error"}));
}

}  // namespace
}  // namespace vx
