#pragma once
// The Base64 encode functions: the prepared request, output sizing, the new
// bytes result and the rules of the reusable-bytearray forms.

#include "bindings/python.hpp"

#include "bindings/arguments.hpp"

#include <cstddef>
#include <optional>

#include "base64/alphabet.hpp"
#include "bindings/buffer.hpp"

namespace vantorq::bindings::base64::encode {

// Effective line wrapping: `wrapcol` rounded down to a multiple of 4, at least 4.
struct Wrapping {
    bool enabled = false;
    std::size_t line_length = 0;

    static Wrapping from_wrapcol(std::size_t wrapcol);
};

// Converts a `wrapcol` argument; an empty slot means no wrapping. Nothing,
// with the interpreter's error set, for a non-integer, a negative value or
// one of 2**64 and above.
std::optional<Wrapping> parse_wrapcol(PyObject* value);

// Whether an encoder may bypass the caches for a large output.
enum class Stores { MayStream, Cached };

// One encode request, read-only once built.
struct PreparedEncoder {
    Wrapping wrapping;
    bool omit_padding = false;
    vantorq::base64::EncodeAlphabet alphabet = vantorq::base64::STANDARD_ENCODE_ALPHABET;

    // Characters before wrapping.
    std::size_t unwrapped_size(std::size_t input_length) const;
    // The whole output, or nothing when it exceeds the largest Python object.
    std::optional<std::size_t> encoded_size(std::size_t input_length) const;

    // Writes encoded_size(length) bytes.
    void encode(const unsigned char* src, std::size_t length, unsigned char* dst, Stores stores) const;

private:
    void encode_unwrapped(const unsigned char* src, std::size_t length, unsigned char* dst, Stores stores) const;
};

// The data argument `s` of the encoders: exact bytes and bytearrays in place,
// other contiguous exporters as the binascii module accepts them.
buffer::Acquired acquire_input(PyObject* object);

// A new bytes object holding the encoding of the input, or null with an error set.
PyObject* encode_with_prepared(const buffer::BytesLike& input, const PreparedEncoder& encoder);

// Encodes at the start of `destination` (a bytearray) and returns the count
// as an int; the destination is unchanged unless the call succeeds.
PyObject* encode_into(PyObject* destination, const buffer::BytesLike& input, const PreparedEncoder& encoder);

PyObject* b64encode(const arguments::Arguments<4>& parsed);
PyObject* b64encode_into(const arguments::Arguments<5>& parsed);
PyObject* standard_b64encode(const arguments::Arguments<1>& parsed);
PyObject* standard_b64encode_into(const arguments::Arguments<2>& parsed);
PyObject* urlsafe_b64encode(const arguments::Arguments<2>& parsed);
PyObject* urlsafe_b64encode_into(const arguments::Arguments<3>& parsed);

}  // namespace vantorq::bindings::base64::encode
