#include "bindings/python.hpp"

#include "bindings/murmur3/callbacks.hpp"

#include <array>

#include "bindings/arguments.hpp"
#include "bindings/buffer.hpp"
#include "bindings/murmur3/digest.hpp"
#include "bindings/schema/murmur3.hpp"
#include "murmur3/x64_128.hpp"
#include "murmur3/x86_128.hpp"
#include "murmur3/x86_32.hpp"

namespace vantorq::bindings::murmur3::callbacks {
namespace {

// Parses (s, seed=0), converting the seed before `s` is looked at, and hashes
// the bytes with `hash(data, length, seed)`, detached when the input is
// immutable and long. Returns `build(result)`, or null with an error set.
template <typename Hash, typename Build>
PyObject* hash_one(const schema::Binding<2>& binding, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames,
                   Hash hash, Build build) {
    const auto parsed = arguments::parse_raw_arguments(binding, args, nargs, kwnames);
    if (!parsed) return nullptr;
    const auto seed = arguments::read_seed_u32((*parsed)[1]);
    if (!seed) return nullptr;
    const auto input = buffer::hashable_bytes_like((*parsed)[0], "s");
    if (!input) return nullptr;
    const auto result = input->with_bytes([&](const unsigned char* data, std::size_t length) {
        const bool detach = input->is_immutable() && length >= DETACH_THRESHOLD;
        return runtime::run_maybe_detached(detach, [&] { return hash(data, length, *seed); });
    });
    return build(result);
}

}  // namespace

PyObject* murmur3_32(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return hash_one(schema::murmur3::MURMUR3_32, args, nargs, kwnames, &vantorq::murmur3::x86_32::hash,
                    [](std::uint32_t h) { return PyLong_FromUnsignedLong(h); });
}

PyObject* murmur3_x86_128_digest(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return hash_one(schema::murmur3::MURMUR3_X86_128_DIGEST, args, nargs, kwnames, &vantorq::murmur3::x86_128::hash,
                    [](const vantorq::murmur3::x86_128::State& h) { return digest::bytes_of(h); });
}

PyObject* murmur3_x64_128_digest(PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    return hash_one(schema::murmur3::MURMUR3_X64_128_DIGEST, args, nargs, kwnames, &vantorq::murmur3::x64_128::hash,
                    [](const vantorq::murmur3::x64_128::State& h) { return digest::bytes_of(h); });
}

}  // namespace vantorq::bindings::murmur3::callbacks
