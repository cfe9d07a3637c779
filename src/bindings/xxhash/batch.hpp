#pragma once
// The XXH3 list functions: every item of a list hashed with one seed, as a
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

}  // namespace vantorq::bindings::xxhash::batch
