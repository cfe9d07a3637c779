#include "base64/lenient.hpp"

#include <algorithm>
#include <optional>

#include "backend/bytes.hpp"
#include "base64/lengths.hpp"
#include "base64/scan.hpp"
#include "base64/staging.hpp"

namespace vantorq::base64::lenient {
namespace {

using runtime_dispatch::RuntimeBackend;

scan::ExtraSymbols extra_symbols(DecodeAlphabet alphabet) {
    if (alphabet == DecodeAlphabet::Standard) return {};
    return {'-', '_'};
}

constexpr DecodeOutcome decoded(std::size_t count) { return DecodeOutcome::written(count); }
constexpr DecodeOutcome exhausted(std::size_t required = 0) { return DecodeOutcome::too_small(required); }
constexpr DecodeOutcome not_handled() { return DecodeOutcome::not_handled(); }

// Interpreters without the fixed tail handling stop at the "=" that
// completes a quantum: the text up to and including it, or all of it.
std::size_t data_end(const unsigned char* src, std::size_t len, const LenientOptions& options,
                     const RuntimeBackend& kernels) {
    const unsigned char* first_pad = options.padded ? backend::find_byte(src, len, PAD) : nullptr;
    if (first_pad == nullptr) return len;
    const scan::ExtraSymbols extra = extra_symbols(options.alphabet);
    // Where no symbol follows the first "=" (final padding, and any noise
    // after it), the whole text has the same symbols: it decodes to the same
    // bytes, or is refused and handed to the interpreter, which stops there.
    // The run-by-run search below costs noisy text more than its decoding.
    if (std::none_of(first_pad, src + len, [extra](unsigned char byte) { return scan::is_symbol(byte, extra); }))
        return len;
    const auto symbol_prefix = kernels.byte_kernels.symbol_prefix;
    std::size_t symbols = 0, pads = 0, i = 0;
    while (i < len) {
        const std::size_t run = symbol_prefix(src + i, len - i, extra);
        if (run != 0) pads = 0;
        symbols += run;
        i += run;
        if (i == len) break;
        if (src[i++] == PAD && symbols % 4 >= 2 && symbols % 4 + ++pads >= 4) return i;
    }
    return len;
}

using staging::trailing_pads;

// Whether the interpreter accepts a text of `symbols` symbols ending in `pads` "=".
bool complete(std::size_t symbols, std::size_t pads, const LenientOptions& options) {
    return staging::complete(symbols, pads, options.padded);
}

// The symbols the decoding of this text consumes, or nothing when the
// interpreter raises instead: the checks of decode_lenient_to_ptr's end,
// without decoding.
std::optional<std::size_t> exact_symbol_count(const unsigned char* src, std::size_t len,
                                              const LenientOptions& options, const RuntimeBackend& kernels) {
    if (!options.decodes_past_padding) len = data_end(src, len, options, kernels);
    const std::size_t symbols = kernels.symbol_count(src, len, extra_symbols(options.alphabet));
    if (!complete(symbols, trailing_pads(src, len, decode_table(options.alphabet)), options)) return std::nullopt;
    return symbols;
}

// Texts up to this length are decoded in one pass of table lookups: between
// interpreter calls the vector set-up of the staged path costs more than it
// saves (two encodebytes lines, 134 characters: 154 ns a call staged, 147 in
// one pass, pybase64 145-152). At 256 characters the staged path is ahead.
constexpr std::size_t SHORT_TEXT = 192;
// Where noisy text is gathered in one pass the staged path wins from about
// 100 characters (Zen 4, ns a call, encodebytes text / a space every 4,
// limit 192 against 96):
//   characters    100              128              160              192
//   192           134-148/150-152  143-145/176-194  156-159/191-193  161-192/157-169
//   96            140-141/138-141  141-143/146      137-142/157-160  147-148/153-156
constexpr std::size_t SHORT_TEXT_GATHERING = 96;

std::size_t short_text(const RuntimeBackend& kernels) {
    return staging::gathers_in_one_pass(kernels) ? SHORT_TEXT_GATHERING : SHORT_TEXT;
}

// The staged decoder's results for a short text, byte for byte: every symbol
// in order as one run, the end checks after the whole quanta. Whole quanta
// of four symbols in a row go four at a time; noise and split quanta byte by byte.
DecodeOutcome decode_short(const unsigned char* src, std::size_t len, unsigned char* dst, std::size_t capacity,
                           const LenientOptions& options) {
    const DecodeTable& table = decode_table(options.alphabet);
    unsigned char out[SHORT_TEXT / 4 * 3];
    std::uint32_t group = 0;
    std::size_t symbols = 0, written = 0, i = 0;
    const auto put_group = [&] {
        out[written] = static_cast<unsigned char>(group >> 16);
        out[written + 1] = static_cast<unsigned char>(group >> 8);
        out[written + 2] = static_cast<unsigned char>(group);
        written += 3;
    };
    while (i < len) {
        if (symbols % 4 == 0) {
            while (len - i >= 4) {
                const std::uint8_t a = table[src[i]], b = table[src[i + 1]], c = table[src[i + 2]],
                                   d = table[src[i + 3]];
                if ((a | b | c | d) & INVALID_SYMBOL_BIT) {
                    // Noise between quanta (a space or a line break between
                    // groups) is passed over without leaving the quantum loop.
                    if (!(a & INVALID_SYMBOL_BIT)) break;
                    ++i;
                    continue;
                }
                group = std::uint32_t{a} << 18 | std::uint32_t{b} << 12 | std::uint32_t{c} << 6 | d;
                put_group();
                symbols += 4;
                i += 4;
            }
            if (i == len) break;
        }
        const std::uint8_t value = table[src[i++]];
        if (value & INVALID_SYMBOL_BIT) continue;
        group = group << 6 | value;
        if (++symbols % 4 == 0) put_group();
    }
    if (written > capacity) return exhausted();
    if (!complete(symbols, trailing_pads(src, len, table), options)) return not_handled();
    // A final 2 or 3 symbols give 1 or 2 bytes; their unused low bits are dropped.
    const std::size_t partial = symbols % 4;
    if (partial >= 2) {
        group <<= 6 * (4 - partial);
        out[written] = static_cast<unsigned char>(group >> 16);
        if (partial == 3) out[written + 1] = static_cast<unsigned char>(group >> 8);
        written += partial - 1;
    }
    if (written > capacity) return exhausted();
    std::memcpy(dst, out, written);
    return decoded(written);
}

}  // namespace

DecodeOutcome decode_lenient_to_ptr(const unsigned char* src, std::size_t len, unsigned char* dst,
                                    std::size_t capacity, const LenientOptions& options,
                                    const RuntimeBackend& kernels) {
    if (!options.decodes_past_padding) len = data_end(src, len, options, kernels);
    if (len <= short_text(kernels)) return decode_short(src, len, dst, capacity, options);
    const scan::ExtraSymbols extra = extra_symbols(options.alphabet);
    const auto compact_symbols = kernels.byte_kernels.compact_symbols;
    // The symbols of the text decode as one run.
    staging::StagingWriter writer(dst, capacity, options.alphabet, std::nullopt, kernels);
    const auto compact = [&](const unsigned char* from, std::size_t count, unsigned char* to, std::size_t room) {
        return compact_symbols(from, count, to, room, extra);
    };
    const auto gathered = writer.gather(src, len, std::nullopt, compact);
    if (gathered != DecodeStatus::Written) return exhausted();
    if (!complete(writer.pending(), trailing_pads(src, len, decode_table(options.alphabet)), options))
        return not_handled();
    if (!writer.finish()) return exhausted();
    return decoded(writer.written());
}

std::size_t lenient_capacity(const unsigned char* src, std::size_t len, const LenientOptions& options) {
    return staging::output_bound(src, len, decode_table(options.alphabet));
}

DecodeOutcome decode_lenient_slice_into(const unsigned char* src, std::size_t len, unsigned char* dst,
                                        std::size_t size, const LenientOptions& options,
                                        const RuntimeBackend& kernels) {
    if (size < lenient_capacity(src, len, options)) {
        const auto symbols = exact_symbol_count(src, len, options, kernels);
        if (!symbols) return not_handled();
        const std::size_t required = symbols_decoded_length(*symbols);
        if (size < required) return exhausted(required);
    }
    return decode_lenient_to_ptr(src, len, dst, size, options, kernels);
}

}  // namespace vantorq::base64::lenient
