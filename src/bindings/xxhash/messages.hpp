#pragma once
// What the XXH3 functions say when a call fails, beyond the parser's and the
// interpreter's own messages.

namespace vantorq::bindings::xxhash::messages {

// The packed digests' destination, as the too-small message names it.
inline constexpr char OUTPUT[] = "XXH3 batch output";
inline constexpr char OUTPUT_TOO_LARGE[] = "XXH3 batch output is too large";

}  // namespace vantorq::bindings::xxhash::messages
