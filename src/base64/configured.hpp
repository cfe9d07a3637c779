#pragma once
// Decoding with the interpreter's configured options: a custom alphabet pair,
// bytes to ignore, strict or lenient handling of everything else, optional
// padding and a canonical last quantum. Like the lenient decoder it reports
// every input the interpreter would reject as not handled, so that the
// interpreter raises its own error; it writes nothing for such an input when
// asked to count first.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "base64/alphabet.hpp"
#include "base64/outcome.hpp"
#include "base64/runtime_dispatch.hpp"
#include "base64/scan.hpp"

namespace vantorq::base64::configured {

struct ConfiguredOptions {
    unsigned char c62 = '+';  // the symbols for 62 and 63
    unsigned char c63 = '/';
    bool strict = true;  // bytes outside the alphabet and ignorechars are errors; padding has its strict rules
    bool padded = true;
    bool canonical = false;
    // "+" and "/" stand for 62 and 63 too (URL-safe text as the interpreter
    // reads it once it has rewritten "-" and "_").
    bool also_standard_pair = false;
    std::span<const unsigned char> ignorechars;
};

// Classes of the bytes a configured decoder sees besides the values 0 to 63.
inline constexpr std::uint8_t NOT_ALLOWED = 64, IGNORED = 65;

class ConfiguredDecoder {
public:
    // Nothing for a pair the interpreter must judge itself (one that repeats
    // a symbol, or holds "="). The decoder runs `kernels`, which must outlive it.
    static std::optional<ConfiguredDecoder> create(
        const ConfiguredOptions& options,
        const runtime_dispatch::RuntimeBackend& kernels = runtime_dispatch::selected_backend());

    // An upper bound of the output of any accepted text, without counting.
    std::size_t capacity(const unsigned char* src, std::size_t len) const;
    // Decodes into at most `capacity` bytes; output of a rejected text is
    // unspecified.
    DecodeOutcome decode(const unsigned char* src, std::size_t len, unsigned char* dst, std::size_t capacity) const;
    // The exact output size of an accepted text, found without writing.
    std::optional<std::size_t> decoded_size(const unsigned char* src, std::size_t len) const;

private:
    explicit ConfiguredDecoder(const runtime_dispatch::RuntimeBackend& kernels) : kernels_(&kernels) {}
    // One pass over the text into `writer` (which decodes or only counts);
    // NotHandled when the interpreter would reject it.
    template <class Writer>
    DecodeStatus scan(const unsigned char* src, std::size_t len, Writer& writer) const;
    // The vector scanner (compaction) and the byte-wise one (any ignorechars,
    // any bytes); both count the "=" after the last symbol and, under strict
    // padding, all of them.
    template <class Writer>
    DecodeStatus scan_vector(const unsigned char* src, std::size_t len, Writer& writer,
                                       std::size_t& pads_after, std::size_t& pads_total) const;
    template <class Writer>
    DecodeStatus scan_bytes(const unsigned char* src, std::size_t len, Writer& writer,
                                      std::size_t& pads_after, std::size_t& pads_total) const;
    bool finish_strict(std::size_t partial, std::size_t pads_after, std::size_t pads_total,
                       std::uint8_t last_value) const;
    bool vector_scan_applies(const unsigned char* src, std::size_t len) const;

    const runtime_dispatch::RuntimeBackend* kernels_;
    DecodeTable classes_{};  // per byte: its value, NOT_ALLOWED or IGNORED
    bool strict_ = true;
    bool padded_ = true;
    bool canonical_ = false;
    // "=" follows the strict placement rules (strict, and not ignored).
    bool strict_padding_ = false;
    // The ignored bytes that are not symbols, for the vector scanner; with
    // more than fits, the byte-wise scanner runs.
    scan::AllowedNoise noise_{};
    bool noise_fits_ = true;
    scan::ExtraSymbols extra_{};
    DecodeAlphabet alphabet_ = DecodeAlphabet::Standard;
    std::optional<scan::ByteMapping> translation_;
};

// Counts first, then writes: a rejected text or a destination smaller than
// the exact size (DestinationTooSmall with that size) leaves it untouched.
DecodeOutcome decode_configured_into(const ConfiguredDecoder& decoder, const unsigned char* src, std::size_t len,
                                     unsigned char* dst, std::size_t size);

}  // namespace vantorq::base64::configured
