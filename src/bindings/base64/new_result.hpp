#pragma once
// The memory the core's decoders write a new result into: a bytes object
// (the standard functions and the drop-ins) or a bytearray (pybase64's
// b64decode_as_bytearray).

#include "bindings/python.hpp"

#include <cstddef>
#include <utility>

#include "base64/decoder.hpp"
#include "bindings/runtime.hpp"

namespace vantorq::bindings::base64 {

// A sink that runs its decoding detached when the text cannot change
// meanwhile and is long enough to decode without the interpreter.
class DetachableSink : public vantorq::base64::Sink {
public:
    void allow_detach(bool detach) { runs_detached_ = detach; }
    void run_detached(Work& work) override {
        runtime::DetachedThread detached;
        work();
    }

protected:
    ~DetachableSink() = default;
};

// New bytes objects: an exact size is the object itself; a bound is room on
// the stack for the shortest outputs (copied once into an exact object,
// cheaper than a writer), else a bytes writer.
class NewBytes final : public DetachableSink {
public:
    NewBytes() = default;
    ~NewBytes() { discard(); }
    NewBytes(const NewBytes&) = delete;
    NewBytes& operator=(const NewBytes&) = delete;

    unsigned char* reserve(std::size_t capacity) override {
        discard();
        if (capacity <= STACK_OUTPUT) return stack_;
        writer_ = PyBytesWriter_Create(static_cast<Py_ssize_t>(capacity));
        return writer_ != nullptr ? static_cast<unsigned char*>(PyBytesWriter_GetData(writer_)) : nullptr;
    }
    unsigned char* reserve_exact(std::size_t size) override {
        discard();
        exact_ = PyBytes_FromStringAndSize(nullptr, static_cast<Py_ssize_t>(size));
        return exact_ != nullptr ? reinterpret_cast<unsigned char*>(PyBytes_AS_STRING(exact_)) : nullptr;
    }
    // The bytes object of the first `size` bytes written; null with an error set.
    PyObject* finish(std::size_t size) {
        if (exact_ != nullptr) return std::exchange(exact_, nullptr);
        if (writer_ == nullptr)
            return PyBytes_FromStringAndSize(reinterpret_cast<const char*>(stack_), static_cast<Py_ssize_t>(size));
        return PyBytesWriter_FinishWithSize(std::exchange(writer_, nullptr), static_cast<Py_ssize_t>(size));
    }

private:
    static constexpr std::size_t STACK_OUTPUT = 256;

    void discard() {
        if (writer_ != nullptr) PyBytesWriter_Discard(std::exchange(writer_, nullptr));
        Py_CLEAR(exact_);
    }

    PyObject* exact_ = nullptr;
    PyBytesWriter* writer_ = nullptr;
    unsigned char stack_[STACK_OUTPUT];
};

// A new bytearray of the room asked for, cut to the size written.
class NewByteArray final : public DetachableSink {
public:
    NewByteArray() = default;
    ~NewByteArray() { Py_CLEAR(array_); }
    NewByteArray(const NewByteArray&) = delete;
    NewByteArray& operator=(const NewByteArray&) = delete;

    unsigned char* reserve(std::size_t capacity) override {
        Py_CLEAR(array_);
        array_ = PyByteArray_FromStringAndSize(nullptr, static_cast<Py_ssize_t>(capacity));
        return array_ != nullptr ? reinterpret_cast<unsigned char*>(PyByteArray_AS_STRING(array_)) : nullptr;
    }
    // The bytearray of the first `size` bytes written; null with an error set.
    // Not shared yet, so no other thread can see it resized.
    PyObject* finish(std::size_t size) {
        if (PyByteArray_Resize(array_, static_cast<Py_ssize_t>(size)) < 0) return nullptr;
        return std::exchange(array_, nullptr);
    }

private:
    PyObject* array_ = nullptr;
};

}  // namespace vantorq::bindings::base64
