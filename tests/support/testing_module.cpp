// Exposes the binding layer's building blocks to the Python tests, so that
// acquisition forms no public function reaches yet are checked against the
// real interpreter. Never installed.

#include "bindings/python.hpp"

#include <string_view>
#include <tuple>

#include "bindings/arguments.hpp"
#include "bindings/buffer.hpp"
#include "bindings/runtime.hpp"
#include "bindings/schema.hpp"

namespace vantorq::testing {
namespace {

using bindings::buffer::Acquired;
using bindings::buffer::BytesLike;
namespace buffer = bindings::buffer;

constexpr const char* VARIANT_NAMES[] = {"BorrowedBytes",    "BorrowedByteArray", "OwnedBytes",
                                         "BytesSlice",       "OwnedByteArray",    "CopiedWithBuffer",
                                         "ExportedBuffer",   "AsciiText",         "Snapshot"};
static_assert(std::size(VARIANT_NAMES) == std::variant_size_v<BytesLike::Variant>);

Acquired acquire(std::string_view form, PyObject* object, const char* name) {
    if (form == "buffer") return buffer::buffer_bytes_like(object, name, false);
    if (form == "contiguous") return buffer::contiguous_bytes_like(object, name);
    if (form == "contiguous_exported") return buffer::contiguous_bytes_like_exported(object, name);
    if (form == "hashable") return buffer::any_bytes_like(object, name);
    if (form == "ascii_or_bytes") return buffer::ascii_or_bytes(object, name);
    if (form == "decode_data_object") return buffer::decode_data_object(object, name);
    if (form == "binascii_contiguous") return buffer::binascii_contiguous_bytes_like(object, name);
    if (form == "binascii_contiguous_exported") return buffer::binascii_contiguous_bytes_like_exported(object);
    if (form == "binascii_ascii_or_bytes_exported") return buffer::binascii_ascii_or_bytes_exported(object);
    PyErr_Format(PyExc_ValueError, "unknown form %s", std::string(form).c_str());
    return std::nullopt;
}

// (variant name, contents, immutable)
PyObject* describe(const BytesLike& input) {
    PyObject* contents = input.with_bytes([](const unsigned char* data, std::size_t length) {
        return PyBytes_FromStringAndSize(reinterpret_cast<const char*>(data), static_cast<Py_ssize_t>(length));
    });
    if (contents == nullptr) return nullptr;
    return Py_BuildValue("(sNO)", VARIANT_NAMES[input.variant().index()], contents,
                         input.is_immutable() ? Py_True : Py_False);
}

PyObject* py_acquire(PyObject*, PyObject* args) {
    const char* form;
    PyObject* object;
    const char* name = "s";
    if (!PyArg_ParseTuple(args, "sO|s", &form, &object, &name)) return nullptr;
    return bindings::runtime::guarded([&]() -> PyObject* {
        const auto input = acquire(form, object, name);
        return input ? describe(*input) : nullptr;
    });
}

// describe() of the record that into_stable_after_callbacks(force) gives.
PyObject* py_stabilize(PyObject*, PyObject* args) {
    const char* form;
    PyObject* object;
    int force;
    if (!PyArg_ParseTuple(args, "sOp", &form, &object, &force)) return nullptr;
    return bindings::runtime::guarded([&]() -> PyObject* {
        auto input = acquire(form, object, "s");
        if (!input) return nullptr;
        auto stable = std::move(*input).into_stable_after_callbacks(force);
        return stable ? describe(*stable) : nullptr;
    });
}

PyObject* py_python_bytes(PyObject*, PyObject* args) {
    const char* form;
    PyObject* object;
    if (!PyArg_ParseTuple(args, "sO", &form, &object)) return nullptr;
    return bindings::runtime::guarded([&]() -> PyObject* {
        const auto input = acquire(form, object, "s");
        if (!input) return nullptr;
        PyObject* existing = input->python_bytes();
        return existing ? existing : Py_NewRef(Py_None);
    });
}

PyObject* py_overlaps(PyObject*, PyObject* args) {
    const char* form;
    PyObject* object;
    PyObject* destination;
    if (!PyArg_ParseTuple(args, "sOO!", &form, &object, &PyByteArray_Type, &destination)) return nullptr;
    return bindings::runtime::guarded([&]() -> PyObject* {
        const auto input = acquire(form, object, "s");
        if (!input) return nullptr;
        return PyBool_FromLong(input->overlaps(destination));
    });
}

PyObject* py_encode_ascii(PyObject*, PyObject* text) { return buffer::encode_ascii(text).release(); }

PyObject* py_binascii_decode_type_error(PyObject*, PyObject* object) {
    buffer::binascii_decode_type_error(object);
    return nullptr;
}

PyObject* py_read_flag(PyObject*, PyObject* args) {
    PyObject* value;
    int default_value;
    if (!PyArg_ParseTuple(args, "Op", &value, &default_value)) return nullptr;
    const auto flag = bindings::arguments::read_flag(value, default_value);
    return flag ? PyBool_FromLong(*flag) : nullptr;
}

PyObject* probe(const bindings::arguments::Arguments<4>& parsed) {
    PyObject* slots = PyTuple_New(4);
    if (slots == nullptr) return nullptr;
    for (std::size_t i = 0; i < 4; ++i) {
        PyObject* slot = parsed[i] ? parsed[i] : Py_Ellipsis;  // Ellipsis marks "not given"
        PyTuple_SET_ITEM(slots, i, Py_NewRef(slot));
    }
    return slots;
}

// A parser probe shaped like the encoders: (s, output, altchars=None, *, padded=True).
constexpr std::tuple PROBE = {
    bindings::schema::Function<4>{{"probe", {"s", "output", "altchars=None", "padded=True"}, 3}, &probe, nullptr},
};

PyObject* py_raise_panic(PyObject*, PyObject*) {
    return bindings::runtime::guarded([]() -> PyObject* { throw bindings::runtime::Panic("hash count is exact"); });
}

PyMethodDef METHODS[] = {
    {"acquire", py_acquire, METH_VARARGS, nullptr},
    {"stabilize", py_stabilize, METH_VARARGS, nullptr},
    {"python_bytes", py_python_bytes, METH_VARARGS, nullptr},
    {"overlaps", py_overlaps, METH_VARARGS, nullptr},
    {"encode_ascii", py_encode_ascii, METH_O, nullptr},
    {"binascii_decode_type_error", py_binascii_decode_type_error, METH_O, nullptr},
    {"read_flag", py_read_flag, METH_VARARGS, nullptr},
    {"probe", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(&bindings::runtime::entry_point<PROBE, 0>)),
     METH_FASTCALL | METH_KEYWORDS, nullptr},
    {"raise_panic", py_raise_panic, METH_NOARGS, nullptr},
    {nullptr, nullptr, 0, nullptr},
};

PyModuleDef_Slot SLOTS[] = {
#if PY_VERSION_HEX >= 0x030D0000
    {Py_mod_gil, Py_MOD_GIL_NOT_USED},
#endif
    {0, nullptr},
};

PyModuleDef DEFINITION = {PyModuleDef_HEAD_INIT, "_vantorq_testing", nullptr, 0, METHODS, SLOTS,
                          nullptr,               nullptr,            nullptr};

}  // namespace
}  // namespace vantorq::testing

extern "C" PyMODINIT_FUNC PyInit__vantorq_testing() { return PyModuleDef_Init(&vantorq::testing::DEFINITION); }
