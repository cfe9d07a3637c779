// The package module's functions as the interpreter sees them: one
// declaration each, with its parameters and the body of its docstring
// (written in vantorq/_native.pyi, compiled into native_docstrings.hpp).

#include "bindings/python.hpp"

#include "bindings/native/api.hpp"

#include "bindings/base64/mime.hpp"
#include "bindings/columns/functions.hpp"
#include "bindings/native/cpu_info.hpp"
#include "bindings/native_docstrings.hpp"
#include "bindings/schema.hpp"
#include "bindings/xxhash/batch.hpp"
#include "bindings/xxhash/callbacks.hpp"

namespace vantorq::bindings::native {
namespace {

namespace docs = native_docstrings;

constexpr schema::Signature<2> one_shot(const char* name) { return {name, {"s", "seed=0"}}; }
constexpr schema::Signature<2> list(const char* name) { return {name, {"items", "seed=0"}}; }
constexpr schema::Signature<3> list_into(const char* name) { return {name, {"items", "output", "seed=0"}}; }
constexpr schema::Signature<1> bytes_only(const char* name) { return {name, {"s"}}; }
constexpr schema::Signature<2> column_hash(const char* name) { return {name, {"column", "seed=0"}, 1}; }
constexpr schema::Signature<3> column_integer_hash(const char* name) {
    return {name, {"column", "seed=0", "signed=False"}, 1};
}

constexpr std::tuple FUNCTIONS = {
    schema::Function<2>{one_shot("xxh32"), &xxhash::callbacks::xxh32, docs::XXH32_DOC},
    schema::Function<2>{one_shot("xxh64"), &xxhash::callbacks::xxh64, docs::XXH64_DOC},
    schema::Function<2>{list("xxh32_batch"), &xxhash::batch::xxh32_batch, docs::XXH32_BATCH_DOC},
    schema::Function<3>{list_into("xxh32_batch_into"), &xxhash::batch::xxh32_batch_into, docs::XXH32_BATCH_INTO_DOC},
    schema::Function<2>{list("xxh64_batch"), &xxhash::batch::xxh64_batch, docs::XXH64_BATCH_DOC},
    schema::Function<3>{list_into("xxh64_batch_into"), &xxhash::batch::xxh64_batch_into, docs::XXH64_BATCH_INTO_DOC},
    schema::Function<1>{bytes_only("encodebytes"), &base64::mime::encodebytes, docs::ENCODEBYTES_DOC},
    schema::Function<1>{bytes_only("decodebytes"), &base64::mime::decodebytes, docs::DECODEBYTES_DOC},
    // The column functions, which vantorq.columns names without the prefix.
    schema::Function<3>{column_integer_hash("column_xxh3_64"), &columns::xxh3_64, docs::COLUMN_XXH3_64_DOC},
    schema::Function<2>{column_hash("column_xxh3_128"), &columns::xxh3_128, docs::COLUMN_XXH3_128_DOC},
    schema::Function<3>{column_integer_hash("column_murmur3_32"), &columns::murmur3_32, docs::COLUMN_MURMUR3_32_DOC},
    schema::Function<2>{column_hash("column_murmur3_x86_128"), &columns::murmur3_x86_128,
                        docs::COLUMN_MURMUR3_X86_128_DOC},
    schema::Function<2>{column_hash("column_murmur3_x64_128"), &columns::murmur3_x64_128,
                        docs::COLUMN_MURMUR3_X64_128_DOC},
    schema::Function<0>{{"cpu_info", {}}, &cpu_info, docs::CPU_INFO_DOC},
    schema::Function<3>{{"column_b64encode", {"column", "altchars=None", "padded=True"}, 1}, &columns::b64encode,
                        docs::COLUMN_B64ENCODE_DOC},
    schema::Function<4>{{"column_b64decode", {"column", "altchars=None", "validate=False", "errors='strict'"}, 1},
                        &columns::b64decode, docs::COLUMN_B64DECODE_DOC},
};

}  // namespace

PyMethodDef* methods() { return schema::MethodTable<FUNCTIONS>::methods(); }

}  // namespace vantorq::bindings::native
