#include "bindings/python.hpp"

#include "bindings/runtime.hpp"

namespace vantorq::bindings::runtime {

PyObject* panic_exception_type() {
    static constexpr InterpreterObject PANIC_EXCEPTION("vantorq.PanicException");
    return PANIC_EXCEPTION.get_or_create([] {
        return PyErr_NewExceptionWithDoc("vantorq.PanicException",
                                         "An internal invariant of vantorq failed. Derived from BaseException so "
                                         "that ordinary `except Exception` handlers do not hide it.",
                                         PyExc_BaseException, nullptr);
    });
}

void raise_panic(const Panic& panic) {
    PyObject* type = panic_exception_type();
    if (type == nullptr) return;  // creating the class failed; that error stays set
    PyErr_SetString(type, panic.what ? panic.what : "internal invariant failed in vantorq");
}

}  // namespace vantorq::bindings::runtime
