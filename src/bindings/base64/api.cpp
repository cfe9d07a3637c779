// The Base64 functions as the interpreter sees them: names, entry points and
// docstrings (whose first line is the text signature).

#include "bindings/python.hpp"

#include "bindings/base64/encode.hpp"
#include "bindings/families.hpp"
#include "bindings/runtime.hpp"
#include "bindings/schema.hpp"

namespace vantorq::bindings {
namespace base64::api {

// Room for the family's functions and the sentinel.
PyMethodDef METHODS[7] = {};
std::once_flag METHODS_INIT;

}  // namespace base64::api

namespace schema::base64 {
namespace {

constexpr const char B64ENCODE_DOC[] =
    "b64encode($module, /, s, altchars=None, *, padded=True, wrapcol=0)\n--\n\n"
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
    "b64encode_into($module, /, s, output, altchars=None, *, padded=True, wrapcol=0)\n--\n\n"
    "Encode a bytes-like object as Base64 into a reusable bytearray.\n\n"
    "Writes the bytes that b64encode would return at the start of output and\n"
    "returns their count. Only that prefix changes; the size of output never does.\n"
    "Every check comes before the first write, so on failure output is unchanged.\n"
    "An input that shares memory with output is encoded from a private copy.\n\n"
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
    "    TypeError: s is not bytes-like, output is not a bytearray, or wrapcol is\n"
    "        not an integer.\n"
    "    ValueError: output is too small, altchars is not of length 2, or wrapcol\n"
    "        is negative.\n"
    "    OverflowError: wrapcol is 2**64 or more.\n\n"
    "Examples:\n"
    "    >>> out = bytearray(12)\n"
    "    >>> b64encode_into(b'hello', out)\n"
    "    8\n"
    "    >>> bytes(out)\n"
    "    b'aGVsbG8=\\x00\\x00\\x00\\x00'\n";

constexpr const char STANDARD_B64ENCODE_DOC[] =
    "standard_b64encode($module, /, s)\n--\n\n"
    "Encode bytes with the padded standard Base64 alphabet.\n\n"
    "Args:\n"
    "    s: A C-contiguous bytes-like object.\n\n"
    "Returns:\n"
    "    The encoding as bytes.\n\n"
    "Raises:\n"
    "    TypeError: s is not bytes-like.\n\n"
    "Examples:\n"
    "    >>> standard_b64encode(b'\\xfb\\xff')\n"
    "    b'+/8='\n";

constexpr const char STANDARD_B64ENCODE_INTO_DOC[] =
    "standard_b64encode_into($module, /, s, output)\n--\n\n"
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
    "    ValueError: output is too small.\n\n"
    "Examples:\n"
    "    >>> out = bytearray(4)\n"
    "    >>> standard_b64encode_into(b'abc', out), bytes(out)\n"
    "    (4, b'YWJj')\n";

constexpr const char URLSAFE_B64ENCODE_DOC[] =
    "urlsafe_b64encode($module, /, s, *, padded=True)\n--\n\n"
    "Encode bytes with the URL-safe Base64 alphabet.\n\n"
    "The alphabet uses '-' and '_' in place of '+' and '/'.\n\n"
    "Args:\n"
    "    s: A C-contiguous bytes-like object.\n"
    "    padded: Whether the output ends with '=' padding.\n\n"
    "Returns:\n"
    "    The encoding as bytes.\n\n"
    "Raises:\n"
    "    TypeError: s is not bytes-like.\n\n"
    "Examples:\n"
    "    >>> urlsafe_b64encode(bytes([251, 255]), padded=False)\n"
    "    b'-_8'\n";

constexpr const char URLSAFE_B64ENCODE_INTO_DOC[] =
    "urlsafe_b64encode_into($module, /, s, output, *, padded=True)\n--\n\n"
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
    "    ValueError: output is too small.\n\n"
    "Examples:\n"
    "    >>> out = bytearray(3)\n"
    "    >>> urlsafe_b64encode_into(bytes([251, 255]), out, padded=False), bytes(out)\n"
    "    (3, b'-_8')\n";

}  // namespace

// The functions in the family's registration order; the decode and list
// forms take their places between these as they join.
void register_all(PyMethodDef* table, int /*major*/, int /*minor*/) {
    using namespace bindings::base64::encode;
    table[0] = method("b64encode", &runtime::entry_point<b64encode>, B64ENCODE_DOC);
    table[1] = method("b64encode_into", &runtime::entry_point<b64encode_into>, B64ENCODE_INTO_DOC);
    table[2] = method("standard_b64encode", &runtime::entry_point<standard_b64encode>, STANDARD_B64ENCODE_DOC);
    table[3] = method("standard_b64encode_into", &runtime::entry_point<standard_b64encode_into>,
                      STANDARD_B64ENCODE_INTO_DOC);
    table[4] = method("urlsafe_b64encode", &runtime::entry_point<urlsafe_b64encode>, URLSAFE_B64ENCODE_DOC);
    table[5] = method("urlsafe_b64encode_into", &runtime::entry_point<urlsafe_b64encode_into>,
                      URLSAFE_B64ENCODE_INTO_DOC);
    table[6] = PyMethodDef{};
}

}  // namespace schema::base64

namespace families {
const runtime::MethodTable BASE64 = {base64::api::METHODS, &base64::api::METHODS_INIT, &schema::base64::register_all};
}  // namespace families

}  // namespace vantorq::bindings
