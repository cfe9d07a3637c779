#pragma once
// The one way the binding layer includes the interpreter's C API.

#define PY_SSIZE_T_CLEAN
#include <Python.h>
