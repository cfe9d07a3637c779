// vantorq.mmh3's hasher classes mmh3_32, mmh3_x64_128 and mmh3_x86_128 on
// the shared hasher frame: mmh3's constructor (data, then an __index__ seed;
// data=None means no data only when left out), its inputs (contiguous
// buffers, not str), names, sizes and digests, and beyond them the package's
// hexdigest, intdigest, reset and pickling.

#include "bindings/python.hpp"

#include "bindings/hasher_class.hpp"
#include "bindings/hashlib_words.hpp"
#include "bindings/mmh3_docstrings.hpp"
#include "bindings/murmur3/hasher_traits.hpp"
#include "bindings/native/mmh3.hpp"
#include "bindings/native/mmh3_messages.hpp"
#include "bindings/native/mmh3_results.hpp"
#include "murmur3/incremental.hpp"

namespace vantorq::bindings::native::mmh3 {
namespace {

namespace docs = mmh3_docstrings;
namespace incremental = vantorq::murmur3::incremental;
using hasher_class::with_text_signature;

inline constexpr auto UPDATE_DOC = with_text_signature("update($self, data)", docs::HASHER_UPDATE_DOC);
inline constexpr auto DIGEST_DOC = with_text_signature("digest($self)", docs::HASHER_DIGEST_DOC);
inline constexpr auto HEXDIGEST_DOC = with_text_signature("hexdigest($self)", docs::HASHER_HEXDIGEST_DOC);
inline constexpr auto COPY_DOC = with_text_signature("copy($self)", docs::HASHER_COPY_DOC);
inline constexpr auto INTDIGEST_DOC = with_text_signature("intdigest($self)", docs::HASHER_INTDIGEST_DOC);
inline constexpr auto RESET_DOC = with_text_signature("reset($self)", docs::HASHER_RESET_DOC);
inline constexpr auto SINTDIGEST_DOC = with_text_signature("sintdigest($self)", docs::HASHER_SINTDIGEST_DOC);
inline constexpr auto UINTDIGEST_DOC = with_text_signature("uintdigest($self)", docs::HASHER_UINTDIGEST_DOC);
inline constexpr auto STUPLEDIGEST_DOC =
    with_text_signature("stupledigest($self)", docs::HASHER128_STUPLEDIGEST_DOC);
inline constexpr auto UTUPLEDIGEST_DOC =
    with_text_signature("utupledigest($self)", docs::HASHER128_UTUPLEDIGEST_DOC);

inline constexpr hasher_class::MethodDocs METHOD_DOCS = {
    .update = UPDATE_DOC.data(),
    .digest = DIGEST_DOC.data(),
    .hexdigest = HEXDIGEST_DOC.data(),
    .copy = COPY_DOC.data(),
    .digest_size = docs::HASHER_DIGEST_SIZE_DOC,
    .block_size = docs::HASHER_BLOCK_SIZE_DOC,
    .name = docs::HASHER_NAME_DOC,
    .intdigest = INTDIGEST_DOC.data(),
    .reset = RESET_DOC.data(),
};

template <class CoreHasher>
struct Mmh3Traits : murmur3::HasherTraits<CoreHasher> {
    static constexpr bool NONE_IS_NO_DATA = false;
    static constexpr bool DATA_FIRST = true;
    static constexpr bool EXTENDED = true;
    // Threads sharing a hasher take turns, as with mmh3's.
    static constexpr bool WAITS_FOR_OTHERS = true;
    static constexpr const hasher_class::MethodDocs& METHOD_DOCS = mmh3::METHOD_DOCS;

    static bool read_seed(PyObject* value, std::uint32_t& seed) { return read_index_seed(value, seed); }

    static buffer::Acquired acquire(PyObject* data) {
        if (PyBytes_CheckExact(data)) return buffer::BytesLike(buffer::BorrowedBytes{data});
        if (PyUnicode_Check(data)) {
            PyErr_SetString(PyExc_TypeError, hashlib_words::STRINGS_MUST_BE_ENCODED);
            return std::nullopt;
        }
        if (!PyObject_CheckBuffer(data)) {
            PyErr_SetString(PyExc_TypeError, hashlib_words::NOT_A_BUFFER);
            return std::nullopt;
        }
        return contiguous_buffer(data);
    }

    // The constructors read their data as the interpreter's "y*" does, with
    // its words for anything not bytes-like, str included.
    static buffer::Acquired acquire_initial(PyObject* data) {
        if (PyUnicode_Check(data) || !PyObject_CheckBuffer(data)) {
            buffer::raise_not_buffer(data);
            return std::nullopt;
        }
        return acquire(data);
    }

    template <Form F>
    static PyObject* digest_in(const CoreHasher& h) {
        return build<F>(h.finish());
    }
};

struct Mmh3_32 : Mmh3Traits<incremental::Murmur3X86Hasher32> {
    VANTORQ_HASHER_NAMES("vantorq.mmh3", "mmh3_32", "data=None", VANTORQ_SEED_POSITIONAL)
    static constexpr std::size_t BLOCK_SIZE = 12;  // what mmh3 reports, not the 4 bytes the algorithm mixes
    static constexpr const auto& DOC_BODY = docs::MMH3_32_DOC;
    static constexpr hasher_class::StateMethod<Hasher> EXTRA_METHODS[] = {
        {"sintdigest", &digest_in<Form::Signed>, SINTDIGEST_DOC.data()},
        {"uintdigest", &digest_in<Form::Unsigned>, UINTDIGEST_DOC.data()},
    };
};

template <class CoreHasher>
struct Mmh3Traits128 : Mmh3Traits<CoreHasher> {
    using Base = Mmh3Traits<CoreHasher>;
    static constexpr std::size_t BLOCK_SIZE = 32;  // as mmh3 reports it for both
    static constexpr hasher_class::StateMethod<CoreHasher> EXTRA_METHODS[] = {
        {"sintdigest", &Base::template digest_in<Form::Signed>, SINTDIGEST_DOC.data()},
        {"uintdigest", &Base::template digest_in<Form::Unsigned>, UINTDIGEST_DOC.data()},
        {"stupledigest", &Base::template digest_in<Form::SignedPair>, STUPLEDIGEST_DOC.data()},
        {"utupledigest", &Base::template digest_in<Form::UnsignedPair>, UTUPLEDIGEST_DOC.data()},
    };
};

struct Mmh3X64_128 : Mmh3Traits128<incremental::Murmur3X64Hasher128> {
    VANTORQ_HASHER_NAMES("vantorq.mmh3", "mmh3_x64_128", "data=None", VANTORQ_SEED_POSITIONAL)
    static constexpr const auto& DOC_BODY = docs::MMH3_X64_128_DOC;
};

struct Mmh3X86_128 : Mmh3Traits128<incremental::Murmur3X86Hasher128> {
    VANTORQ_HASHER_NAMES("vantorq.mmh3", "mmh3_x86_128", "data=None", VANTORQ_SEED_POSITIONAL)
    static constexpr const auto& DOC_BODY = docs::MMH3_X86_128_DOC;
};

}  // namespace

PyObject* create_mmh3_32(PyObject* module) { return hasher_class::HasherClass<Mmh3_32>::create_type(module); }
PyObject* create_mmh3_x64_128(PyObject* module) {
    return hasher_class::HasherClass<Mmh3X64_128>::create_type(module);
}
PyObject* create_mmh3_x86_128(PyObject* module) {
    return hasher_class::HasherClass<Mmh3X86_128>::create_type(module);
}

}  // namespace vantorq::bindings::native::mmh3
