#pragma once
// What a vector decode kernel accepts and how it turns characters into 6-bit
// values. Each contract is a compile-time variant of every kernel; the types
// hold constant data only, so that no code compiled for one instruction set
// can be shared with another through them.

#include <array>
#include <cstddef>
#include <cstdint>

#include "base64/alphabet.hpp"

namespace vantorq::base64::decode {

// A byte is valid exactly when LOW_NIBBLE_CLASSES[byte & 15] AND
// HIGH_NIBBLE_CLASSES[byte >> 4] is zero. Each high-nibble row has one bit;
// a low-nibble entry sets the bit of every row in which that nibble is not a
// symbol. Bit 0x20 marks the rows without any symbol (controls, the space row
// and every byte from 0x80), which is why every low entry carries it.
using NibbleClasses = std::array<std::uint8_t, 16>;
// Added to a character to give its value, indexed by its high nibble (only 0..7 occur).
using Adjustments = std::array<std::int8_t, 16>;

struct StandardDecoder {
    static constexpr DecodeAlphabet ALPHABET = DecodeAlphabet::Standard;
    static constexpr bool CHECKS_INPUT = true;
    // Rows: 0x2_ holds "+" and "/", 0x3_ the digits, 0x4_/0x6_ letters from
    // nibble 1 on, 0x5_/0x7_ letters up to nibble A.
    static constexpr NibbleClasses LOW_NIBBLE_CLASSES = {0x25, 0x21, 0x21, 0x21, 0x21, 0x21, 0x21, 0x21,
                                                         0x21, 0x21, 0x23, 0x2a, 0x2b, 0x2b, 0x2b, 0x2a};
    static constexpr NibbleClasses HIGH_NIBBLE_CLASSES = {0x20, 0x20, 0x01, 0x02, 0x04, 0x08, 0x04, 0x08,
                                                          0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20};
    // "+" 43 + 19 = 62; "/" takes row 1 (47 + 16 = 63); digits + 4; "A" - 65; "a" - 71 + 26.
    static constexpr Adjustments ADJUSTMENTS = {0, 16, 19, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0};
    static constexpr bool SLASH_USES_ROW_BELOW = true;
    // Added where the character is "_" resp. "-" after the row adjustment.
    static constexpr std::int8_t UNDERSCORE_CORRECTION = 0;
    static constexpr std::int8_t MINUS_CORRECTION = 0;
};

// "_" (0x5F) is a symbol while DEL (0x7F) is not, so rows 0x5_ and 0x7_ need
// bits of their own (0x08 and 0x10) once "_" is accepted.
struct UrlSafeDecoder {
    static constexpr DecodeAlphabet ALPHABET = DecodeAlphabet::UrlSafe;
    static constexpr bool CHECKS_INPUT = true;
    static constexpr NibbleClasses LOW_NIBBLE_CLASSES = {0x25, 0x21, 0x21, 0x21, 0x21, 0x21, 0x21, 0x21,
                                                         0x21, 0x21, 0x23, 0x3b, 0x3b, 0x3a, 0x3b, 0x33};
    static constexpr NibbleClasses HIGH_NIBBLE_CLASSES = {0x20, 0x20, 0x01, 0x02, 0x04, 0x08, 0x04, 0x10,
                                                          0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20, 0x20};
    // "-" 45 + 17 = 62; "_" 95 - 65 + 33 = 63.
    static constexpr Adjustments ADJUSTMENTS = {0, 0, 17, 4, -65, -65, -71, -71, 0, 0, 0, 0, 0, 0, 0, 0};
    static constexpr bool SLASH_USES_ROW_BELOW = false;
    static constexpr std::int8_t UNDERSCORE_CORRECTION = 33;
    static constexpr std::int8_t MINUS_CORRECTION = 0;
};

// Both spellings of 62 and 63: the standard translation, with "-" (45 + 19 - 2)
// and "_" (95 - 65 + 33) corrected afterwards.
struct MixedDecoder {
    static constexpr DecodeAlphabet ALPHABET = DecodeAlphabet::Mixed;
    static constexpr bool CHECKS_INPUT = true;
    static constexpr NibbleClasses LOW_NIBBLE_CLASSES = {0x25, 0x21, 0x21, 0x21, 0x21, 0x21, 0x21, 0x21,
                                                         0x21, 0x21, 0x23, 0x3a, 0x3b, 0x3a, 0x3b, 0x32};
    static constexpr NibbleClasses HIGH_NIBBLE_CLASSES = UrlSafeDecoder::HIGH_NIBBLE_CLASSES;
    static constexpr Adjustments ADJUSTMENTS = StandardDecoder::ADJUSTMENTS;
    static constexpr bool SLASH_USES_ROW_BELOW = true;
    static constexpr std::int8_t UNDERSCORE_CORRECTION = 33;
    static constexpr std::int8_t MINUS_CORRECTION = -2;
};

// Text that an earlier pass has proven to be standard symbols: translation only.
struct ValidatedStandardDecoder : StandardDecoder {
    static constexpr bool CHECKS_INPUT = false;
};

// How far a prefix decoder got: every character before `consumed` was valid
// and is decoded into `written` = consumed / 4 * 3 bytes.
struct DecodedPrefix {
    std::size_t consumed = 0;
    std::size_t written = 0;
    friend bool operator==(const DecodedPrefix&, const DecodedPrefix&) = default;
};

}  // namespace vantorq::base64::decode
