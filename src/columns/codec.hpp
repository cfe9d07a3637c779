#pragma once
// Base64 over the rows of a chunk, each row as the one-value codec treats it.
// Decoding stops at a row the native decoder leaves to the caller (one it
// does not handle, or rejects), so that the caller settles that row and
// resumes after it.

#include <cstddef>

#include "base64/decoder.hpp"
#include "base64/encoder.hpp"
#include "columns/result.hpp"
#include "columns/values.hpp"

namespace vantorq::columns {

// The bytes encoding every row takes, null rows none.
std::size_t encoded_size(const base64::Encoder& encoder, const Chunk& chunk);
// Appends every row's encoding (a null row as null). False when memory cannot be had.
bool encode_rows(const base64::Encoder& encoder, const Chunk& chunk, VariableColumnBuilder& out);

// Room that decoding any row takes at most.
std::size_t decoded_room(std::size_t text_size);
// What decoding every row can take at most, null rows none.
std::size_t decoded_capacity(const Chunk& chunk);

// Where decode_rows stopped: `row` == chunk.length() when every row is
// appended, else the row whose outcome (not handled, rejected or out of
// memory) the caller settles, nothing of it appended.
struct DecodeStop {
    std::size_t row;
    base64::DecodeOutcome outcome;
};
DecodeStop decode_rows(const base64::Decoder& decoder, const Chunk& chunk, std::size_t first_row,
                       VariableColumnBuilder& out);

}  // namespace vantorq::columns
