#include "bindings/python.hpp"

#include "bindings/base64/mime.hpp"

#include "base64/encoder.hpp"
#include "bindings/base64/encode.hpp"
#include "bindings/base64/messages.hpp"
#include "bindings/base64/policy.hpp"
#include "bindings/buffer.hpp"
#include "bindings/compatibility.hpp"
#include "bindings/runtime.hpp"

#include <optional>
#include <string_view>

namespace vantorq::bindings::base64::mime {
namespace {

namespace core = vantorq::base64;

constexpr std::size_t MAXLINESIZE = 76;

// TypeError `message` formatted, raised from the error being handled.
void raise_from_current(const char* format, PyObject* name) {
    PyObject* cause = PyErr_GetRaisedException();
    PyErr_Format(PyExc_TypeError, format, name);
    PyObject* raised = PyErr_GetRaisedException();
    PyException_SetCause(raised, Py_NewRef(cause));
    PyException_SetContext(raised, cause);
    PyErr_SetRaisedException(raised);
}

}  // namespace

std::optional<Py_ssize_t> single_byte_elements(PyObject* s, Wording wording) {
    const bool standard = wording == Wording::Standard;
    if (!standard && !PyObject_CheckBuffer(s)) {
        PyErr_Format(PyExc_TypeError, messages::pybase64::NOT_BYTES_LIKE, Py_TYPE(s)->tp_name);
        return std::nullopt;
    }
    // The standard messages name the type, pybase64's show its repr.
    runtime::OwnedRef type(standard ? PyType_GetName(Py_TYPE(s))
                                    : PyObject_Repr(reinterpret_cast<PyObject*>(Py_TYPE(s))));
    if (!type) return std::nullopt;
    runtime::OwnedRef view(PyMemoryView_FromObject(s));
    if (!view) {
        if (PyErr_ExceptionMatches(PyExc_TypeError)) raise_from_current("expected bytes-like object, not %U", type.get());
        return std::nullopt;
    }
    const Py_buffer* buffer = PyMemoryView_GET_BUFFER(view.get());
    const char* format = buffer->format != nullptr ? buffer->format : "B";
    const std::string_view element(format);
    if (element != "c" && element != "b" && element != "B") {
        runtime::OwnedRef format_object(PyUnicode_FromString(format));
        if (format_object)
            PyErr_Format(PyExc_TypeError, "expected single byte elements, not %R from %U", format_object.get(),
                         type.get());
        return std::nullopt;
    }
    if (buffer->ndim != 1) {
        PyErr_Format(PyExc_TypeError, "expected 1-D data, not %d-D data from %U", buffer->ndim, type.get());
        return std::nullopt;
    }
    return buffer->len;
}

PyObject* encodebytes(const arguments::Arguments<1>& parsed) {
    PyObject* s = parsed[0];
    if (!PyBytes_CheckExact(s) && !PyByteArray_CheckExact(s)) {
        const auto size = single_byte_elements(s, Wording::Standard);
        if (!size) return nullptr;
        // Before 3.15 the standard function encodes the input in slices: an
        // empty one gives no slice, so its layout in memory is never checked.
        if (*size == 0 && !compatibility::python_semantics().from_3_15) return PyBytes_FromStringAndSize(nullptr, 0);
    }
    const auto input = encode::acquire_input(s);
    if (!input) return nullptr;
    if (input->len() == 0) return PyBytes_FromStringAndSize(nullptr, 0);
    return encode::encode_with_prepared(*input, core::Encoder(core::STANDARD_ENCODE_ALPHABET, true, MAXLINESIZE),
                                        true);
}

PyObject* decodebytes(const arguments::Arguments<1>& parsed) {
    PyObject* s = parsed[0];
    if (!PyBytes_CheckExact(s) && !PyByteArray_CheckExact(s) && !single_byte_elements(s, Wording::Standard))
        return nullptr;
    // As the interpreter's a2b_base64 takes it: a contiguous buffer, or its TypeError.
    if (!buffer::BorrowedBuffer(s, PyBUF_SIMPLE).valid()) {
        PyErr_Format(PyExc_TypeError, "argument should be bytes, buffer or ASCII string, not '%.100s'",
                     Py_TYPE(s)->tp_name);
        return nullptr;
    }
    // Exact bytes are read in place: copying a whole message first made this
    // half as fast as b64decode of the same text.
    const auto input = buffer::binascii_contiguous_bytes_like(s, "s");
    if (!input) return nullptr;
    return policy::PreparedDecoder(policy::PreparedPolicy::standard()).decode_allocating(*input);
}

}  // namespace vantorq::bindings::base64::mime
