#pragma once
// What the codec's decode kernels report. The codec never raises for bad
// data: a byte outside the alphabet is a result like any other.

#include <cstddef>

namespace vantorq::base64::error {

// Whether every block a decode kernel took was valid; then the characters it
// consumed and the bytes it wrote (both 0 where a caller has no use for them).
struct KernelResult {
    bool valid = true;
    std::size_t consumed = 0;
    std::size_t written = 0;

    static constexpr KernelResult success(std::size_t consumed = 0, std::size_t written = 0) {
        return {true, consumed, written};
    }
    static constexpr KernelResult invalid_input() { return {false, 0, 0}; }

    constexpr bool ok() const { return valid; }
    friend constexpr bool operator==(const KernelResult&, const KernelResult&) = default;
};

}  // namespace vantorq::base64::error
