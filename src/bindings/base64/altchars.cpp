#include "bindings/python.hpp"

#include "bindings/base64/altchars.hpp"

#include <utility>

#include "bindings/base64/messages.hpp"
#include "bindings/buffer.hpp"
#include "bindings/compatibility.hpp"

namespace vantorq::bindings::base64::altchars {
namespace {

// The 62 symbols every alphabet starts with, as a bytes object.
PyObject* common_symbols() {
    static constexpr runtime::InterpreterObject COMMON_SYMBOLS("vantorq.common_symbols");
    return COMMON_SYMBOLS.get_or_create([] {
        return PyBytes_FromStringAndSize(vantorq::base64::COMMON_SYMBOLS.data(),
                                         static_cast<Py_ssize_t>(vantorq::base64::COMMON_SYMBOLS.size()));
    });
}

// The interpreter's base64 module turns a TypeError of memoryview(x).tobytes()
// into its own message naming the type.
runtime::OwnedRef exporter_to_bytes(PyObject* value) {
    runtime::OwnedRef view(PyMemoryView_FromObject(value));
    runtime::OwnedRef flat(view ? PyObject_CallMethod(view.get(), "tobytes", nullptr) : nullptr);
    if (!flat && PyErr_ExceptionMatches(PyExc_TypeError)) {
        PyErr_Clear();
        runtime::OwnedRef type_name(PyType_GetName(Py_TYPE(value)));
        if (type_name)
            PyErr_Format(PyExc_TypeError, messages::NOT_BYTES_LIKE_OR_ASCII, type_name.get());
    }
    return flat;
}

}  // namespace

void raise_wrong_length(PyObject* value) {
    if (compatibility::python_semantics().from_3_15_alt) {
        PyErr_Format(PyExc_ValueError, messages::INVALID_ALTCHARS, value);
        return;
    }
    runtime::OwnedRef text(PyObject_Repr(value));
    if (text) PyErr_SetObject(PyExc_AssertionError, text.get());
}

runtime::OwnedRef with_common_symbols(PyObject* altchars) {
    PyObject* common = common_symbols();
    if (common == nullptr) return {};
    return runtime::OwnedRef(PyNumber_Add(common, altchars));
}

bool parse_altchars(PyObject* value, bool allow_text, std::optional<Pair>& pair) {
    pair.reset();
    if (value == nullptr || value == Py_None) return true;
    const auto acquired =
        allow_text ? buffer::ascii_or_bytes(value, "altchars") : buffer::any_bytes_like(value, "altchars");
    if (!acquired) return false;
    // Read once (a bytearray inside its lock), so the pair is a snapshot.
    return acquired->with_bytes([&](const unsigned char* data, std::size_t length) {
        if (length == 2) {
            pair = Pair{data[0], data[1]};
            return true;
        }
        if (!compatibility::python_semantics().from_3_15_alt) {
            PyErr_SetString(PyExc_AssertionError, messages::ALTCHARS_LENGTH_BEFORE_3_15);
            return false;
        }
        runtime::OwnedRef as_bytes(PyBytes_FromStringAndSize(reinterpret_cast<const char*>(data),
                                                             static_cast<Py_ssize_t>(length)));
        if (as_bytes) raise_wrong_length(as_bytes.get());
        return false;
    });
}

std::optional<Normalized> normalized_altchars(PyObject* value, bool ignorechars_given) {
    runtime::OwnedRef object;
    if (PyUnicode_Check(value)) {
        object = buffer::encode_ascii(value);
    } else if (PyBytes_Check(value) || PyByteArray_Check(value)) {
        object = runtime::OwnedRef::borrow(value);
    } else {
        object = exporter_to_bytes(value);
    }
    if (!object) return std::nullopt;
    const Py_ssize_t size = PyObject_Size(object.get());
    if (size < 0) return std::nullopt;
    if (size != 2) {
        raise_wrong_length(object.get());
        return std::nullopt;
    }
    const auto bytes = buffer::any_bytes_like(object.get(), "altchars");
    if (!bytes) return std::nullopt;
    // Read once (a bytearray inside its lock), so the pair is a snapshot.
    const auto pair = bytes->with_bytes([](const unsigned char* data, std::size_t length) {
        return length == 2 ? std::optional(Pair{data[0], data[1]})
                           : std::nullopt;
    });
    if (!pair) {
        // Only an object whose len() disagrees with its bytes gets here; the
        // interpreter then fails building its alphabet, resp. its translation.
        if (ignorechars_given) {
            PyErr_SetString(PyExc_ValueError, messages::ALPHABET_LENGTH);
        } else {
            PyErr_SetString(PyExc_ValueError, messages::MAKETRANS_LENGTH);
        }
        return std::nullopt;
    }
    return Normalized{std::move(object), *pair};
}

runtime::OwnedRef parse_decode_alphabet(PyObject* altchars) {
    runtime::OwnedRef alphabet = with_common_symbols(altchars);
    if (!alphabet) return {};
    const Py_ssize_t size = PyObject_Size(alphabet.get());
    if (size < 0) return {};
    if (size != 64) {
        PyErr_SetString(PyExc_ValueError, messages::ALPHABET_LENGTH);
        return {};
    }
    return alphabet;
}

}  // namespace vantorq::bindings::base64::altchars
