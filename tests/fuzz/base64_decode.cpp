// Base64 decoding: the Decoder with fuzzer-chosen options, into a sink and
// into a fixed destination; the lenient, configured and strict decoders it
// routes to, called directly; and this tier's vector and scan kernels, whose
// partial progress must agree with the scalar decoding of what they took.
// Every destination is exactly as large as promised or given.
// Input: altchars choice and pair, flags, ignorechars, destination shortfall,
// compaction room, text.

#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>
#include <vector>

#include "base64/configured.hpp"
#include "base64/decode.hpp"
#include "base64/decoder.hpp"
#include "base64/lengths.hpp"
#include "base64/lenient.hpp"
#include "base64/runtime_dispatch.hpp"
#include "base64/scan.hpp"
#include "exact_sink.hpp"
#include "tier.hpp"

namespace vantorq::fuzz {
namespace {

using base64::DecodeAlphabet;
using base64::DecodeOutcome;
using base64::DecodeStatus;
using base64::Text;
using base64::runtime_dispatch::RuntimeBackend;

// The widest register a kernel may stop short of the end by.
constexpr std::size_t WIDEST_REGISTER = 64;

void note_outcome(std::string& out, std::string_view label, const DecodeOutcome& outcome,
                  std::span<const unsigned char> written) {
    switch (outcome.status) {
        case DecodeStatus::Written:
            note(out, label, {0, outcome.count}, written);
            return;
        case DecodeStatus::Rejected:
        case DecodeStatus::OutOfMemory:
            note(out, label, {static_cast<std::uint64_t>(outcome.status)},
                 {reinterpret_cast<const unsigned char*>(outcome.message()), std::strlen(outcome.message())});
            return;
        default:
            note(out, label, {static_cast<std::uint64_t>(outcome.status), outcome.count});
    }
}

// Decodes into a fixed destination of `size` bytes at the end of its block.
template <class Decode>
void into_destination(std::string& out, std::string_view label, std::size_t size, Decode&& decode) {
    ExactBlock destination(size);
    const DecodeOutcome outcome = decode(destination.data(), size);
    require(outcome.status != DecodeStatus::Written || outcome.count <= size, "wrote more than the destination");
    note_outcome(out, label, outcome, destination.first(outcome.status == DecodeStatus::Written ? outcome.count : 0));
}

// The scalar decoding of whole quanta, or nothing when one holds a byte outside the alphabet.
std::optional<std::vector<unsigned char>> scalar_decoding(Text text, DecodeAlphabet alphabet) {
    static const RuntimeBackend SCALAR = base64::runtime_dispatch::for_processor({});
    std::vector<unsigned char> bytes(text.size() / 4 * 3);
    const auto result = base64::decode::decode_to_ptr_with_layout_mode_on(
        SCALAR, text.data(), text.size() / 4 * 4, bytes.data(), 0, alphabet);
    if (!result.ok()) return std::nullopt;
    return bytes;
}

void check_vector_decoders(const ExactBlock& text, DecodeAlphabet alphabet, const RuntimeBackend& backend) {
    const auto whole = scalar_decoding(text.first(text.size()), alphabet);

    ExactBlock prefix_out(text.size() / 4 * 3);
    const auto prefix = base64::decode::vector_decode_prefix(backend, alphabet, text.data(), text.size(),
                                                             prefix_out.data());
    require(prefix.consumed % 4 == 0 && prefix.consumed <= text.size() && prefix.written == prefix.consumed / 4 * 3,
            "a prefix decoder's counts are inconsistent");
    const auto expected = scalar_decoding(text.first(prefix.consumed), alphabet);
    require(expected && std::equal(expected->begin(), expected->end(), prefix_out.data()),
            "a prefix decoder differs from the scalar decoding of what it took");

    ExactBlock all_out(text.size() / 4 * 3);
    const auto all = base64::decode::vector_decode(backend, alphabet, text.data(), text.size(), all_out.data());
    if (!all.ok()) {
        require(!whole, "a vector decoder rejects valid text");
        return;
    }
    require(all.consumed % 4 == 0 && all.consumed <= text.size() && all.written == all.consumed / 4 * 3,
            "a vector decoder's counts are inconsistent");
    const auto taken = scalar_decoding(text.first(all.consumed), alphabet);
    require(taken && std::equal(taken->begin(), taken->end(), all_out.data()),
            "a vector decoder differs from the scalar decoding of what it took");
}

bool allowed(unsigned char byte, base64::scan::ExtraSymbols extra, const base64::scan::AllowedNoise& noise) {
    return base64::scan::is_symbol(byte, extra) || std::count(noise.bytes, noise.bytes + 4, byte) != 0;
}

// One call of a compaction kernel: what it consumed, filtered, is what it
// wrote, and it stopped at most a register short of the end or the room.
void check_compaction(const ExactBlock& text, std::size_t room, base64::scan::ExtraSymbols extra,
                      const base64::scan::AllowedNoise& noise, bool checked, const RuntimeBackend& backend) {
    const auto& kernels = backend.byte_kernels;
    ExactBlock symbols(room);
    const auto compacted = checked ? kernels.compact_symbols_checked(text.data(), text.size(), symbols.data(), room,
                                                                     extra, noise)
                                   : kernels.compact_symbols(text.data(), text.size(), symbols.data(), room, extra);
    require(compacted.consumed <= text.size() && compacted.written <= room, "a compaction overran");
    std::vector<unsigned char> expected;
    for (std::size_t i = 0; i < compacted.consumed; ++i) {
        const unsigned char byte = text.data()[i];
        if (base64::scan::is_symbol(byte, extra)) expected.push_back(byte);
        require(!checked || allowed(byte, extra, noise), "a checked compaction passed a disallowed byte");
    }
    require(std::equal(expected.begin(), expected.end(), symbols.data(), symbols.data() + compacted.written),
            "a compaction's output is not the symbols it consumed");
    if (compacted.disallowed) {
        const auto* end = text.data() + std::min(text.size(), compacted.consumed + WIDEST_REGISTER);
        require(checked && std::any_of(text.data() + compacted.consumed, end,
                                       [&](unsigned char byte) { return !allowed(byte, extra, noise); }),
                "a compaction stopped at no disallowed byte");
    } else {
        require(text.size() - compacted.consumed < WIDEST_REGISTER || room - compacted.written < WIDEST_REGISTER,
                "a compaction stopped early");
    }
}

}  // namespace

std::string transcript(Input input, const backend::Processor& tier) {
    const RuntimeBackend table = base64::runtime_dispatch::for_processor(tier);
    FuzzedDataProvider provider(input.data(), input.size());
    base64::DecoderOptions options;
    const int altchars = provider.ConsumeIntegralInRange(0, 3);
    const base64::AltcharPair pair{provider.ConsumeIntegral<unsigned char>(),
                                   provider.ConsumeIntegral<unsigned char>()};
    if (altchars == 1) options.altchars = base64::AltcharPair{'+', '/'};
    if (altchars == 2) options.altchars = base64::AltcharPair{'-', '_'};
    if (altchars == 3) options.altchars = pair;
    options.validate = provider.ConsumeBool();
    options.padded = provider.ConsumeBool();
    options.canonical = provider.ConsumeBool();
    options.decodes_past_padding = provider.ConsumeBool();
    options.warns_of_legacy_characters = provider.ConsumeBool();
    const bool detached = provider.ConsumeBool();
    const bool also_standard_pair = provider.ConsumeBool();
    const auto ignorechars = provider.ConsumeBytes<unsigned char>(provider.ConsumeIntegralInRange(0, 6));
    if (provider.ConsumeBool()) options.ignorechars = Text(ignorechars);
    const auto shortfall = provider.ConsumeIntegral<std::uint8_t>();
    const auto room_share = provider.ConsumeIntegral<std::uint8_t>();
    const auto bytes = provider.ConsumeRemainingBytes<unsigned char>();
    const ExactBlock text({bytes.data(), bytes.size()});
    const Text view = text.first(text.size());
    // Around the size of a clean text's decoding, and below it.
    const std::size_t size = view.size() / 4 * 3 + 3 - std::min<std::size_t>(shortfall, view.size() / 4 * 3 + 3);
    const auto alphabet = options.altchars && options.altchars->is_url_safe() ? DecodeAlphabet::Mixed
                                                                              : DecodeAlphabet::Standard;
    std::string out;

    // The whole request.
    const base64::Decoder decoder(options, table);
    ExactSink sink(detached);
    const DecodeOutcome into_sink = decoder.decode(view, sink);
    note_outcome(out, "decoder sink", into_sink,
                 into_sink.status == DecodeStatus::Written ? sink.written(into_sink.count) : Input{});
    into_destination(out, "decoder fixed", size, [&](unsigned char* dst, std::size_t n) {
        return decoder.decode(view, std::span(dst, n));
    });
    const auto warning = decoder.legacy_warning_byte(view);
    note(out, "warning", {warning.value_or(0)});
    const auto translation = decoder.interpreter_text(view);
    note(out, "translation", {translation.copied},
         translation.bytes ? Input(translation.bytes.get(), view.size()) : Input{});

    // The lenient decoder.
    const base64::lenient::LenientOptions lenient{alphabet, options.padded, options.decodes_past_padding};
    const std::size_t capacity = base64::lenient::lenient_capacity(view.data(), view.size(), lenient);
    into_destination(out, "lenient", capacity, [&](unsigned char* dst, std::size_t n) {
        return base64::lenient::decode_lenient_to_ptr(view.data(), view.size(), dst, n, lenient, table);
    });
    into_destination(out, "lenient slice", size, [&](unsigned char* dst, std::size_t n) {
        return base64::lenient::decode_lenient_slice_into(view.data(), view.size(), dst, n, lenient, table);
    });

    // The configured decoder.
    base64::configured::ConfiguredOptions configured_options;
    if (options.altchars) {
        configured_options.c62 = options.altchars->c62;
        configured_options.c63 = options.altchars->c63;
    }
    configured_options.strict = options.validate;
    configured_options.padded = options.padded;
    configured_options.canonical = options.canonical;
    configured_options.also_standard_pair = also_standard_pair;
    configured_options.ignorechars = ignorechars;
    if (const auto configured = base64::configured::ConfiguredDecoder::create(configured_options, table)) {
        into_destination(out, "configured", configured->capacity(view.data(), view.size()),
                         [&](unsigned char* dst, std::size_t n) {
                             return configured->decode(view.data(), view.size(), dst, n);
                         });
        const auto decoded_size = configured->decoded_size(view.data(), view.size());
        note(out, "configured size", {decoded_size.has_value(), decoded_size.value_or(0)});
        into_destination(out, "configured into", size, [&](unsigned char* dst, std::size_t n) {
            return base64::configured::decode_configured_into(*configured, view.data(), view.size(), dst, n);
        });
    }

    // The strict decoder, its layout found as the Decoder finds it.
    if (view.size() % 4 == 0 && !view.empty()) {
        const std::size_t padding = view.back() != '=' ? 0 : view[view.size() - 2] == '=' ? 2 : 1;
        ExactBlock strict(base64::decoded_length(view.size(), padding));
        const bool ok = base64::decode::decode_to_ptr_with_layout_mode_on(table, view.data(), view.size(),
                                                                          strict.data(), padding, alphabet)
                            .ok();
        note(out, "strict", {ok}, ok ? strict.first(strict.size()) : Input{});
    }

    // The byte scans.
    const auto& kernels = table.byte_kernels;
    const base64::scan::ExtraSymbols extra{pair.c62, pair.c63};
    note(out, "scans",
         {kernels.alphanumeric_prefix(view.data(), view.size()), kernels.symbol_prefix(view.data(), view.size(), extra),
          table.symbol_count(view.data(), view.size(), extra)});
    ExactBlock translated(view);
    kernels.translate(translated.data(), translated.size(), {pair.c62, '+', pair.c63, '/'});
    note(out, "translate", {}, translated.first(translated.size()));
    base64::scan::AllowedNoise noise;
    std::copy_n(ignorechars.begin(), std::min<std::size_t>(ignorechars.size(), 4), noise.bytes);
    const std::size_t room = view.size() * room_share / 255;
    check_compaction(text, room, extra, noise, false, table);
    check_compaction(text, room, extra, noise, true, table);
    check_vector_decoders(text, alphabet, table);
    return out;
}

}  // namespace vantorq::fuzz
