#pragma once
// The package's hasher classes: the streaming XXH hashers, and MurmurHash3
// hashers with an integer digest, reset and pickling.

#include "bindings/python.hpp"

#include <span>

#include "bindings/families.hpp"

namespace vantorq::bindings::native {

extern const std::span<const families::PublicClass> HASHER_CLASSES;

}  // namespace vantorq::bindings::native
