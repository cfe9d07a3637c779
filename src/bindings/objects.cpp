#include "bindings/python.hpp"

#include "bindings/objects.hpp"

#include "bindings/runtime.hpp"

namespace vantorq::bindings::objects {

void raise_not_instance(PyObject* object, const char* target_type_name) {
    if (object == Py_None) {
        PyErr_Format(PyExc_TypeError, "'None' is not an instance of '%s'", target_type_name);
        return;
    }
    runtime::OwnedRef type_name(PyType_GetName(Py_TYPE(object)));
    if (type_name)
        PyErr_Format(PyExc_TypeError, "'%U' object is not an instance of '%s'", type_name.get(), target_type_name);
}

}  // namespace vantorq::bindings::objects
