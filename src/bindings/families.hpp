#pragma once
// The three families' method tables and the hasher classes, in the order the
// module execution function adds them.

#include "bindings/python.hpp"

#include <span>

#include "bindings/runtime.hpp"

namespace vantorq::bindings::families {

extern const runtime::MethodTable BASE64;
extern const runtime::MethodTable MURMUR3;
extern const runtime::MethodTable XXHASH;

// A class the module exposes and lists in __all__.
struct PublicClass {
    const char* name;
    PyObject* (*type)();  // the process-wide class object (borrowed), or null with an error set
};
extern const std::span<const PublicClass> MURMUR3_CLASSES;

}  // namespace vantorq::bindings::families
