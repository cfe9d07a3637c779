#pragma once
// The standard module's encodebytes and decodebytes, the functions MIME and
// email code calls: lines of 76 characters, and decoding that skips anything
// outside the alphabet.

#include "bindings/python.hpp"

#include "bindings/arguments.hpp"

namespace vantorq::bindings::base64::mime {

// (s)
PyObject* encodebytes(const arguments::Arguments<1>& parsed);
PyObject* decodebytes(const arguments::Arguments<1>& parsed);

}  // namespace vantorq::bindings::base64::mime
