#pragma once
// The one-shot MurmurHash3 module functions.

#include "bindings/python.hpp"

namespace vantorq::bindings::murmur3::callbacks {

PyObject* murmur3_32(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);
PyObject* murmur3_x86_128_digest(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);
PyObject* murmur3_x64_128_digest(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);

}  // namespace vantorq::bindings::murmur3::callbacks
