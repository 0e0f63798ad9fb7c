#include "datasets/DataSetFileScanner.h"

#include <unistd.h>

#include <cerrno>

namespace vx {

namespace {

constexpr size_t kBufferSize = 64 * 1024;

bool IsBlank(int c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

}  // namespace

DataSetFileScanner::DataSetFileScanner(int fd) : fd_(fd), buffer_(kBufferSize) {}

int DataSetFileScanner::Peek() {
    if (position_ == size_ && !exhausted_) {
        ssize_t got = 0;
        do {
            got = read(fd_, buffer_.data(), buffer_.size());
        } while (got < 0 && errno == EINTR);
        position_ = 0;
        size_ = got > 0 ? static_cast<size_t>(got) : 0;
        if (got <= 0) {
            exhausted_ = true;
            readError_ = got < 0 ? errno : 0;
        }
    }
    return position_ < size_ ? static_cast<unsigned char>(buffer_[position_]) : -1;
}

void DataSetFileScanner::Take() {
    if (buffer_[position_++] == '\n') {
        ++line_;
    }
}

DataSetFileScanner::Result DataSetFileScanner::Word(std::string& word) {
    word.clear();
    while (IsBlank(Peek())) {
        Take();
    }
    textLine_ = line_;
    for (int c = Peek(); c >= 0 && !IsBlank(c); c = Peek()) {
        if (word.size() == kMaxWordLength) {
            return Result::TooLong;
        }
        word += static_cast<char>(c);
        Take();
    }
    if (Peek() < 0) {
        atEnd_ = true;
    }
    return readError_ != 0 ? Result::ReadFailed : Result::Ok;
}

DataSetFileScanner::Result DataSetFileScanner::Field(std::string& field) {
    field.clear();
    textLine_ = line_;
    for (int c = Peek(); c >= 0; c = Peek()) {
        Take();
        if (c == '\t') {
            return Result::Ok;
        }
        if (field.size() == kMaxFieldLength) {
            return Result::TooLong;
        }
        field += static_cast<char>(c);
    }
    atEnd_ = true;
    return readError_ != 0 ? Result::ReadFailed : Result::Ok;
}

}  // namespace vx
