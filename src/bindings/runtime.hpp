#pragma once
// The binding layer's lifetime tools: owned references, critical sections, a
// detached thread state, and the guard that turns an internal invariant
// failure into PanicException instead of letting a C++ exception reach the
// interpreter.

#include "bindings/python.hpp"

#include "backend/invariant.hpp"

#include <atomic>
#include <cstddef>
#include <new>
#include <tuple>
#include <utility>

namespace vantorq::bindings::runtime {

// Immutable inputs at least this long are worked on with the thread detached;
// below, detaching and re-attaching costs a noticeable share of the work.
inline constexpr std::size_t MURMUR3_DETACH_BYTES = 65'536;
inline constexpr std::size_t XXH3_DETACH_BYTES = 262'144;
inline constexpr std::size_t BASE64_DETACH_BYTES = 262'144;

// An internal invariant failure, from the cores or from this layer: a
// condition no caller can produce. Data errors are Python exceptions instead.
using Panic = backend::InvariantFailure;

// Fails with `what` when the invariant does not hold.
inline void require(bool invariant, const char* what) {
    if (!invariant) backend::fail_invariant(what);
}

// Sets PanicException (created on first use) with the failure's text.
void raise_panic(const Panic& panic);

// The PanicException class, a BaseException subclass, or null with an error set.
PyObject* panic_exception_type();

// Runs `body` (returning a new reference or null with an error set) so that
// no C++ exception escapes: a Panic becomes PanicException, an allocation
// failure MemoryError.
template <typename Body>
PyObject* guarded(Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (const Panic& panic) {
        raise_panic(panic);
    } catch (const std::bad_alloc&) {
        PyErr_NoMemory();
    }
    return nullptr;
}

// The METH_FASTCALL | METH_KEYWORDS entry point of function `I` of a family's
// declarations (schema::Function), which parses the arguments and runs it.
template <const auto& FUNCTIONS, std::size_t I>
PyObject* entry_point(PyObject* /*module*/, PyObject* const* args, Py_ssize_t nargs, PyObject* kwnames) noexcept {
    return guarded([&] { return std::get<I>(FUNCTIONS).call(args, nargs, kwnames); });
}

// A strong reference, released once when dropped.
class OwnedRef {
public:
    OwnedRef() = default;
    explicit OwnedRef(PyObject* steal) : object_(steal) {}
    OwnedRef(OwnedRef&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
    OwnedRef& operator=(OwnedRef&& other) noexcept {
        if (this != &other) {
            Py_XDECREF(object_);
            object_ = std::exchange(other.object_, nullptr);
        }
        return *this;
    }
    ~OwnedRef() { Py_XDECREF(object_); }

    static OwnedRef borrow(PyObject* object) { return OwnedRef(Py_XNewRef(object)); }

    PyObject* get() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }
    PyObject* release() { return std::exchange(object_, nullptr); }

private:
    PyObject* object_ = nullptr;
};

// A Python object made on first use in each interpreter and kept in that
// interpreter's own dictionary under `key`: interpreters share no objects, so
// none may be process-wide. Creation may run the collector, so racing first
// users must not block on a C++ lock while attached (that would stall a
// stop-the-world pause): each creates a candidate and the first to publish
// wins. Only slow paths look these up.
class InterpreterObject {
public:
    explicit constexpr InterpreterObject(const char* key) : key_(key) {}

    // Returns the object (borrowed: the interpreter keeps it until it ends),
    // or null with an error set.
    template <typename Create>
    PyObject* get_or_create(Create&& create) const {
        PyObject* dict = PyInterpreterState_GetDict(PyInterpreterState_Get());
        if (dict == nullptr) {
            PyErr_SetString(PyExc_RuntimeError, "the interpreter has no dictionary for module state");
            return nullptr;
        }
        PyObject* found;
        if (PyDict_GetItemStringRef(dict, key_, &found) < 0) return nullptr;
        if (found == nullptr) {
            OwnedRef candidate(std::forward<Create>(create)());
            OwnedRef key(candidate ? PyUnicode_FromString(key_) : nullptr);
            if (!key || PyDict_SetDefaultRef(dict, key.get(), candidate.get(), &found) < 0) return nullptr;
        }
        Py_DECREF(found);
        return found;
    }

private:
    const char* key_;
};

// The per-object lock of the free-threaded interpreter (a no-op with the GIL).
class CriticalSection {
public:
#if VANTORQ_HAS_CRITICAL_SECTIONS
    explicit CriticalSection(PyObject* object) { PyCriticalSection_Begin(&section_, object); }
    ~CriticalSection() { PyCriticalSection_End(&section_); }
#else
    explicit CriticalSection(PyObject*) {}
#endif
    CriticalSection(const CriticalSection&) = delete;
    CriticalSection& operator=(const CriticalSection&) = delete;

#if VANTORQ_HAS_CRITICAL_SECTIONS
private:
    PyCriticalSection section_;
#endif
};

// Two objects locked together without lock-order deadlocks.
class CriticalSection2 {
public:
#if VANTORQ_HAS_CRITICAL_SECTIONS
    CriticalSection2(PyObject* a, PyObject* b) { PyCriticalSection2_Begin(&section_, a, b); }
    ~CriticalSection2() { PyCriticalSection2_End(&section_); }
#else
    CriticalSection2(PyObject*, PyObject*) {}
#endif
    CriticalSection2(const CriticalSection2&) = delete;
    CriticalSection2& operator=(const CriticalSection2&) = delete;

#if VANTORQ_HAS_CRITICAL_SECTIONS
private:
    PyCriticalSection2 section_;
#endif
};

// The calling thread detached from the interpreter for the object's lifetime.
// While detached no interpreter object may be touched.
class DetachedThread {
public:
    DetachedThread() : state_(PyEval_SaveThread()) {}
    ~DetachedThread() { PyEval_RestoreThread(state_); }
    DetachedThread(const DetachedThread&) = delete;
    DetachedThread& operator=(const DetachedThread&) = delete;

private:
    PyThreadState* state_;
};

// Runs `work` detached when `detach` is set, attached otherwise.
template <typename Work>
decltype(auto) run_maybe_detached(bool detach, Work&& work) {
    if (detach) {
        DetachedThread detached;
        return std::forward<Work>(work)();
    }
    return std::forward<Work>(work)();
}

}  // namespace vantorq::bindings::runtime
