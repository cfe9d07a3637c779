#include "columns/result.hpp"

#include <sys/mman.h>

#include <bit>
#include <cstring>
#include <limits>
#include <new>

#include "backend/invariant.hpp"
#include "columns/hash.hpp"

namespace vantorq::columns {
namespace {

using arrow::ArrowArray;
using arrow::ArrowArrayStream;
using arrow::ArrowSchema;

constexpr std::int64_t NULLABLE = 2;  // ARROW_FLAG_NULLABLE

void release_schema(ArrowSchema* schema) { schema->release = nullptr; }  // everything it points to is static

// What an exported array holds: a share of the buffers, and the buffer table
// its `buffers` points to.
struct ExportedArray {
    SharedColumn column;
    const void* buffers[3];
};

void release_array(ArrowArray* array) {
    delete static_cast<ExportedArray*>(array->private_data);
    array->release = nullptr;
}

struct ExportedStream {
    SharedColumn column;
    bool delivered = false;
};

int stream_schema(ArrowArrayStream* stream, ArrowSchema* out) {
    export_schema(*static_cast<ExportedStream*>(stream->private_data)->column, out);
    return 0;
}

int stream_next(ArrowArrayStream* stream, ArrowArray* out) {
    auto* state = static_cast<ExportedStream*>(stream->private_data);
    if (state->delivered) {
        out->release = nullptr;  // the end of the stream
        return 0;
    }
    try {
        export_array(state->column, out);
    } catch (const std::bad_alloc&) {
        return ENOMEM;
    }
    state->delivered = true;
    return 0;
}

const char* stream_error(ArrowArrayStream*) { return nullptr; }

void release_stream(ArrowArrayStream* stream) {
    delete static_cast<ExportedStream*>(stream->private_data);
    stream->release = nullptr;
}

std::size_t bitmap_bytes(std::size_t bits) { return (bits + 7) / 8; }

// A result buffer of `count` values of `size` bytes. From HUGE_FROM bytes
// the allocator maps fresh memory from the system for each (smaller blocks
// it reuses), which is written once right after: on huge pages the kernel
// hands it over 2 MiB at a time rather than one 4 KiB fault at a time, which
// took more than half of a Base64 column's time.
constexpr std::size_t HUGE_PAGE = std::size_t{2} << 20;
constexpr std::size_t HUGE_FROM = std::size_t{16} << 20;

backend::ByteBuffer allocate_result(std::size_t count, std::size_t size) {
    std::size_t bytes = 0;
    if (__builtin_mul_overflow(count, size, &bytes)) return nullptr;
    if (bytes < HUGE_FROM) return backend::try_allocate_bytes(bytes);
    void* memory = backend::heap_allocate_aligned(bytes, HUGE_PAGE);
    if (memory != nullptr) madvise(memory, bytes / HUGE_PAGE * HUGE_PAGE, MADV_HUGEPAGE);  // a hint: failure is harmless
    return backend::ByteBuffer(static_cast<unsigned char*>(memory));
}

}  // namespace

void export_schema(const ColumnData& column, ArrowSchema* out) {
    *out = ArrowSchema{.format = column.format,
                       .name = "",
                       .metadata = nullptr,
                       .flags = NULLABLE,
                       .n_children = 0,
                       .children = nullptr,
                       .dictionary = nullptr,
                       .release = &release_schema,
                       .private_data = nullptr};
}

void export_array(const SharedColumn& column, ArrowArray* out) {
    auto* exported = new ExportedArray{column, {column->validity.get(), column->values.get(), column->data.get()}};
    *out = ArrowArray{.length = static_cast<std::int64_t>(column->length),
                      .null_count = static_cast<std::int64_t>(column->null_count),
                      .offset = 0,
                      .n_buffers = column->value_width != 0 ? 2 : 3,
                      .n_children = 0,
                      .buffers = exported->buffers,
                      .children = nullptr,
                      .dictionary = nullptr,
                      .release = &release_array,
                      .private_data = exported};
}

void export_stream(const SharedColumn& column, ArrowArrayStream* out) {
    *out = ArrowArrayStream{.get_schema = &stream_schema,
                            .get_next = &stream_next,
                            .get_last_error = &stream_error,
                            .release = &release_stream,
                            .private_data = new ExportedStream{column}};
}

// ---- Validity -------------------------------------------------------------

bool ValidityBuilder::ensure() {
    if (bits_) return true;
    bits_ = backend::try_allocate_bytes(bitmap_bytes(length_));
    if (!bits_) return false;
    std::memset(bits_.get(), 0xff, bitmap_bytes(length_));
    return true;
}

bool ValidityBuilder::copy_nulls(const Chunk& chunk, std::size_t first_row) {
    if (!chunk.has_nulls() || chunk.length() == 0) return true;
    if (!ensure()) return false;
    std::size_t row = 0;
    if (chunk.first_bit() % 8 == 0 && first_row % 8 == 0) {
        // Whole bytes at once; the rest bit by bit.
        const std::size_t whole = chunk.length() / 8;
        std::memcpy(bits_.get() + first_row / 8, chunk.validity() + chunk.first_bit() / 8, whole);
        row = whole * 8;
    }
    for (; row < chunk.length(); ++row)
        if (chunk.is_null(row)) set_null(first_row + row);
    return true;
}

bool ValidityBuilder::set_null(std::size_t row) {
    if (!ensure()) return false;
    bits_[row >> 3] &= static_cast<unsigned char>(~(1u << (row & 7)));
    return true;
}

void ValidityBuilder::finish(ColumnData& column) {
    column.null_count = 0;
    if (!bits_) return;
    std::size_t valid = 0;
    const std::size_t whole = length_ / 8;
    for (std::size_t i = 0; i < whole; ++i) valid += static_cast<std::size_t>(std::popcount(bits_[i]));
    for (std::size_t row = whole * 8; row < length_; ++row) valid += (bits_[row >> 3] >> (row & 7)) & 1;
    column.null_count = length_ - valid;
    if (column.null_count != 0) column.validity = std::move(bits_);
    bits_.reset();
}

// ---- Digests --------------------------------------------------------------

std::optional<DigestColumnBuilder> DigestColumnBuilder::try_create(DigestKind kind, std::size_t rows,
                                                                  DigestSign sign) {
    auto values = allocate_result(rows, digest_bytes(kind));
    if (!values) return std::nullopt;
    return DigestColumnBuilder(kind, sign, rows, std::move(values));
}

bool DigestColumnBuilder::add(const Chunk& chunk, std::uint64_t seed) {
    if (chunk.length() > rows_ - next_row_) backend::fail_invariant("a digest column is given more rows than sized for");
    if (!validity_.copy_nulls(chunk, next_row_)) return false;
    hash_chunk(kind_, chunk, seed, values_.get() + next_row_ * digest_bytes(kind_));
    next_row_ += chunk.length();
    return true;
}

SharedColumn DigestColumnBuilder::finish() {
    if (next_row_ != rows_) backend::fail_invariant("a digest column is finished before its last row");
    auto column = std::make_shared<ColumnData>();
    const bool is_signed = sign_ == DigestSign::Signed;
    column->format = kind_ == DigestKind::Xxh3_64      ? (is_signed ? "l" : "L")
                     : kind_ == DigestKind::Murmur3_32 ? (is_signed ? "i" : "I")
                                                       : "w:16";
    column->length = rows_;
    column->value_width = digest_bytes(kind_);
    column->values = std::move(values_);
    validity_.finish(*column);
    return column;
}

// ---- Strings and binary ---------------------------------------------------

std::optional<VariableColumnBuilder> VariableColumnBuilder::try_create(std::size_t rows, std::size_t capacity) {
    // 32-bit offsets whenever the data may not pass them.
    const bool wide = capacity > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max());
    auto offsets = allocate_result(rows + 1, wide ? sizeof(std::int64_t) : sizeof(std::int32_t));
    auto data = allocate_result(capacity, 1);
    if (!offsets || !data) return std::nullopt;
    VariableColumnBuilder builder(rows, capacity, wide, std::move(offsets), std::move(data));
    builder.set_offset(0);
    return builder;
}

void VariableColumnBuilder::set_offset(std::size_t index) {
    if (wide_) {
        const auto offset = static_cast<std::int64_t>(size_);
        std::memcpy(offsets_.get() + 8 * index, &offset, 8);
    } else {
        const auto offset = static_cast<std::int32_t>(size_);
        std::memcpy(offsets_.get() + 4 * index, &offset, 4);
    }
}

unsigned char* VariableColumnBuilder::next_value(std::size_t room) {
    if (rows_done_ == rows_ || room > capacity_ - size_)
        backend::fail_invariant("a variable column is given more than sized for");
    return data_.get() + size_;
}

void VariableColumnBuilder::end_value(std::size_t size) {
    size_ += size;
    set_offset(++rows_done_);
}

void VariableColumnBuilder::append(const unsigned char* bytes, std::size_t size) {
    if (size != 0) std::memcpy(next_value(size), bytes, size);
    end_value(size);
}

bool VariableColumnBuilder::append_null() {
    if (!validity_.set_null(rows_done_)) return false;
    next_value(0);
    end_value(0);
    return true;
}

SharedColumn VariableColumnBuilder::finish(bool text) {
    if (rows_done_ != rows_) backend::fail_invariant("a variable column is finished before its last row");
    auto column = std::make_shared<ColumnData>();
    column->length = rows_;
    column->format = wide_ ? (text ? "U" : "Z") : (text ? "u" : "z");
    column->values = std::move(offsets_);
    column->data = std::move(data_);
    validity_.finish(*column);
    return column;
}

}  // namespace vantorq::columns
