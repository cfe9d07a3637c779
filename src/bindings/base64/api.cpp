// The Base64 functions as the interpreter sees them: one declaration each,
// with its parameters and the body of its docstring (written in the typed
// stubs, compiled into bindings/docstrings.hpp).

#include "bindings/python.hpp"

#include "bindings/base64/batch.hpp"
#include "bindings/base64/decode.hpp"
#include "bindings/base64/encode.hpp"
#include "bindings/docstrings.hpp"
#include "bindings/families.hpp"
#include "bindings/schema.hpp"

namespace vantorq::bindings::base64::api {
namespace {

using schema::Function;
using schema::Signature;

// The list forms without options.
constexpr Signature<1> list(const char* name) { return {name, {"items"}}; }
constexpr Signature<2> list_into(const char* name) { return {name, {"items", "outputs"}}; }

// validate and ignorechars have no plain default (validate is true exactly
// when ignorechars is given): their signatures show the interpreter's marker.
// The URL-safe decoders' padded defaulted to true before 3.15.
constexpr std::tuple FUNCTIONS = {
    Function<4>{{"b64encode", {"s", "altchars=None", "padded=True", "wrapcol=0"}, 2}, &encode::b64encode,
                docstrings::B64ENCODE_DOC},
    Function<2>{{"b64encode_batch", {"items", "altchars=None"}}, &batch::b64encode_batch,
                docstrings::B64ENCODE_BATCH_DOC},
    Function<3>{{"b64encode_batch_into", {"items", "outputs", "altchars=None"}}, &batch::b64encode_batch_into,
                docstrings::B64ENCODE_BATCH_INTO_DOC},
    Function<5>{{"b64encode_into", {"s", "output", "altchars=None", "padded=True", "wrapcol=0"}, 3},
                &encode::b64encode_into, docstrings::B64ENCODE_INTO_DOC},
    Function<6>{{"b64decode",
                 {"s", "altchars=None", "validate=['NOT SPECIFIED']", "padded=True", "ignorechars=['NOT SPECIFIED']",
                  "canonical=False"},
                 3},
                &decode::b64decode, docstrings::B64DECODE_DOC},
    Function<3>{{"b64decode_batch", {"items", "altchars=None", "validate=False"}}, &batch::b64decode_batch,
                docstrings::B64DECODE_BATCH_DOC},
    Function<4>{{"b64decode_batch_into", {"items", "outputs", "altchars=None", "validate=False"}},
                &batch::b64decode_batch_into, docstrings::B64DECODE_BATCH_INTO_DOC},
    Function<7>{{"b64decode_into",
                 {"s", "output", "altchars=None", "validate=['NOT SPECIFIED']", "padded=True",
                  "ignorechars=['NOT SPECIFIED']", "canonical=False"},
                 4},
                &decode::b64decode_into, docstrings::B64DECODE_INTO_DOC},
    Function<1>{{"standard_b64encode", {"s"}}, &encode::standard_b64encode, docstrings::STANDARD_B64ENCODE_DOC},
    Function<2>{{"standard_b64encode_into", {"s", "output"}}, &encode::standard_b64encode_into,
                docstrings::STANDARD_B64ENCODE_INTO_DOC},
    Function<1>{list("standard_b64encode_batch"), &batch::standard_b64encode_batch,
                docstrings::STANDARD_B64ENCODE_BATCH_DOC},
    Function<2>{list_into("standard_b64encode_batch_into"), &batch::standard_b64encode_batch_into,
                docstrings::STANDARD_B64ENCODE_BATCH_INTO_DOC},
    Function<1>{list("standard_b64decode_batch"), &batch::standard_b64decode_batch,
                docstrings::STANDARD_B64DECODE_BATCH_DOC},
    Function<2>{list_into("standard_b64decode_batch_into"), &batch::standard_b64decode_batch_into,
                docstrings::STANDARD_B64DECODE_BATCH_INTO_DOC},
    Function<1>{{"standard_b64decode", {"s"}}, &decode::standard_b64decode, docstrings::STANDARD_B64DECODE_DOC},
    Function<2>{{"standard_b64decode_into", {"s", "output"}}, &decode::standard_b64decode_into,
                docstrings::STANDARD_B64DECODE_INTO_DOC},
    Function<1>{list("urlsafe_b64encode_batch"), &batch::urlsafe_b64encode_batch,
                docstrings::URLSAFE_B64ENCODE_BATCH_DOC},
    Function<2>{list_into("urlsafe_b64encode_batch_into"), &batch::urlsafe_b64encode_batch_into,
                docstrings::URLSAFE_B64ENCODE_BATCH_INTO_DOC},
    Function<1>{list("urlsafe_b64decode_batch"), &batch::urlsafe_b64decode_batch,
                docstrings::URLSAFE_B64DECODE_BATCH_DOC},
    Function<2>{list_into("urlsafe_b64decode_batch_into"), &batch::urlsafe_b64decode_batch_into,
                docstrings::URLSAFE_B64DECODE_BATCH_INTO_DOC},
    Function<2>{{"urlsafe_b64encode", {"s", "padded=True"}, 1}, &encode::urlsafe_b64encode,
                docstrings::URLSAFE_B64ENCODE_DOC},
    Function<3>{{"urlsafe_b64encode_into", {"s", "output", "padded=True"}, 2}, &encode::urlsafe_b64encode_into,
                docstrings::URLSAFE_B64ENCODE_INTO_DOC},
    Function<2>{{"urlsafe_b64decode", {"s", {"padded=False", "True"}}, 1}, &decode::urlsafe_b64decode,
                docstrings::URLSAFE_B64DECODE_DOC},
    Function<3>{{"urlsafe_b64decode_into", {"s", "output", {"padded=False", "True"}}, 2},
                &decode::urlsafe_b64decode_into, docstrings::URLSAFE_B64DECODE_INTO_DOC},
};

}  // namespace

PyMethodDef* methods() { return schema::MethodTable<FUNCTIONS>::methods(); }

}  // namespace vantorq::bindings::base64::api
