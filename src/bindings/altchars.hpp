#pragma once
// The `altchars` option shared by the Base64 encode and decode functions.
// Kept apart from compatibility.hpp, which stays free of the interpreter's
// headers for the pure tests.

#include "bindings/python.hpp"

#include <optional>

#include "base64/alphabet.hpp"

namespace vantorq::bindings::compatibility {

using Altchars = vantorq::base64::AltcharPair;

// Reads `altchars` (an empty slot or None gives no pair) as a bytes-like
// object, or with `allow_text` also as ASCII text. Any length but 2 fails as
// the running interpreter's base64 module fails. False with an error set.
bool parse_altchars(PyObject* value, bool allow_text, std::optional<Altchars>& pair);

}  // namespace vantorq::bindings::compatibility
