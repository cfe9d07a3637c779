#include "bindings/python.hpp"

#include "bindings/base64/lenient.hpp"

#include <utility>

#include "bindings/runtime.hpp"

namespace vantorq::bindings::base64::lenient {
namespace {

namespace core = vantorq::base64::lenient;
using core::LenientStatus;

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
constexpr std::size_t STACK_OUTPUT = 256;

}  // namespace

Outcome try_decode_lenient(Text text, const LenientOptions& options, bool detach) {
    const std::size_t capacity = core::lenient_capacity(text.data(), text.size(), options);
    if (capacity <= STACK_OUTPUT) {
        unsigned char out[STACK_OUTPUT];
        const auto result = core::decode_lenient_to_ptr(text.data(), text.size(), out, capacity, options);
        if (result.status != LenientStatus::Decoded) return Outcome::not_handled();
        runtime::OwnedRef bytes(
            PyBytes_FromStringAndSize(reinterpret_cast<const char*>(out), static_cast<Py_ssize_t>(result.count)));
        if (!bytes) return Outcome::raised();
        return Outcome::decoded(std::move(bytes));
    }
    BytesWriter writer(capacity);
    if (!writer) return Outcome::raised();
    unsigned char* out = writer.data();
    const auto result = runtime::run_maybe_detached(detach, [&] {
        return core::decode_lenient_to_ptr(text.data(), text.size(), out, capacity, options);
    });
    // The capacity holds every decoding, so only an error of the input remains.
    if (result.status != LenientStatus::Decoded) return Outcome::not_handled();
    auto bytes = writer.finish(result.count);
    if (!bytes) return Outcome::raised();
    return Outcome::decoded(std::move(bytes));
}

Outcome decode_lenient_into(Text text, Destination destination, const LenientOptions& options) {
    const auto result =
        core::decode_lenient_slice_into(text.data(), text.size(), destination.data(), destination.size(), options);
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

}  // namespace vantorq::bindings::base64::lenient
