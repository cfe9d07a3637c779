#pragma once
// Test helpers: an encoder written the plainest possible way (a bit stream),
// independent of the codec's group arithmetic, and source buffers that end at
// an unreadable page so that any over-read crashes the test.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "base64/alphabet.hpp"

namespace vantorq::base64::testing {

inline std::string reference_encode(const unsigned char* data, std::size_t len, const Symbols& symbols,
                                    bool pad = true) {
    std::string out;
    std::uint32_t bits = 0;
    int pending = 0;
    for (std::size_t i = 0; i < len; ++i) {
        bits = bits << 8 | data[i];
        pending += 8;
        while (pending >= 6) {
            pending -= 6;
            out += static_cast<char>(symbols[(bits >> pending) & 0x3f]);
        }
    }
    if (pending > 0) out += static_cast<char>(symbols[(bits << (6 - pending)) & 0x3f]);
    while (pad && out.size() % 4 != 0) out += '=';
    return out;
}

inline std::string reference_wrap(const std::string& text, std::size_t wrapcol) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); i += wrapcol) {
        if (i != 0) out += '\n';
        out += text.substr(i, wrapcol);
    }
    return out;
}

inline std::vector<unsigned char> random_bytes(std::size_t len, std::uint32_t seed) {
    std::mt19937 rng(seed);
    std::vector<unsigned char> bytes(len);
    for (auto& b : bytes) b = static_cast<unsigned char>(rng());
    return bytes;
}

inline std::string as_string(const unsigned char* p, std::size_t n) { return {reinterpret_cast<const char*>(p), n}; }

// A copy of some bytes whose last byte sits just before a page that cannot be read.
class GuardedBytes {
public:
    // Which side of the bytes touches the inaccessible page.
    enum class Guard { After, Before };

    explicit GuardedBytes(const std::vector<unsigned char>& bytes, Guard guard = Guard::After) : len_(bytes.size()) {
        const std::size_t page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
        mapped_ = (len_ + page - 1) / page * page + page;
        void* base = mmap(nullptr, mapped_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (base == MAP_FAILED) throw std::runtime_error("mmap failed");
        base_ = static_cast<unsigned char*>(base);
        unsigned char* const guard_page = guard == Guard::After ? base_ + mapped_ - page : base_;
        if (mprotect(guard_page, page, PROT_NONE) != 0) throw std::runtime_error("mprotect failed");
        data_ = guard == Guard::After ? guard_page - len_ : base_ + page;
        std::copy(bytes.begin(), bytes.end(), data_);
    }
    GuardedBytes(const GuardedBytes&) = delete;
    GuardedBytes& operator=(const GuardedBytes&) = delete;
    ~GuardedBytes() { munmap(base_, mapped_); }

    const unsigned char* data() const { return data_; }
    // For tests that change single bytes in place between calls.
    unsigned char* data() { return data_; }
    std::size_t size() const { return len_; }

private:
    std::size_t len_;
    std::size_t mapped_ = 0;
    unsigned char* base_ = nullptr;
    unsigned char* data_ = nullptr;
};

// A destination at a chosen alignment, filled with canary bytes so that a
// test can tell how far an encoder wrote.
class CanaryDestination {
public:
    static constexpr unsigned char CANARY = 0xA5;
    static constexpr std::size_t SLACK = 96;

    CanaryDestination(std::size_t capacity, std::size_t alignment) : capacity_(capacity) {
        storage_.assign(capacity + alignment + SLACK + 64, CANARY);
        const auto addr = reinterpret_cast<std::uintptr_t>(storage_.data());
        data_ = storage_.data() + ((64 - addr % 64) % 64) + alignment;
    }

    unsigned char* data() { return data_; }
    std::string prefix(std::size_t n) const { return as_string(data_, n); }
    // True when nothing from `offset` to the end of the slack was written.
    bool untouched_from(std::size_t offset) const {
        for (std::size_t i = offset; i < capacity_ + SLACK; ++i)
            if (data_[i] != CANARY) return false;
        return true;
    }

private:
    std::size_t capacity_;
    std::vector<unsigned char> storage_;
    unsigned char* data_ = nullptr;
};

}  // namespace vantorq::base64::testing
