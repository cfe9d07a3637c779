#include "bindings/python.hpp"

#include "bindings/murmur3/callbacks.hpp"

#include "bindings/hash_call.hpp"
#include "bindings/murmur3/digest.hpp"
#include "murmur3/x64_128.hpp"
#include "murmur3/x86_128.hpp"
#include "murmur3/x86_32.hpp"

namespace vantorq::bindings::murmur3::callbacks {

using hash_call::hash_one;

PyObject* murmur3_32(const arguments::Arguments<2>& parsed) {
    return hash_one<std::uint32_t>(parsed, runtime::MURMUR3_DETACH_BYTES, &vantorq::murmur3::x86_32::hash,
                                   [](std::uint32_t h) { return PyLong_FromUnsignedLong(h); });
}

PyObject* murmur3_x86_128_digest(const arguments::Arguments<2>& parsed) {
    return hash_one<std::uint32_t>(parsed, runtime::MURMUR3_DETACH_BYTES, &vantorq::murmur3::x86_128::hash,
                                   [](const vantorq::murmur3::x86_128::State& h) { return digest::bytes_of(h); });
}

PyObject* murmur3_x64_128_digest(const arguments::Arguments<2>& parsed) {
    return hash_one<std::uint32_t>(parsed, runtime::MURMUR3_DETACH_BYTES, &vantorq::murmur3::x64_128::hash,
                                   [](const vantorq::murmur3::x64_128::State& h) { return digest::bytes_of(h); });
}

}  // namespace vantorq::bindings::murmur3::callbacks
