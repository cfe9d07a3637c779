#pragma once
// What a fuzz target gives the driver, and the helpers the targets share.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <memory>
#include <span>
#include <string>
#include <string_view>

#include "backend/capabilities.hpp"

namespace vantorq::fuzz {

using Input = std::span<const unsigned char>;

// Everything the target's calls give for this input on the kernel tables of
// the described processor `tier`, in a form that every tier must reproduce
// exactly. Properties a tier must keep on its own (its kernels' partial
// progress, round trips) are checked inside, fatally.
std::string transcript(Input input, const backend::Processor& tier);

[[noreturn]] inline void fail(const char* what) {
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

inline void require(bool holds, const char* what) {
    if (!holds) fail(what);
}

// One transcript line: a label, numbers, and bytes in hex.
inline void note(std::string& out, std::string_view label, std::initializer_list<std::uint64_t> numbers,
                 std::span<const unsigned char> bytes = {}) {
    static constexpr char HEX[] = "0123456789abcdef";
    out += label;
    for (const std::uint64_t number : numbers) out += ' ' + std::to_string(number);
    out += ' ';
    for (const unsigned char byte : bytes) {
        out += HEX[byte >> 4];
        out += HEX[byte & 15];
    }
    out += '\n';
}

// A heap block of exactly `size` bytes: AddressSanitizer reports any access
// before its first byte or past its last.
class ExactBlock {
public:
    explicit ExactBlock(std::size_t size) : bytes_(new unsigned char[size]), size_(size) {}
    explicit ExactBlock(Input contents) : ExactBlock(contents.size()) {
        if (!contents.empty()) std::memcpy(bytes_.get(), contents.data(), contents.size());
    }
    unsigned char* data() { return bytes_.get(); }
    const unsigned char* data() const { return bytes_.get(); }
    std::size_t size() const { return size_; }
    std::span<const unsigned char> first(std::size_t count) const { return {bytes_.get(), count}; }

private:
    std::unique_ptr<unsigned char[]> bytes_;
    std::size_t size_;
};

}  // namespace vantorq::fuzz
