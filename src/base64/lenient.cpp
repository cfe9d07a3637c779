#include "base64/lenient.hpp"

#include <algorithm>
#include <cstring>
#include <optional>

#include "base64/decode.hpp"
#include "base64/runtime_dispatch.hpp"
#include "base64/scan.hpp"

namespace vantorq::base64::lenient {
namespace {

using backend::Tier;

// Table entries of symbols are below 64; every other byte maps to 255.
constexpr std::uint8_t NOT_A_SYMBOL = 0x80;
// A direct vector attempt on less text costs more than gathering it.
constexpr std::size_t DIRECT_MIN_TEXT = 64;
// Symbols gathered before each decoding step: small enough for the stack,
// large enough that the vector decoder runs long.
constexpr std::size_t STAGE_SYMBOLS = 4096;
// The vector kernels write at most 12 bytes per 16 characters they consume.
constexpr std::size_t VECTOR_BYTES_PER_BLOCK = 12, VECTOR_BLOCK = 16;

scan::ExtraSymbols extra_symbols(DecodeAlphabet alphabet) {
    if (alphabet == DecodeAlphabet::Standard) return {};
    return {'-', '_'};
}

// The bytes that `symbols` symbols decode to; a lone symbol past the whole
// quanta decodes to nothing.
constexpr std::size_t decoded_size(std::size_t symbols) {
    const std::size_t partial = symbols % 4;
    return symbols / 4 * 3 + (partial == 0 ? 0 : partial - 1);
}

LenientResult decoded(std::size_t count) { return {LenientStatus::Decoded, count}; }
LenientResult exhausted(std::size_t required = 0) { return {LenientStatus::CapacityExhausted, required}; }
LenientResult not_handled() { return {LenientStatus::NotHandled, 0}; }

// Interpreters without the fixed tail handling stop at the "=" that
// completes a quantum: the text up to and including it, or all of it.
std::size_t data_end(const unsigned char* src, std::size_t len, const LenientOptions& options) {
    if (!options.padded || std::memchr(src, PAD, len) == nullptr) return len;
    const auto& table = decode_table(options.alphabet);
    std::size_t symbols = 0, pads = 0;
    for (std::size_t i = 0; i < len; ++i) {
        if (src[i] == PAD) {
            if (symbols % 4 >= 2 && symbols % 4 + ++pads >= 4) return i + 1;
        } else if (!(table[src[i]] & NOT_A_SYMBOL)) {
            ++symbols;
            pads = 0;
        }
    }
    return len;
}

// The "=" after the last symbol, which may complete the final quantum; other
// bytes between them do not count.
std::size_t trailing_pads(const unsigned char* src, std::size_t len, const DecodeTable& table) {
    std::size_t pads = 0;
    for (std::size_t i = len; i > 0 && (table[src[i - 1]] & NOT_A_SYMBOL); --i) pads += src[i - 1] == PAD;
    return pads;
}

// Whether the interpreter accepts a text of `symbols` symbols ending in `pads` "=".
bool complete(std::size_t symbols, std::size_t pads, const LenientOptions& options) {
    const std::size_t partial = symbols % 4;
    return partial != 1 && !(options.padded && partial >= 2 && partial + pads < 4);
}

// The symbols the decoding of this text consumes, or nothing when the
// interpreter raises instead: the checks of decode_lenient_to_ptr's end,
// without decoding.
std::optional<std::size_t> exact_symbol_count(const unsigned char* src, std::size_t len,
                                              const LenientOptions& options) {
    if (!options.keep_going) len = data_end(src, len, options);
    const std::size_t symbols = scan::symbol_count(src, len, extra_symbols(options.alphabet));
    if (!complete(symbols, trailing_pads(src, len, decode_table(options.alphabet)), options)) return std::nullopt;
    return symbols;
}

}  // namespace

LenientResult decode_lenient_to_ptr(const unsigned char* src, std::size_t len, unsigned char* dst,
                                    std::size_t capacity, const LenientOptions& options) {
    if (!options.keep_going) len = data_end(src, len, options);
    const DecodeTable& table = decode_table(options.alphabet);
    const backend::RuntimeBackend& vector_backend = backend::selected_backend();
    const scan::ExtraSymbols extra = extra_symbols(options.alphabet);
    const auto compact_symbols = scan::decode_byte_kernels().compact_symbols;
    // The symbols of the text are decoded as one run: gathered into a staging
    // block, which is decoded by whole quanta; the 0 to 3 symbols left over
    // move to its front.
    alignas(64) unsigned char stage[STAGE_SYMBOLS];
    std::size_t staged = 0, i = 0, out = 0;
    while (i < len) {
        if (staged == 0 && vector_backend.tier != Tier::Scalar && len - i >= DIRECT_MIN_TEXT) {
            // At a quantum boundary a clean run decodes straight from the text.
            const std::size_t chunk = std::min(len - i, (capacity - out) / VECTOR_BYTES_PER_BLOCK * VECTOR_BLOCK);
            const auto prefix = decode::vector_decode_prefix(vector_backend, options.alphabet, src + i, chunk, dst + out);
            i += prefix.consumed;
            out += prefix.written;
        }
        const auto gathered = compact_symbols(src + i, len - i, stage + staged, STAGE_SYMBOLS - staged, extra);
        i += gathered.consumed;
        staged += gathered.written;
        const std::size_t whole = staged / 4 * 4;
        if (capacity - out < whole / 4 * 3) return exhausted();
        decode::decode_to_ptr_with_layout_mode(stage, whole, dst + out, 0, options.alphabet);
        out += whole / 4 * 3;
        std::memmove(stage, stage + whole, staged - whole);
        staged -= whole;
    }

    if (!complete(staged, trailing_pads(src, len, table), options)) return not_handled();
    if (staged >= 2) {
        if (capacity - out < staged - 1) return exhausted();
        const std::uint8_t a = table[stage[0]], b = table[stage[1]];
        dst[out++] = static_cast<unsigned char>(a << 2 | b >> 4);
        if (staged == 3) dst[out++] = static_cast<unsigned char>(b << 4 | table[stage[2]] >> 2);
    }
    return decoded(out);
}

std::size_t lenient_capacity(const unsigned char* src, std::size_t len, const LenientOptions& options) {
    const DecodeTable& table = decode_table(options.alphabet);
    std::size_t first = 0;
    while (first < len && (table[src[first]] & NOT_A_SYMBOL)) ++first;
    std::size_t end = len;
    // Trailing "=" (at most the two that padding has) decode to nothing.
    for (int pad = 0; pad < 2 && end > first && src[end - 1] == PAD; ++pad) --end;
    return decoded_size(end - first);
}

LenientResult decode_lenient_slice_into(const unsigned char* src, std::size_t len, unsigned char* dst,
                                        std::size_t size, const LenientOptions& options) {
    if (size < lenient_capacity(src, len, options)) {
        const auto symbols = exact_symbol_count(src, len, options);
        if (!symbols) return not_handled();
        const std::size_t required = decoded_size(*symbols);
        if (size < required) return exhausted(required);
    }
    return decode_lenient_to_ptr(src, len, dst, size, options);
}

}  // namespace vantorq::base64::lenient
