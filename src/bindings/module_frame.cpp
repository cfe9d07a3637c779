#include "bindings/python.hpp"

#include "bindings/module_frame.hpp"

#include "bindings/objects.hpp"

namespace vantorq::bindings::module_frame {
namespace {

// Appends `name` to the module's __all__ (creating the list if absent), then
// sets the attribute. Classes are listed there; functions are not.
int add_public_object(PyObject* module, const char* name, PyObject* object) {
    runtime::OwnedRef all(PyObject_GetAttrString(module, "__all__"));
    if (!all) {
        if (!PyErr_ExceptionMatches(PyExc_AttributeError)) return -1;
        PyErr_Clear();
        all = runtime::OwnedRef(PyList_New(0));
        if (!all || PyObject_SetAttrString(module, "__all__", all.get()) < 0) return -1;
    }
    if (!PyList_Check(all.get())) {
        objects::raise_not_instance(all.get(), "list");
        return -1;
    }
    runtime::OwnedRef name_object(PyUnicode_FromString(name));
    if (!name_object) return -1;
    runtime::require(PyList_Append(all.get(), name_object.get()) == 0, "could not append __name__ to __all__");
    return PyObject_SetAttrString(module, name, object);
}

}  // namespace

bool check_module(PyObject* module) {
    if (PyObject_TypeCheck(module, &PyModule_Type)) return true;
    objects::raise_not_instance(module, "module");
    return false;
}

int add_classes(PyObject* module, std::span<const families::PublicClass> classes) {
    for (const auto& public_class : classes) {
        runtime::OwnedRef type(public_class.create(module));
        if (!type || add_public_object(module, public_class.name, type.get()) < 0) return -1;
    }
    return 0;
}

}  // namespace vantorq::bindings::module_frame
