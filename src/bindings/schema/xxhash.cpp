// The xxhash functions as the interpreter sees them: names, parameters and
// docstrings (whose first line is the text signature).

#include "bindings/python.hpp"

#include "bindings/schema/xxhash.hpp"

#include "bindings/families.hpp"
#include "bindings/runtime.hpp"
#include "bindings/xxhash/callbacks.hpp"

namespace vantorq::bindings {
namespace xxhash::methods {

// Room for the family's functions and the sentinel.
PyMethodDef METHODS[3] = {};
std::once_flag METHODS_INIT;

}  // namespace xxhash::methods

namespace schema::xxhash {
namespace {

constexpr const char XXH3_64_DOC[] =
    "xxh3_64($module, /, s, seed=0)\n--\n\n"
    "Compute the canonical XXH3 64-bit hash.\n\n"
    "The result equals the published XXH3 64-bit hash with a 64-bit seed for every\n"
    "input. XXH3 does not provide cryptographic security.\n\n"
    "The bytes are hashed in place when they are bytes, a bytearray, a contiguous\n"
    "memoryview of bytes or a memoryview of a whole bytearray; other buffer exporters,\n"
    "views of part of a bytearray and non-contiguous views are copied once.\n\n"
    "Args:\n"
    "    s: A bytes-like object.\n"
    "    seed: Unsigned 64-bit seed (0 to 2**64 - 1).\n\n"
    "Returns:\n"
    "    The hash as an int in [0, 2**64).\n\n"
    "Raises:\n"
    "    TypeError: s is not bytes-like, or seed is not an int.\n"
    "    OverflowError: seed is negative or does not fit in 64 bits.\n\n"
    "Examples:\n"
    "    >>> hex(xxh3_64(b''))\n"
    "    '0x2d06800538d394c2'\n"
    "    >>> hex(xxh3_64(b'hello'))\n"
    "    '0x9555e8555c62dcfd'\n"
    "    >>> hex(xxh3_64(b'', seed=1))\n"
    "    '0x4dc5b0cc826f6703'\n";

constexpr const char XXH3_128_DOC[] =
    "xxh3_128($module, /, s, seed=0)\n--\n\n"
    "Compute the canonical XXH3 128-bit hash.\n\n"
    "The result equals the published XXH3 128-bit hash with a 64-bit seed for every\n"
    "input, as one int: the high 64-bit word times 2**64 plus the low word.\n"
    "XXH3 does not provide cryptographic security.\n\n"
    "The bytes are hashed in place when they are bytes, a bytearray, a contiguous\n"
    "memoryview of bytes or a memoryview of a whole bytearray; other buffer exporters,\n"
    "views of part of a bytearray and non-contiguous views are copied once.\n\n"
    "Args:\n"
    "    s: A bytes-like object.\n"
    "    seed: Unsigned 64-bit seed (0 to 2**64 - 1).\n\n"
    "Returns:\n"
    "    The hash as an int in [0, 2**128).\n\n"
    "Raises:\n"
    "    TypeError: s is not bytes-like, or seed is not an int.\n"
    "    OverflowError: seed is negative or does not fit in 64 bits.\n\n"
    "Examples:\n"
    "    >>> hex(xxh3_128(b''))\n"
    "    '0x99aa06d3014798d86001c324468d497f'\n"
    "    >>> hex(xxh3_128(b'hello'))\n"
    "    '0xb5e9c1ad071b3e7fc779cfaa5e523818'\n";

}  // namespace

void register_all(PyMethodDef* table, int /*major*/, int /*minor*/) {
    using namespace bindings::xxhash::callbacks;
    table[0] = method("xxh3_64", &runtime::entry_point<xxh3_64>, XXH3_64_DOC);
    table[1] = method("xxh3_128", &runtime::entry_point<xxh3_128>, XXH3_128_DOC);
    table[2] = PyMethodDef{};
}

}  // namespace schema::xxhash

namespace families {
const runtime::MethodTable XXHASH = {xxhash::methods::METHODS, &xxhash::methods::METHODS_INIT,
                                     &schema::xxhash::register_all};
}  // namespace families

}  // namespace vantorq::bindings
