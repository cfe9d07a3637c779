// The module's front door: both export hooks, the slots, and the execution
// function that fills a fresh module object.

#include "bindings/python.hpp"

#include <cstdint>

#include "bindings/families.hpp"
#include "bindings/objects.hpp"
#include "bindings/runtime.hpp"

namespace vantorq::bindings::module {
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

int execute(PyObject* module) {
    if (!PyObject_TypeCheck(module, &PyModule_Type)) {
        objects::raise_not_instance(module, "module");
        return -1;
    }
    if (PyModule_AddFunctions(module, base64::api::methods()) < 0) return -1;
    if (PyModule_AddFunctions(module, murmur3::api::methods()) < 0) return -1;
    for (const auto& hasher : murmur3::api::CLASSES) {
        PyObject* type = hasher.type();
        if (type == nullptr || add_public_object(module, hasher.name, type) < 0) return -1;
    }
    return PyModule_AddFunctions(module, xxhash::api::methods());
}

int guarded_execute(PyObject* module) noexcept {
    PyObject* result = runtime::guarded([&]() -> PyObject* { return execute(module) == 0 ? Py_None : nullptr; });
    return result == nullptr ? -1 : 0;
}

PyABIInfo ABI_INFO = {
    .abiinfo_major_version = 1,
    .abiinfo_minor_version = 0,
#ifdef Py_GIL_DISABLED
    .flags = PyABIInfo_FREETHREADED,
#else
    .flags = PyABIInfo_GIL,
#endif
    .build_version = 0,
    .abi_version = 0,
};

char MODULE_NAME[] = "_vantorq";
char MODULE_DOC[] = "";

PySlot static_data_slot(std::uint16_t id, void* data) {
    return {.sl_id = id, .sl_flags = PySlot_STATIC, .sl_reserved = 0, .sl_ptr = data};
}

PySlot function_slot(std::uint16_t id, int (*function)(PyObject*) noexcept) {
    return {.sl_id = id, .sl_flags = 0, .sl_reserved = 0, .sl_func = reinterpret_cast<_Py_funcptr_t>(function)};
}

PySlot SLOTS[] = {
    function_slot(Py_mod_exec, guarded_execute),
    static_data_slot(Py_mod_abi, &ABI_INFO),
    static_data_slot(Py_mod_gil, Py_MOD_GIL_NOT_USED),
    static_data_slot(Py_mod_name, MODULE_NAME),
    static_data_slot(Py_mod_doc, MODULE_DOC),
    {.sl_id = 0, .sl_flags = 0, .sl_reserved = 0, .sl_ptr = nullptr},
};

PyModuleDef_Slot DEFINITION_SLOTS[] = {
    {Py_mod_slots, SLOTS},
    {0, nullptr},
};

PyModuleDef DEFINITION = {
    .m_base = PyModuleDef_HEAD_INIT,
    .m_name = MODULE_NAME,
    .m_doc = MODULE_DOC,
    .m_size = 0,
    .m_methods = nullptr,
    .m_slots = DEFINITION_SLOTS,
    .m_traverse = nullptr,
    .m_clear = nullptr,
    .m_free = nullptr,
};

}  // namespace
}  // namespace vantorq::bindings::module

extern "C" {
PyMODEXPORT_FUNC PyModExport__vantorq() { return vantorq::bindings::module::SLOTS; }
PyMODINIT_FUNC PyInit__vantorq() { return PyModuleDef_Init(&vantorq::bindings::module::DEFINITION); }
}
