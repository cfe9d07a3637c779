#pragma once
// Hashing the rows of a chunk, every digest equal to the one-shot hash of
// the row's bytes.

#include <cstddef>
#include <cstdint>

#include "columns/result.hpp"
#include "columns/values.hpp"

namespace vantorq::columns {

// Writes the digest of each row at out + row * digest_bytes(kind), in the
// packed little-endian layout of the list functions (XXH3-128: the low word
// first; MurmurHash3 128: the digest bytes); a null row's digest is zero.
// MurmurHash3 takes the seed's low 32 bits.
void hash_chunk(DigestKind kind, const Chunk& chunk, std::uint64_t seed, unsigned char* out);

}  // namespace vantorq::columns
