// The MurmurHash3 functions as the interpreter sees them: one declaration
// each, with its parameters and the body of its docstring; and the hasher
// classes the module lists.

#include "bindings/python.hpp"

#include "bindings/families.hpp"
#include "bindings/murmur3/callbacks.hpp"
#include "bindings/murmur3/incremental.hpp"
#include "bindings/schema.hpp"

namespace vantorq::bindings::murmur3::api {
namespace {

// The sections the two 128-bit digest functions share.
#define DIGEST_ARGS_RETURNS_RAISES                                       \
    "Args:\n"                                                             \
    "    s: A bytes-like object.\n"                                       \
    "    seed: Unsigned 32-bit seed (0 to 4294967295).\n\n"                \
    "Returns:\n"                                                          \
    "    The 16-byte digest as bytes.\n\n"                                 \
    "Raises:\n"                                                           \
    "    TypeError: s is not bytes-like, or seed is not an int.\n"        \
    "    OverflowError: seed is negative or does not fit in 32 bits.\n\n"

constexpr const char MURMUR3_32_DOC[] =
    "Compute the canonical MurmurHash3 x86 32-bit hash.\n\n"
    "The bytes are hashed in place when they are bytes, a bytearray, a contiguous\n"
    "memoryview of bytes or a memoryview of a whole bytearray; other buffer exporters,\n"
    "views of part of a bytearray and non-contiguous views are copied once.\n\n"
    "Args:\n"
    "    s: A bytes-like object.\n"
    "    seed: Unsigned 32-bit seed (0 to 4294967295).\n\n"
    "Returns:\n"
    "    The hash as an int in [0, 2**32).\n\n"
    "Raises:\n"
    "    TypeError: s is not bytes-like, or seed is not an int.\n"
    "    OverflowError: seed is negative or does not fit in 32 bits.\n\n"
    "Examples:\n"
    "    >>> hex(murmur3_32(b'hello'))\n"
    "    '0x248bfa47'\n"
    "    >>> murmur3_32(b'')\n"
    "    0\n"
    "    >>> hex(murmur3_32(b'', seed=1))\n"
    "    '0x514e28b7'\n";

constexpr const char MURMUR3_X86_128_DIGEST_DOC[] =
    "Compute the canonical MurmurHash3 x86 128-bit digest.\n\n"
    "The digest is h1..h4, each as 4 little-endian bytes.\n\n"
    DIGEST_ARGS_RETURNS_RAISES
    "Examples:\n"
    "    >>> murmur3_x86_128_digest(b'hello').hex()\n"
    "    'a044242bf7de91dbb631db9ab631db9a'\n"
    "    >>> murmur3_x86_128_digest(b'') == bytes(16)\n"
    "    True\n";

constexpr const char MURMUR3_X64_128_DIGEST_DOC[] =
    "Compute the canonical MurmurHash3 x64 128-bit digest.\n\n"
    "The digest is h1 then h2, each as 8 little-endian bytes.\n\n"
    DIGEST_ARGS_RETURNS_RAISES
    "Examples:\n"
    "    >>> murmur3_x64_128_digest(b'hello').hex()\n"
    "    '029bbd41b3a7d8cb191dae486a901e5b'\n"
    "    >>> murmur3_x64_128_digest(b'') == bytes(16)\n"
    "    True\n";

#undef DIGEST_ARGS_RETURNS_RAISES

// Every one-shot function takes (s, seed=0).
constexpr schema::Signature<2> one_shot(const char* name) { return {name, {"s", "seed=0"}}; }

constexpr std::tuple FUNCTIONS = {
    schema::Function<2>{one_shot("murmur3_32"), &callbacks::murmur3_32, MURMUR3_32_DOC},
    schema::Function<2>{one_shot("murmur3_x86_128_digest"), &callbacks::murmur3_x86_128_digest,
                        MURMUR3_X86_128_DIGEST_DOC},
    schema::Function<2>{one_shot("murmur3_x64_128_digest"), &callbacks::murmur3_x64_128_digest,
                        MURMUR3_X64_128_DIGEST_DOC},
};

constexpr families::PublicClass HASHER_CLASSES[] = {
    {"murmur3_x86_32", &incremental::murmur3_x86_32_type},
    {"murmur3_x86_128", &incremental::murmur3_x86_128_type},
    {"murmur3_x64_128", &incremental::murmur3_x64_128_type},
};

}  // namespace

PyMethodDef* methods() { return schema::MethodTable<FUNCTIONS>::methods(); }
const std::span<const families::PublicClass> CLASSES = HASHER_CLASSES;

}  // namespace vantorq::bindings::murmur3::api
