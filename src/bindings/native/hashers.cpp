#include "bindings/python.hpp"

#include "bindings/native/hashers.hpp"

#include <cstdint>

#include "bindings/hasher_docs.hpp"
#include "bindings/murmur3/hasher_traits.hpp"
#include "bindings/native_docstrings.hpp"
#include "bindings/xxhash/callbacks.hpp"
#include "murmur3/incremental.hpp"
#include "xxhash/classic.hpp"
#include "xxhash/streaming.hpp"

namespace vantorq::bindings::native {
namespace {

namespace docs = native_docstrings;
namespace classic = vantorq::xxhash::classic;
using vantorq::xxhash::streaming::Xxh3Hasher;

inline constexpr auto INTDIGEST_DOC = hasher_class::with_text_signature("intdigest($self)", docs::HASHER_INTDIGEST_DOC);
inline constexpr auto RESET_DOC = hasher_class::with_text_signature("reset($self)", docs::HASHER_RESET_DOC);

constexpr hasher_class::MethodDocs extended_docs() {
    hasher_class::MethodDocs docs = hasher_class::BASIC_METHOD_DOCS;
    docs.intdigest = INTDIGEST_DOC.data();
    docs.reset = RESET_DOC.data();
    return docs;
}

struct Extended {
    static constexpr hasher_class::MethodDocs METHOD_DOCS = extended_docs();
    static constexpr bool EXTENDED = true;
};

// ---- XXH -------------------------------------------------------------------
// Digests, names and block sizes as the xxhash package gives them: the hash
// big-endian.

PyObject* big_endian_bytes(std::uint64_t high, std::uint64_t low, std::size_t size) {
    unsigned char bytes[16];
    for (std::size_t i = 0; i < 8; ++i) {
        bytes[i] = static_cast<unsigned char>(high >> (56 - 8 * i));
        bytes[8 + i] = static_cast<unsigned char>(low >> (56 - 8 * i));
    }
    // Narrower digests are the low word's last bytes.
    return PyBytes_FromStringAndSize(reinterpret_cast<const char*>(bytes) + 16 - size, static_cast<Py_ssize_t>(size));
}

PyObject* hex_of(std::uint64_t high, std::uint64_t low, std::size_t size) {
    constexpr char DIGITS[] = "0123456789abcdef";
    char text[32];
    for (std::size_t i = 0; i < 16; ++i) {
        const std::uint64_t word = i < 8 ? high : low;
        const unsigned byte = static_cast<unsigned>(word >> (56 - 8 * (i % 8))) & 0xff;
        text[2 * i] = DIGITS[byte >> 4];
        text[2 * i + 1] = DIGITS[byte & 15];
    }
    return PyUnicode_FromStringAndSize(text + 32 - 2 * size, static_cast<Py_ssize_t>(2 * size));
}

template <class CoreHasher, std::size_t SIZE>
struct XxhTraits : Extended {
    using Hasher = CoreHasher;
    static constexpr bool NONE_IS_NO_DATA = false;
    static constexpr std::size_t DETACH_BYTES = runtime::XXH3_DETACH_BYTES;
    static constexpr std::size_t DIGEST_SIZE = SIZE;
};

template <class CoreHasher>
struct ClassicTraits : XxhTraits<CoreHasher, sizeof(typename CoreHasher::Word)> {
    using Word = typename CoreHasher::Word;
    static bool read_seed(PyObject* value, Word& seed) {
        if constexpr (sizeof(Word) == 4)
            return arguments::read_seed_u32(value, seed);
        else
            return arguments::read_seed_u64(value, seed);
    }
    static PyObject* digest(const CoreHasher& h) { return big_endian_bytes(0, h.digest(), sizeof(Word)); }
    static PyObject* hexdigest(const CoreHasher& h) { return hex_of(0, h.digest(), sizeof(Word)); }
    static PyObject* intdigest(const CoreHasher& h) { return PyLong_FromUnsignedLongLong(h.digest()); }
};

struct Xxh32Class : ClassicTraits<classic::Xxh32Hasher> {
    VANTORQ_HASHER_NAMES("vantorq.xxhash", "xxh32_hasher", "data=b''", VANTORQ_SEED_KEYWORD_ONLY)
    static constexpr const char* ALGORITHM = "XXH32";
    static constexpr const auto& DOC_BODY = docs::XXH32_HASHER_DOC;
};

struct Xxh64Class : ClassicTraits<classic::Xxh64Hasher> {
    VANTORQ_HASHER_NAMES("vantorq.xxhash", "xxh64_hasher", "data=b''", VANTORQ_SEED_KEYWORD_ONLY)
    static constexpr const char* ALGORITHM = "XXH64";
    static constexpr const auto& DOC_BODY = docs::XXH64_HASHER_DOC;
};

template <std::size_t SIZE>
struct Xxh3Traits : XxhTraits<Xxh3Hasher, SIZE> {
    static bool read_seed(PyObject* value, std::uint64_t& seed) { return arguments::read_seed_u64(value, seed); }
};

struct Xxh3_64Class : Xxh3Traits<8> {
    VANTORQ_HASHER_NAMES("vantorq.xxhash", "xxh3_64_hasher", "data=b''", VANTORQ_SEED_KEYWORD_ONLY)
    static constexpr const char* ALGORITHM = "XXH3_64";
    static constexpr std::size_t BLOCK_SIZE = 32;
    static constexpr const auto& DOC_BODY = docs::XXH3_64_HASHER_DOC;
    static PyObject* digest(const Xxh3Hasher& h) { return big_endian_bytes(0, h.digest_64(), 8); }
    static PyObject* hexdigest(const Xxh3Hasher& h) { return hex_of(0, h.digest_64(), 8); }
    static PyObject* intdigest(const Xxh3Hasher& h) { return PyLong_FromUnsignedLongLong(h.digest_64()); }
};

struct Xxh3_128Class : Xxh3Traits<16> {
    VANTORQ_HASHER_NAMES("vantorq.xxhash", "xxh3_128_hasher", "data=b''", VANTORQ_SEED_KEYWORD_ONLY)
    static constexpr const char* ALGORITHM = "XXH3_128";
    static constexpr std::size_t BLOCK_SIZE = 64;
    static constexpr const auto& DOC_BODY = docs::XXH3_128_HASHER_DOC;
    static PyObject* digest(const Xxh3Hasher& h) {
        const auto hash = h.digest_128();
        return big_endian_bytes(hash.high, hash.low, 16);
    }
    static PyObject* hexdigest(const Xxh3Hasher& h) {
        const auto hash = h.digest_128();
        return hex_of(hash.high, hash.low, 16);
    }
    static PyObject* intdigest(const Xxh3Hasher& h) { return xxhash::callbacks::int_from_hash_128(h.digest_128()); }
};

// ---- MurmurHash3 -------------------------------------------------------------
// The module's classes' names and constructors, so that these stand in for
// them in vantorq.murmur3.

namespace murmur3_core = vantorq::murmur3::incremental;

struct Murmur3X86_32Class : murmur3::HasherTraits<murmur3_core::Murmur3X86Hasher32>, Extended {
    VANTORQ_HASHER_NAMES("vantorq.murmur3", "murmur3_x86_32", "data=None", VANTORQ_SEED_POSITIONAL)
    static constexpr const auto& DOC_BODY = docs::MURMUR3_X86_32_DOC;
};

struct Murmur3X86_128Class : murmur3::HasherTraits<murmur3_core::Murmur3X86Hasher128>, Extended {
    VANTORQ_HASHER_NAMES("vantorq.murmur3", "murmur3_x86_128", "data=None", VANTORQ_SEED_POSITIONAL)
    static constexpr const auto& DOC_BODY = docs::MURMUR3_X86_128_DOC;
};

struct Murmur3X64_128Class : murmur3::HasherTraits<murmur3_core::Murmur3X64Hasher128>, Extended {
    VANTORQ_HASHER_NAMES("vantorq.murmur3", "murmur3_x64_128", "data=None", VANTORQ_SEED_POSITIONAL)
    static constexpr const auto& DOC_BODY = docs::MURMUR3_X64_128_DOC;
};

template <class Traits>
PyObject* type_of(PyObject* module) {
    return hasher_class::HasherClass<Traits>::create_type(module);
}

constexpr families::PublicClass CLASSES[] = {
    {"xxh32_hasher", &type_of<Xxh32Class>},
    {"xxh64_hasher", &type_of<Xxh64Class>},
    {"xxh3_64_hasher", &type_of<Xxh3_64Class>},
    {"xxh3_128_hasher", &type_of<Xxh3_128Class>},
    {"murmur3_x86_32", &type_of<Murmur3X86_32Class>},
    {"murmur3_x86_128", &type_of<Murmur3X86_128Class>},
    {"murmur3_x64_128", &type_of<Murmur3X64_128Class>},
};

}  // namespace

const std::span<const families::PublicClass> HASHER_CLASSES = CLASSES;

}  // namespace vantorq::bindings::native
