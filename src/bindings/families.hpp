#pragma once
// The three families' method tables and the hasher classes, in the order the
// module execution function adds them.

#include "bindings/python.hpp"

#include <span>

namespace vantorq::bindings::families {

// A class the module exposes and lists in __all__.
struct PublicClass {
    const char* name;
    PyObject* (*create)(PyObject* module);  // a new class object for the module, or null with an error set
};

}  // namespace vantorq::bindings::families

// Each family's process-wide method table, generated from its declarations on
// the first call.
namespace vantorq::bindings::base64::api {
PyMethodDef* methods();
}
namespace vantorq::bindings::murmur3::api {
PyMethodDef* methods();
extern const std::span<const families::PublicClass> CLASSES;
}  // namespace vantorq::bindings::murmur3::api
namespace vantorq::bindings::xxhash::api {
PyMethodDef* methods();
}
