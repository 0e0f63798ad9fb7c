#pragma once

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/MessageSink.h"

namespace vx::fuzz {

// A property that does not hold: libFuzzer saves the input that broke it.
[[noreturn]] inline void Fail(const char* what, std::string_view detail = {}) {
    std::fprintf(stderr, "property broken: %s\n", what);
    if (!detail.empty()) {
        std::fprintf(stderr, "  %.*s\n", static_cast<int>(detail.size()), detail.data());
    }
    std::abort();
}

inline void Check(bool holds, const char* what, std::string_view detail = {}) {
    if (!holds) {
        Fail(what, detail);
    }
}

// Takes the fuzzer's bytes apart from the front: choices first, the rest as text.
class Input {
  public:
    Input(const uint8_t* data, size_t size) : data_(data), size_(size) {}

    bool Empty() const { return size_ == 0; }
    // 0 once the bytes are used up.
    uint8_t Byte() {
        if (size_ == 0) {
            return 0;
        }
        --size_;
        return *data_++;
    }
    // Up to n bytes.
    std::string_view Bytes(size_t n) {
        n = n < size_ ? n : size_;
        const std::string_view taken(reinterpret_cast<const char*>(data_), n);
        data_ += n, size_ -= n;
        return taken;
    }
    // The bytes up to the next separator byte (which is dropped), or all that is left.
    std::string_view Until(char separator) {
        const std::string_view rest = Rest();
        const size_t at = rest.find(separator);
        if (at == std::string_view::npos) {
            return Bytes(size_);
        }
        const std::string_view part = Bytes(at);
        Byte();
        return part;
    }
    std::string_view Rest() const { return {reinterpret_cast<const char*>(data_), size_}; }

  private:
    const uint8_t* data_;
    size_t size_;
};

// Messages go nowhere; only their number is kept, so a long run does not grow.
class CountingMessages final : public MessageSink {
  public:
    void Show(const std::string&, const std::string&, MessageIcon,
              std::function<void()> onClosed) override {
        ++shown;
        if (onClosed) {
            onClosed();
        }
    }
    int shown = 0;
};

}  // namespace vx::fuzz
