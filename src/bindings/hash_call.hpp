#pragma once
// The shared shape of the one-shot hash functions: (s, seed=0).

#include "bindings/python.hpp"

#include <cstddef>
#include <cstdint>
#include <type_traits>

#include "bindings/arguments.hpp"
#include "bindings/buffer.hpp"
#include "bindings/runtime.hpp"

namespace vantorq::bindings::hash_call {

// How the module's functions read (s, seed=0): a seed out of the Seed's
// range is refused (an empty slot is 0), and `s` is any bytes-like object.
struct StrictArguments {
    static bool read_seed(PyObject* value, std::uint32_t& seed) { return arguments::read_seed_u32(value, seed); }
    static bool read_seed(PyObject* value, std::uint64_t& seed) { return arguments::read_seed_u64(value, seed); }
    static buffer::Acquired acquire(PyObject* s) { return buffer::any_bytes_like(s, "s"); }
};

namespace detail {
template <typename Seed, typename Hash, typename Build>
[[gnu::always_inline]] inline PyObject* hash_bytes(const unsigned char* data, std::size_t length, bool immutable,
                                                   Seed seed, std::size_t detach_threshold, Hash& hash,
                                                   Build& build) {
    const bool detach = immutable && length >= detach_threshold;
    return build(runtime::run_maybe_detached(detach, [&] { return hash(data, length, seed); }));
}

// Out of line, so that the exact-bytes path carries neither the buffer view's
// stack frame nor its set-up.
template <typename Seed, typename Read, typename Hash, typename Build>
[[gnu::noinline]] PyObject* hash_acquired(PyObject* s, Seed seed, std::size_t detach_threshold, Hash& hash,
                                          Build& build) {
    const auto input = Read::acquire(s);
    if (!input) return nullptr;
    return input->with_bytes([&](const unsigned char* data, std::size_t length) {
        return hash_bytes(data, length, input->is_immutable(), seed, detach_threshold, hash, build);
    });
}
}  // namespace detail

// Given (s, seed=0), converts the seed (a `Seed`, 32 or 64 bits) before `s`
// is looked at, and hashes the bytes with `hash(data, length, seed)`,
// detached when the input is immutable and at least `detach_threshold` long.
// `Read` converts the arguments (read_seed, acquire), as StrictArguments does.
// Returns `build(result)`, or null with an error set. Pass `hash` as a lambda,
// not a function pointer: GCC then inlines it into the short-input path.
template <typename Seed, typename Read = StrictArguments, typename Hash, typename Build>
PyObject* hash_one(const arguments::Arguments<2>& parsed, std::size_t detach_threshold, Hash hash, Build build) {
    static_assert(std::is_same_v<Seed, std::uint32_t> || std::is_same_v<Seed, std::uint64_t>);
    Seed seed = 0;
    if (!Read::read_seed(parsed[1], seed)) return nullptr;
    PyObject* s = parsed[0];
    // The common case, read in place without acquiring anything: for short
    // inputs the acquisition would cost more than the hash.
    if (PyBytes_CheckExact(s)) [[likely]]
        return detail::hash_bytes(reinterpret_cast<const unsigned char*>(PyBytes_AS_STRING(s)),
                                  static_cast<std::size_t>(PyBytes_GET_SIZE(s)), true, seed, detach_threshold, hash,
                                  build);
    return detail::hash_acquired<Seed, Read>(s, seed, detach_threshold, hash, build);
}

}  // namespace vantorq::bindings::hash_call
