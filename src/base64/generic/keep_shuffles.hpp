#pragma once
// The compaction table of the byte scans, for every tier with a byte shuffle
// or table lookup; free of instruction-set headers, so that any tier's file
// can include it.

#include <array>
#include <cstdint>

namespace vantorq::base64::generic {

// For each 8-bit keep mask: the positions of its set bits in ascending order,
// as byte-shuffle indices (the unused top bytes select byte 0, never stored
// past the kept count), and the count of set bits.
struct KeepShuffles {
    std::array<std::uint64_t, 256> indices{};
    std::array<std::uint8_t, 256> counts{};
};

inline constexpr KeepShuffles KEEP_SHUFFLES = [] {
    KeepShuffles table;
    for (unsigned mask = 0; mask < 256; ++mask) {
        unsigned kept = 0;
        for (unsigned bit = 0; bit < 8; ++bit)
            if (mask >> bit & 1) table.indices[mask] |= std::uint64_t{bit} << (8 * kept++);
        table.counts[mask] = static_cast<std::uint8_t>(kept);
    }
    return table;
}();

}  // namespace vantorq::base64::generic
