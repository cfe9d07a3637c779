#pragma once
// A column argument: any object that exports the Arrow PyCapsule interface,
// its structures taken out of the capsules and owned here (released once,
// when the InputColumn is dropped), its type checked, and its chunks read.

#include "bindings/python.hpp"

#include <optional>
#include <vector>

#include "columns/arrow_abi.hpp"
#include "columns/values.hpp"

namespace vantorq::bindings::columns {

namespace core = vantorq::columns;

// An Arrow structure's owner whose release callback runs with any pending
// exception set aside: a producer's callback may run Python code (a ctypes
// producer does), which must not start with an error set.
template <class Owner>
class Held {
public:
    Held() = default;
    explicit Held(Owner owner) : owner_(std::move(owner)) {}
    Held(Held&&) noexcept = default;
    Held& operator=(Held&&) = delete;
    ~Held() {
        if (owner_.released()) return;
        PyObject* pending = PyErr_GetRaisedException();
        owner_ = Owner();
        if (pending != nullptr) PyErr_SetRaisedException(pending);
    }

    Owner& operator*() { return owner_; }
    Owner* operator->() { return &owner_; }

private:
    Owner owner_;
};

struct InputColumn {
    Held<core::arrow::OwnedSchema> schema;
    std::vector<Held<core::arrow::OwnedArray>> arrays;  // the chunks' structures, which the chunks read
    core::ValueType type;
    std::vector<core::Chunk> chunks;
    std::size_t rows = 0;
};

// Reads `column` through __arrow_c_array__, or __arrow_c_stream__ when it
// has no single array. Nothing with the error set: TypeError for an object
// without the interface, a capsule of another name or an unsupported type.
std::optional<InputColumn> read_column(PyObject* column);

}  // namespace vantorq::bindings::columns
