#pragma once
// The incremental MurmurHash3 hasher classes murmur3_x86_32, murmur3_x86_128
// and murmur3_x64_128.

#include "bindings/python.hpp"

namespace vantorq::bindings::murmur3::incremental {

// Each class object, created on the first call of the process and shared by
// every module object afterwards (borrowed), or null with an error set.
PyObject* murmur3_x86_32_type();
PyObject* murmur3_x86_128_type();
PyObject* murmur3_x64_128_type();

}  // namespace vantorq::bindings::murmur3::incremental
