#include "bindings/python.hpp"

#include "bindings/buffer.hpp"

#include <cstring>

namespace vantorq::bindings::buffer {
namespace {

constexpr const char* NON_ASCII_TEXT = "string argument should contain only ASCII characters";

const char* type_name_or_null(PyObject* object, runtime::OwnedRef& holder) {
    holder = runtime::OwnedRef(PyType_GetName(Py_TYPE(object)));
    return holder ? PyUnicode_AsUTF8(holder.get()) : nullptr;
}

// TypeError "<prefix><type name><suffix>".
void raise_type_error_naming_type(PyObject* object, const char* prefix, const char* suffix) {
    runtime::OwnedRef holder;
    if (const char* type_name = type_name_or_null(object, holder))
        PyErr_Format(PyExc_TypeError, "%s%s%s", prefix, type_name, suffix);
}

void raise_not_bytes_like(const char* name) {
    PyErr_Format(PyExc_TypeError, "%s must be a bytes-like object", name);
}

// The object a memoryview views (its `obj`); a view of a view names the
// original exporter. The view's own Py_buffer names the memoryview instead.
PyObject* memoryview_exporter(PyObject* memoryview) { return PyMemoryView_GET_BUFFER(memoryview)->obj; }

Acquired from_tobytes(PyObject* memoryview) {
    runtime::OwnedRef flat(PyObject_CallMethod(memoryview, "tobytes", nullptr));
    if (!flat) return std::nullopt;
    if (!PyBytes_Check(flat.get())) {
        PyErr_SetString(PyExc_TypeError, "memoryview.tobytes() did not return bytes");
        return std::nullopt;
    }
    return BytesLike(OwnedBytes{std::move(flat)});
}

// A memoryview over bytes or a whole bytearray is read in place; anything
// else is flattened by the memoryview itself.
Acquired memoryview_bytes_like(PyObject* memoryview, bool require_contiguous) {
    // A simple request lets the memoryview judge its own layout, as the
    // interpreter's converters do: an empty view with a stride other than its
    // item size is not contiguous to it, although it is to PyBuffer_IsContiguous.
    BorrowedBuffer view(memoryview, require_contiguous ? PyBUF_SIMPLE : PyBUF_FULL_RO);
    if (!view.valid()) return std::nullopt;
    if (PyBuffer_IsContiguous(&view.view(), 'C')) {
        PyObject* exporter = memoryview_exporter(memoryview);
        const auto start = reinterpret_cast<std::uintptr_t>(view.data());
        if (exporter != nullptr && PyBytes_CheckExact(exporter)) {
            const auto data = reinterpret_cast<std::uintptr_t>(PyBytes_AS_STRING(exporter));
            const auto size = static_cast<std::size_t>(PyBytes_GET_SIZE(exporter));
            if (start >= data && start + view.size() <= data + size) {
                if (start == data && view.size() == size) return BytesLike(OwnedBytes{runtime::OwnedRef::borrow(exporter)});
                return BytesLike(BytesSlice{runtime::OwnedRef::borrow(exporter), start - data, view.size()});
            }
        } else if (exporter != nullptr && PyByteArray_CheckExact(exporter)) {
            runtime::CriticalSection section(exporter);
            const auto range = BufferRange::of_bytearray(exporter);
            if (range.start == start && range.length == view.size())
                return BytesLike(OwnedByteArray{runtime::OwnedRef::borrow(exporter)});
        }
    }
    view.reset();
    return from_tobytes(memoryview);
}

// Copies any exporter's bytes, in C order, into a new bytes object.
Acquired flattened_copy(PyObject* object, bool require_contiguous) {
    runtime::CriticalSection section(object);
    // Where contiguity is required the exporter refuses in its own words.
    BorrowedBuffer view(object, require_contiguous ? PyBUF_SIMPLE : PyBUF_FULL_RO);
    if (!view.valid()) return std::nullopt;
    runtime::OwnedRef copy(PyBytes_FromStringAndSize(nullptr, view.view().len));
    if (!copy) return std::nullopt;
    char* target = PyBytes_AS_STRING(copy.get());
    std::memset(target, 0, view.size());
    if (PyBuffer_ToContiguous(target, &view.view(), view.view().len, 'C') < 0) return std::nullopt;
    return BytesLike(OwnedBytes{std::move(copy)});
}

Acquired exported(PyObject* object) {
    BorrowedBuffer view(object, PyBUF_SIMPLE);
    if (!view.valid()) return std::nullopt;
    const bool exporter_mutable = !view.view().readonly;
    return BytesLike(
        ExportedBuffer{std::move(view), PyMemoryView_Check(object) ? object : nullptr, exporter_mutable});
}

// Exact str: borrowed when pure ASCII. Returns nothing with no error set when
// the text is not ASCII.
std::optional<AsciiText> borrowed_ascii(PyObject* text) {
    Py_ssize_t size = 0;
    const char* utf8 = PyUnicode_AsUTF8AndSize(text, &size);
    if (utf8 == nullptr) {
        PyErr_Clear();  // lone surrogates: no UTF-8 form, so certainly not ASCII
        return std::nullopt;
    }
    if (size != PyUnicode_GetLength(text)) return std::nullopt;
    return AsciiText{utf8, static_cast<std::size_t>(size)};
}

Acquired encoded_text(PyObject* text) {
    auto encoded = encode_ascii(text);
    if (!encoded) return std::nullopt;
    return BytesLike(OwnedBytes{std::move(encoded)});
}

Acquired exact_bytes_or_bytearray(PyObject* object) {
    if (PyBytes_CheckExact(object)) return BytesLike(BorrowedBytes{object});
    if (PyByteArray_CheckExact(object)) return BytesLike(BorrowedByteArray{object});
    return std::nullopt;
}

// Replaces a pending TypeError with another message naming the object's type.
Acquired retype_error(Acquired acquired, PyObject* object, const char* prefix, const char* suffix) {
    if (!acquired && PyErr_ExceptionMatches(PyExc_TypeError)) {
        PyErr_Clear();
        raise_type_error_naming_type(object, prefix, suffix);
    }
    return acquired;
}

}  // namespace

void raise_not_buffer(PyObject* object) {
    raise_type_error_naming_type(object, "a bytes-like object is required, not '", "'");
}

BufferRange BufferRange::of_bytearray(PyObject* bytearray) {
    return {reinterpret_cast<std::uintptr_t>(PyByteArray_AS_STRING(bytearray)),
            static_cast<std::size_t>(PyByteArray_GET_SIZE(bytearray))};
}

std::size_t BytesLike::len() const {
    return with_bytes([](const unsigned char*, std::size_t length) { return length; });
}

Acquired try_copy_bytes(const unsigned char* data, std::size_t length) {
    auto bytes = backend::try_allocate_bytes(length);
    if (!bytes) {
        PyErr_SetString(PyExc_MemoryError, "bytes-like input is too large to snapshot");
        return std::nullopt;
    }
    if (length != 0) std::memcpy(bytes.get(), data, length);
    return BytesLike(Snapshot{OwnedCopy{std::move(bytes), length}});
}

std::optional<BytesLike> BytesLike::try_snapshot() const {
    return with_bytes([](const unsigned char* data, std::size_t length) { return try_copy_bytes(data, length); });
}

std::optional<BytesLike> BytesLike::into_stable_after_callbacks(bool force) && {
    if (auto* held = std::get_if<ExportedBuffer>(&variant_)) {
        auto snapshot = try_snapshot();
        if (!snapshot) return std::nullopt;
        if (force) return snapshot;  // dropping *this releases the view
        auto& copy = std::get<Snapshot>(snapshot->variant_).copy;
        return BytesLike(CopiedWithBuffer{std::move(held->view), std::move(copy), held->exporter_mutable});
    }
    if (auto* held = std::get_if<CopiedWithBuffer>(&variant_); held && force && held->exporter_mutable)
        return BytesLike(Snapshot{std::move(held->copy)});
    return std::move(*this);
}

PyObject* BytesLike::python_bytes() const {
    if (const auto* held = std::get_if<BorrowedBytes>(&variant_)) return Py_NewRef(held->object);
    if (const auto* held = std::get_if<OwnedBytes>(&variant_)) return Py_NewRef(held->object.get());
    if (const auto* held = std::get_if<ExportedBuffer>(&variant_); held && held->memoryview) {
        PyObject* exporter = memoryview_exporter(held->memoryview);
        if (exporter != nullptr && PyBytes_CheckExact(exporter) &&
            reinterpret_cast<const unsigned char*>(PyBytes_AS_STRING(exporter)) == held->view.data() &&
            static_cast<std::size_t>(PyBytes_GET_SIZE(exporter)) == held->view.size())
            return Py_NewRef(exporter);
    }
    return nullptr;
}

bool BytesLike::overlaps(PyObject* destination) const {
    if (const auto* held = std::get_if<BorrowedByteArray>(&variant_)) return held->object == destination;
    if (const auto* held = std::get_if<OwnedByteArray>(&variant_)) return held->object.get() == destination;
    if (const auto* held = std::get_if<ExportedBuffer>(&variant_)) {
        const BufferRange input{reinterpret_cast<std::uintptr_t>(held->view.data()), held->view.size()};
        runtime::CriticalSection section(destination);
        return input.intersects(BufferRange::of_bytearray(destination));
    }
    return false;
}

Acquired buffer_bytes_like(PyObject* object, const char* name, bool require_contiguous) {
    if (PyMemoryView_Check(object)) return memoryview_bytes_like(object, require_contiguous);
    if (!PyObject_CheckBuffer(object)) {
        raise_not_bytes_like(name);
        return std::nullopt;
    }
    return flattened_copy(object, require_contiguous);
}

Acquired contiguous_bytes_like(PyObject* object, const char* name) { return buffer_bytes_like(object, name, true); }

Acquired contiguous_bytes_like_exported(PyObject* object, const char* name) {
    if (!PyObject_CheckBuffer(object)) {
        raise_not_bytes_like(name);
        return std::nullopt;
    }
    return exported(object);
}

runtime::OwnedRef encode_ascii(PyObject* text) {
    runtime::OwnedRef encoded(PyUnicode_CheckExact(text) ? PyUnicode_AsASCIIString(text)
                                                         : PyObject_CallMethod(text, "encode", "s", "ascii"));
    if (!encoded && PyErr_ExceptionMatches(PyExc_UnicodeEncodeError)) {
        // Chained as the base64 module chains it: the encoding error becomes the context.
        runtime::OwnedRef encoding_error(PyErr_GetRaisedException());
        PyErr_SetString(PyExc_ValueError, NON_ASCII_TEXT);
        runtime::OwnedRef error(PyErr_GetRaisedException());
        PyException_SetContext(error.get(), encoding_error.release());
        PyErr_SetRaisedException(error.release());
    }
    return encoded;
}

Acquired ascii_or_bytes(PyObject* object, const char* name) {
    if (auto exact = exact_bytes_or_bytearray(object)) return exact;
    if (PyUnicode_CheckExact(object)) {
        if (auto text = borrowed_ascii(object)) return BytesLike(*text);
        PyErr_Format(PyExc_ValueError, "%s must contain only ASCII characters", name);
        return std::nullopt;
    }
    if (PyUnicode_Check(object)) return encoded_text(object);
    return buffer_bytes_like(object, name, false);
}

Acquired decode_data_object(PyObject* object, const char* name) {
    if (PyUnicode_Check(object)) return encoded_text(object);
    if (auto exact = exact_bytes_or_bytearray(object)) return exact;
    return retype_error(buffer_bytes_like(object, name, false), object,
                        "argument should be a bytes-like object or ASCII string, not '", "'");
}

// Only an object that exports no buffer at all is named in the message; an
// exporter's own failure passes unchanged, as the interpreter passes it.
Acquired binascii_contiguous_bytes_like(PyObject* object, const char* name) {
    // Nothing can change an exact bytes object: no copy is needed.
    if (PyBytes_CheckExact(object)) return BytesLike(BorrowedBytes{object});
    if (!PyObject_CheckBuffer(object)) {
        raise_not_buffer(object);
        return std::nullopt;
    }
    return contiguous_bytes_like(object, name);
}

Acquired binascii_contiguous_bytes_like_exported(PyObject* object) {
    if (!PyObject_CheckBuffer(object)) {
        raise_not_buffer(object);
        return std::nullopt;
    }
    return exported(object);
}

Acquired binascii_ascii_or_bytes_exported(PyObject* object) {
    if (auto exact = exact_bytes_or_bytearray(object)) return exact;
    if (PyUnicode_CheckExact(object)) {
        if (auto text = borrowed_ascii(object)) return BytesLike(*text);
        PyErr_SetString(PyExc_ValueError, NON_ASCII_TEXT);
        return std::nullopt;
    }
    if (PyUnicode_Check(object)) return encoded_text(object);
    if (!PyObject_CheckBuffer(object)) {
        binascii_decode_type_error(object);
        return std::nullopt;
    }
    return exported(object);
}

void binascii_decode_type_error(PyObject* object) {
    raise_type_error_naming_type(object, "argument should be bytes, buffer or ASCII string, not '", "'");
}

}  // namespace vantorq::bindings::buffer
