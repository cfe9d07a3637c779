#pragma once
// The standard module's encodebytes and decodebytes, the functions MIME and
// email code calls: lines of 76 characters, and decoding that skips anything
// outside the alphabet.

#include "bindings/python.hpp"

#include "bindings/arguments.hpp"

#include <optional>

namespace vantorq::bindings::base64::mime {

// The check of the data these functions take, which pybase64 makes of its
// altchars and ignorechars too: anything a memoryview takes, of single-byte
// elements in one dimension. Gives the size, or nothing with a TypeError
// worded as the standard module's or as pybase64's.
enum class Wording { Standard, Pybase64 };
std::optional<Py_ssize_t> single_byte_elements(PyObject* s, Wording wording);

// (s)
PyObject* encodebytes(const arguments::Arguments<1>& parsed);
PyObject* decodebytes(const arguments::Arguments<1>& parsed);

}  // namespace vantorq::bindings::base64::mime
