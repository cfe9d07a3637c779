#pragma once
// The newer C API functions this module uses, for the interpreters that lack
// them (CPython 3.10 to 3.14). Each is written from the older interfaces with
// the meaning the newer interpreter gives it, so the code above this header
// is the same on every version; where an interpreter has the function, its
// own is used and nothing here is compiled. Included only by python.hpp.
//
// What cannot be written this way (the module export hook, which only 3.15
// knows) is chosen at its one place of use with these VANTORQ_HAS_ flags.

#include <atomic>
#include <cstdint>
#include <cstring>

#define VANTORQ_HAS_MODULE_EXPORT (PY_VERSION_HEX >= 0x030F0000)  // PyModExport_ and PySlot arrays
#define VANTORQ_HAS_LONG_WRITER (PY_VERSION_HEX >= 0x030E0000)    // PyLongWriter and the digit layout
#define VANTORQ_HAS_TYPE_TOKEN (PY_VERSION_HEX >= 0x030E0000)     // Py_tp_token and PyType_GetBaseByToken

// ---- 3.11: type names, and const source buffers ---------------------------------

#if PY_VERSION_HEX < 0x030B0000
inline PyObject* PyType_GetName(PyTypeObject* type) {
    return PyObject_GetAttrString(reinterpret_cast<PyObject*>(type), "__name__");
}

// 3.10 declares the source view without const, though it only reads it.
inline int PyBuffer_ToContiguous(void* target, const Py_buffer* source, Py_ssize_t length, char order) {
    return ::PyBuffer_ToContiguous(target, const_cast<Py_buffer*>(source), length, order);
}
#endif

// ---- 3.12: the raised exception as one object ---------------------------------

#if PY_VERSION_HEX < 0x030C0000
inline PyObject* PyErr_GetRaisedException() {
    PyObject *type, *value, *traceback;
    PyErr_Fetch(&type, &value, &traceback);
    if (type == nullptr) return nullptr;
    PyErr_NormalizeException(&type, &value, &traceback);
    if (traceback != nullptr) PyException_SetTraceback(value, traceback);
    Py_XDECREF(type);
    Py_XDECREF(traceback);
    return value;
}

inline void PyErr_SetRaisedException(PyObject* exception) {
    if (exception == nullptr) {
        PyErr_Clear();
        return;
    }
    PyErr_Restore(Py_NewRef(reinterpret_cast<PyObject*>(Py_TYPE(exception))), exception,
                  PyException_GetTraceback(exception));
}
#endif

// ---- 3.13: critical sections, strong-reference lookups, native-byte ints ------

// A critical section's storage is declared by free-threaded builds (from
// 3.13) and by every build from 3.15. Elsewhere the global lock already
// serialises every object, and a critical section has nothing to do.
#if defined(Py_GIL_DISABLED) || PY_VERSION_HEX >= 0x030F0000
#define VANTORQ_HAS_CRITICAL_SECTIONS 1
#else
#define VANTORQ_HAS_CRITICAL_SECTIONS 0
#endif

#if PY_VERSION_HEX < 0x030D0000
// The type's __module__ and __qualname__ joined by a dot, the module left out
// when it is builtins or __main__ (or not a str), as 3.13 writes it.
inline PyObject* PyType_GetFullyQualifiedName(PyTypeObject* type) {
    PyObject* qualname = PyObject_GetAttrString(reinterpret_cast<PyObject*>(type), "__qualname__");
    if (qualname == nullptr) return nullptr;
    PyObject* module = PyObject_GetAttrString(reinterpret_cast<PyObject*>(type), "__module__");
    if (module == nullptr) PyErr_Clear();
    PyObject* name = qualname;
    if (module != nullptr && PyUnicode_Check(module) && PyUnicode_CompareWithASCIIString(module, "builtins") != 0 &&
        PyUnicode_CompareWithASCIIString(module, "__main__") != 0) {
        name = PyUnicode_FromFormat("%U.%U", module, qualname);
        Py_DECREF(qualname);
    }
    Py_XDECREF(module);
    return name;
}

inline int PyDict_GetItemStringRef(PyObject* dict, const char* key, PyObject** result) {
    PyObject* name = PyUnicode_FromString(key);
    if (name == nullptr) {
        *result = nullptr;
        return -1;
    }
    PyObject* found = PyDict_GetItemWithError(dict, name);
    Py_DECREF(name);
    *result = Py_XNewRef(found);
    if (found != nullptr) return 1;
    return PyErr_Occurred() ? -1 : 0;
}

inline int PyDict_SetDefaultRef(PyObject* dict, PyObject* key, PyObject* default_value, PyObject** result) {
    PyObject* value = PyDict_SetDefault(dict, key, default_value);
    *result = Py_XNewRef(value);
    if (value == nullptr) return -1;
    return value == default_value ? 0 : 1;
}

inline int PyObject_GetOptionalAttrString(PyObject* object, const char* name, PyObject** result) {
    *result = PyObject_GetAttrString(object, name);
    if (*result != nullptr) return 1;
    if (!PyErr_ExceptionMatches(PyExc_AttributeError)) return -1;
    PyErr_Clear();
    return 0;
}

// A string that cannot be encoded equals no UTF-8 text.
inline int PyUnicode_EqualToUTF8AndSize(PyObject* text, const char* utf8, Py_ssize_t size) {
    Py_ssize_t length;
    const char* own = PyUnicode_AsUTF8AndSize(text, &length);
    if (own == nullptr) {
        PyErr_Clear();
        return 0;
    }
    return length == size && std::memcmp(own, utf8, static_cast<std::size_t>(size)) == 0;
}

inline int PyUnicode_EqualToUTF8(PyObject* text, const char* utf8) {
    return PyUnicode_EqualToUTF8AndSize(text, utf8, static_cast<Py_ssize_t>(std::strlen(utf8)));
}

#define Py_ASNATIVEBYTES_LITTLE_ENDIAN 1
#define Py_ASNATIVEBYTES_UNSIGNED_BUFFER 4

inline PyObject* PyLong_FromNativeBytes(const void* buffer, std::size_t size, int flags) {
    return _PyLong_FromByteArray(static_cast<const unsigned char*>(buffer), size,
                                 (flags & Py_ASNATIVEBYTES_LITTLE_ENDIAN) != 0,
                                 (flags & Py_ASNATIVEBYTES_UNSIGNED_BUFFER) == 0);
}

inline PyObject* PyLong_FromUnsignedNativeBytes(const void* buffer, std::size_t size, int flags) {
    return PyLong_FromNativeBytes(buffer, size, flags | Py_ASNATIVEBYTES_UNSIGNED_BUFFER);
}
#endif

// ---- 3.14: attribute imports, sign tests, type tokens ---------------------------

#if PY_VERSION_HEX < 0x030E0000
inline PyObject* PyImport_ImportModuleAttrString(const char* module_name, const char* attribute) {
    PyObject* module = PyImport_ImportModule(module_name);
    if (module == nullptr) return nullptr;
    PyObject* value = PyObject_GetAttrString(module, attribute);
    Py_DECREF(module);
    return value;
}

inline int PyLong_IsNegative(PyObject* value) {
    if (!PyLong_Check(value)) {
        PyErr_Format(PyExc_TypeError, "expected int, got %s", Py_TYPE(value)->tp_name);
        return -1;
    }
    return _PyLong_Sign(value) < 0;
}

namespace vantorq::bindings::c_api_compat {

// Before 3.14 a class carries no token. A class made by this module is known
// instead by its deallocator, a function of this module that no other class
// has (a subclass made in Python gets the interpreter's own): the token of
// each class made here is recorded beside it, once per deallocator.
struct TokenEntry {
    std::atomic<destructor> dealloc{nullptr};
    std::atomic<const void*> token{nullptr};
};
inline TokenEntry TOKENS[16];

inline bool record_token(destructor dealloc, const void* token) {
    for (TokenEntry& entry : TOKENS) {
        destructor expected = nullptr;
        if (entry.dealloc.compare_exchange_strong(expected, dealloc) || expected == dealloc) {
            entry.token.store(token, std::memory_order_release);
            return true;
        }
    }
    return false;
}

inline const void* token_of(PyTypeObject* type) {
    if (type == nullptr || type->tp_dealloc == nullptr) return nullptr;
    for (TokenEntry& entry : TOKENS) {
        const destructor dealloc = entry.dealloc.load(std::memory_order_acquire);
        if (dealloc == nullptr) return nullptr;
        if (dealloc == type->tp_dealloc) return entry.token.load(std::memory_order_acquire);
    }
    return nullptr;
}

}  // namespace vantorq::bindings::c_api_compat

inline int PyType_GetBaseByToken(PyTypeObject* type, void* token, PyTypeObject** result) {
    *result = nullptr;
    PyObject* mro = type->tp_mro;
    if (mro == nullptr) return 0;
    for (Py_ssize_t i = 0; i < PyTuple_GET_SIZE(mro); ++i) {
        auto* base = reinterpret_cast<PyTypeObject*>(PyTuple_GET_ITEM(mro, i));
        if (vantorq::bindings::c_api_compat::token_of(base) == token) {
            *result = reinterpret_cast<PyTypeObject*>(Py_NewRef(reinterpret_cast<PyObject*>(base)));
            return 1;
        }
    }
    return 0;
}
#endif

namespace vantorq::bindings::c_api_compat {

// The token a class was made with; null for a class made elsewhere.
inline const void* type_token(PyTypeObject* type) {
    if (!PyType_HasFeature(type, Py_TPFLAGS_HEAPTYPE)) return nullptr;
#if VANTORQ_HAS_TYPE_TOKEN
    return reinterpret_cast<PyHeapTypeObject*>(type)->ht_token;
#else
    return token_of(type);
#endif
}

}  // namespace vantorq::bindings::c_api_compat

// ---- 3.15: bytes writers, classes from slot arrays ----------------------------

#if PY_VERSION_HEX < 0x030F0000
// The writer is the bytes object it will return, made at the reserved size
// and cut to the written size at the end.
struct PyBytesWriter;

inline PyBytesWriter* PyBytesWriter_Create(Py_ssize_t size) {
    return reinterpret_cast<PyBytesWriter*>(PyBytes_FromStringAndSize(nullptr, size));
}

inline void* PyBytesWriter_GetData(PyBytesWriter* writer) {
    return PyBytes_AS_STRING(reinterpret_cast<PyObject*>(writer));
}

inline PyObject* PyBytesWriter_FinishWithSize(PyBytesWriter* writer, Py_ssize_t size) {
    PyObject* bytes = reinterpret_cast<PyObject*>(writer);
    if (size == PyBytes_GET_SIZE(bytes)) return bytes;
    if (_PyBytes_Resize(&bytes, size) < 0) return nullptr;
    return bytes;
}

inline void PyBytesWriter_Discard(PyBytesWriter* writer) { Py_XDECREF(reinterpret_cast<PyObject*>(writer)); }

// The slot array of a class, as 3.15 spells it, for the interpreters that
// take a PyType_Spec: the array is read into one and the class made from it.
using _Py_funcptr_t = void (*)();

struct PySlot {
    std::uint16_t sl_id;
    std::uint16_t sl_flags;
    std::uint32_t sl_reserved;
    union {
        void* sl_ptr;
        _Py_funcptr_t sl_func;
        Py_ssize_t sl_size;
        std::int64_t sl_int64;
        std::uint64_t sl_uint64;
    };
};

#define PySlot_STATIC 0x0002
// The class record's own fields, which a PyType_Spec holds outside its slots.
#define Py_tp_name 95
#define Py_tp_basicsize 96
#define Py_tp_flags 99
#define Py_tp_module 108
#if PY_VERSION_HEX < 0x030E0000
#define Py_tp_vectorcall 82
#define Py_tp_token 83
#endif

inline PyObject* PyType_FromSlots(const PySlot* slots) {
    PyType_Slot type_slots[32];
    std::size_t count = 0;
    PyType_Spec spec{};
    PyObject* module = nullptr;
    [[maybe_unused]] vectorcallfunc vectorcall = nullptr;
    [[maybe_unused]] const void* token = nullptr;
    for (const PySlot* slot = slots; slot->sl_id != 0; ++slot) {
        switch (slot->sl_id) {
        case Py_tp_name: spec.name = static_cast<const char*>(slot->sl_ptr); break;
        case Py_tp_basicsize: spec.basicsize = static_cast<int>(slot->sl_size); break;
        case Py_tp_flags: spec.flags = static_cast<unsigned int>(slot->sl_uint64); break;
        case Py_tp_module: module = static_cast<PyObject*>(slot->sl_ptr); break;
#if PY_VERSION_HEX < 0x030E0000
        case Py_tp_vectorcall: vectorcall = reinterpret_cast<vectorcallfunc>(slot->sl_func); break;
        case Py_tp_token: token = slot->sl_ptr; break;
#endif
        default:
            if (count + 1 == sizeof type_slots / sizeof type_slots[0]) {
                PyErr_SetString(PyExc_SystemError, "a class has more slots than this module expects");
                return nullptr;
            }
            // Data and functions alike: a PyType_Slot keeps either as a pointer.
            type_slots[count++] = {slot->sl_id, slot->sl_ptr};
        }
    }
    type_slots[count] = {0, nullptr};
    spec.slots = type_slots;
    PyObject* type = PyType_FromModuleAndSpec(module, &spec, nullptr);
#if PY_VERSION_HEX < 0x030E0000
    if (type == nullptr) return nullptr;
    auto* made = reinterpret_cast<PyTypeObject*>(type);
    // The class object itself is called through this, as 3.14 sets it from the slot.
    if (vectorcall != nullptr) made->tp_vectorcall = vectorcall;
    if (token != nullptr && !vantorq::bindings::c_api_compat::record_token(made->tp_dealloc, token)) {
        Py_DECREF(type);
        PyErr_SetString(PyExc_SystemError, "this module makes more classes than it can mark");
        return nullptr;
    }
#endif
    return type;
}
#endif
