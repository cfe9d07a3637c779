#pragma once
// What a decoder made of one text. The decoders never raise: a text outside
// the form a decoder accepts is "not handled", and the request goes on to a
// more general decoder and at last to the interpreter, which raises its own
// exact error.

#include <cstddef>
#include <cstdint>

namespace vantorq::base64 {

// What a decoder's private copy of a text reports when its memory cannot be had.
inline constexpr const char INPUT_TOO_LARGE[] = "Base64 input is too large";

enum class DecodeStatus : std::uint8_t {
    Written,              // count: bytes written
    DestinationTooSmall,  // count: bytes the text needs where known, else 0
    NotHandled,           // the interpreter decides
    Rejected,             // message: the interpreter's binascii.Error text for this text, known for certain
    OutOfMemory,          // message: what a private copy of the text could not get
    SinkFailed,           // the caller's sink could not give memory; the error is the sink's
};

struct DecodeOutcome {
    DecodeStatus status = DecodeStatus::NotHandled;
    std::size_t count = 0;
    const char* message = nullptr;

    static constexpr DecodeOutcome written(std::size_t count) { return {DecodeStatus::Written, count, nullptr}; }
    static constexpr DecodeOutcome too_small(std::size_t required = 0) {
        return {DecodeStatus::DestinationTooSmall, required, nullptr};
    }
    static constexpr DecodeOutcome not_handled() { return {}; }
    static constexpr DecodeOutcome rejected(const char* message) { return {DecodeStatus::Rejected, 0, message}; }
    static constexpr DecodeOutcome out_of_memory(const char* message) {
        return {DecodeStatus::OutOfMemory, 0, message};
    }
    static constexpr DecodeOutcome sink_failed() { return {DecodeStatus::SinkFailed, 0, nullptr}; }

    constexpr bool handled() const { return status != DecodeStatus::NotHandled; }
    friend constexpr bool operator==(const DecodeOutcome&, const DecodeOutcome&) = default;
};

}  // namespace vantorq::base64
