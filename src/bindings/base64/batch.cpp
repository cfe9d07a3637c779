#include "bindings/python.hpp"

#include "bindings/base64/batch.hpp"

#include <cstdint>
#include <optional>

#include "backend/address_set.hpp"
#include "backend/memory.hpp"
#include "bindings/base64/altchars.hpp"
#include "bindings/arguments.hpp"
#include "bindings/base64/encode.hpp"
#include "bindings/base64/messages.hpp"
#include "bindings/base64/policy.hpp"
#include "bindings/buffer.hpp"
#include "bindings/objects.hpp"
#include "bindings/runtime.hpp"

namespace vantorq::bindings::base64::batch {
namespace {

namespace core = vantorq::base64;
using buffer::BytesLike;
using backend::AddressSet;
using objects::BatchFamily;

// Up to this many destinations a repeat is found by scanning the earlier
// ones; from there on through a hash set, so that a long list costs no
// quadratic time.
constexpr std::size_t LINEAR_IDENTITY_LIMIT = 32;

// The destinations of a list call: bytearrays (or subclasses), each at most once.
class BatchOutputs {
public:
    // Checks `outputs` against the item count and reads it; nothing with the
    // error set for a length, type or repeat, in index order.
    static std::optional<BatchOutputs> read(PyObject* outputs, std::size_t count) {
        if (static_cast<std::size_t>(PyList_GET_SIZE(outputs)) != count) return length_mismatch();
        const bool hashed = count > LINEAR_IDENTITY_LIMIT;
        auto seen = hashed ? AddressSet::with_room_for(count) : std::optional<AddressSet>();
        if (hashed && !seen) {
            objects::raise_batch_too_large(BatchFamily::Base64);
            return std::nullopt;
        }
        auto refs = objects::list_items(outputs);
        if (!refs) return std::nullopt;
        if (refs->size() != count) return length_mismatch();  // shortened by another thread meanwhile
        BatchOutputs destinations(std::move(*refs), std::move(seen));
        for (std::size_t i = 0; i < count; ++i) {
            PyObject* destination = destinations[i];
            if (!PyByteArray_Check(destination)) {
                PyErr_Format(PyExc_TypeError, messages::OUTPUT_NOT_BYTEARRAY, i);
                return std::nullopt;
            }
            if (!destinations.record(i)) {
                PyErr_SetString(PyExc_ValueError, messages::OUTPUTS_REPEAT);
                return std::nullopt;
            }
        }
        return destinations;
    }

    PyObject* operator[](std::size_t i) const { return refs_[i].get(); }
    // Drops the reference to destination i once it is written, while its
    // object is still in cache; the identity checks are over by then.
    void release(std::size_t i) { refs_[i] = runtime::OwnedRef(); }

    bool contains_identity(PyObject* object) const {
        if (set_) return set_->contains(object);
        for (const auto& destination : refs_)
            if (destination.get() == object) return true;
        return false;
    }

private:
    BatchOutputs(objects::ItemRefs refs, std::optional<AddressSet> set)
        : refs_(std::move(refs)), set_(std::move(set)) {}

    static std::optional<BatchOutputs> length_mismatch() {
        PyErr_SetString(PyExc_ValueError, messages::LENGTHS_DIFFER);
        return std::nullopt;
    }

    // Whether destination i differs from every earlier one.
    bool record(std::size_t i) {
        if (set_) return set_->insert(refs_[i].get());
        for (std::size_t j = 0; j < i; ++j)
            if (refs_[j].get() == refs_[i].get()) return false;
        return true;
    }

    objects::ItemRefs refs_;
    std::optional<AddressSet> set_;
};

// What encoding and decoding differ in: the prepared request, how an item is
// acquired, and what it is turned into.
struct Encoding {
    core::Encoder encoder;

    static constexpr bool ACCEPTS_TEXT = false;
    static constexpr bool RUNS_NO_CODE_ON_EXACT_BYTES = true;
    // As the single-item encoders take their input.
    static buffer::Acquired acquire(PyObject* item) { return encode::acquire_input(item); }
    PyObject* convert(const BytesLike& input) const { return encode::encode_with_prepared(input, encoder); }
    PyObject* convert_into(PyObject* destination, const BytesLike& input) const {
        return encode::encode_into(destination, input, encoder);
    }
    PyObject* convert_bytes_into(PyObject* destination, PyObject* bytes) const {
        return encode::encode_bytes_into(destination, bytes, encoder);
    }
};

struct Decoding {
    policy::PreparedDecoder decoder;

    static constexpr bool ACCEPTS_TEXT = true;
    static constexpr bool RUNS_NO_CODE_ON_EXACT_BYTES = false;  // it may warn, or hand the text to binascii
    static buffer::Acquired acquire(PyObject* item) { return buffer::ascii_or_bytes(item, "s"); }
    PyObject* convert(const BytesLike& input) const { return decoder.decode_allocating(input); }
    PyObject* convert_into(PyObject* destination, const BytesLike& input) const {
        return decoder.decode_into(destination, input);
    }
};

// The encoder of b64encode_batch: the standard alphabet, or the one `altchars` makes.
std::optional<Encoding> encoding_with(PyObject* altchars) {
    std::optional<altchars::Pair> pair;
    if (!altchars::parse_altchars(altchars, false, pair)) return std::nullopt;
    return Encoding{core::Encoder(
        pair ? core::EncodeAlphabet::with_altchars(pair->c62, pair->c63) : core::STANDARD_ENCODE_ALPHABET, true)};
}

// The decoder of a list call: padded, lenient unless `validate`, with
// `altchars` (text allowed) standing for "+" and "/". One for the whole list,
// so whatever it builds for its alphabet is built once.
std::optional<Decoding> new_for_batch(PyObject* altchars, PyObject* validate) {
    auto policy = policy::PreparedPolicy::standard();
    const auto strict = fallback::read_validate(validate, policy.semantics);
    if (!strict) return std::nullopt;
    policy.validate = *strict;
    if (!altchars::parse_altchars(altchars, true, policy.altchars)) return std::nullopt;
    if (policy.altchars) {
        const char pair[2] = {static_cast<char>(policy.altchars->c62), static_cast<char>(policy.altchars->c63)};
        policy.altchars_object = runtime::OwnedRef(PyBytes_FromStringAndSize(pair, 2));  // shown by the warnings
        if (!policy.altchars_object) return std::nullopt;
    }
    return Decoding{policy::PreparedDecoder(std::move(policy))};
}

std::optional<Decoding> url_safe_decoding() {
    auto policy = policy::PreparedPolicy::standard();
    policy.altchars = altchars::Pair{'-', '_'};
    policy.url_safe_function = true;
    return Decoding{policy::PreparedDecoder(std::move(policy))};
}

// The plain forms: a new list of one result per item. Encoding exact bytes
// runs no code, so those lists are read a chunk at a time (each object taken,
// converted and released while in cache); from the first chunk with another
// kind of item, and for decoding (which may warn or call the interpreter),
// the rest of the list is taken at once, as it stands before any code runs.
template <typename Codec>
PyObject* convert_list(PyObject* items_list, const Codec& codec) {
    auto reader = objects::ListChunks::open(items_list);
    if (!reader) return nullptr;
    const auto count = static_cast<Py_ssize_t>(reader->count());
    runtime::OwnedRef results(PyList_New(count));
    if (!results) return nullptr;
    Py_ssize_t done = 0;
    const auto convert = [&](PyObject* item) {
        const auto input = Codec::acquire(item);
        if (!input) return false;
        PyObject* result = codec.convert(*input);
        if (result == nullptr) return false;
        PyList_SET_ITEM(results.get(), done++, result);
        return true;
    };
    for (;;) {
        const auto& chunk = reader->next();
        if (chunk.items.size() == 0) break;
        if (Codec::RUNS_NO_CODE_ON_EXACT_BYTES && chunk.all_exact_bytes) {
            for (const auto& item : chunk.items)
                if (!convert(item.get())) return nullptr;
            continue;
        }
        auto rest = reader->rest();
        if (!rest) return nullptr;
        for (auto& item : rest->items) {
            if (!convert(item.get())) return nullptr;
            item = runtime::OwnedRef();  // released while still in cache, not in a pass of its own
        }
        break;
    }
    // Another thread shortened the list meanwhile: its removed items are left out.
    if (done < count && PyList_SetSlice(results.get(), done, count, nullptr) < 0) return nullptr;
    return results.release();
}

// An item acquired before any destination is written, or the error its
// acquisition raised, to be raised when the item's turn comes.
struct PreparedItem {
    std::size_t index;
    std::optional<BytesLike> input;
    runtime::OwnedRef error;
};

// Items that are read only at their turn: nothing written before can change them.
template <typename Codec>
bool acquired_at_its_turn(PyObject* item, const BatchOutputs& outputs) {
    if (PyBytes_CheckExact(item)) return true;
    if (Codec::ACCEPTS_TEXT && PyUnicode_CheckExact(item)) return true;
    return PyByteArray_CheckExact(item) && !outputs.contains_identity(item);
}

template <typename Codec>
buffer::Acquired acquire_ahead(PyObject* item, const BatchOutputs& outputs) {
    if (PyByteArray_Check(item) && outputs.contains_identity(item))
        return BytesLike(buffer::OwnedByteArray{runtime::OwnedRef::borrow(item)});
    if (Codec::ACCEPTS_TEXT && PyUnicode_Check(item)) {
        auto encoded = buffer::encode_ascii(item);
        if (!encoded) return std::nullopt;
        return BytesLike(buffer::OwnedBytes{std::move(encoded)});
    }
    // Only the encoders require contiguous memory.
    return buffer::buffer_bytes_like(item, "s", !Codec::ACCEPTS_TEXT);
}

// Acquires, before anything is written, every item that a write could
// change or that may run caller code, and copies those that are
// destinations (or views of one): each is then converted from its content as
// it was before the call. Nothing with the error set when room or a copy
// cannot be had; an item that cannot be acquired is recorded instead.
template <typename Codec>
std::optional<backend::ReservedArray<PreparedItem>> prepare_batch_inputs(const objects::ListItems& listed,
                                                                          const BatchOutputs& outputs) {
    const objects::ItemRefs& items = listed.items;
    std::size_t ahead = 0;
    if (!listed.all_exact_bytes)
        for (const auto& item : items) ahead += !acquired_at_its_turn<Codec>(item.get(), outputs);
    auto prepared = objects::batch_results<PreparedItem>(ahead, BatchFamily::Base64);
    if (!prepared || ahead == 0) return prepared;
    for (std::size_t i = 0; i < items.size(); ++i) {
        PyObject* item = items[i].get();
        if (acquired_at_its_turn<Codec>(item, outputs)) continue;
        auto input = acquire_ahead<Codec>(item, outputs);
        if (!input) {
            prepared->emplace_back(PreparedItem{i, std::nullopt, runtime::OwnedRef(PyErr_GetRaisedException())});
            break;
        }
        prepared->emplace_back(PreparedItem{i, std::move(input), {}});
    }
    for (auto& entry : *prepared) {
        if (!entry.input) continue;
        PyObject* bytearray = entry.input->bytearray();
        if (bytearray == nullptr || !outputs.contains_identity(bytearray)) continue;
        auto snapshot = entry.input->try_snapshot();
        if (!snapshot) return std::nullopt;
        entry.input = std::move(snapshot);
    }
    return prepared;
}

// An item not prepared beforehand, converted into its destination.
template <typename Codec>
PyObject* convert_item_into(const Codec& codec, PyObject* destination, PyObject* item) {
    if constexpr (Codec::RUNS_NO_CODE_ON_EXACT_BYTES) {
        // Read in place: acquiring it would cost a short item more than its conversion.
        if (PyBytes_CheckExact(item)) return codec.convert_bytes_into(destination, item);
    }
    const auto input = Codec::acquire(item);
    if (!input) return nullptr;
    return codec.convert_into(destination, *input);
}

// The _into forms: item i written into destination i, a list of the counts returned.
template <typename Codec>
PyObject* convert_list_into(PyObject* items_list, PyObject* outputs_list, const Codec& codec) {
    auto listed = objects::list_items_and_all(items_list);
    if (!listed) return nullptr;
    auto& items = listed->items;
    auto outputs = BatchOutputs::read(outputs_list, items.size());
    if (!outputs) return nullptr;
    auto prepared = prepare_batch_inputs<Codec>(*listed, *outputs);
    if (!prepared) return nullptr;

    runtime::OwnedRef counts(PyList_New(static_cast<Py_ssize_t>(items.size())));
    if (!counts) return nullptr;
    std::size_t next_prepared = 0;
    for (std::size_t i = 0; i < items.size(); ++i) {
        // Each branch holds its own input: an empty optional declared for
        // both would be cleared whole at every item.
        PyObject* count;
        if (next_prepared < prepared->size() && (*prepared)[next_prepared].index == i) {
            PreparedItem& entry = (*prepared)[next_prepared++];
            if (!entry.input) {
                PyErr_SetRaisedException(entry.error.release());
                return nullptr;
            }
            count = codec.convert_into((*outputs)[i], *entry.input);
        } else {
            count = convert_item_into(codec, (*outputs)[i], items[i].get());
        }
        if (count == nullptr) return nullptr;
        PyList_SET_ITEM(counts.get(), static_cast<Py_ssize_t>(i), count);
        // Released while still in cache, not in a pass of their own.
        items[i] = runtime::OwnedRef();
        outputs->release(i);
    }
    return counts.release();
}

// Every list entry point: parse, check the lists, build the encoder or
// decoder from the options that follow them, and run the list.
template <std::size_t N, typename MakeCodec>
PyObject* list_call(const arguments::Arguments<N>& parsed, MakeCodec make_codec) {
    if (!objects::check_list(parsed[0])) return nullptr;
    const auto codec = make_codec(parsed);
    if (!codec) return nullptr;
    return convert_list(parsed[0], *codec);
}

template <std::size_t N, typename MakeCodec>
PyObject* list_into_call(const arguments::Arguments<N>& parsed, MakeCodec make_codec) {
    if (!objects::check_list(parsed[0]) || !objects::check_list(parsed[1])) return nullptr;
    const auto codec = make_codec(parsed);
    if (!codec) return nullptr;
    return convert_list_into(parsed[0], parsed[1], *codec);
}

std::optional<Encoding> fixed_encoding(const core::EncodeAlphabet& alphabet) {
    return Encoding{core::Encoder(alphabet, true)};
}

std::optional<Decoding> standard_decoding() {
    return Decoding{policy::PreparedDecoder(policy::PreparedPolicy::standard())};
}

}  // namespace

PyObject* b64encode_batch(const arguments::Arguments<2>& parsed) {
    return list_call(parsed,
                     [](const auto& slots) { return encoding_with(slots[1]); });
}

PyObject* b64encode_batch_into(const arguments::Arguments<3>& parsed) {
    return list_into_call(parsed,
                          [](const auto& slots) { return encoding_with(slots[2]); });
}

PyObject* standard_b64encode_batch(const arguments::Arguments<1>& parsed) {
    return list_call(parsed,
                     [](const auto&) { return fixed_encoding(core::STANDARD_ENCODE_ALPHABET); });
}

PyObject* standard_b64encode_batch_into(const arguments::Arguments<2>& parsed) {
    return list_into_call(parsed,
                          [](const auto&) { return fixed_encoding(core::STANDARD_ENCODE_ALPHABET); });
}

PyObject* urlsafe_b64encode_batch(const arguments::Arguments<1>& parsed) {
    return list_call(parsed,
                     [](const auto&) { return fixed_encoding(core::URL_SAFE_ENCODE_ALPHABET); });
}

PyObject* urlsafe_b64encode_batch_into(const arguments::Arguments<2>& parsed) {
    return list_into_call(parsed,
                          [](const auto&) { return fixed_encoding(core::URL_SAFE_ENCODE_ALPHABET); });
}

PyObject* b64decode_batch(const arguments::Arguments<3>& parsed) {
    return list_call(parsed,
                     [](const auto& slots) { return new_for_batch(slots[1], slots[2]); });
}

PyObject* b64decode_batch_into(const arguments::Arguments<4>& parsed) {
    return list_into_call(parsed,
                          [](const auto& slots) { return new_for_batch(slots[2], slots[3]); });
}

PyObject* standard_b64decode_batch(const arguments::Arguments<1>& parsed) {
    return list_call(parsed,
                     [](const auto&) { return standard_decoding(); });
}

PyObject* standard_b64decode_batch_into(const arguments::Arguments<2>& parsed) {
    return list_into_call(parsed,
                          [](const auto&) { return standard_decoding(); });
}

PyObject* urlsafe_b64decode_batch(const arguments::Arguments<1>& parsed) {
    return list_call(parsed,
                     [](const auto&) { return url_safe_decoding(); });
}

PyObject* urlsafe_b64decode_batch_into(const arguments::Arguments<2>& parsed) {
    return list_into_call(parsed,
                          [](const auto&) { return url_safe_decoding(); });
}

}  // namespace vantorq::bindings::base64::batch
