#include "bindings/python.hpp"

#include "bindings/objects.hpp"

#include <algorithm>

namespace vantorq::bindings::objects {

std::optional<ItemRefs> detail::reserve_items(std::size_t count) {
    auto items = ItemRefs::try_reserve(count);
    if (!items) PyErr_SetString(PyExc_MemoryError, "Python list is too large");
    return items;
}

namespace {

template <bool TRACK_EXACT_BYTES>
std::optional<ItemRefs> read_whole_list(PyObject* list, bool& all_exact_bytes) {
    const auto count = static_cast<std::size_t>(PyList_GET_SIZE(list));
    auto items = detail::reserve_items(count);
    if (items) detail::read_items<TRACK_EXACT_BYTES>(list, 0, count, *items, all_exact_bytes, [](PyObject*) {});
    return items;
}

}  // namespace

void raise_not_instance(PyObject* object, const char* target_type_name) {
    if (object == Py_None) {
        PyErr_Format(PyExc_TypeError, "'None' is not an instance of '%s'", target_type_name);
        return;
    }
    runtime::OwnedRef type_name(PyType_GetName(Py_TYPE(object)));
    if (type_name)
        PyErr_Format(PyExc_TypeError, "'%U' object is not an instance of '%s'", type_name.get(), target_type_name);
}

void raise_destination_too_small(const char* output, std::size_t required, std::size_t available) {
    PyErr_Format(PyExc_ValueError, "%s requires %zu bytes but the destination has %zu", output, required, available);
}

bool check_list(PyObject* object) {
    if (PyList_Check(object)) return true;
    raise_not_instance(object, "list");
    return false;
}

bool check_bytearray(PyObject* object) {
    if (PyByteArray_Check(object)) return true;
    raise_not_instance(object, "bytearray");
    return false;
}

std::optional<ItemRefs> list_items(PyObject* list) {
    bool unused;
    return read_whole_list<false>(list, unused);
}

std::optional<ListItems> list_items_and_all(PyObject* list) {
    bool all_exact_bytes;
    auto items = read_whole_list<true>(list, all_exact_bytes);
    if (!items) return std::nullopt;
    return ListItems{std::move(*items), all_exact_bytes};
}

std::optional<ListChunks> ListChunks::open(PyObject* list) {
    const auto count = static_cast<std::size_t>(PyList_GET_SIZE(list));
    auto chunk = detail::reserve_items(std::min(count, CHUNK_ITEMS));
    if (!chunk) return std::nullopt;
    return ListChunks(list, count, std::move(*chunk));
}

const ListItems& ListChunks::next() {
    chunk_.items.clear();
    const std::size_t stop = std::min(count_, read_ + CHUNK_ITEMS);
    const std::size_t reached =
        detail::read_items<true>(list_, read_, stop, chunk_.items, chunk_.all_exact_bytes, [](PyObject*) {});
    // A list shortened meanwhile ends the reading there.
    read_ = reached < stop ? count_ : reached;
    return chunk_;
}

void raise_batch_too_large(BatchFamily family) {
    PyErr_SetString(PyExc_MemoryError,
                    family == BatchFamily::Xxh3 ? "XXH3 batch is too large" : "Base64 batch is too large");
}

}  // namespace vantorq::bindings::objects
