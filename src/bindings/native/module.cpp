// The package module's front door: the execution function that fills a fresh
// module object, and both export hooks.

#include "bindings/python.hpp"

#include "bindings/base64/pybase64.hpp"
#include "bindings/columns/column_class.hpp"
#include "bindings/module_frame.hpp"
#include "bindings/native/api.hpp"
#include "bindings/native/hashers.hpp"
#include "bindings/native/mmh3.hpp"

namespace vantorq::bindings::native::module {
namespace {

int execute(PyObject* module) {
    if (!module_frame::check_module(module)) return -1;
    if (PyModule_AddFunctions(module, native::methods()) < 0) return -1;
    if (base64::pybase64::add_functions(module) < 0) return -1;
    if (module_frame::add_classes(module, HASHER_CLASSES) < 0) return -1;
    if (mmh3::add_to(module) < 0) return -1;
    return module_frame::add_classes(module, columns::COLUMN_CLASSES);
}

char MODULE_NAME[] = "vantorq._native";
using Definition = module_frame::Definition<MODULE_NAME, execute>;

}  // namespace
}  // namespace vantorq::bindings::native::module

extern "C" {
#if VANTORQ_HAS_MODULE_EXPORT
PyMODEXPORT_FUNC PyModExport__native() { return vantorq::bindings::native::module::Definition::SLOTS; }
#endif
PyMODINIT_FUNC PyInit__native() { return PyModuleDef_Init(&vantorq::bindings::native::module::Definition::DEFINITION); }
}
