#pragma once
// The Base64 decode functions and the compatibility operations that make
// them answer as the running interpreter's base64 and binascii modules do:
// argument conversion in the interpreter's order, the calls into
// binascii.a2b_base64 that settle every input the native decoders leave, the
// legacy-character warnings and the canonical-tail checks.

#include "bindings/python.hpp"

#include "bindings/arguments.hpp"

#include <cstdint>
#include <optional>

#include "bindings/buffer.hpp"
#include "bindings/compatibility.hpp"
#include "bindings/runtime.hpp"

namespace vantorq::bindings::base64::decode {

// The data argument `s` as base64.b64decode takes it: ASCII text or any
// bytes-like object, with that module's messages.
buffer::Acquired acquire_decode_data(PyObject* object);

// Sets binascii.Error with `message`.
void decoding_error(const char* message);

// How binascii.a2b_base64 is called when a request is handed to it.
enum class BinasciiMode : std::uint8_t {
    NoKeywords,           // before 3.11
    StrictMode,           // 3.11 to 3.14
    StrictModeAndPadded,  // 3.15 on
};
BinasciiMode binascii_mode_for(const compatibility::PythonSemantics& semantics);

// The interpreter's decoding of `data` (a bytes object): its result, or null
// with its exception set.
PyObject* decode_with_binascii(PyObject* data, BinasciiMode mode, bool validate, bool padded);

// The keywords of a request with ignorechars or canonical.
struct ConfiguredKeywords {
    bool validate;
    bool padded;
    bool canonical;
    PyObject* alphabet;     // null: the standard alphabet
    PyObject* ignorechars;  // null: not given (the interpreter passes b'')
};
// As decode_with_binascii for interpreters whose a2b_base64 takes these
// keywords; older ones answer "Incorrect padding".
PyObject* decode_configured_with_binascii(PyObject* data, const ConfiguredKeywords& keywords);

// Emits the warning of the interpreter's base64 module for a '+' or '/' that
// future versions will treat differently. False when the warnings filter
// turned it into an error (then set).
enum class LegacyWarning : std::uint8_t { UrlSafe, AltcharsLenient, AltcharsStrict };
bool warn_legacy_altchars(LegacyWarning kind, unsigned char character, PyObject* altchars);

// Copies a decoded bytes object to the start of a destination bytearray and
// returns the count, or raises the destination-too-small ValueError first.
PyObject* copy_decoded_into(PyObject* decoded, PyObject* destination);

PyObject* b64decode(const arguments::Arguments<6>& parsed);
PyObject* b64decode_into(const arguments::Arguments<7>& parsed);
PyObject* standard_b64decode(const arguments::Arguments<1>& parsed);
PyObject* standard_b64decode_into(const arguments::Arguments<2>& parsed);
PyObject* urlsafe_b64decode(const arguments::Arguments<2>& parsed);
PyObject* urlsafe_b64decode_into(const arguments::Arguments<3>& parsed);

}  // namespace vantorq::bindings::base64::decode
