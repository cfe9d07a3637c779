#pragma once
// Container and destination type checks shared by the families.

#include "bindings/python.hpp"

namespace vantorq::bindings::objects {

// TypeError "'<type>' object is not an instance of '<target>'" (or, for None,
// "'None' is not an instance of '<target>'").
void raise_not_instance(PyObject* object, const char* target_type_name);

}  // namespace vantorq::bindings::objects
