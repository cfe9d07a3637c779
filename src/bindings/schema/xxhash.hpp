#pragma once

#include "bindings/python.hpp"

#include "bindings/schema.hpp"

namespace vantorq::bindings::schema::xxhash {

// Every one-shot XXH3 function takes (s, seed=0).
inline constexpr Binding<2> one_shot(const char* name) { return {name, {"s", "seed"}, 2, 1}; }

inline constexpr Binding<2> XXH3_64 = one_shot("xxh3_64");
inline constexpr Binding<2> XXH3_128 = one_shot("xxh3_128");

}  // namespace vantorq::bindings::schema::xxhash
