#pragma once
// hashlib's words for data a hash refuses, which the xxhash and mmh3 packages
// use too.

namespace vantorq::bindings::hashlib_words {

inline constexpr char STRINGS_MUST_BE_ENCODED[] = "Strings must be encoded before hashing";
inline constexpr char NOT_A_BUFFER[] = "object supporting the buffer API required";

}  // namespace vantorq::bindings::hashlib_words
