#pragma once
// Shared and exclusive use of an object, refused rather than waited for.

#include <atomic>
#include <cstddef>

namespace vantorq::backend {

// Guards an object against use from two threads at once without blocking
// either: 0 when idle, the number of readers in progress, or -1 while an
// update runs (also while it runs detached). A conflicting call fails at once.
class BorrowCounter {
public:
    bool try_begin_read() {
        std::ptrdiff_t count = count_.load(std::memory_order_relaxed);
        do {
            if (count < 0) return false;
        } while (!count_.compare_exchange_weak(count, count + 1, std::memory_order_acquire, std::memory_order_relaxed));
        return true;
    }
    void end_read() { count_.fetch_sub(1, std::memory_order_release); }

    bool try_begin_update() {
        std::ptrdiff_t idle = 0;
        return count_.compare_exchange_strong(idle, -1, std::memory_order_acquire, std::memory_order_relaxed);
    }
    void end_update() { count_.store(0, std::memory_order_release); }

    // The same where a lock the caller holds (the interpreter's GIL) orders
    // every begin and end: plain loads and stores, no locked instruction.
    bool try_begin_read_serialized() {
        const std::ptrdiff_t count = count_.load(std::memory_order_relaxed);
        if (count < 0) return false;
        count_.store(count + 1, std::memory_order_relaxed);
        return true;
    }
    void end_read_serialized() { count_.store(count_.load(std::memory_order_relaxed) - 1, std::memory_order_relaxed); }
    bool try_begin_update_serialized() {
        if (count_.load(std::memory_order_relaxed) != 0) return false;
        count_.store(-1, std::memory_order_relaxed);
        return true;
    }
    void end_update_serialized() { count_.store(0, std::memory_order_relaxed); }

private:
    std::atomic<std::ptrdiff_t> count_{0};
};

}  // namespace vantorq::backend
