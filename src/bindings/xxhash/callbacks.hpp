#pragma once
// The one-shot XXH module functions.

#include "bindings/python.hpp"

#include "bindings/arguments.hpp"
#include "xxhash/primitives.hpp"

namespace vantorq::bindings::xxhash::callbacks {

// (s, seed=0)
PyObject* xxh3_64(const arguments::Arguments<2>& parsed);
PyObject* xxh3_128(const arguments::Arguments<2>& parsed);

// The unsigned int high * 2**64 + low, or null with an error set.
PyObject* int_from_hash_128(vantorq::xxhash::Hash128 hash);
// The same from the packed digest: 16 little-endian bytes, low word first.
PyObject* int_from_packed_128(const unsigned char* little_endian);

}  // namespace vantorq::bindings::xxhash::callbacks
