#include "base64/decoder.hpp"

#include <algorithm>
#include <cstring>
#include <utility>

#include "backend/bytes.hpp"
#include "base64/decode.hpp"
#include "base64/lengths.hpp"
#include "base64/lenient.hpp"
#include "base64/scan.hpp"

namespace vantorq::base64 {
namespace {

using configured::ConfiguredDecoder;
using lenient::LenientOptions;
using runtime_dispatch::RuntimeBackend;

// Below this a failed strict attempt costs little; from here on a lenient
// text gets one only when both of its ends are clean.
constexpr std::size_t EDGE_CHECK_THRESHOLD = 262'144;
// Bytes at each end of a long text that must be clean for a strict attempt.
constexpr std::size_t EDGE_BYTES = 64;
constexpr std::size_t NOISE_POSITIONS[] = {4, 64, 76};

constexpr const char NON_ZERO_PADDING_BITS[] = "Non-zero padding bits";

// Where the decoded bytes of a well-formed text go and how many there are.
struct Layout {
    std::size_t padding;  // "=" ending the final quantum (0 for unpadded text)
    std::size_t size;     // decoded bytes
};

// Text whose length is a multiple of 4 (its padding is judged by the decoder).
std::optional<Layout> strict_layout(Text text) {
    const std::size_t length = text.size();
    if (length % 4 != 0) return std::nullopt;
    std::size_t padding = 0;
    if (length != 0 && text[length - 1] == PAD) padding = text[length - 2] == PAD ? 2 : 1;
    return Layout{padding, decoded_length(length, padding)};
}

// Text of 0, 2 or 3 symbols past its whole quanta; never a lone symbol.
std::optional<Layout> unpadded_layout(Text text) {
    if (text.size() % 4 == 1) return std::nullopt;
    return Layout{0, symbols_decoded_length(text.size())};
}

bool decode_strict(Text text, const Layout& layout, unsigned char* out, DecodeAlphabet alphabet,
                   const RuntimeBackend& kernels) {
    return decode::decode_to_ptr_with_layout_mode_on(kernels, text.data(), text.size(), out, layout.padding, alphabet)
        .ok();
}

// Whole quanta, then the 2 or 3 symbols left.
bool decode_unpadded(Text text, unsigned char* out, DecodeAlphabet alphabet, const RuntimeBackend& kernels) {
    const std::size_t tail = text.size() % 4;
    const std::size_t whole = text.size() - tail;
    if (!decode::decode_to_ptr_with_layout_mode_on(kernels, text.data(), whole, out, 0, alphabet).ok()) return false;
    return tail == 0 || decode::decode_final_symbols(text.data() + whole, tail, out + whole / 4 * 3,
                                                     decode_table(alphabet));
}

// The low bits of `symbol` that reach no output byte are zero; a byte
// outside the alphabet is left for the decoder to reject.
bool unused_bits_clear(unsigned char symbol, std::uint8_t unused_mask, DecodeAlphabet alphabet) {
    const std::uint8_t value = decode_table(alphabet)[symbol];
    return !is_symbol_value(value) || (value & unused_mask) == 0;
}

// The last symbol before one or two trailing "=" of a text of whole quanta.
bool canonical_padding(Text text, DecodeAlphabet alphabet) {
    const std::size_t n = text.size();
    if (n < 4 || text[n - 1] != PAD) return true;
    if (text[n - 2] == PAD) return unused_bits_clear(text[n - 3], 0x0F, alphabet);
    return unused_bits_clear(text[n - 2], 0x03, alphabet);
}

// The last of 2 or 3 symbols past the whole quanta.
bool canonical_unpadded_input(Text text, DecodeAlphabet alphabet) {
    switch (text.size() % 4) {
        case 2:
            return unused_bits_clear(text.back(), 0x0F, alphabet);
        case 3:
            return unused_bits_clear(text.back(), 0x03, alphabet);
        default:
            return true;
    }
}

// A copy of the text with the pair rewritten to "+" "/", or none when neither occurs.
Decoder::Translation translate_altchars(Text text, AltcharPair pair, const RuntimeBackend& kernels) {
    const unsigned char first = pair.c62, second = pair.c63;
    if (backend::find_byte(text.data(), text.size(), first) == nullptr &&
        backend::find_byte(text.data(), text.size(), second) == nullptr)
        return {};
    Decoder::Translation translation{true, backend::try_allocate_bytes(std::max<std::size_t>(text.size(), 1))};
    if (!translation.bytes) return translation;
    std::memcpy(translation.bytes.get(), text.data(), text.size());
    kernels.byte_kernels.translate(translation.bytes.get(), text.size(), {first, '+', second, '/'});
    return translation;
}

// Runs `function` as the sink wants it run and gives back its result.
template <class Function>
auto run_in(Sink& sink, Function&& function) {
    if (!sink.runs_detached()) return function();
    using Result = decltype(function());
    struct Call final : Sink::Work {
        explicit Call(Function& f) : function(f) {}
        void operator()() override { result = function(); }
        Function& function;
        Result result{};
    } call(function);
    sink.run_detached(call);
    return call.result;
}

// Scratch memory of the decoder's own, for a check that must not write the
// caller's result.
class ScratchSink final : public Sink {
public:
    unsigned char* reserve(std::size_t capacity) override {
        buffer_ = backend::try_allocate_bytes(std::max<std::size_t>(capacity, 1));
        return buffer_.get();
    }

private:
    backend::ByteBuffer buffer_;
};

// The decoders of well-formed text, written once over a target's
// exact(layout, fill), which gets the memory and calls fill(out).
template <class Target>
struct WellFormedDecoders {
    DecodeOutcome strict(Text text, DecodeAlphabet alphabet) const {
        return target().exact(strict_layout(text), [&](const Layout& layout, unsigned char* out) {
            return decode_strict(text, layout, out, alphabet, target().kernels);
        });
    }
    DecodeOutcome unpadded(Text text, DecodeAlphabet alphabet) const {
        return target().exact(unpadded_layout(text), [&](const Layout&, unsigned char* out) {
            return decode_unpadded(text, out, alphabet, target().kernels);
        });
    }

private:
    const Target& target() const { return static_cast<const Target&>(*this); }
};

// The decoders writing into room a sink gives; each attempt asks for its own.
struct NewMemory : WellFormedDecoders<NewMemory> {
    // A failed attempt leaves nothing behind, so a fast attempt may precede
    // the configured decoder.
    static constexpr bool SCRATCH_ON_FAILURE = true;
    Sink& sink;
    const RuntimeBackend& kernels;

    NewMemory(Sink& sink, const RuntimeBackend& kernels) : sink(sink), kernels(kernels) {}

    template <class Fill>
    DecodeOutcome exact(std::optional<Layout> layout, Fill&& fill) const {
        if (!layout) return DecodeOutcome::not_handled();
        unsigned char* out = sink.reserve_exact(layout->size);
        if (out == nullptr) return DecodeOutcome::sink_failed();
        const bool ok = run_in(sink, [&] { return fill(*layout, out); });
        return ok ? DecodeOutcome::written(layout->size) : DecodeOutcome::not_handled();
    }
    // `decode(out, capacity)` writes at most a capacity that holds any
    // output of the text, so anything but success means not handled.
    template <class Decode>
    DecodeOutcome bounded(std::size_t capacity, Decode&& decode) const {
        unsigned char* out = sink.reserve(capacity);
        if (out == nullptr) return DecodeOutcome::sink_failed();
        const DecodeOutcome result = run_in(sink, [&] { return decode(out, capacity); });
        return result.status == DecodeStatus::Written ? result : DecodeOutcome::not_handled();
    }

    DecodeOutcome lenient(Text text, const LenientOptions& options) const {
        return bounded(lenient::lenient_capacity(text.data(), text.size(), options),
                       [&](unsigned char* out, std::size_t capacity) {
                           return lenient::decode_lenient_to_ptr(text.data(), text.size(), out, capacity, options,
                                                                 kernels);
                       });
    }
    DecodeOutcome configured(Text text, const ConfiguredDecoder& decoder) const {
        return bounded(decoder.capacity(text.data(), text.size()), [&](unsigned char* out, std::size_t capacity) {
            return decoder.decode(text.data(), text.size(), out, capacity);
        });
    }
};

// The decoders writing at the start of a fixed destination.
struct FixedDestination : WellFormedDecoders<FixedDestination> {
    // The strict decoders write while they validate.
    static constexpr bool SCRATCH_ON_FAILURE = false;
    std::span<unsigned char> destination;
    const RuntimeBackend& kernels;

    FixedDestination(std::span<unsigned char> destination, const RuntimeBackend& kernels)
        : destination(destination), kernels(kernels) {}

    template <class Fill>
    DecodeOutcome exact(std::optional<Layout> layout, Fill&& fill) const {
        if (!layout) return DecodeOutcome::not_handled();
        if (layout->size > destination.size()) return DecodeOutcome::too_small(layout->size);
        if (!fill(*layout, destination.data())) return DecodeOutcome::not_handled();
        return DecodeOutcome::written(layout->size);
    }
    DecodeOutcome lenient(Text text, const LenientOptions& options) const {
        return lenient::decode_lenient_slice_into(text.data(), text.size(), destination.data(), destination.size(),
                                                  options, kernels);
    }
    DecodeOutcome configured(Text text, const ConfiguredDecoder& decoder) const {
        return configured::decode_configured_into(decoder, text.data(), text.size(), destination.data(),
                                                  destination.size());
    }
};

}  // namespace

void Decoder::build_configured(Text ignorechars) {
    auto options = configured_options();
    options.ignorechars = ignorechars;
    configured_ = ConfiguredDecoder::create(options, *kernels_);
    configured_built_ = true;
}

configured::ConfiguredOptions Decoder::configured_options() const {
    configured::ConfiguredOptions options;
    options.strict = validate_;
    options.padded = padded_;
    options.canonical = canonical_;
    if (ignorechars_given_ && altchars_) {
        // With ignorechars the interpreter decodes the pair's alphabet as it is.
        options.c62 = altchars_->c62;
        options.c63 = altchars_->c63;
    } else if (alphabet_ == DecodeAlphabet::Mixed) {
        // Otherwise it rewrites the pair to "+" "/" first: URL-safe text then
        // has both spellings (another pair's text is rewritten before it gets here).
        options.c62 = '-';
        options.c63 = '_';
        options.also_standard_pair = true;
    }
    return options;
}

const ConfiguredDecoder* Decoder::configured_decoder() const {
    if (!configured_built_) {
        configured_built_ = true;
        configured_ = ConfiguredDecoder::create(configured_options(), *kernels_);
    }
    return configured_ ? &*configured_ : nullptr;
}

bool Decoder::is_noise(unsigned char byte) const {
    if (is_symbol_value(STANDARD_DECODE_TABLE[byte]) || byte == PAD) return false;
    return !altchars_ || (byte != altchars_->c62 && byte != altchars_->c63);
}

bool Decoder::has_edge_noise(Text text) const {
    const auto noise = [&](unsigned char byte) { return is_noise(byte); };
    const std::size_t edge = std::min(EDGE_BYTES, text.size());
    return std::any_of(text.begin(), text.begin() + edge, noise) || std::any_of(text.end() - edge, text.end(), noise);
}

bool Decoder::worth_strict_attempt(Text text) const {
    if (text.size() % 4 != 0) return false;
    if (text.empty()) return true;
    // Text that ends in noise cannot be clean (encodebytes output ends in a
    // line feed); a failed attempt would cost a result and a partial decode.
    if (is_noise(text.back())) return false;
    // Where noise usually stands: after the first group (spaced groups) and
    // after a first line of 64 or 76 characters. A few lookups, against an
    // attempt that a short noisy text pays for about as long as its decoding.
    for (const std::size_t position : NOISE_POSITIONS)
        if (position < text.size() && is_noise(text[position])) return false;
    return text.size() < EDGE_CHECK_THRESHOLD || !has_edge_noise(text);
}

bool Decoder::may_stop_before_the_end(Text text) const {
    // A "=" among the last two bytes is final padding; any earlier one may end the decoding.
    return !decodes_past_padding_ && padded_ && text.size() > 2 &&
           backend::find_byte(text.data(), text.size() - 2, PAD) != nullptr;
}

template <class Target>
DecodeOutcome Decoder::try_canonical(Text text, const Target& target) const {
    const bool clear = padded_ ? canonical_padding(text, alphabet_) : canonical_unpadded_input(text, alphabet_);
    const auto decode = [&](const auto& to) {
        return padded_ ? to.strict(text, alphabet_) : to.unpadded(text, alphabet_);
    };
    if (clear) return decode(target);
    // Set tail bits are the only fault of a text the decoder accepts; decoding
    // into scratch memory (never the caller's) finds whether it does.
    ScratchSink scratch;
    const DecodeOutcome checked = decode(NewMemory{scratch, *kernels_});
    if (checked.status == DecodeStatus::Written) return DecodeOutcome::rejected(NON_ZERO_PADDING_BITS);
    if (checked.status == DecodeStatus::SinkFailed) return DecodeOutcome::out_of_memory(INPUT_TOO_LARGE);
    return checked;
}

template <class Target>
DecodeOutcome Decoder::try_native(Text text, const Target& target) const {
    switch (route_) {
        case Route::Configured: {
            // Clean canonical text decodes fastest strictly; a fixed destination
            // takes the configured decoder alone, which writes nothing unless
            // the text is accepted.
            if (Target::SCRATCH_ON_FAILURE && !ignorechars_given_) {
                const DecodeOutcome outcome = try_canonical(text, target);
                if (outcome.handled()) return outcome;
            }
            const ConfiguredDecoder* decoder = configured_decoder();
            return decoder != nullptr ? target.configured(text, *decoder) : DecodeOutcome::not_handled();
        }
        case Route::Strict:
            return padded_ ? target.strict(text, alphabet_) : target.unpadded(text, alphabet_);
        case Route::LenientCached:
        case Route::LenientCustom:
            break;
    }
    // Most lenient text is clean: then the strict decoder gives the same bytes.
    // In a fixed destination, a failed attempt leaves bytes that the lenient
    // decoder overwrites only when it decodes at least as far.
    if (worth_strict_attempt(text) && (Target::SCRATCH_ON_FAILURE || !may_stop_before_the_end(text))) {
        const DecodeOutcome outcome = target.strict(text, alphabet_);
        if (outcome.handled()) return outcome;
    }
    // Whole quanta without "=" are the strict attempt's to take.
    if (!padded_ && text.size() % 4 != 0) {
        const DecodeOutcome outcome = target.unpadded(text, alphabet_);
        if (outcome.handled()) return outcome;
    }
    return target.lenient(text, {alphabet_, padded_, decodes_past_padding_});
}

template <class Target>
DecodeOutcome Decoder::decode_rewritten(Text text, const Target& target) const {
    if (!rewrites_pair_) return try_native(text, target);
    const Translation translation = translate_altchars(text, *altchars_, *kernels_);
    if (!translation.copied) return try_native(text, target);
    if (!translation.bytes) return DecodeOutcome::out_of_memory(INPUT_TOO_LARGE);
    return try_native(Text{translation.bytes.get(), text.size()}, target);
}

DecodeOutcome Decoder::decode(Text text, Sink& sink) const {
    return decode_rewritten(text, NewMemory{sink, *kernels_});
}

DecodeOutcome Decoder::decode(Text text, std::span<unsigned char> destination) const {
    return decode_rewritten(text, FixedDestination{destination, *kernels_});
}

std::optional<unsigned char> Decoder::legacy_warning_byte(Text text) const {
    if (!warns_of_legacy_characters_ || !altchars_ || ignorechars_given_) return std::nullopt;
    // '+' is named before '/' wherever each occurs, as the interpreter looks for them in that order.
    for (const unsigned char character : {'+', '/'}) {
        if (character == altchars_->c62 || character == altchars_->c63) continue;
        if (backend::find_byte(text.data(), text.size(), character) != nullptr) return character;
    }
    return std::nullopt;
}

Decoder::Translation Decoder::interpreter_text(Text text) const {
    if (!altchars_ || altchars_->is_standard() || ignorechars_given_) return {};
    return translate_altchars(text, *altchars_, *kernels_);
}

bool strict_base64_310(Text text) {
    const auto* pad = backend::find_byte(text.data(), text.size(), PAD);
    const auto* symbols_end = pad ? pad : text.data() + text.size();
    for (const auto* p = text.data(); p != symbols_end; ++p)
        if (!is_symbol_value(STANDARD_DECODE_TABLE[*p])) return false;
    if (pad == nullptr) return true;
    const auto* end = text.data() + text.size();
    return end - pad <= 2 && std::all_of(pad, end, [](unsigned char byte) { return byte == PAD; });
}

}  // namespace vantorq::base64
