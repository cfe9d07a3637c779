#pragma once
// The one-shot MurmurHash3 module functions.

#include "bindings/python.hpp"

#include "bindings/arguments.hpp"

namespace vantorq::bindings::murmur3::callbacks {

// (s, seed=0)
PyObject* murmur3_32(const arguments::Arguments<2>& parsed);
PyObject* murmur3_x86_128_digest(const arguments::Arguments<2>& parsed);
PyObject* murmur3_x64_128_digest(const arguments::Arguments<2>& parsed);

}  // namespace vantorq::bindings::murmur3::callbacks
