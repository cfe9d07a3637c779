#pragma once

#include "bindings/python.hpp"

#include "bindings/schema.hpp"

namespace vantorq::bindings::schema::xxhash {

// Every one-shot XXH3 function takes (s, seed=0).
inline constexpr Binding<2> one_shot(const char* name) { return {name, {"s", "seed"}, 2, 1}; }

inline constexpr Binding<2> XXH3_64 = one_shot("xxh3_64");
inline constexpr Binding<2> XXH3_128 = one_shot("xxh3_128");

// The list forms take (items, seed=0) and (items, output, seed=0).
inline constexpr Binding<2> list(const char* name) { return {name, {"items", "seed"}, 2, 1}; }
inline constexpr Binding<3> list_into(const char* name) { return {name, {"items", "output", "seed"}, 3, 2}; }

inline constexpr Binding<2> XXH3_64_BATCH = list("xxh3_64_batch");
inline constexpr Binding<2> XXH3_128_BATCH = list("xxh3_128_batch");
inline constexpr Binding<3> XXH3_64_BATCH_INTO = list_into("xxh3_64_batch_into");
inline constexpr Binding<3> XXH3_128_BATCH_INTO = list_into("xxh3_128_batch_into");

}  // namespace vantorq::bindings::schema::xxhash
