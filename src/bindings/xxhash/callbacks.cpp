#include "bindings/python.hpp"

#include "bindings/xxhash/callbacks.hpp"

#include "bindings/arguments.hpp"
#include "bindings/buffer.hpp"
#include "bindings/schema/xxhash.hpp"
#include "xxhash/one_shot.hpp"

namespace vantorq::bindings::xxhash::callbacks {
namespace {

// Below this, detaching the thread costs a noticeable share of the hash.
constexpr std::size_t DETACH_THRESHOLD = 262'144;

// Parses (s, seed=0), converting the seed before `s` is looked at, and hashes
// the bytes with `hash(data, length, seed)`, detached when the input is
// immutable and long. Returns `build(result)`, or null with an error set.
template <typename Hash, typename Build>
PyObject* hash_one(const schema::Binding<2>& binding, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames,
                   Hash hash, Build build) {
    const auto parsed = arguments::parse_raw_arguments(binding, args, nargs, kwnames);
    if (!parsed) return nullptr;
    // The seed is read as a plain word, not through read_seed_u64's optional:
    // GCC merged the optional of the two paths (absent, converted) through the
    // stack in pieces that the next full-width load could not forward from, a
    // stall that cost a fifth of a short call.
    std::uint64_t seed = 0;
    if ((*parsed)[1] != nullptr) {
        const auto converted = arguments::convert_seed_u64((*parsed)[1]);
        if (!converted) return nullptr;
        seed = *converted;
    }
    const auto hash_bytes = [&](const unsigned char* data, std::size_t length, bool immutable) {
        const bool detach = immutable && length >= DETACH_THRESHOLD;
        return build(runtime::run_maybe_detached(detach, [&] { return hash(data, length, seed); }));
    };
    PyObject* s = (*parsed)[0];
    // The common case, read in place without acquiring anything: for short
    // inputs the acquisition would cost more than the hash.
    if (PyBytes_CheckExact(s))
        return hash_bytes(reinterpret_cast<const unsigned char*>(PyBytes_AS_STRING(s)),
                          static_cast<std::size_t>(PyBytes_GET_SIZE(s)), true);
    const auto input = buffer::hashable_bytes_like(s, "s");
    if (!input) return nullptr;
    return input->with_bytes([&](const unsigned char* data, std::size_t length) {
        return hash_bytes(data, length, input->is_immutable());
    });
}

}  // namespace

PyObject* int_from_hash_128(vantorq::xxhash::Hash128 hash) {
    unsigned char little_endian[16];
    vantorq::xxhash::store_u64(little_endian, hash.low);
    vantorq::xxhash::store_u64(little_endian + 8, hash.high);
    return PyLong_FromNativeBytes(little_endian, sizeof little_endian,
                                  Py_ASNATIVEBYTES_LITTLE_ENDIAN | Py_ASNATIVEBYTES_UNSIGNED_BUFFER);
}

PyObject* xxh3_64(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return hash_one(schema::xxhash::XXH3_64, args, nargs, kwnames, &vantorq::xxhash::one_shot::xxh3_64,
                    [](std::uint64_t h) { return PyLong_FromUnsignedLongLong(h); });
}

PyObject* xxh3_128(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return hash_one(schema::xxhash::XXH3_128, args, nargs, kwnames, &vantorq::xxhash::one_shot::xxh3_128,
                    &int_from_hash_128);
}

}  // namespace vantorq::bindings::xxhash::callbacks
