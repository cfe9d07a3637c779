#pragma once
// The incremental MurmurHash3 hasher classes murmur3_x86_32, murmur3_x86_128
// and murmur3_x64_128.

#include "bindings/python.hpp"

namespace vantorq::bindings::murmur3::incremental {

// A new class object for `module`, or null with an error set.
PyObject* create_murmur3_x86_32(PyObject* module);
PyObject* create_murmur3_x86_128(PyObject* module);
PyObject* create_murmur3_x64_128(PyObject* module);

}  // namespace vantorq::bindings::murmur3::incremental
