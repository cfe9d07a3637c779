#pragma once
// One decode request: the options as the interpreter reads them
// (PreparedPolicy), and the route they select through the native decoders to
// the interpreter's own binascii.a2b_base64 (PreparedDecoder).

#include "bindings/python.hpp"

#include <cstdint>
#include <optional>

#include "base64/alphabet.hpp"
#include "base64/configured.hpp"
#include "bindings/altchars.hpp"
#include "bindings/base64/decode.hpp"
#include "bindings/base64/outcome.hpp"
#include "bindings/buffer.hpp"
#include "bindings/compatibility.hpp"

namespace vantorq::bindings::base64::policy {

using vantorq::base64::configured::ConfiguredDecoder;

// The option arguments of one call; null slots were not given.
struct DecodeOptions {
    PyObject* altchars = nullptr;
    PyObject* validate = nullptr;
    PyObject* padded = nullptr;
    PyObject* ignorechars = nullptr;
    PyObject* canonical = nullptr;
};

struct PreparedPolicy {
    std::optional<compatibility::Altchars> altchars;
    runtime::OwnedRef altchars_object;  // as converted by the interpreter: its repr appears in warnings
    bool url_safe_pair = false;         // "-" "_"
    bool url_safe_function = false;     // urlsafe_b64decode and its _into form
    bool validate_given = false;
    bool validate = false;              // effective: not given means "ignorechars given"
    bool padded = true;
    bool canonical = false;
    PyObject* ignorechars = nullptr;    // borrowed argument, handed on to the interpreter
    std::optional<buffer::BytesLike> ignorechars_bytes;
    compatibility::PythonSemantics semantics;

    // Converts the options in the order the interpreter does: altchars,
    // validate, padded, ignorechars, canonical. Nothing with an error set.
    static std::optional<PreparedPolicy> prepare(const DecodeOptions& options);
    // The URL-safe functions: lenient, with padded defaulting by version.
    static std::optional<PreparedPolicy> prepare_url_safe(PyObject* padded);
    // standard_b64decode: lenient, padded, standard alphabet.
    static PreparedPolicy standard();
};

enum class Route : std::uint8_t {
    Configured,     // ignorechars given, or canonical
    Strict,         // effective validate
    LenientCached,  // standard or URL-safe table
    LenientCustom,  // another altchars pair
};

Route select_route(const PreparedPolicy& policy);

class PreparedDecoder {
public:
    explicit PreparedDecoder(PreparedPolicy policy);

    Route route() const { return route_; }

    // A new bytes object, or null with the error the interpreter would raise.
    PyObject* decode_allocating(const buffer::BytesLike& input) const;
    // Writes at the start of `destination` (a bytearray) and returns the count.
    // A malformed input may have changed part of the destination's prefix;
    // nothing past the count the call would return ever changes.
    PyObject* decode_into(PyObject* destination, const buffer::BytesLike& input) const;

    // Whether the first or last 64 bytes hold anything but symbols and "=":
    // then a long input is not worth a strict attempt.
    bool has_edge_noise(Text text) const;
    // Whether a lenient input may be clean and so worth a strict attempt.
    bool worth_strict_attempt(Text text) const;
    // The '+' or '/' that a legacy warning will name, looked up before decoding.
    std::optional<unsigned char> legacy_warning_byte(const buffer::BytesLike& input) const;

private:
    // Anything but a symbol of the policy's alphabets or "=".
    bool is_noise(unsigned char byte) const;

    template <typename Target>
    Outcome try_native(Text text, const Target& target) const;
    template <typename Target>
    Outcome try_canonical(Text text, const Target& target) const;
    // The configured decoder of this request, built on first use; null when
    // its alphabet is left to the interpreter.
    const ConfiguredDecoder* configured_decoder() const;
    // The interpreter decodes a custom pair's text after rewriting the pair to
    // "+" "/"; so does this route. False with an error set when the copy fails.
    bool translate_custom_pair(const buffer::BytesLike& input, std::optional<buffer::BytesLike>& translated) const;
    // The native route, then the interpreter, without any warning.
    PyObject* decode_text_allocating(const buffer::BytesLike& text) const;
    PyObject* hand_to_interpreter(const buffer::BytesLike& text) const;
    // decode_into once the text is the one the native decoders see.
    PyObject* decode_text_into(PyObject* destination, const buffer::BytesLike& text) const;
    bool warn_if_legacy(std::optional<unsigned char> character) const;

    PreparedPolicy policy_;
    Route route_;
    vantorq::base64::DecodeAlphabet alphabet_;  // of the text the native decoders see
    bool translates_pair_;
    decode::BinasciiMode binascii_mode_;
    mutable std::optional<ConfiguredDecoder> configured_;
    mutable bool configured_built_ = false;
};

}  // namespace vantorq::bindings::base64::policy
