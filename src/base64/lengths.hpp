#pragma once
// Output sizes. Callers size every destination by these rules before they
// call the codec, which never checks a capacity itself.

#include <cstddef>

namespace vantorq::base64 {

// 4 * ceil(n / 3), written so that no intermediate exceeds the result.
[[gnu::always_inline]] constexpr std::size_t padded_encoded_length(std::size_t n) {
    return n / 3 * 4 + (n % 3 != 0 ? 4 : 0);
}

// The "=" characters that end the encoding of n bytes: 0, 2 or 1.
[[gnu::always_inline]] constexpr std::size_t pad_count(std::size_t n) { return n % 3 == 0 ? 0 : 3 - n % 3; }

[[gnu::always_inline]] constexpr std::size_t unpadded_encoded_length(std::size_t n) {
    return padded_encoded_length(n) - pad_count(n);
}

// One line feed between lines of `wrapcol` characters, none after the last.
[[gnu::always_inline]] constexpr std::size_t wrapped_length(std::size_t encoded, std::size_t wrapcol) {
    return encoded == 0 ? 0 : encoded + (encoded - 1) / wrapcol;
}

// A text of `text_length` characters (a multiple of 4) whose final quantum
// ends in `padding` "=" characters.
[[gnu::always_inline]] constexpr std::size_t decoded_length(std::size_t text_length, std::size_t padding) {
    return text_length / 4 * 3 - padding;
}

// The bytes `symbols` symbols decode to without padding; a lone symbol past
// the whole quanta decodes to nothing.
[[gnu::always_inline]] constexpr std::size_t symbols_decoded_length(std::size_t symbols) {
    return symbols / 4 * 3 + (symbols % 4 == 0 ? 0 : symbols % 4 - 1);
}

}  // namespace vantorq::base64
