#pragma once
// One Base64 encode request: an alphabet, padding and line wrapping, sized
// and encoded here. The caller provides the output.

#include <cstddef>
#include <optional>

#include "base64/alphabet.hpp"
#include "base64/lengths.hpp"
#include "base64/runtime_dispatch.hpp"

namespace vantorq::base64 {

// What the output memory is: a new result that nothing has touched yet, or
// a destination the caller reuses (and likely reads again soon).
enum class Output : std::uint8_t { New, Reused };

class Encoder {
public:
    // `wrapcol` as the interpreter takes it: 0 for one line, else characters
    // per line, rounded down to a multiple of 4 and at least 4. It encodes
    // with `kernels`, which must outlive it.
    Encoder(const EncodeAlphabet& alphabet, bool padded, std::size_t wrapcol = 0,
            const runtime_dispatch::RuntimeBackend& kernels = runtime_dispatch::selected_backend());

    // The whole output, or nothing when it exceeds `limit`. Inline: called
    // once per item of a list, where an optional returned through memory
    // from a call stalls on its store.
    std::optional<std::size_t> encoded_size(std::size_t input_length, std::size_t limit) const {
        const std::size_t size =
            line_length_ != 0 ? wrapped_length(characters(input_length), line_length_) : characters(input_length);
        if (size > limit) return std::nullopt;
        return size;
    }
    // Writes encoded_size(length) bytes.
    void encode(const unsigned char* src, std::size_t length, unsigned char* dst, Output output) const;

private:
    // Characters before wrapping.
    std::size_t characters(std::size_t input_length) const {
        return padded_ ? padded_encoded_length(input_length) : unpadded_encoded_length(input_length);
    }
    void encode_unwrapped(const unsigned char* src, std::size_t length, unsigned char* dst, bool cached) const;

    const runtime_dispatch::RuntimeBackend* kernels_;
    EncodeAlphabet alphabet_;
    bool padded_;
    std::size_t line_length_;  // 0: one line
};

}  // namespace vantorq::base64
