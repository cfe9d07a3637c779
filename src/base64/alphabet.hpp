#pragma once
// The Base64 alphabets: encode symbols, the vector encoders' offset tables and
// the 256-entry decode tables.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace vantorq::base64 {

using Symbols = std::array<unsigned char, 64>;
// Signed per-class offsets added to 6-bit values by the SSSE3 and AVX2 encoders
// (classes: 0..25, 26..51, each digit 52..61, 62, 63).
using OffsetTable = std::array<std::int8_t, 16>;
using DecodeTable = std::array<std::uint8_t, 256>;

inline constexpr unsigned char PAD = '=';
inline constexpr unsigned char LINE_FEED = '\n';
inline constexpr std::uint8_t INVALID_SYMBOL = 255;
// Set in INVALID_SYMBOL and clear in every symbol's value (below 64): one OR
// of several lookups tells whether any of them missed.
inline constexpr std::uint8_t INVALID_SYMBOL_BIT = 0x80;

// Whether an entry of a decode or class table is a symbol's value; every
// other entry is 64 or more.
[[gnu::always_inline]] constexpr bool is_symbol_value(std::uint8_t entry) { return entry < 64; }

inline constexpr std::string_view COMMON_SYMBOLS = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";

consteval Symbols symbols_with(char c62, char c63) {
    Symbols symbols{};
    for (std::size_t i = 0; i < COMMON_SYMBOLS.size(); ++i) symbols[i] = static_cast<unsigned char>(COMMON_SYMBOLS[i]);
    symbols[62] = static_cast<unsigned char>(c62);
    symbols[63] = static_cast<unsigned char>(c63);
    return symbols;
}

inline constexpr Symbols STANDARD_SYMBOLS = symbols_with('+', '/');
inline constexpr Symbols URL_SAFE_SYMBOLS = symbols_with('-', '_');

// Offsets that turn the values of the first 62 symbols into characters; the
// last two entries before the unused pair carry the characters for 62 and 63.
constexpr OffsetTable offsets_with(unsigned char c62, unsigned char c63) {
    return {65, 71, -4, -4, -4, -4, -4, -4, -4, -4, -4, -4,
            static_cast<std::int8_t>(static_cast<unsigned char>(c62 - 62)),
            static_cast<std::int8_t>(static_cast<unsigned char>(c63 - 63)), 0, 0};
}

inline constexpr OffsetTable STANDARD_OFFSETS = offsets_with('+', '/');
inline constexpr OffsetTable URL_SAFE_OFFSETS = offsets_with('-', '_');

// The two symbols standing for 62 and 63 in place of "+" and "/".
struct AltcharPair {
    unsigned char c62;
    unsigned char c63;

    constexpr bool is_standard() const { return c62 == '+' && c63 == '/'; }
    constexpr bool is_url_safe() const { return c62 == '-' && c63 == '_'; }
};

// Which decode table a decoder reads. Any value other than 0 and 1 selects
// the mixed table, which accepts both the standard and the URL-safe symbols.
enum class DecodeAlphabet : std::uint8_t { Standard = 0, UrlSafe = 1, Mixed = 2 };

consteval DecodeTable decode_table_of(const Symbols& symbols, bool also_url_safe) {
    DecodeTable table{};
    table.fill(INVALID_SYMBOL);
    for (std::size_t value = 0; value < symbols.size(); ++value) table[symbols[value]] = static_cast<std::uint8_t>(value);
    if (also_url_safe) {
        table['-'] = 62;
        table['_'] = 63;
    }
    return table;
}

inline constexpr DecodeTable STANDARD_DECODE_TABLE = decode_table_of(STANDARD_SYMBOLS, false);
inline constexpr DecodeTable URL_SAFE_DECODE_TABLE = decode_table_of(URL_SAFE_SYMBOLS, false);
inline constexpr DecodeTable MIXED_DECODE_TABLE = decode_table_of(STANDARD_SYMBOLS, true);

const DecodeTable& decode_table(DecodeAlphabet alphabet);

// The encoder's alphabet record.
struct EncodeAlphabet {
    enum class Kind : std::uint8_t {
        CustomScalarOnly = 0,  // first 62 symbols differ from the standard ones: offsets are meaningless
        Custom = 1,            // first 62 symbols are the standard ones: vector tiers may use the offsets
        Standard = 2,
        UrlSafe = 3,
    };

    Kind kind = Kind::Standard;
    Symbols symbols = STANDARD_SYMBOLS;
    OffsetTable offsets = STANDARD_OFFSETS;

    // The standard alphabet with its last two symbols replaced; "-" "_" is the
    // URL-safe alphabet, every other pair (even "+" "/") a custom record.
    static EncodeAlphabet with_altchars(unsigned char c62, unsigned char c63);
    // Classifies 64 given symbols as standard, URL-safe or custom.
    static EncodeAlphabet from_symbols(const Symbols& symbols);

    bool vector_capable() const { return kind != Kind::CustomScalarOnly; }
};

inline constexpr EncodeAlphabet STANDARD_ENCODE_ALPHABET{EncodeAlphabet::Kind::Standard, STANDARD_SYMBOLS,
                                                         STANDARD_OFFSETS};
inline constexpr EncodeAlphabet URL_SAFE_ENCODE_ALPHABET{EncodeAlphabet::Kind::UrlSafe, URL_SAFE_SYMBOLS,
                                                         URL_SAFE_OFFSETS};

}  // namespace vantorq::base64
