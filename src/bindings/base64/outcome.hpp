#pragma once
// What one native decoder made of one input. The native decoders never raise
// for bad data: an input outside the form a decoder accepts is "not handled",
// and the route goes on to a more general decoder and at last to the
// interpreter's own binascii.a2b_base64, which raises the exact error.

#include "bindings/python.hpp"

#include <cstddef>
#include <cstdint>
#include <span>
#include <utility>

#include "bindings/runtime.hpp"

namespace vantorq::bindings::base64 {

// A native decoder's text, which cannot change during the call, and the
// storage of a destination bytearray.
using Text = std::span<const unsigned char>;
using Destination = std::span<unsigned char>;

struct Outcome {
    enum class Kind : std::uint8_t { Decoded, DestinationTooSmall, NotHandled, Rejected, Raised };

    Kind kind = Kind::NotHandled;
    runtime::OwnedRef bytes;         // Decoded by an allocating decoder: the new bytes object
    std::size_t count = 0;           // Decoded into a destination: bytes written; DestinationTooSmall: bytes required
    const char* message = nullptr;   // Rejected: the interpreter's binascii.Error text for this input

    static Outcome decoded(runtime::OwnedRef bytes) { return {Kind::Decoded, std::move(bytes), 0, nullptr}; }
    static Outcome written(std::size_t count) { return {Kind::Decoded, {}, count, nullptr}; }
    static Outcome too_small(std::size_t required) { return {Kind::DestinationTooSmall, {}, required, nullptr}; }
    static Outcome not_handled() { return {}; }
    // Malformed in a way whose message is known for certain. Raised by the
    // caller once no lock is held, since raising binascii.Error imports binascii.
    static Outcome rejected(const char* message) { return {Kind::Rejected, {}, 0, message}; }
    // An interpreter error (an allocation failure) is set.
    static Outcome raised() { return {Kind::Raised, {}, 0, nullptr}; }

    bool handled() const { return kind != Kind::NotHandled; }
};

}  // namespace vantorq::bindings::base64
