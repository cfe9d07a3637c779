#pragma once
// The Base64 encode functions: argument conversion, the new bytes result
// and the rules of the reusable-bytearray forms around the core's Encoder.

#include "bindings/python.hpp"

#include "bindings/arguments.hpp"

#include <cstddef>
#include <optional>

#include "base64/encoder.hpp"
#include "bindings/buffer.hpp"

namespace vantorq::bindings::base64::encode {

// Converts a `wrapcol` argument; an empty slot means no wrapping (0).
// Nothing, with the interpreter's error set, for a non-integer, a negative
// value or one of 2**64 and above.
std::optional<std::size_t> parse_wrapcol(PyObject* value);

// The data argument `s` of the encoders: exact bytes and bytearrays in place,
// other contiguous exporters as the binascii module accepts them.
buffer::Acquired acquire_input(PyObject* object);

// A new bytes object holding the encoding of the input (followed by a newline
// if `final_newline`), or null with an error set.
PyObject* encode_with_prepared(const buffer::BytesLike& input, const vantorq::base64::Encoder& encoder,
                               bool final_newline = false);
// The same as a str of one character per byte: ASCII, or Latin-1 for an
// alphabet with bytes above 127 (`latin1`).
PyObject* encode_as_text(const buffer::BytesLike& input, const vantorq::base64::Encoder& encoder, bool latin1);

// Encodes at the start of `destination` (a bytearray) and returns the count
// as an int; the destination is unchanged unless the call succeeds.
PyObject* encode_into(PyObject* destination, const buffer::BytesLike& input, const vantorq::base64::Encoder& encoder);
// The same for an exact bytes object, read in place without acquiring it.
PyObject* encode_bytes_into(PyObject* destination, PyObject* bytes, const vantorq::base64::Encoder& encoder);

PyObject* b64encode(const arguments::Arguments<4>& parsed);
PyObject* b64encode_into(const arguments::Arguments<5>& parsed);
PyObject* standard_b64encode(const arguments::Arguments<1>& parsed);
PyObject* standard_b64encode_into(const arguments::Arguments<2>& parsed);
PyObject* urlsafe_b64encode(const arguments::Arguments<2>& parsed);
PyObject* urlsafe_b64encode_into(const arguments::Arguments<3>& parsed);

}  // namespace vantorq::bindings::base64::encode
