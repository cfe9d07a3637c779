#pragma once
// What both extension modules' front doors share: the slots and definition
// built around a module's execution function, and the listing of its classes.

#include "bindings/python.hpp"

#include <cstdint>
#include <span>

#include "bindings/families.hpp"
#include "bindings/runtime.hpp"

namespace vantorq::bindings::module_frame {

// Checks that `module` is a module object; raises the TypeError if not.
bool check_module(PyObject* module);

// Creates each class for this module object, adds it as an attribute and lists it in __all__.
int add_classes(PyObject* module, std::span<const families::PublicClass> classes);

inline char EMPTY_DOC[] = "";

// A module named NAME whose fresh objects are filled by EXECUTE. From 3.15
// both export hooks return the same slot array; before, the classic hook
// returns a definition with the same name, docstring and execution slot.
template <char* NAME, int (*EXECUTE)(PyObject*)>
struct Definition {
    static int guarded_execute(PyObject* module) noexcept {
        PyObject* result = runtime::guarded([&]() -> PyObject* { return EXECUTE(module) == 0 ? Py_None : nullptr; });
        return result == nullptr ? -1 : 0;
    }

#if VANTORQ_HAS_MODULE_EXPORT
    static PySlot static_data_slot(std::uint16_t id, void* data) {
        return {.sl_id = id, .sl_flags = PySlot_STATIC, .sl_reserved = 0, .sl_ptr = data};
    }

    static PySlot function_slot(std::uint16_t id, int (*function)(PyObject*) noexcept) {
        return {.sl_id = id, .sl_flags = 0, .sl_reserved = 0, .sl_func = reinterpret_cast<_Py_funcptr_t>(function)};
    }

    static inline PyABIInfo ABI_INFO = {
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

    static inline PySlot SLOTS[] = {
        function_slot(Py_mod_exec, guarded_execute),
        static_data_slot(Py_mod_abi, &ABI_INFO),
        static_data_slot(Py_mod_gil, Py_MOD_GIL_NOT_USED),
        // Every Python object it keeps is its own module object's or its interpreter's.
        static_data_slot(Py_mod_multiple_interpreters, Py_MOD_PER_INTERPRETER_GIL_SUPPORTED),
        static_data_slot(Py_mod_name, NAME),
        static_data_slot(Py_mod_doc, EMPTY_DOC),
        {.sl_id = 0, .sl_flags = 0, .sl_reserved = 0, .sl_ptr = nullptr},
    };

    static inline PyModuleDef_Slot DEFINITION_SLOTS[] = {
        {Py_mod_slots, SLOTS},
        {0, nullptr},
    };
#else
    static inline PyModuleDef_Slot DEFINITION_SLOTS[] = {
        {Py_mod_exec, reinterpret_cast<void*>(guarded_execute)},
#if PY_VERSION_HEX >= 0x030C0000
        {Py_mod_multiple_interpreters, Py_MOD_PER_INTERPRETER_GIL_SUPPORTED},
#endif
#if PY_VERSION_HEX >= 0x030D0000
        {Py_mod_gil, Py_MOD_GIL_NOT_USED},
#endif
        {0, nullptr},
    };
#endif

    static inline PyModuleDef DEFINITION = {
        .m_base = PyModuleDef_HEAD_INIT,
        .m_name = NAME,
        .m_doc = EMPTY_DOC,
        .m_size = 0,
        .m_methods = nullptr,
        .m_slots = DEFINITION_SLOTS,
        .m_traverse = nullptr,
        .m_clear = nullptr,
        .m_free = nullptr,
    };
};

}  // namespace vantorq::bindings::module_frame
