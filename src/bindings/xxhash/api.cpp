// The XXH3 functions as the interpreter sees them: one declaration each, with
// its parameters and the body of its docstring.

#include "bindings/python.hpp"

#include "bindings/families.hpp"
#include "bindings/schema.hpp"
#include "bindings/xxhash/batch.hpp"
#include "bindings/xxhash/callbacks.hpp"

namespace vantorq::bindings::xxhash::api {
namespace {

// What the two one-shot functions share.
#define XXH3_ONE_SHOT_INPUT_TEXT                                                          \
    "The bytes are hashed in place when they are bytes, a bytearray, a contiguous\n"      \
    "memoryview of bytes or a memoryview of a whole bytearray; other buffer exporters,\n" \
    "views of part of a bytearray and non-contiguous views are copied once.\n\n"          \
    "Args:\n"                                                                             \
    "    s: A bytes-like object.\n"                                                       \
    "    seed: Unsigned 64-bit seed (0 to 2**64 - 1).\n\n"
#define XXH3_ONE_SHOT_RAISES_TEXT                                  \
    "Raises:\n"                                                    \
    "    TypeError: s is not bytes-like, or seed is not an int.\n" \
    "    OverflowError: seed is negative or does not fit in 64 bits.\n\n"

constexpr const char XXH3_64_DOC[] =
    "Compute the canonical XXH3 64-bit hash.\n\n"
    "The result equals the published XXH3 64-bit hash with a 64-bit seed for every\n"
    "input. XXH3 does not provide cryptographic security.\n\n"
    XXH3_ONE_SHOT_INPUT_TEXT
    "Returns:\n"
    "    The hash as an int in [0, 2**64).\n\n"
    XXH3_ONE_SHOT_RAISES_TEXT
    "Examples:\n"
    "    >>> hex(xxh3_64(b''))\n"
    "    '0x2d06800538d394c2'\n"
    "    >>> hex(xxh3_64(b'hello'))\n"
    "    '0x9555e8555c62dcfd'\n"
    "    >>> hex(xxh3_64(b'', seed=1))\n"
    "    '0x4dc5b0cc826f6703'\n";

constexpr const char XXH3_128_DOC[] =
    "Compute the canonical XXH3 128-bit hash.\n\n"
    "The result equals the published XXH3 128-bit hash with a 64-bit seed for every\n"
    "input, as one int: the high 64-bit word times 2**64 plus the low word.\n"
    "XXH3 does not provide cryptographic security.\n\n"
    XXH3_ONE_SHOT_INPUT_TEXT
    "Returns:\n"
    "    The hash as an int in [0, 2**128).\n\n"
    XXH3_ONE_SHOT_RAISES_TEXT
    "Examples:\n"
    "    >>> hex(xxh3_128(b''))\n"
    "    '0x99aa06d3014798d86001c324468d497f'\n"
    "    >>> hex(xxh3_128(b'hello'))\n"
    "    '0xb5e9c1ad071b3e7fc779cfaa5e523818'\n";

#undef XXH3_ONE_SHOT_INPUT_TEXT
#undef XXH3_ONE_SHOT_RAISES_TEXT

// What the four list forms share, between their summaries and their examples.
#define XXH3_LIST_ITEMS_TEXT                                                             \
    "The list's items are taken once, at the start: later changes to the list do not\n" \
    "affect the call. Calls of 16,384 items or 1 MiB in all hash with the interpreter\n" \
    "released; bytearray items are copied first.\n\n"
#define XXH3_LIST_ARGS_TEXT(output)                \
    "Args:\n"                                      \
    "    items: A list of bytes-like objects.\n"   \
    output                                         \
    "    seed: Unsigned 64-bit seed (0 to 2**64 - 1), the same for every item.\n\n"
#define XXH3_LIST_RAISES_TEXT(output_type, output_size)                                   \
    "Raises:\n"                                                                          \
    "    TypeError: items is not a list," output_type " an item is not bytes-like, or\n" \
    "        seed is not an int.\n"                                                      \
    output_size                                                                          \
    "    OverflowError: seed is negative or does not fit in 64 bits.\n"                  \
    "    MemoryError: the call is too large to hold its results.\n\n"

constexpr const char XXH3_64_BATCH_DOC[] =
    "Compute canonical XXH3 64-bit hashes for a list of inputs.\n\n"
    "Each result equals xxh3_64(item, seed); one call replaces a loop of single calls.\n"
    XXH3_LIST_ITEMS_TEXT
    XXH3_LIST_ARGS_TEXT("")
    "Returns:\n"
    "    A list of ints in [0, 2**64), in item order.\n\n"
    XXH3_LIST_RAISES_TEXT("", "")
    "Examples:\n"
    "    >>> xxh3_64_batch([b'', b'hello']) == [xxh3_64(b''), xxh3_64(b'hello')]\n"
    "    True\n"
    "    >>> [hex(h) for h in xxh3_64_batch([b'hello'], seed=1)]\n"
    "    ['0x74b07ed397a89e92']\n";

constexpr const char XXH3_128_BATCH_DOC[] =
    "Compute canonical XXH3 128-bit hashes for a list of inputs.\n\n"
    "Each result equals xxh3_128(item, seed); one call replaces a loop of single calls.\n"
    XXH3_LIST_ITEMS_TEXT
    XXH3_LIST_ARGS_TEXT("")
    "Returns:\n"
    "    A list of ints in [0, 2**128), in item order.\n\n"
    XXH3_LIST_RAISES_TEXT("", "")
    "Examples:\n"
    "    >>> xxh3_128_batch([b'', b'hello']) == [xxh3_128(b''), xxh3_128(b'hello')]\n"
    "    True\n"
    "    >>> [hex(h) for h in xxh3_128_batch([b'hello'], seed=1)]\n"
    "    ['0x2158e4ce83d1e1e0de5ed0a4c781f906']\n";

constexpr const char XXH3_64_BATCH_INTO_DOC[] =
    "Write XXH3 64-bit hashes as packed little-endian bytes.\n\n"
    "The hash of items[i] (as xxh3_64 gives it) is stored at output[8*i:8*i+8] as 8\n"
    "little-endian bytes. Only that prefix changes; the size of output never does.\n"
    "Every check comes before the first write, so on failure output is unchanged. An\n"
    "item that shares memory with output is hashed as it was before the call.\n"
    XXH3_LIST_ITEMS_TEXT
    XXH3_LIST_ARGS_TEXT("    output: The bytearray to write into, of at least 8 * len(items) bytes.\n")
    "Returns:\n"
    "    The number of bytes written, 8 * len(items).\n\n"
    XXH3_LIST_RAISES_TEXT(" output is not a bytearray,",
                          "    ValueError: output is shorter than 8 * len(items) bytes.\n")
    "Examples:\n"
    "    >>> out = bytearray(8)\n"
    "    >>> xxh3_64_batch_into([b'hello'], out)\n"
    "    8\n"
    "    >>> int.from_bytes(out, 'little') == xxh3_64(b'hello')\n"
    "    True\n";

constexpr const char XXH3_128_BATCH_INTO_DOC[] =
    "Write XXH3 128-bit hashes as packed little-endian bytes.\n\n"
    "The hash of items[i] (as xxh3_128 gives it) is stored at output[16*i:16*i+16] as\n"
    "16 little-endian bytes: the low 64-bit word, then the high one. Only that prefix\n"
    "changes; the size of output never does. Every check comes before the first\n"
    "write, so on failure output is unchanged. An item that shares memory with output\n"
    "is hashed as it was before the call.\n"
    XXH3_LIST_ITEMS_TEXT
    XXH3_LIST_ARGS_TEXT("    output: The bytearray to write into, of at least 16 * len(items) bytes.\n")
    "Returns:\n"
    "    The number of bytes written, 16 * len(items).\n\n"
    XXH3_LIST_RAISES_TEXT(" output is not a bytearray,",
                          "    ValueError: output is shorter than 16 * len(items) bytes.\n")
    "Examples:\n"
    "    >>> out = bytearray(16)\n"
    "    >>> xxh3_128_batch_into([b'hello'], out)\n"
    "    16\n"
    "    >>> int.from_bytes(out, 'little') == xxh3_128(b'hello')\n"
    "    True\n";

#undef XXH3_LIST_ITEMS_TEXT
#undef XXH3_LIST_ARGS_TEXT
#undef XXH3_LIST_RAISES_TEXT

// Every one-shot function takes (s, seed=0); the list forms (items, seed=0)
// and (items, output, seed=0).
constexpr schema::Signature<2> one_shot(const char* name) { return {name, {"s", "seed=0"}}; }
constexpr schema::Signature<2> list(const char* name) { return {name, {"items", "seed=0"}}; }
constexpr schema::Signature<3> list_into(const char* name) { return {name, {"items", "output", "seed=0"}}; }

constexpr std::tuple FUNCTIONS = {
    schema::Function<2>{one_shot("xxh3_64"), &callbacks::xxh3_64, XXH3_64_DOC},
    schema::Function<2>{one_shot("xxh3_128"), &callbacks::xxh3_128, XXH3_128_DOC},
    schema::Function<2>{list("xxh3_64_batch"), &batch::xxh3_64_batch, XXH3_64_BATCH_DOC},
    schema::Function<3>{list_into("xxh3_64_batch_into"), &batch::xxh3_64_batch_into, XXH3_64_BATCH_INTO_DOC},
    schema::Function<2>{list("xxh3_128_batch"), &batch::xxh3_128_batch, XXH3_128_BATCH_DOC},
    schema::Function<3>{list_into("xxh3_128_batch_into"), &batch::xxh3_128_batch_into, XXH3_128_BATCH_INTO_DOC},
};

}  // namespace

PyMethodDef* methods() { return schema::MethodTable<FUNCTIONS>::methods(); }

}  // namespace vantorq::bindings::xxhash::api
