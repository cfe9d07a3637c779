#pragma once
// The class of the columns the column functions return: an immutable Arrow
// column over buffers this module owns, exported without copying through the
// Arrow PyCapsule interface, and, for fixed-width values, through the buffer
// protocol.

#include "bindings/python.hpp"

#include <span>

#include "bindings/families.hpp"
#include "columns/result.hpp"

namespace vantorq::bindings::columns {

// A new column object holding `column`, or null with an error set.
PyObject* wrap(vantorq::columns::SharedColumn column);

extern const std::span<const families::PublicClass> COLUMN_CLASSES;

}  // namespace vantorq::bindings::columns
