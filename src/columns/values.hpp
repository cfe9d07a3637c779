#pragma once
// The values of one Arrow array of a binary or string type, read in place:
// the layouts (32- or 64-bit offsets, 16-byte views, fixed width), the format
// strings that name them, and row access that honours the array's offset and
// validity bitmap.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>

#include "columns/arrow_abi.hpp"

namespace vantorq::columns {

enum class Layout : std::uint8_t { Offsets32, Offsets64, Views, Fixed };

struct ValueType {
    Layout layout;
    bool text;               // string types: their values are UTF-8
    std::size_t width = 0;   // Fixed only
};

// The type a format string names, or nothing for any other type:
// "z" "Z" "u" "U" "vz" "vu" and "w:N" (N > 0).
std::optional<ValueType> parse_format(std::string_view format);

struct Value {
    const unsigned char* data;
    std::size_t size;
};

// One array's buffers, checked against its layout.
class Chunk {
public:
    // Nothing when the array lacks a buffer its layout needs; `problem` then says what.
    static std::optional<Chunk> of(const ValueType& type, const arrow::ArrowArray& array, const char*& problem);

    Layout layout() const { return layout_; }
    std::size_t length() const { return length_; }
    bool has_nulls() const { return validity_ != nullptr; }
    // The validity bitmap and the bit of row 0 in it; null when no row is null.
    const unsigned char* validity() const { return validity_; }
    std::size_t first_bit() const { return offset_; }

    bool is_null(std::size_t row) const {
        const std::size_t bit = offset_ + row;
        return validity_ != nullptr && ((validity_[bit >> 3] >> (bit & 7)) & 1) == 0;
    }

    // Row `row` (not null) of a chunk of layout L.
    template <Layout L>
    Value value(std::size_t row) const {
        const std::size_t index = offset_ + row;
        if constexpr (L == Layout::Offsets32 || L == Layout::Offsets64) {
            using Offset = std::conditional_t<L == Layout::Offsets32, std::int32_t, std::int64_t>;
            const auto* offsets = static_cast<const Offset*>(values_);
            const auto begin = static_cast<std::size_t>(offsets[index]);
            return {data_ + begin, static_cast<std::size_t>(offsets[index + 1]) - begin};
        } else if constexpr (L == Layout::Views) {
            // length, then up to 12 inline bytes, or a 4-byte prefix, a buffer index and an offset.
            const auto* view = static_cast<const unsigned char*>(values_) + 16 * index;
            std::int32_t size;
            std::memcpy(&size, view, 4);
            if (size <= INLINE_VIEW_BYTES) return {view + 4, static_cast<std::size_t>(size)};
            std::int32_t buffer;
            std::int32_t start;
            std::memcpy(&buffer, view + 8, 4);
            std::memcpy(&start, view + 12, 4);
            return {variadic_[buffer] + start, static_cast<std::size_t>(size)};
        } else {
            return {data_ + index * width_, width_};
        }
    }

    static constexpr std::int32_t INLINE_VIEW_BYTES = 12;

private:
    Chunk() = default;

    Layout layout_{};
    std::size_t length_ = 0;
    std::size_t offset_ = 0;
    std::size_t width_ = 0;
    const unsigned char* validity_ = nullptr;
    const void* values_ = nullptr;  // offsets, views, or the fixed-width values
    const unsigned char* data_ = nullptr;
    const unsigned char* const* variadic_ = nullptr;
};

// Calls `body(std::integral_constant<Layout, L>{})` for the chunk's layout, so
// that a loop over rows is compiled once per layout.
template <class Body>
decltype(auto) with_layout(Layout layout, Body&& body) {
    switch (layout) {
        case Layout::Offsets32:
            return body(std::integral_constant<Layout, Layout::Offsets32>{});
        case Layout::Offsets64:
            return body(std::integral_constant<Layout, Layout::Offsets64>{});
        case Layout::Views:
            return body(std::integral_constant<Layout, Layout::Views>{});
        case Layout::Fixed:
            break;
    }
    return body(std::integral_constant<Layout, Layout::Fixed>{});
}

}  // namespace vantorq::columns
