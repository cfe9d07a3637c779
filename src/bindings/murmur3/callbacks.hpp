#pragma once
// The one-shot MurmurHash3 module functions.

#include "bindings/python.hpp"

#include <cstddef>

namespace vantorq::bindings::murmur3::callbacks {

// Immutable inputs at least this long are hashed (or fed to a hasher) with
// the thread detached; below it detaching costs more than hashing takes.
inline constexpr std::size_t DETACH_THRESHOLD = 65'536;

PyObject* murmur3_32(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);
PyObject* murmur3_x86_128_digest(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);
PyObject* murmur3_x64_128_digest(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);

}  // namespace vantorq::bindings::murmur3::callbacks
