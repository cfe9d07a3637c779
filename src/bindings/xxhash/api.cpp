// The XXH3 functions as the interpreter sees them: one declaration each, with
// its parameters and the body of its docstring (written in the typed stubs,
// compiled into bindings/docstrings.hpp).

#include "bindings/python.hpp"

#include "bindings/docstrings.hpp"
#include "bindings/families.hpp"
#include "bindings/schema.hpp"
#include "bindings/xxhash/batch.hpp"
#include "bindings/xxhash/callbacks.hpp"

namespace vantorq::bindings::xxhash::api {
namespace {

// Every one-shot function takes (s, seed=0); the list forms (items, seed=0)
// and (items, output, seed=0).
constexpr schema::Signature<2> one_shot(const char* name) { return {name, {"s", "seed=0"}}; }
constexpr schema::Signature<2> list(const char* name) { return {name, {"items", "seed=0"}}; }
constexpr schema::Signature<3> list_into(const char* name) { return {name, {"items", "output", "seed=0"}}; }

constexpr std::tuple FUNCTIONS = {
    schema::Function<2>{one_shot("xxh3_64"), &callbacks::xxh3_64, docstrings::XXH3_64_DOC},
    schema::Function<2>{one_shot("xxh3_128"), &callbacks::xxh3_128, docstrings::XXH3_128_DOC},
    schema::Function<2>{list("xxh3_64_batch"), &batch::xxh3_64_batch, docstrings::XXH3_64_BATCH_DOC},
    schema::Function<3>{list_into("xxh3_64_batch_into"), &batch::xxh3_64_batch_into,
                        docstrings::XXH3_64_BATCH_INTO_DOC},
    schema::Function<2>{list("xxh3_128_batch"), &batch::xxh3_128_batch, docstrings::XXH3_128_BATCH_DOC},
    schema::Function<3>{list_into("xxh3_128_batch_into"), &batch::xxh3_128_batch_into,
                        docstrings::XXH3_128_BATCH_INTO_DOC},
};

}  // namespace

PyMethodDef* methods() { return schema::MethodTable<FUNCTIONS>::methods(); }

}  // namespace vantorq::bindings::xxhash::api
