// The module's front door: the execution function that fills a fresh module
// object, and both export hooks.

#include "bindings/python.hpp"

#include "bindings/families.hpp"
#include "bindings/module_frame.hpp"

namespace vantorq::bindings::module {
namespace {

int execute(PyObject* module) {
    if (!module_frame::check_module(module)) return -1;
    if (PyModule_AddFunctions(module, base64::api::methods()) < 0) return -1;
    if (PyModule_AddFunctions(module, murmur3::api::methods()) < 0) return -1;
    if (module_frame::add_classes(module, murmur3::api::CLASSES) < 0) return -1;
    return PyModule_AddFunctions(module, xxhash::api::methods());
}

char MODULE_NAME[] = "_vantorq";
using Definition = module_frame::Definition<MODULE_NAME, execute>;

}  // namespace
}  // namespace vantorq::bindings::module

extern "C" {
#if VANTORQ_HAS_MODULE_EXPORT
PyMODEXPORT_FUNC PyModExport__vantorq() { return vantorq::bindings::module::Definition::SLOTS; }
#endif
PyMODINIT_FUNC PyInit__vantorq() { return PyModuleDef_Init(&vantorq::bindings::module::Definition::DEFINITION); }
}
