#pragma once
// The Base64 list functions: every item of a list encoded or decoded as the
// single-item functions do it, with one prepared encoder or decoder for the
// whole list, results in item order, and the first failing item stopping the
// call.

#include "bindings/python.hpp"

#include "bindings/arguments.hpp"

namespace vantorq::bindings::base64::batch {

PyObject* b64encode_batch(const arguments::Arguments<2>& parsed);
PyObject* b64encode_batch_into(const arguments::Arguments<3>& parsed);
PyObject* standard_b64encode_batch(const arguments::Arguments<1>& parsed);
PyObject* standard_b64encode_batch_into(const arguments::Arguments<2>& parsed);
PyObject* urlsafe_b64encode_batch(const arguments::Arguments<1>& parsed);
PyObject* urlsafe_b64encode_batch_into(const arguments::Arguments<2>& parsed);

PyObject* b64decode_batch(const arguments::Arguments<3>& parsed);
PyObject* b64decode_batch_into(const arguments::Arguments<4>& parsed);
PyObject* standard_b64decode_batch(const arguments::Arguments<1>& parsed);
PyObject* standard_b64decode_batch_into(const arguments::Arguments<2>& parsed);
PyObject* urlsafe_b64decode_batch(const arguments::Arguments<1>& parsed);
PyObject* urlsafe_b64decode_batch_into(const arguments::Arguments<2>& parsed);

}  // namespace vantorq::bindings::base64::batch
