#pragma once
// Bytes-like inputs: where an argument's bytes live, and what must be held
// or locked to read them safely when other threads may run meanwhile.

#include "bindings/python.hpp"

#include <cstddef>
#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

#include "backend/memory.hpp"
#include "bindings/runtime.hpp"

namespace vantorq::bindings::buffer {

// A buffer view obtained with PyObject_GetBuffer, released exactly once.
class BorrowedBuffer {
public:
    BorrowedBuffer() = default;
    // Requests a view with `flags`; check valid() afterwards (an error is set if not).
    BorrowedBuffer(PyObject* exporter, int flags) { valid_ = PyObject_GetBuffer(exporter, &view_, flags) == 0; }
    BorrowedBuffer(BorrowedBuffer&& other) noexcept
        : view_(other.view_), valid_(std::exchange(other.valid_, false)) {}
    BorrowedBuffer& operator=(BorrowedBuffer&& other) noexcept {
        if (this != &other) {
            reset();
            view_ = other.view_;
            valid_ = std::exchange(other.valid_, false);
        }
        return *this;
    }
    ~BorrowedBuffer() { reset(); }

    bool valid() const { return valid_; }
    const Py_buffer& view() const { return view_; }
    const unsigned char* data() const { return static_cast<const unsigned char*>(view_.buf); }
    std::size_t size() const { return static_cast<std::size_t>(view_.len); }
    void reset() {
        if (std::exchange(valid_, false)) PyBuffer_Release(&view_);
    }

private:
    Py_buffer view_{};
    bool valid_ = false;
};

// The address range [start, start + length) of a destination buffer.
struct BufferRange {
    std::uintptr_t start = 0;
    std::size_t length = 0;

    static BufferRange of_bytearray(PyObject* bytearray);  // call inside its critical section
    bool intersects(const BufferRange& other) const {
        return length != 0 && other.length != 0 && start < other.start + other.length &&
               other.start < start + length;
    }
};

// An owned copy of some bytes.
struct OwnedCopy {
    backend::ByteBuffer bytes;
    std::size_t length = 0;
};

struct BorrowedBytes {
    PyObject* object;
};
struct BorrowedByteArray {
    PyObject* object;
};
struct OwnedBytes {
    runtime::OwnedRef object;
};
struct BytesSlice {
    runtime::OwnedRef object;
    std::size_t offset;
    std::size_t length;
};
struct OwnedByteArray {
    runtime::OwnedRef object;
};
struct CopiedWithBuffer {
    BorrowedBuffer view;  // declared first so that it is released after the copy is freed
    OwnedCopy copy;
    bool exporter_mutable;
};
struct ExportedBuffer {
    BorrowedBuffer view;
    PyObject* memoryview;  // the argument when it was a memoryview (borrowed), else null
    bool exporter_mutable;
};
struct AsciiText {
    const char* data;
    std::size_t length;
};
struct Snapshot {
    OwnedCopy copy;
};

// One acquired input. Dropping it releases exactly what it holds.
class BytesLike {
public:
    using Variant = std::variant<BorrowedBytes, BorrowedByteArray, OwnedBytes, BytesSlice, OwnedByteArray,
                                 CopiedWithBuffer, ExportedBuffer, AsciiText, Snapshot>;

    template <typename Alternative>
        requires(!std::is_same_v<std::decay_t<Alternative>, BytesLike>)
    explicit BytesLike(Alternative&& alternative) : variant_(std::forward<Alternative>(alternative)) {}

    const Variant& variant() const { return variant_; }

    // The bytes cannot change while this record lives, so work on them may
    // run with the thread detached from the interpreter.
    bool is_immutable() const {
        return !std::holds_alternative<BorrowedByteArray>(variant_) &&
               !std::holds_alternative<OwnedByteArray>(variant_) && !std::holds_alternative<ExportedBuffer>(variant_);
    }

    // The bytearray read in place (under its critical section), or null.
    PyObject* bytearray() const {
        if (const auto* held = std::get_if<BorrowedByteArray>(&variant_)) return held->object;
        if (const auto* held = std::get_if<OwnedByteArray>(&variant_)) return held->object.get();
        return nullptr;
    }

    // Byte count (a bytearray's read inside its critical section).
    std::size_t len() const;

    // Calls `callback(pointer, length)` once with the current bytes; for
    // bytearrays inside their critical section. An empty input gives a
    // non-null pointer.
    template <typename Callback>
    decltype(auto) with_bytes(Callback&& callback) const {
        return std::visit(
            [&](const auto& held) -> decltype(auto) {
                using Held = std::decay_t<decltype(held)>;
                if constexpr (std::is_same_v<Held, BorrowedByteArray> || std::is_same_v<Held, OwnedByteArray>) {
                    PyObject* bytearray = object_of(held);
                    runtime::CriticalSection section(bytearray);
                    return callback(non_null(PyByteArray_AS_STRING(bytearray)),
                                    static_cast<std::size_t>(PyByteArray_GET_SIZE(bytearray)));
                } else {
                    const auto [data, length] = span_of(held);
                    return callback(data, length);
                }
            },
            variant_);
    }

    // A private copy of the current bytes, or nothing with MemoryError set.
    std::optional<BytesLike> try_snapshot() const;

    // The record to do the work with, once no caller code can run any more:
    // held exports of mutable memory are copied (and, with `force`, released).
    // Nothing with MemoryError set when the copy fails.
    std::optional<BytesLike> into_stable_after_callbacks(bool force) &&;

    // An existing bytes object equal to the input (new reference), or null.
    // Never creates an object; lets a caller return its input unchanged.
    PyObject* python_bytes() const;

    // Whether the input shares memory with the destination bytearray.
    bool overlaps(PyObject* destination) const;

private:
    static const unsigned char* non_null(const char* data) {
        static const unsigned char EMPTY[1] = {0};
        return data ? reinterpret_cast<const unsigned char*>(data) : EMPTY;
    }
    static PyObject* object_of(const BorrowedByteArray& held) { return held.object; }
    static PyObject* object_of(const OwnedByteArray& held) { return held.object.get(); }
    using Span = std::pair<const unsigned char*, std::size_t>;
    static Span bytes_span(PyObject* bytes) {
        return {non_null(PyBytes_AS_STRING(bytes)), static_cast<std::size_t>(PyBytes_GET_SIZE(bytes))};
    }
    static Span span_of(const BorrowedBytes& held) { return bytes_span(held.object); }
    static Span span_of(const OwnedBytes& held) { return bytes_span(held.object.get()); }
    static Span span_of(const BytesSlice& held) {
        return {non_null(PyBytes_AS_STRING(held.object.get())) + held.offset, held.length};
    }
    static Span span_of(const CopiedWithBuffer& held) { return {held.copy.bytes.get(), held.copy.length}; }
    static Span span_of(const ExportedBuffer& held) {
        return {non_null(reinterpret_cast<const char*>(held.view.data())), held.view.size()};
    }
    static Span span_of(const AsciiText& held) { return {non_null(held.data), held.length}; }
    static Span span_of(const Snapshot& held) { return {held.copy.bytes.get(), held.copy.length}; }

    Variant variant_;
};

// TypeError in the interpreter's own words for an object that is not
// bytes-like: "a bytes-like object is required, not 'int'".
void raise_not_buffer(PyObject* object);

using Acquired = std::optional<BytesLike>;

// Copies `length` bytes into a Snapshot; MemoryError "bytes-like input is too
// large to snapshot" when the memory cannot be had.
Acquired try_copy_bytes(const unsigned char* data, std::size_t length);

// Any buffer exporter (memoryviews without copying where they view bytes or a
// whole bytearray). Callers take exact bytes and bytearrays themselves first.
Acquired buffer_bytes_like(PyObject* object, const char* name, bool require_contiguous);
Acquired contiguous_bytes_like(PyObject* object, const char* name);
// A held contiguous view of any exporter, without copying.
Acquired contiguous_bytes_like_exported(PyObject* object, const char* name);

// Any bytes-like object, contiguous or not (the hash functions' inputs, the
// encoders' altchars): exact bytes and bytearrays in place, anything else
// through buffer_bytes_like.
inline Acquired any_bytes_like(PyObject* object, const char* name) {
    if (PyBytes_CheckExact(object)) return BytesLike(BorrowedBytes{object});
    if (PyByteArray_CheckExact(object)) return BytesLike(BorrowedByteArray{object});
    return buffer_bytes_like(object, name, false);
}

// bytes, bytearray, ASCII str or any exporter.
Acquired ascii_or_bytes(PyObject* object, const char* name);
// A new bytes object with the ASCII encoding of a str (or its subclass).
runtime::OwnedRef encode_ascii(PyObject* text);
// Base64 data as the base64 module accepts it.
Acquired decode_data_object(PyObject* object, const char* name);

// The same acquisitions with the binascii module's messages.
Acquired binascii_contiguous_bytes_like(PyObject* object, const char* name);
Acquired binascii_contiguous_bytes_like_exported(PyObject* object);
Acquired binascii_ascii_or_bytes_exported(PyObject* object);
void binascii_decode_type_error(PyObject* object);

}  // namespace vantorq::bindings::buffer
