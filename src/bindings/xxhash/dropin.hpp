#pragma once
// What vantorq.xxhash shares with the xxhash package: how its functions and
// hashers read data and seeds, and the digests in that package's forms.

#include "bindings/python.hpp"

#include <cstddef>
#include <cstdint>

#include "backend/memory.hpp"
#include "bindings/arguments.hpp"
#include "bindings/buffer.hpp"
#include "bindings/xxhash/messages.hpp"
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

// Calls use(secret) with the caller's secret, a bytes-like object of at least
// SECRET_SIZE_MIN bytes given without a seed (`seed`, its slot, empty), or
// returns null with ValueError or TypeError set. A mutable secret is copied
// first: the hash may run detached, when another thread could change it.
template <class Use>
PyObject* with_secret(PyObject* seed, PyObject* secret, Use&& use) {
    if (seed != nullptr) {
        PyErr_SetString(PyExc_ValueError, messages::SEED_AND_SECRET);
        return nullptr;
    }
    const auto input = PackageArguments::acquire(secret);
    if (!input) return nullptr;
    return input->with_bytes([&](const unsigned char* data, std::size_t length) -> PyObject* {
        const auto view = vantorq::xxhash::SecretView::of({data, length});
        if (!view) {
            PyErr_Format(PyExc_ValueError, messages::SECRET_TOO_SHORT, vantorq::xxhash::SECRET_SIZE_MIN, length);
            return nullptr;
        }
        if (input->is_immutable()) return use(*view);
        const backend::OwnedBytes copy(data, length);
        return use(*vantorq::xxhash::SecretView::of({copy.data(), copy.size()}));
    });
}

// A digest of `size` bytes (4, 8 or 16): the hash big-endian, high word first.
PyObject* digest_bytes(vantorq::xxhash::Hash128 hash, std::size_t size);
PyObject* digest_hex(vantorq::xxhash::Hash128 hash, std::size_t size);

// (data, seed=0): the one-shot functions, each algorithm in three forms; XXH3's
// also take a caller's secret instead of the seed.
PyObject* xxh32_digest(const arguments::Arguments<2>& parsed);
PyObject* xxh32_hexdigest(const arguments::Arguments<2>& parsed);
PyObject* xxh32_intdigest(const arguments::Arguments<2>& parsed);
PyObject* xxh64_digest(const arguments::Arguments<2>& parsed);
PyObject* xxh64_hexdigest(const arguments::Arguments<2>& parsed);
PyObject* xxh64_intdigest(const arguments::Arguments<2>& parsed);
// (data, seed=0, *, secret=None)
PyObject* xxh3_64_digest(const arguments::Arguments<3>& parsed);
PyObject* xxh3_64_hexdigest(const arguments::Arguments<3>& parsed);
PyObject* xxh3_64_intdigest(const arguments::Arguments<3>& parsed);
PyObject* xxh3_128_digest(const arguments::Arguments<3>& parsed);
PyObject* xxh3_128_hexdigest(const arguments::Arguments<3>& parsed);
PyObject* xxh3_128_intdigest(const arguments::Arguments<3>& parsed);

}  // namespace vantorq::bindings::xxhash::dropin
