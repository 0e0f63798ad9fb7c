#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace vx {

// Reads a data-set file's bytes the two ways the reader takes them apart. A word
// read skips blanks (space, TAB, CR, LF, VT, FF, so line ends too) and stops before
// the next blank; a field read keeps blanks and line ends and stops at a TAB, which
// it consumes. A read that meets the end of the file marks it as reached.
class DataSetFileScanner {
  public:
    static constexpr size_t kMaxWordLength = 999;
    static constexpr size_t kMaxFieldLength = 48;
    enum class Result { Ok, TooLong, ReadFailed };

    // Reads from the open file descriptor fd, which stays the caller's.
    explicit DataSetFileScanner(int fd);

    // TooLong stops the read at the first character beyond the limit.
    Result Word(std::string& word);
    Result Field(std::string& field);

    bool AtEnd() const { return atEnd_; }
    // The line, counted from 1, in which the last read's text began.
    int Line() const { return textLine_; }
    // errno of a failed read.
    int ReadError() const { return readError_; }

  private:
    // The next byte (0..255) without taking it; -1 at the end or after a read error.
    int Peek();
    void Take();

    int fd_;
    std::vector<char> buffer_;
    size_t position_ = 0;
    size_t size_ = 0;
    bool atEnd_ = false;
    bool exhausted_ = false;
    int line_ = 1;
    int textLine_ = 1;
    int readError_ = 0;
};

}  // namespace vx
