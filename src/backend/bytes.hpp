#pragma once
// Word access, byte search and rotation shared by the families. Everything here is
// always_inline, so that vector tier files may use it without emitting a copy
// compiled for their instruction set that the linker could keep for every
// caller.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

namespace vantorq::backend {

static_assert(std::endian::native == std::endian::little, "word loads assume a little-endian host");

[[gnu::always_inline]] inline std::uint32_t load_u32(const unsigned char* p) {
    std::uint32_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

[[gnu::always_inline]] inline std::uint64_t load_u64(const unsigned char* p) {
    std::uint64_t v;
    std::memcpy(&v, p, sizeof v);
    return v;
}

[[gnu::always_inline]] inline void store_u32(unsigned char* p, std::uint32_t v) { std::memcpy(p, &v, sizeof v); }
[[gnu::always_inline]] inline void store_u64(unsigned char* p, std::uint64_t v) { std::memcpy(p, &v, sizeof v); }

// memchr that accepts the empty range a caller may give as a null pointer.
[[gnu::always_inline]] inline const unsigned char* find_byte(const unsigned char* p, std::size_t n, unsigned char c) {
    return n == 0 ? nullptr : static_cast<const unsigned char*>(std::memchr(p, c, n));
}

// std::rotl is an ordinary inline template: emitted from a file compiled with
// BMI2 it would be RORX, and the linker might keep that copy for every caller.
template <typename Word>
[[gnu::always_inline]] constexpr Word rotl(Word x, int r) {
    constexpr int BITS = 8 * sizeof(Word);
    return static_cast<Word>((x << r) | (x >> ((BITS - r) & (BITS - 1))));
}

}  // namespace vantorq::backend
