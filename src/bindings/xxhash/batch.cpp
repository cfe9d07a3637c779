#include "bindings/python.hpp"

#include "bindings/xxhash/batch.hpp"

#include <algorithm>
#include <array>
#include <cstring>
#include <optional>
#include <span>

#include "backend/memory.hpp"
#include "bindings/arguments.hpp"
#include "bindings/buffer.hpp"
#include "bindings/objects.hpp"
#include "bindings/runtime.hpp"
#include "bindings/xxhash/messages.hpp"
#include "bindings/xxhash/callbacks.hpp"
#include "xxhash/batch.hpp"
#include "xxhash/classic.hpp"

namespace vantorq::bindings::xxhash::batch {
namespace {

namespace core = vantorq::xxhash::batch;
namespace classic = vantorq::xxhash::classic;
using objects::BatchFamily;
using vantorq::xxhash::ByteView;

// From this many items, or this many bytes in all, the hashing runs with the
// interpreter released; below, releasing and re-attaching would cost a
// noticeable share of the call.
constexpr std::size_t DETACH_ITEMS = 16'384;
constexpr std::size_t DETACH_BYTES = 1'048'576;

// What differs between the hashes: the seed, the packed digest, the core that
// writes it, and the int it stands for.
struct PackedDigest64 {
    static bool read_seed(PyObject* value, std::uint64_t& seed) { return arguments::read_seed_u64(value, seed); }
    static constexpr std::size_t BYTES = core::DIGEST_BYTES_64;
    static void hash_items(std::span<const ByteView> items, std::uint64_t seed, unsigned char* out) {
        core::hash_items_64(items, seed, out);
    }
    static PyObject* to_int(const unsigned char* packed) {
        return PyLong_FromUnsignedLongLong(vantorq::xxhash::load_u64(packed));
    }
};

struct PackedDigest128 {
    static bool read_seed(PyObject* value, std::uint64_t& seed) { return arguments::read_seed_u64(value, seed); }
    static constexpr std::size_t BYTES = core::DIGEST_BYTES_128;
    static void hash_items(std::span<const ByteView> items, std::uint64_t seed, unsigned char* out) {
        core::hash_items_128(items, seed, out);
    }
    static PyObject* to_int(const unsigned char* packed) { return callbacks::int_from_packed_128(packed); }
};

struct PackedXxh64 {
    static bool read_seed(PyObject* value, std::uint64_t& seed) { return arguments::read_seed_u64(value, seed); }
    static constexpr std::size_t BYTES = sizeof(std::uint64_t);
    static void hash_items(std::span<const ByteView> items, std::uint64_t seed, unsigned char* out) {
        classic::xxh64_items(items, seed, out);
    }
    static PyObject* to_int(const unsigned char* packed) {
        return PyLong_FromUnsignedLongLong(vantorq::xxhash::load_u64(packed));
    }
};

struct PackedXxh32 {
    static bool read_seed(PyObject* value, std::uint64_t& seed) {
        std::uint32_t narrow;
        const bool converted = arguments::read_seed_u32(value, narrow);
        seed = narrow;
        return converted;
    }
    static constexpr std::size_t BYTES = sizeof(std::uint32_t);
    static void hash_items(std::span<const ByteView> items, std::uint64_t seed, unsigned char* out) {
        classic::xxh32_items(items, static_cast<std::uint32_t>(seed), out);
    }
    static PyObject* to_int(const unsigned char* packed) {
        return PyLong_FromUnsignedLong(vantorq::xxhash::load_u32(packed));
    }
};

// Finished digests kept in private memory, item i at byte i * BYTES.
template <typename Digest>
using Packed = std::array<unsigned char, Digest::BYTES>;
template <typename Digest>
using Scratch = backend::ReservedArray<Packed<Digest>>;

// The items as the byte ranges the core reads, and what keeps those valid.
struct BatchItems {
    // The acquired inputs; none when every item is an exact bytes object read in place.
    std::optional<backend::ReservedArray<buffer::BytesLike>> inputs;
    backend::ReservedArray<ByteView> views;
    // No item is read in place from memory another thread may change.
    bool stable = true;
    // Counted only up to the threshold that matters.
    std::size_t total_bytes = 0;

    void add(const unsigned char* data, std::size_t length) {
        views.emplace_back(ByteView{data, length});
        total_bytes = std::min(total_bytes + length, DETACH_BYTES);
    }
    // Hashing these items may and should run with the interpreter released.
    bool detach() const { return stable && (views.size() >= DETACH_ITEMS || total_bytes >= DETACH_BYTES); }
};

std::optional<BatchItems> views_for(std::size_t count,
                                    std::optional<backend::ReservedArray<buffer::BytesLike>> inputs) {
    auto views = objects::batch_results<ByteView>(count, BatchFamily::Xxh3);
    if (!views) return std::nullopt;
    return BatchItems{std::move(inputs), std::move(*views)};
}

// Every item is an exact bytes object: its bytes are read in place.
std::optional<BatchItems> borrow_exact(const objects::ItemRefs& items) {
    auto batch = views_for(items.size(), std::nullopt);
    if (!batch) return std::nullopt;
    for (const auto& item : items)
        batch->add(reinterpret_cast<const unsigned char*>(PyBytes_AS_STRING(item.get())),
                   static_cast<std::size_t>(PyBytes_GET_SIZE(item.get())));
    return batch;
}

// Acquires every item, then copies the bytearrays among them: the hash then
// never reads memory that another thread can resize, and needs no lock.
std::optional<BatchItems> parse_batch(const objects::ItemRefs& items) {
    auto inputs = objects::batch_results<buffer::BytesLike>(items.size(), BatchFamily::Xxh3);
    if (!inputs) return std::nullopt;
    for (const auto& item : items) {
        auto input = buffer::any_bytes_like(item.get(), "items element");
        if (!input) return std::nullopt;
        inputs->emplace_back(std::move(*input));
    }
    for (auto& input : *inputs) {
        if (input.bytearray() == nullptr) continue;
        auto snapshot = input.try_snapshot();
        if (!snapshot) return std::nullopt;
        input = std::move(*snapshot);
    }
    auto batch = views_for(items.size(), std::move(inputs));
    if (!batch) return std::nullopt;
    for (const auto& input : *batch->inputs) {
        batch->stable &= input.is_immutable();
        input.with_bytes([&](const unsigned char* data, std::size_t length) { batch->add(data, length); });
    }
    return batch;
}

std::optional<BatchItems> acquire_items(const objects::ListItems& listed) {
    return listed.all_exact_bytes ? borrow_exact(listed.items) : parse_batch(listed.items);
}

// The bytes `count` packed digests take, or nothing with MemoryError set.
std::optional<std::size_t> packed_output_len(std::size_t count, std::size_t digest_bytes) {
    std::size_t required;
    if (__builtin_mul_overflow(count, digest_bytes, &required)) {
        PyErr_SetString(PyExc_MemoryError, messages::OUTPUT_TOO_LARGE);
        return std::nullopt;
    }
    return required;
}

// Whether `output` holds `required` bytes; raises the ValueError if not.
// Call inside the destination's critical section.
bool output_holds(PyObject* output, std::size_t required) {
    const auto available = static_cast<std::size_t>(PyByteArray_GET_SIZE(output));
    if (available >= required) return true;
    objects::raise_destination_too_small(messages::OUTPUT, required, available);
    return false;
}

// The digests in private memory, hashed with the interpreter released when
// `detach` is set.
template <typename Digest>
std::optional<Scratch<Digest>> hash_into_scratch(const BatchItems& batch, std::uint64_t seed, bool detach) {
    const std::size_t count = batch.views.size();
    auto scratch = objects::batch_results<Packed<Digest>>(count, BatchFamily::Xxh3);
    if (!scratch) return std::nullopt;
    auto* out = reinterpret_cast<unsigned char*>(scratch->append_for_overwrite(count).data());
    runtime::run_maybe_detached(detach, [&] { Digest::hash_items(batch.views, seed, out); });
    return scratch;
}

// The digests of a whole list in private memory. A list that runs no code of
// its own (exact bytes objects only) and is hashed attached is read a chunk
// at a time, each object taken, hashed and released while in cache. Anything
// else takes the rest of the list at once: acquiring other items may run code
// that changes the list, and work that runs detached is done in one detached
// stretch, since re-attaching after every chunk would wait for the
// interpreter whenever another thread holds it.
template <typename Digest>
std::optional<Scratch<Digest>> hash_list_items(objects::ListChunks& reader, std::uint64_t seed) {
    auto scratch = objects::batch_results<Packed<Digest>>(reader.count(), BatchFamily::Xxh3);
    if (!scratch) return std::nullopt;
    auto views = objects::batch_results<ByteView>(std::min(reader.count(), objects::ListChunks::CHUNK_ITEMS),
                                                  BatchFamily::Xxh3);
    if (!views) return std::nullopt;
    std::size_t bytes_hashed = 0;  // by the chunks hashed already, up to the threshold
    const bool long_list = reader.count() >= DETACH_ITEMS;
    for (;;) {
        const auto& chunk = reader.next();
        if (chunk.items.size() == 0) return scratch;
        views->clear();
        std::size_t chunk_bytes = 0;
        if (chunk.all_exact_bytes && !long_list) {
            for (const auto& item : chunk.items) {
                const auto length = static_cast<std::size_t>(PyBytes_GET_SIZE(item.get()));
                views->emplace_back(
                    ByteView{reinterpret_cast<const unsigned char*>(PyBytes_AS_STRING(item.get())), length});
                chunk_bytes += length;
            }
        }
        if (!chunk.all_exact_bytes || long_list || bytes_hashed + chunk_bytes >= DETACH_BYTES) {
            // The views of exact bytes objects are made as the items are
            // taken; any other item has the whole rest acquired.
            auto exact = views_for(reader.rest_count(), std::nullopt);
            if (!exact) return std::nullopt;
            const auto rest = reader.rest([&](PyObject* item) {
                if (PyBytes_CheckExact(item))
                    exact->add(reinterpret_cast<const unsigned char*>(PyBytes_AS_STRING(item)),
                               static_cast<std::size_t>(PyBytes_GET_SIZE(item)));
            });
            if (!rest) return std::nullopt;
            const auto acquired = rest->all_exact_bytes ? std::nullopt : parse_batch(rest->items);
            if (!rest->all_exact_bytes && !acquired) return std::nullopt;
            const BatchItems& batch = rest->all_exact_bytes ? *exact : *acquired;
            // The thresholds hold for the whole list, not only its rest.
            const bool detach = batch.stable && (long_list || bytes_hashed + batch.total_bytes >= DETACH_BYTES);
            auto* out = reinterpret_cast<unsigned char*>(scratch->append_for_overwrite(batch.views.size()).data());
            runtime::run_maybe_detached(detach, [&] { Digest::hash_items(batch.views, seed, out); });
            return scratch;
        }
        bytes_hashed += chunk_bytes;
        auto* out = reinterpret_cast<unsigned char*>(scratch->append_for_overwrite(views->size()).data());
        Digest::hash_items(*views, seed, out);
    }
}

template <typename Digest>
PyObject* hash_list(const arguments::Arguments<2>& parsed) {
    const auto [items, seed_argument] = parsed;
    std::uint64_t seed;
    if (!Digest::read_seed(seed_argument, seed)) return nullptr;
    if (!objects::check_list(items)) return nullptr;

    // The items are released chunk by chunk as their digests are made, before the ints are.
    const auto digests = [&]() -> std::optional<Scratch<Digest>> {
        auto reader = objects::ListChunks::open(items);
        if (!reader) return std::nullopt;
        return hash_list_items<Digest>(*reader, seed);
    }();
    if (!digests) return nullptr;

    runtime::OwnedRef list(PyList_New(static_cast<Py_ssize_t>(digests->size())));
    if (!list) return nullptr;
    for (std::size_t i = 0; i < digests->size(); ++i) {
        PyObject* value = Digest::to_int((*digests)[i].data());
        if (value == nullptr) return nullptr;
        PyList_SET_ITEM(list.get(), static_cast<Py_ssize_t>(i), value);
    }
    return list.release();
}

// Copies digests made in private memory into the destination; the count of bytes written.
template <typename Digest>
PyObject* copy_into(PyObject* output, const std::optional<Scratch<Digest>>& scratch) {
    if (!scratch) return nullptr;
    const std::size_t written = scratch->size() * Digest::BYTES;
    runtime::CriticalSection section(output);
    // Another thread may have resized the destination meanwhile.
    if (!output_holds(output, written)) return nullptr;
    std::memcpy(PyByteArray_AS_STRING(output), scratch->data(), written);
    return PyLong_FromSize_t(written);
}

template <typename Digest>
PyObject* packed_batch_into(const arguments::Arguments<3>& parsed) {
    const auto [items, output, seed_argument] = parsed;
    std::uint64_t seed;
    if (!Digest::read_seed(seed_argument, seed)) return nullptr;
    if (!objects::check_list(items) || !objects::check_bytearray(output)) return nullptr;
    auto reader = objects::ListChunks::open(items);
    if (!reader) return nullptr;
    const auto required = packed_output_len(reader->count(), Digest::BYTES);
    if (!required) return nullptr;
    {
        // Before any item is looked at: a destination too small is reported
        // even when an item is bad as well.
        runtime::CriticalSection section(output);
        if (!output_holds(output, *required)) return nullptr;
    }

    // Small calls over stable items hash straight into the destination.
    // Otherwise the digests go to private memory first: while detached the
    // destination must not be touched, and an item whose bytes another
    // thread may change must not be read while the destination is locked.
    if (reader->count() <= objects::ListChunks::CHUNK_ITEMS) {
        const auto batch = acquire_items(reader->next());
        if (!batch) return nullptr;
        if (!batch->detach() && batch->stable) {
            const std::size_t written = batch->views.size() * Digest::BYTES;
            runtime::CriticalSection section(output);
            // The destination may have shrunk while the items were acquired.
            if (!output_holds(output, written)) return nullptr;
            Digest::hash_items(batch->views, seed, reinterpret_cast<unsigned char*>(PyByteArray_AS_STRING(output)));
            return PyLong_FromSize_t(written);
        }
        return copy_into<Digest>(output, hash_into_scratch<Digest>(*batch, seed, batch->detach()));
    }
    return copy_into<Digest>(output, hash_list_items<Digest>(*reader, seed));
}

}  // namespace

PyObject* xxh3_64_batch(const arguments::Arguments<2>& parsed) { return hash_list<PackedDigest64>(parsed); }
PyObject* xxh3_128_batch(const arguments::Arguments<2>& parsed) { return hash_list<PackedDigest128>(parsed); }
PyObject* xxh3_64_batch_into(const arguments::Arguments<3>& parsed) {
    return packed_batch_into<PackedDigest64>(parsed);
}
PyObject* xxh3_128_batch_into(const arguments::Arguments<3>& parsed) {
    return packed_batch_into<PackedDigest128>(parsed);
}
PyObject* xxh32_batch(const arguments::Arguments<2>& parsed) { return hash_list<PackedXxh32>(parsed); }
PyObject* xxh64_batch(const arguments::Arguments<2>& parsed) { return hash_list<PackedXxh64>(parsed); }
PyObject* xxh32_batch_into(const arguments::Arguments<3>& parsed) { return packed_batch_into<PackedXxh32>(parsed); }
PyObject* xxh64_batch_into(const arguments::Arguments<3>& parsed) { return packed_batch_into<PackedXxh64>(parsed); }

}  // namespace vantorq::bindings::xxhash::batch
