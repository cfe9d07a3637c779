// Base64 encoding: the Encoder with every alphabet kind, with and without
// padding and line wrapping, from a source and into a destination of exactly
// their sizes; and the decoding of each output gives the source back.
// Input: alphabet choice and its two symbols, padding, wrapcol, output kind,
// streaming, source.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <cctype>

#include "base64/encoder.hpp"
#include "base64/runtime_dispatch.hpp"
#include "exact_sink.hpp"
#include "tier.hpp"

namespace vantorq::fuzz {
namespace {

using base64::EncodeAlphabet;

// A pair the decoder can read back: two distinct bytes that are neither
// letters, digits, "=" nor a line feed.
bool decodable_pair(unsigned char c62, unsigned char c63) {
    const auto free = [](unsigned char c) { return !std::isalnum(c) && c != '=' && c != '\n'; };
    return c62 != c63 && free(c62) && free(c63);
}

}  // namespace

std::string transcript(Input input, const backend::Processor& tier) {
    auto table = base64::runtime_dispatch::for_processor(tier);
    FuzzedDataProvider provider(input.data(), input.size());
    const int kind = provider.ConsumeIntegralInRange(0, 3);
    const auto c62 = provider.ConsumeIntegral<unsigned char>(), c63 = provider.ConsumeIntegral<unsigned char>();
    const bool padded = provider.ConsumeBool();
    // 0 (one line) and every line length up to two registers' worth, 4 to 7 among them.
    const std::size_t wrapcol = provider.ConsumeIntegralInRange<std::size_t>(0, 140);
    const auto output = provider.ConsumeBool() ? base64::Output::New : base64::Output::Reused;
    // The tiers' own threshold lies far beyond a fuzzed source: from the
    // first byte on, the encoders that can stream do.
    if (provider.ConsumeBool()) {
        table.streaming_enabled = true;
        table.streaming_threshold = 0;
    }
    const auto bytes = provider.ConsumeRemainingBytes<unsigned char>();
    const ExactBlock source({bytes.data(), bytes.size()});

    EncodeAlphabet alphabet = base64::STANDARD_ENCODE_ALPHABET;
    std::optional<base64::AltcharPair> pair;
    switch (kind) {
        case 1:
            alphabet = base64::URL_SAFE_ENCODE_ALPHABET;
            pair = base64::AltcharPair{'-', '_'};
            break;
        case 2:
            alphabet = EncodeAlphabet::with_altchars(c62, c63);
            pair = base64::AltcharPair{c62, c63};
            break;
        case 3: {
            // A rotated alphabet: no vector tier can encode it.
            base64::Symbols symbols = base64::STANDARD_SYMBOLS;
            std::rotate(symbols.begin(), symbols.begin() + 1 + c62 % 63, symbols.end());
            alphabet = EncodeAlphabet::from_symbols(symbols);
            break;
        }
    }
    const base64::Encoder encoder(alphabet, padded, wrapcol, table);
    const std::optional<std::size_t> size = encoder.encoded_size(source.size(), SIZE_MAX);
    require(size.has_value(), "no encoded size below SIZE_MAX");
    ExactBlock encoded(*size);
    encoder.encode(source.data(), source.size(), encoded.data(), output);

    std::string out;
    note(out, "encoded", {*size}, encoded.first(*size));

    if (kind != 3 && (kind != 2 || decodable_pair(c62, c63))) {
        base64::DecoderOptions options;
        options.altchars = pair;
        options.padded = padded;
        ExactSink sink(false);
        const base64::DecodeOutcome decoded = base64::Decoder(options, table).decode(encoded.first(*size), sink);
        require(decoded.status == base64::DecodeStatus::Written, "an encoder's output is not decoded");
        const auto back = sink.written(decoded.count);
        require(std::equal(back.begin(), back.end(), bytes.begin(), bytes.end()),
                "decoding an encoder's output does not give its source");
    }
    return out;
}

}  // namespace vantorq::fuzz
