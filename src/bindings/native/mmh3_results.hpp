#pragma once
// The forms in which the mmh3 drop-in gives a MurmurHash3 result, shared by
// its functions and its hashers: the digest bytes, one int read from them
// little-endian (signed or not), or two 64-bit ints, the low half first.

#include "bindings/python.hpp"

#include <cstdint>
#include <type_traits>

#include "bindings/c_api_compat.hpp"
#include "bindings/murmur3/digest.hpp"
#include "bindings/runtime.hpp"
#include "murmur3/digest.hpp"
#include "murmur3/x64_128.hpp"
#include "murmur3/x86_128.hpp"

namespace vantorq::bindings::native::mmh3 {

enum class Form { Bytes, Signed, Unsigned, SignedPair, UnsignedPair };

// A 128-bit result as the little-endian reading of its digest: low, high.
struct Halves {
    std::uint64_t low;
    std::uint64_t high;
};

inline Halves halves(const vantorq::murmur3::x64_128::State& h) { return {h[0], h[1]}; }
inline Halves halves(const vantorq::murmur3::x86_128::State& h) {
    return {h[0] | std::uint64_t{h[1]} << 32, h[2] | std::uint64_t{h[3]} << 32};
}

inline PyObject* word_of(std::uint64_t word, bool is_signed) {
    return is_signed ? PyLong_FromLongLong(static_cast<std::int64_t>(word)) : PyLong_FromUnsignedLongLong(word);
}

#if PY_VERSION_HEX >= 0x030E0000
// A 128-bit magnitude written straight into the digits of a new int: a
// fifth of the instructions of a conversion from bytes, most of a short
// hash128's cost.
inline PyObject* int_of_magnitude(bool negative, unsigned __int128 magnitude) {
    const int bits = 128 - (static_cast<std::uint64_t>(magnitude >> 64) != 0
                                ? __builtin_clzll(static_cast<std::uint64_t>(magnitude >> 64))
                                : 64 + __builtin_clzll(static_cast<std::uint64_t>(magnitude) | 1));
    const Py_ssize_t count = (bits + PyLong_SHIFT - 1) / PyLong_SHIFT;
    void* digits = nullptr;
    PyLongWriter* writer = PyLongWriter_Create(negative, count, &digits);
    if (writer == nullptr) return nullptr;
    for (Py_ssize_t i = 0; i < count; ++i, magnitude >>= PyLong_SHIFT)
        static_cast<digit*>(digits)[i] = static_cast<digit>(magnitude) & PyLong_MASK;
    return PyLongWriter_Finish(writer);
}
#endif

inline PyObject* int_of(Halves h, bool is_signed) {
    if (is_signed ? static_cast<std::int64_t>(h.high) == static_cast<std::int64_t>(h.low) >> 63 : h.high == 0)
        return word_of(h.low, is_signed);
#if PY_VERSION_HEX >= 0x030E0000
    const unsigned __int128 value = static_cast<unsigned __int128>(h.high) << 64 | h.low;
    const bool negative = is_signed && static_cast<std::int64_t>(h.high) < 0;
    return int_of_magnitude(negative, negative ? -value : value);
#else
    unsigned char bytes[16];
    vantorq::murmur3::store_u64(bytes, h.low);
    vantorq::murmur3::store_u64(bytes + 8, h.high);
    return is_signed ? PyLong_FromNativeBytes(bytes, sizeof bytes, Py_ASNATIVEBYTES_LITTLE_ENDIAN)
                     : PyLong_FromUnsignedNativeBytes(bytes, sizeof bytes, Py_ASNATIVEBYTES_LITTLE_ENDIAN);
#endif
}

inline PyObject* pair_of(Halves h, bool is_signed) {
    runtime::OwnedRef low(word_of(h.low, is_signed)), high(word_of(h.high, is_signed));
    if (!low || !high) return nullptr;
    PyObject* pair = PyTuple_New(2);
    if (pair == nullptr) return nullptr;
    PyTuple_SET_ITEM(pair, 0, low.release());
    PyTuple_SET_ITEM(pair, 1, high.release());
    return pair;
}

inline PyObject* int_of(std::uint32_t h, bool is_signed) {
    return is_signed ? PyLong_FromLong(static_cast<std::int32_t>(h)) : PyLong_FromUnsignedLong(h);
}

// The result `h` of any variant in form F (pairs only for the 128-bit ones).
template <Form F, typename State>
PyObject* build(const State& h) {
    if constexpr (F == Form::Bytes) {
        return murmur3::digest::bytes_of(h);
    } else if constexpr (std::is_integral_v<State>) {
        static_assert(F == Form::Signed || F == Form::Unsigned);
        return int_of(h, F == Form::Signed);
    } else if constexpr (F == Form::Signed || F == Form::Unsigned) {
        return int_of(halves(h), F == Form::Signed);
    } else {
        return pair_of(halves(h), F == Form::SignedPair);
    }
}

}  // namespace vantorq::bindings::native::mmh3
