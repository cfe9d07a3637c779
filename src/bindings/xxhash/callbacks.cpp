#include "bindings/python.hpp"

#include "bindings/xxhash/callbacks.hpp"

#include "bindings/hash_call.hpp"
#include "bindings/schema/xxhash.hpp"
#include "xxhash/one_shot.hpp"

namespace vantorq::bindings::xxhash::callbacks {
namespace {

// Below this, detaching the thread costs a noticeable share of the hash.
constexpr std::size_t DETACH_THRESHOLD = 262'144;

}  // namespace

PyObject* int_from_hash_128(vantorq::xxhash::Hash128 hash) {
    unsigned char little_endian[16];
    vantorq::xxhash::store_u64(little_endian, hash.low);
    vantorq::xxhash::store_u64(little_endian + 8, hash.high);
    return int_from_packed_128(little_endian);
}

PyObject* int_from_packed_128(const unsigned char* little_endian) {
    return PyLong_FromNativeBytes(little_endian, 16, Py_ASNATIVEBYTES_LITTLE_ENDIAN | Py_ASNATIVEBYTES_UNSIGNED_BUFFER);
}

PyObject* xxh3_64(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return hash_call::hash_one<std::uint64_t>(schema::xxhash::XXH3_64, DETACH_THRESHOLD, args, nargs, kwnames,
                                              &vantorq::xxhash::one_shot::xxh3_64,
                                              [](std::uint64_t h) { return PyLong_FromUnsignedLongLong(h); });
}

PyObject* xxh3_128(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return hash_call::hash_one<std::uint64_t>(schema::xxhash::XXH3_128, DETACH_THRESHOLD, args, nargs, kwnames,
                                              &vantorq::xxhash::one_shot::xxh3_128, &int_from_hash_128);
}

}  // namespace vantorq::bindings::xxhash::callbacks
