#include "bindings/python.hpp"

#include "bindings/base64/policy.hpp"

#include <algorithm>
#include <cstring>
#include <utility>

#include "bindings/arguments.hpp"
#include "bindings/base64/configured.hpp"
#include "bindings/base64/lenient.hpp"
#include "bindings/base64/strict.hpp"
#include "bindings/objects.hpp"

namespace vantorq::bindings::base64::policy {
namespace {

namespace core = vantorq::base64;
using buffer::BytesLike;
using core::DecodeAlphabet;

// Inputs from here on are decoded with the thread detached, when nothing can
// change their bytes meanwhile.
constexpr std::size_t DETACH_THRESHOLD = 262'144;
// Below this a failed strict attempt costs little; from here on a lenient
// input gets one only when both of its ends are clean.
constexpr std::size_t EDGE_CHECK_THRESHOLD = 262'144;
// Bytes at each end of a long input that must be clean for a strict attempt.
constexpr std::size_t EDGE_BYTES = 64;

constexpr const char INPUT_TOO_LARGE[] = "Base64 input is too large";
constexpr const char NON_ZERO_PADDING_BITS[] = "Non-zero padding bits";

struct AllocatingTarget {
    // A failed attempt leaves nothing behind, so a fast attempt may precede
    // the configured decoder.
    static constexpr bool SCRATCH_ON_FAILURE = true;
    bool detach;
    Outcome strict(Text text, DecodeAlphabet alphabet) const { return strict::decode_strict(text, alphabet, detach); }
    Outcome unpadded(Text text, DecodeAlphabet alphabet) const {
        return strict::decode_unpadded(text, alphabet, detach);
    }
    Outcome lenient(Text text, const lenient::LenientOptions& options) const {
        return lenient::try_decode_lenient(text, options, detach);
    }
    Outcome configured(Text text, const ConfiguredDecoder& decoder) const {
        return configured::decode_configured(text, decoder, detach);
    }
};

struct IntoTarget {
    // The strict decoders write while they validate.
    static constexpr bool SCRATCH_ON_FAILURE = false;
    Destination destination;
    Outcome strict(Text text, DecodeAlphabet alphabet) const {
        return strict::decode_strict_into(text, destination, alphabet);
    }
    Outcome unpadded(Text text, DecodeAlphabet alphabet) const {
        return strict::decode_unpadded_into(text, destination, alphabet);
    }
    Outcome lenient(Text text, const lenient::LenientOptions& options) const {
        return lenient::decode_lenient_into(text, destination, options);
    }
    Outcome configured(Text text, const ConfiguredDecoder& decoder) const {
        return configured::decode_configured_into(text, destination, decoder);
    }
};

// Runs `work(text, destination storage)` with the input and the destination
// both locked, so neither can change or move while the decoder writes.
template <typename Work>
Outcome with_text_and_destination(const BytesLike& text, PyObject* destination, Work&& work) {
    if (PyObject* bytearray = text.bytearray()) {
        runtime::CriticalSection2 sections(bytearray, destination);
        return work(objects::bytearray_storage(bytearray), objects::bytearray_storage(destination));
    }
    return text.with_bytes([&](const unsigned char* data, std::size_t length) {
        runtime::CriticalSection section(destination);
        return work(Text{data, length}, objects::bytearray_storage(destination));
    });
}

// A new bytes object with the input's bytes, rewritten by `pair` when given.
PyObject* bytes_of(const BytesLike& text, const std::optional<compatibility::Altchars>& pair) {
    if (!pair) {
        if (PyObject* existing = text.python_bytes()) return existing;
    }
    return text.with_bytes([&](const unsigned char* data, std::size_t length) -> PyObject* {
        auto translation = pair ? strict::translate_altchars({data, length}, *pair) : strict::Translation{};
        if (translation.copied && !translation.bytes) {
            PyErr_SetString(PyExc_MemoryError, INPUT_TOO_LARGE);
            return nullptr;
        }
        const unsigned char* source = translation.copied ? translation.bytes.get() : data;
        return PyBytes_FromStringAndSize(reinterpret_cast<const char*>(source), static_cast<Py_ssize_t>(length));
    });
}

}  // namespace

std::optional<PreparedPolicy> PreparedPolicy::prepare(const DecodeOptions& options) {
    PreparedPolicy policy;
    policy.semantics = compatibility::python_semantics();
    const bool ignorechars_given = options.ignorechars != nullptr;
    if (options.altchars != nullptr && options.altchars != Py_None) {
        auto normalized = decode::normalized_altchars(options.altchars, ignorechars_given);
        if (!normalized) return std::nullopt;
        policy.altchars = normalized->pair;
        policy.altchars_object = std::move(normalized->object);
        policy.url_safe_pair = normalized->pair.c62 == '-' && normalized->pair.c63 == '_';
    }
    policy.validate_given = options.validate != nullptr;
    if (policy.validate_given) {
        const auto validate = arguments::read_flag(options.validate, false);
        if (!validate) return std::nullopt;
        policy.validate = *validate;
    } else {
        policy.validate = ignorechars_given;
    }
    const auto padded = arguments::read_flag(options.padded, true);
    if (!padded) return std::nullopt;
    policy.padded = *padded;
    if (ignorechars_given) {
        // binascii's own conversion and messages, at the point where it converts them.
        policy.ignorechars_bytes = buffer::binascii_contiguous_bytes_like(options.ignorechars, "ignorechars");
        if (!policy.ignorechars_bytes) return std::nullopt;
        policy.ignorechars = options.ignorechars;
    }
    const auto canonical = arguments::read_flag(options.canonical, false);
    if (!canonical) return std::nullopt;
    policy.canonical = *canonical;
    return policy;
}

std::optional<PreparedPolicy> PreparedPolicy::prepare_url_safe(PyObject* padded_object) {
    PreparedPolicy policy;
    policy.semantics = compatibility::python_semantics();
    policy.altchars = compatibility::Altchars{'-', '_', true};
    policy.url_safe_pair = true;
    policy.url_safe_function = true;
    // Padding became optional by default in 3.15.
    const auto padded = arguments::read_flag(padded_object, !policy.semantics.from_3_15);
    if (!padded) return std::nullopt;
    policy.padded = *padded;
    return policy;
}

PreparedPolicy PreparedPolicy::standard() {
    PreparedPolicy policy;
    policy.semantics = compatibility::python_semantics();
    return policy;
}

Route select_route(const PreparedPolicy& policy) {
    if (policy.ignorechars != nullptr || policy.canonical) return Route::Configured;
    if (policy.validate) return Route::Strict;
    if (!policy.altchars || !policy.altchars->differs_from_standard || policy.url_safe_pair)
        return Route::LenientCached;
    return Route::LenientCustom;
}

PreparedDecoder::PreparedDecoder(PreparedPolicy policy)
    : policy_(std::move(policy)),
      route_(select_route(policy_)),
      alphabet_(policy_.url_safe_pair && policy_.ignorechars == nullptr ? DecodeAlphabet::Mixed
                                                                        : DecodeAlphabet::Standard),
      translates_pair_(policy_.altchars && policy_.altchars->differs_from_standard && !policy_.url_safe_pair &&
                       policy_.ignorechars == nullptr),
      binascii_mode_(decode::binascii_mode_for(policy_.semantics)) {}

bool PreparedDecoder::is_noise(unsigned char byte) const {
    const unsigned char letter = byte & 0xDF;
    if ((letter >= 'A' && letter <= 'Z') || (byte >= '0' && byte <= '9')) return false;
    if (byte == '+' || byte == '/' || byte == core::PAD) return false;
    return !policy_.altchars || (byte != policy_.altchars->c62 && byte != policy_.altchars->c63);
}

bool PreparedDecoder::has_edge_noise(Text text) const {
    const auto noise = [&](unsigned char byte) { return is_noise(byte); };
    const std::size_t edge = std::min(EDGE_BYTES, text.size());
    return std::any_of(text.begin(), text.begin() + edge, noise) || std::any_of(text.end() - edge, text.end(), noise);
}

bool PreparedDecoder::worth_strict_attempt(Text text) const {
    if (text.size() % 4 != 0) return false;
    if (text.empty()) return true;
    // Text that ends in noise cannot be clean (encodebytes output ends in a
    // line feed); a failed attempt would cost a result object and a partial decode.
    if (is_noise(text.back())) return false;
    return text.size() < EDGE_CHECK_THRESHOLD || !has_edge_noise(text);
}

std::optional<unsigned char> PreparedDecoder::legacy_warning_byte(const BytesLike& input) const {
    if (!policy_.semantics.from_3_15 || !policy_.altchars || policy_.ignorechars != nullptr) return std::nullopt;
    const auto& pair = *policy_.altchars;
    return input.with_bytes([&](const unsigned char* data, std::size_t length) -> std::optional<unsigned char> {
        // '+' is named before '/' wherever each occurs, as the interpreter looks for them in that order.
        for (const unsigned char character : {'+', '/'}) {
            if (character == pair.c62 || character == pair.c63) continue;
            if (std::memchr(data, character, length) != nullptr) return character;
        }
        return std::nullopt;
    });
}

bool PreparedDecoder::warn_if_legacy(std::optional<unsigned char> character) const {
    if (!character) return true;
    const auto kind = policy_.url_safe_function ? decode::LegacyWarning::UrlSafe
                      : policy_.validate        ? decode::LegacyWarning::AltcharsStrict
                                                : decode::LegacyWarning::AltcharsLenient;
    return decode::warn_legacy_altchars(kind, *character, policy_.altchars_object.get());
}

template <typename Target>
Outcome PreparedDecoder::try_canonical(Text text, const Target& target) const {
    const bool clear = policy_.padded ? decode::canonical_padding(text, alphabet_)
                                      : decode::canonical_unpadded_input(text, alphabet_);
    const auto decode = [&](const auto& to) {
        return policy_.padded ? to.strict(text, alphabet_) : to.unpadded(text, alphabet_);
    };
    if (clear) return decode(target);
    // Set tail bits are the only fault of a text the decoder accepts; decoding
    // into a scratch object (never the destination) finds whether it does.
    Outcome checked = decode(AllocatingTarget{false});
    if (checked.kind == Outcome::Kind::Decoded) return Outcome::rejected(NON_ZERO_PADDING_BITS);
    return checked;
}

template <typename Target>
Outcome PreparedDecoder::try_native(Text text, const Target& target) const {
    switch (route_) {
        case Route::Configured: {
            // Clean canonical text decodes fastest strictly; an _into request
            // takes the configured decoder alone, which writes nothing unless
            // the text is accepted.
            if (Target::SCRATCH_ON_FAILURE && policy_.ignorechars == nullptr) {
                Outcome outcome = try_canonical(text, target);
                if (outcome.handled()) return outcome;
            }
            const ConfiguredDecoder* decoder = configured_decoder();
            return decoder != nullptr ? target.configured(text, *decoder) : Outcome::not_handled();
        }
        case Route::Strict:
            return policy_.padded ? target.strict(text, alphabet_) : target.unpadded(text, alphabet_);
        case Route::LenientCached:
        case Route::LenientCustom:
            break;
    }
    // Most lenient input is clean: then the strict decoder gives the same bytes.
    if (worth_strict_attempt(text)) {
        Outcome outcome = target.strict(text, alphabet_);
        if (outcome.handled()) return outcome;
    }
    // Whole quanta without "=" are the strict attempt's to take.
    if (!policy_.padded && text.size() % 4 != 0) {
        Outcome outcome = target.unpadded(text, alphabet_);
        if (outcome.handled()) return outcome;
    }
    // Interpreters with the fixed tail handling decode the symbols after
    // completed padding too; older ones stop there.
    return target.lenient(text, {alphabet_, policy_.padded, policy_.semantics.patched_tail != 0});
}

const ConfiguredDecoder* PreparedDecoder::configured_decoder() const {
    if (!configured_built_) {
        configured_built_ = true;
        vantorq::base64::configured::ConfiguredOptions options;
        options.strict = policy_.validate;
        options.padded = policy_.padded;
        options.canonical = policy_.canonical;
        if (policy_.ignorechars != nullptr && policy_.altchars) {
            // With ignorechars the interpreter decodes the pair's alphabet as it is.
            options.c62 = policy_.altchars->c62;
            options.c63 = policy_.altchars->c63;
        } else if (alphabet_ == DecodeAlphabet::Mixed) {
            // Otherwise it rewrites the pair to "+" "/" first: URL-safe text then
            // has both spellings (another pair's text is rewritten here too).
            options.c62 = '-';
            options.c63 = '_';
            options.also_standard_pair = true;
        }
        const auto create = [&](const unsigned char* data, std::size_t length) {
            options.ignorechars = {data, length};
            return ConfiguredDecoder::create(options);
        };
        configured_ = policy_.ignorechars_bytes ? policy_.ignorechars_bytes->with_bytes(create) : create(nullptr, 0);
    }
    return configured_ ? &*configured_ : nullptr;
}

bool PreparedDecoder::translate_custom_pair(const BytesLike& input, std::optional<BytesLike>& translated) const {
    if (!translates_pair_) return true;
    // The length is read with the bytes: a bytearray may be resized between two locked reads.
    auto [translation, length] = input.with_bytes([&](const unsigned char* data, std::size_t size) {
        return std::pair(strict::translate_altchars({data, size}, *policy_.altchars), size);
    });
    if (!translation.copied) return true;
    if (!translation.bytes) {
        PyErr_SetString(PyExc_MemoryError, INPUT_TOO_LARGE);
        return false;
    }
    translated.emplace(buffer::Snapshot{buffer::OwnedCopy{std::move(translation.bytes), length}});
    return true;
}

PyObject* PreparedDecoder::hand_to_interpreter(const BytesLike& text) const {
    // A custom pair's text is already rewritten; the URL-safe pair still needs it.
    const bool url_translation = policy_.url_safe_pair && policy_.ignorechars == nullptr;
    runtime::OwnedRef data(bytes_of(text, url_translation ? policy_.altchars : std::nullopt));
    if (!data) return nullptr;
    if (route_ != Route::Configured)
        return decode::decode_with_binascii(data.get(), binascii_mode_, policy_.validate, policy_.padded);
    runtime::OwnedRef alphabet;
    if (policy_.altchars && policy_.ignorechars != nullptr) {
        alphabet = decode::parse_decode_alphabet(policy_.altchars_object.get());
        if (!alphabet) return nullptr;
    }
    return decode::decode_configured_with_binascii(
        data.get(), {policy_.validate, policy_.padded, policy_.canonical, alphabet.get(), policy_.ignorechars});
}

PyObject* PreparedDecoder::decode_text_allocating(const BytesLike& text) const {
    Outcome native = text.with_bytes([&](const unsigned char* data, std::size_t length) {
        return try_native(Text{data, length}, AllocatingTarget{text.is_immutable() && length >= DETACH_THRESHOLD});
    });
    switch (native.kind) {
        case Outcome::Kind::Decoded:
            return native.bytes.release();
        case Outcome::Kind::Rejected:
            decode::decoding_error(native.message);
            return nullptr;
        case Outcome::Kind::Raised:
            return nullptr;
        case Outcome::Kind::DestinationTooSmall:
            throw runtime::Panic("an allocating decoder reported a small destination");
        case Outcome::Kind::NotHandled:
            break;
    }
    return hand_to_interpreter(text);
}

PyObject* PreparedDecoder::decode_allocating(const BytesLike& input) const {
    const auto warning = legacy_warning_byte(input);
    runtime::OwnedRef result;
    // The optional exists only where it is needed: GCC clears all of an empty
    // one whose address is taken, a cost a short decode notices.
    if (translates_pair_) {
        std::optional<BytesLike> translated;
        if (!translate_custom_pair(input, translated)) return nullptr;
        result = runtime::OwnedRef(decode_text_allocating(translated ? *translated : input));
    } else {
        result = runtime::OwnedRef(decode_text_allocating(input));
    }
    if (!result || !warn_if_legacy(warning)) return nullptr;
    return result.release();
}

PyObject* PreparedDecoder::decode_into(PyObject* destination, const BytesLike& input) const {
    if (input.overlaps(destination)) {
        // Decoding would overwrite input not yet read: decode a private copy.
        const auto snapshot = input.try_snapshot();
        if (!snapshot) return nullptr;
        return decode_into(destination, *snapshot);
    }
    if (legacy_warning_byte(input)) {
        // The warning may be an error: then the destination stays untouched.
        runtime::OwnedRef decoded(decode_allocating(input));
        if (!decoded) return nullptr;
        return decode::copy_decoded_into(decoded.get(), destination);
    }
    if (!translates_pair_) return decode_text_into(destination, input);
    std::optional<BytesLike> translated;  // only here: see decode_allocating
    if (!translate_custom_pair(input, translated)) return nullptr;
    return decode_text_into(destination, translated ? *translated : input);
}

PyObject* PreparedDecoder::decode_text_into(PyObject* destination, const BytesLike& text) const {
    const Outcome native = with_text_and_destination(text, destination, [&](Text bytes, Destination storage) {
        return try_native(bytes, IntoTarget{storage});
    });
    runtime::OwnedRef decoded;
    switch (native.kind) {
        case Outcome::Kind::Decoded:
            return PyLong_FromSize_t(native.count);
        case Outcome::Kind::Rejected:
            decode::decoding_error(native.message);
            return nullptr;
        case Outcome::Kind::Raised:
            return nullptr;
        case Outcome::Kind::DestinationTooSmall:
            // Reported only for input the interpreter accepts, with its exact size.
            decoded = runtime::OwnedRef(decode_text_allocating(text));
            break;
        case Outcome::Kind::NotHandled:
            decoded = runtime::OwnedRef(hand_to_interpreter(text));
            break;
    }
    if (!decoded) return nullptr;
    return decode::copy_decoded_into(decoded.get(), destination);
}

}  // namespace vantorq::bindings::base64::policy
