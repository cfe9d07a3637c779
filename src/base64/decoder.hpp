#pragma once
// One Base64 decode request, decided here. The options, read as the
// interpreter reads them, choose a route through the native decoders
// (strict, unpadded, lenient, configured); whatever those leave is reported
// as not handled, for the interpreter's own a2b_base64 to settle.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "backend/memory.hpp"
#include "base64/configured.hpp"
#include "base64/outcome.hpp"
#include "base64/runtime_dispatch.hpp"

namespace vantorq::base64 {

using Text = std::span<const unsigned char>;

struct DecoderOptions {
    std::optional<AltcharPair> altchars;
    bool validate = false;  // effective: bytes outside the alphabet are errors
    bool padded = true;
    bool canonical = false;
    // Given: the bytes that may stand outside the alphabet. Read only while
    // the Decoder is built.
    std::optional<Text> ignorechars;
    // The interpreter decodes symbols after completed padding too (its fixed
    // tail handling); older ones stop at that "=".
    bool decodes_past_padding = true;
    // The interpreter warns of "+" and "/" in text decoded with altchars.
    bool warns_of_legacy_characters = false;
};

enum class Route : std::uint8_t {
    Configured,     // ignorechars given, or canonical
    Strict,         // effective validate
    LenientCached,  // standard or URL-safe table
    LenientCustom,  // another altchars pair
};

constexpr Route select_route(const DecoderOptions& options) {
    if (options.ignorechars || options.canonical) return Route::Configured;
    if (options.validate) return Route::Strict;
    if (!options.altchars || options.altchars->is_standard() || options.altchars->is_url_safe())
        return Route::LenientCached;
    return Route::LenientCustom;
}

// Memory for a new result, which the caller provides once a decoder knows
// how much it may need.
class Sink {
public:
    // Room for `capacity` bytes, replacing what an earlier call gave; null
    // when it cannot be had (the sink keeps the reason).
    virtual unsigned char* reserve(std::size_t capacity) = 0;
    // The same for exactly `size` bytes, every one of which a successful
    // decode writes.
    virtual unsigned char* reserve_exact(std::size_t size) { return reserve(size); }

    // Whether the decoding into the reserved room runs through
    // run_detached, which lets other work go on meanwhile (a long text
    // that cannot change during the call); else it runs inline.
    bool runs_detached() const { return runs_detached_; }
    struct Work {
        virtual void operator()() = 0;
    };
    virtual void run_detached(Work& work) { work(); }

protected:
    ~Sink() = default;
    bool runs_detached_ = false;
};

class Decoder {
public:
    // A plain record unless ignorechars are given: then their configured
    // decoder is built at once, since the option's bytes are not kept. It
    // decodes with `kernels`, which must outlive it.
    explicit Decoder(const DecoderOptions& options,
                     const runtime_dispatch::RuntimeBackend& kernels = runtime_dispatch::selected_backend())
        : kernels_(&kernels),
          altchars_(options.altchars),
          route_(select_route(options)),
          validate_(options.validate),
          padded_(options.padded),
          canonical_(options.canonical),
          ignorechars_given_(options.ignorechars.has_value()),
          decodes_past_padding_(options.decodes_past_padding),
          warns_of_legacy_characters_(options.warns_of_legacy_characters),
          rewrites_pair_(altchars_ && !altchars_->is_standard() && !altchars_->is_url_safe() && !ignorechars_given_),
          alphabet_(altchars_ && altchars_->is_url_safe() && !ignorechars_given_ ? DecodeAlphabet::Mixed
                                                                                  : DecodeAlphabet::Standard) {
        if (options.ignorechars) build_configured(*options.ignorechars);
    }

    Route route() const { return route_; }

    // Decodes into room the sink gives.
    DecodeOutcome decode(Text text, Sink& sink) const;
    // Decodes at the start of a fixed destination. A malformed text may have
    // changed part of it; nothing past the count a success reports ever
    // changes. DestinationTooSmall carries the size the text needs.
    DecodeOutcome decode(Text text, std::span<unsigned char> destination) const;

    // The "+" or "/" the interpreter's legacy warning names for this text;
    // only a request with altchars can have one.
    std::optional<unsigned char> legacy_warning_byte(Text text) const;

    // The text as the interpreter's a2b_base64 sees it: an altchars pair
    // rewritten to "+" "/" (the second wins when both are one byte). Empty
    // when nothing needs rewriting; `copied` with a null buffer when the
    // copy's memory cannot be had.
    struct Translation {
        bool copied = false;
        backend::ByteBuffer bytes;
    };
    Translation interpreter_text(Text text) const;

private:
    template <class Target>
    DecodeOutcome decode_rewritten(Text text, const Target& target) const;
    template <class Target>
    DecodeOutcome try_native(Text text, const Target& target) const;
    template <class Target>
    DecodeOutcome try_canonical(Text text, const Target& target) const;
    // Anything but a symbol of this request's alphabets or "=".
    bool is_noise(unsigned char byte) const;
    bool has_edge_noise(Text text) const;
    // Whether a lenient text may be clean, and so worth a strict attempt.
    bool worth_strict_attempt(Text text) const;
    // Whether a lenient decode may end before what a failed strict attempt
    // wrote: where the interpreter stops at a "=" inside the text.
    bool may_stop_before_the_end(Text text) const;
    // Null when its alphabet is left to the interpreter.
    const configured::ConfiguredDecoder* configured_decoder() const;
    configured::ConfiguredOptions configured_options() const;
    void build_configured(Text ignorechars);

    const runtime_dispatch::RuntimeBackend* kernels_;
    std::optional<AltcharPair> altchars_;
    Route route_;
    bool validate_;
    bool padded_;
    bool canonical_;
    bool ignorechars_given_;
    bool decodes_past_padding_;
    bool warns_of_legacy_characters_;
    bool rewrites_pair_;      // the native decoders see a custom pair as "+" "/"
    DecodeAlphabet alphabet_;  // of the text the native decoders see
    // Built with ignorechars at once (they are not kept), else on first use.
    mutable std::optional<configured::ConfiguredDecoder> configured_;
    mutable bool configured_built_ = false;
};

// The pattern validate=True checked before interpreters 3.11: standard
// symbols, then at most two "=" and nothing else.
bool strict_base64_310(Text text);

}  // namespace vantorq::base64
