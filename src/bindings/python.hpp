#pragma once
// The one way the binding layer includes the interpreter's C API. It comes
// first in every binding file: Python.h sets feature macros that the standard
// headers must see.

#define PY_SSIZE_T_CLEAN
#include <Python.h>

#include "bindings/c_api_compat.hpp"
