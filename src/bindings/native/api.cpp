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
#include "bindings/xxhash/dropin.hpp"

namespace vantorq::bindings::native {
namespace {

namespace docs = native_docstrings;

constexpr schema::Signature<2> data_seed(const char* name) { return {name, {"data", "seed=0"}}; }
constexpr schema::Signature<3> data_seed_secret(const char* name) { return {name, {"data", "seed=0", "secret=None"}, 2}; }
constexpr schema::Signature<2> list(const char* name) { return {name, {"items", "seed=0"}}; }
constexpr schema::Signature<3> list_into(const char* name) { return {name, {"items", "output", "seed=0"}}; }
constexpr schema::Signature<1> bytes_only(const char* name) { return {name, {"s"}}; }
constexpr schema::Signature<2> column_hash(const char* name) { return {name, {"column", "seed=0"}, 1}; }
constexpr schema::Signature<3> column_integer_hash(const char* name) {
    return {name, {"column", "seed=0", "signed=False"}, 1};
}

constexpr std::tuple FUNCTIONS = {
    // vantorq.xxhash's one-shot functions, as the xxhash package has them.
    schema::Function<2>{data_seed("xxh32_digest"), &xxhash::dropin::xxh32_digest, docs::XXH32_DIGEST_DOC},
    schema::Function<2>{data_seed("xxh32_hexdigest"), &xxhash::dropin::xxh32_hexdigest, docs::XXH32_HEXDIGEST_DOC},
    schema::Function<2>{data_seed("xxh32_intdigest"), &xxhash::dropin::xxh32_intdigest, docs::XXH32_INTDIGEST_DOC},
    schema::Function<2>{data_seed("xxh64_digest"), &xxhash::dropin::xxh64_digest, docs::XXH64_DIGEST_DOC},
    schema::Function<2>{data_seed("xxh64_hexdigest"), &xxhash::dropin::xxh64_hexdigest, docs::XXH64_HEXDIGEST_DOC},
    schema::Function<2>{data_seed("xxh64_intdigest"), &xxhash::dropin::xxh64_intdigest, docs::XXH64_INTDIGEST_DOC},
    schema::Function<3>{data_seed_secret("xxh3_64_digest"), &xxhash::dropin::xxh3_64_digest, docs::XXH3_64_DIGEST_DOC},
    schema::Function<3>{data_seed_secret("xxh3_64_hexdigest"), &xxhash::dropin::xxh3_64_hexdigest,
                        docs::XXH3_64_HEXDIGEST_DOC},
    schema::Function<3>{data_seed_secret("xxh3_64_intdigest"), &xxhash::dropin::xxh3_64_intdigest,
                        docs::XXH3_64_INTDIGEST_DOC},
    schema::Function<3>{data_seed_secret("xxh3_128_digest"), &xxhash::dropin::xxh3_128_digest, docs::XXH3_128_DIGEST_DOC},
    schema::Function<3>{data_seed_secret("xxh3_128_hexdigest"), &xxhash::dropin::xxh3_128_hexdigest,
                        docs::XXH3_128_HEXDIGEST_DOC},
    schema::Function<3>{data_seed_secret("xxh3_128_intdigest"), &xxhash::dropin::xxh3_128_intdigest,
                        docs::XXH3_128_INTDIGEST_DOC},
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
