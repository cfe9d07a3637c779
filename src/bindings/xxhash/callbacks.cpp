#include "bindings/python.hpp"

#include "bindings/xxhash/callbacks.hpp"

#include <cstring>

#include "bindings/hash_call.hpp"
#include "xxhash/one_shot.hpp"

namespace vantorq::bindings::xxhash::callbacks {
namespace {

namespace core = vantorq::xxhash;

#if VANTORQ_HAS_LONG_WRITER
// Whether the interpreter stores ints as 30-bit digits in 32-bit words, least
// significant first: then a 128-bit int is written digit by digit, in about
// half the time of building it from its bytes.
bool thirty_bit_digits() {
    static const bool THIRTY_BIT_DIGITS = [] {
        const PyLongLayout* layout = PyLong_GetNativeLayout();
        return layout->bits_per_digit == 30 && layout->digit_size == 4 && layout->digits_order == -1;
    }();
    return THIRTY_BIT_DIGITS;
}

// 128 bits in 30-bit digits, least significant first: five digits, the last
// holding the top 8 bits. The writer drops leading zero digits.
PyObject* int_from_thirty_bit_digits(std::uint64_t low, std::uint64_t high) {
    constexpr std::uint64_t DIGIT_MASK = (1u << 30) - 1;
    const std::uint32_t digits[5] = {
        static_cast<std::uint32_t>(low & DIGIT_MASK),
        static_cast<std::uint32_t>((low >> 30) & DIGIT_MASK),
        static_cast<std::uint32_t>(((low >> 60) | (high << 4)) & DIGIT_MASK),
        static_cast<std::uint32_t>((high >> 26) & DIGIT_MASK),
        static_cast<std::uint32_t>(high >> 56),
    };
    void* out;
    PyLongWriter* writer = PyLongWriter_Create(0, 5, &out);
    if (writer == nullptr) return nullptr;
    std::memcpy(out, digits, sizeof digits);
    return PyLongWriter_Finish(writer);
}
#endif

}  // namespace

PyObject* int_from_hash_128(vantorq::xxhash::Hash128 hash) {
    const std::uint64_t low = hash.low, high = hash.high;
    if (high == 0) return PyLong_FromUnsignedLongLong(low);
#if VANTORQ_HAS_LONG_WRITER
    if (thirty_bit_digits()) return int_from_thirty_bit_digits(low, high);
#endif
    unsigned char little_endian[16];
    vantorq::xxhash::store_u64(little_endian, low);
    vantorq::xxhash::store_u64(little_endian + 8, high);
    return PyLong_FromNativeBytes(little_endian, 16, Py_ASNATIVEBYTES_LITTLE_ENDIAN | Py_ASNATIVEBYTES_UNSIGNED_BUFFER);
}

PyObject* int_from_packed_128(const unsigned char* little_endian) {
    return int_from_hash_128({vantorq::xxhash::load_u64(little_endian), vantorq::xxhash::load_u64(little_endian + 8)});
}

// The cores run on the process's kernel table (their default).
PyObject* xxh3_64(const arguments::Arguments<2>& parsed) {
    return hash_call::hash_one<std::uint64_t>(
        parsed, runtime::XXH3_DETACH_BYTES,
        [](const unsigned char* p, std::size_t n, std::uint64_t seed) { return core::one_shot::xxh3_64(p, n, seed); },
        [](std::uint64_t h) { return PyLong_FromUnsignedLongLong(h); });
}

PyObject* xxh3_128(const arguments::Arguments<2>& parsed) {
    return hash_call::hash_one<std::uint64_t>(
        parsed, runtime::XXH3_DETACH_BYTES,
        [](const unsigned char* p, std::size_t n, std::uint64_t seed) { return core::one_shot::xxh3_128(p, n, seed); },
        &int_from_hash_128);
}

}  // namespace vantorq::bindings::xxhash::callbacks
