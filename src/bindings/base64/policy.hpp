#pragma once
// One decode request as the interpreter states it: the options converted in
// its order (PreparedPolicy), and the request that runs the core's decoder
// and settles what it leaves with the interpreter's own
// binascii.a2b_base64 (PreparedDecoder).

#include "bindings/python.hpp"

#include <optional>

#include "base64/decoder.hpp"
#include "bindings/base64/altchars.hpp"
#include "bindings/base64/fallback.hpp"
#include "bindings/buffer.hpp"
#include "bindings/compatibility.hpp"

namespace vantorq::bindings::base64::policy {

// The option arguments of one call; null slots were not given.
struct DecodeOptions {
    PyObject* altchars = nullptr;
    PyObject* validate = nullptr;
    PyObject* padded = nullptr;
    PyObject* ignorechars = nullptr;
    PyObject* canonical = nullptr;
};

struct PreparedPolicy {
    std::optional<altchars::Pair> altchars;
    runtime::OwnedRef altchars_object;  // as converted by the interpreter: its repr appears in warnings
    bool url_safe_function = false;     // urlsafe_b64decode and its _into form
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

class PreparedDecoder {
public:
    explicit PreparedDecoder(PreparedPolicy policy);

    // A new bytes object, or null with the error the interpreter would raise.
    PyObject* decode_allocating(const buffer::BytesLike& input) const;
    // Writes at the start of `destination` (a bytearray) and returns the count.
    // A malformed input may have changed part of the destination's prefix;
    // nothing past the count the call would return ever changes.
    PyObject* decode_into(PyObject* destination, const buffer::BytesLike& input) const;

private:
    PyObject* hand_to_interpreter(const buffer::BytesLike& input) const;
    // The input as a bytes object, as the interpreter's a2b_base64 sees it.
    PyObject* interpreter_bytes(const buffer::BytesLike& input) const;
    bool warn_if_legacy(std::optional<unsigned char> character) const;

    PreparedPolicy policy_;
    vantorq::base64::Decoder decoder_;
    fallback::BinasciiMode binascii_mode_;
};

}  // namespace vantorq::bindings::base64::policy
