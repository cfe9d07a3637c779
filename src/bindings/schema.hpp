#pragma once
// What the argument parser knows about each module function, and the
// families' method tables.

#include "bindings/python.hpp"

#include <array>
#include <cstddef>
#include <mutex>
#include <string_view>

namespace vantorq::bindings::schema {

template <std::size_t N>
struct Binding {
    const char* name;                           // as it appears in messages
    std::array<std::string_view, N> parameters;  // signature order
    std::size_t positional;                      // parameters before the `*`
    std::size_t required;                        // leading parameters without a default
};

// Every module function takes its arguments by fast call with keywords.
inline constexpr int FASTCALL_FLAGS = METH_FASTCALL | METH_KEYWORDS;

template <typename Function>
PyMethodDef method(const char* name, Function function, const char* doc) {
    return {name, reinterpret_cast<PyCFunction>(reinterpret_cast<void (*)()>(function)), FASTCALL_FLAGS, doc};
}

namespace base64 {
void register_all(PyMethodDef* table, int major, int minor);
}
namespace murmur3 {
void register_all(PyMethodDef* table, int major, int minor);
}
namespace xxhash {
void register_all(PyMethodDef* table, int major, int minor);
}

}  // namespace vantorq::bindings::schema
