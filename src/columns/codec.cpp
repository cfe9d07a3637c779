#include "columns/codec.hpp"

namespace vantorq::columns {
namespace {

// Sum of size_of(value size) over the non-null rows.
template <class SizeOf>
std::size_t total_over_rows(const Chunk& chunk, SizeOf size_of) {
    return with_layout(chunk.layout(), [&](auto layout) {
        constexpr Layout L = decltype(layout)::value;
        std::size_t total = 0;
        for (std::size_t row = 0; row < chunk.length(); ++row)
            if (!chunk.is_null(row)) total += size_of(chunk.template value<L>(row).size);
        return total;
    });
}

}  // namespace

std::size_t encoded_size(const base64::Encoder& encoder, const Chunk& chunk) {
    return total_over_rows(chunk, [&](std::size_t size) { return *encoder.encoded_size(size, SIZE_MAX); });
}

bool encode_rows(const base64::Encoder& encoder, const Chunk& chunk, VariableColumnBuilder& out) {
    if (!out.copy_nulls(chunk)) return false;
    with_layout(chunk.layout(), [&](auto layout) {
        constexpr Layout L = decltype(layout)::value;
        for (std::size_t row = 0; row < chunk.length(); ++row) {
            if (chunk.is_null(row)) {
                out.end_value(0);  // its null bit is copied
                continue;
            }
            const Value value = chunk.template value<L>(row);
            const std::size_t size = *encoder.encoded_size(value.size, SIZE_MAX);
            encoder.encode(value.data, value.size, out.next_value(size), base64::Output::New);
            out.end_value(size);
        }
    });
    return true;
}

std::size_t decoded_room(std::size_t text_size) { return text_size / 4 * 3 + 3; }

std::size_t decoded_capacity(const Chunk& chunk) { return total_over_rows(chunk, decoded_room); }

DecodeStop decode_rows(const base64::Decoder& decoder, const Chunk& chunk, std::size_t first_row,
                       VariableColumnBuilder& out) {
    return with_layout(chunk.layout(), [&](auto layout) -> DecodeStop {
        constexpr Layout L = decltype(layout)::value;
        for (std::size_t row = first_row; row < chunk.length(); ++row) {
            if (chunk.is_null(row)) {
                if (!out.append_null()) return {row, base64::DecodeOutcome::out_of_memory("no memory for a validity bitmap")};
                continue;
            }
            const Value value = chunk.template value<L>(row);
            const std::size_t room = decoded_room(value.size);
            const auto outcome = decoder.decode({value.data, value.size}, {out.next_value(room), room});
            if (outcome.status != base64::DecodeStatus::Written) return {row, outcome};
            out.end_value(outcome.count);
        }
        return {chunk.length(), base64::DecodeOutcome::written(0)};
    });
}

}  // namespace vantorq::columns
