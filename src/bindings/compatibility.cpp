#include "bindings/python.hpp"

#include "bindings/compatibility.hpp"

#include "bindings/altchars.hpp"
#include "bindings/buffer.hpp"
#include "bindings/runtime.hpp"

namespace vantorq::bindings::compatibility {

const PythonSemantics& python_semantics() {
    static const PythonSemantics PYTHON_SEMANTICS = [] {
        const auto parsed = parse_python_version(Py_GetVersion());
        if (!parsed) throw runtime::Panic("interpreter version string is not major.minor.patch");
        return *parsed;
    }();
    return PYTHON_SEMANTICS;
}

bool python_at_least() {
    const auto& s = python_semantics();
    return (s.major == 3 && s.minor >= 15) || s.major > 3;
}

bool parse_altchars(PyObject* value, bool allow_text, std::optional<Altchars>& pair) {
    pair.reset();
    if (value == nullptr || value == Py_None) return true;
    const auto acquired =
        allow_text ? buffer::ascii_or_bytes(value, "altchars") : buffer::hashable_bytes_like(value, "altchars");
    if (!acquired) return false;
    // Read once (a bytearray inside its lock), so the pair is a snapshot.
    return acquired->with_bytes([&](const unsigned char* data, std::size_t length) {
        if (length == 2) {
            pair = Altchars{data[0], data[1]};
            return true;
        }
        if (!python_semantics().from_3_15_alt) {
            PyErr_SetString(PyExc_AssertionError, "altchars must be a bytes-like object or ASCII string of length 2");
            return false;
        }
        runtime::OwnedRef as_bytes(PyBytes_FromStringAndSize(reinterpret_cast<const char*>(data),
                                                             static_cast<Py_ssize_t>(length)));
        if (as_bytes) PyErr_Format(PyExc_ValueError, "invalid altchars: %R", as_bytes.get());
        return false;
    });
}

}  // namespace vantorq::bindings::compatibility
