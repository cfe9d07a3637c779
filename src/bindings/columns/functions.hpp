#pragma once
// The column functions: each hashes or converts every row of an Arrow column
// as the one-value function does, into a new column.

#include "bindings/python.hpp"

#include "bindings/arguments.hpp"

namespace vantorq::bindings::columns {

PyObject* xxh3_64(const arguments::Arguments<3>& parsed);
PyObject* xxh3_128(const arguments::Arguments<2>& parsed);
PyObject* murmur3_32(const arguments::Arguments<3>& parsed);
PyObject* murmur3_x86_128(const arguments::Arguments<2>& parsed);
PyObject* murmur3_x64_128(const arguments::Arguments<2>& parsed);
PyObject* b64encode(const arguments::Arguments<3>& parsed);
PyObject* b64decode(const arguments::Arguments<4>& parsed);

}  // namespace vantorq::bindings::columns
