#pragma once
// What every MurmurHash3 hasher class shares, the module's and the package's:
// the seed, the digests and when updates detach.

#include "bindings/python.hpp"

#include <type_traits>

#include "bindings/arguments.hpp"
#include "bindings/murmur3/digest.hpp"
#include "bindings/runtime.hpp"

namespace vantorq::bindings::murmur3 {

template <class CoreHasher>
struct HasherTraits {
    using Hasher = CoreHasher;
    using Result = typename Hasher::Result;

    static constexpr bool NONE_IS_NO_DATA = true;
    static constexpr std::size_t DETACH_BYTES = runtime::MURMUR3_DETACH_BYTES;
    static constexpr std::size_t DIGEST_SIZE = vantorq::murmur3::digest::SIZE<Result>;

    // Any object with __index__, with the interpreter's own overflow wording.
    static bool read_seed(PyObject* value, std::uint32_t& seed) { return arguments::read_index_seed_u32(value, seed); }

    static PyObject* digest(const Hasher& h) { return digest::bytes_of(h.finish()); }
    static PyObject* hexdigest(const Hasher& h) { return digest::hex_of(h.finish()); }
    // The one-shot functions' unsigned value: the digest read little-endian.
    static PyObject* intdigest(const Hasher& h) {
        const Result result = h.finish();
        if constexpr (std::is_integral_v<Result>) {
            return PyLong_FromUnsignedLong(result);
        } else {
            unsigned char bytes[DIGEST_SIZE];
            vantorq::murmur3::digest::write(bytes, result);
            return PyLong_FromUnsignedNativeBytes(bytes, DIGEST_SIZE,
                                                  Py_ASNATIVEBYTES_LITTLE_ENDIAN | Py_ASNATIVEBYTES_UNSIGNED_BUFFER);
        }
    }
};

}  // namespace vantorq::bindings::murmur3
