#pragma once
// The pybase64 drop-in's functions (vantorq.pybase64): pybase64's names,
// signatures, results and messages, on every interpreter alike. They live in
// vantorq._native with a "pybase64_" prefix and name themselves as pybase64
// does, in the module vantorq.pybase64.

#include "bindings/python.hpp"

namespace vantorq::bindings::base64::pybase64 {

// Adds the functions to the package module; -1 with an error set on failure.
int add_functions(PyObject* module);

}  // namespace vantorq::bindings::base64::pybase64
