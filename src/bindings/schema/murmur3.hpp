#pragma once

#include "bindings/python.hpp"

#include "bindings/schema.hpp"

namespace vantorq::bindings::schema::murmur3 {

// Every one-shot MurmurHash3 function takes (s, seed=0).
inline constexpr Binding<2> one_shot(const char* name) { return {name, {"s", "seed"}, 2, 1}; }

inline constexpr Binding<2> MURMUR3_32 = one_shot("murmur3_32");
inline constexpr Binding<2> MURMUR3_X86_128_DIGEST = one_shot("murmur3_x86_128_digest");
inline constexpr Binding<2> MURMUR3_X64_128_DIGEST = one_shot("murmur3_x64_128_digest");

}  // namespace vantorq::bindings::schema::murmur3
