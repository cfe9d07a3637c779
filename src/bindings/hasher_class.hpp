#pragma once
// The frame of every streaming hasher class: construction, update (detached
// for long immutable input, a bytearray read inside its lock), the digests,
// copy, and the class object itself. A class is described by its traits:
//
//   Hasher                      the core state (update, reset, to_bytes, from_bytes)
//   NAME, QUALIFIED_NAME        as the class shows them ("module.name")
//   TEXT_SIGNATURE, DOC_BODY    its constructor's signature and docstring body
//   CONSTRUCTOR                 the constructor's parameters (data, seed, ...)
//   with_initial_state(parsed, make)
//                               optional: calls make(key) with what the state is
//                               built from, when that is more than the seed
//   NONE_IS_NO_DATA             whether data=None means no data
//   DETACH_BYTES                immutable input from this length is hashed detached
//   DIGEST_SIZE                 bytes of digest()
//   read_seed, digest, hexdigest, intdigest
//   METHOD_DOCS                 the methods' docstrings
//   ALGORITHM, BLOCK_SIZE       optional: what `name` and `block_size` give when
//                               not the class name and the core's block size
//   EXTENDED                    also intdigest, reset and the serialised state
//                               (pickling, copy.copy), for the package's own classes
//   acquire(data)               optional: how data and update's argument are
//                               taken, when not as any bytes-like object named "data"
//   acquire_initial(data)       optional: how the constructor's data is taken,
//                               when not as update's argument
//   DATA_FIRST                  optional, true: the constructor takes data before
//                               the seed, so a call wrong in both fails on data
//   seed(hasher)                optional: a `seed` attribute
//   DIGESTSIZE_ALIAS            optional: `digestsize` beside `digest_size`
//   EXTRA_METHODS               optional: more read-only methods of the state
//                               (StateMethod entries), after the others
//   WAITS_FOR_OTHERS            optional: a hasher in use by another thread is
//                               waited for instead of refused
//   UNTRACKED                   optional: objects stay out of the garbage
//                               collector (their state holds no references)
//
// VANTORQ_HASHER_NAMES writes the names and the constructor's parameters.
//
// Thread contract: a hasher in use by another thread is refused with
// RuntimeError (or waited for, see WAITS_FOR_OTHERS); updates are exclusive,
// reads shared.

#include "bindings/python.hpp"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <new>
#include <thread>
#include <type_traits>
#include <utility>

#include "backend/borrow_counter.hpp"
#include "bindings/arguments.hpp"
#include "bindings/buffer.hpp"
#include "bindings/runtime.hpp"

// The names of a class (its own, with its module, and of its methods as
// argument errors show them), and its constructor's parameters: `data` as
// `data_parameter` shows it, then the seed, keyword-only unless `positional`.
#define VANTORQ_HASHER_NAMES(module, name, data_parameter, positional)                                   \
    static constexpr const char* NAME = name;                                                             \
    static constexpr const char* QUALIFIED_NAME = module "." name;                                        \
    static constexpr const char* UPDATE_NAME = name ".update";                                            \
    static constexpr char TEXT_SIGNATURE[] = name "(" data_parameter ", " positional "seed=0)";           \
    static constexpr arguments::Signature<2> CONSTRUCTOR = {                                              \
        name ".__new__", {data_parameter, "seed=0"}, sizeof(positional) == 1 ? 2u : 1u, arguments::Wording::Method};

// The `positional` argument of VANTORQ_HASHER_NAMES.
#define VANTORQ_SEED_POSITIONAL ""
#define VANTORQ_SEED_KEYWORD_ONLY "*, "

namespace vantorq::bindings::hasher_class {

// A hold on a hasher: shared by readers, or exclusive for an update. When
// refused, RuntimeError is set and the guard is false. A conflicting hold is
// refused at once, or, when `wait` is set, waited for: each try is made
// attached, between waits detached, so that the holder (which may need the
// interpreter to finish) is never blocked by the waiter.
//
// With the GIL, every borrow begins and ends while the calling thread holds
// it (an update that runs detached ends its borrow once attached again), so
// the interpreter's lock orders them all and the counter needs no locked
// instruction: three of those were a tenth of a short update and digest.
template <bool Exclusive>
class Borrow {
public:
    explicit Borrow(backend::BorrowCounter& counter, bool wait = false)
        : counter_(begin(counter) ? &counter : nullptr) {
        if (counter_ == nullptr && wait) {
            do {
                runtime::DetachedThread detached;
                std::this_thread::yield();
            } while (!begin(counter));
            counter_ = &counter;
        }
        if (counter_ == nullptr)
            PyErr_SetString(PyExc_RuntimeError, Exclusive ? "Already borrowed" : "Already mutably borrowed");
    }
    ~Borrow() {
        if (counter_ == nullptr) return;
#ifdef Py_GIL_DISABLED
        if constexpr (Exclusive)
            counter_->end_update();
        else
            counter_->end_read();
#else
        if constexpr (Exclusive)
            counter_->end_update_serialized();
        else
            counter_->end_read_serialized();
#endif
    }
    Borrow(const Borrow&) = delete;
    Borrow& operator=(const Borrow&) = delete;
    explicit operator bool() const { return counter_ != nullptr; }

private:
    static bool begin(backend::BorrowCounter& counter) {
#ifdef Py_GIL_DISABLED
        return Exclusive ? counter.try_begin_update() : counter.try_begin_read();
#else
        return Exclusive ? counter.try_begin_update_serialized() : counter.try_begin_read_serialized();
#endif
    }

    backend::BorrowCounter* counter_;
};

using ReadBorrow = Borrow<false>;
using UpdateBorrow = Borrow<true>;

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

// The methods' docstrings, shared by every class.
struct MethodDocs {
    const char* update;
    const char* digest;
    const char* hexdigest;
    const char* copy;
    const char* digest_size;
    const char* block_size;
    const char* name;
    // Only the extended classes' methods; null for the others.
    const char* intdigest = nullptr;
    const char* reset = nullptr;
    // Only the classes with these attributes.
    const char* seed = nullptr;
    const char* digestsize = nullptr;
};

// A read-only method of the state: `read(hasher)` under a reader's borrow.
template <class Hasher>
struct StateMethod {
    const char* name;
    PyObject* (*read)(const Hasher&);
    const char* doc;
};

template <class Traits>
struct HasherClass {
    using Hasher = typename Traits::Hasher;
    using Seed = typename Hasher::Seed;

    // The interpreter's allocator aligns objects to 16 bytes, and a state may
    // ask for more (XXH3's accumulators and buffer are 64-byte aligned for
    // its vector kernels): the state lives in room of its size plus its
    // alignment, at the first aligned address there.
    struct Object {
        PyObject_HEAD
        backend::BorrowCounter borrow;
        alignas(alignof(std::max_align_t)) unsigned char room[sizeof(Hasher) + alignof(Hasher) - 1];

        void* state_address() {
            const auto address = reinterpret_cast<std::uintptr_t>(room);
            return reinterpret_cast<void*>((address + alignof(Hasher) - 1) & ~std::uintptr_t{alignof(Hasher) - 1});
        }
        Hasher& hasher() { return *std::launder(static_cast<Hasher*>(state_address())); }
    };
    // Freed by the interpreter's allocator; the state's destructor runs first.
    static_assert(std::is_trivially_destructible_v<backend::BorrowCounter>);

    static constexpr auto DOC = with_text_signature(Traits::TEXT_SIGNATURE, Traits::DOC_BODY);

    static Object* object(PyObject* self) { return reinterpret_cast<Object*>(self); }

    static constexpr bool WAITS = requires { Traits::WAITS_FOR_OTHERS; };
    // Where threads take turns anyway, a reader holds the state alone: in a
    // free-threaded build one locked instruction (the acquiring exchange; the
    // release is a store) instead of two, 7 ns of a 75 ns digest on Sapphire
    // Rapids.
    using ReadHold = std::conditional_t<WAITS, UpdateBorrow, ReadBorrow>;
    static constexpr bool TRACKED = !requires { Traits::UNTRACKED; };

    static buffer::Acquired acquire(PyObject* data) {
        if constexpr (requires { Traits::acquire(data); })
            return Traits::acquire(data);
        else
            return buffer::any_bytes_like(data, "data");
    }

    static buffer::Acquired acquire_initial(PyObject* data) {
        if constexpr (requires { Traits::acquire_initial(data); })
            return Traits::acquire_initial(data);
        else
            return acquire(data);
    }

    // Feeds exact bytes, immutable, in place.
    static void feed_bytes(Hasher& hasher, PyObject* bytes) {
        const auto length = static_cast<std::size_t>(PyBytes_GET_SIZE(bytes));
        const auto* data = reinterpret_cast<const unsigned char*>(PyBytes_AS_STRING(bytes));
        runtime::run_maybe_detached(length >= Traits::DETACH_BYTES, [&] { hasher.update(data, length); });
    }

    // Feeds an acquired chunk: in place (a bytearray inside its critical
    // section), with the thread detached when the bytes are immutable and long.
    static void feed(Hasher& hasher, const buffer::BytesLike& input) {
        input.with_bytes([&](const unsigned char* data, std::size_t length) {
            const bool detach = input.is_immutable() && length >= Traits::DETACH_BYTES;
            runtime::run_maybe_detached(detach, [&] { hasher.update(data, length); });
        });
    }

    // A new object of `type` with the given state (tracked by the collector), or null with an error set.
    // A new object of `type` whose state is Hasher(state) (tracked by the
    // collector unless UNTRACKED), or null with an error set. A state that
    // owns memory may throw std::bad_alloc: the object is then freed unborn.
    template <typename State>
    static PyObject* create(PyTypeObject* type, const State& state) {
        PyObject* self = type->tp_alloc(type, 0);
        if (self == nullptr) return nullptr;
        new (&object(self)->borrow) backend::BorrowCounter();
        try {
            new (object(self)->state_address()) Hasher(state);
        } catch (...) {
            if constexpr (TRACKED) PyObject_GC_UnTrack(self);
            type->tp_free(self);
            Py_DECREF(type);
            throw;
        }
        return self;
    }

    template <std::size_t N>
    static constexpr std::size_t arity(const arguments::Signature<N>&) {
        return N;
    }
    using Parsed = arguments::Arguments<arity(Traits::CONSTRUCTOR)>;

    // Calls make(key) with what the state is built from: the seed, unless the
    // traits read more (with_initial_state).
    template <class Make>
    static PyObject* with_initial_state(const Parsed& parsed, Make&& make) {
        if constexpr (requires { Traits::with_initial_state(parsed, make); }) {
            return Traits::with_initial_state(parsed, make);
        } else {
            Seed seed;
            if (!Traits::read_seed(parsed[1], seed)) return nullptr;
            return make(seed);
        }
    }

    static constexpr bool DATA_FIRST = [] {
        if constexpr (requires { Traits::DATA_FIRST; })
            return Traits::DATA_FIRST;
        else
            return false;
    }();

    // The state is built and fed in the new object itself: copied in from
    // the stack, a state of a few hundred bytes cost a short call a tenth.
    static PyObject* construct_from(PyTypeObject* type, const Parsed& parsed) {
        PyObject* data = parsed[0];
        // The common call, with exact bytes, which cannot fail to be read,
        // skips the acquired-input variant: 100 instructions of the 1,470
        // that xxh64(data).hexdigest() of 16 bytes ran (callgrind).
        if (data != nullptr && PyBytes_CheckExact(data)) {
            return with_initial_state(parsed, [&](const auto& key) -> PyObject* {
                PyObject* self = create(type, key);
                if (self != nullptr) feed_bytes(object(self)->hasher(), data);
                return self;
            });
        }
        const bool has_data = data != nullptr && !(Traits::NONE_IS_NO_DATA && data == Py_None);
        buffer::Acquired input;
        if (DATA_FIRST && has_data && !(input = acquire_initial(data))) return nullptr;
        return with_initial_state(parsed, [&](const auto& key) -> PyObject* {
            if (!DATA_FIRST && has_data && !(input = acquire_initial(data))) return nullptr;
            PyObject* self = create(type, key);
            if (self != nullptr && input) feed(object(self)->hasher(), *input);
            return self;
        });
    }

    static PyObject* construct(PyTypeObject* type, PyObject* args, PyObject* kwargs) {
        const auto parsed = arguments::parse_tuple_and_dict(Traits::CONSTRUCTOR, args, kwargs);
        if (!parsed) return nullptr;
        return construct_from(type, *parsed);
    }

    // A call of the class itself, without the argument tuple that __new__
    // takes. The slot is not inherited: a subclass is called through
    // __new__ (and its own __init__) as usual.
    static PyObject* construct_fastcall(PyObject* type, PyObject* const* args, std::size_t nargsf,
                                        PyObject* kwnames) {
        const auto parsed =
            arguments::parse_raw_arguments(Traits::CONSTRUCTOR, args, PyVectorcall_NARGS(nargsf), kwnames);
        if (!parsed) return nullptr;
        return construct_from(reinterpret_cast<PyTypeObject*>(type), *parsed);
    }

    static constexpr arguments::Signature<1> UPDATE = {Traits::UPDATE_NAME, {"data"}, 1, arguments::Wording::Method};

    // The one-positional-argument call and exact bytes are taken without the
    // parser's optional and the acquired-input variant: merged through the
    // stack, their results cost a short update a store-forwarding stall.
    static PyObject* update(PyObject* self, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) {
        PyObject* data;
        if (nargs == 1 && kwnames == nullptr) {
            data = args[0];
        } else {
            const auto parsed = arguments::parse_raw_arguments(UPDATE, args, nargs, kwnames);
            if (!parsed) return nullptr;
            data = (*parsed)[0];
        }
        if (PyBytes_CheckExact(data)) {
            UpdateBorrow borrow(object(self)->borrow, WAITS);
            if (!borrow) return nullptr;
            feed_bytes(object(self)->hasher(), data);
            Py_RETURN_NONE;
        }
        const auto input = acquire(data);
        if (!input) return nullptr;
        UpdateBorrow borrow(object(self)->borrow, WAITS);
        if (!borrow) return nullptr;
        feed(object(self)->hasher(), *input);
        Py_RETURN_NONE;
    }

    // Runs `read(hasher)` under a reader's borrow.
    template <class Read>
    static PyObject* read(PyObject* self, Read&& read) {
        ReadHold borrow(object(self)->borrow, WAITS);
        if (!borrow) return nullptr;
        return read(object(self)->hasher());
    }

    static PyObject* digest(PyObject* self, PyObject*) { return read(self, Traits::digest); }
    static PyObject* hexdigest(PyObject* self, PyObject*) { return read(self, Traits::hexdigest); }
    static PyObject* intdigest(PyObject* self, PyObject*) { return read(self, Traits::intdigest); }

    // Always of the module's own class, even when called on a subclass's
    // object: the class this frame made, found by its token among the bases.
    static PyObject* copy(PyObject* self, PyObject*) {
        return read(self, [self](const Hasher& h) -> PyObject* {
            // Most objects are of the class itself: no search of the bases.
            PyTypeObject* type = Py_TYPE(self);
            if (c_api_compat::type_token(type) == &TOKEN) return create(type, h);
            PyTypeObject* own_class;
            if (PyType_GetBaseByToken(type, const_cast<char*>(&TOKEN), &own_class) <= 0) {
                if (!PyErr_Occurred()) PyErr_SetString(PyExc_TypeError, "not a hasher of this module");
                return nullptr;
            }
            runtime::OwnedRef held(reinterpret_cast<PyObject*>(own_class));
            return create(own_class, h);
        });
    }

    static PyObject* reset(PyObject* self, PyObject*) {
        UpdateBorrow borrow(object(self)->borrow, WAITS);
        if (!borrow) return nullptr;
        object(self)->hasher().reset();
        Py_RETURN_NONE;
    }

    // Pickling and copy.copy: the class called without arguments, then given
    // the serialised state, which carries the seed.
    static PyObject* reduce(PyObject* self, PyObject*) {
        return read(self, [&](const Hasher& h) -> PyObject* {
            const auto form = h.to_bytes();
            return Py_BuildValue("(O()y#)", reinterpret_cast<PyObject*>(Py_TYPE(self)),
                                 reinterpret_cast<const char*>(form.data()), static_cast<Py_ssize_t>(form.size()));
        });
    }

    static PyObject* setstate(PyObject* self, PyObject* state) {
        const auto input = buffer::any_bytes_like(state, "state");
        if (!input) return nullptr;
        auto restored = input->with_bytes([](const unsigned char* data, std::size_t length) {
            return Hasher::from_bytes({data, length});
        });
        if (!restored) {
            PyErr_Format(PyExc_ValueError, "not a serialised %s state", Traits::NAME);
            return nullptr;
        }
        UpdateBorrow borrow(object(self)->borrow, WAITS);
        if (!borrow) return nullptr;
        // Moved in: a move allocates nothing, so the state is never left half-assigned.
        object(self)->hasher() = std::move(*restored);
        Py_RETURN_NONE;
    }

    // Read under a reader's borrow like every other attribute of the state.
    static PyObject* digest_size(PyObject* self, void*) {
        return read(self, [](const Hasher&) { return PyLong_FromSize_t(Traits::DIGEST_SIZE); });
    }
    static PyObject* block_size(PyObject* self, void*) {
        return read(self, [](const Hasher&) {
            if constexpr (requires { Traits::BLOCK_SIZE; })
                return PyLong_FromSize_t(Traits::BLOCK_SIZE);
            else
                return PyLong_FromSize_t(Hasher::BLOCK_SIZE);
        });
    }
    static PyObject* name(PyObject* self, void*) {
        return read(self, [](const Hasher&) {
            if constexpr (requires { Traits::ALGORITHM; })
                return PyUnicode_FromString(Traits::ALGORITHM);
            else
                return PyUnicode_FromString(Traits::NAME);
        });
    }

    static PyObject* seed(PyObject* self, void*) {
        return read(self, [](const Hasher& h) { return Traits::seed(h); });
    }

    static void dealloc(PyObject* self) {
        if constexpr (TRACKED) PyObject_GC_UnTrack(self);
        object(self)->hasher().~Hasher();
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
    static PyObject* guarded_method(PyObject* self, PyObject* argument) noexcept {
        return runtime::guarded([&] { return Method(self, argument); });
    }
    template <PyObject* (*Getter)(PyObject*, void*)>
    static PyObject* guarded_getter(PyObject* self, void* closure) noexcept {
        return runtime::guarded([&] { return Getter(self, closure); });
    }

    template <std::size_t I>
    static PyObject* extra_method(PyObject* self, PyObject*) {
        return read(self, Traits::EXTRA_METHODS[I].read);
    }

    template <std::size_t N, std::size_t... I>
    static PyMethodDef* append_extra_methods(PyMethodDef (&table)[N], std::index_sequence<I...>) {
        static PyMethodDef combined[N + sizeof...(I)] = {};
        std::copy_n(table, N - 1, combined);
        ((combined[N - 1 + I] = {Traits::EXTRA_METHODS[I].name, &guarded_method<extra_method<I>>, METH_NOARGS,
                                 Traits::EXTRA_METHODS[I].doc}),
         ...);
        return combined;
    }

    // `table` (sentinel-terminated) followed by the traits' extra methods, if
    // any: filled once per process, before any interpreter can read it.
    template <std::size_t N>
    static PyMethodDef* with_extra_methods(PyMethodDef (&table)[N]) {
        if constexpr (!requires { Traits::EXTRA_METHODS; }) {
            return table;
        } else {
            static PyMethodDef* const combined =
                append_extra_methods(table, std::make_index_sequence<std::size(Traits::EXTRA_METHODS)>{});
            return combined;
        }
    }

    static PyMethodDef* methods() {
        static const MethodDocs& docs = Traits::METHOD_DOCS;
        static PyMethodDef basic[] = {
            {"update", reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(&guarded_update)),
             METH_FASTCALL | METH_KEYWORDS, docs.update},
            {"digest", &guarded_method<digest>, METH_NOARGS, docs.digest},
            {"hexdigest", &guarded_method<hexdigest>, METH_NOARGS, docs.hexdigest},
            {"copy", &guarded_method<copy>, METH_NOARGS, docs.copy},
            {nullptr, nullptr, 0, nullptr},
        };
        if constexpr (!Traits::EXTENDED) {
            return with_extra_methods(basic);
        } else {
            static PyMethodDef extended[] = {
                basic[0],
                basic[1],
                basic[2],
                {"intdigest", &guarded_method<intdigest>, METH_NOARGS, docs.intdigest},
                basic[3],
                {"reset", &guarded_method<reset>, METH_NOARGS, docs.reset},
                {"__reduce__", &guarded_method<reduce>, METH_NOARGS, nullptr},
                {"__setstate__", &guarded_method<setstate>, METH_O, nullptr},
                {nullptr, nullptr, 0, nullptr},
            };
            return with_extra_methods(extended);
        }
    }

    static PyGetSetDef* getters() {
        static const MethodDocs& docs = Traits::METHOD_DOCS;
        // Room for every attribute and the terminating zeros; the optional ones follow the rest.
        static std::array<PyGetSetDef, 6> table = [] {
            std::array<PyGetSetDef, 6> entries{};
            std::size_t next = 0;
            entries[next++] = {"digest_size", &guarded_getter<digest_size>, nullptr, docs.digest_size, nullptr};
            entries[next++] = {"block_size", &guarded_getter<block_size>, nullptr, docs.block_size, nullptr};
            entries[next++] = {"name", &guarded_getter<name>, nullptr, docs.name, nullptr};
            if constexpr (requires(const Hasher& h) { Traits::seed(h); })
                entries[next++] = {"seed", &guarded_getter<seed>, nullptr, docs.seed, nullptr};
            if constexpr (requires { Traits::DIGESTSIZE_ALIAS; })
                entries[next++] = {"digestsize", &guarded_getter<digest_size>, nullptr, docs.digestsize, nullptr};
            return entries;
        }();
        return table.data();
    }

    static PySlot data_slot(std::uint16_t id, const void* data) {
        return {.sl_id = id, .sl_flags = PySlot_STATIC, .sl_reserved = 0, .sl_ptr = const_cast<void*>(data)};
    }
    template <typename Function>
    static PySlot function_slot(std::uint16_t id, Function function) {
        return {.sl_id = id, .sl_flags = 0, .sl_reserved = 0, .sl_func = reinterpret_cast<_Py_funcptr_t>(function)};
    }

    // Marks the classes this frame makes, in every interpreter.
    static constexpr char TOKEN = 0;

    // A new class object for `module` (a new reference), or null with an
    // error set. Each module object has its own: interpreters share no objects.
    static PyObject* create_type(PyObject* module) {
        constexpr std::uint64_t COLLECTED = TRACKED ? Py_TPFLAGS_HAVE_GC : 0;
        std::array<PySlot, 14> slots = {{
            data_slot(Py_tp_name, Traits::QUALIFIED_NAME),
            {.sl_id = Py_tp_basicsize, .sl_flags = 0, .sl_reserved = 0, .sl_size = sizeof(Object)},
            {.sl_id = Py_tp_flags,
             .sl_flags = 0,
             .sl_reserved = 0,
             .sl_uint64 = Py_TPFLAGS_DEFAULT | Py_TPFLAGS_BASETYPE | COLLECTED | Py_TPFLAGS_IMMUTABLETYPE},
            {.sl_id = Py_tp_module, .sl_flags = 0, .sl_reserved = 0, .sl_ptr = module},
            data_slot(Py_tp_token, &TOKEN),
            data_slot(Py_tp_doc, DOC.data()),
            function_slot(Py_tp_new, &guarded_new),
            function_slot(Py_tp_vectorcall, &guarded_vectorcall),
            function_slot(Py_tp_dealloc, &dealloc),
            data_slot(Py_tp_methods, methods()),
            data_slot(Py_tp_getset, getters()),
        }};
        // The rest stay zero: the end of the slots.
        if constexpr (TRACKED) {
            slots[11] = function_slot(Py_tp_traverse, &traverse);
            slots[12] = function_slot(Py_tp_clear, &clear);
        }
        return PyType_FromSlots(slots.data());
    }
};

}  // namespace vantorq::bindings::hasher_class
