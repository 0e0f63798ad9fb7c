#pragma once

#include <array>
#include <atomic>
#include <cstddef>

#include "device/DecodedReply.h"

namespace vx {

// Decoded replies from the command thread to a user-interface thread without an event
// loop (the console check, tests): one producer, one consumer, no lock. Slots are
// filled before the write index is released and emptied before the read index is.
class ReplyQueue {
  public:
    static constexpr size_t kSlots = 64;

    // Producer. False when the consumer has left every slot full: the reply is lost,
    // as if it had not come, and the start-up pass asks again.
    bool Push(DecodedReply reply) {
        const size_t write = write_.load(std::memory_order_relaxed);
        if (write - read_.load(std::memory_order_acquire) == kSlots) {
            return false;
        }
        slots_[write % kSlots] = std::move(reply);
        write_.store(write + 1, std::memory_order_release);
        return true;
    }

    // Consumer: hands every queued reply, oldest first, to apply.
    template <typename Apply>
    void Drain(Apply&& apply) {
        size_t read = read_.load(std::memory_order_relaxed);
        while (read != write_.load(std::memory_order_acquire)) {
            DecodedReply reply = std::move(slots_[read % kSlots]);
            read_.store(++read, std::memory_order_release);
            apply(reply);
        }
    }

  private:
    std::array<DecodedReply, kSlots> slots_{};
    std::atomic<size_t> write_{0};
    std::atomic<size_t> read_{0};
};

}  // namespace vx
