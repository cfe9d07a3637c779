#pragma once
// The `altchars` option of the Base64 functions, read as the interpreter's
// base64 module reads it on each of its paths, with its messages.

#include "bindings/python.hpp"

#include <optional>

#include "base64/alphabet.hpp"
#include "bindings/runtime.hpp"

namespace vantorq::bindings::base64::altchars {

using Pair = vantorq::base64::AltcharPair;

// The error for a length other than 2, naming `value`: ValueError "invalid
// altchars: <repr>" from 3.15, AssertionError with the repr before.
void raise_wrong_length(PyObject* value);

// Reads `altchars` (an empty slot or None gives no pair) as a bytes-like
// object, or with `allow_text` also as ASCII text. Any length but 2 fails as
// the running interpreter's base64 module fails. False with an error set.
bool parse_altchars(PyObject* value, bool allow_text, std::optional<Pair>& pair);

// `altchars` converted as the interpreter converts it (text encoded, other
// exporters copied to bytes), kept as an object for the messages that show
// its repr, and its two bytes.
struct Normalized {
    runtime::OwnedRef object;
    Pair pair;
};
// Nothing with an error set: a conversion failure, or a length other than 2.
// `ignorechars_given` picks the message for the rare object whose byte length
// differs from its length, as the interpreter then fails in different places.
std::optional<Normalized> normalized_altchars(PyObject* value, bool ignorechars_given);

// The 62 symbols every alphabet starts with, followed by `altchars`, as the
// interpreter builds an alphabet (`altchars` may be any object it adds).
runtime::OwnedRef with_common_symbols(PyObject* altchars);

// The 64-symbol alphabet the interpreter passes to a2b_base64 for a custom
// pair; ValueError "alphabet must have length 64" otherwise.
runtime::OwnedRef parse_decode_alphabet(PyObject* altchars);

}  // namespace vantorq::bindings::base64::altchars
