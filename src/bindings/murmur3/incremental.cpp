#include "bindings/python.hpp"

#include "bindings/murmur3/incremental.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <type_traits>
#include <utility>

#include "backend/borrow_counter.hpp"
#include "bindings/arguments.hpp"
#include "bindings/buffer.hpp"
#include "bindings/docstrings.hpp"
#include "bindings/murmur3/digest.hpp"
#include "bindings/runtime.hpp"
#include "murmur3/incremental.hpp"

namespace vantorq::bindings::murmur3::incremental {

using vantorq::murmur3::incremental::Murmur3X64Hasher128;
using vantorq::murmur3::incremental::Murmur3X86Hasher128;
using vantorq::murmur3::incremental::Murmur3X86Hasher32;

namespace {

// A hold on a hasher: shared by readers, or exclusive for an update. When
// refused, RuntimeError is set and the guard is false; it never blocks.
template <bool Exclusive>
class Borrow {
public:
    explicit Borrow(backend::BorrowCounter& counter)
        : counter_((Exclusive ? counter.try_begin_update() : counter.try_begin_read()) ? &counter : nullptr) {
        if (counter_ == nullptr)
            PyErr_SetString(PyExc_RuntimeError, Exclusive ? "Already borrowed" : "Already mutably borrowed");
    }
    ~Borrow() {
        if (counter_ == nullptr) return;
        if constexpr (Exclusive)
            counter_->end_update();
        else
            counter_->end_read();
    }
    Borrow(const Borrow&) = delete;
    Borrow& operator=(const Borrow&) = delete;
    explicit operator bool() const { return counter_ != nullptr; }

private:
    backend::BorrowCounter* counter_;
};

using ReadBorrow = Borrow<false>;
using UpdateBorrow = Borrow<true>;

template <class Hasher>
struct PyHasher {
    PyObject_HEAD
    backend::BorrowCounter borrow;
    Hasher hasher;

    // Freed by the interpreter's allocator without running destructors.
    static_assert(std::is_trivially_destructible_v<Hasher> && std::is_trivially_destructible_v<backend::BorrowCounter>);
};

using PyMurmur3X86Hasher32 = PyHasher<Murmur3X86Hasher32>;
using PyMurmur3X86Hasher128 = PyHasher<Murmur3X86Hasher128>;
using PyMurmur3X64Hasher128 = PyHasher<Murmur3X64Hasher128>;

// Feeds an acquired chunk: in place (a bytearray inside its critical
// section), with the thread detached when the bytes are immutable and long.
template <class Hasher>
void feed(Hasher& hasher, const buffer::BytesLike& input) {
    input.with_bytes([&](const unsigned char* data, std::size_t length) {
        const bool detach = input.is_immutable() && length >= runtime::MURMUR3_DETACH_BYTES;
        runtime::run_maybe_detached(detach, [&] { hasher.update(data, length); });
    });
}

// ---- The classes ----------------------------------------------------------

// The interpreter reads a text signature from the start of a docstring: the
// signature, a "--" line and a blank line, then the body (from the typed stubs).
template <std::size_t SignatureSize, std::size_t BodySize>
constexpr auto with_text_signature(const char (&signature)[SignatureSize], const char (&body)[BodySize]) {
    constexpr char SEPARATOR[] = "\n--\n\n";
    std::array<char, SignatureSize - 1 + sizeof(SEPARATOR) - 1 + BodySize> text{};
    auto end = std::copy_n(signature, SignatureSize - 1, text.begin());
    end = std::copy_n(SEPARATOR, sizeof(SEPARATOR) - 1, end);
    std::copy_n(body, BodySize, end);
    return text;
}

// Every class shares its methods' docstrings.
constexpr auto UPDATE_DOC = with_text_signature("update($self, data)", docstrings::HASHER_UPDATE_DOC);
constexpr auto DIGEST_DOC = with_text_signature("digest($self)", docstrings::HASHER_DIGEST_DOC);
constexpr auto HEXDIGEST_DOC = with_text_signature("hexdigest($self)", docstrings::HASHER_HEXDIGEST_DOC);
constexpr auto COPY_DOC = with_text_signature("copy($self)", docstrings::HASHER_COPY_DOC);

// The names of a class: its own, with its module, and of its methods as
// argument errors show them; and the text signature of its constructor.
#define HASHER_NAMES(name)                                                 \
    static constexpr const char* NAME = name;                              \
    static constexpr const char* QUALIFIED_NAME = "vantorq.murmur3." name; \
    static constexpr const char* NEW_NAME = name ".__new__";               \
    static constexpr const char* UPDATE_NAME = name ".update";             \
    static constexpr char TEXT_SIGNATURE[] = name "(data=None, seed=0)";

// One class: its hasher, names and docstring body.
template <class Hasher>
struct ClassTraits;

template <>
struct ClassTraits<Murmur3X86Hasher32> {
    HASHER_NAMES("murmur3_x86_32")
    static constexpr const auto& DOC_BODY = docstrings::MURMUR3_X86_32_DOC;
};

template <>
struct ClassTraits<Murmur3X86Hasher128> {
    HASHER_NAMES("murmur3_x86_128")
    static constexpr const auto& DOC_BODY = docstrings::MURMUR3_X86_128_DOC;
};

template <>
struct ClassTraits<Murmur3X64Hasher128> {
    HASHER_NAMES("murmur3_x64_128")
    static constexpr const auto& DOC_BODY = docstrings::MURMUR3_X64_128_DOC;
};

#undef HASHER_NAMES

template <class Hasher>
struct HasherClass {
    using Traits = ClassTraits<Hasher>;
    using Object = PyHasher<Hasher>;

    static constexpr auto DOC = with_text_signature(Traits::TEXT_SIGNATURE, Traits::DOC_BODY);

    static constexpr arguments::Signature<2> CONSTRUCTOR = {
        Traits::NEW_NAME, {"data=None", "seed=0"}, 2, arguments::Wording::Method};
    static constexpr arguments::Signature<1> UPDATE = {Traits::UPDATE_NAME, {"data"}, 1, arguments::Wording::Method};

    static Object* object(PyObject* self) { return reinterpret_cast<Object*>(self); }

    // A new object of `type` with the given state (tracked by the collector), or null with an error set.
    static PyObject* create(PyTypeObject* type, const Hasher& hasher) {
        PyObject* self = type->tp_alloc(type, 0);
        if (self == nullptr) return nullptr;
        new (&object(self)->borrow) backend::BorrowCounter();
        new (&object(self)->hasher) Hasher(hasher);
        return self;
    }

    static PyObject* construct(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
        const auto parsed = arguments::parse_tuple_and_dict(CONSTRUCTOR, args, kwargs);
        if (!parsed) return nullptr;
        return construct_from(type, *parsed);
    }

    // A call of the class itself, without the argument tuple that __new__
    // takes. The slot is not inherited: a subclass is called through
    // __new__ (and its own __init__) as usual.
    static PyObject* construct_fastcall(PyObject* type, PyObject* const* args, std::size_t nargsf,
                                        PyObject* kwnames) {
        const auto parsed = arguments::parse_raw_arguments(CONSTRUCTOR, args, PyVectorcall_NARGS(nargsf), kwnames);
        if (!parsed) return nullptr;
        return construct_from(reinterpret_cast<PyTypeObject*>(type), *parsed);
    }

    static PyObject* construct_from(PyTypeObject* type, const arguments::Arguments<2>& parsed) {
        std::uint32_t seed;
        if (!arguments::read_index_seed_u32(parsed[1], seed)) return nullptr;
        PyObject* data = parsed[0];
        Hasher hasher(seed);
        if (data != nullptr && data != Py_None) {
            const auto input = buffer::any_bytes_like(data, "data");
            if (!input) return nullptr;
            feed(hasher, *input);
        }
        return create(type, hasher);
    }

    static PyObject* update(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
        const auto parsed = arguments::parse_raw_arguments(UPDATE, args, nargs, kwnames);
        if (!parsed) return nullptr;
        const auto input = buffer::any_bytes_like((*parsed)[0], "data");
        if (!input) return nullptr;
        UpdateBorrow borrow(object(self)->borrow);
        if (!borrow) return nullptr;
        feed(object(self)->hasher, *input);
        Py_RETURN_NONE;
    }

    // Runs `read(hasher)` under a reader's borrow.
    template <class Read>
    static PyObject* read(PyObject* self, Read&& read) {
        ReadBorrow borrow(object(self)->borrow);
        if (!borrow) return nullptr;
        return read(object(self)->hasher);
    }

    static PyObject* digest(PyObject* self, PyObject*) {
        return read(self, [](const Hasher& h) { return digest::bytes_of(h.finish()); });
    }

    static PyObject* hexdigest(PyObject* self, PyObject*) {
        return read(self, [](const Hasher& h) { return digest::hex_of(h.finish()); });
    }

    // Always of the registered class, even when called on a subclass's object.
    static PyObject* copy(PyObject* self, PyObject*) {
        return read(self, [](const Hasher& h) -> PyObject* {
            PyObject* type = HasherClass::type();
            return type ? create(reinterpret_cast<PyTypeObject*>(type), h) : nullptr;
        });
    }

    static PyObject* digest_size(PyObject* self, void*) {
        using State = decltype(std::declval<const Hasher&>().finish());
        return read(self, [](const Hasher&) { return PyLong_FromSize_t(vantorq::murmur3::digest::SIZE<State>); });
    }

    static PyObject* block_size(PyObject* self, void*) {
        return read(self, [](const Hasher&) { return PyLong_FromSize_t(Hasher::BLOCK_SIZE); });
    }

    static PyObject* name(PyObject* self, void*) {
        return read(self, [](const Hasher&) { return PyUnicode_FromString(Traits::NAME); });
    }

    static void dealloc(PyObject* self) {
        PyObject_GC_UnTrack(self);
        PyTypeObject* type = Py_TYPE(self);
        type->tp_free(self);
        Py_DECREF(type);
    }

    // The state holds no object references; only the (heap) type is visited.
    static int traverse(PyObject* self, visitproc visit, void* arg) {
        Py_VISIT(Py_TYPE(self));
        return 0;
    }

    static int clear(PyObject*) { return 0; }

    // No C++ exception may reach the interpreter: each entry goes through runtime::guarded.
    static PyObject* guarded_new(PyTypeObject* type, PyObject* args, PyObject* kwargs) noexcept {
        return runtime::guarded([&] { return construct(type, args, kwargs); });
    }
    static PyObject* guarded_vectorcall(PyObject* type, PyObject* const* args, std::size_t nargsf,
                                        PyObject* kwnames) noexcept {
        return runtime::guarded([&] { return construct_fastcall(type, args, nargsf, kwnames); });
    }
    static PyObject* guarded_update(PyObject* self, PyObject* const* args, Py_ssize_t nargs,
                                    PyObject* kwnames) noexcept {
        return runtime::guarded([&] { return update(self, args, nargs, kwnames); });
    }
    template <PyObject* (*Method)(PyObject*, PyObject*)>
    static PyObject* guarded_method(PyObject* self, PyObject* unused) noexcept {
        return runtime::guarded([&] { return Method(self, unused); });
    }
    template <PyObject* (*Getter)(PyObject*, void*)>
    static PyObject* guarded_getter(PyObject* self, void* closure) noexcept {
        return runtime::guarded([&] { return Getter(self, closure); });
    }

    static inline PyMethodDef METHODS[] = {
        {"update", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(&guarded_update)),
         METH_FASTCALL | METH_KEYWORDS, UPDATE_DOC.data()},
        {"digest", &guarded_method<digest>, METH_NOARGS, DIGEST_DOC.data()},
        {"hexdigest", &guarded_method<hexdigest>, METH_NOARGS, HEXDIGEST_DOC.data()},
        {"copy", &guarded_method<copy>, METH_NOARGS, COPY_DOC.data()},
        {nullptr, nullptr, 0, nullptr},
    };

    static inline PyGetSetDef GETTERS[] = {
        {"digest_size", &guarded_getter<digest_size>, nullptr, docstrings::HASHER_DIGEST_SIZE_DOC, nullptr},
        {"block_size", &guarded_getter<block_size>, nullptr, docstrings::HASHER_BLOCK_SIZE_DOC, nullptr},
        {"name", &guarded_getter<name>, nullptr, docstrings::HASHER_NAME_DOC, nullptr},
        {nullptr, nullptr, nullptr, nullptr, nullptr},
    };

    static PySlot data_slot(std::uint16_t id, const void* data) {
        return {.sl_id = id, .sl_flags = PySlot_STATIC, .sl_reserved = 0, .sl_ptr = const_cast<void*>(data)};
    }
    template <typename Function>
    static PySlot function_slot(std::uint16_t id, Function function) {
        return {.sl_id = id, .sl_flags = 0, .sl_reserved = 0, .sl_func = reinterpret_cast<_Py_funcptr_t>(function)};
    }

    static PyObject* create_type() {
        PySlot slots[] = {
            data_slot(Py_tp_name, Traits::QUALIFIED_NAME),
            {.sl_id = Py_tp_basicsize, .sl_flags = 0, .sl_reserved = 0, .sl_size = sizeof(Object)},
            {.sl_id = Py_tp_flags,
             .sl_flags = 0,
             .sl_reserved = 0,
             // Immutable: one class object serves every module object of the process.
             .sl_uint64 = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE | Py_TPFLAGS_HAVE_GC | Py_TPFLAGS_IMMUTABLETYPE},
            data_slot(Py_tp_doc, DOC.data()),
            function_slot(Py_tp_new, &guarded_new),
            function_slot(Py_tp_vectorcall, &guarded_vectorcall),
            function_slot(Py_tp_dealloc, &dealloc),
            function_slot(Py_tp_traverse, &traverse),
            function_slot(Py_tp_clear, &clear),
            data_slot(Py_tp_methods, METHODS),
            data_slot(Py_tp_getset, GETTERS),
            {.sl_id = 0, .sl_flags = 0, .sl_reserved = 0, .sl_ptr = nullptr},
        };
        return PyType_FromSlots(slots);
    }

    static PyObject* type() {
        static runtime::ProcessWideObject TYPE;
        return TYPE.get_or_create(create_type);
    }
};

}  // namespace

PyObject* murmur3_x86_32_type() { return HasherClass<Murmur3X86Hasher32>::type(); }
PyObject* murmur3_x86_128_type() { return HasherClass<Murmur3X86Hasher128>::type(); }
PyObject* murmur3_x64_128_type() { return HasherClass<Murmur3X64Hasher128>::type(); }

}  // namespace vantorq::bindings::murmur3::incremental
