#include "columns/values.hpp"

#include <charconv>

namespace vantorq::columns {

std::optional<ValueType> parse_format(std::string_view format) {
    if (format == "z") return ValueType{Layout::Offsets32, false};
    if (format == "u") return ValueType{Layout::Offsets32, true};
    if (format == "Z") return ValueType{Layout::Offsets64, false};
    if (format == "U") return ValueType{Layout::Offsets64, true};
    if (format == "vz") return ValueType{Layout::Views, false};
    if (format == "vu") return ValueType{Layout::Views, true};
    if (format.starts_with("w:")) {
        const auto digits = format.substr(2);
        std::size_t width = 0;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), width);
        if (error == std::errc() && end == digits.data() + digits.size() && width > 0)
            return ValueType{Layout::Fixed, false, width};
    }
    return std::nullopt;
}

std::optional<Chunk> Chunk::of(const ValueType& type, const arrow::ArrowArray& array, const char*& problem) {
    if (array.length < 0 || array.offset < 0) {
        problem = "an Arrow array with a negative length or offset";
        return std::nullopt;
    }
    // Validity, then the offsets and data, the views and the variadic data
    // buffers and their sizes, or the values.
    const std::int64_t needed = type.layout == Layout::Fixed ? 2 : 3;
    if (array.n_buffers < needed || array.buffers == nullptr) {
        problem = "an Arrow array without the buffers of its type";
        return std::nullopt;
    }
    Chunk chunk;
    chunk.layout_ = type.layout;
    chunk.length_ = static_cast<std::size_t>(array.length);
    chunk.offset_ = static_cast<std::size_t>(array.offset);
    chunk.width_ = type.width;
    // A null count of 0 lets a producer leave the bitmap out, or in place.
    if (array.null_count != 0) chunk.validity_ = static_cast<const unsigned char*>(array.buffers[0]);
    chunk.values_ = array.buffers[1];
    if (type.layout == Layout::Views)
        chunk.variadic_ = reinterpret_cast<const unsigned char* const*>(array.buffers + 2);
    else if (type.layout != Layout::Fixed)
        chunk.data_ = static_cast<const unsigned char*>(array.buffers[2]);
    else
        chunk.data_ = static_cast<const unsigned char*>(array.buffers[1]);
    // Buffers of an empty array may be null.
    if (chunk.length_ != 0 && chunk.values_ == nullptr) {
        problem = "an Arrow array without the buffers of its type";
        return std::nullopt;
    }
    return chunk;
}

}  // namespace vantorq::columns
