#include "bindings/python.hpp"

#include "bindings/murmur3/incremental.hpp"

#include "bindings/hasher_docs.hpp"
#include "bindings/murmur3/hasher_traits.hpp"
#include "murmur3/incremental.hpp"

namespace vantorq::bindings::murmur3::incremental {

using vantorq::murmur3::incremental::Murmur3X64Hasher128;
using vantorq::murmur3::incremental::Murmur3X86Hasher128;
using vantorq::murmur3::incremental::Murmur3X86Hasher32;

namespace {

// The module's own classes: no integer digest, reset or serialised state
// (the package's classes add them).
template <class Hasher>
struct ModuleClass : HasherTraits<Hasher> {
    static constexpr const hasher_class::MethodDocs& METHOD_DOCS = hasher_class::BASIC_METHOD_DOCS;
    static constexpr bool EXTENDED = false;
};

struct X86_32 : ModuleClass<Murmur3X86Hasher32> {
    VANTORQ_HASHER_NAMES("vantorq.murmur3", "murmur3_x86_32", "data=None", VANTORQ_SEED_POSITIONAL)
    static constexpr const auto& DOC_BODY = docstrings::MURMUR3_X86_32_DOC;
};

struct X86_128 : ModuleClass<Murmur3X86Hasher128> {
    VANTORQ_HASHER_NAMES("vantorq.murmur3", "murmur3_x86_128", "data=None", VANTORQ_SEED_POSITIONAL)
    static constexpr const auto& DOC_BODY = docstrings::MURMUR3_X86_128_DOC;
};

struct X64_128 : ModuleClass<Murmur3X64Hasher128> {
    VANTORQ_HASHER_NAMES("vantorq.murmur3", "murmur3_x64_128", "data=None", VANTORQ_SEED_POSITIONAL)
    static constexpr const auto& DOC_BODY = docstrings::MURMUR3_X64_128_DOC;
};

}  // namespace

PyObject* create_murmur3_x86_32(PyObject* module) { return hasher_class::HasherClass<X86_32>::create_type(module); }
PyObject* create_murmur3_x86_128(PyObject* module) { return hasher_class::HasherClass<X86_128>::create_type(module); }
PyObject* create_murmur3_x64_128(PyObject* module) { return hasher_class::HasherClass<X64_128>::create_type(module); }

}  // namespace vantorq::bindings::murmur3::incremental
