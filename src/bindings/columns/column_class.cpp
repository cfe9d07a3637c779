#include "bindings/python.hpp"

#include "bindings/columns/column_class.hpp"

#include <bit>
#include <memory>
#include <new>
#include <utility>

#include "bindings/arguments.hpp"
#include "bindings/native_docstrings.hpp"
#include "bindings/runtime.hpp"

namespace vantorq::bindings::columns {
namespace {

namespace core = vantorq::columns;
namespace docs = native_docstrings;
using core::arrow::ArrowArray;
using core::arrow::ArrowArrayStream;
using core::arrow::ArrowSchema;

struct Object {
    PyObject_HEAD
    core::SharedColumn column;
    // The buffer protocol's shape and strides point here, which lives as long as any view.
    Py_ssize_t shape[2];
    Py_ssize_t strides[2];
};

Object* object(PyObject* self) { return reinterpret_cast<Object*>(self); }

// A structure on the heap until a capsule owns it; released and freed once,
// by whichever of the two holds it last.
template <class Struct>
struct ReleasingDelete {
    void operator()(Struct* structure) const noexcept {
        if (structure->release != nullptr) structure->release(structure);
        delete structure;
    }
};

template <class Struct>
void destroy_capsule(PyObject* capsule) noexcept {
    auto* structure = static_cast<Struct*>(PyCapsule_GetPointer(capsule, PyCapsule_GetName(capsule)));
    ReleasingDelete<Struct>{}(structure);  // a consumer that moved it out left it marked released
}

template <class Struct, class Fill>
PyObject* capsule(const char* name, Fill&& fill) {
    std::unique_ptr<Struct, ReleasingDelete<Struct>> structure(new Struct{});
    fill(structure.get());
    PyObject* capsule = PyCapsule_New(structure.get(), name, &destroy_capsule<Struct>);
    if (capsule != nullptr) structure.release();
    return capsule;
}

// The interface lets a consumer ask for another type; this column has one,
// which it gives whatever was asked (the consumer casts if it must).
constexpr arguments::Signature<1> REQUESTED = {"__arrow_c_array__", {"requested_schema=None"}, 1,
                                               arguments::Wording::Method};
constexpr arguments::Signature<1> REQUESTED_STREAM = {"__arrow_c_stream__", {"requested_schema=None"}, 1,
                                                      arguments::Wording::Method};

PyObject* schema_capsule(const core::SharedColumn& column) {
    return capsule<ArrowSchema>("arrow_schema", [&](ArrowSchema* out) { core::export_schema(*column, out); });
}

PyObject* arrow_c_schema(PyObject* self, PyObject*) { return schema_capsule(object(self)->column); }

PyObject* arrow_c_array(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    if (!arguments::parse_raw_arguments(REQUESTED, args, nargs, kwnames)) return nullptr;
    const auto& column = object(self)->column;
    runtime::OwnedRef schema(schema_capsule(column));
    if (!schema) return nullptr;
    runtime::OwnedRef array(
        capsule<ArrowArray>("arrow_array", [&](ArrowArray* out) { core::export_array(column, out); }));
    if (!array) return nullptr;
    return PyTuple_Pack(2, schema.get(), array.get());
}

PyObject* arrow_c_stream(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
    if (!arguments::parse_raw_arguments(REQUESTED_STREAM, args, nargs, kwnames)) return nullptr;
    const auto& column = object(self)->column;
    return capsule<ArrowArrayStream>("arrow_array_stream",
                                     [&](ArrowArrayStream* out) { core::export_stream(column, out); });
}

PyObject* null_count(PyObject* self, void*) { return PyLong_FromSize_t(object(self)->column->null_count); }

Py_ssize_t length(PyObject* self) { return static_cast<Py_ssize_t>(object(self)->column->length); }

// The values are little-endian: in the native formats where that is native
// (which memoryview.tolist and cast take), else marked as such.
constexpr bool LITTLE_ENDIAN_HOST = std::endian::native == std::endian::little;

// The struct format of an integer column's values, by its Arrow format: "L"
// uint64, "l" int64 (signed=True), "I" uint32, "i" int32.
const char* integer_format(const char* arrow_format) {
    switch (arrow_format[0]) {
        case 'L':
            return LITTLE_ENDIAN_HOST ? "Q" : "<Q";
        case 'l':
            return LITTLE_ENDIAN_HOST ? "q" : "<q";
        case 'I':
            return LITTLE_ENDIAN_HOST ? "I" : "<I";
        default:
            return LITTLE_ENDIAN_HOST ? "i" : "<i";
    }
}

// Fixed-width values only: uint64 and uint32 as one dimension, 16-byte
// digests as rows of 16 bytes. Null rows read as zero.
int get_buffer(PyObject* self, Py_buffer* view, int flags) {
    Object* column_object = object(self);
    const core::ColumnData& column = *column_object->column;
    if (column.value_width == 0) {
        PyErr_SetString(PyExc_TypeError,
                        "a string or binary column has no single buffer: read it through pyarrow.array() or "
                        "polars.Series()");
        view->obj = nullptr;
        return -1;
    }
    if ((flags & PyBUF_WRITABLE) == PyBUF_WRITABLE) {
        PyErr_SetString(PyExc_BufferError, "a column is read-only");
        view->obj = nullptr;
        return -1;
    }
    const bool rows_of_bytes = column.value_width == 16;
    view->buf = column.values.get();
    view->obj = Py_NewRef(self);
    view->len = static_cast<Py_ssize_t>(column.length * column.value_width);
    view->readonly = 1;
    view->itemsize = rows_of_bytes ? 1 : static_cast<Py_ssize_t>(column.value_width);
    view->format = nullptr;
    if ((flags & PyBUF_FORMAT) == PyBUF_FORMAT)
        view->format = const_cast<char*>(rows_of_bytes ? "B" : integer_format(column.format));
    view->ndim = rows_of_bytes ? 2 : 1;
    view->shape = nullptr;
    view->strides = nullptr;
    if ((flags & PyBUF_ND) == PyBUF_ND) {
        view->shape = column_object->shape;
    } else if (rows_of_bytes) {
        PyErr_SetString(PyExc_BufferError, "rows of 16 bytes need a shape");
        Py_CLEAR(view->obj);
        return -1;
    }
    if ((flags & PyBUF_STRIDES) == PyBUF_STRIDES) view->strides = column_object->strides;
    view->suboffsets = nullptr;
    view->internal = nullptr;
    return 0;
}

void dealloc(PyObject* self) {
    PyTypeObject* type = Py_TYPE(self);
    std::destroy_at(&object(self)->column);  // frees the buffers unless an exported structure still holds them
    type->tp_free(self);
    Py_DECREF(type);
}

template <PyObject* (*METHOD)(PyObject*, PyObject*)>
PyObject* guarded_noargs(PyObject* self, PyObject* argument) noexcept {
    return runtime::guarded([&] { return METHOD(self, argument); });
}
template <PyObject* (*METHOD)(PyObject*, PyObject* const*, Py_ssize_t, PyObject*)>
PyObject* guarded_fastcall(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) noexcept {
    return runtime::guarded([&] { return METHOD(self, args, nargs, kwnames); });
}
PyObject* guarded_null_count(PyObject* self, void* closure) noexcept {
    return runtime::guarded([&] { return null_count(self, closure); });
}

PyCFunction fastcall(PyObject* (*method)(PyObject*, PyObject* const*, Py_ssize_t, PyObject*) noexcept) {
    return reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(method));
}

PyMethodDef METHODS[] = {
    {"__arrow_c_schema__", &guarded_noargs<arrow_c_schema>, METH_NOARGS, docs::COLUMN_ARROW_C_SCHEMA_DOC},
    {"__arrow_c_array__", fastcall(&guarded_fastcall<arrow_c_array>), METH_FASTCALL | METH_KEYWORDS,
     docs::COLUMN_ARROW_C_ARRAY_DOC},
    {"__arrow_c_stream__", fastcall(&guarded_fastcall<arrow_c_stream>), METH_FASTCALL | METH_KEYWORDS,
     docs::COLUMN_ARROW_C_STREAM_DOC},
    {nullptr, nullptr, 0, nullptr},
};

PyGetSetDef GETTERS[] = {
    {"null_count", &guarded_null_count, nullptr, docs::COLUMN_NULL_COUNT_DOC, nullptr},
    {nullptr, nullptr, nullptr, nullptr, nullptr},
};

PySlot data_slot(std::uint16_t id, const void* data) {
    return {.sl_id = id, .sl_flags = PySlot_STATIC, .sl_reserved = 0, .sl_ptr = const_cast<void*>(data)};
}
template <typename Function>
PySlot function_slot(std::uint16_t id, Function function) {
    return {.sl_id = id, .sl_flags = 0, .sl_reserved = 0, .sl_func = reinterpret_cast<_Py_funcptr_t>(function)};
}

// Marks the column classes this file makes, one per module object (interpreters share no objects).
constexpr char TOKEN = 0;

PyObject* create_type(PyObject* module) {
    PySlot slots[] = {
        data_slot(Py_tp_name, "vantorq.columns.Column"),
        {.sl_id = Py_tp_basicsize, .sl_flags = 0, .sl_reserved = 0, .sl_size = sizeof(Object)},
        // Made only by the column functions; immutable.
        {.sl_id = Py_tp_flags,
         .sl_flags = 0,
         .sl_reserved = 0,
         .sl_uint64 = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_IMMUTABLETYPE | Py_TPFLAGS_DISALLOW_INSTANTIATION},
        {.sl_id = Py_tp_module, .sl_flags = 0, .sl_reserved = 0, .sl_ptr = module},
        data_slot(Py_tp_token, &TOKEN),
        data_slot(Py_tp_doc, docs::COLUMN_DOC),
        function_slot(Py_tp_dealloc, &dealloc),
        data_slot(Py_tp_methods, METHODS),
        data_slot(Py_tp_getset, GETTERS),
        function_slot(Py_sq_length, &length),
        function_slot(Py_bf_getbuffer, &get_buffer),
        {.sl_id = 0, .sl_flags = 0, .sl_reserved = 0, .sl_ptr = nullptr},
    };
    return PyType_FromSlots(slots);
}

// The column class of this interpreter's vantorq._native (a new reference),
// or null with an error set. Module functions are not handed their module,
// so the class is found where the module keeps it (in sys.modules).
PyObject* column_type() {
    runtime::OwnedRef type(PyImport_ImportModuleAttrString("vantorq._native", "Column"));
    if (!type) return nullptr;
    if (!PyType_Check(type.get()) || c_api_compat::type_token(reinterpret_cast<PyTypeObject*>(type.get())) != &TOKEN) {
        PyErr_SetString(PyExc_TypeError, "vantorq._native.Column is no longer the module's column class");
        return nullptr;
    }
    return type.release();
}

constexpr families::PublicClass CLASSES[] = {{"Column", &create_type}};

}  // namespace

PyObject* wrap(core::SharedColumn column) {
    runtime::OwnedRef type_object(column_type());
    if (!type_object) return nullptr;
    auto* type = reinterpret_cast<PyTypeObject*>(type_object.get());
    PyObject* self = type->tp_alloc(type, 0);
    if (self == nullptr) return nullptr;
    Object* created = object(self);
    const bool rows_of_bytes = column->value_width == 16;
    created->shape[0] = static_cast<Py_ssize_t>(column->length);
    created->shape[1] = 16;
    created->strides[0] = static_cast<Py_ssize_t>(column->value_width);
    created->strides[1] = 1;
    if (!rows_of_bytes) created->shape[1] = created->strides[1] = 0;
    new (&created->column) core::SharedColumn(std::move(column));
    return self;
}

const std::span<const families::PublicClass> COLUMN_CLASSES = CLASSES;

}  // namespace vantorq::bindings::columns
