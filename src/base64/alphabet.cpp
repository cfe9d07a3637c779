#include "base64/alphabet.hpp"

#include <algorithm>

namespace vantorq::base64 {

const DecodeTable& decode_table(DecodeAlphabet alphabet) {
    switch (alphabet) {
        case DecodeAlphabet::Standard:
            return STANDARD_DECODE_TABLE;
        case DecodeAlphabet::UrlSafe:
            return URL_SAFE_DECODE_TABLE;
        default:
            return MIXED_DECODE_TABLE;
    }
}

EncodeAlphabet EncodeAlphabet::with_altchars(unsigned char c62, unsigned char c63) {
    if (c62 == '-' && c63 == '_') return URL_SAFE_ENCODE_ALPHABET;
    Symbols symbols = STANDARD_SYMBOLS;
    symbols[62] = c62;
    symbols[63] = c63;
    return {Kind::Custom, symbols, offsets_with(c62, c63)};
}

EncodeAlphabet EncodeAlphabet::from_symbols(const Symbols& symbols) {
    if (symbols == STANDARD_SYMBOLS) return STANDARD_ENCODE_ALPHABET;
    if (symbols == URL_SAFE_SYMBOLS) return URL_SAFE_ENCODE_ALPHABET;
    const bool standard_prefix = std::equal(symbols.begin(), symbols.begin() + 62, STANDARD_SYMBOLS.begin());
    if (!standard_prefix) return {Kind::CustomScalarOnly, symbols, OffsetTable{}};
    return {Kind::Custom, symbols, offsets_with(symbols[62], symbols[63])};
}

}  // namespace vantorq::base64
