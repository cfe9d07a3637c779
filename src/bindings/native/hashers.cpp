#include "bindings/python.hpp"

#include "bindings/native/hashers.hpp"

#include <cstdint>

#include "bindings/hasher_docs.hpp"
#include "bindings/murmur3/hasher_traits.hpp"
#include "bindings/native_docstrings.hpp"
#include "bindings/xxhash/callbacks.hpp"
#include "bindings/xxhash/dropin.hpp"
#include "murmur3/incremental.hpp"
#include "xxhash/classic.hpp"
#include "xxhash/streaming.hpp"

namespace vantorq::bindings::native {
namespace {

namespace docs = native_docstrings;
namespace classic = vantorq::xxhash::classic;
using vantorq::xxhash::streaming::Xxh3KeyedHasher;

inline constexpr auto INTDIGEST_DOC = hasher_class::with_text_signature("intdigest($self)", docs::HASHER_INTDIGEST_DOC);
inline constexpr auto RESET_DOC = hasher_class::with_text_signature("reset($self)", docs::HASHER_RESET_DOC);

constexpr hasher_class::MethodDocs extended_docs() {
    hasher_class::MethodDocs method_docs = hasher_class::BASIC_METHOD_DOCS;
    method_docs.intdigest = INTDIGEST_DOC.data();
    method_docs.reset = RESET_DOC.data();
    method_docs.seed = docs::XXHHASHER_SEED_DOC;
    method_docs.digestsize = docs::XXHHASHER_DIGESTSIZE_DOC;
    return method_docs;
}

struct Extended {
    static constexpr hasher_class::MethodDocs METHOD_DOCS = extended_docs();
    static constexpr bool EXTENDED = true;
};

// ---- XXH -------------------------------------------------------------------
// The xxhash package's classes: its names, block sizes, seeds reduced modulo
// the hash's width, its words for text and None, and digests big-endian.

using xxhash::dropin::digest_bytes;
using xxhash::dropin::digest_hex;
using xxhash::dropin::PackageArguments;

template <class CoreHasher, std::size_t SIZE>
struct XxhTraits : Extended {
    using Hasher = CoreHasher;
    static constexpr bool NONE_IS_NO_DATA = false;
    static constexpr std::size_t DETACH_BYTES = runtime::XXH3_DETACH_BYTES;
    static constexpr std::size_t DIGEST_SIZE = SIZE;
    static constexpr bool DIGESTSIZE_ALIAS = true;
    // Threads sharing one of the package's hashers take turns.
    static constexpr bool WAITS_FOR_OTHERS = true;
    // No reference to collect, and allocating outside the collector is a
    // sixth of a short hash's call (as the package's objects are).
    static constexpr bool UNTRACKED = true;
    static buffer::Acquired acquire(PyObject* data) { return PackageArguments::acquire(data); }
    static PyObject* seed(const CoreHasher& h) { return PyLong_FromUnsignedLongLong(h.seed()); }
    static bool read_seed(PyObject* value, typename CoreHasher::Seed& seed) {
        return PackageArguments::read_seed(value, seed);
    }
};

template <class CoreHasher>
struct ClassicTraits : XxhTraits<CoreHasher, sizeof(typename CoreHasher::Word)> {
    using Word = typename CoreHasher::Word;
    static PyObject* digest(const CoreHasher& h) { return digest_bytes({h.digest(), 0}, sizeof(Word)); }
    static PyObject* hexdigest(const CoreHasher& h) { return digest_hex({h.digest(), 0}, sizeof(Word)); }
    static PyObject* intdigest(const CoreHasher& h) { return PyLong_FromUnsignedLongLong(h.digest()); }
};

struct Xxh32Class : ClassicTraits<classic::Xxh32Hasher> {
    VANTORQ_HASHER_NAMES("vantorq.xxhash", "xxh32", "data=b''", VANTORQ_SEED_POSITIONAL)
    static constexpr const char* ALGORITHM = "XXH32";
    static constexpr const auto& DOC_BODY = docs::XXH32_DOC;
};

struct Xxh64Class : ClassicTraits<classic::Xxh64Hasher> {
    VANTORQ_HASHER_NAMES("vantorq.xxhash", "xxh64", "data=b''", VANTORQ_SEED_POSITIONAL)
    static constexpr const char* ALGORITHM = "XXH64";
    static constexpr const auto& DOC_BODY = docs::XXH64_DOC;
};

// XXH3's classes also take a caller's secret instead of the seed.
#define VANTORQ_XXH3_HASHER_NAMES(name)                                                                  \
    static constexpr const char* NAME = name;                                                             \
    static constexpr const char* QUALIFIED_NAME = "vantorq.xxhash." name;                                 \
    static constexpr const char* UPDATE_NAME = name ".update";                                            \
    static constexpr char TEXT_SIGNATURE[] = name "(data=b'', seed=0, *, secret=None)";                   \
    static constexpr arguments::Signature<3> CONSTRUCTOR = {                                              \
        name ".__new__", {"data=b''", "seed=0", "secret=None"}, 2, arguments::Wording::Method};

template <std::size_t SIZE>
struct Xxh3Traits : XxhTraits<Xxh3KeyedHasher, SIZE> {
    template <class Make>
    static PyObject* with_initial_state(const arguments::Arguments<3>& parsed, Make&& make) {
        PyObject* secret = parsed[2];
        if (secret != nullptr && secret != Py_None)
            return xxhash::dropin::with_secret(parsed[1], secret, [&](vantorq::xxhash::SecretView view) {
                return make(view);
            });
        std::uint64_t seed;
        if (!PackageArguments::read_seed(parsed[1], seed)) return nullptr;
        return make(seed);
    }
};

struct Xxh3_64Class : Xxh3Traits<8> {
    VANTORQ_XXH3_HASHER_NAMES("xxh3_64")
    static constexpr const char* ALGORITHM = "XXH3_64";
    static constexpr std::size_t BLOCK_SIZE = 32;
    static constexpr const auto& DOC_BODY = docs::XXH3_64_DOC;
    static PyObject* digest(const Xxh3KeyedHasher& h) { return digest_bytes({h.digest_64(), 0}, 8); }
    static PyObject* hexdigest(const Xxh3KeyedHasher& h) { return digest_hex({h.digest_64(), 0}, 8); }
    static PyObject* intdigest(const Xxh3KeyedHasher& h) { return PyLong_FromUnsignedLongLong(h.digest_64()); }
};

struct Xxh3_128Class : Xxh3Traits<16> {
    VANTORQ_XXH3_HASHER_NAMES("xxh3_128")
    static constexpr const char* ALGORITHM = "XXH3_128";
    static constexpr std::size_t BLOCK_SIZE = 64;
    static constexpr const auto& DOC_BODY = docs::XXH3_128_DOC;
    static PyObject* digest(const Xxh3KeyedHasher& h) { return digest_bytes(h.digest_128(), 16); }
    static PyObject* hexdigest(const Xxh3KeyedHasher& h) { return digest_hex(h.digest_128(), 16); }
    static PyObject* intdigest(const Xxh3KeyedHasher& h) { return xxhash::callbacks::int_from_hash_128(h.digest_128()); }
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
    {"xxh32", &type_of<Xxh32Class>},
    {"xxh64", &type_of<Xxh64Class>},
    {"xxh3_64", &type_of<Xxh3_64Class>},
    {"xxh3_128", &type_of<Xxh3_128Class>},
    {"murmur3_x86_32", &type_of<Murmur3X86_32Class>},
    {"murmur3_x86_128", &type_of<Murmur3X86_128Class>},
    {"murmur3_x64_128", &type_of<Murmur3X64_128Class>},
};

}  // namespace

const std::span<const families::PublicClass> HASHER_CLASSES = CLASSES;

}  // namespace vantorq::bindings::native
