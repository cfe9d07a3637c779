#pragma once
// The XXH3 list functions: every item of a list hashed with one seed, as a
// list of ints or as packed digests written into a bytearray.

#include "bindings/python.hpp"

namespace vantorq::bindings::xxhash::batch {

PyObject* xxh3_64_batch(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);
PyObject* xxh3_128_batch(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);
PyObject* xxh3_64_batch_into(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);
PyObject* xxh3_128_batch_into(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);

}  // namespace vantorq::bindings::xxhash::batch
