// vantorq.mmh3's functions, as mmh3 5.3.1 has them: the same parameters,
// results and refusals. Each is a native function with mmh3's name and
// vantorq.mmh3 as its module, kept in vantorq._native under a name that
// cannot collide there.
//
// mmh3 takes keys three ways, kept here as three rules: its hash functions
// take str (as UTF-8) or bytes, its
// hash_from_buffer str or any contiguous buffer, and its digest functions
// any contiguous buffer but not str. Seeds are ints of [0, 0xFFFFFFFF]
// everywhere; hash_from_buffer also converts them through __index__.

#include "bindings/python.hpp"

#include "bindings/native/mmh3.hpp"

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <tuple>

#include "backend/memory.hpp"
#include "bindings/arguments.hpp"
#include "bindings/hashlib_words.hpp"
#include "bindings/mmh3_docstrings.hpp"
#include "bindings/native/mmh3_messages.hpp"
#include "bindings/native/mmh3_results.hpp"
#include "bindings/objects.hpp"
#include "bindings/runtime.hpp"
#include "bindings/schema.hpp"
#include "murmur3/interleaved.hpp"
#include "murmur3/kernels.hpp"
#include "murmur3/x64_128.hpp"
#include "murmur3/x86_128.hpp"
#include "murmur3/x86_32.hpp"

namespace vantorq::bindings::native::mmh3 {
namespace {

namespace core = vantorq::murmur3;
namespace docs = mmh3_docstrings;
using arguments::Arguments;

constexpr char MODULE_NAME[] = "vantorq.mmh3";

enum class KeyRule {
    Text,          // hash, hash64, hash128, hash_bytes
    TextOrBuffer,  // hash_from_buffer
    Buffer,        // the digest functions
};

template <auto HASH>
[[gnu::always_inline]] inline auto hash_maybe_detached(const unsigned char* data, std::size_t length, std::uint32_t seed,
                                                       bool immutable) {
    return runtime::run_maybe_detached(immutable && length >= runtime::MURMUR3_DETACH_BYTES,
                                       [&] { return HASH(data, length, seed); });
}

// A key read in place: exact bytes, or a str's UTF-8 form (which the str keeps).
struct InPlaceKey {
    const unsigned char* data;
    std::size_t length;

    template <auto HASH>
    [[gnu::always_inline]] auto hash(std::uint32_t seed) const {
        return hash_maybe_detached<HASH>(data, length, seed, true);
    }
};

// Any other key, held until the hash is done; its bytes are read only then
// (a bytearray's inside its critical section), after every conversion that
// may run Python code.
struct HeldKey {
    const buffer::BytesLike& input;

    template <auto HASH>
    auto hash(std::uint32_t seed) const {
        return input.with_bytes([&](const unsigned char* data, std::size_t length) {
            return hash_maybe_detached<HASH>(data, length, seed, input.is_immutable());
        });
    }
};

template <KeyRule RULE, typename Work>
[[gnu::noinline]] PyObject* with_other_key(PyObject* key, Work& work) {
    if (PyUnicode_Check(key)) {
        if constexpr (RULE == KeyRule::Buffer) {
            PyErr_SetString(PyExc_TypeError, hashlib_words::STRINGS_MUST_BE_ENCODED);
            return nullptr;
        }
        Py_ssize_t length = 0;
        const char* utf8 = PyUnicode_AsUTF8AndSize(key, &length);
        if (utf8 == nullptr) return nullptr;
        return work(InPlaceKey{reinterpret_cast<const unsigned char*>(utf8), static_cast<std::size_t>(length)});
    }
    if constexpr (RULE == KeyRule::Text) {
        if (!PyBytes_Check(key)) {
            PyErr_Format(PyExc_TypeError, messages::KEY_NOT_READ_ONLY_BUFFER, Py_TYPE(key)->tp_name);
            return nullptr;
        }
        return work(InPlaceKey{reinterpret_cast<const unsigned char*>(PyBytes_AS_STRING(key)),
                               static_cast<std::size_t>(PyBytes_GET_SIZE(key))});
    } else if constexpr (RULE == KeyRule::Buffer) {
        if (!PyObject_CheckBuffer(key)) {
            PyErr_SetString(PyExc_TypeError, hashlib_words::NOT_A_BUFFER);
            return nullptr;
        }
    }
    const auto held = contiguous_buffer(key);
    if (!held) return nullptr;
    return work(HeldKey{*held});
}

// Returns `work(key)` with the key's bytes as InPlaceKey or HeldKey. Exact
// bytes, the common case, are taken inline: for short keys the acquisition
// would cost more than the hash.
template <KeyRule RULE, typename Work>
[[gnu::always_inline]] inline PyObject* with_key(PyObject* key, Work&& work) {
    if (PyBytes_CheckExact(key))
        return work(InPlaceKey{reinterpret_cast<const unsigned char*>(PyBytes_AS_STRING(key)),
                               static_cast<std::size_t>(PyBytes_GET_SIZE(key))});
    return with_other_key<RULE>(key, work);
}

[[gnu::noinline]] bool seed_not_int(PyObject* value) {
    PyErr_Format(PyExc_TypeError, messages::SEED_NOT_INT, Py_TYPE(value)->tp_name);
    return false;
}

// What mmh3 takes for a seed beyond an int of [0, 0xFFFFFFFF]: nothing more
// (hash and the digest functions), or also an int of [2**63, 2**64), of
// which its 128-bit hash functions take the low 32 bits.
enum class SeedRange { Plain, WithHighHalf };

template <SeedRange RANGE>
[[gnu::noinline]] bool read_long_seed(PyObject* value, std::uint32_t& seed) {
    if constexpr (RANGE == SeedRange::WithHighHalf) {
        const unsigned long long wide = PyLong_AsUnsignedLongLong(value);
        if (wide == static_cast<unsigned long long>(-1) && PyErr_Occurred()) {
            PyErr_Clear();  // negative, or past 64 bits
            return seed_out_of_range();
        }
        // mmh3 compares the value as a signed 64-bit one.
        if (static_cast<long long>(wide) > 0xFFFFFFFFll) return seed_out_of_range();
        seed = static_cast<std::uint32_t>(wide);
    } else {
        int overflow = 0;
        const long long wide = PyLong_AsLongLongAndOverflow(value, &overflow);
        if (overflow != 0 || static_cast<unsigned long long>(wide) > 0xFFFFFFFFull) return seed_out_of_range();
        seed = static_cast<std::uint32_t>(wide);
    }
    return true;
}

// An int (its subclasses as they are, without __index__) in the range.
template <SeedRange RANGE>
[[gnu::always_inline]] inline bool read_int_seed(PyObject* value, std::uint32_t& seed) {
    seed = 0;
    if (value == nullptr) return true;
    if (!PyLong_Check(value)) return seed_not_int(value);
#if PY_VERSION_HEX >= 0x030C0000
    // Most seeds fit in a digit: read without a call.
    const auto* number = reinterpret_cast<PyLongObject*>(value);
    if (PyUnstable_Long_IsCompact(number)) {
        const Py_ssize_t compact = PyUnstable_Long_CompactValue(number);
        if (static_cast<std::size_t>(compact) > 0xFFFFFFFFu) return seed_out_of_range();
        seed = static_cast<std::uint32_t>(compact);
        return true;
    }
#endif
    return read_long_seed<RANGE>(value, seed);
}

// A flag's truth: 1, 0, or -1 with the error of its __bool__ set (which
// passes, where mmh3 reports a SystemError instead).
[[gnu::always_inline]] inline int truth(PyObject* value, bool default_value) {
    if (value == nullptr) return default_value;
    if (value == Py_True) return 1;
    if (value == Py_False) return 0;
    return PyObject_IsTrue(value);
}

// x64_128, or x86_128 where x64arch is false; returns `result(state)`.
template <typename Key, typename Result>
[[gnu::always_inline]] inline PyObject* hash_128(const Key& key, std::uint32_t seed, int x64arch, Result&& result) {
    if (x64arch != 0) return result(key.template hash<&core::x64_128::hash>(seed));
    return result(key.template hash<&core::x86_128::hash>(seed));
}

// hash(key, seed=0, signed=True), and hash_from_buffer with its own key and seed rules.
template <KeyRule RULE, bool (*READ_SEED)(PyObject*, std::uint32_t&)>
PyObject* hash_32(const Arguments<3>& args, Py_ssize_t /*nargs*/) {
    return with_key<RULE>(args[0], [&](const auto& key) -> PyObject* {
        std::uint32_t seed;
        if (!READ_SEED(args[1], seed)) return nullptr;
        const int is_signed = truth(args[2], true);
        if (is_signed < 0) return nullptr;
        return int_of(key.template hash<&core::x86_32::hash>(seed), is_signed != 0);
    });
}

// hash64(key, seed=0, x64arch=True, signed=True) and hash128(key, seed=0,
// x64arch=True, signed=False): two 64-bit ints or one 128-bit int. Given
// all four positionally, mmh3 5.3.1 takes signed from the third, x64arch,
// and never looks at the fourth; so does this.
template <bool PAIR>
PyObject* hash_halves(const Arguments<4>& args, Py_ssize_t nargs) {
    return with_key<KeyRule::Text>(args[0], [&](const auto& key) -> PyObject* {
        std::uint32_t seed;
        if (!read_int_seed<SeedRange::WithHighHalf>(args[1], seed)) return nullptr;
        const int x64arch = truth(args[2], true);
        if (x64arch < 0) return nullptr;
        const int is_signed = nargs == 4 ? x64arch : truth(args[3], PAIR);
        if (is_signed < 0) return nullptr;
        return hash_128(key, seed, x64arch, [&](const auto& h) {
            return PAIR ? pair_of(halves(h), is_signed != 0) : int_of(halves(h), is_signed != 0);
        });
    });
}

// hash_bytes(key, seed=0, x64arch=True)
PyObject* hash_bytes(const Arguments<3>& args, Py_ssize_t /*nargs*/) {
    return with_key<KeyRule::Text>(args[0], [&](const auto& key) -> PyObject* {
        std::uint32_t seed;
        if (!read_int_seed<SeedRange::WithHighHalf>(args[1], seed)) return nullptr;
        const int x64arch = truth(args[2], true);
        if (x64arch < 0) return nullptr;
        return hash_128(key, seed, x64arch, [](const auto& h) { return build<Form::Bytes>(h); });
    });
}

// hash128_batch's work, detached or not: hash128 of every message into `out`.
// x64_128 takes the messages long enough to gain in groups to the kernel
// table's routine for many messages, their block chains side by side.
void hash_all_128(std::span<const core::interleaved::Message> messages, std::uint32_t seed, bool x64arch,
                  Halves* out) {
    if (!x64arch) {
        for (std::size_t i = 0; i < messages.size(); ++i)
            out[i] = halves(core::x86_128::hash(messages[i].data(), messages[i].size(), seed));
        return;
    }
    constexpr std::size_t GROUP = 64;
    core::interleaved::Message group[GROUP];
    std::size_t positions[GROUP];
    core::x64_128::State states[GROUP];
    std::size_t grouped = 0;
    const auto flush = [&] {
        core::x64_128::hash_each({group, grouped}, seed, states);
        for (std::size_t j = 0; j < grouped; ++j) out[positions[j]] = halves(states[j]);
        grouped = 0;
    };
    const std::size_t worth_from = core::kernels().x64_128_many.worth_from;
    for (std::size_t i = 0; i < messages.size(); ++i) {
        if (messages[i].size() < worth_from) {
            out[i] = halves(core::x64_128::hash(messages[i].data(), messages[i].size(), seed));
            continue;
        }
        group[grouped] = messages[i];
        positions[grouped++] = i;
        if (grouped == GROUP) flush();
    }
    if (grouped != 0) flush();
}

// hash128_batch(keys, seed=0, x64arch=True, signed=False): hash128 of each
// key of a list of bytes and str, in one call.
PyObject* hash128_batch(const Arguments<4>& args, Py_ssize_t /*nargs*/) {
    if (!objects::check_list(args[0])) return nullptr;
    std::uint32_t seed;
    if (!read_int_seed<SeedRange::WithHighHalf>(args[1], seed)) return nullptr;
    const int x64arch = truth(args[2], true);
    if (x64arch < 0) return nullptr;
    const int is_signed = truth(args[3], false);
    if (is_signed < 0) return nullptr;
    // Each key held for the call, whatever other threads do to the list meanwhile.
    const auto items = objects::list_items(args[0]);
    if (!items) return nullptr;
    const std::size_t count = items->size();
    auto messages = backend::ReservedArray<core::interleaved::Message>::try_reserve(count);
    auto results = backend::ReservedArray<Halves>::try_reserve(count);
    if (!messages || !results) return PyErr_NoMemory();
    std::size_t total = 0;
    for (const runtime::OwnedRef& item : *items) {
        PyObject* key = item.get();
        Py_ssize_t length = 0;
        const char* data = nullptr;
        if (PyBytes_Check(key)) {
            data = PyBytes_AS_STRING(key);
            length = PyBytes_GET_SIZE(key);
        } else if (PyUnicode_Check(key)) {
            if ((data = PyUnicode_AsUTF8AndSize(key, &length)) == nullptr) return nullptr;
        } else {
            PyErr_Format(PyExc_TypeError, messages::BATCH_KEY_NOT_BYTES_OR_STR, Py_TYPE(key)->tp_name);
            return nullptr;
        }
        messages->emplace_back(reinterpret_cast<const unsigned char*>(data), static_cast<std::size_t>(length));
        total += static_cast<std::size_t>(length);
    }
    Halves* out = results->append_for_overwrite(count).data();
    // Every key is bytes or str, held: nothing can change them meanwhile.
    runtime::run_maybe_detached(total >= runtime::MURMUR3_DETACH_BYTES,
                                [&] { hash_all_128(*messages, seed, x64arch != 0, out); });
    runtime::OwnedRef list(PyList_New(static_cast<Py_ssize_t>(count)));
    if (!list) return nullptr;
    for (std::size_t i = 0; i < count; ++i) {
        PyObject* value = int_of(out[i], is_signed != 0);
        if (value == nullptr) return nullptr;
        PyList_SET_ITEM(list.get(), static_cast<Py_ssize_t>(i), value);
    }
    return list.release();
}

// A function with keywords, as schema::Function declares one, whose
// implementation also sees how many arguments came positionally.
template <std::size_t N>
struct KeywordFunction {
    arguments::Signature<N> signature;
    PyObject* (*implementation)(const Arguments<N>&, Py_ssize_t nargs);
    const char* doc_body;
};

constexpr std::tuple KEYWORD_FUNCTIONS = {
    KeywordFunction<3>{{"hash", {"key", "seed=0", "signed=True"}}, &hash_32<KeyRule::Text, &read_int_seed<SeedRange::Plain>>,
                        docs::HASH_DOC},
    KeywordFunction<3>{{"hash_from_buffer", {"key", "seed=0", "signed=True"}},
                        &hash_32<KeyRule::TextOrBuffer, &read_index_seed>, docs::HASH_FROM_BUFFER_DOC},
    KeywordFunction<4>{{"hash64", {"key", "seed=0", "x64arch=True", "signed=True"}}, &hash_halves<true>,
                        docs::HASH64_DOC},
    KeywordFunction<4>{{"hash128", {"key", "seed=0", "x64arch=True", "signed=False"}}, &hash_halves<false>,
                        docs::HASH128_DOC},
    KeywordFunction<3>{{"hash_bytes", {"key", "seed=0", "x64arch=True"}}, &hash_bytes, docs::HASH_BYTES_DOC},
    KeywordFunction<4>{{"hash128_batch", {"keys", "seed=0", "x64arch=True", "signed=False"}}, &hash128_batch,
                       docs::HASH128_BATCH_DOC},
};
template <std::size_t I>
PyObject* keyword_entry(PyObject* /*module*/, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) noexcept {
    return runtime::guarded([&]() -> PyObject* {
        const auto& function = std::get<I>(KEYWORD_FUNCTIONS);
        constexpr std::size_t N = std::tuple_size_v<std::remove_cvref_t<decltype(function.signature.parameters)>>;
        const auto given = static_cast<std::size_t>(nargs);
        if (kwnames == nullptr && given >= function.signature.required && given <= N) {
            // Positional calls, the common case, fill the slots in place: one
            // compare a slot, where the shared parser's optional would be
            // copied through the stack (a sixth of a 16-byte hash's call).
            Arguments<N> slots;
            for (std::size_t i = 0; i < N; ++i) slots[i] = i < given ? args[i] : nullptr;
            return function.implementation(slots, nargs);
        }
        const auto parsed = arguments::detail::parse_general(function.signature, args, nargs, kwnames);
        return parsed ? function.implementation(*parsed, nargs) : nullptr;
    });
}

// Their names in vantorq._native, in the same order.
constexpr const char* KEYWORD_ATTRIBUTES[] = {"mmh3_hash",     "mmh3_hash_from_buffer", "mmh3_hash64",
                                              "mmh3_hash128",  "mmh3_hash_bytes",       "mmh3_hash128_batch"};
constexpr std::size_t KEYWORD_COUNT = std::tuple_size_v<std::remove_cvref_t<decltype(KEYWORD_FUNCTIONS)>>;
static_assert(std::size(KEYWORD_ATTRIBUTES) == KEYWORD_COUNT);

// The digest functions, (key, seed=0, /): positional only, the seed checked before the key.
PyObject* wrong_argument_count(Py_ssize_t nargs) {
    if (nargs < 1)
        PyErr_Format(PyExc_TypeError, messages::TOO_FEW_ARGUMENTS, Py_ssize_t{1}, "", nargs);
    else
        PyErr_Format(PyExc_TypeError, messages::TOO_MANY_ARGUMENTS, Py_ssize_t{2}, "s", nargs);
    return nullptr;
}

template <auto HASH, Form F>
PyObject* digest_of(PyObject* const* args, Py_ssize_t nargs) {
    if (nargs < 1 || nargs > 2) return wrong_argument_count(nargs);
    std::uint32_t seed;
    if (!read_int_seed<SeedRange::Plain>(nargs == 2 ? args[1] : nullptr, seed)) return nullptr;
    return with_key<KeyRule::Buffer>(args[0],
                                     [&](const auto& key) { return build<F>(key.template hash<HASH>(seed)); });
}

template <auto HASH, Form F>
PyObject* digest_entry(PyObject* /*module*/, PyObject* const* args, Py_ssize_t nargs) noexcept {
    return runtime::guarded([&] { return digest_of<HASH, F>(args, nargs); });
}

struct DigestFunction {
    const char* name;  // also its name in vantorq._native
    _PyCFunctionFast entry;
    const char* doc_body;
};

constexpr auto X86_32 = &core::x86_32::hash;
constexpr auto X64_128 = &core::x64_128::hash;
constexpr auto X86_128 = &core::x86_128::hash;

constexpr DigestFunction DIGEST_FUNCTIONS[] = {
    {"mmh3_32_digest", &digest_entry<X86_32, Form::Bytes>, docs::MMH3_32_DIGEST_DOC},
    {"mmh3_32_sintdigest", &digest_entry<X86_32, Form::Signed>, docs::MMH3_32_SINTDIGEST_DOC},
    {"mmh3_32_uintdigest", &digest_entry<X86_32, Form::Unsigned>, docs::MMH3_32_UINTDIGEST_DOC},
    {"mmh3_x64_128_digest", &digest_entry<X64_128, Form::Bytes>, docs::MMH3_X64_128_DIGEST_DOC},
    {"mmh3_x64_128_sintdigest", &digest_entry<X64_128, Form::Signed>, docs::MMH3_X64_128_SINTDIGEST_DOC},
    {"mmh3_x64_128_uintdigest", &digest_entry<X64_128, Form::Unsigned>, docs::MMH3_X64_128_UINTDIGEST_DOC},
    {"mmh3_x64_128_stupledigest", &digest_entry<X64_128, Form::SignedPair>, docs::MMH3_X64_128_STUPLEDIGEST_DOC},
    {"mmh3_x64_128_utupledigest", &digest_entry<X64_128, Form::UnsignedPair>, docs::MMH3_X64_128_UTUPLEDIGEST_DOC},
    {"mmh3_x86_128_digest", &digest_entry<X86_128, Form::Bytes>, docs::MMH3_X86_128_DIGEST_DOC},
    {"mmh3_x86_128_sintdigest", &digest_entry<X86_128, Form::Signed>, docs::MMH3_X86_128_SINTDIGEST_DOC},
    {"mmh3_x86_128_uintdigest", &digest_entry<X86_128, Form::Unsigned>, docs::MMH3_X86_128_UINTDIGEST_DOC},
    {"mmh3_x86_128_stupledigest", &digest_entry<X86_128, Form::SignedPair>, docs::MMH3_X86_128_STUPLEDIGEST_DOC},
    {"mmh3_x86_128_utupledigest", &digest_entry<X86_128, Form::UnsignedPair>, docs::MMH3_X86_128_UTUPLEDIGEST_DOC},
};
constexpr std::size_t DIGEST_COUNT = std::size(DIGEST_FUNCTIONS);

// Every function's method definition and its name in vantorq._native, made
// once per process. A docstring starts with the interpreter's signature
// line; what follows, its __doc__, starts with the call as mmh3 shows it.
class Table {
public:
    static constexpr std::size_t COUNT = KEYWORD_COUNT + DIGEST_COUNT;

    static Table& get() {
        static Table TABLE;
        return TABLE;
    }

    const char* attributes[COUNT];
    PyMethodDef definitions[COUNT];

private:
    Table() {
        [this]<std::size_t... I>(std::index_sequence<I...>) { (add_keyword<I>(), ...); }(
            std::make_index_sequence<KEYWORD_COUNT>{});
        for (std::size_t i = 0; i < DIGEST_COUNT; ++i) {
            const DigestFunction& function = DIGEST_FUNCTIONS[i];
            std::string& doc = docs_[KEYWORD_COUNT + i];
            doc = std::string(function.name) + "($module, key, seed=0, /)\n--\n\n" + function.doc_body;
            attributes[KEYWORD_COUNT + i] = function.name;
            definitions[KEYWORD_COUNT + i] = {
                function.name, reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(function.entry)),
                METH_FASTCALL, doc.c_str()};
        }
    }

    template <std::size_t I>
    void add_keyword() {
        const auto& function = std::get<I>(KEYWORD_FUNCTIONS);
        const auto& signature = function.signature;
        // No parameter has a default that depends on the interpreter.
        docs_[I] = schema::docstring(signature.name, signature.parameters, signature.positional, function.doc_body,
                                     false);
        attributes[I] = KEYWORD_ATTRIBUTES[I];
        definitions[I] = {signature.name,
                          reinterpret_cast<PyCFunction>(
                              reinterpret_cast<void (*)()>(&keyword_entry<I>)),
                          METH_FASTCALL | METH_KEYWORDS, docs_[I].c_str()};
    }

    std::string docs_[COUNT];
};

struct Class {
    const char* name;  // also its name in vantorq._native
    PyObject* (*create)(PyObject* module);
};

constexpr Class CLASSES[] = {
    {"mmh3_32", &create_mmh3_32},
    {"mmh3_x64_128", &create_mmh3_x64_128},
    {"mmh3_x86_128", &create_mmh3_x86_128},
};

}  // namespace

bool seed_out_of_range() {
    PyErr_SetString(PyExc_ValueError, messages::SEED_OUT_OF_RANGE);
    return false;
}

bool read_index_seed(PyObject* value, std::uint32_t& seed) {
    seed = 0;
    if (value == nullptr) return true;
    const long long wide = PyLong_AsLongLong(value);
    if (wide == -1 && PyErr_Occurred()) return false;
    if (static_cast<unsigned long long>(wide) > 0xFFFFFFFFull) return seed_out_of_range();
    seed = static_cast<std::uint32_t>(wide);
    return true;
}

buffer::Acquired contiguous_buffer(PyObject* object) {
    if (PyByteArray_CheckExact(object)) return buffer::BytesLike(buffer::BorrowedByteArray{object});
    if (PyMemoryView_Check(object)) {
        PyObject* exporter = PyMemoryView_GET_BUFFER(object)->obj;
        if (exporter != nullptr && PyBytes_CheckExact(exporter)) return buffer::contiguous_bytes_like(object, "key");
    }
    return buffer::binascii_contiguous_bytes_like_exported(object);
}

// Not listed in the module's __all__: vantorq.mmh3 lists them under mmh3's names.
int add_to(PyObject* module) {
    runtime::OwnedRef module_name(PyUnicode_FromString(MODULE_NAME));
    if (!module_name) return -1;
    Table& table = Table::get();
    for (std::size_t i = 0; i < Table::COUNT; ++i) {
        runtime::OwnedRef function(PyCMethod_New(&table.definitions[i], module, module_name.get(), nullptr));
        if (!function || PyModule_AddObjectRef(module, table.attributes[i], function.get()) < 0) return -1;
    }
    for (const Class& listed : CLASSES) {
        runtime::OwnedRef type(listed.create(module));
        if (!type || PyModule_AddObjectRef(module, listed.name, type.get()) < 0) return -1;
    }
    return 0;
}

}  // namespace vantorq::bindings::native::mmh3
