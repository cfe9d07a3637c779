#include "bindings/python.hpp"

#include "bindings/xxhash/dropin.hpp"

#include <array>
#include <cstring>

#include "bindings/hash_call.hpp"
#include "bindings/hashlib_words.hpp"
#include "bindings/runtime.hpp"
#include "bindings/xxhash/callbacks.hpp"
#include "xxhash/classic.hpp"
#include "xxhash/one_shot.hpp"

namespace vantorq::bindings::xxhash::dropin {
namespace {

namespace core = vantorq::xxhash;
using core::Hash128;

// One algorithm: its seed width, digest size and hash as a 128-bit pair.
struct Xxh32 {
    using Seed = std::uint32_t;
    static constexpr std::size_t SIZE = 4;
    static Hash128 hash(const unsigned char* p, std::size_t n, Seed seed) { return {core::classic::xxh32(p, n, seed), 0}; }
};
struct Xxh64 {
    using Seed = std::uint64_t;
    static constexpr std::size_t SIZE = 8;
    static Hash128 hash(const unsigned char* p, std::size_t n, Seed seed) { return {core::classic::xxh64(p, n, seed), 0}; }
};
struct Xxh3_64 {
    using Seed = std::uint64_t;
    static constexpr std::size_t SIZE = 8;
    static Hash128 hash(const unsigned char* p, std::size_t n, Seed seed) { return {core::one_shot::xxh3_64(p, n, seed), 0}; }
    static Hash128 hash_with(const unsigned char* p, std::size_t n, core::SecretView secret) {
        return {core::one_shot::xxh3_64_with_secret(p, n, secret), 0};
    }
};
struct Xxh3_128 {
    using Seed = std::uint64_t;
    static constexpr std::size_t SIZE = 16;
    static Hash128 hash(const unsigned char* p, std::size_t n, Seed seed) { return core::one_shot::xxh3_128(p, n, seed); }
    static Hash128 hash_with(const unsigned char* p, std::size_t n, core::SecretView secret) {
        return core::one_shot::xxh3_128_with_secret(p, n, secret);
    }
};

template <class Algorithm, PyObject* (*Build)(Hash128, std::size_t)>
PyObject* hash_to(const arguments::Arguments<2>& parsed) {
    using Seed = typename Algorithm::Seed;
    return hash_call::hash_one<Seed, PackageArguments>(
        parsed, runtime::XXH3_DETACH_BYTES,
        [](const unsigned char* p, std::size_t n, Seed seed) { return Algorithm::hash(p, n, seed); },
        [](Hash128 hash) { return Build(hash, Algorithm::SIZE); });
}

// The seed's path is the plain one; a secret takes its own.
template <class Algorithm, PyObject* (*Build)(Hash128, std::size_t)>
PyObject* hash_keyed_to(const arguments::Arguments<3>& parsed) {
    PyObject* secret = parsed[2];
    if (secret == nullptr || secret == Py_None) return hash_to<Algorithm, Build>({parsed[0], parsed[1]});
    return with_secret(parsed[1], secret, [&](core::SecretView view) {
        return hash_call::hash_one<std::uint64_t, PackageArguments>(
            {parsed[0], nullptr}, runtime::XXH3_DETACH_BYTES,
            [view](const unsigned char* p, std::size_t n, std::uint64_t) { return Algorithm::hash_with(p, n, view); },
            [](Hash128 hash) { return Build(hash, Algorithm::SIZE); });
    });
}

PyObject* int_digest(Hash128 hash, std::size_t size) {
    return size <= 8 ? PyLong_FromUnsignedLongLong(hash.low) : callbacks::int_from_hash_128(hash);
}

}  // namespace

// The package's words: hashlib's for str and None, the interpreter's for any
// other object that is not bytes-like.
buffer::Acquired PackageArguments::acquire(PyObject* data) {
    if (PyUnicode_Check(data)) {
        PyErr_SetString(PyExc_TypeError, hashlib_words::STRINGS_MUST_BE_ENCODED);
        return std::nullopt;
    }
    if (data == Py_None) {
        PyErr_SetString(PyExc_TypeError, hashlib_words::NOT_A_BUFFER);
        return std::nullopt;
    }
    if (!PyObject_CheckBuffer(data)) {
        buffer::raise_not_buffer(data);
        return std::nullopt;
    }
    return buffer::any_bytes_like(data, "data");
}

namespace {

// The hash's 16 bytes, most significant first: a narrower digest is the low
// word's last bytes.
std::array<unsigned char, 16> big_endian(Hash128 hash) {
    std::array<unsigned char, 16> bytes;
    core::store_u64(bytes.data(), __builtin_bswap64(hash.high));
    core::store_u64(bytes.data() + 8, __builtin_bswap64(hash.low));
    return bytes;
}

// The two hex digits of each byte value: one lookup a byte took half the
// instructions of converting each nibble (95 against 191 for an XXH64
// hexdigest, callgrind).
constexpr auto HEX_PAIRS = [] {
    constexpr char DIGITS[] = "0123456789abcdef";
    std::array<std::array<char, 2>, 256> pairs{};
    for (std::size_t i = 0; i < pairs.size(); ++i) pairs[i] = {DIGITS[i >> 4], DIGITS[i & 15]};
    return pairs;
}();

}  // namespace

PyObject* digest_bytes(Hash128 hash, std::size_t size) {
    const auto bytes = big_endian(hash);
    return PyBytes_FromStringAndSize(reinterpret_cast<const char*>(bytes.data()) + 16 - size,
                                     static_cast<Py_ssize_t>(size));
}

// Written straight into a new ASCII str: through PyUnicode_FromStringAndSize
// the text would be copied and checked for UTF-8 once more.
PyObject* digest_hex(Hash128 hash, std::size_t size) {
    PyObject* text = PyUnicode_New(static_cast<Py_ssize_t>(2 * size), 127);
    if (text == nullptr) return nullptr;
    auto* out = static_cast<char*>(PyUnicode_DATA(text));
    const auto bytes = big_endian(hash);
    for (std::size_t i = 16 - size; i < 16; ++i, out += 2) std::memcpy(out, HEX_PAIRS[bytes[i]].data(), 2);
    return text;
}

PyObject* xxh32_digest(const arguments::Arguments<2>& parsed) { return hash_to<Xxh32, digest_bytes>(parsed); }
PyObject* xxh32_hexdigest(const arguments::Arguments<2>& parsed) { return hash_to<Xxh32, digest_hex>(parsed); }
PyObject* xxh32_intdigest(const arguments::Arguments<2>& parsed) { return hash_to<Xxh32, int_digest>(parsed); }
PyObject* xxh64_digest(const arguments::Arguments<2>& parsed) { return hash_to<Xxh64, digest_bytes>(parsed); }
PyObject* xxh64_hexdigest(const arguments::Arguments<2>& parsed) { return hash_to<Xxh64, digest_hex>(parsed); }
PyObject* xxh64_intdigest(const arguments::Arguments<2>& parsed) { return hash_to<Xxh64, int_digest>(parsed); }
PyObject* xxh3_64_digest(const arguments::Arguments<3>& parsed) { return hash_keyed_to<Xxh3_64, digest_bytes>(parsed); }
PyObject* xxh3_64_hexdigest(const arguments::Arguments<3>& parsed) { return hash_keyed_to<Xxh3_64, digest_hex>(parsed); }
PyObject* xxh3_64_intdigest(const arguments::Arguments<3>& parsed) { return hash_keyed_to<Xxh3_64, int_digest>(parsed); }
PyObject* xxh3_128_digest(const arguments::Arguments<3>& parsed) { return hash_keyed_to<Xxh3_128, digest_bytes>(parsed); }
PyObject* xxh3_128_hexdigest(const arguments::Arguments<3>& parsed) { return hash_keyed_to<Xxh3_128, digest_hex>(parsed); }
PyObject* xxh3_128_intdigest(const arguments::Arguments<3>& parsed) { return hash_keyed_to<Xxh3_128, int_digest>(parsed); }

}  // namespace vantorq::bindings::xxhash::dropin
