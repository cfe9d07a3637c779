#pragma once
// What the XXH3 functions say when a call fails, beyond the parser's and the
// interpreter's own messages.

namespace vantorq::bindings::xxhash::messages {

// The packed digests' destination, as the too-small message names it.
inline constexpr char OUTPUT[] = "XXH3 batch output";
inline constexpr char OUTPUT_TOO_LARGE[] = "XXH3 batch output is too large";

// vantorq.xxhash: our words for the secret the xxhash package does not have.
inline constexpr char SEED_AND_SECRET[] = "seed and secret cannot be given together";
// With the minimum and the length given.
inline constexpr char SECRET_TOO_SHORT[] = "secret must be at least %zu bytes, not %zu";

}  // namespace vantorq::bindings::xxhash::messages
