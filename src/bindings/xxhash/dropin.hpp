#pragma once
// What vantorq.xxhash shares with the xxhash package: how its functions and
// hashers read data and seeds, and the digests in that package's forms.

#include "bindings/python.hpp"

#include <cstddef>
#include <cstdint>

#include "bindings/arguments.hpp"
#include "bindings/buffer.hpp"
#include "xxhash/primitives.hpp"

namespace vantorq::bindings::xxhash::dropin {

// Seeds reduced modulo 2**64 (a 32-bit hash takes the low half; an empty
// slot is 0); data any bytes-like object, with the package's words for text
// and None.
struct PackageArguments {
    static bool read_seed(PyObject* value, std::uint64_t& seed) {
        seed = 0;
        return value == nullptr || arguments::read_wrapping_seed(value, seed);
    }
    static bool read_seed(PyObject* value, std::uint32_t& seed) {
        std::uint64_t wide;
        if (!read_seed(value, wide)) return false;
        seed = static_cast<std::uint32_t>(wide);
        return true;
    }
    static buffer::Acquired acquire(PyObject* data);
};

// A digest of `size` bytes (4, 8 or 16): the hash big-endian, high word first.
PyObject* digest_bytes(vantorq::xxhash::Hash128 hash, std::size_t size);
PyObject* digest_hex(vantorq::xxhash::Hash128 hash, std::size_t size);

// (data, seed=0): the one-shot functions, each algorithm in three forms.
PyObject* xxh32_digest(const arguments::Arguments<2>& parsed);
PyObject* xxh32_hexdigest(const arguments::Arguments<2>& parsed);
PyObject* xxh32_intdigest(const arguments::Arguments<2>& parsed);
PyObject* xxh64_digest(const arguments::Arguments<2>& parsed);
PyObject* xxh64_hexdigest(const arguments::Arguments<2>& parsed);
PyObject* xxh64_intdigest(const arguments::Arguments<2>& parsed);
PyObject* xxh3_64_digest(const arguments::Arguments<2>& parsed);
PyObject* xxh3_64_hexdigest(const arguments::Arguments<2>& parsed);
PyObject* xxh3_64_intdigest(const arguments::Arguments<2>& parsed);
PyObject* xxh3_128_digest(const arguments::Arguments<2>& parsed);
PyObject* xxh3_128_hexdigest(const arguments::Arguments<2>& parsed);
PyObject* xxh3_128_intdigest(const arguments::Arguments<2>& parsed);

}  // namespace vantorq::bindings::xxhash::dropin
