#pragma once
// The package module's function table.

#include "bindings/python.hpp"

namespace vantorq::bindings::native {

// Process-wide, generated from the declarations on the first call.
PyMethodDef* methods();

}  // namespace vantorq::bindings::native
