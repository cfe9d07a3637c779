#pragma once
// The MurmurHash3 digests as Python objects, shared by the one-shot
// functions and the incremental hashers.

#include "bindings/python.hpp"

#include "murmur3/digest.hpp"

namespace vantorq::bindings::murmur3::digest {

namespace core = vantorq::murmur3::digest;

// A new bytes object holding the digest. Written in place: staging the words
// in a buffer and copying it would reload them wider than they were stored.
template <typename State>
PyObject* bytes_of(const State& state) {
    PyObject* bytes = PyBytes_FromStringAndSize(nullptr, core::SIZE<State>);
    if (bytes != nullptr) core::write(reinterpret_cast<unsigned char*>(PyBytes_AS_STRING(bytes)), state);
    return bytes;
}

template <typename State>
PyObject* hex_of(const State& state) {
    const auto text = core::hex(state);
    return PyUnicode_FromStringAndSize(text.data(), static_cast<Py_ssize_t>(text.size()));
}

}  // namespace vantorq::bindings::murmur3::digest
