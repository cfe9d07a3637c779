#pragma once
// Lenient Base64 decoding, as the interpreter decodes without strict mode:
// bytes outside the alphabet are skipped, "=" may end the data once a quantum
// is complete, and every input whose fate the interpreter decides by an error
// is reported as not handled, so that the caller can let the interpreter
// raise it. Clean runs between noise bytes go through the vector decoders.

#include <cstddef>
#include <cstdint>

#include "base64/alphabet.hpp"
#include "base64/outcome.hpp"
#include "base64/runtime_dispatch.hpp"

namespace vantorq::base64::lenient {

struct LenientOptions {
    // Standard, or Mixed for URL-safe text (both spellings of 62 and 63 count).
    DecodeAlphabet alphabet = DecodeAlphabet::Standard;
    // A final group of 2 or 3 symbols needs "=" to complete it.
    bool padded = true;
    // Symbols after completed padding are decoded too, as interpreters with
    // the fixed tail handling do; older ones stop at that "=".
    bool decodes_past_padding = true;
};

// The decoder itself: writes at most `capacity` bytes.
DecodeOutcome decode_lenient_to_ptr(const unsigned char* src, std::size_t len, unsigned char* dst,
                                    std::size_t capacity, const LenientOptions& options,
                                    const runtime_dispatch::RuntimeBackend& kernels = runtime_dispatch::selected_backend());

// A capacity that holds the decoding of any input of this text: no counting
// pass, at most a few bytes above the exact size unless the text is noisy.
std::size_t lenient_capacity(const unsigned char* src, std::size_t len, const LenientOptions& options);

// Decodes into a destination of `size` bytes: directly when the capacity
// above fits, else after counting the symbols exactly; a destination smaller
// than the exact size gives DestinationTooSmall with that size, before any write.
DecodeOutcome decode_lenient_slice_into(
    const unsigned char* src, std::size_t len, unsigned char* dst, std::size_t size, const LenientOptions& options,
    const runtime_dispatch::RuntimeBackend& kernels = runtime_dispatch::selected_backend());

}  // namespace vantorq::base64::lenient
