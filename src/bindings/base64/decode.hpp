#pragma once
// The Base64 decode functions, and the data argument as they take it. What
// the interpreter itself settles is the fallback's (bindings/base64/fallback.hpp).

#include "bindings/python.hpp"

#include "bindings/arguments.hpp"
#include "bindings/buffer.hpp"

namespace vantorq::bindings::base64::decode {

// The data argument `s` as base64.b64decode takes it: ASCII text or any
// bytes-like object, with that module's messages.
buffer::Acquired acquire_decode_data(PyObject* object);

PyObject* b64decode(const arguments::Arguments<6>& parsed);
PyObject* b64decode_into(const arguments::Arguments<7>& parsed);
PyObject* standard_b64decode(const arguments::Arguments<1>& parsed);
PyObject* standard_b64decode_into(const arguments::Arguments<2>& parsed);
PyObject* urlsafe_b64decode(const arguments::Arguments<2>& parsed);
PyObject* urlsafe_b64decode_into(const arguments::Arguments<3>& parsed);

}  // namespace vantorq::bindings::base64::decode
