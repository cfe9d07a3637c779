// The Base64 functions as the interpreter sees them: one declaration each,
// with its parameters and the body of its docstring.

#include "bindings/python.hpp"

#include "bindings/base64/batch.hpp"
#include "bindings/base64/decode.hpp"
#include "bindings/base64/encode.hpp"
#include "bindings/families.hpp"
#include "bindings/schema.hpp"

namespace vantorq::bindings::base64::api {
namespace {

constexpr const char B64ENCODE_DOC[] =
    "Encode a bytes-like object as Base64.\n\n"
    "Gives the bytes of the interpreter's base64.b64encode for the same arguments,\n"
    "and raises the same exceptions with the same messages.\n\n"
    "Args:\n"
    "    s: A C-contiguous bytes-like object.\n"
    "    altchars: Two bytes that replace '+' and '/', or None.\n"
    "    padded: Whether the output ends with '=' padding.\n"
    "    wrapcol: Characters per line (rounded down to a multiple of 4, at least 4);\n"
    "        0 disables wrapping. Lines are joined by b'\\n', with none at the end.\n\n"
    "Returns:\n"
    "    The encoding as bytes.\n\n"
    "Raises:\n"
    "    TypeError: s is not bytes-like, or wrapcol is not an integer.\n"
    "    BufferError: s is not C-contiguous.\n"
    "    ValueError: altchars is not of length 2, or wrapcol is negative.\n"
    "    OverflowError: wrapcol is 2**64 or more.\n\n"
    "Examples:\n"
    "    >>> b64encode(b'hello')\n"
    "    b'aGVsbG8='\n"
    "    >>> b64encode(b'hello', padded=False, wrapcol=4)\n"
    "    b'aGVs\\nbG8'\n"
    "    >>> b64encode(b'\\xfb\\xff', altchars=b'-_')\n"
    "    b'-_8='\n";

constexpr const char B64ENCODE_INTO_DOC[] =
    "Encode a bytes-like object as Base64 into a reusable bytearray.\n\n"
    "Writes the bytes that b64encode would return at the start of output and\n"
    "returns their count. Only that prefix changes; the size of output never does.\n"
    "Every check comes before the first write, so on failure output is unchanged.\n"
    "An input that shares memory with output is encoded from a private copy.\n\n"
    "altchars is read as raw bytes, unlike b64encode's: any bytes-like object of\n"
    "exactly two bytes (whatever its item size), never a str. A wrong size raises\n"
    "ValueError naming the bytes it holds (AssertionError before Python 3.15), and\n"
    "only after s has been checked.\n\n"
    "Args:\n"
    "    s: A C-contiguous bytes-like object.\n"
    "    output: The bytearray to write into.\n"
    "    altchars: Two bytes that replace '+' and '/', or None.\n"
    "    padded: Whether the output ends with '=' padding.\n"
    "    wrapcol: Characters per line (rounded down to a multiple of 4, at least 4);\n"
    "        0 disables wrapping.\n\n"
    "Returns:\n"
    "    The number of bytes written.\n\n"
    "Raises:\n"
    "    TypeError: s or altchars is not bytes-like, output is not a bytearray, or\n"
    "        wrapcol is not an integer.\n"
    "    BufferError: s is not C-contiguous.\n"
    "    ValueError: output is too small, altchars is not two bytes, or wrapcol\n"
    "        is negative.\n"
    "    OverflowError: wrapcol is 2**64 or more.\n\n"
    "Examples:\n"
    "    >>> out = bytearray(12)\n"
    "    >>> b64encode_into(b'hello', out)\n"
    "    8\n"
    "    >>> bytes(out)\n"
    "    b'aGVsbG8=\\x00\\x00\\x00\\x00'\n";

constexpr const char STANDARD_B64ENCODE_DOC[] =
    "Encode bytes with the padded standard Base64 alphabet.\n\n"
    "Args:\n"
    "    s: A C-contiguous bytes-like object.\n\n"
    "Returns:\n"
    "    The encoding as bytes.\n\n"
    "Raises:\n"
    "    TypeError: s is not bytes-like.\n"
    "    BufferError: s is not C-contiguous.\n\n"
    "Examples:\n"
    "    >>> standard_b64encode(b'\\xfb\\xff')\n"
    "    b'+/8='\n";

constexpr const char STANDARD_B64ENCODE_INTO_DOC[] =
    "Encode bytes with the standard alphabet into a reusable bytearray.\n\n"
    "Writes the padded encoding at the start of output and returns its length;\n"
    "on failure output is unchanged.\n\n"
    "Args:\n"
    "    s: A C-contiguous bytes-like object.\n"
    "    output: The bytearray to write into.\n\n"
    "Returns:\n"
    "    The number of bytes written.\n\n"
    "Raises:\n"
    "    TypeError: s is not bytes-like, or output is not a bytearray.\n"
    "    BufferError: s is not C-contiguous.\n"
    "    ValueError: output is too small.\n\n"
    "Examples:\n"
    "    >>> out = bytearray(4)\n"
    "    >>> standard_b64encode_into(b'abc', out), bytes(out)\n"
    "    (4, b'YWJj')\n";

constexpr const char URLSAFE_B64ENCODE_DOC[] =
    "Encode bytes with the URL-safe Base64 alphabet.\n\n"
    "The alphabet uses '-' and '_' in place of '+' and '/'.\n\n"
    "Args:\n"
    "    s: A C-contiguous bytes-like object.\n"
    "    padded: Whether the output ends with '=' padding.\n\n"
    "Returns:\n"
    "    The encoding as bytes.\n\n"
    "Raises:\n"
    "    TypeError: s is not bytes-like.\n"
    "    BufferError: s is not C-contiguous.\n\n"
    "Examples:\n"
    "    >>> urlsafe_b64encode(bytes([251, 255]), padded=False)\n"
    "    b'-_8'\n";

constexpr const char URLSAFE_B64ENCODE_INTO_DOC[] =
    "Encode bytes with the URL-safe alphabet into a reusable bytearray.\n\n"
    "Writes the encoding at the start of output and returns its length; on\n"
    "failure output is unchanged.\n\n"
    "Args:\n"
    "    s: A C-contiguous bytes-like object.\n"
    "    output: The bytearray to write into.\n"
    "    padded: Whether the output ends with '=' padding.\n\n"
    "Returns:\n"
    "    The number of bytes written.\n\n"
    "Raises:\n"
    "    TypeError: s is not bytes-like, or output is not a bytearray.\n"
    "    BufferError: s is not C-contiguous.\n"
    "    ValueError: output is too small.\n\n"
    "Examples:\n"
    "    >>> out = bytearray(3)\n"
    "    >>> urlsafe_b64encode_into(bytes([251, 255]), out, padded=False), bytes(out)\n"
    "    (3, b'-_8')\n";

constexpr const char B64DECODE_DOC[] =
    "Decode an ASCII string or bytes-like Base64 value.\n\n"
    "Gives the bytes of the interpreter's base64.b64decode for the same arguments,\n"
    "and raises the same exceptions and warnings with the same messages.\n\n"
    "Args:\n"
    "    s: ASCII text or a bytes-like object.\n"
    "    altchars: Two characters that stand for '+' and '/', or None.\n"
    "    validate: Whether bytes outside the alphabet (and outside ignorechars) are\n"
    "        an error. When not given, true exactly when ignorechars is given.\n"
    "    padded: Whether '=' padding and whole four-character groups are required.\n"
    "    ignorechars: Bytes that may stand outside the alphabet in validating mode.\n"
    "    canonical: Whether set bits of the last symbol that reach no output byte\n"
    "        are an error.\n\n"
    "Returns:\n"
    "    The decoded bytes.\n\n"
    "Raises:\n"
    "    binascii.Error: s is not valid Base64 under these options.\n"
    "    TypeError: s, altchars or ignorechars is of an unsupported type.\n"
    "    ValueError: s or altchars holds non-ASCII text, or altchars is not of\n"
    "        length 2.\n\n"
    "Examples:\n"
    "    >>> b64decode(b'aGVs bG8=')\n"
    "    b'hello'\n"
    "    >>> b64decode('aGVsbG8', padded=False, canonical=True)\n"
    "    b'hello'\n"
    "    >>> b64decode(b'aGVs bG8=', validate=True)\n"
    "    Traceback (most recent call last):\n"
    "    ...\n"
    "    binascii.Error: Only base64 data is allowed\n";

constexpr const char B64DECODE_INTO_DOC[] =
    "Decode Base64 data into a reusable bytearray.\n\n"
    "Writes the bytes that b64decode would return at the start of output and\n"
    "returns their count; the size of output never changes. A malformed input may\n"
    "have changed part of that prefix before the error is raised, but nothing past\n"
    "the decoded length ever changes. An input that shares memory with output is\n"
    "decoded from a private copy.\n\n"
    "Args:\n"
    "    s: ASCII text or a bytes-like object.\n"
    "    output: The bytearray to write into.\n"
    "    altchars, validate, padded, ignorechars, canonical: As for b64decode.\n\n"
    "Returns:\n"
    "    The number of bytes written.\n\n"
    "Raises:\n"
    "    binascii.Error: s is not valid Base64 under these options.\n"
    "    TypeError: output is not a bytearray, or an argument is of an\n"
    "        unsupported type.\n"
    "    ValueError: output is too small for the decoded bytes, or as for\n"
    "        b64decode.\n\n"
    "Examples:\n"
    "    >>> out = bytearray(8)\n"
    "    >>> b64decode_into(b'aGVsbG8=', out), bytes(out[:5])\n"
    "    (5, b'hello')\n"
    "    >>> b64decode_into(b'aGVsbG8=', bytearray(4))\n"
    "    Traceback (most recent call last):\n"
    "    ...\n"
    "    ValueError: Base64 output requires 5 bytes but the destination has 4\n";

constexpr const char STANDARD_B64DECODE_DOC[] =
    "Decode padded Base64 using the standard alphabet.\n\n"
    "Bytes outside the alphabet are discarded before the padding is checked.\n\n"
    "Args:\n"
    "    s: ASCII text or a bytes-like object.\n\n"
    "Returns:\n"
    "    The decoded bytes.\n\n"
    "Raises:\n"
    "    binascii.Error: s is incorrectly padded.\n"
    "    TypeError: s is of an unsupported type.\n"
    "    ValueError: s holds non-ASCII text.\n\n"
    "Examples:\n"
    "    >>> standard_b64decode(b'+/8=\\n')\n"
    "    b'\\xfb\\xff'\n";

constexpr const char STANDARD_B64DECODE_INTO_DOC[] =
    "Decode standard Base64 into a reusable bytearray.\n\n"
    "Writes what standard_b64decode would return at the start of output and\n"
    "returns its length.\n\n"
    "Args:\n"
    "    s: ASCII text or a bytes-like object.\n"
    "    output: The bytearray to write into.\n\n"
    "Returns:\n"
    "    The number of bytes written.\n\n"
    "Raises:\n"
    "    binascii.Error: s is incorrectly padded.\n"
    "    TypeError: s is of an unsupported type, or output is not a bytearray.\n"
    "    ValueError: output is too small, or s holds non-ASCII text.\n\n"
    "Examples:\n"
    "    >>> out = bytearray(3)\n"
    "    >>> standard_b64decode_into('YWJj', out), bytes(out)\n"
    "    (3, b'abc')\n";

constexpr const char URLSAFE_B64DECODE_DOC[] =
    "Decode Base64 using the URL-safe alphabet.\n\n"
    "The alphabet uses '-' and '_' in place of '+' and '/'. Other bytes outside it\n"
    "are discarded; from Python 3.15 a '+' or '/' gives a FutureWarning, as they\n"
    "will be discarded too in future versions. padded defaults to true through\n"
    "Python 3.14 and to false from 3.15.\n\n"
    "Args:\n"
    "    s: ASCII text or a bytes-like object.\n"
    "    padded: Whether '=' padding and whole four-character groups are required.\n\n"
    "Returns:\n"
    "    The decoded bytes.\n\n"
    "Raises:\n"
    "    binascii.Error: s is incorrectly padded.\n"
    "    TypeError: s is of an unsupported type.\n"
    "    ValueError: s holds non-ASCII text.\n\n"
    "Examples:\n"
    "    >>> urlsafe_b64decode(b'-_8=', padded=True)\n"
    "    b'\\xfb\\xff'\n"
    "    >>> urlsafe_b64decode(b'-_8', padded=False)\n"
    "    b'\\xfb\\xff'\n";

constexpr const char URLSAFE_B64DECODE_INTO_DOC[] =
    "Decode URL-safe Base64 into a reusable bytearray.\n\n"
    "Writes what urlsafe_b64decode would return at the start of output and\n"
    "returns its length. padded defaults to true through Python 3.14 and to false\n"
    "from 3.15.\n\n"
    "Args:\n"
    "    s: ASCII text or a bytes-like object.\n"
    "    output: The bytearray to write into.\n"
    "    padded: Whether '=' padding and whole four-character groups are required.\n\n"
    "Returns:\n"
    "    The number of bytes written.\n\n"
    "Raises:\n"
    "    binascii.Error: s is incorrectly padded.\n"
    "    TypeError: s is of an unsupported type, or output is not a bytearray.\n"
    "    ValueError: output is too small, or s holds non-ASCII text.\n\n"
    "Examples:\n"
    "    >>> out = bytearray(2)\n"
    "    >>> urlsafe_b64decode_into(b'-_8', out, padded=False), bytes(out)\n"
    "    (2, b'\\xfb\\xff')\n";

// What the list forms' docstrings share.
#define BATCH_ITEMS_TEXT                                                                   \
    "The list's items are taken once, at the start: later changes to the list do not\n"   \
    "affect the call. Items are processed in order and the first that fails stops the\n" \
    "call with its error.\n\n"
#define BATCH_INTO_TEXT                                                                     \
    "Item i is written at the start of outputs[i], whose size never changes. Every\n"       \
    "destination is checked before the first write. Destinations before a failing item\n" \
    "keep what was written; later ones are untouched. An item that is one of the\n"       \
    "destinations, or a view of one, is read as it was before the first write.\n\n"

constexpr const char B64ENCODE_BATCH_DOC[] =
    "Encode a list of bytes-like objects as padded Base64.\n\n"
    "Each result equals b64encode(item, altchars).\n" BATCH_ITEMS_TEXT
    "Args:\n"
    "    items: A list of C-contiguous bytes-like objects.\n"
    "    altchars: Two bytes that replace '+' and '/', or None.\n\n"
    "Returns:\n"
    "    A list of the encodings as bytes, in item order.\n\n"
    "Raises:\n"
    "    TypeError: items is not a list, or an item is not bytes-like.\n"
    "    BufferError: an item is not C-contiguous.\n"
    "    ValueError: altchars is not of length 2.\n\n"
    "Examples:\n"
    "    >>> b64encode_batch([b'one', b'two'])\n"
    "    [b'b25l', b'dHdv']\n"
    "    >>> b64encode_batch([bytes([251, 255])], altchars=b'-_')\n"
    "    [b'-_8=']\n";

constexpr const char B64ENCODE_BATCH_INTO_DOC[] =
    "Encode each item into a matching reusable bytearray.\n\n" BATCH_INTO_TEXT BATCH_ITEMS_TEXT
    "Args:\n"
    "    items: A list of C-contiguous bytes-like objects.\n"
    "    outputs: A list of as many distinct bytearrays.\n"
    "    altchars: Two bytes that replace '+' and '/', or None.\n\n"
    "Returns:\n"
    "    A list of the numbers of bytes written, in item order.\n\n"
    "Raises:\n"
    "    TypeError: items or outputs is not a list, an output is not a bytearray,\n"
    "        or an item is not bytes-like.\n"
    "    BufferError: an item is not C-contiguous.\n"
    "    ValueError: the lists differ in length, an output repeats or is too\n"
    "        small, or altchars is not of length 2.\n\n"
    "Examples:\n"
    "    >>> outputs = [bytearray(4), bytearray(6)]\n"
    "    >>> b64encode_batch_into([b'one', b'two'], outputs)\n"
    "    [4, 4]\n"
    "    >>> outputs\n"
    "    [bytearray(b'b25l'), bytearray(b'dHdv\\x00\\x00')]\n";

constexpr const char B64DECODE_BATCH_DOC[] =
    "Decode a list of padded Base64 values.\n\n"
    "Each result equals b64decode(item, altchars, validate), with the warnings and\n"
    "errors of that function.\n" BATCH_ITEMS_TEXT
    "Args:\n"
    "    items: A list of ASCII strings or bytes-like objects.\n"
    "    altchars: Two characters that stand for '+' and '/', or None.\n"
    "    validate: Whether bytes outside the alphabet are an error.\n\n"
    "Returns:\n"
    "    A list of the decoded bytes, in item order.\n\n"
    "Raises:\n"
    "    binascii.Error: an item is not valid Base64.\n"
    "    TypeError: items is not a list, or an item is of an unsupported type.\n"
    "    ValueError: an item holds non-ASCII text, or altchars is not of length 2.\n\n"
    "Examples:\n"
    "    >>> b64decode_batch([b'b25l', b'dHdv'], validate=True)\n"
    "    [b'one', b'two']\n"
    "    >>> b64decode_batch(['b25l', b'dH dv'])\n"
    "    [b'one', b'two']\n";

constexpr const char B64DECODE_BATCH_INTO_DOC[] =
    "Decode each padded Base64 item into a matching reusable bytearray.\n\n" BATCH_INTO_TEXT
    "A malformed item may have changed part of its destination's prefix before the\n"
    "error is raised.\n" BATCH_ITEMS_TEXT
    "Args:\n"
    "    items: A list of ASCII strings or bytes-like objects.\n"
    "    outputs: A list of as many distinct bytearrays.\n"
    "    altchars, validate: As for b64decode_batch.\n\n"
    "Returns:\n"
    "    A list of the numbers of bytes written, in item order.\n\n"
    "Raises:\n"
    "    binascii.Error: an item is not valid Base64.\n"
    "    TypeError: items or outputs is not a list, an output is not a bytearray,\n"
    "        or an item is of an unsupported type.\n"
    "    ValueError: the lists differ in length, an output repeats or is too\n"
    "        small, an item holds non-ASCII text, or altchars is not of length 2.\n\n"
    "Examples:\n"
    "    >>> outputs = [bytearray(3), bytearray(3)]\n"
    "    >>> b64decode_batch_into([b'b25l', b'dHdv'], outputs, validate=True)\n"
    "    [3, 3]\n"
    "    >>> outputs\n"
    "    [bytearray(b'one'), bytearray(b'two')]\n";

#undef BATCH_ITEMS_TEXT
#undef BATCH_INTO_TEXT

using schema::Function;
using schema::Signature;

// The list forms without options, whose docstrings are their summary alone.
constexpr Signature<1> list(const char* name) { return {name, {"items"}}; }
constexpr Signature<2> list_into(const char* name) { return {name, {"items", "outputs"}}; }

// validate and ignorechars have no plain default (validate is true exactly
// when ignorechars is given): their signatures show the interpreter's marker.
// The URL-safe decoders' padded defaulted to true before 3.15.
constexpr std::tuple FUNCTIONS = {
    Function<4>{{"b64encode", {"s", "altchars=None", "padded=True", "wrapcol=0"}, 2}, &encode::b64encode,
                B64ENCODE_DOC},
    Function<2>{{"b64encode_batch", {"items", "altchars=None"}}, &batch::b64encode_batch, B64ENCODE_BATCH_DOC},
    Function<3>{{"b64encode_batch_into", {"items", "outputs", "altchars=None"}}, &batch::b64encode_batch_into,
                B64ENCODE_BATCH_INTO_DOC},
    Function<5>{{"b64encode_into", {"s", "output", "altchars=None", "padded=True", "wrapcol=0"}, 3},
                &encode::b64encode_into, B64ENCODE_INTO_DOC},
    Function<6>{{"b64decode",
                 {"s", "altchars=None", "validate=['NOT SPECIFIED']", "padded=True", "ignorechars=['NOT SPECIFIED']",
                  "canonical=False"},
                 3},
                &decode::b64decode, B64DECODE_DOC},
    Function<3>{{"b64decode_batch", {"items", "altchars=None", "validate=False"}}, &batch::b64decode_batch,
                B64DECODE_BATCH_DOC},
    Function<4>{{"b64decode_batch_into", {"items", "outputs", "altchars=None", "validate=False"}},
                &batch::b64decode_batch_into, B64DECODE_BATCH_INTO_DOC},
    Function<7>{{"b64decode_into",
                 {"s", "output", "altchars=None", "validate=['NOT SPECIFIED']", "padded=True",
                  "ignorechars=['NOT SPECIFIED']", "canonical=False"},
                 4},
                &decode::b64decode_into, B64DECODE_INTO_DOC},
    Function<1>{{"standard_b64encode", {"s"}}, &encode::standard_b64encode, STANDARD_B64ENCODE_DOC},
    Function<2>{{"standard_b64encode_into", {"s", "output"}}, &encode::standard_b64encode_into,
                STANDARD_B64ENCODE_INTO_DOC},
    Function<1>{list("standard_b64encode_batch"), &batch::standard_b64encode_batch,
                "Encode each item with the padded standard Base64 alphabet."},
    Function<2>{list_into("standard_b64encode_batch_into"), &batch::standard_b64encode_batch_into,
                "Encode each item into its matching reusable bytearray."},
    Function<1>{list("standard_b64decode_batch"), &batch::standard_b64decode_batch,
                "Decode each item with the padded standard Base64 alphabet."},
    Function<2>{list_into("standard_b64decode_batch_into"), &batch::standard_b64decode_batch_into,
                "Decode each item into its matching reusable bytearray."},
    Function<1>{{"standard_b64decode", {"s"}}, &decode::standard_b64decode, STANDARD_B64DECODE_DOC},
    Function<2>{{"standard_b64decode_into", {"s", "output"}}, &decode::standard_b64decode_into,
                STANDARD_B64DECODE_INTO_DOC},
    Function<1>{list("urlsafe_b64encode_batch"), &batch::urlsafe_b64encode_batch,
                "Encode each item with the padded URL-safe Base64 alphabet."},
    Function<2>{list_into("urlsafe_b64encode_batch_into"), &batch::urlsafe_b64encode_batch_into,
                "Encode each item with the URL-safe alphabet into its matching reusable bytearray."},
    Function<1>{list("urlsafe_b64decode_batch"), &batch::urlsafe_b64decode_batch,
                "Decode each item with the padded URL-safe Base64 alphabet."},
    Function<2>{list_into("urlsafe_b64decode_batch_into"), &batch::urlsafe_b64decode_batch_into,
                "Decode each URL-safe item into its matching reusable bytearray."},
    Function<2>{{"urlsafe_b64encode", {"s", "padded=True"}, 1}, &encode::urlsafe_b64encode, URLSAFE_B64ENCODE_DOC},
    Function<3>{{"urlsafe_b64encode_into", {"s", "output", "padded=True"}, 2}, &encode::urlsafe_b64encode_into,
                URLSAFE_B64ENCODE_INTO_DOC},
    Function<2>{{"urlsafe_b64decode", {"s", {"padded=False", "True"}}, 1}, &decode::urlsafe_b64decode,
                URLSAFE_B64DECODE_DOC},
    Function<3>{{"urlsafe_b64decode_into", {"s", "output", {"padded=False", "True"}}, 2},
                &decode::urlsafe_b64decode_into, URLSAFE_B64DECODE_INTO_DOC},
};

}  // namespace

PyMethodDef* methods() { return schema::MethodTable<FUNCTIONS>::methods(); }

}  // namespace vantorq::bindings::base64::api
