#pragma once
// Results of the Base64 core. The codec never raises for bad data: decoders
// return a result triple, and capacity checks of the callers build an
// OutputTooSmall error of the same type.

#include <cstddef>
#include <string>
#include <variant>

namespace vantorq::base64::error {

struct InvalidInput {
    friend bool operator==(InvalidInput, InvalidInput) = default;
};

struct OutputTooSmall {
    std::size_t required;
    std::size_t provided;
    friend bool operator==(OutputTooSmall, OutputTooSmall) = default;
};

// The variant index is the error tag: 0 InvalidInput, 1 OutputTooSmall.
using Base64Error = std::variant<InvalidInput, OutputTooSmall>;

// "InvalidInput", or "OutputTooSmall { required: N, provided: M }".
std::string debug_text(const Base64Error& error);

// The decoders' (tag, first word, second word) triple. Tag 2 is success; a
// vector kernel then reports (consumed characters, written bytes) in the words.
struct DecodeResult {
    static constexpr std::size_t INVALID_INPUT = 0;
    static constexpr std::size_t OUTPUT_TOO_SMALL = 1;
    static constexpr std::size_t SUCCESS = 2;

    std::size_t tag = SUCCESS;
    std::size_t first = 0;
    std::size_t second = 0;

    static constexpr DecodeResult success(std::size_t consumed = 0, std::size_t written = 0) {
        return {SUCCESS, consumed, written};
    }
    static constexpr DecodeResult invalid_input() { return {INVALID_INPUT, 0, 0}; }
    static constexpr DecodeResult from_error(const Base64Error& error) {
        if (const auto* small = std::get_if<OutputTooSmall>(&error)) {
            return {OUTPUT_TOO_SMALL, small->required, small->provided};
        }
        return invalid_input();
    }

    constexpr bool ok() const { return tag == SUCCESS; }
    // The error a failed result carries; only meaningful when !ok().
    constexpr Base64Error error() const {
        if (tag == OUTPUT_TOO_SMALL) return OutputTooSmall{first, second};
        return InvalidInput{};
    }
    friend constexpr bool operator==(const DecodeResult&, const DecodeResult&) = default;
};

}  // namespace vantorq::base64::error
