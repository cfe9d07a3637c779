#include "bindings/python.hpp"

#include "bindings/columns/input.hpp"

#include <string_view>
#include <utility>

#include "bindings/runtime.hpp"

namespace vantorq::bindings::columns {
namespace {

using core::arrow::ArrowArray;
using core::arrow::ArrowArrayStream;
using core::arrow::ArrowSchema;
using core::arrow::OwnedArray;
using core::arrow::OwnedSchema;
using core::arrow::OwnedStream;
using runtime::OwnedRef;

constexpr const char ACCEPTED_TYPES[] =
    "binary, large_binary, string, large_string, binary_view, string_view or fixed_size_binary";

// The names of the types a caller most likely hands over by mistake.
const char* type_name(std::string_view format) {
    static constexpr std::pair<std::string_view, const char*> NAMES[] = {
        {"n", "null"},      {"b", "bool"},      {"c", "int8"},     {"C", "uint8"},     {"s", "int16"},
        {"S", "uint16"},    {"i", "int32"},     {"I", "uint32"},   {"l", "int64"},     {"L", "uint64"},
        {"e", "float16"},   {"f", "float32"},   {"g", "float64"},  {"tdD", "date32"},  {"+l", "list"},
        {"+L", "large_list"}, {"+s", "struct"}, {"+vl", "list_view"},
    };
    for (const auto& [format_string, name] : NAMES)
        if (format == format_string) return name;
    return nullptr;
}

bool check_type(const ArrowSchema& schema, core::ValueType& type) {
    const char* format = schema.format != nullptr ? schema.format : "";
    const auto parsed = core::parse_format(format);
    if (schema.dictionary != nullptr) {
        PyErr_Format(PyExc_TypeError, "unsupported column type: dictionary-encoded values; accepted: %s",
                     ACCEPTED_TYPES);
        return false;
    }
    if (!parsed) {
        const char* name = type_name(format);
        PyErr_Format(PyExc_TypeError, "unsupported column type '%s'%s%s%s; accepted: %s", format,
                     name ? " (" : "", name ? name : "", name ? ")" : "", ACCEPTED_TYPES);
        return false;
    }
    type = *parsed;
    return true;
}

// The name an error gives the type of `object`: module and qualified name, as
// "%T" formats it from 3.13 (spelled out here for older interpreters). Used
// with "%V", which falls back on the type's tp_name if it cannot be read.
OwnedRef type_name(PyObject* object) {
    OwnedRef name(PyType_GetFullyQualifiedName(Py_TYPE(object)));
    if (!name) PyErr_Clear();
    return name;
}

// The pointer a capsule named `name` holds; TypeError naming what `method` returned otherwise.
void* capsule_pointer(PyObject* capsule, const char* name, PyObject* column, const char* method) {
    if (PyCapsule_CheckExact(capsule)) {
        const char* given = PyCapsule_GetName(capsule);
        if (given != nullptr && std::string_view(given) == name) return PyCapsule_GetPointer(capsule, name);
        PyErr_Clear();
        PyErr_Format(PyExc_TypeError, "%V.%s() returned a PyCapsule named '%s' where one named '%s' belongs",
                     type_name(column).get(), Py_TYPE(column)->tp_name, method, given ? given : "", name);
        return nullptr;
    }
    PyErr_Format(PyExc_TypeError, "%V.%s() returned %V where a PyCapsule named '%s' belongs", type_name(column).get(),
                 Py_TYPE(column)->tp_name, method, type_name(capsule).get(), Py_TYPE(capsule)->tp_name, name);
    return nullptr;
}

bool add_chunk(InputColumn& input, Held<OwnedArray> array) {
    const char* problem = nullptr;
    auto chunk = core::Chunk::of(input.type, *(*array).get(), problem);
    if (!chunk) {
        PyErr_Format(PyExc_ValueError, "the column is %s", problem);
        return false;
    }
    input.rows += chunk->length();
    input.chunks.push_back(*chunk);
    input.arrays.push_back(std::move(array));
    return true;
}

std::optional<InputColumn> read_array(PyObject* column, PyObject* method) {
    OwnedRef pair(PyObject_CallNoArgs(method));
    if (!pair) return std::nullopt;
    if (!PyTuple_Check(pair.get()) || PyTuple_GET_SIZE(pair.get()) != 2) {
        PyErr_Format(PyExc_TypeError,
                     "%V.__arrow_c_array__() returned %V where a tuple of PyCapsules named 'arrow_schema' and "
                     "'arrow_array' belongs",
                     type_name(column).get(), Py_TYPE(column)->tp_name, type_name(pair.get()).get(),
                     Py_TYPE(pair.get())->tp_name);
        return std::nullopt;
    }
    void* schema = capsule_pointer(PyTuple_GET_ITEM(pair.get(), 0), "arrow_schema", column, "__arrow_c_array__");
    if (schema == nullptr) return std::nullopt;
    void* array = capsule_pointer(PyTuple_GET_ITEM(pair.get(), 1), "arrow_array", column, "__arrow_c_array__");
    if (array == nullptr) return std::nullopt;
    InputColumn input;
    *input.schema = OwnedSchema::take(static_cast<ArrowSchema*>(schema));
    Held<OwnedArray> owned_array(OwnedArray::take(static_cast<ArrowArray*>(array)));
    if (!check_type(*input.schema->get(), input.type) || !add_chunk(input, std::move(owned_array)))
        return std::nullopt;
    return input;
}

bool stream_failed(ArrowArrayStream& stream, int code, const char* step) {
    if (code == 0) return false;
    const char* message = stream.get_last_error != nullptr ? stream.get_last_error(&stream) : nullptr;
    PyErr_Format(PyExc_OSError, "the column's Arrow stream failed to give its %s (error %d)%s%s", step, code,
                 message ? ": " : "", message ? message : "");
    return true;
}

std::optional<InputColumn> read_stream(PyObject* column, PyObject* method) {
    OwnedRef capsule(PyObject_CallNoArgs(method));
    if (!capsule) return std::nullopt;
    void* pointer = capsule_pointer(capsule.get(), "arrow_array_stream", column, "__arrow_c_stream__");
    if (pointer == nullptr) return std::nullopt;
    Held<OwnedStream> held(OwnedStream::take(static_cast<ArrowArrayStream*>(pointer)));
    ArrowArrayStream* stream = (*held).get();
    InputColumn input;
    if (stream_failed(*stream, stream->get_schema(stream, input.schema->fill()), "type") ||
        !check_type(*input.schema->get(), input.type))
        return std::nullopt;
    for (;;) {
        Held<OwnedArray> array;
        if (stream_failed(*stream, stream->get_next(stream, array->fill()), "next chunk")) return std::nullopt;
        if (array->released()) break;  // the end of the stream
        if (!add_chunk(input, std::move(array))) return std::nullopt;
    }
    return input;
}

}  // namespace

std::optional<InputColumn> read_column(PyObject* column) {
    PyObject* found = nullptr;
    if (PyObject_GetOptionalAttrString(column, "__arrow_c_array__", &found) < 0) return std::nullopt;
    OwnedRef method(found);
    if (method) return read_array(column, method.get());
    if (PyObject_GetOptionalAttrString(column, "__arrow_c_stream__", &found) < 0) return std::nullopt;
    method = OwnedRef(found);
    if (method) return read_stream(column, method.get());
    PyErr_Format(PyExc_TypeError,
                 "column must be an Arrow array or chunked array (an object with __arrow_c_array__ or "
                 "__arrow_c_stream__, such as a pyarrow.Array, pyarrow.ChunkedArray or polars.Series), not %V",
                 type_name(column).get(), Py_TYPE(column)->tp_name);
    return std::nullopt;
}

}  // namespace vantorq::bindings::columns
