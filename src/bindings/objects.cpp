#include "bindings/python.hpp"

#include "bindings/objects.hpp"

#include <algorithm>

namespace vantorq::bindings::objects {
namespace {

// Items taken per entry into the list's critical section: other threads may
// change the list between groups, and a group costs one lock and unlock
// instead of one per item, a large share of a call over short items.
constexpr Py_ssize_t ITEMS_PER_SECTION = 64;

template <bool TRACK_EXACT_BYTES>
std::optional<ItemRefs> read_items(PyObject* list, bool& all_exact_bytes) {
    const Py_ssize_t count = PyList_GET_SIZE(list);
    auto items = ItemRefs::try_reserve(static_cast<std::size_t>(count));
    if (!items) {
        PyErr_SetString(PyExc_MemoryError, "Python list is too large");
        return std::nullopt;
    }
    bool exact_bytes = true;
    for (Py_ssize_t start = 0; start < count;) {
        runtime::CriticalSection section(list);
        const Py_ssize_t end = std::min({count, PyList_GET_SIZE(list), start + ITEMS_PER_SECTION});
        if (start >= end) break;  // shortened meanwhile: its remaining items are gone
        for (Py_ssize_t i = start; i < end; ++i) {
            PyObject* item = PyList_GET_ITEM(list, i);
            if constexpr (TRACK_EXACT_BYTES) exact_bytes &= PyBytes_CheckExact(item);
            items->emplace_back(runtime::OwnedRef::borrow(item));
        }
        start = end;
    }
    all_exact_bytes = exact_bytes;
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
    return read_items<false>(list, unused);
}

std::optional<ListItems> list_items_and_all(PyObject* list) {
    bool all_exact_bytes;
    auto items = read_items<true>(list, all_exact_bytes);
    if (!items) return std::nullopt;
    return ListItems{std::move(*items), all_exact_bytes};
}

void raise_batch_too_large(BatchFamily family) {
    PyErr_SetString(PyExc_MemoryError,
                    family == BatchFamily::Xxh3 ? "XXH3 batch is too large" : "Base64 batch is too large");
}

}  // namespace vantorq::bindings::objects
