#pragma once
// Where the interpreter itself answers a Base64 request. Every call that the
// decode functions, the list forms, the columns and the drop-ins make into
// binascii and warnings is made here, and the rules that differ between
// interpreter versions in how it is made are decided here: the keywords
// a2b_base64 takes (none before 3.11, strict_mode to 3.14, padded and the
// configured set from 3.15), how validate is converted, the legacy-character
// warnings. The native decoders hand over whatever they do not settle.

#include "bindings/python.hpp"

#include <cstdint>
#include <optional>
#include <string>

#include "base64/decoder.hpp"
#include "bindings/compatibility.hpp"

namespace vantorq::bindings::base64::fallback {

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

// The validate option as the running interpreter converts it: 3.11 takes it
// as a C int (TypeError for anything that is not an int, OverflowError beyond
// one), every other version takes its truth. Empty with the error set.
std::optional<bool> read_validate(PyObject* value, const compatibility::PythonSemantics& semantics);

// `text` as the interpreter's a2b_base64 is given it: with the request's
// altchars rewritten to "+" and "/" where the decoder rewrites them. `held`,
// a bytes object of `text` itself (or null), is returned as it is when
// nothing is rewritten. New reference, or null with the error set.
PyObject* interpreter_bytes(const vantorq::base64::Decoder& decoder, vantorq::base64::Text text, PyObject* held);

// The message of the pending exception when it is binascii.Error, which is
// cleared; nothing with any other exception left pending, or the lookup's own.
std::optional<std::string> take_decoding_error();

}  // namespace vantorq::bindings::base64::fallback
