#pragma once
// Result columns: built once into buffers this module owns, then shared,
// immutable, by every Arrow structure exported from them. Each exported
// structure holds the buffers until its release callback, called once by its
// consumer, drops that hold; the last hold frees them.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>

#include "backend/memory.hpp"
#include "columns/arrow_abi.hpp"
#include "columns/values.hpp"

namespace vantorq::columns {

// A column's buffers: a fixed-width one (digests: uint64, uint32 or
// fixed_size_binary(16)) has values; a variable one (string or binary)
// has offsets and data.
struct ColumnData {
    const char* format;  // a static Arrow format string
    std::size_t length = 0;
    std::size_t null_count = 0;
    std::size_t value_width = 0;       // fixed width: bytes per row; 0 for variable
    backend::ByteBuffer validity;      // null when no row is null
    backend::ByteBuffer values;        // fixed width: the values; variable: the offsets
    backend::ByteBuffer data;          // variable: the bytes of every value
};

using SharedColumn = std::shared_ptr<const ColumnData>;

// Fills `out` with the column's type (a field named "").
void export_schema(const ColumnData& column, arrow::ArrowSchema* out);
// Fills `out` with the column as one array holding a share of its buffers.
void export_array(const SharedColumn& column, arrow::ArrowArray* out);
// Fills `out` with a stream that yields the column as its one array.
void export_stream(const SharedColumn& column, arrow::ArrowArrayStream* out);

// The validity bitmap of a result being built: none until a row is null,
// then every row valid but the null ones.
class ValidityBuilder {
public:
    explicit ValidityBuilder(std::size_t length) : length_(length) {}

    // Copies the chunk's nulls to rows [first_row, first_row + chunk.length()).
    // False when the bitmap's memory cannot be had.
    bool copy_nulls(const Chunk& chunk, std::size_t first_row);
    bool set_null(std::size_t row);
    bool is_null(std::size_t row) const {
        return bits_ && ((bits_[row >> 3] >> (row & 7)) & 1) == 0;
    }
    // Moves the bitmap and its null count into `column`.
    void finish(ColumnData& column);

private:
    bool ensure();

    std::size_t length_;
    backend::ByteBuffer bits_;
};

enum class DigestKind : std::uint8_t { Xxh3_64, Xxh3_128, Murmur3_32, Murmur3_x86_128, Murmur3_x64_128 };

// Bytes of one digest.
std::size_t digest_bytes(DigestKind kind);

// How an integer digest column (XXH3-64, MurmurHash3 x86_32) is typed: as
// the unsigned integer the one-value function gives, or as the signed integer
// of the same bits, for consumers without unsigned types (Spark's long and
// int). A 16-byte digest is bytes either way.
enum class DigestSign : std::uint8_t { Unsigned, Signed };

// The digests of every row of every chunk in order, packed, with the chunks'
// nulls (zero where null).
class DigestColumnBuilder {
public:
    static std::optional<DigestColumnBuilder> try_create(DigestKind kind, std::size_t rows,
                                                         DigestSign sign = DigestSign::Unsigned);
    // Hashes the chunk's rows into the next rows. False when memory cannot be had.
    bool add(const Chunk& chunk, std::uint64_t seed);
    SharedColumn finish();

private:
    DigestColumnBuilder(DigestKind kind, DigestSign sign, std::size_t rows, backend::ByteBuffer values)
        : kind_(kind), sign_(sign), rows_(rows), values_(std::move(values)), validity_(rows) {}

    DigestKind kind_;
    DigestSign sign_;
    std::size_t rows_;
    std::size_t next_row_ = 0;
    backend::ByteBuffer values_;
    ValidityBuilder validity_;
};

// A string or binary result written row by row into room sized up front:
// offsets for every row (32-bit unless the capacity passes them) and a data
// buffer of a given capacity.
class VariableColumnBuilder {
public:
    static std::optional<VariableColumnBuilder> try_create(std::size_t rows, std::size_t capacity);

    // Where the next value goes; `room` bytes must be left.
    unsigned char* next_value(std::size_t room);
    // Ends the value begun at next_value with `size` bytes written.
    void end_value(std::size_t size);
    // A value copied in.
    void append(const unsigned char* bytes, std::size_t size);
    // False when memory cannot be had.
    bool append_null();
    bool copy_nulls(const Chunk& chunk) { return validity_.copy_nulls(chunk, rows_done_); }
    std::size_t rows_done() const { return rows_done_; }

    // The column: "u"/"z" when its capacity fits 32-bit offsets, else "U"/"Z".
    SharedColumn finish(bool text);

private:
    VariableColumnBuilder(std::size_t rows, std::size_t capacity, bool wide, backend::ByteBuffer offsets,
                          backend::ByteBuffer data)
        : rows_(rows),
          capacity_(capacity),
          wide_(wide),
          offsets_(std::move(offsets)),
          data_(std::move(data)),
          validity_(rows) {}

    // Offset `index` is the data written so far.
    void set_offset(std::size_t index);

    std::size_t rows_;
    std::size_t capacity_;
    bool wide_;  // 64-bit offsets
    std::size_t rows_done_ = 0;
    std::size_t size_ = 0;  // data bytes written
    backend::ByteBuffer offsets_;
    backend::ByteBuffer data_;
    ValidityBuilder validity_;
};

}  // namespace vantorq::columns
