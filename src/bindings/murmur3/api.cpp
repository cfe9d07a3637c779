// The MurmurHash3 functions as the interpreter sees them: one declaration
// each, with its parameters and the body of its docstring (written in the
// typed stubs, compiled into bindings/docstrings.hpp); and the hasher classes
// the module lists.

#include "bindings/python.hpp"

#include "bindings/docstrings.hpp"
#include "bindings/families.hpp"
#include "bindings/murmur3/callbacks.hpp"
#include "bindings/murmur3/incremental.hpp"
#include "bindings/schema.hpp"

namespace vantorq::bindings::murmur3::api {
namespace {

// Every one-shot function takes (s, seed=0).
constexpr schema::Signature<2> one_shot(const char* name) { return {name, {"s", "seed=0"}}; }

constexpr std::tuple FUNCTIONS = {
    schema::Function<2>{one_shot("murmur3_32"), &callbacks::murmur3_32, docstrings::MURMUR3_32_DOC},
    schema::Function<2>{one_shot("murmur3_x86_128_digest"), &callbacks::murmur3_x86_128_digest,
                        docstrings::MURMUR3_X86_128_DIGEST_DOC},
    schema::Function<2>{one_shot("murmur3_x64_128_digest"), &callbacks::murmur3_x64_128_digest,
                        docstrings::MURMUR3_X64_128_DIGEST_DOC},
};

constexpr families::PublicClass HASHER_CLASSES[] = {
    {"murmur3_x86_32", &incremental::create_murmur3_x86_32},
    {"murmur3_x86_128", &incremental::create_murmur3_x86_128},
    {"murmur3_x64_128", &incremental::create_murmur3_x64_128},
};

}  // namespace

PyMethodDef* methods() { return schema::MethodTable<FUNCTIONS>::methods(); }
const std::span<const families::PublicClass> CLASSES = HASHER_CLASSES;

}  // namespace vantorq::bindings::murmur3::api
