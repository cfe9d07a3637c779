#pragma once
// The Base64 list functions: every item of a list encoded or decoded as the
// single-item functions do it, with one prepared encoder or decoder for the
// whole list, results in item order, and the first failing item stopping the
// call.

#include "bindings/python.hpp"

namespace vantorq::bindings::base64::batch {

PyObject* b64encode_batch(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);
PyObject* b64encode_batch_into(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);
PyObject* standard_b64encode_batch(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);
PyObject* standard_b64encode_batch_into(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);
PyObject* urlsafe_b64encode_batch(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);
PyObject* urlsafe_b64encode_batch_into(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);

PyObject* b64decode_batch(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);
PyObject* b64decode_batch_into(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);
PyObject* standard_b64decode_batch(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);
PyObject* standard_b64decode_batch_into(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);
PyObject* urlsafe_b64decode_batch(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);
PyObject* urlsafe_b64decode_batch_into(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames);

}  // namespace vantorq::bindings::base64::batch
