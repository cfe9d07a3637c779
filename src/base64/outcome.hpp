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

// Two words, so that it comes back in registers through every level of a
// short decode: a failure's message travels in the count's place.
struct DecodeOutcome {
    DecodeStatus status = DecodeStatus::NotHandled;
    std::size_t count = 0;  // Written, DestinationTooSmall

    static constexpr DecodeOutcome written(std::size_t count) { return {DecodeStatus::Written, count}; }
    static constexpr DecodeOutcome too_small(std::size_t required = 0) {
        return {DecodeStatus::DestinationTooSmall, required};
    }
    static constexpr DecodeOutcome not_handled() { return {}; }
    static DecodeOutcome rejected(const char* message) { return with_message(DecodeStatus::Rejected, message); }
    static DecodeOutcome out_of_memory(const char* message) {
        return with_message(DecodeStatus::OutOfMemory, message);
    }
    static constexpr DecodeOutcome sink_failed() { return {DecodeStatus::SinkFailed, 0}; }

    // Rejected, OutOfMemory: the text the caller raises.
    const char* message() const { return reinterpret_cast<const char*>(count); }

    constexpr bool handled() const { return status != DecodeStatus::NotHandled; }
    friend constexpr bool operator==(const DecodeOutcome&, const DecodeOutcome&) = default;

private:
    static DecodeOutcome with_message(DecodeStatus status, const char* message) {
        return {status, reinterpret_cast<std::size_t>(message)};
    }
};

}  // namespace vantorq::base64
