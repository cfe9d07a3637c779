#pragma once
// List arguments and the room a list call needs, shared by the families' list
// functions, and the container type checks.

#include "bindings/python.hpp"

#include <span>

#include <algorithm>
#include <cstddef>
#include <optional>

#include "backend/memory.hpp"
#include "bindings/runtime.hpp"

namespace vantorq::bindings::objects {

// TypeError "'<type>' object is not an instance of '<target>'" (or, for None,
// "'None' is not an instance of '<target>'").
void raise_not_instance(PyObject* object, const char* target_type_name);

// ValueError "<output> requires <required> bytes but the destination has
// <available>", with the family's name for what it writes as `output`.
void raise_destination_too_small(const char* output, std::size_t required, std::size_t available);

// Whether `object` is a list (or subclass), resp. a bytearray (or subclass);
// raises the TypeError above when not.
bool check_list(PyObject* object);
bool check_bytearray(PyObject* object);

// A bytearray's bytes; read inside its critical section, where they cannot move.
inline std::span<unsigned char> bytearray_storage(PyObject* bytearray) {
    return {reinterpret_cast<unsigned char*>(PyByteArray_AS_STRING(bytearray)),
            static_cast<std::size_t>(PyByteArray_GET_SIZE(bytearray))};
}

// The items of a list argument, each a new reference, in list order. They stay
// alive for the call whatever other threads do to the list afterwards.
using ItemRefs = backend::ReservedArray<runtime::OwnedRef>;

struct ListItems {
    ItemRefs items;
    bool all_exact_bytes;  // every item is exactly bytes: read it directly, nothing to acquire
};

// The items of `list` (a list or subclass) up to its length at the start of
// the call; items that another thread removes meanwhile are left out, items
// it appends are not read. Nothing with MemoryError "Python list is too
// large" when the room cannot be had.
std::optional<ItemRefs> list_items(PyObject* list);
std::optional<ListItems> list_items_and_all(PyObject* list);

// A list argument read a chunk at a time, so that a long list's objects are
// each taken, read and released while still in cache: read in whole passes,
// every pass would fetch each object from memory again. The length is fixed
// at the start, as `list_items` fixes it.
class ListChunks {
public:
    static constexpr std::size_t CHUNK_ITEMS = 512;

    // Nothing with MemoryError set when the room for a chunk cannot be had.
    static std::optional<ListChunks> open(PyObject* list);

    // The list's length at the start of the call.
    std::size_t count() const { return count_; }

    // The next items (up to CHUNK_ITEMS, new references held until the next
    // call); none at the end.
    const ListItems& next();

    // The items of the last chunk and every item not read yet, at once:
    // before code that may change the list runs, as when reading the whole
    // list in one pass. `visit` sees each item (borrowed) as it is taken,
    // while its object is in cache. Nothing with MemoryError set when room
    // cannot be had.
    template <typename Visit>
    std::optional<ListItems> rest(Visit&& visit);
    std::optional<ListItems> rest() { return rest([](PyObject*) {}); }
    // The most items `rest` gives.
    std::size_t rest_count() const { return chunk_.items.size() + (count_ - read_); }

private:
    ListChunks(PyObject* list, std::size_t count, ItemRefs chunk)
        : list_(list), count_(count), chunk_{std::move(chunk), true} {}

    PyObject* list_;
    std::size_t count_;
    std::size_t read_ = 0;
    ListItems chunk_;
};

namespace detail {

// Items taken per entry into the list's critical section: other threads may
// change the list between groups, and a group costs one lock and unlock
// instead of one per item, a large share of a call over short items.
constexpr std::size_t ITEMS_PER_SECTION = 64;

// Nothing with MemoryError "Python list is too large" when the room cannot be had.
std::optional<ItemRefs> reserve_items(std::size_t count);

// Appends the items at [start, stop) to `items`, each shown to `visit`;
// returns where it stopped, short of `stop` when another thread shortened
// the list meanwhile.
template <bool TRACK_EXACT_BYTES, typename Visit>
std::size_t read_items(PyObject* list, std::size_t start, std::size_t stop, ItemRefs& items, bool& all_exact_bytes,
                       Visit&& visit) {
    bool exact_bytes = true;
    while (start < stop) {
        runtime::CriticalSection section(list);
        const std::size_t end =
            std::min({stop, static_cast<std::size_t>(PyList_GET_SIZE(list)), start + ITEMS_PER_SECTION});
        if (start >= end) break;  // shortened meanwhile: its remaining items are gone
        for (std::size_t i = start; i < end; ++i) {
            PyObject* item = PyList_GET_ITEM(list, static_cast<Py_ssize_t>(i));
            if constexpr (TRACK_EXACT_BYTES) exact_bytes &= PyBytes_CheckExact(item);
            items.emplace_back(runtime::OwnedRef::borrow(item));
            visit(item);
        }
        start = end;
    }
    all_exact_bytes = exact_bytes;
    return start;
}

}  // namespace detail

template <typename Visit>
std::optional<ListItems> ListChunks::rest(Visit&& visit) {
    auto items = detail::reserve_items(rest_count());
    if (!items) return std::nullopt;
    for (auto& item : chunk_.items) {
        visit(item.get());
        items->emplace_back(std::move(item));
    }
    chunk_.items.clear();
    bool rest_exact_bytes;
    detail::read_items<true>(list_, read_, count_, *items, rest_exact_bytes, visit);
    read_ = count_;
    return ListItems{std::move(*items), chunk_.all_exact_bytes && rest_exact_bytes};
}

// Whose list call asks for room: each family words its MemoryError its own way.
enum class BatchFamily { Base64, Xxh3 };

// Room for `count` results (or inputs, views, destinations) of one list call,
// reserved before any item is processed so that a call too large to hold
// fails before any work; nothing with the family's MemoryError otherwise.
void raise_batch_too_large(BatchFamily family);
template <typename T>
std::optional<backend::ReservedArray<T>> batch_results(std::size_t count, BatchFamily family) {
    auto results = backend::ReservedArray<T>::try_reserve(count);
    if (!results) raise_batch_too_large(family);
    return results;
}

}  // namespace vantorq::bindings::objects
