#pragma once
// What the mmh3 drop-in says when it refuses a call, worded as mmh3 5.3.1
// words it (printf formats take the offending object's type name).

namespace vantorq::bindings::native::mmh3::messages {

inline constexpr char SEED_OUT_OF_RANGE[] = "seed is out of range";
inline constexpr char SEED_NOT_INT[] = "'%.200s' object cannot be interpreted as an integer";
// hash, hash64, hash128 and hash_bytes take bytes or str only.
inline constexpr char KEY_NOT_READ_ONLY_BUFFER[] = "argument 1 must be read-only bytes-like object, not '%.200s'";
// hash128_batch, which mmh3 lacks.
inline constexpr char BATCH_KEY_NOT_BYTES_OR_STR[] = "each key must be bytes or str, not '%.200s'";
// Positional-only functions, as the interpreter's argument checks word them.
inline constexpr char TOO_FEW_ARGUMENTS[] = "function takes at least %zd argument%s (%zd given)";
inline constexpr char TOO_MANY_ARGUMENTS[] = "function takes at most %zd argument%s (%zd given)";

}  // namespace vantorq::bindings::native::mmh3::messages
