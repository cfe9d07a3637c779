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

struct InputColumn {
    core::arrow::OwnedSchema schema;
    std::vector<core::arrow::OwnedArray> arrays;  // the chunks' structures, which the chunks read
    core::ValueType type;
    std::vector<core::Chunk> chunks;
    std::size_t rows = 0;
};

// Reads `column` through __arrow_c_array__, or __arrow_c_stream__ when it
// has no single array. Nothing with the error set: TypeError for an object
// without the interface, a capsule of another name or an unsupported type.
std::optional<InputColumn> read_column(PyObject* column);

}  // namespace vantorq::bindings::columns
