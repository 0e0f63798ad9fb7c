// The text format of a recorded session: written, read back, and refused when wrong.
#include <gtest/gtest.h>

#include <sstream>

#include "device/Recording.h"

namespace vx {
namespace {

std::variant<Recording, std::string> Parse(const std::string& text) {
    std::istringstream in(text);
    return ParseRecording(in);
}

const std::string kHeader = std::string(kRecordingMagic) + "\n# program: test 1.0\n";

TEST(RecordingTest, WrittenRecordingReadsBackTheSame) {
    Recording recording{"zemlometer-check 1.1.0.48", "simulated", {}};
    recording.transfers = {
        {250'125, Pipe::S1, {'#', 'I', '0', '5', 0x00, 0xA7, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}},
        {251'001, Pipe::R1, {'#', 'I', '0', '5', 'V', 0x00, 0xA7}},
        {251'001, Pipe::R1, {}},
        {1'000'000'007, Pipe::R2, std::vector<uint8_t>(32, 0xFE)},
    };
    std::ostringstream out;
    WriteRecording(out, recording);
    EXPECT_NE(out.str().find("\n250.125 S1 16 23493035"
                             "00a7"),
              std::string::npos)
        << out.str();

    const auto read = Parse(out.str());
    ASSERT_TRUE(std::holds_alternative<Recording>(read)) << std::get<std::string>(read);
    EXPECT_EQ(std::get<Recording>(read).program, recording.program);
    EXPECT_EQ(std::get<Recording>(read).backend, recording.backend);
    EXPECT_EQ(std::get<Recording>(read).transfers, recording.transfers);
}

TEST(RecordingTest, BlanksBetweenBytesCommentsAndWindowsLineEndsAreRead) {
    const auto read = Parse(kHeader + "\n# a note\r\n0.5 R2 3 0a 0B\t0c\r\n");
    ASSERT_TRUE(std::holds_alternative<Recording>(read)) << std::get<std::string>(read);
    const std::vector<RecordedTransfer> expected = {{500, Pipe::R2, {0x0A, 0x0B, 0x0C}}};
    EXPECT_EQ(std::get<Recording>(read).transfers, expected);
}

TEST(RecordingTest, MalformedRecordingIsRefusedNamingTheLine) {
    const std::string megabyteLine = "1.0 R2 1 " + std::string(1 << 20, 'a') + "\n";
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "line 1: the file is empty"},
        {"hello\n", "line 1: not a session recording"},
        {kHeader, "line 2: no transfers recorded"},
        {kHeader + "1.0 R1 2 0x\n", "line 3: bad hex \"0x\""},
        {kHeader + "1.0 R1 2 012\n", "line 3: bad hex \"012\": an odd number of digits"},
        {kHeader + "1.0 R1 3 0102\n", "line 3: 2 bytes where the length says 3"},
        {kHeader + "1.0 R3 1 01\n", "line 3: unknown pipe \"R3\""},
        {kHeader + "2.0 R1 1 01\n1.999 R1 1 01\n", "line 4: time goes backwards"},
        {kHeader + "-1 R1 1 01\n", "line 3: bad time \"-1\""},
        {kHeader + "1.0001 R1 1 01\n", "line 3: bad time"},
        {kHeader + "1.0 R1 9999 01\n", "line 3: bad length \"9999\""},
        {kHeader + "1.0 R1\n", "line 3: a transfer needs"},
        {kHeader + megabyteLine, "line 3: longer than 1024 characters"},
    };
    for (const auto& [text, message] : cases) {
        SCOPED_TRACE(message);
        const auto read = Parse(text);
        ASSERT_TRUE(std::holds_alternative<std::string>(read));
        EXPECT_TRUE(std::get<std::string>(read).starts_with(message))
            << std::get<std::string>(read);
    }
}

TEST(RecordingTest, FileThatCannotBeReadIsNamed) {
    const auto read = ReadRecordingFile("/nonexistent/session.txt");
    ASSERT_TRUE(std::holds_alternative<std::string>(read));
    EXPECT_EQ(std::get<std::string>(read), "/nonexistent/session.txt: cannot be read");
}

}  // namespace
}  // namespace vx
