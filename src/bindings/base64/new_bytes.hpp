#pragma once
// New bytes objects for decoders that write into a capacity bound of their
// output and report the size they wrote.

#include "bindings/python.hpp"

#include <cstddef>
#include <utility>

#include "base64/lenient.hpp"
#include "bindings/base64/outcome.hpp"
#include "bindings/runtime.hpp"

namespace vantorq::bindings::base64 {

// A bytes object under construction, discarded unless finished.
class BytesWriter {
public:
    explicit BytesWriter(std::size_t capacity) : writer_(PyBytesWriter_Create(static_cast<Py_ssize_t>(capacity))) {}
    ~BytesWriter() {
        if (writer_ != nullptr) PyBytesWriter_Discard(writer_);
    }
    BytesWriter(const BytesWriter&) = delete;
    BytesWriter& operator=(const BytesWriter&) = delete;

    explicit operator bool() const { return writer_ != nullptr; }
    unsigned char* data() const { return static_cast<unsigned char*>(PyBytesWriter_GetData(writer_)); }
    // The bytes object of the first `size` bytes; null with an error set on failure.
    runtime::OwnedRef finish(std::size_t size) {
        return runtime::OwnedRef(PyBytesWriter_FinishWithSize(std::exchange(writer_, nullptr),
                                                              static_cast<Py_ssize_t>(size)));
    }

private:
    PyBytesWriter* writer_;
};

// Outputs up to this size are decoded on the stack and copied once into an
// exact bytes object: cheaper than a writer for the shortest texts.
inline constexpr std::size_t STACK_OUTPUT = 256;

// A new bytes object filled by `decode(out, capacity)`, which returns a core
// result; `capacity` must hold every output it can give, so anything but
// success means the text is not handled. `detach` runs it without the interpreter.
template <class Decode>
Outcome decode_new_bytes(std::size_t capacity, bool detach, Decode&& decode) {
    using vantorq::base64::lenient::LenientStatus;
    if (capacity <= STACK_OUTPUT) {
        unsigned char out[STACK_OUTPUT];
        const auto result = decode(out, capacity);
        if (result.status != LenientStatus::Decoded) return Outcome::not_handled();
        runtime::OwnedRef bytes(
            PyBytes_FromStringAndSize(reinterpret_cast<const char*>(out), static_cast<Py_ssize_t>(result.count)));
        if (!bytes) return Outcome::raised();
        return Outcome::decoded(std::move(bytes));
    }
    BytesWriter writer(capacity);
    if (!writer) return Outcome::raised();
    unsigned char* out = writer.data();
    const auto result = runtime::run_maybe_detached(detach, [&] { return decode(out, capacity); });
    if (result.status != LenientStatus::Decoded) return Outcome::not_handled();
    auto bytes = writer.finish(result.count);
    if (!bytes) return Outcome::raised();
    return Outcome::decoded(std::move(bytes));
}

// A core result of decoding into a destination as an Outcome.
inline Outcome written_outcome(vantorq::base64::lenient::LenientResult result) {
    using vantorq::base64::lenient::LenientStatus;
    switch (result.status) {
        case LenientStatus::Decoded:
            return Outcome::written(result.count);
        case LenientStatus::CapacityExhausted:
            return Outcome::too_small(result.count);
        case LenientStatus::NotHandled:
            break;
    }
    return Outcome::not_handled();
}

}  // namespace vantorq::bindings::base64
