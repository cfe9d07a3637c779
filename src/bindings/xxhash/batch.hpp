#pragma once
// The XXH list functions: every item of a list hashed with one seed, as a
// list of ints or as packed digests written into a bytearray.

#include "bindings/python.hpp"

#include "bindings/arguments.hpp"

namespace vantorq::bindings::xxhash::batch {

// (items, seed=0)
PyObject* xxh3_64_batch(const arguments::Arguments<2>& parsed);
PyObject* xxh3_128_batch(const arguments::Arguments<2>& parsed);
// (items, output, seed=0)
PyObject* xxh3_64_batch_into(const arguments::Arguments<3>& parsed);
PyObject* xxh3_128_batch_into(const arguments::Arguments<3>& parsed);

// The package's XXH32 and XXH64 list forms, the same rules with their own seeds.
PyObject* xxh32_batch(const arguments::Arguments<2>& parsed);
PyObject* xxh64_batch(const arguments::Arguments<2>& parsed);
PyObject* xxh32_batch_into(const arguments::Arguments<3>& parsed);
PyObject* xxh64_batch_into(const arguments::Arguments<3>& parsed);

}  // namespace vantorq::bindings::xxhash::batch
